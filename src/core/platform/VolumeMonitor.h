#pragma once

#include <QStringList>

#include <functional>
#include <optional>

class QObject;

// The desktop's own mounts of network shares, phones and cameras: one FUSE file system whose
// folders come and go, so which of them are connected is asked of the desktop, never found by
// listing that folder (a listing may wait on every share behind it).
class VolumeMonitor {
public:
    virtual ~VolumeMonitor() = default;
    // The folders the desktop's mounts are reached at now; none while that is not known yet.
    // Any thread.
    virtual std::optional<QStringList> mountFolders() const = 0;
    // `changed` runs on `context`'s thread whenever a mount comes or goes, until `context` goes.
    // Called on the window's thread.
    virtual void watch(QObject* context, std::function<void()> changed) = 0;
};
