#pragma once

#include "base/Paths.h"
#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryDir>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

// A trash for tests. It records every call and answers from a script: a given failure, or
// success by really moving the file into a folder of its own (so that the file is gone from its
// place, and restore puts it back). Safe to call from worker threads.
class FakeTrash : public Trash {
public:
    // From now on, answer every move (restore) with `r`.
    void failTrashWith(const FileResult& r)
    {
        QMutexLocker lock(&m_mutex);
        m_trashFailure = r;
    }
    void failRestoreWith(const FileResult& r)
    {
        QMutexLocker lock(&m_mutex);
        m_restoreFailure = r;
    }
    // From now on, really move files.
    void succeed()
    {
        QMutexLocker lock(&m_mutex);
        m_trashFailure.reset();
        m_restoreFailure.reset();
    }
    // The paths asked to go, and the files asked back, in the order of the calls.
    QStringList trashed() const
    {
        QMutexLocker lock(&m_mutex);
        return m_trashed;
    }
    QList<TrashedFile> restored() const
    {
        QMutexLocker lock(&m_mutex);
        return m_restored;
    }
    // Where the fake keeps trashed files.
    QString folder() const { return m_dir.path(); }

    FileResult moveToTrash(const QString& path, TrashedFile* where) override
    {
        QMutexLocker lock(&m_mutex);
        m_trashed.append(path);
        if (m_trashFailure)
            return *m_trashFailure;
        const QString original = QFileInfo(path).absoluteFilePath();
        if (!there(original))
            return FileResult::fromErrno(ENOENT);
        const QString inTrash = m_dir.filePath(QString::number(m_trashed.size()) +
                                               QLatin1Char('-') + QFileInfo(path).fileName());
        if (!move(original, inTrash))
            return FileResult::fromErrno(EACCES);
        if (where) {
            *where = TrashedFile();
            where->originalPath = original;
            where->trashedPath = inTrash;
        }
        return {};
    }

    FileResult restore(const TrashedFile& what) override
    {
        QMutexLocker lock(&m_mutex);
        m_restored.append(what);
        if (m_restoreFailure)
            return *m_restoreFailure;
        if (there(what.originalPath))
            return FileResult::fromErrno(EEXIST);
        if (!move(what.trashedPath, what.originalPath))
            return FileResult::fromErrno(ENOENT);
        return {};
    }

private:
    // By the names' bytes, as the real trash goes (see paths::toNativeBytes).
    static bool there(const QString& path)
    {
        struct stat st {};
        return ::lstat(paths::toNativeBytes(path).constData(), &st) == 0;
    }
    static bool move(const QString& from, const QString& to)
    {
        return ::rename(paths::toNativeBytes(from).constData(),
                        paths::toNativeBytes(to).constData()) == 0;
    }

    mutable QMutex m_mutex;
    QTemporaryDir m_dir;
    std::optional<FileResult> m_trashFailure;
    std::optional<FileResult> m_restoreFailure;
    QStringList m_trashed;
    QList<TrashedFile> m_restored;
};
