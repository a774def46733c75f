#pragma once

#include "platform/RecentDocuments.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>

// The desktop's recently-used list for tests: records what was added and answers `result`.
// Called from worker threads.
class FakeRecentDocuments : public RecentDocuments {
public:
    FileResult add(const Document& document) override
    {
        QMutexLocker lock(&m_mutex);
        m_added.append(document);
        return m_result;
    }
    QList<Document> added() const
    {
        QMutexLocker lock(&m_mutex);
        return m_added;
    }
    void answer(const FileResult& result)
    {
        QMutexLocker lock(&m_mutex);
        m_result = result;
    }

private:
    mutable QMutex m_mutex;
    QList<Document> m_added;
    FileResult m_result;
};
