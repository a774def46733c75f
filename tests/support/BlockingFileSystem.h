#pragma once

#include "platform/LocalFileSystem.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>

// The file system, except that calls on paths under a chosen folder wait, as on a network share
// that stopped answering, until the test lets them go.
class BlockingFileSystem : public FileSystem {
public:
    void block(const QString& folder)
    {
        std::lock_guard lock(m_mutex);
        m_folder = folder;
    }
    void release()
    {
        {
            std::lock_guard lock(m_mutex);
            m_folder.clear();
        }
        m_changed.notify_all();
    }
    // Looks below `folder` answer as on a share whose server has gone away (empty: none).
    void serverGone(const QString& folder)
    {
        std::lock_guard lock(m_mutex);
        m_gone = folder;
    }
    // Calls waiting now, and calls made on blocked paths in all.
    int waiting() const { return m_waiting; }
    int blockedCalls() const { return m_blockedCalls; }

    bool isFile(const QString& path) override
    {
        hold(path);
        return m_real.isFile(path);
    }
    bool exists(const QString& path) override
    {
        hold(path);
        return m_real.exists(path);
    }
    Presence presence(const QString& path) override
    {
        hold(path);
        {
            std::lock_guard lock(m_mutex);
            if (!m_gone.isEmpty() && path.startsWith(m_gone))
                return Presence::NotAnswering;
        }
        return m_real.presence(path);
    }
    FileResult rename(const QString& from, const QString& to) override
    {
        hold(from);
        return m_real.rename(from, to);
    }
    FileResult replace(const QString& from, const QString& to) override
    {
        hold(from);
        return m_real.replace(from, to);
    }
    FileResult remove(const QString& path) override
    {
        hold(path);
        return m_real.remove(path);
    }
    FileResult create(const QString& path, int* handle) override
    {
        hold(path);
        return m_real.create(path, handle);
    }
    FileResult write(int handle, QByteArrayView bytes) override
    {
        return m_real.write(handle, bytes);
    }
    FileResult flush(int handle) override { return m_real.flush(handle); }
    FileResult close(int handle) override { return m_real.close(handle); }
    FileResult read(const QString& path, qsizetype limit, QByteArray* bytes) override
    {
        hold(path);
        return m_real.read(path, limit, bytes);
    }

private:
    void hold(const QString& path)
    {
        std::unique_lock lock(m_mutex);
        if (m_folder.isEmpty() || !path.startsWith(m_folder))
            return;
        ++m_blockedCalls;
        ++m_waiting;
        m_changed.wait(lock, [&] { return m_folder.isEmpty() || !path.startsWith(m_folder); });
        --m_waiting;
    }

    LocalFileSystem m_real;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QString m_folder;
    QString m_gone;
    std::atomic<int> m_waiting{0};
    std::atomic<int> m_blockedCalls{0};
};
