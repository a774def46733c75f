// The list-file core on Windows.
#include "lists/ListFileParts.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

using namespace listfile;

namespace listfile {

LPCWSTR w(const QString& s)
{
    return reinterpret_cast<LPCWSTR>(s.utf16());
}

FileContent readOnce(const QString& path, bool* stable)
{
    FileContent c;
    *stable = true;
    const QFileInfo info(path);
    if (!info.exists())
        return c;
    c.exists = true;
    const FileIdentity before = identityOf(path);
    if (info.isDir()) {
        c.result = FileResult::refused(fileNameOf(path) + QStringLiteral(" is a folder"),
                                       FileResult::Nearest::Folder);
        return c;
    }
    if (!info.isFile()) {
        c.result = notOrdinaryFile(path);
        return c;
    }
    if (info.size() > kMaxListFileSize) {
        c.result = tooLarge();
        return c;
    }
    c.readOnly = !info.permission(QFile::WriteOwner); // the read-only attribute
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        c.result = lastWindowsError();
        return c;
    }
    c.data = f.read(kMaxListFileSize + 1);
    if (c.data.size() > kMaxListFileSize) {
        c.data.clear();
        c.result = tooLarge();
        return c;
    }
    c.identity = identityOf(path);
    *stable = c.identity == before;
    return c;
}

Replaced replaceIfUnchanged(const QString& path, const QString& tempPath, const QByteArray& content,
                            const FileIdentity& expected,
                            const std::function<void()>& beforeReplace, FileResult* failure)
{
    // Something at the temporary name that cannot go (a folder) stops every rewrite until the
    // user takes it away: the message names it.
    const QString named = QDir::toNativeSeparators(tempPath);
    if (!DeleteFileW(w(tempPath)) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        *failure = lastWindowsError();
        if (QFileInfo::exists(tempPath))
            *failure = failure->at(named);
        return Replaced::Failed;
    }
    HANDLE h = CreateFileW(w(tempPath), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *failure = lastWindowsError();
        if (QFileInfo::exists(tempPath))
            *failure = failure->at(named);
        return Replaced::Failed;
    }
    DWORD written = 0;
    FileResult r;
    if (!WriteFile(h, content.constData(), DWORD(content.size()), &written, nullptr) ||
        written != DWORD(content.size()) || !FlushFileBuffers(h))
        r = lastWindowsError();
    if (!CloseHandle(h) && r.ok)
        r = lastWindowsError();
    if (!r.ok) {
        DeleteFileW(w(tempPath));
        *failure = r;
        return Replaced::Failed;
    }
    if (beforeReplace)
        beforeReplace();
    if (!(identityOf(path) == expected)) {
        DeleteFileW(w(tempPath));
        return Replaced::FileChanged;
    }
    // Replaces a symbolic link at `path` itself, not the file it leads to.
    if (!MoveFileExW(w(tempPath), w(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *failure = lastWindowsError();
        DeleteFileW(w(tempPath));
        return Replaced::Failed;
    }
    return Replaced::Done;
}

} // namespace listfile

FileIdentity identityOf(const QString& path)
{
    const QFileInfo info(path);
    FileIdentity id;
    if (!info.exists())
        return id;
    id.exists = true;
    id.size = info.size();
    id.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    id.changedNs = info.birthTime().toMSecsSinceEpoch() * 1000000;
    return id;
}
