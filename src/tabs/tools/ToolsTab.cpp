#include "tabs/tools/ToolsTab.h"

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
#include <QFile>
#include <QFileInfo>
#include <QPixmap>

#include <cerrno>

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
    if (result != kDialogCancelled)
        createShortcutTo(chosen);
    LoadShortcutList();
}

void ToolsTab::createShortcutTo(const QString& chosen)
{
    {
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

namespace {
// The companion tools' own shortcuts, which the hub's users must keep.
struct ProtectedShortcut {
    const char* fileName;
    bool noDelete;
    bool noRename;
};
constexpr ProtectedShortcut kProtected[] = {
    {"Model Library.lnk", true, true}, {"LogTallyPC.lnk", true, true},
    {"Plot Pictures.lnk", true, true}, {"Image Keeper.lnk", true, false},
    {"Sort Images.lnk", false, true},  {"Tabulate.lnk", false, true},
    {"Canopy Load.lnk", true, true},   {"Measure Swap.lnk", true, true},
};

const ProtectedShortcut* protection(const QString& fileName)
{
    for (const ProtectedShortcut& p : kProtected) {
        if (fileName.toUpper() == QString::fromLatin1(p.fileName).toUpper())
            return &p;
    }
    return nullptr;
}
} // namespace

QString ToolsTab::selectedShortcut() const
{
    const int row = m_list.selectedRow();
    const QString file = row < 0 ? QString() : m_list.subItem(row, ToolsColumn::ShortcutFile);
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        m_hub.notice(QStringLiteral("Please select shortcut"));
        return {};
    }
    return file;
}

void ToolsTab::rename()
{
    const QString file = selectedShortcut();
    if (file.isEmpty())
        return;
    QString fileName;
    SplitPath(file, &fileName, nullptr);
    if (const ProtectedShortcut* p = protection(fileName); p && p->noRename) {
        m_hub.notice(QStringLiteral("Sorry, you can't rename this shortcut"));
        return;
    }
    const QString current = fileName.left(fileName.size() - 4);
    const QString answer = m_hub.prompter().inputBox(QStringLiteral("Rename shortcut ") + current,
                                                     QStringLiteral("  "), QStringLiteral(" "));
    if (!answer.isEmpty())
        renameShortcut(file, answer);
    LoadShortcutList();
}

void ToolsTab::renameShortcut(const QString& oldFile, const QString& answer)
{
    // A name that is no file name, or that would leave the shortcut folder, writes nothing.
    if (const QString refusal = paths::refusalOfNewName(answer); !refusal.isEmpty()) {
        m_hub.notice(refusal);
        return;
    }
    const QString folder = shortcutFolder(m_hub.appFolder());
    const QString newName = answer + QStringLiteral(".lnk");
    if (paths::existsIgnoringCase(folder, newName)) {
        m_hub.notice(answer.toUpper() + QStringLiteral(" already exists, can't change name"));
        return;
    }
    const auto failed = [&](const FileResult& r) {
        m_hub.fileFailure(QStringLiteral("The shortcut was not renamed"), r);
    };
    ShortcutHelper helper;
    ShortcutData old;
    QString oldPath = oldFile, oldArguments, oldIcon;
    if (FileResult r = helper.ReadShortcut(oldPath, old.targetPath, old.workingFolder, oldArguments,
                                           oldIcon, old.iconIndex, old.hotKey);
        !r.ok) {
        failed(r);
        return;
    }
    // The new shortcut keeps the old target and working folder; its icon is the target itself.
    const ShortcutData wanted{
        old.targetPath, old.workingFolder, QStringLiteral(" "), old.targetPath, 0, 0};
    ShortcutData w = wanted;
    QString newPath = paths::join(folder, newName);
    if (FileResult r = helper.CreateShortcut(newPath, w.targetPath, w.workingFolder, w.argumentText,
                                             w.iconFile, w.iconIndex, w.hotKey);
        !r.ok) {
        failed(r);
        return;
    }
    // The old shortcut goes only once the new one reads back as written.
    ShortcutData back;
    FileResult r =
        helper.ReadShortcut(newPath, back.targetPath, back.workingFolder, back.argumentText,
                            back.iconFile, back.iconIndex, back.hotKey);
    if (r.ok && !(back == wanted))
        r = FileResult::refused(QStringLiteral("The new shortcut did not read back as written"));
    if (!r.ok) {
        QFile::remove(newPath);
        failed(r);
        return;
    }
    errno = 0;
    if (!QFile::remove(oldFile)) {
        QString name;
        SplitPath(oldFile, &name, nullptr);
        m_hub.fileFailure(QStringLiteral("The shortcut was copied to ") + newName +
                              QStringLiteral(", but the old one could not be removed: ") + name,
                          FileResult::fromErrno(errno ? errno : EACCES));
    }
}

void ToolsTab::remove()
{
    const QString file = selectedShortcut();
    if (file.isEmpty())
        return;
    QString fileName;
    SplitPath(file, &fileName, nullptr);
    if (const ProtectedShortcut* p = protection(fileName); p && p->noDelete) {
        m_hub.notice(QStringLiteral("Sorry, you can't delete this shortcut"));
        return;
    }
    if (!m_hub.ask(QStringLiteral("Are your sure you want to delete the shortcut: ") +
                   fileName.toUpper()))
        return;
    if (!QFileInfo(file).isFile())
        return;          // gone meanwhile
    QFile::remove(file); // a failure shows when the reload lists it again
    LoadShortcutList();
}
