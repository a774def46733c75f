#include "platform/windows/WinMachineRegistry.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <array>

std::optional<RegistryValue> WinMachineRegistry::read(quint32 root, const QString& keyPath,
                                                      const QString& valueName)
{
    // The predefined root keys are sign-extended 32-bit numbers.
    const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
    HKEY key = nullptr;
    // Reading is all the program does; asking for write rights as well would be refused to an
    // ordinary user under HKEY_LOCAL_MACHINE.
    if (RegOpenKeyExW(rootKey, reinterpret_cast<LPCWSTR>(keyPath.utf16()), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::array<wchar_t, kRegistryValueChars> buffer{};
    DWORD type = 0;
    DWORD size = DWORD(sizeof buffer);
    const LSTATUS status =
        RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(valueName.utf16()), nullptr, &type,
                         reinterpret_cast<LPBYTE>(buffer.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;

    RegistryValue value;
    value.type = int(type);
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        value.data =
            QString::fromWCharArray(buffer.data(), qsizetype(size / sizeof(wchar_t))).toUtf8();
    } else {
        value.data = QByteArray(reinterpret_cast<const char*>(buffer.data()), qsizetype(size));
    }
    return value;
}
#endif
