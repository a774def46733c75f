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

void findMissing(QPromise<MissingFiles::Answer>& promise, const QStringList& paths,
                 const MissingFiles::Exists& exists)
{
    MissingFiles::Answer answer;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (promise.isCanceled())
            return;
        if (!exists(paths[i]))
            answer.missing.append(i);
        if ((i + 1) % kBatch == 0 || i + 1 == paths.size()) {
            answer.end = i + 1;
            promise.addResult(answer);
            answer = {i + 1, i + 1, {}};
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

void MissingFiles::check(QStringList paths, Found found)
{
    if (m_watcher) {
        m_watcher->disconnect(this);
        m_watcher->future().cancel();
        m_watcher->deleteLater();
        m_watcher = nullptr;
    }
    m_found = std::move(found);
    m_watcher = new QFutureWatcher<Answer>(this);
    connect(m_watcher, &QFutureWatcherBase::resultReadyAt, this, [this](int index) {
        if (m_found)
            m_found(m_watcher->resultAt(index));
    });
    m_watcher->setFuture(QtConcurrent::run(&checkPool(), findMissing, std::move(paths), m_exists));
}

bool MissingFiles::busy() const
{
    return m_watcher && m_watcher->isRunning();
}
