#pragma once

#include "platform/FileSystem.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class DriveTable;

// Finds out, away from the window's thread, which entries' files are there, which have gone and
// which lie on a drive that is not connected, and hands the answers back on the window's thread
// batch by batch. Entries are checked drive by drive, each drive on its own line: a network
// share that hangs holds back the answers of its own entries only, and never holds more than
// one check of this checker.
class MissingFiles : public QObject {
public:
    // NotAnswering: the drive is mounted but answers with an error that it cannot be reached.
    enum class State { Present, Missing, NotConnected, NotAnswering };

    // The entries to check. Shared with the checking threads: it must not change.
    class Entries {
    public:
        virtual ~Entries() = default;
        virtual int count() const = 0;
        // The folder the entry's file lies in (ending in a separator): its drive is the file's.
        virtual QString folderOf(int entry) const = 0;
        // The paths the file may have, the likeliest first.
        virtual QStringList filesOf(int entry) const = 0;
    };
    using Checked = std::shared_ptr<const Entries>;
    using Answers = std::vector<std::pair<int, State>>; // entry and state
    // `what` is the check the answers belong to.
    using Found = std::function<void(const Checked& what, const Answers& answers)>;
    // Whether a file is there as the list counts it (called on many threads at once).
    using Exists = std::function<bool(const QString& path)>;
    // ... or, told apart from a drive that cannot be reached.
    using Look = std::function<Presence(const QString& path)>;

    MissingFiles(const DriveTable& drives, Look look, QObject* parent = nullptr);
    MissingFiles(const DriveTable& drives, Exists exists, QObject* parent = nullptr);

    // Checks `entries`; `found` gets the answers batch by batch. A new check replaces the one
    // before: answers of the old one that are still to come are dropped.
    void check(Checked entries, Found found);
    // True while answers are still to come.
    bool busy() const;

private:
    struct DriveQueue {
        std::vector<int> entries;
        size_t next = 0;
        bool inFlight = false;
    };
    void sendNext(const QString& drive);

    const DriveTable& m_drives;
    Look m_look;
    Found m_found;
    Checked m_checked;
    QHash<QString, DriveQueue> m_queues;
    int m_generation = 0;
    bool m_grouping = false;
};
