#pragma once

#include "lists/ListRows.h"
#include "ui/TabController.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class HubContext;
class QelListView;

// The entries of one tab's list that the user pinned to its top: read from and written to the
// hub's own state file on the list line (see pins in lists/Pins.h), shown by the list. Each tab
// says what identifies a row's entry (its file, its shortcut, a link's name and address).
class TabPins {
public:
    using IdentityOf = std::function<QString(const ListRows& rows, int row)>;
    TabPins(const HubContext& hub, QelListView& list, QString kind, IdentityOf identityOf);

    bool isPinned(const QString& identity) const { return m_pins.contains(identity); }
    // Pins or unpins the entry, then shows it so.
    void set(const QString& identity, const QString& name, bool pinned);
    // "Pin to Top" or "Unpin" of the entry, for its context menu and the Edit menu.
    TabController::Command command(const QString& identity, const QString& name);
    // The entry of a pin was renamed, or renamed back by an Undo: its pin goes with it.
    void renamed(const QString& from, const QString& to);
    // The entries of a folder (a drive's mount point) now lie in `to`: their pins go with them.
    void renamedFolder(const QString& from, const QString& to);
    // The one or the other, as `folder` says.
    void follow(const QString& from, const QString& to, bool folder)
    {
        folder ? renamedFolder(from, to) : renamed(from, to);
    }
    // The rows the list shows now: their pinned entries stand first, and the pins found there are
    // marked as seen (reads the pins the first time).
    void shown(const SharedRows& rows);

private:
    void apply();

    const HubContext& m_hub;
    QelListView& m_list;
    QString m_kind;
    IdentityOf m_identityOf;
    QSet<QString> m_pins;
    bool m_read = false;
    SharedRows m_rows;
    QObject m_alive;
};
