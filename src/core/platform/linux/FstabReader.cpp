#include "platform/linux/FstabReader.h"

#ifndef Q_OS_WIN

#include "platform/linux/MountTable.h"

#include <QFile>

#include <sys/stat.h>

FstabReader::FstabReader(QString fstab)
    : m_fstab(std::move(fstab))
{}

QStringList FstabReader::fstabPoints(const QByteArray& fstab)
{
    QStringList points;
    for (const QByteArray& line : fstab.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[0].startsWith('#') || !fields[1].startsWith('/') ||
            fields[2] == "swap")
            continue;
        QString point = MountTable::unescapePath(fields[1]);
        while (point.size() > 1 && point.endsWith(QLatin1Char('/')))
            point.chop(1);
        if (point != QLatin1String("/"))
            points.append(point);
    }
    return points;
}

QStringList FstabReader::current() const
{
    // Read again when it changed; a look at /etc itself never waits on a drive that comes and
    // goes.
    struct stat st {};
    const QByteArray name = QFile::encodeName(m_fstab);
    const qint64 stamp = ::stat(name.constData(), &st) == 0
                             ? qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec
                             : 0;
    QMutexLocker lock(&m_mutex);
    if (stamp != m_stamp) {
        m_stamp = stamp;
        QFile f(m_fstab);
        m_points = f.open(QIODevice::ReadOnly) ? fstabPoints(f.read(1 << 20)) : QStringList();
    }
    return m_points;
}

#endif
