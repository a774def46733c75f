#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

// The registry's value types that the program reads.
inline constexpr int kRegSz = 1;
inline constexpr int kRegDword = 4;
inline constexpr quint32 kHKeyLocalMachine = 0x80000002;

// The reader's buffer: a value longer than this many characters cannot be read.
inline constexpr int kRegistryValueChars = 1024;

struct RegistryValue {
    int type = 0; // kRegSz, kRegDword or any other registry type, as stored
    // kRegSz (and the other text types): the text in UTF-8, exactly as stored, so a terminating
    // NUL that was stored with it is still there. kRegDword: 4 bytes, little end first. Other
    // types: the bytes as stored.
    QByteArray data;
};

// Machine-wide values, opened for reading only.
class MachineRegistry {
public:
    virtual ~MachineRegistry() = default;
    // The value `valueName` of the key `keyPath` under `root`; nullopt when the key or the value
    // cannot be read (missing, not allowed, or longer than kRegistryValueChars).
    virtual std::optional<RegistryValue> read(quint32 root, const QString& keyPath,
                                              const QString& valueName) = 0;
    // Where the platform has no registry entry for it: the desktop's own system-information
    // program, or empty when none is installed.
    virtual QString desktopSystemInfoProgram() = 0;
};
