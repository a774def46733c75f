#include "platform/windows/WinTrash.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <windows.h>

namespace {
LPCWSTR w(const QString& s)
{
    return reinterpret_cast<LPCWSTR>(s.utf16());
}

// The file's ID, volume, size and write time, as the move left it in the bin.
bool identify(const QString& file, TrashedFile* into)
{
    HANDLE h = CreateFileW(w(file), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok)
        return false;
    into->inode = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    into->device = info.dwVolumeSerialNumber;
    into->size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    into->modifiedNs = qint64((quint64(info.ftLastWriteTime.dwHighDateTime) << 32) |
                              info.ftLastWriteTime.dwLowDateTime);
    return true;
}
} // namespace

FileResult WinTrash::moveToTrash(const QString& path, TrashedFile* where)
{
    const QString original = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QFile file(original);
    SetLastError(ERROR_SUCCESS);
    if (!file.moveToTrash()) {
        if (GetLastError() != ERROR_SUCCESS)
            return lastWindowsError();
        return FileResult::refused(file.errorString());
    }
    // The recycle bin keeps its own record ($I...) beside the file ($R...); Qt names only the
    // file, so there is no record path to give.
    if (where) {
        *where = TrashedFile();
        where->originalPath = original;
        where->trashedPath = QDir::toNativeSeparators(file.fileName());
        identify(where->trashedPath, where);
    }
    return {};
}

// The recycle bin offers no public call that restores one given item, so the file is renamed
// back (never replacing anything, never copied across volumes). Its $I record stays behind; the
// bin drops an entry whose file has gone when it next lists its items.
FileResult WinTrash::restore(const TrashedFile& what)
{
    if (QFileInfo::exists(what.originalPath) || QFileInfo(what.originalPath).isSymLink())
        return FileResult::fromErrno(EEXIST);
    // Only the file the move put there comes back, not another the user trashed since.
    TrashedFile now = what;
    if (!identify(what.trashedPath, &now) || !(now == what))
        return FileResult::fromErrno(ENOENT);
    if (!MoveFileExW(w(what.trashedPath), w(what.originalPath), MOVEFILE_WRITE_THROUGH))
        return lastWindowsError();
    return {};
}
#endif
