#pragma once

#include <QString>

// Where the program keeps its lists. The application folder is the folder of the executable,
// unless that folder holds the marker file "machine-wide" (put there by the machine-wide
// package, whose folder under /usr no user may write): then every user has an application folder
// of their own, "keldara" in their data home. That is the folder a per-user install of the
// program lives in, so a user who had one keeps their lists, and both programs share them.
struct AppFolderPlace {
    QString folder;       // the application folder, no trailing separator
    QString sharedFolder; // the machine-wide program's folder; empty when `folder` is the
                          // executable's own
    QString problem;      // when not empty, the start cannot go on: what to tell the user
};

inline constexpr char kMachineWideMarker[] = "machine-wide";

// The suite's programs that a user's own application folder reaches in the shared folder.
inline constexpr const char* kCompanionTools[] = {"prv.exe",   "ltpc.exe", "imgkeep.exe",
                                                  "mdlib.exe", "cnl.exe",  "MeasSwap.exe"};

// Decides the application folder and, for a user's own folder, makes it ready: made with mode
// 0700 (missing parents too) and tightened to it when others could read it, refused when it is
// not the user's own; the companion tools of the shared folder linked into it afresh; at the
// first start a "data" folder with the shared folder's example file. `xdgDataHome` counts only
// when it is an absolute path; else the data home is `home`/.local/share. Only the marker's
// presence decides, never whether the program's folder can be written (root can write it).
// The Windows build has no machine-wide layout: there the folder of the executable is kept.
AppFolderPlace settleAppFolder(const QString& programFolder, const QString& xdgDataHome,
                               const QString& home);

// The same decision alone, touching nothing: for a program that only reads the lists (the
// desktop's search), which must not make a folder the user never started the hub in.
AppFolderPlace appFolderOf(const QString& programFolder, const QString& xdgDataHome,
                           const QString& home);

// Renews the links of `userFolder` to the companion tools of `sharedFolder`: one per tool that
// the shared folder holds (in any letter case, named as it is named there), none where the user's
// folder holds an entry of that name of its own (a real program, or a link elsewhere), and no
// link left to a tool that is gone. Failures are ignored; the next start tries again.
void renewToolLinks(const QString& userFolder, const QString& sharedFolder);
