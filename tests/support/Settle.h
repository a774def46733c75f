#pragma once

#include "work/Work.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <ostream>

// Test failures print texts as texts.
inline std::ostream& operator<<(std::ostream& out, const QString& text)
{
    return out << text.toStdString();
}
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text << '"';
}

// Runs the window's events until every job handed to the work queues has handed back its answer,
// and the answers' own follow-up jobs too. False when that took longer than `ms`.
inline bool settle(int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents();
        if (work::inFlight() == 0) {
            QCoreApplication::processEvents(); // what the last answer set going on this thread
            if (work::inFlight() == 0)
                return true;
        }
        QThread::usleep(200);
    } while (clock.elapsed() < ms);
    return false;
}

// Runs the window's events until `done()` holds. `done` is looked at after every batch of events
// and at least every millisecond: an answer from the work queues (or any event) wakes the wait at
// once, without the lag of a sleep. False when `ms` went by first.
template <class Done> bool runEventsUntil(Done done, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // so that the wait for the next event ends to look again
    wake.start(1);
    while (!done()) {
        if (clock.elapsed() >= ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the window's events until every job handed to the work queues has handed back its answer
// and `done()` holds as well; false when that took longer than `ms`.
template <class Done> bool settleUntil(Done done, int ms = 10000)
{
    return runEventsUntil([&] { return work::inFlight() == 0 && done(); }, ms);
}
