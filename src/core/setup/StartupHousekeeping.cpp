#include "setup/StartupHousekeeping.h"

#include "base/Paths.h"
#include "formats/ShortcutHelper.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr DefaultShortcut kDefaults[] = {
    {"Plot Pictures.lnk", "prv.exe", "prv.exe"},
    {"LogTallyPC.lnk", "LTPC.exe", "LTPC.exe"},
    {"Image Keeper.lnk", "imgkeep.exe", "imgkeep.exe"},
    {"Model Library.lnk", "MDLib.exe", "mdlib.exe"},
    {"Canopy Load.lnk", "cnl.exe", "cnl.exe"},
    {"Measure Swap.lnk", "MeasSwap.exe", "MeasSwap.exe"},
};
} // namespace

std::span<const DefaultShortcut> defaultShortcuts()
{
    return kDefaults;
}

void makeProgramFolders(const QString& appFolder)
{
    for (const char* name : {"ShortCuts", "DemoImages", "PhotoImages"})
        paths::ensureFolder(appFolder, QString::fromLatin1(name));
}

void removeRetiredShortcut(const QString& appFolder)
{
    const QString folder = shortcutFolder(appFolder);
    const QString retired = paths::findIgnoringCase(folder, QStringLiteral("ProfileView.lnk"));
    if (!retired.isEmpty() && QFileInfo(paths::join(folder, retired)).isFile())
        QFile::remove(paths::join(folder, retired));
}

void writeDefaultShortcuts(const QString& appFolder)
{
    ShortcutHelper helper;
    for (const DefaultShortcut& d : kDefaults) {
        // The long form is taken anew for every shortcut, as the folder may change meanwhile.
        const QString longForm = GetLongPath(appFolder);
        const QString folder = shortcutFolder(appFolder);
        const QString name = QString::fromLatin1(d.shortcutFile);
        if (paths::existsIgnoringCase(folder, name))
            continue; // the user's own version, wherever it points, stays
        QString file = paths::join(folder, name);
        QString target = paths::join(longForm, QString::fromLatin1(d.targetExecutable));
        QString working = QStringLiteral(" ");
        QString arguments = QStringLiteral(" ");
        QString icon = paths::join(longForm, QString::fromLatin1(d.iconFile));
        qint32 n1 = 0, n2 = 0;
        helper.CreateShortcut(file, target, working, arguments, icon, n1, n2);
    }
}
