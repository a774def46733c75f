#pragma once

#include "platform/VolumeMonitor.h"

#include <QList>
#include <QMutex>
#include <QPointer>

#include <memory>

// GIO's volume monitor: the local folders of its mounts (g_volume_monitor_get_mounts), read on
// the window's thread, where GIO tells of mounts that come and go, and handed to any thread from
// there. It starts once the window's event loop runs, so that the desktop's answer does not hold
// up the start.
class GioVolumeMonitor : public VolumeMonitor {
public:
    GioVolumeMonitor();
    ~GioVolumeMonitor() override;
    GioVolumeMonitor(const GioVolumeMonitor&) = delete;
    GioVolumeMonitor& operator=(const GioVolumeMonitor&) = delete;

    std::optional<QStringList> mountFolders() const override;
    void watch(QObject* context, std::function<void()> changed) override;

    // Reads the mounts again and tells the watchers; GIO's signals call it.
    void reread();

private:
    struct Monitor;
    void start();

    std::unique_ptr<Monitor> m_monitor;
    mutable QMutex m_mutex;
    std::optional<QStringList> m_folders;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> m_watchers;
};
