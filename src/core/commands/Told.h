#pragma once

#include <QString>

namespace commands {

// What the window tells the user of a command's outcome: a notice, or a failure told with the
// platform's reason; nothing when both are empty.
struct Told {
    QString notice;
    QString failure;
};

} // namespace commands
