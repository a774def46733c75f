#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class DriveTable;

// Finds out, away from the window's thread, which entries' files are there, which have gone and
// which lie on a drive that is not connected, and hands the answers back on the window's thread
// batch by batch. Entries are checked drive by drive, each drive on its own line: a network
// share that hangs holds back the answers of its own entries only, and never holds more than
// one check of this checker.
class MissingFiles : public QObject {
public:
    enum class State { Present, Missing, NotConnected };
    // An entry to check: its key, and the paths its file may have, the likeliest first.
    struct Item {
        QString key;
        QStringList files;
    };
    using Answers = QList<std::pair<QString, State>>; // key and state
    using Found = std::function<void(const Answers& answers)>;
    // Whether a file is there as the list counts it (it may be called on many threads at once).
    using Exists = std::function<bool(const QString& path)>;

    MissingFiles(const DriveTable& drives, Exists exists, QObject* parent = nullptr);

    // Checks `items`; `found` gets the answers batch by batch. A new check replaces the one
    // before: answers of the old one that are still to come are dropped.
    void check(const QList<Item>& items, Found found);
    // True while answers are still to come.
    bool busy() const;

private:
    struct DriveQueue {
        QList<Item> items;
        qsizetype next = 0;
        bool inFlight = false;
    };
    void sendNext(const QString& drive);

    const DriveTable& m_drives;
    Exists m_exists;
    Found m_found;
    QHash<QString, DriveQueue> m_queues;
    int m_generation = 0;
};
