#pragma once

#include <QString>

// One entry of the "Open" list: a record of the recent-file list. Its identity is its full path,
// compared exactly, as the list's own operations compare paths.
struct OpenEntry {
    QString kindCode; // as stored, in its letter case
    QString folder;   // ends in a separator
    QString name;
    QString dateText;
    QString path() const { return folder + name; }
    bool operator==(const OpenEntry&) const = default;
};
