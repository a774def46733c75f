#include "platform/windows/WinDriveTable.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <QObject>
#include <QTimer>

#include <windows.h>

namespace {
LPCWSTR w(const QString& s)
{
    return reinterpret_cast<LPCWSTR>(s.utf16());
}
} // namespace

QList<Drive> WinDriveTable::drives() const
{
    QList<Drive> result;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const QString root = QString(QLatin1Char(letter)) + QLatin1String(":\\");
        const UINT type = GetDriveTypeW(w(root));
        result.append(Drive{root, int(type)});
    }
    return result;
}

QString WinDriveTable::driveOf(const QString& path) const
{
    const QString p = QDir::toNativeSeparators(path);
    if (p.startsWith(QLatin1String("\\\\"))) {
        // \\server\share\...
        const qsizetype server = p.indexOf(u'\\', 2);
        if (server < 0)
            return p;
        const qsizetype share = p.indexOf(u'\\', server + 1);
        return (share < 0 ? p : p.left(share)) + u'\\';
    }
    if (p.size() >= 2 && p[1] == u':')
        return p.left(2).toUpper() + u'\\';
    return {};
}

bool WinDriveTable::isNotConnected(const QString& path) const
{
    const QString root = driveOf(path);
    if (root.isEmpty())
        return false;
    if (!root.startsWith(QLatin1String("\\\\"))) {
        // A letter mapped to a share keeps its type while the share is away: it is asked as the
        // share itself would be.
        const UINT type = GetDriveTypeW(w(root));
        if (type != DRIVE_REMOTE)
            return type == DRIVE_NO_ROOT_DIR;
    }
    if (GetFileAttributesW(w(root)) != INVALID_FILE_ATTRIBUTES)
        return false;
    switch (GetLastError()) {
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_HOST_UNREACHABLE:
    case ERROR_REM_NOT_LIST:
    case ERROR_DEV_NOT_EXIST:
        return true;
    default:
        return false;
    }
}

void WinDriveTable::watch(QObject* context, std::function<void()> changed)
{
    // The drive letters in use, looked at every second: a stick plugged in or pulled out shows
    // there without a window of our own to receive the device messages.
    auto* timer = new QTimer(context);
    auto last = std::make_shared<DWORD>(GetLogicalDrives());
    QObject::connect(timer, &QTimer::timeout, context, [last, changed = std::move(changed)] {
        const DWORD now = GetLogicalDrives();
        if (now != *last) {
            *last = now;
            changed();
        }
    });
    timer->start(1000);
}
#endif
