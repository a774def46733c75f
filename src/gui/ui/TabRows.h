#pragma once

#include "lists/ListRows.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

class ImageList;
class QelListView;

// Readies a tab's list as each of its loads does: its two image lists, report view and, for a
// list sorted by name, sorting on column 0, ascending. What is so already is not set again, so
// nothing is redrawn for it.
void prepareTabList(QelListView& list, const ImageList& large, const ImageList& small,
                    bool sortedByName);

// The rows a tab handed its list, kept by the tab, which never reads them back from the list:
// the chosen entry is the one of the rows on screen at the list's selected row. Rows it lets go
// of are let go of away from the window's thread, as the list's own are.
class TabRows {
public:
    explicit TabRows(QelListView& list);
    ~TabRows();
    TabRows(const TabRows&) = delete;
    TabRows& operator=(const TabRows&) = delete;

    // Hands `rows` to the list, choosing the entry of `select` when given; `then` runs once they
    // show (with every `then` asked for before).
    void show(SharedRows rows, const QString& select = {}, std::function<void()> then = {});
    // The rows on screen, as the tab made them; nullptr before any show.
    template <class Rows> std::shared_ptr<const Rows> shown() const
    {
        return std::static_pointer_cast<const Rows>(m_shown);
    }
    // The row of the shown rows the user chose; -1 for none.
    int chosenRow() const;
    // What `get` gives of the shown rows for the row the user chose; nothing for none.
    template <class Rows, class Get> auto chosen(Get get) const
    {
        using Entry = std::remove_cvref_t<std::invoke_result_t<Get, const Rows&, int>>;
        const int row = chosenRow();
        if (row < 0)
            return std::optional<Entry>();
        return std::optional<Entry>(std::invoke(get, *shown<Rows>(), row));
    }

private:
    void tookOver();

    QelListView& m_list;
    SharedRows m_handed; // the rows last handed, on screen or still being laid out
    SharedRows m_shown;
    std::vector<std::function<void()>> m_then;
    bool m_waiting = false;
    QObject m_alive;
};
