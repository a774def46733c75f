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
    if (where)
        *where = {original, QDir::toNativeSeparators(file.fileName()), QString()};
    return {};
}

// The recycle bin offers no public call that restores one given item, so the file is renamed
// back (never replacing anything, never copied across volumes). Its $I record stays behind; the
// bin drops an entry whose file has gone when it next lists its items.
FileResult WinTrash::restore(const TrashedFile& what)
{
    if (QFileInfo::exists(what.originalPath) || QFileInfo(what.originalPath).isSymLink())
        return FileResult::fromErrno(EEXIST);
    if (!MoveFileExW(w(what.trashedPath), w(what.originalPath), MOVEFILE_WRITE_THROUGH))
        return lastWindowsError();
    return {};
}
#endif
