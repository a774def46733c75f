#include "platform/windows/WinLauncher.h"

#ifdef Q_OS_WIN
#include <windows.h>

FileResult WinLauncher::start(const QString& program, const QString& argumentText)
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
        return lastWindowsError();
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return {};
}
#endif
