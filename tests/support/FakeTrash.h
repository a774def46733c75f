#pragma once

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
        if (!QFileInfo::exists(original) && !QFileInfo(original).isSymLink())
            return FileResult::fromErrno(ENOENT);
        const QString inTrash = m_dir.filePath(QString::number(m_trashed.size()) +
                                               QLatin1Char('-') + QFileInfo(path).fileName());
        if (!QFile::rename(original, inTrash))
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
        if (QFileInfo::exists(what.originalPath) || QFileInfo(what.originalPath).isSymLink())
            return FileResult::fromErrno(EEXIST);
        if (!QFile::rename(what.trashedPath, what.originalPath))
            return FileResult::fromErrno(ENOENT);
        return {};
    }

private:
    mutable QMutex m_mutex;
    QTemporaryDir m_dir;
    std::optional<FileResult> m_trashFailure;
    std::optional<FileResult> m_restoreFailure;
    QStringList m_trashed;
    QList<TrashedFile> m_restored;
};
