#pragma once

#include <QString>

#include <span>

// The four kinds of data file of the suite.
struct DataFileKind {
    const char* kindText;  // "Fuel Profile"
    const char* extension; // ".fpl"
    const char* scanCode;  // "fpl": the kind code the data-folder scan writes
    int kindIndex;         // KindFromExtension's answer: note 1 is photo series, 2 planar
    const char* largeIcon;
    const char* smallIcon;
    const char* mimeType; // the type the program declares to the desktop for its files
};

// In the table's order: fpl, pli, phs, crn (the order of the data-folder scan).
std::span<const DataFileKind> dataFileKinds();

// The kind of a stored kind code (any letter case), or nullptr for an unrecognised code.
const DataFileKind* kindOfCode(const QString& kindCode);

// The kind of a file by its extension (any letter case), or nullptr for any other file.
const DataFileKind* kindOfPath(const QString& path);

// 0 fuel profile, 1 photo series, 2 planar intercept, 3 crown mass, 99 anything else; only the
// last four characters of the path count, in any letter case.
int KindFromExtension(const QString& path);
