#pragma once

#include "lists/ShortcutRows.h"
#include "ui/ImageList.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QStringList>

#include <array>
#include <memory>

class HubContext;
class QelListView;

// The icons of the "Tools" list's shortcuts: both image lists, filled anew on every load with the
// icon each program had until it is read again; then the programs' icons, read on their drives'
// lines in batches, one batch per drive at a time, go to the shortcuts shown by then.
class ToolIcons {
public:
    ToolIcons(const HubContext& hub, QelListView& list, std::array<ImageList, 2>& images);

    // Fills the large and small image lists for `rows`.
    void fill(const ShortcutRows& rows);
    // Reads the icons of the programs of `rows`, the rows now shown.
    void read(const std::shared_ptr<const ShortcutRows>& rows);

private:
    // Posts the next batch of the drive's programs, unless the drive has one already.
    void readNext(const QString& drive);

    const HubContext& m_hub;
    QelListView& m_list;
    std::array<ImageList, 2>& m_images;
    QHash<QString, QIcon> m_programIcons; // by program path, for the load under way
    // The rows shown, and their shortcuts (rows) by program: where the icons read go.
    std::shared_ptr<const ShortcutRows> m_rows;
    QHash<QString, QList<int>> m_shortcutsOf;
    // A drive's programs whose icons are still to read, and whether a batch is at the drive: one
    // batch per drive at a time, whatever the reloads asked meanwhile.
    struct Queue {
        QStringList programs;
        qsizetype next = 0; // the first program not yet posted
        bool inFlight = false;
    };
    QHash<QString, Queue> m_queues;
    QObject m_alive; // answers from the lines are taken only while this lives
};
