#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Path helpers. Every path the program forms is a folder, the native separator, then a name, and
// names are matched without regard to letter case, as on the platform the data files come from.
namespace paths {

QChar separator();

// folder + separator + name
QString join(const QString& folder, const QString& name);

// The name of the entry of `folder` that equals `name` ignoring letter case (hidden entries
// included), preferring an exact match; empty when there is none.
QString findIgnoringCase(const QString& folder, const QString& name);

// True when `folder` holds a file or folder named `name` in any letter case.
bool existsIgnoringCase(const QString& folder, const QString& name);

// folder + separator + the on-disk spelling of `name` when one exists, else `name` as given.
QString resolveIgnoringCase(const QString& folder, const QString& name);

// Makes the folder `name` in `parent` unless a file or folder of that name exists in any case.
// Returns true when the name exists afterwards.
bool ensureFolder(const QString& parent, const QString& name);

// Empty when `name` can be the new name of a file in its folder; otherwise the reason it cannot
// (a separator, a character Windows file names cannot hold, a control character, or a leading
// dot: "." and "..", or a name that would make a hidden file).
QString refusalOfNewName(const QString& name);

// File names on Linux are bytes, and not every name is UTF-8: the suite's Windows programs write
// Windows-1252 names into the list files, and a stick from another machine may hold such names.
// A name read from the file system is held as text that gives its bytes back unchanged: UTF-8
// where the bytes are UTF-8, and every other byte as a character of its own (U+DC80 + the byte,
// which no real text holds). Every call that hands a path to the file system goes through
// toNativeBytes. On Windows, where names are UTF-16, both are plain UTF-8.
QString fromNativeBytes(QByteArrayView bytes);
QByteArray toNativeBytes(const QString& path);
// The file: URI of an absolute path, made of the bytes the path names (see toNativeBytes).
QString fileUri(const QString& path);

} // namespace paths

// Splits at the last separator: folder keeps the separator, fileName is the rest. A path without
// a separator is all file name.
void SplitPath(const QString& path, QString* fileName, QString* folder);

// The shortcut folder: "shortcuts" (in whatever letter case it exists on disk) under the long
// form of the application folder.
QString shortcutFolder(const QString& appFolder);

// The long form of an absolute folder path: each component as it stands on disk, letter case
// included, without a trailing separator. Empty when a component does not exist. A root alone
// gives its drive ("C:") on Windows and the empty text elsewhere.
QString GetLongPath(const QString& path);
