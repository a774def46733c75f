#pragma once

#include "base/FileResult.h"

#include <QByteArray>
#include <QByteArrayView>

// Writes all of `bytes` to the open file `fd`, going on after interruptions; on failure errno's
// number and text.
FileResult writeAll(int fd, QByteArrayView bytes);

// A new file at the native path `path` (never through a symbolic link, never over anything
// that stands there), open for writing.
FileResult createNewFile(const QByteArray& path, int* fd);
// Waits until what was written to `fd` is on the disk.
FileResult flushFile(int fd);
// Closes `fd`; a failure may mean that what was written is lost.
FileResult closeFile(int fd);
// The first `limit` bytes of the ordinary file at `path`; a folder, a pipe or a device is
// refused with the nearest error number rather than read (a pipe would block).
FileResult readFile(const QByteArray& path, qsizetype limit, QByteArray* bytes);
