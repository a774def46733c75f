#include "tabs/tools/ToolsTab.h"

#include "actions/Launching.h"
#include "base/Columns.h"
#include "base/Paths.h"
#include "base/Program.h"
#include "lists/DataFileKind.h"
#include "platform/DriveTable.h"
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

namespace {

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

} // namespace

// The rows of the "Tools" list: the shortcuts as the folder was read, each shown by its file
// name up to the first "." and its file's path; an unreadable one greyed, saying why.
class ToolsTab::Rows final : public ListRows {
public:
    explicit Rows(std::vector<ShortcutEntry> entries)
        : m_entries(std::move(entries))
    {}
    const std::vector<ShortcutEntry>& entries() const { return m_entries; }
    const ShortcutEntry& entry(int row) const { return m_entries[size_t(row)]; }
    int count() const override { return int(m_entries.size()); }
    QString text(int row, int column) const override
    {
        switch (column) {
        case 0:
            return displayName(entry(row).fileName);
        case ToolsColumn::ShortcutFile:
            return entry(row).shortcutFile;
        case ToolsColumn::Program:
            return entry(row).program;
        default:
            return {};
        }
    }
    QString key(int row) const override { return entry(row).shortcutFile; }
    QString largeIcon(int row) const override { return entry(row).fileName; }
    QString smallIcon(int row) const override { return entry(row).fileName; }
    Note note(int row) const override { return entry(row).read.ok ? Note::None : Note::Broken; }
    QString toolTip(int row) const override
    {
        return entry(row).read.ok ? QString() : unreadableNote(entry(row).read);
    }

private:
    std::vector<ShortcutEntry> m_entries;
};

ToolsTab::ToolsTab(const HubContext& hub, QelListView& list, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_launching(launching)
    , m_rows(list)
    , m_pins(hub, list, QStringLiteral("pin-tools"),
             [](const ListRows& rows, int row) { return rows.key(row); })
    , m_waits(hub, list)
{}

ToolsTab::~ToolsTab() = default;

void ToolsTab::LoadShortcutList()
{
    // The shortcut folder lies in the application folder, with the lists: it is read in turn
    // with them. The programs' icons, which may lie anywhere, are read beside.
    m_loads.post(
        work::Line::list(), &m_alive,
        [app = m_hub.appFolder()] { return shortcutedits::readShortcutFolder(app); },
        [this](std::vector<ShortcutEntry> entries) { show(std::move(entries)); });
}

void ToolsTab::show(std::vector<ShortcutEntry> entries)
{
    auto rows = std::make_shared<const Rows>(std::move(entries));
    IconSource* icons = m_hub.services().icons;
    const QIcon blank = blankIcon();
    // Until its program has been read again, a shortcut shows the icon its program had.
    QHash<QString, QIcon> before;
    before.swap(m_programIcons);
    imgShortCut[0].clear();
    imgShortCut[1].clear();
    for (const ShortcutEntry& e : rows->entries()) {
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
    }
    m_programIcons = before;
    m_list.setLargeImageList(&imgShortCut[0]);
    m_list.setSmallImageList(&imgShortCut[1]);
    m_pins.shown(rows);
    m_rows.show(rows, std::exchange(m_selectAfterLoad, QString()));
    m_list.setViewMode(QelListView::ViewMode::Report);
    readIcons(rows);
}

void ToolsTab::readIcons(const std::shared_ptr<const Rows>& rows)
{
    IconSource* icons = m_hub.services().icons;
    if (!icons)
        return;
    // Each program's shortcuts (their rows of the rows shown), and the programs by drive: a drive
    // that hangs holds up the icons of its own programs only.
    m_iconRows = rows;
    m_shortcutsOf.clear();
    QHash<QString, QStringList> byDrive;
    for (int row = 0; row < rows->count(); ++row) {
        const ShortcutEntry& e = rows->entry(row);
        if (!e.read.ok)
            continue;
        auto& shortcuts = m_shortcutsOf[e.program];
        if (shortcuts.isEmpty())
            byDrive[m_hub.drives().driveOf(e.program)].append(e.program);
        shortcuts.append(row);
    }
    // The programs still to read are this load's; a batch a drive is still at stays its only one.
    for (IconQueue& queue : m_iconQueues)
        queue = {{}, 0, queue.inFlight};
    for (auto it = byDrive.constBegin(); it != byDrive.constEnd(); ++it) {
        IconQueue& queue = m_iconQueues[it.key()];
        queue.programs = *it;
        readNextIcons(it.key());
    }
}

void ToolsTab::readNextIcons(const QString& drive)
{
    IconQueue& queue = m_iconQueues[drive];
    if (queue.inFlight || queue.next >= queue.programs.size())
        return;
    queue.inFlight = true;
    const QStringList batch = queue.programs.mid(queue.next, kIconBatch);
    queue.next += batch.size();
    IconSource* icons = m_hub.services().icons;
    using Found = QList<std::pair<QString, ProgramIconData>>;
    work::post(
        work::Line::drive(drive), &m_alive,
        [icons, batch] {
            Found found;
            for (const QString& program : batch)
                found.append({program, icons->readProgramIcon(program)});
            return found;
        },
        [this, icons, drive](const Found& found) {
            m_iconQueues[drive].inFlight = false;
            QHash<QString, Note> notes;
            bool redraw = false; // a reload mostly finds the icons the rows show
            for (const auto& [program, data] : found) {
                const QIcon icon = icons->icon(data);
                m_programIcons.insert(program, icon);
                // The shortcuts of the entries shown now: the batch may be of an earlier load.
                for (const int row : m_shortcutsOf.value(program)) {
                    const ShortcutEntry& e = m_iconRows->entry(row);
                    notes.insert(e.shortcutFile, data.broken ? Note::Broken : Note::None);
                    if (!icon.isNull() &&
                        imgShortCut[0].icon(e.fileName).cacheKey() != icon.cacheKey()) {
                        imgShortCut[0].add(e.fileName, icon);
                        imgShortCut[1].add(e.fileName, icon);
                        redraw = true;
                    }
                }
            }
            m_list.applyNotes(notes);
            if (redraw)
                m_list.refreshIcons();
            readNextIcons(drive);
        });
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
    work::post(
        work::Line::list(), &m_alive,
        [files = &m_hub.files(), app = m_hub.appFolder(), chosen] {
            return shortcutedits::createShortcutTo(*files, app, chosen);
        },
        [this](const shortcutedits::Written& w) {
            if (!w.result.ok)
                m_hub.fileFailure(shortcutedits::notWrittenText(w.file), w.result);
            LoadShortcutList();
        });
}

QList<TabController::Command> ToolsTab::entryCommands()
{
    if (const std::optional<ShortcutEntry> e = chosen())
        return {m_pins.command(e->shortcutFile, e->fileName)};
    return {};
}

std::optional<ToolsTab::ShortcutEntry> ToolsTab::chosen() const
{
    const int row = m_rows.chosenRow();
    if (row < 0)
        return std::nullopt;
    return m_rows.shown<Rows>()->entry(row);
}

std::vector<ToolsTab::ShortcutEntry> ToolsTab::entries() const
{
    const std::shared_ptr<const Rows> rows = m_rows.shown<Rows>();
    return rows ? rows->entries() : std::vector<ShortcutEntry>();
}

void ToolsTab::open()
{
    const std::optional<ShortcutEntry> entry = chosen();
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
