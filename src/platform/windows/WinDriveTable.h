#pragma once

#include "platform/DriveTable.h"

#ifdef Q_OS_WIN
// GetDriveType over the roots A:\ to Z:\, in that order.
class WinDriveTable : public DriveTable {
public:
    QList<Drive> drives() const override;
};
#endif
