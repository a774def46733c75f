#include "actions/ToolsTab.h"

#include "actions/Launching.h"
#include "actions/ShortcutHelper.h"
#include "base/Columns.h"
#include "base/Paths.h"
#include "base/Program.h"
#include "platform/IconSource.h"
#include "platform/Prompter.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"

#include <QDirIterator>
#include <QPixmap>

namespace {

// The entry's text: the shortcut file name up to its first ".".
QString displayName(const QString& fileName)
{
    return fileName.left(fileName.indexOf(QLatin1Char('.')));
}

// A blank picture at both sizes, for a shortcut without an icon.
QIcon blankIcon()
{
    QIcon icon;
    for (int side : {32, 16}) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

ToolsTab::ToolsTab(const HubContext& hub, QelListView& list, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_launching(launching)
{}

void ToolsTab::LoadShortcutList()
{
    // The folder as it is spelled on disk, whichever letter case it has.
    const QString folder =
        paths::resolveIgnoringCase(m_hub.appFolder(), QStringLiteral("ShortCuts"));
    // Ordinary, unhidden files only, in the order the folder lists them. Pipes and devices are
    // skipped (a pipe would block the read); without QDir::System Qt on Windows would skip shell
    // links.
    QStringList names;
    QDirIterator it(folder, {QStringLiteral("*.lnk")}, QDir::Files | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isFile() || info.isShortcut())
            names.append(info.fileName());
    }

    m_list.clear();
    m_list.setLargeImageList(nullptr);
    m_list.setSmallImageList(nullptr);
    imgShortCut[0].clear();
    imgShortCut[1].clear();
    m_unreadable.clear();

    IconSource* icons = m_hub.services().icons;
    const QIcon blank = blankIcon();
    m_list.beginFill();
    m_list.reserve(int(names.size()));
    for (const QString& name : names) {
        QString file = paths::join(folder, name);
        QString target, working, arguments, program;
        qint32 number1 = 0, number2 = 0;
        const FileResult read = ShortcutHelper().ReadShortcut(file, target, working, arguments,
                                                              program, number1, number2);
        QIcon icon;
        if (!read.ok) {
            program.clear();
            m_unreadable.insert(file, read);
            if (icons)
                icon = icons->brokenIcon();
        } else if (icons) {
            icon = icons->programIcon(program);
        }
        // The icon source draws every icon at 32 and at 16 pixels; the large list shows the one,
        // the small list the other.
        if (icon.isNull())
            icon = blank;
        imgShortCut[0].add(name, icon);
        imgShortCut[1].add(name, icon);
        const int row = m_list.addEntry(displayName(name), name, name);
        m_list.setSubItem(row, ToolsColumn::ShortcutFile, file);
        m_list.setSubItem(row, ToolsColumn::Program, program);
        if (!read.ok)
            m_list.setMissingNote(row,
                                  QStringLiteral("The shortcut cannot be read: ") + read.errorText);
    }
    m_list.endFill();
    m_list.setLargeImageList(&imgShortCut[0]);
    m_list.setSmallImageList(&imgShortCut[1]);
    m_list.setViewMode(QelListView::ViewMode::Report);
}

void ToolsTab::BrowseForTool(int& result, QString& path)
{
    OpenFileRequest request;
    request.title = QStringLiteral("Open File");
    request.filter = QStringLiteral("Files (.exe,.hlp)|*.exe;*.hlp");
#ifndef Q_OS_WIN
    // Programs here rarely end in ".exe": the user may pick any file.
    request.filter += QStringLiteral("|All files|*");
#endif
    request.filterIndex = 1;
    request.initialFolder = m_hub.appFolder();
    request.initialName = m_dialogFileName;
    QString chosen;
    if (m_hub.prompter().openFile(request, &chosen)) {
        m_dialogFileName = chosen;
        result = 0;
    } else {
        result = kDialogCancelled;
    }
    path = m_dialogFileName;
}

void ToolsTab::create()
{
    int result = 0;
    QString chosen;
    BrowseForTool(result, chosen);
    if (result != kDialogCancelled) {
        QString fileName, folder;
        SplitPath(chosen, &fileName, &folder);
        // A shortcut of this name in another letter case is the same shortcut, and is replaced.
        QString file = paths::resolveIgnoringCase(shortcutFolder(m_hub.appFolder()),
                                                  QStringLiteral("Shortcut to ") + fileName +
                                                      QStringLiteral(".lnk"));
        QString target = chosen;
        QString icon = chosen;
        QString arguments = QStringLiteral(" ");
        qint32 number1 = 0, number2 = 0;
        const FileResult written = ShortcutHelper().CreateShortcut(file, target, folder, arguments,
                                                                   icon, number1, number2);
        if (!written.ok)
            m_hub.fileFailure(QStringLiteral("The shortcut could not be written: ") + file,
                              written);
    }
    LoadShortcutList();
}

void ToolsTab::open()
{
    const int row = m_list.selectedRow();
    if (row < 0)
        return;
    const QString file = m_list.subItem(row, ToolsColumn::ShortcutFile);
    const auto unreadable = m_unreadable.constFind(file);
    if (unreadable != m_unreadable.constEnd()) {
        QString name;
        SplitPath(file, &name, nullptr);
        m_hub.fileFailure(QStringLiteral("The shortcut cannot be read: ") + name, *unreadable);
        return;
    }
    m_launching.LaunchCommand(m_list.subItem(row, ToolsColumn::Program), QString());
}
