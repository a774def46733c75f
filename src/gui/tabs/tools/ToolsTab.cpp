#include "tabs/tools/ToolsTab.h"

#include "actions/Launching.h"
#include "base/Program.h"
#include "platform/Prompter.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

ToolsTab::ToolsTab(const HubContext& hub, QelListView& list, Launching& launching)
    : m_hub(hub)
    , m_list(list)
    , m_launching(launching)
    , m_rows(list)
    , m_pins(hub, list, QStringLiteral("pin-tools"),
             [](const ListRows& rows, int row) { return rows.key(row); })
    , m_icons(hub, list, imgShortCut)
    , m_waits(hub, list)
{}

ToolsTab::~ToolsTab() = default;

void ToolsTab::LoadShortcutList()
{
    // The shortcut folder lies in the application folder, with the lists: it is read in turn
    // with them. The programs' icons, which may lie anywhere, are read beside.
    m_loads.post(
        work::Line::list(), &m_alive, [app = m_hub.appFolder()] { return readShortcutFolder(app); },
        [this](std::vector<ShortcutEntry> entries) { show(std::move(entries)); });
}

void ToolsTab::show(std::vector<ShortcutEntry> entries)
{
    auto rows = std::make_shared<const ShortcutRows>(std::move(entries));
    m_icons.fill(*rows);
    prepareTabList(m_list, imgShortCut[0], imgShortCut[1], false); // in the folder's order
    m_pins.shown(rows);
    m_rows.show(rows, std::exchange(m_selectAfterLoad, QString()));
    m_icons.read(rows);
}

void ToolsTab::BrowseForTool(int& result, QString& path)
{
    QString chosen;
    if (m_hub.prompter().openFile(
            shortcutedits::programRequest(m_hub.appFolder(), m_dialogFileName), &chosen)) {
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
    return m_rows.chosen<ShortcutRows>(&ShortcutRows::entry);
}

std::vector<ToolsTab::ShortcutEntry> ToolsTab::entries() const
{
    const std::shared_ptr<const ShortcutRows> rows = m_rows.shown<ShortcutRows>();
    return rows ? rows->entries() : std::vector<ShortcutEntry>();
}

void ToolsTab::open()
{
    const std::optional<ShortcutEntry> entry = chosen();
    if (!entry)
        return;
    if (const QString why = shortcutedits::unstartableText(*entry); !why.isEmpty())
        m_hub.fileFailure(why, entry->read);
    else
        m_launching.LaunchCommand(entry->program, QString());
}

std::function<void()> ToolsTab::dropAction(const QMimeData* data, bool shown)
{
    // A program dropped on the tab on screen becomes a shortcut, as Create would make it.
    const QString path = shown ? shortcutedits::droppedProgram(*data) : QString();
    if (path.isEmpty())
        return {};
    return [this, path] { createShortcutTo(path); };
}
