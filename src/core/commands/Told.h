#pragma once

#include "base/FileResult.h"

#include <QString>

namespace commands {

// What the window tells the user of a command's outcome: a failure told with the platform's
// reason, or a notice (one the user must not miss when `critical`); nothing when both are empty.
struct Told {
    QString notice{};
    QString failure{};
    FileResult reason{};
    bool critical = false;

    static Told of(QString notice, bool critical = false)
    {
        return {std::move(notice), {}, {}, critical};
    }
    static Told failed(QString failure, FileResult reason)
    {
        return {{}, std::move(failure), std::move(reason), false};
    }
};

} // namespace commands
