#pragma once

#include "base/FileResult.h"

#include <QByteArray>
#include <QList>

#ifndef Q_OS_WIN

// Starts the program at path argv[0] with exactly these arguments: no shell, no search of PATH,
// every argument reaches the program as one argument whatever it holds. The program runs detached
// in a session of its own, with no blocked signals and none of ours ignored; the hub does not wait
// for it, and no zombie is left behind (an intermediate process starts it and is reaped at once,
// so the program's parent becomes the system's). A failure to start, including a failure of the
// program's exec, comes back with its errno and text.
FileResult spawnDetached(const QList<QByteArray>& argv);

#endif
