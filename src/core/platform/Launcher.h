#pragma once

#include "base/FileResult.h"

#include <QString>

// Starts a program without waiting for it. `argumentText` is everything of the command line after
// the blank that follows the program path, unchanged.
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual FileResult start(const QString& program, const QString& argumentText) = 0;
};
