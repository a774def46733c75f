#ifndef _WIN32

// GLib's headers first: Qt's keyword macros (signals, slots) would change them.
#include <gio/gio.h>
#include <glib.h>

#include "platform/linux/GioVolumeMonitor.h"

#include "base/Paths.h"

#include <QObject>
#include <QTimer>

struct GioVolumeMonitor::Monitor {
    GVolumeMonitor* monitor = nullptr;
    QList<gulong> handlers;
};

namespace {

void onMountsChanged(GVolumeMonitor*, GMount*, gpointer self)
{
    static_cast<GioVolumeMonitor*>(self)->reread();
}

} // namespace

GioVolumeMonitor::GioVolumeMonitor()
    : m_monitor(std::make_unique<Monitor>())
{}

GioVolumeMonitor::~GioVolumeMonitor()
{
    if (!m_monitor->monitor)
        return;
    for (const gulong h : m_monitor->handlers)
        g_signal_handler_disconnect(m_monitor->monitor, h);
    g_object_unref(m_monitor->monitor);
}

std::optional<QStringList> GioVolumeMonitor::mountFolders() const
{
    QMutexLocker lock(&m_mutex);
    return m_folders;
}

void GioVolumeMonitor::watch(QObject* context, std::function<void()> changed)
{
    const bool first = m_watchers.isEmpty();
    m_watchers.append({QPointer<QObject>(context), std::move(changed)});
    if (first)
        QTimer::singleShot(0, context, [this] { start(); });
}

void GioVolumeMonitor::start()
{
    if (m_monitor->monitor)
        return;
    m_monitor->monitor = g_volume_monitor_get();
    for (const char* signal : {"mount-added", "mount-removed", "mount-changed"}) {
        m_monitor->handlers.append(
            g_signal_connect(m_monitor->monitor, signal, G_CALLBACK(onMountsChanged), this));
    }
    reread();
}

void GioVolumeMonitor::reread()
{
    QStringList folders;
    GList* mounts = g_volume_monitor_get_mounts(m_monitor->monitor);
    for (GList* m = mounts; m; m = m->next) {
        GFile* root = g_mount_get_root(G_MOUNT(m->data));
        if (char* path = g_file_get_path(root)) {
            folders.append(paths::fromNativeBytes(QByteArray(path)));
            g_free(path);
        }
        g_object_unref(root);
    }
    g_list_free_full(mounts, g_object_unref);
    {
        QMutexLocker lock(&m_mutex);
        m_folders = folders;
    }
    for (const auto& [context, call] : m_watchers) {
        if (context && call)
            call();
    }
}

#endif
