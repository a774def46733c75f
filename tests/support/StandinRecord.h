#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QThread>

// The stand-in tool's record of its starts, "tool<TAB>arg<TAB>arg" a line each, once it holds
// `expected` lines or ten seconds have gone by (the tool starts on its own time).
inline QStringList standinStarts(const QString& recordFile, int expected)
{
    QElapsedTimer t;
    t.start();
    QStringList lines;
    while (t.elapsed() < 10000) {
        QFile f(recordFile);
        if (f.open(QIODevice::ReadOnly))
            lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (lines.size() >= expected)
            break;
        QThread::msleep(10);
    }
    return lines;
}
