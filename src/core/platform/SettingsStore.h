#pragma once

#include <QString>

// The per-user settings store: text values addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Returns the stored text, or `defaultValue` when the value (or the whole store) is absent.
    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultValue) = 0;

    // Creates or replaces the value. Returns true once the value is durably stored.
    virtual bool write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
};
