#include "platform/LockFileInstanceGuard.h"

#include <QDir>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {
QString defaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
#ifdef Q_OS_WIN
        folder = QDir::tempPath();
#else
        // One lock per user, also where no runtime folder is set up.
        return QDir::tempPath() + QStringLiteral("/Keldara-%1.lock").arg(::getuid());
#endif
    }
    return folder + QStringLiteral("/Keldara.lock");
}
} // namespace

LockFileInstanceGuard::LockFileInstanceGuard(QString lockPath)
    : m_path(lockPath.isEmpty() ? defaultLockPath() : std::move(lockPath))
{}

bool LockFileInstanceGuard::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a lock whose process has gone counts as stale, however old a live one is.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}
