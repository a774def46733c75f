#include "actions/DriveWait.h"

#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <QCursor>
#include <QTimer>
#include <QToolTip>

struct DriveWait::Pending {
    int serial = 0;
    WaitingPtr waiting;
    bool overdue = false;
    bool handling = false; // its answer is being dealt with
    QTimer timer;
};

DriveWait::DriveWait(const HubContext& hub, QelListView& list)
    : m_hub(hub)
    , m_list(list)
{}

DriveWait::~DriveWait() = default;

work::Line DriveWait::lineOf(const Where& on) const
{
    return on.drive.isEmpty() ? work::Line::list() : m_hub.lineOf(on.drive);
}

int& DriveWait::patienceMs()
{
    static int ms = 5000;
    return ms;
}

int DriveWait::begin(const QString& id, const WaitingPtr& waiting)
{
    if (const auto found = m_pending.constFind(id); found != m_pending.constEnd()) {
        if ((*found)->handling)
            return -1; // its answer is on screen
        if (!(*found)->overdue) {
            QToolTip::showText(QCursor::pos(),
                               QStringLiteral("Still waiting for the drive of ") +
                                   (*found)->waiting->path(),
                               &m_list);
            return -1;
        }
        // The user was told the drive does not answer and asks again: a new wait begins, the
        // answer of the old one is dropped.
        m_pending.remove(id);
    }
    auto pending = std::make_shared<Pending>();
    pending->serial = ++m_serial;
    pending->waiting = waiting;
    pending->timer.setSingleShot(true);
    pending->timer.setInterval(patienceMs());
    std::weak_ptr<Pending> weak = pending;
    QObject::connect(&pending->timer, &QTimer::timeout, this, [this, weak] {
        const auto p = weak.lock();
        if (!p)
            return;
        p->overdue = true;
        m_list.setBusy(false);
        m_hub.notice(QStringLiteral("The drive of ") + p->waiting->path() +
                     QStringLiteral(" is not answering."));
    });
    pending->timer.start();
    m_pending.insert(id, pending);
    m_list.setBusy(true);
    return pending->serial;
}

bool DriveWait::answered(const QString& id, int serial)
{
    const auto found = m_pending.constFind(id);
    if (found == m_pending.constEnd() || (*found)->serial != serial)
        return false; // overdue, and begun again by the user
    const std::shared_ptr<Pending> p = *found;
    p->handling = true;
    if (p->overdue)
        return false;
    p->timer.stop();
    m_list.setBusy(false);
    return true;
}

void DriveWait::forget(const QString& id, int serial)
{
    if (const auto found = m_pending.find(id);
        found != m_pending.end() && (*found)->serial == serial)
        m_pending.erase(found);
}
