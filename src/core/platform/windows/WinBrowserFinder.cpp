#include "platform/windows/WinBrowserFinder.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <QTemporaryFile>

#include <windows.h>
// after windows.h, which it needs
#include <objbase.h>
#include <shellapi.h>

namespace {

// Starts `program` through the shell with `parameters` as they stand. This runs on a work line's
// thread: the shell may hand the start to extensions that need COM there.
FileResult start(const QString& program, const QString& parameters)
{
    const std::wstring file = program.toStdWString();
    const std::wstring text = parameters.toStdWString();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SetLastError(0);
    const INT_PTR started = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", file.c_str(), text.c_str(), nullptr, SW_SHOWNORMAL));
    const DWORD error = GetLastError();
    if (SUCCEEDED(com))
        CoUninitialize();
    SetLastError(error);
    if (started > 32)
        return {};
    if (GetLastError() != 0)
        return lastWindowsError();
    return FileResult::failure(int(started), QStringLiteral("The program could not be started"));
}

} // namespace

std::optional<FileResult> WinBrowserFinder::openPage(const QString& url)
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
    return start(program, url);
}

std::optional<FileResult> WinBrowserFinder::openFolder(const QString& folder)
{
    wchar_t windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n > MAX_PATH)
        return std::nullopt;
    const QString explorer =
        QString::fromWCharArray(windows, int(n)) + QStringLiteral("\\explorer.exe");
    // The parameters go to Explorer as written: a folder with blanks is quoted here.
    return start(explorer, QLatin1Char('"') + QDir::toNativeSeparators(folder) + QLatin1Char('"'));
}

#endif
