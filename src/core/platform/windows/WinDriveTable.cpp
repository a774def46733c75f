#include "platform/windows/WinDriveTable.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <QObject>
#include <QTimer>

#include <windows.h>
#include <winnetwk.h>

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

QList<DriveIdentity> WinDriveTable::mountedDrives() const
{
    // Sticks by their volume's serial number and label, mapped letters by their share; the
    // fixed disks and CD drives hold no entries that move. Runs off the window's thread: a
    // stick's volume is asked, a share is not (its letter's mapping is known without it).
    QList<DriveIdentity> result;
    const DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(letters & (DWORD(1) << i)))
            continue;
        const QString letter = QString(QLatin1Char(char('A' + i))) + QLatin1Char(':');
        const QString root = letter + QLatin1Char('\\');
        const UINT type = GetDriveTypeW(w(root));
        if (type == DRIVE_REMOTE) {
            wchar_t share[MAX_PATH + 1] = {};
            DWORD size = MAX_PATH;
            if (WNetGetConnectionW(w(letter), share, &size) == NO_ERROR) {
                const QString source = QString::fromWCharArray(share);
                result.append({{}, source, letter, letter + QLatin1Char('|') + source});
            }
        } else if (type == DRIVE_REMOVABLE) {
            wchar_t label[MAX_PATH + 1] = {};
            DWORD serial = 0;
            if (GetVolumeInformationW(w(root), label, MAX_PATH, &serial, nullptr, nullptr, nullptr,
                                      0)) {
                const QString id = QString::number(serial, 16).toUpper().rightJustified(8, u'0');
                result.append(
                    {id, QString::fromWCharArray(label), letter, letter + QLatin1Char('|') + id});
            }
        }
    }
    return result;
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
