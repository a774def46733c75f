#pragma once

#include "platform/DriveTable.h"

#ifdef Q_OS_WIN
// GetDriveType over the roots A:\ to Z:\, in that order. A path's drive is its drive letter or
// its \\server\share.
class WinDriveTable : public DriveTable {
public:
    QList<Drive> drives() const override;
    QString driveOf(const QString& path) const override;
    bool isNotConnected(const QString& path) const override;
    QList<DriveIdentity> mountedDrives() const override;
    void watch(QObject* context, std::function<void()> changed) override;
};
#endif
