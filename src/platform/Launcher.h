#pragma once

#include <QString>

struct LaunchResult {
    bool started = false;
    int error = 0;     // the platform's error number when the start failed
    QString errorText; // the platform's description of that error
};

// Starts a program without waiting for it. `argumentText` is everything of the command line after
// the blank that follows the program path, unchanged.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual LaunchResult start(const QString& program, const QString& argumentText) = 0;
};
