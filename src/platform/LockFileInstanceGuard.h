#pragma once

#include "platform/InstanceGuard.h"

#include <QLockFile>
#include <QString>

#include <memory>

// A per-user lock file, held for the life of the process. A lock left by a process that no longer
// runs is taken over, so a crash never keeps the program from starting again.
class LockFileInstanceGuard : public InstanceGuard {
public:
    // `lockPath` empty: Keldara.lock in the user's runtime folder (or the temporary folder).
    explicit LockFileInstanceGuard(QString lockPath = {});
    bool tryAcquire() override;
    QString lockPath() const { return m_path; }
    QString channelPath() const override { return m_path + QStringLiteral(".socket"); }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
