#pragma once

#include "work/Work.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

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
