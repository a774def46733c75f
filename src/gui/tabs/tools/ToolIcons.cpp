#include "tabs/tools/ToolIcons.h"

#include "platform/DriveTable.h"
#include "platform/IconSource.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

#include <QPixmap>

namespace {

// Programs whose icons are read by one job.
constexpr int kIconBatch = 64;

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

ToolIcons::ToolIcons(const HubContext& hub, QelListView& list, std::array<ImageList, 2>& images)
    : m_hub(hub)
    , m_list(list)
    , m_images(images)
{}

void ToolIcons::fill(const ShortcutRows& rows)
{
    IconSource* icons = m_hub.services().icons;
    const QIcon blank = blankIcon();
    m_images[0].clear();
    m_images[1].clear();
    // Until its program has been read again, a shortcut shows the icon its program had.
    for (const ShortcutEntry& e : rows.entries()) {
        QIcon icon;
        if (!e.read.ok)
            icon = icons ? icons->brokenIcon() : QIcon();
        else
            icon = m_programIcons.value(e.program);
        // The icon source draws every icon at 32 and at 16 pixels; the large list shows the one,
        // the small list the other.
        if (icon.isNull())
            icon = blank;
        m_images[0].add(e.fileName, icon);
        m_images[1].add(e.fileName, icon);
    }
}

void ToolIcons::read(const std::shared_ptr<const ShortcutRows>& rows)
{
    if (!m_hub.services().icons)
        return;
    // Each program's shortcuts (their rows of the rows shown), and the programs by drive: a drive
    // that hangs holds up the icons of its own programs only.
    m_rows = rows;
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
    for (Queue& queue : m_queues)
        queue = {{}, 0, queue.inFlight};
    for (auto it = byDrive.constBegin(); it != byDrive.constEnd(); ++it) {
        m_queues[it.key()].programs = *it;
        readNext(it.key());
    }
}

void ToolIcons::readNext(const QString& drive)
{
    Queue& queue = m_queues[drive];
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
            m_queues[drive].inFlight = false;
            QHash<QString, Note> notes;
            bool redraw = false; // a reload mostly finds the icons the rows show
            for (const auto& [program, data] : found) {
                const QIcon icon = icons->icon(data);
                m_programIcons.insert(program, icon);
                // The shortcuts of the entries shown now: the batch may be of an earlier load.
                for (const int row : m_shortcutsOf.value(program)) {
                    const ShortcutEntry& e = m_rows->entry(row);
                    notes.insert(e.shortcutFile, data.broken ? Note::Broken : Note::None);
                    if (!icon.isNull() &&
                        m_images[0].icon(e.fileName).cacheKey() != icon.cacheKey()) {
                        m_images[0].add(e.fileName, icon);
                        m_images[1].add(e.fileName, icon);
                        redraw = true;
                    }
                }
            }
            m_list.applyNotes(notes);
            if (redraw)
                m_list.refreshIcons();
            readNext(drive);
        });
}
