#include "platform/linux/MountDriveTable.h"

#include <QFile>

namespace {

// Mount points escape blanks, tabs, newlines and backslashes as \ooo.
QString unescapeMountPath(const QByteArray& raw)
{
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size()) {
            bool ok = false;
            const int code = raw.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(raw[i]);
    }
    return QFile::decodeName(out);
}

} // namespace

MountDriveTable::MountDriveTable(QString mountTable)
    : m_mountTable(std::move(mountTable))
{}

QList<Drive> MountDriveTable::drives() const
{
    QFile f(m_mountTable);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return parse(f.readAll());
}

QList<Drive> MountDriveTable::parse(const QByteArray& table)
{
    QList<Drive> result;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[0].startsWith('#'))
            continue;
        Drive d;
        d.root = unescapeMountPath(fields[1]);
        if (!d.root.endsWith(QLatin1Char('/')))
            d.root += QLatin1Char('/');
        const QByteArray fsType = fields[2];
        d.type = (fsType == "iso9660" || fsType == "udf") ? DriveCdRom : DriveFixed;
        result.append(d);
    }
    return result;
}
