#include "ui/TabPins.h"

#include "lists/Pins.h"
#include "platform/PlatformServices.h"
#include "ui/HubContext.h"
#include "ui/QelListView.h"
#include "work/Work.h"

TabPins::TabPins(const HubContext& hub, QelListView& list, QString kind, IdentityOf identityOf)
    : m_hub(hub)
    , m_list(list)
    , m_kind(std::move(kind))
    , m_identityOf(std::move(identityOf))
{}

void TabPins::set(const QString& identity, const QString& name, bool pinned)
{
    if (pinned)
        m_pins.insert(identity);
    else
        m_pins.remove(identity);
    apply();
    const QString folder = m_hub.services().stateFolder;
    if (folder.isEmpty())
        return; // nothing is remembered
    work::post(
        work::Line::list(), &m_alive,
        [folder, kind = m_kind, identity, name, pinned] {
            HubState state(folder);
            return pins::set(state, kind, identity, name, pinned, QDate::currentDate());
        },
        [this](const FileResult& r) {
            if (!r.ok)
                m_hub.fileFailure(QStringLiteral("The pin could not be saved"), r);
        });
}

TabController::Command TabPins::command(const QString& identity, const QString& name)
{
    const bool pinned = isPinned(identity);
    return {pinned ? QStringLiteral("unpin") : QStringLiteral("pin"),
            pinned ? QStringLiteral("Unpin") : QStringLiteral("Pin to Top"),
            [this, identity, name, pinned] { set(identity, name, !pinned); }};
}

void TabPins::renamed(const QString& from, const QString& to)
{
    if (!m_pins.remove(from))
        return;
    m_pins.insert(to);
    apply();
    const QString folder = m_hub.services().stateFolder;
    if (folder.isEmpty())
        return;
    work::post(
        work::Line::list(), &m_alive,
        [folder, kind = m_kind, from, to] {
            HubState state(folder);
            return pins::rename(state, kind, from, to);
        },
        [](const FileResult&) {});
}

void TabPins::renamedFolder(const QString& from, const QString& to)
{
    const auto within = [](const QString& path, const QString& folder) {
        return path.startsWith(folder) &&
               (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')) ||
                path.size() == folder.size() || path[folder.size()] == QLatin1Char('/') ||
                path[folder.size()] == QLatin1Char('\\'));
    };
    for (const QString& pin : QSet<QString>(m_pins)) {
        if (within(pin, from))
            renamed(pin, to + pin.mid(from.size()));
    }
}

void TabPins::shown(const SharedRows& rows)
{
    m_rows = rows;
    const QString folder = m_hub.services().stateFolder;
    if (!m_read && !folder.isEmpty()) {
        m_read = true;
        work::post(
            work::Line::list(), &m_alive,
            [folder, kind = m_kind] { return pins::read(HubState(folder), kind); },
            [this](const QSet<QString>& found) {
                m_pins.unite(found);
                shown(m_rows);
            });
        return;
    }
    apply();
    if (m_pins.isEmpty() || folder.isEmpty() || !rows)
        return;
    QSet<QString> present;
    for (int row = 0; row < rows->count(); ++row) {
        const QString identity = m_identityOf(*rows, row);
        if (m_pins.contains(identity))
            present.insert(identity);
    }
    work::post(
        work::Line::list(), &m_alive,
        [folder, kind = m_kind, present] {
            HubState state(folder);
            return pins::seen(state, kind, present, QDate::currentDate());
        },
        [](const FileResult&) {});
}

void TabPins::apply()
{
    QSet<QString> keys;
    if (m_rows && !m_pins.isEmpty()) {
        for (int row = 0; row < m_rows->count(); ++row) {
            if (m_pins.contains(m_identityOf(*m_rows, row)))
                keys.insert(m_rows->key(row));
        }
    }
    m_list.setPinnedKeys(keys);
}
