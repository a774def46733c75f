#pragma once

#include "base/FileResult.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The error reported when a list file ends in the middle of a record: the same number and text
// the list's readers have always given for it.
FileResult truncatedListFailure();

struct FileContent {
    FileResult result;
    bool exists = false;
    QByteArray data;
};

// Reads a whole file; a missing file is reported as such, not as a failure.
FileContent readWholeFile(const QString& path);

// Replaces `target` with `content` so that there is never a moment without a complete file:
// the new text goes to `tempPath`, is flushed to disk, and is renamed over `target` in one step.
// On any failure `target` is exactly as it was. `beforeReplace`, when given, runs between the
// flush and the rename (the tests use it to stand in for a crash at that moment).
FileResult replaceFileAtomically(const QString& target, const QString& tempPath,
                                 const QByteArray& content,
                                 const std::function<void()>& beforeReplace = {});

// Renames a file, failing (with the platform's "file exists" error) rather than replacing an
// existing file at `to`.
FileResult renameNoReplace(const QString& from, const QString& to);
