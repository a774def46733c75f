#pragma once

#include "platform/MachineRegistry.h"

#include <QStringList>

#ifndef Q_OS_WIN

// The machine-wide values of a desktop without a registry: the file "Keldara/machine.conf" in
// the XDG config folders ($XDG_CONFIG_DIRS, default /etc/xdg), which the administrator writes and
// the program only reads. Each key path is a section and each value a "name=text" line:
//
//     [SOFTWARE\Microsoft\Shared Tools\MSINFO]
//     PATH=/usr/bin/hardinfo
//
// Key paths and value names match without regard to letter case, as in the registry; a value is
// taken from the first folder whose file holds it. Only HKEY_LOCAL_MACHINE lives here.
class XdgMachineRegistry : public MachineRegistry {
public:
    // The folders of the environment, and programs looked for on $PATH.
    XdgMachineRegistry();
    // `configFolders` in order of preference; `programFolders` empty means $PATH.
    XdgMachineRegistry(QStringList configFolders, QStringList programFolders);

    std::optional<RegistryValue> read(quint32 root, const QString& keyPath,
                                      const QString& valueName) override;
    // The first installed of the common system-information programs of the desktops.
    QString desktopSystemInfoProgram() override;

    // $XDG_CONFIG_DIRS split at ':' (empty entries dropped), or /etc/xdg when it is unset or
    // empty.
    static QStringList configFoldersFromEnvironment();

private:
    QStringList m_configFolders;
    QStringList m_programFolders;
};
#endif
