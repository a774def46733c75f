#include "lists/MissingFiles.h"

#include "platform/DriveTable.h"
#include "work/Work.h"

#include <algorithm>

namespace {
// Entries one job checks before its answer goes back: small enough that a command on the same
// drive never waits long behind the checks, large enough that a big list is done quickly.
constexpr size_t kBatch = 256;

using Groups = QHash<QString, std::vector<int>>; // drive -> entries
} // namespace

MissingFiles::MissingFiles(const DriveTable& drives, Look look, QObject* parent)
    : QObject(parent)
    , m_drives(drives)
    , m_look(std::move(look))
{}

MissingFiles::MissingFiles(const DriveTable& drives, Exists exists, QObject* parent)
    : MissingFiles(
          drives,
          [exists = std::move(exists)](const QString& path) {
              return exists(path) ? Presence::There : Presence::Absent;
          },
          parent)
{}

void MissingFiles::check(Checked entries, Found found)
{
    m_found = std::move(found);
    work::dispose(std::exchange(m_checked, entries));
    const int generation = ++m_generation;
    // A drive still busy with an older check keeps its one job and takes the new entries after
    // it; the others have nothing left to do.
    for (auto it = m_queues.begin(); it != m_queues.end();) {
        it->entries.clear();
        it->next = 0;
        it = it->inFlight ? std::next(it) : m_queues.erase(it);
    }
    // Which drive each entry is on, from the mount table alone, away from the window's thread.
    m_grouping = true;
    work::post(
        work::Line::compute(), this,
        [entries, drives = &m_drives] {
            Groups groups;
            QHash<QString, QString> driveOfFolder;
            for (int i = 0; i < entries->count(); ++i) {
                const QString folder = entries->folderOf(i);
                auto drive = driveOfFolder.constFind(folder);
                if (drive == driveOfFolder.constEnd())
                    drive = driveOfFolder.insert(folder, drives->driveOf(folder));
                groups[*drive].push_back(i);
            }
            return groups;
        },
        [this, generation](Groups groups) {
            if (generation != m_generation)
                return;
            m_grouping = false;
            for (auto it = groups.begin(); it != groups.end(); ++it) {
                DriveQueue& q = m_queues[it.key()];
                q.entries = std::move(it.value());
                q.next = 0;
                if (!q.inFlight)
                    sendNext(it.key());
            }
        });
}

bool MissingFiles::busy() const
{
    return m_grouping || std::any_of(m_queues.begin(), m_queues.end(), [](const DriveQueue& q) {
               return q.inFlight || q.next < q.entries.size();
           });
}

void MissingFiles::sendNext(const QString& drive)
{
    DriveQueue& q = m_queues[drive];
    if (q.next >= q.entries.size()) {
        m_queues.remove(drive);
        return;
    }
    const size_t end = std::min(q.entries.size(), q.next + kBatch);
    std::vector<int> batch(q.entries.begin() + qsizetype(q.next),
                           q.entries.begin() + qsizetype(end));
    q.next = end;
    q.inFlight = true;
    work::post(
        work::Line::drive(drive), this,
        [batch = std::move(batch), entries = m_checked, look = m_look,
         drives = &m_drives]() mutable {
            Answers answers;
            answers.reserve(batch.size());
            QHash<QString, bool> away; // by folder: whether its drive is not connected
            for (const int i : batch) {
                const QString folder = entries->folderOf(i);
                auto notConnected = away.constFind(folder);
                if (notConnected == away.constEnd())
                    notConnected = away.insert(folder, drives->isNotConnected(folder));
                State state = State::Missing;
                if (*notConnected) {
                    state = State::NotConnected;
                } else {
                    // Any of its paths there counts; a drive that cannot be reached is never
                    // taken for a file that has gone.
                    for (const QString& file : entries->filesOf(i)) {
                        const Presence p = look(file);
                        if (p == Presence::There) {
                            state = State::Present;
                            break;
                        }
                        if (p == Presence::NotAnswering)
                            state = State::NotAnswering;
                    }
                }
                answers.emplace_back(i, state);
            }
            entries.reset(); // only the answer holds them now (see below)
            return answers;
        },
        [this, drive, generation = m_generation,
         checked = m_checked](const Answers& answers) mutable {
            m_queues[drive].inFlight = false;
            // Answers of a check that a newer one replaced are not shown; the newer one's
            // entries of this drive follow now.
            if (generation == m_generation && m_found)
                m_found(checked, answers);
            sendNext(drive);
            // The entries of a replaced check may be held by this answer alone: a large list is
            // let go of away from the window's thread.
            work::dispose(std::move(checked));
        },
        work::Priority::Background);
}
