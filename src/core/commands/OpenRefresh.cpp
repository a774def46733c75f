#include "commands/OpenRefresh.h"

OpenRefresh::Tick OpenRefresh::tick(bool listBusy) const
{
    // A read under way will show what the file holds.
    if (m_reads > 0 || listBusy)
        return Tick::Nothing;
    return m_syncPending ? Tick::Sync : Tick::Read;
}

FileIdentity OpenRefresh::readPosted()
{
    ++m_reads;
    return LastListFileTime;
}

bool OpenRefresh::readAnswered(const RecentFileList::Refreshed& read)
{
    --m_reads;
    if (!read.read)
        return false;
    LastListFileTime = read.identity;
    return true;
}

void OpenRefresh::syncPosted()
{
    ++m_reads;
    m_syncPending = false;
}

OpenRefresh::Synced OpenRefresh::syncAnswered(const RecentFileList::Synced& s)
{
    --m_reads;
    // A companion tool at work on the list is no fault: try again on a later refresh tick, and
    // tell the user only if it never lets up.
    m_syncPending = s.sync.busy && m_syncTicksLeft-- > 0;
    if (m_syncPending)
        return Synced::Later;
    if (!s.sync.ok)
        return Synced::Failed;
    if (s.kept.exists)
        return s.kept == LastListFileTime ? Synced::Nothing : Synced::Reload;
    if (s.version.exists)
        LastListFileTime = s.version; // the timer need not read what is shown
    return Synced::Show;
}
