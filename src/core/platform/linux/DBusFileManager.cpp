#include "platform/linux/DBusFileManager.h"

#include "base/Paths.h"

#ifndef Q_OS_WIN

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

DBusFileManager::DBusFileManager(QByteArray startupId, int timeoutMs)
    : m_startupId(std::move(startupId))
    , m_sessionBus(true)
    , m_bus(QString())
    , m_timeoutMs(timeoutMs)
{}

DBusFileManager::DBusFileManager(QByteArray startupId, const QDBusConnection& bus, int timeoutMs)
    : m_startupId(std::move(startupId))
    , m_sessionBus(false)
    , m_bus(bus)
    , m_timeoutMs(timeoutMs)
{}

void DBusFileManager::showItem(const QString& path, std::function<void(bool shown)> answered)
{
    if (m_sessionBus && !m_bus.isConnected())
        m_bus = QDBusConnection::sessionBus();
    if (!m_bus.isConnected()) {
        QMetaObject::invokeMethod(
            &m_alive, [answered = std::move(answered)] { answered(false); }, Qt::QueuedConnection);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{paths::fileUri(path)} << QString::fromUtf8(m_startupId);
    // A name nobody owns that no service file can start is an error from the bus at once.
    call.setAutoStartService(true);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_timeoutMs), &m_alive);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_alive,
                     [answered = std::move(answered)](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         answered(!w->isError());
                     });
}

#endif
