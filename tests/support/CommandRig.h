#pragma once

#include "base/Paths.h"
#include "commands/OpenEdits.h"
#include "platform/LocalFileSystem.h"
#include "support/Fakes.h"
#include "support/FakeTrash.h"

// What the "Open" tab's commands reach, for tests of the commands themselves: the real file
// system, a trash and drives of the test's own.
struct CommandRig {
    LocalFileSystem files;
    FakeTrash trash;
    FakeDriveTable drives;
    Waiting waiting;

    openedits::Seams seams(const QString& appFolder)
    {
        return {RecentFileList(appFolder), &files, &trash, &drives};
    }
};

// The entry of a record of `path`.
inline OpenEntry entryOf(const QString& path, const QString& kindCode = QStringLiteral("fpl"),
                         const QString& date = QStringLiteral("d"))
{
    OpenEntry e;
    SplitPath(path, &e.name, &e.folder);
    e.kindCode = kindCode;
    e.dateText = date;
    return e;
}
