#pragma once

#include "platform/InstanceGuard.h"

#include <QString>

// A per-user lock file, held for the life of the process. The lock is the operating system's
// lock on the open file, which ends with the process that held it, so only a live instance
// counts: a file left by a crash, an empty one or one with any other content is taken over.
// A folder or anything else in the lock file's place is reported, not obeyed.
class LockFileInstanceGuard : public InstanceGuard {
public:
    // `lockPath` empty: Keldara.lock in the user's runtime folder (or the temporary folder).
    explicit LockFileInstanceGuard(QString lockPath = {});
    ~LockFileInstanceGuard() override;
    LockFileInstanceGuard(const LockFileInstanceGuard&) = delete;
    LockFileInstanceGuard& operator=(const LockFileInstanceGuard&) = delete;

    bool tryAcquire() override;
    QString problem() const override { return m_problem; }
    void release() override;
    QString lockPath() const { return m_path; }
    QString channelPath() const override { return m_path + QStringLiteral(".socket"); }

private:
    QString m_path;
    QString m_problem;
    bool m_locked = false;
#ifdef Q_OS_WIN
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
