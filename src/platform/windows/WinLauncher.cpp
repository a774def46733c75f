#include "platform/windows/WinLauncher.h"

#ifdef Q_OS_WIN
#include <windows.h>

LaunchResult WinLauncher::start(const QString& program, const QString& argumentText)
{
    QString commandLine = QLatin1Char('"') + program + QLatin1Char('"');
    if (!argumentText.isEmpty())
        commandLine += QLatin1Char(' ') + argumentText;
    std::wstring buffer = commandLine.toStdWString();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        const DWORD e = GetLastError();
        wchar_t* text = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, e, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        LaunchResult r{false, int(e), QString::fromWCharArray(text).trimmed()};
        LocalFree(text);
        return r;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return {true, 0, {}};
}
#endif
