#pragma once

#include <QMap>
#include <QProcess>
#include <QString>

// What the independent shell-link reader (lnkinfo, from liblnk-utils) makes of a file: its
// "Label : value" lines.
inline QMap<QString, QString> lnkinfo(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("lnkinfo"), {file});
    p.waitForFinished();
    QMap<QString, QString> fields;
    for (const QString& line :
         QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const qsizetype colon = line.indexOf(QLatin1String(": "));
        if (colon > 0)
            fields.insert(line.left(colon).trimmed(), line.mid(colon + 2));
    }
    return fields;
}
