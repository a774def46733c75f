#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>

#include <functional>

// Finds out, away from the window's thread, which files of a list have gone, and hands the
// answers back on the window's thread batch by batch. A file on a slow or unreachable network
// folder therefore never freezes the window: its entry only waits for its answer.
class MissingFiles : public QObject {
    Q_OBJECT
public:
    using Exists = std::function<bool(const QString& path)>;
    // The answers about paths [begin, end) of the list given to check(): `missing` holds the
    // positions of those that are missing.
    struct Answer {
        qsizetype begin = 0;
        qsizetype end = 0;
        QList<qsizetype> missing;
    };
    using Found = std::function<void(const Answer& answer)>;

    explicit MissingFiles(Exists exists, QObject* parent = nullptr);
    ~MissingFiles() override;

    // Checks `paths` in order; `found` gets the answers batch by batch. A new check drops the
    // answers of the one before.
    void check(QStringList paths, Found found);
    // True while answers are still to come.
    bool busy() const;

private:
    Exists m_exists;
    Found m_found;
    QFutureWatcher<Answer>* m_watcher = nullptr;
};
