#pragma once

#include "platform/Launcher.h"

#ifndef Q_OS_WIN

// Starts a program detached, in a session of its own, with the argument text split at blanks into
// its arguments (no shell, so every character reaches the program as written). The hub does not
// wait for it, and no zombie is left behind: an intermediate process starts it and is reaped at
// once, so the program's parent becomes the system's.
class PosixLauncher : public Launcher {
public:
    FileResult start(const QString& program, const QString& argumentText) override;

    // The program file to run: `program` itself, or the file of that name in any letter case in
    // its folder, as on the file systems the tools come from.
    static QString resolveProgram(const QString& program);
    // True for a Windows executable (it begins with "MZ").
    static bool isWindowsExecutable(const QString& path);
};
#endif
