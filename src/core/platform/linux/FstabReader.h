#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>

// The mount points the system names in /etc/fstab: places where a share or a drive is mounted
// by hand or on demand, and so away while nothing is mounted there.
class FstabReader {
public:
    explicit FstabReader(QString fstab);

    // The points as the file is now, read again only when it changed. Any thread.
    QStringList current() const;

    // The mount points named in fstab text, swap and the like left out.
    static QStringList fstabPoints(const QByteArray& fstab);

private:
    QString m_fstab;
    mutable QMutex m_mutex;
    mutable QStringList m_points;
    mutable qint64 m_stamp = -1;
};
