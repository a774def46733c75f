#include "lists/MissingFiles.h"

#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>
#include <QThreadPool>

namespace {
constexpr qsizetype kBatch = 1024;

// A pool of its own, never torn down: a check stuck on an unreachable folder must neither hold up
// the program's end nor take the threads that other work needs.
QThreadPool& checkPool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(2);
        // The checks take only the processor time the window leaves over.
        p->setThreadPriority(QThread::IdlePriority);
        return p;
    }();
    return *pool;
}

void findMissing(QPromise<QList<qsizetype>>& promise, const QStringList& folders,
                 const QStringList& names, const MissingFiles::Exists& exists)
{
    QList<qsizetype> missing;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (promise.isCanceled())
            return;
        if (!exists(folders[i] + names[i]))
            missing.append(i);
        if ((i + 1) % kBatch == 0 || i + 1 == names.size()) {
            promise.addResult(missing);
            missing.clear();
        }
    }
}
} // namespace

MissingFiles::MissingFiles(Exists exists, QObject* parent)
    : QObject(parent)
    , m_exists(std::move(exists))
{}

MissingFiles::~MissingFiles()
{
    if (m_watcher)
        m_watcher->future().cancel();
}

void MissingFiles::check(QStringList folders, QStringList names, Found found)
{
    if (m_watcher) {
        m_watcher->disconnect(this);
        m_watcher->future().cancel();
        m_watcher->deleteLater();
        m_watcher = nullptr;
    }
    m_found = std::move(found);
    m_watcher = new QFutureWatcher<QList<qsizetype>>(this);
    connect(m_watcher, &QFutureWatcherBase::resultReadyAt, this, [this](int index) {
        const QList<qsizetype> missing = m_watcher->resultAt(index);
        if (!missing.isEmpty() && m_found)
            m_found(missing);
    });
    m_watcher->setFuture(QtConcurrent::run(&checkPool(), findMissing, std::move(folders),
                                           std::move(names), m_exists));
}

bool MissingFiles::busy() const
{
    return m_watcher && m_watcher->isRunning();
}
