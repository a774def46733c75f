#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// The registry's value types that the program reads.
inline constexpr int kRegSz = 1;
inline constexpr int kRegDword = 4;
inline constexpr quint32 kHKeyLocalMachine = 0x80000002;

struct RegistryValue {
    int type = 0;    // kRegSz: text bytes (maybe ending in a NUL); kRegDword: 4 bytes, little end
    QByteArray data; // as stored, at most the 1024 bytes the reader asks for
};

// Machine-wide values, opened for reading only.
class MachineRegistry {
public:
    virtual ~MachineRegistry() = default;
    // The value `valueName` of the key `keyPath` under `root`; nullopt when the key or the value
    // cannot be read.
    virtual std::optional<RegistryValue> read(quint32 root, const QString& keyPath,
                                              const QString& valueName) = 0;
    // Where the platform has no registry entry for it: the desktop's own system-information
    // program, or empty when none is installed.
    virtual QString desktopSystemInfoProgram() = 0;
};
