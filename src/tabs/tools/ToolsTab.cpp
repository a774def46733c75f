#include "tabs/tools/ToolsTab.h"

#include "actions/Launching.h"
#include "base/Columns.h"
#include "base/Paths.h"
#include "base/Program.h"
#include "formats/ShortcutHelper.h"
#include "lists/DataFileKind.h"
#include "platform/FileSystem.h"
#include "platform/Prompter.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

struct ToolsTab::Listing {
    int load = 0;
    std::vector<ToolsEntry> entries;
};

namespace {

const QString kBroken = QStringLiteral("broken");
// Programs whose icons are read by one job.
constexpr int kIconBatch = 64;

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

QString unreadableNote(const FileResult& read)
{
    return QStringLiteral("The shortcut cannot be read: ") + read.errorText;
}

// The shortcut folder's shortcuts, in the order the folder lists them.
std::vector<ToolsEntry> readShortcutFolder(const QString& appFolder)
{
    // The folder as it is spelled on disk, whichever letter case it has.
    const QString folder = paths::resolveIgnoringCase(appFolder, QStringLiteral("ShortCuts"));
    // Ordinary, unhidden files only. Pipes and devices are skipped (a pipe would block the
    // read); without QDir::System Qt on Windows would skip shell links.
    std::vector<ToolsEntry> entries;
    QDirIterator it(folder, {QStringLiteral("*.lnk")}, QDir::Files | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!info.isFile() && !info.isShortcut())
            continue;
        ToolsEntry e;
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

} // namespace

ToolsTab::ToolsTab(const HubContext& hub, QelListView& list, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_launching(launching)
    , m_waits(hub, list)
{}

ToolsTab::~ToolsTab() = default;

void ToolsTab::LoadShortcutList()
{
    // The shortcut folder lies in the application folder, with the lists: it is read in turn
    // with them. The programs' icons, which may lie anywhere, are read beside.
    const int load = ++m_load;
    work::post(
        work::Line::list(), &m_alive,
        [app = m_hub.appFolder(), load] {
            return Listing{load, readShortcutFolder(app)};
        },
        [this](Listing listing) {
            if (listing.load == m_load) // a later load is under way: it shows the folder
                show(std::move(listing));
        });
}

void ToolsTab::show(Listing listing)
{
    m_entries = std::move(listing.entries);
    IconSource* icons = m_hub.services().icons;
    const QIcon blank = blankIcon();
    // Until its program has been read again, a shortcut shows the icon its program had.
    QHash<QString, QIcon> before;
    before.swap(m_programIcons);
    imgShortCut[0].clear();
    imgShortCut[1].clear();
    std::vector<ListEntry> rows;
    rows.reserve(m_entries.size());
    for (const ToolsEntry& e : m_entries) {
        QIcon icon;
        if (!e.read.ok)
            icon = icons ? icons->brokenIcon() : QIcon();
        else
            icon = before.value(e.program);
        // The icon source draws every icon at 32 and at 16 pixels; the large list shows the one,
        // the small list the other.
        if (icon.isNull())
            icon = blank;
        imgShortCut[0].add(e.fileName, icon);
        imgShortCut[1].add(e.fileName, icon);
        ListEntry row;
        row.key = e.shortcutFile;
        row.text = displayName(e.fileName);
        row.subItems = {QString(), e.shortcutFile, e.program};
        row.largeIcon = e.fileName;
        row.smallIcon = e.fileName;
        row.description = e.shortcutFile;
        if (!e.read.ok) {
            row.note = kBroken;
            row.toolTip = unreadableNote(e.read);
        }
        rows.push_back(std::move(row));
    }
    m_programIcons = before;
    m_list.setLargeImageList(&imgShortCut[0]);
    m_list.setSmallImageList(&imgShortCut[1]);
    m_list.setEntries(std::move(rows));
    m_list.setViewMode(QelListView::ViewMode::Report);
    if (!m_selectAfterLoad.isEmpty())
        m_list.setSelectedKey(std::exchange(m_selectAfterLoad, QString()));
    readIcons(m_entries);
}

void ToolsTab::readIcons(const std::vector<ToolsEntry>& entries)
{
    IconSource* icons = m_hub.services().icons;
    if (!icons)
        return;
    QStringList programs;
    QSet<QString> seen;
    for (const ToolsEntry& e : entries) {
        if (e.read.ok && !seen.contains(e.program)) {
            seen.insert(e.program);
            programs.append(e.program);
        }
    }
    // In batches, so that a program on a drive that hangs holds up the icons of its batch only.
    for (qsizetype from = 0; from < programs.size(); from += kIconBatch) {
        const QStringList batch = programs.mid(from, kIconBatch);
        using Found = QList<std::pair<QString, ProgramIconData>>;
        work::post(
            m_hub.lineOf(batch.first()), &m_alive,
            [icons, batch] {
                Found found;
                for (const QString& program : batch)
                    found.append({program, icons->readProgramIcon(program)});
                return found;
            },
            [this, icons, load = m_load](const Found& found) {
                if (load != m_load)
                    return;
                QHash<QString, QString> notes;
                QHash<QString, QIcon> iconOf;
                for (const auto& [program, data] : found) {
                    const QIcon icon = icons->icon(data);
                    m_programIcons.insert(program, icon);
                    iconOf.insert(program, icon);
                    for (const ToolsEntry& e : m_entries) {
                        if (e.read.ok && e.program == program)
                            notes.insert(e.shortcutFile, data.broken ? kBroken : QString());
                    }
                }
                for (const ToolsEntry& e : m_entries) {
                    const auto icon = iconOf.constFind(e.program);
                    if (!e.read.ok || icon == iconOf.constEnd() || icon->isNull())
                        continue;
                    imgShortCut[0].add(e.fileName, *icon);
                    imgShortCut[1].add(e.fileName, *icon);
                }
                m_list.applyNotes(notes);
                m_list.refreshIcons();
            });
    }
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
    else
        LoadShortcutList();
}

void ToolsTab::createShortcutTo(const QString& chosen)
{
    struct Written {
        QString file;
        FileResult result;
    };
    work::post(
        work::Line::list(), &m_alive,
        [app = m_hub.appFolder(), chosen] {
            QString fileName, folder;
            SplitPath(chosen, &fileName, &folder);
            // A shortcut of this name in another letter case is the same shortcut, and is
            // replaced.
            Written w;
            w.file = paths::resolveIgnoringCase(shortcutFolder(app),
                                                QStringLiteral("Shortcut to ") + fileName +
                                                    QStringLiteral(".lnk"));
            QString file = w.file, target = chosen, icon = chosen;
            QString arguments = QStringLiteral(" ");
            qint32 number1 = 0, number2 = 0;
            w.result = ShortcutHelper().CreateShortcut(file, target, folder, arguments, icon,
                                                       number1, number2);
            return w;
        },
        [this](const Written& w) {
            if (!w.result.ok)
                m_hub.fileFailure(QStringLiteral("The shortcut could not be written: ") + w.file,
                                  w.result);
            LoadShortcutList();
        });
}

std::optional<ToolsEntry> ToolsTab::chosen() const
{
    const QString key = m_list.selectedKey();
    if (key.isEmpty())
        return std::nullopt;
    for (const ToolsEntry& e : m_entries) {
        if (e.shortcutFile == key)
            return e;
    }
    return std::nullopt;
}

void ToolsTab::open()
{
    const std::optional<ToolsEntry> entry = chosen();
    if (!entry)
        return;
    if (!entry->read.ok) {
        m_hub.fileFailure(QStringLiteral("The shortcut cannot be read: ") + entry->fileName,
                          entry->read);
        return;
    }
    m_launching.LaunchCommand(entry->program, QString());
}

std::function<void()> ToolsTab::dropAction(const QMimeData* data, bool shown)
{
    // A program dropped on the tab on screen becomes a shortcut, as Create would make it.
    if (!shown || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return {};
    const QString path = QDir::toNativeSeparators(data->urls().first().toLocalFile());
    if (KindFromExtension(path) != 99 || path.endsWith(paths::separator()))
        return {};
    return [this, path] { createShortcutTo(path); };
}
