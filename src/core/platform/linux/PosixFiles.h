#pragma once

#include "base/FileResult.h"

#include <QByteArrayView>

// Writes all of `bytes` to the open file `fd`, going on after interruptions; on failure errno's
// number and text.
FileResult writeAll(int fd, QByteArrayView bytes);
