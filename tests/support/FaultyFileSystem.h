#pragma once

#include "platform/LocalFileSystem.h"

#include <QString>

#include <cerrno>

// The file system, except that one kind of call fails with a chosen error number, as on a full
// or failing disk: a write after half its bytes are written, a flush or a close (the handle is
// still let go of), or a call on a path that ends in `at` (any path when `at` is empty).
struct FaultyFileSystem : LocalFileSystem {
    enum class Step { None, Create, Write, Flush, Close, Read, Rename, Replace, Remove };
    Step failing = Step::None;
    int error = 0;
    QString at;

    void fail(Step step, int number, QString path = {})
    {
        failing = step;
        error = number;
        at = std::move(path);
    }
    bool fails(Step step, const QString& path = {}) const
    {
        return failing == step && (at.isEmpty() || path.endsWith(at));
    }

    FileResult rename(const QString& from, const QString& to) override
    {
        return fails(Step::Rename, to) ? FileResult::fromErrno(error)
                                       : LocalFileSystem::rename(from, to);
    }
    FileResult replace(const QString& from, const QString& to) override
    {
        return fails(Step::Replace, to) ? FileResult::fromErrno(error)
                                        : LocalFileSystem::replace(from, to);
    }
    FileResult remove(const QString& path) override
    {
        return fails(Step::Remove, path) ? FileResult::fromErrno(error)
                                         : LocalFileSystem::remove(path);
    }
    FileResult create(const QString& path, int* handle) override
    {
        return fails(Step::Create, path) ? FileResult::fromErrno(error)
                                         : LocalFileSystem::create(path, handle);
    }
    FileResult write(int handle, QByteArrayView bytes) override
    {
        if (!fails(Step::Write))
            return LocalFileSystem::write(handle, bytes);
        LocalFileSystem::write(handle, bytes.first(bytes.size() / 2));
        return FileResult::fromErrno(error);
    }
    FileResult flush(int handle) override
    {
        return fails(Step::Flush) ? FileResult::fromErrno(error) : LocalFileSystem::flush(handle);
    }
    FileResult close(int handle) override
    {
        const FileResult r = LocalFileSystem::close(handle);
        return fails(Step::Close) ? FileResult::fromErrno(error) : r;
    }
    FileResult read(const QString& path, qsizetype limit, QByteArray* bytes) override
    {
        return fails(Step::Read, path) ? FileResult::fromErrno(error)
                                       : LocalFileSystem::read(path, limit, bytes);
    }
};
