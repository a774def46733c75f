#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>

// The real settings store. On Linux each application's values live in the INI file
// <configHome>/<application>/<application>.conf; on Windows in the registry under
// HKCU\Software\VB and VBA Program Settings\<application>\<section>, where the predecessor kept
// its values, so that they migrate.
class QSettingsStore : public SettingsStore {
public:
    // `configHome` is used on Linux only; empty means $XDG_CONFIG_HOME or ~/.config.
    explicit QSettingsStore(QString configHome = {});

    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override;
    bool write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;

    static QString defaultConfigHome();
    QString iniPath(const QString& application) const;

private:
    QString m_configHome;
};
