#include "platform/windows/WinBrowserFinder.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <QTemporaryFile>

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

std::optional<ProgramCommand> WinBrowserFinder::findBrowser(const QString& url)
{
    // A unique name, so two lookups never share a file; the content only makes an HTML file exist.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/temphtm-XXXXXX.HTM"));
    if (!file.open())
        return std::nullopt;
    file.write("\" <\\HTML>\"\r\n");
    file.close();
    const std::wstring path = QDir::toNativeSeparators(file.fileName()).toStdWString();
    wchar_t result[MAX_PATH + 1] = {};
    const INT_PTR found = reinterpret_cast<INT_PTR>(FindExecutableW(path.c_str(), nullptr, result));
    file.remove();
    if (found <= 32)
        return std::nullopt;
    const QString program = QString::fromWCharArray(result).trimmed();
    if (program.isEmpty())
        return std::nullopt;
    return ProgramCommand{program, {url}};
}

std::optional<ProgramCommand> WinBrowserFinder::findFileManager(const QString& folder)
{
    wchar_t windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n > MAX_PATH)
        return std::nullopt;
    const QString explorer =
        QString::fromWCharArray(windows, int(n)) + QStringLiteral("\\explorer.exe");
    // The parameters go to Explorer as written: a folder with blanks is quoted here.
    return ProgramCommand{explorer,
                          {QLatin1Char('"') + QDir::toNativeSeparators(folder) + QLatin1Char('"')}};
}

FileResult WinBrowserFinder::start(const ProgramCommand& command)
{
    const std::wstring program = command.program.toStdWString();
    const std::wstring parameters = command.arguments.join(QLatin1Char(' ')).toStdWString();
    SetLastError(0);
    const INT_PTR started = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, L"open", program.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL));
    if (started > 32)
        return {};
    if (GetLastError() != 0)
        return lastWindowsError();
    return FileResult::failure(int(started), QStringLiteral("The program could not be started"));
}
#endif
