#include "base/FileResult.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

FileResult FileResult::fromErrno(int error)
{
    return failure(error, QString::fromLocal8Bit(std::strerror(error)));
}

FileResult FileResult::refused(QString text, Nearest nearest)
{
#ifdef Q_OS_WIN
    const int numbers[] = {ERROR_INVALID_DATA, ERROR_DIRECTORY, ERROR_BAD_PIPE, ERROR_BUSY};
#else
    const int numbers[] = {EINVAL, EISDIR, ESPIPE, EBUSY};
#endif
    return failure(numbers[int(nearest)], std::move(text));
}

FileResult FileResult::at(const QString& path) const
{
    FileResult r = *this;
    if (!ok)
        r.errorText += QStringLiteral(": ") + path;
    return r;
}

QString FileResult::message(const QString& what) const
{
    return what + QLatin1Char('\r') + QString::number(error) + QLatin1Char('-') + errorText;
}

bool FileResult::alreadyExists() const
{
    if (ok)
        return false;
#ifdef Q_OS_WIN
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
        return true;
#endif
    return error == EEXIST;
}

#ifdef Q_OS_WIN
FileResult lastWindowsError()
{
    const DWORD e = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, e, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    FileResult r = FileResult::failure(int(e), QString::fromWCharArray(text).trimmed());
    LocalFree(text);
    return r;
}
#endif
