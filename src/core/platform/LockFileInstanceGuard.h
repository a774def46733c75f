#pragma once

#include "platform/InstanceGuard.h"

#include <QList>
#include <QString>

// A per-user lock file, held for the life of the process. The lock is the operating system's
// lock on the open file, which ends with the process that held it, so only a live instance
// counts: a file left by a crash, an empty one or one with any other content is taken over.
// A folder or anything else in the lock file's place is reported, not obeyed.
//
// The lock and the socket beside it live only in a folder that is the user's own (owned by the
// user, mode 0700, a real folder and no symbolic link), never under a name that another user
// could create first: whoever made it first would hold the lock and be handed the user's files.
// The folder is looked at anew at each use, so one that has since been opened to others is left.
class LockFileInstanceGuard : public InstanceGuard {
public:
    // A folder the lock may live in; `make`: made, mode 0700, when it is missing.
    struct Place {
        QString folder;
        bool make = false;
    };
    // This user's places, best first: the runtime folder where one is set, then keldara-<uid>
    // in /tmp, then keldara in the user's cache folder (for when someone else took that name).
    static QList<Place> userPlaces();
    // Why `folder` is not user `uid`'s own; empty when it is.
    static QString notOwnFolder(const QString& folder, uint uid);
    // The first of `places` that is user `uid`'s own, made first where it may be; empty when
    // none is, with each place's reason in `why`.
    static QString ownFolder(const QList<Place>& places, uint uid, QStringList* why = nullptr);
    // The user this process runs as.
    static uint currentUser();

    // "Keldara.lock" in the first of the user's own places.
    LockFileInstanceGuard();
    // A lock file of this name in the first of `places` that is user `uid`'s own (tests).
    LockFileInstanceGuard(QList<Place> places, uint uid, QString name);
    // This very lock file; its folder must still be the user's own.
    explicit LockFileInstanceGuard(const QString& lockPath);
    ~LockFileInstanceGuard() override;
    LockFileInstanceGuard(const LockFileInstanceGuard&) = delete;
    LockFileInstanceGuard& operator=(const LockFileInstanceGuard&) = delete;

    bool tryAcquire() override;
    void release() override;
    QString problem() const override { return m_problem; }
    // The lock file: where it is held, else where it would be taken now; empty when the user
    // has no folder of their own.
    QString lockPath() const;
    QString channelPath() const override;

private:
    QList<Place> m_places;
    uint m_uid;
    QString m_name;
    QString m_heldFolder; // where the lock is held, once it is
    QString m_problem;
    bool m_locked = false;
#ifdef Q_OS_WIN
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
