#pragma once

#include "platform/MachineRegistry.h"

#ifdef Q_OS_WIN

// The Windows registry, every key opened for reading only.
class WinMachineRegistry : public MachineRegistry {
public:
    std::optional<RegistryValue> read(quint32 root, const QString& keyPath,
                                      const QString& valueName) override;
    // Windows names its tool in the registry; there is nothing else to look for.
    QString desktopSystemInfoProgram() override { return {}; }
};
#endif
