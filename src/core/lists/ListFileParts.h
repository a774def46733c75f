#pragma once

// The two halves of the list-file core that differ by platform: one careful read of the file, and
// the replace that happens only while the file is still the version that was read. Private to
// the list-file core.
#include "lists/ListFile.h"

namespace listfile {

enum class Replaced { Done, FileChanged, Failed };

// One read. `stable` is false when the file changed while it was read.
FileContent readOnce(const QString& path, bool* stable);

// Writes `content` to the temporary file, flushes it, and swaps it in at `path` (in the place of
// the file, or of a symbolic link) when what `path` leads to is still the version `expected`; on
// failure `failure` says why.
Replaced replaceIfUnchanged(const QString& path, const QString& tempPath, const QByteArray& content,
                            const FileIdentity& expected,
                            const std::function<void()>& beforeReplace, FileResult* failure);

QString fileNameOf(const QString& path);
// A pipe, a device or the like where the list belongs; `nearest` is the platform's number nearest
// to what stands there.
FileResult notOrdinaryFile(const QString& path,
                           FileResult::Nearest nearest = FileResult::Nearest::Invalid);
FileResult tooLarge();

} // namespace listfile
