#pragma once

#include "platform/HandOver.h"

#include <QString>
#include <QStringList>

// What the command line asks of a start: `keldara [FILE...]` opens each data file as Browse
// opens a chosen one, `keldara --new KIND` begins a file of that kind as the "New" tab's entry
// does (KIND a type code: FPL, PLI, PHS or CRN, any letter case), and the two may be mixed.
struct StartArguments {
    enum class Action { Start, Help, Version, Wrong };
    Action action = Action::Start;
    // The files, as full paths, and the kinds, in upper case, in the order given.
    QList<HandOver::Item> items;
    // For Help and Wrong: what to print.
    QString text;
};

// `arguments` without the program's own name (Qt's options already taken out); relative paths
// are taken from `currentFolder`. Nothing here looks at a file.
StartArguments parseStartArguments(const QStringList& arguments, const QString& currentFolder);

// The usage text printed by --help and after a wrong argument.
QString startUsage();
