#pragma once

#include "platform/Launcher.h"

#ifdef Q_OS_WIN
// CreateProcess with the program path quoted and the argument text unchanged.
class WinLauncher : public Launcher {
public:
    FileResult start(const QString& program, const QString& argumentText) override;
};
#endif
