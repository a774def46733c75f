#include "tabs/open/OpenTab.h"

#include "actions/Launching.h"
#include "actions/WebPages.h"
#include "ui/HubContext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

OpenTab::OpenTab(const HubContext& hub, QelListView& list, const ImageList& large,
                 const ImageList& small, Launching& launching)
    : m_hub(hub)
    , m_launching(launching)
    , m_open(hub, list, large, small, [this](const drivefollow::Offer& o) { offerFollow(o); })
    , m_waits(hub, list)
{}

openedits::Seams OpenTab::seams() const
{
    return {m_open.store(), &m_hub.files(), &m_hub.trash(), &m_hub.drives()};
}

void OpenTab::open()
{
    const std::optional<OpenEntry> entry = chosen();
    if (!entry)
        return;
    // The file may lie on a drive that does not answer: the tool starts when it does, if that is
    // soon; otherwise the user asks again.
    post(
        QStringLiteral("open"), Where::of(entry->path()),
        [e = *entry, app = m_hub.appFolder()](const openedits::Seams& seams, Waiting& w) {
            return openreply::afterOpen(app, e, openedits::checkForOpen(seams, e, w));
        },
        DriveWait::Late::Drop);
}

void OpenTab::dropEntry(const OpenEntry& entry)
{
    // Only the entry goes; whatever is at that path now is the user's and stays. The refresh
    // timer shows the list without it. It waits on the list as Remove from List does.
    post(QStringLiteral("drop"), onList(entry.path()),
         [entry](const openedits::Seams& seams, Waiting&) {
             return openreply::afterDrop(openedits::removeFromList(seams, entry));
         });
}

void OpenTab::cmdBrowse_Click()
{
    QString fileName = cmdBrowseTag;
    const int result = m_launching.ShowOpenDataFileDialog(fileName);
    cmdBrowseTag.clear();
    if (result == 0)
        m_launching.openDataFile(fileName);
}

QList<TabController::Command> OpenTab::entryCommands()
{
    QList<Command> commands{
        {QStringLiteral("showInFolder"), QStringLiteral("Show in Folder"),
         [this] { openContainingFolder(); }},
        {QStringLiteral("copyPath"), QStringLiteral("Copy Path"), [this] { copyPath(); }},
        {QStringLiteral("removeFromList"), QStringLiteral("Remove from List"),
         [this] { removeFromList(); }},
        {QStringLiteral("cleanUpMissing"), QStringLiteral("Clean Up Missing"),
         [this] { cleanUpMissing(); }}};
    if (const std::optional<OpenEntry> e = chosen())
        commands.append(m_open.pins().command(e->path(), e->name));
    return commands;
}

QList<TabController::Command> OpenTab::spaceCommands()
{
    return {{QStringLiteral("browse"), QStringLiteral("Browse ..."), [this] { cmdBrowse_Click(); }},
            {QStringLiteral("cleanUpMissing"), QStringLiteral("Clean Up Missing"),
             [this] { cleanUpMissing(); }}};
}

std::function<void()> OpenTab::dropAction(const QMimeData* data, bool)
{
    const QString path = data->hasUrls() ? openreply::droppedDataFile(data->urls()) : QString();
    if (path.isEmpty())
        return {};
    return [this, path] { m_launching.openDataFile(path); };
}

void OpenTab::openContainingFolder()
{
    if (const auto entry = chosen())
        ShowItemInFolder(m_hub, &m_alive, entry->path());
}

void OpenTab::copyPath()
{
    if (const auto entry = chosen())
        QGuiApplication::clipboard()->setText(entry->path());
}
