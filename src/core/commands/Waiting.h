#pragma once

#include <QString>

#include <memory>
#include <mutex>

// Where a command runs: on the line of the drive of `drive` (empty: on the list line), as the
// wait for `key`, waiting first on `file`.
struct Where {
    QString drive;
    QString key;
    QString file;
    // On the drive of the file at `path`.
    static Where of(const QString& path) { return {path, path, path}; }
    // On the list line, as the wait for `key`.
    static Where onList(const QString& key, const QString& file) { return {{}, key, file}; }
};

// What a command waits on at this moment: the file whose drive must answer before it can go on.
// The command's job names it as it goes from step to step; the window reads it when the drive
// has kept it waiting for a while, to name the drive that does not answer. Shared between the two
// threads.
class Waiting {
public:
    explicit Waiting(QString path = {})
        : m_path(std::move(path))
    {}
    void on(const QString& path)
    {
        std::lock_guard lock(m_mutex);
        m_path = path;
    }
    QString path() const
    {
        std::lock_guard lock(m_mutex);
        return m_path;
    }

private:
    mutable std::mutex m_mutex;
    QString m_path;
};

using WaitingPtr = std::shared_ptr<Waiting>;
