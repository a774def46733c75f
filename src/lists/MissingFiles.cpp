#include "lists/MissingFiles.h"

#include "platform/DriveTable.h"
#include "work/Work.h"

namespace {
// Entries one job checks before its answer goes back: small enough that a command on the same
// drive never waits long behind the checks, large enough that a big list is done quickly.
constexpr qsizetype kBatch = 256;
} // namespace

MissingFiles::MissingFiles(const DriveTable& drives, Exists exists, QObject* parent)
    : QObject(parent)
    , m_drives(drives)
    , m_exists(std::move(exists))
{}

void MissingFiles::check(const QList<Item>& items, Found found)
{
    m_found = std::move(found);
    ++m_generation;
    QHash<QString, QList<Item>> byDrive;
    for (const Item& item : items) {
        if (!item.files.isEmpty())
            byDrive[m_drives.driveOf(item.files.first())].append(item);
    }
    // A drive still busy with an older check keeps its one job and takes the new entries after
    // it; a drive without entries now has nothing left to do.
    for (auto it = m_queues.begin(); it != m_queues.end();) {
        if (!byDrive.contains(it.key()) && !it->inFlight) {
            it = m_queues.erase(it);
            continue;
        }
        it->items.clear();
        it->next = 0;
        ++it;
    }
    for (auto it = byDrive.begin(); it != byDrive.end(); ++it) {
        DriveQueue& q = m_queues[it.key()];
        q.items = std::move(it.value());
        q.next = 0;
        if (!q.inFlight)
            sendNext(it.key());
    }
}

bool MissingFiles::busy() const
{
    for (const DriveQueue& q : m_queues) {
        if (q.inFlight || q.next < q.items.size())
            return true;
    }
    return false;
}

void MissingFiles::sendNext(const QString& drive)
{
    DriveQueue& q = m_queues[drive];
    if (q.next >= q.items.size()) {
        m_queues.remove(drive);
        return;
    }
    const QList<Item> batch = q.items.mid(q.next, kBatch);
    q.next += batch.size();
    q.inFlight = true;
    work::post(
        work::Line::drive(drive), this,
        [batch, exists = m_exists, drives = &m_drives] {
            Answers answers;
            answers.reserve(batch.size());
            for (const Item& item : batch) {
                State state = State::Missing;
                if (drives->isNotConnected(item.files.first()))
                    state = State::NotConnected;
                else if (std::any_of(item.files.begin(), item.files.end(), exists))
                    state = State::Present;
                answers.append({item.key, state});
            }
            return answers;
        },
        [this, drive, generation = m_generation](const Answers& answers) {
            m_queues[drive].inFlight = false;
            // Answers of a check that a newer one replaced are not shown; the newer one's
            // entries of this drive follow now.
            if (generation == m_generation && m_found)
                m_found(answers);
            sendNext(drive);
        },
        work::Priority::Background);
}
