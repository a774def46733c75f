#pragma once

#include "platform/FileManager.h"

#ifndef Q_OS_WIN

#include <QByteArray>
#include <QDBusConnection>
#include <QObject>

// The free desktops' file-manager interface on the session bus
// (org.freedesktop.FileManager1.ShowItems), asked without waiting. Where no program owns that
// name and none can be started for it, the bus says so at once; a file manager that does not
// answer is given up on after `timeoutMs`.
class DBusFileManager : public FileManager {
public:
    // `startupId`: the activation token this start of the program was given, passed on so that
    // the file manager's window may come forward; empty when there was none. The session bus is
    // reached when first needed.
    explicit DBusFileManager(QByteArray startupId = {}, int timeoutMs = 5000);
    // On another bus (the tests' own).
    DBusFileManager(QByteArray startupId, const QDBusConnection& bus, int timeoutMs);

    void showItem(const QString& path, std::function<void(bool shown)> answered) override;

private:
    QByteArray m_startupId;
    bool m_sessionBus;
    QDBusConnection m_bus;
    int m_timeoutMs;
    QObject m_alive; // answers are taken only while this lives
};

#endif
