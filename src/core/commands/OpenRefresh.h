#pragma once

#include "lists/RecentFileList.h"

// When the "Open" list is read again: by the refresh timer, when the list file changed since
// the timer last saw it, and by the start-up sync, which another program that keeps rewriting
// the list holds off for some ticks before its failure is shown. A read under way is never
// joined by a second one.
class OpenRefresh {
public:
    // How many refresh ticks a sync that met a busy list is tried again on.
    static constexpr int kSyncTicks = 30;

    // What a refresh tick does; `listBusy`: a load is under way or the list still lays out rows
    // (a large list is never held three times over).
    enum class Tick { Nothing, Sync, Read };
    Tick tick(bool listBusy) const;
    // A read of the list was posted; it reads the file unless it is still as last seen, returned.
    FileIdentity readPosted();
    // ... and answered: true when it read a changed file, whose listing then shows.
    bool readAnswered(const RecentFileList::Refreshed& read);
    // A sync was posted ...
    void syncPosted();
    // ... and answered: failed (the list file is left as it was rather than rebuilt from less
    // than it holds), tried again later, its listing shown, read again (a list the sync left as
    // it was, which another program changed since it was shown) or nothing (left as shown).
    enum class Synced { Show, Failed, Later, Reload, Nothing };
    Synced syncAnswered(const RecentFileList::Synced& sync);

    // The list file as the refresh timer last saw it.
    FileIdentity LastListFileTime;

private:
    int m_reads = 0; // reads of the list file under way
    int m_syncTicksLeft = kSyncTicks;
    bool m_syncPending = false;
};
