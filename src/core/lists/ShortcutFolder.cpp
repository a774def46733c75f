#include "lists/ShortcutFolder.h"

#include "base/Paths.h"
#include "formats/ShortcutHelper.h"

#include <QDirIterator>
#include <QFileInfo>

std::vector<ShortcutEntry> readShortcutFolder(const QString& appFolder)
{
    // The folder as it is spelled on disk, as rename and create name it: the rows' keys are the
    // files they write.
    const QString folder = shortcutFolder(appFolder);
    // Ordinary, unhidden files only. Pipes and devices are skipped (a pipe would block the
    // read); without QDir::System Qt on Windows would skip shell links.
    std::vector<ShortcutEntry> entries;
    QDirIterator it(folder, {QStringLiteral("*.lnk")}, QDir::Files | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!info.isFile() && !info.isShortcut())
            continue;
        ShortcutEntry e;
        e.fileName = info.fileName();
        e.shortcutFile = paths::join(folder, e.fileName);
        QString file = e.shortcutFile, target, working, arguments;
        qint32 number1 = 0, number2 = 0;
        e.read = ShortcutHelper().ReadShortcut(file, target, working, arguments, e.program, number1,
                                               number2);
        if (!e.read.ok)
            e.program.clear();
        entries.push_back(std::move(e));
    }
    return entries;
}
