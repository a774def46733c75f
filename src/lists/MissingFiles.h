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
    // The positions, in the lists given to check(), of files that are missing.
    using Found = std::function<void(const QList<qsizetype>& missing)>;

    explicit MissingFiles(Exists exists, QObject* parent = nullptr);
    ~MissingFiles() override;

    // Checks the files folders[i] + names[i] in order; `found` gets the positions i of the
    // missing ones, batch by batch. A new check drops the answers of the one before.
    void check(QStringList folders, QStringList names, Found found);
    // True while answers are still to come.
    bool busy() const;

private:
    Exists m_exists;
    Found m_found;
    QFutureWatcher<QList<qsizetype>>* m_watcher = nullptr;
};
