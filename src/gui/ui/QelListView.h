#pragma once

#include "lists/ListLayout.h"
#include "ui/ListColumnFitter.h"
#include "ui/ListLayoutScheduler.h"
#include "ui/ListModel.h"

#include <QHash>
#include <QObject>

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class ImageList;
class ListViewInput;
class QAbstractItemView;
class QListView;
class QStackedLayout;
class QTreeView;

// The list view every tab uses: report view (rows and columns) or icon view (large icons with
// wrapped labels), columns made once with captions and widths in twips (a width of 0 makes a
// column that holds sub-items but never shows), optional sorting on one column, one selected
// entry. Row numbers are display positions; entries are found by their keys.
class QelListView : public QWidget {
    Q_OBJECT
public:
    enum class ViewMode { Icon, Report };

    explicit QelListView(int index, QWidget* parent = nullptr);
    ~QelListView() override;

    int index() const { return m_index; }

    // Columns (see ListColumnFitter)
    void addColumn(const QString& caption, int widthTwips)
    {
        m_columns->addColumn(caption, widthTwips);
    }
    int columnCount() const { return int(m_model->captions.size()); }
    QString columnCaption(int column) const { return m_model->captions.value(column); }
    int columnWidthTwips(int column) const { return m_columns->widthTwips(column); }
    bool isColumnShown(int column) const { return m_model->sectionOfColumn(column) >= 0; }
    void setHeadersVisible(bool visible);
    bool headersVisible() const;
    QList<int> userColumnWidths() const { return m_columns->userWidths(); }
    void setUserColumnWidths(const QList<int>& twips) { m_columns->setUserWidths(twips); }
    void setFitColumns(bool fit) { m_columns->setFit(fit, sort()); }

    // Image lists (not owned)
    void setLargeImageList(const ImageList* images);
    void setSmallImageList(const ImageList* images);
    const ImageList* largeImageList() const { return m_large; }
    const ImageList* smallImageList() const { return m_small; }

    // Rows. A tab shows its entries here and keeps them; it never reads them back as data.
    // Shows `rows`, in the list's sort order when it sorts, narrowed by its filter. Entries that
    // stay, by key, keep the selection, the current entry and the top of the view, and only rows
    // that changed are redrawn, so a list another program keeps changing neither flickers nor
    // jumps. A large list is compared and laid out away from the window's thread and shows when
    // that is done; a small one shows at once.
    void setRows(SharedRows rows) { m_layout->setRows(std::move(rows)); }
    void setEntries(std::vector<ListEntry> entries);
    void clear();
    // Whether these are the rows on screen.
    bool shows(const ListRows* rows) const { return rows && rows == m_model->state().rows.get(); }
    // Whether what was last asked (rows, order, filter) is on screen.
    bool isSettled() const { return m_layout->isSettled(); }
    // Runs `then` once it is (at once when it is now), unless `context` is gone by then.
    void whenShown(QObject* context, std::function<void()> then)
    {
        m_layout->whenShown(context, std::move(then));
    }

    // Rows as shown: in display order, without those the filter hides.
    int count() const { return m_model->rowCount(); }
    // The entry shown at `row`, whole: texts, icons, description and note, as a screen reader
    // or a test reads it.
    ListEntry entry(int row) const { return m_model->entryAt(row); }
    QString text(int row) const { return m_model->textAt(row, 0); }
    QString subItem(int row, int column) const
    {
        return column < 1 ? QString() : m_model->textAt(row, column);
    }
    // The row of the rows (as given) shown at `row`; -1 for none.
    int sourceRow(int row) const { return m_model->sourceRow(row); }
    // The first row shown of the entry with this key; -1 when none is shown.
    int rowOfKey(const QString& key) const { return m_model->rowOfKey(key); }
    // Gives the entries of each key their note (greyed, told in tooltip and description), or
    // none for an entry that is well.
    void applyNotes(const QHash<QString, Note>& noteOfKey);
    // The same by row of `rows`, when they are the rows shown (otherwise nothing changes).
    void applyNotes(const ListRows* rows, const std::vector<std::pair<int, Note>>& noteOfRow)
    {
        m_model->applyNotes(rows, noteOfRow);
    }
    Note noteOf(int row) const { return m_model->noteAt(row); }
    // Draws the icons again, after their image list changed.
    void refreshIcons() { m_model->iconsChanged(); }

    // View mode and label wrapping in icon view
    void setViewMode(ViewMode mode);
    ViewMode viewMode() const { return m_mode; }
    void setLabelWrap(bool wrap);
    bool labelWrap() const { return m_labelWrap; }

    // Sorting: compares the texts of the sort column without regard to letter case.
    void setSorted(bool sorted);
    bool isSorted() const { return m_sorted; }
    void setSortKey(int column);
    int sortKey() const { return m_sortKey; }
    void setSortOrder(Qt::SortOrder order);
    // Ours: the keys of the entries the user pinned. They stand first in every order and view
    // mode, with a pin on their icon and ", pinned" in what a screen reader says of them.
    void setPinnedKeys(const QSet<QString>& keys);
    bool isPinned(const QString& key) const { return m_pinned && m_pinned->contains(key); }
    Qt::SortOrder sortOrder() const { return m_order; }

    // Shows only the entries whose text, or one of the sub-items of `alsoColumns`, contains
    // `text` without regard to letter case. The filter stays over clears and reloads.
    void setFilter(const QString& text, const QList<int>& alsoColumns = {});
    QString filterText() const { return m_layout->filter().text; }

    // Selection: -1 or an empty key when nothing is selected.
    int selectedRow() const;
    void setSelectedRow(int row);
    QString selectedKey() const;
    void setSelectedKey(const QString& key);
    // The selected entry's row of `rows`, as the tab handed them; -1 when nothing is selected
    // or other rows are on screen.
    int selectedSourceRow(const ListRows* rows) const
    {
        return shows(rows) ? sourceRow(selectedRow()) : -1;
    }

    // The busy cursor over the list while a command on it waits for its drive.
    void setBusy(bool busy);

    QTreeView* reportView() const { return m_report; }
    QListView* iconView() const { return m_icons; }

signals:
    // A double-click on an entry, or Enter with an entry selected; carries the list's index.
    void dblClick(int index);
    // A click on a column header; `column` is 1-based like the header's position.
    void columnClick(int index, int column);
    // The context menu is asked for at `globalPos`, by the mouse or the keyboard, on an entry
    // (which is then the selected one) or on the list's empty space.
    void contextMenu(int index, const QPoint& globalPos, bool onEntry);

private:
    QAbstractItemView* currentView() const;
    QString topKey() const;
    void scrollToTop(const QString& key);
    ListSort sort() const { return {m_sorted, m_sortKey, m_order, m_pinned}; }
    void showLayout(ListLayoutStep layout);
    void updateSortIndicator();

    int m_index;
    ListModel* m_model;
    QTreeView* m_report;
    QListView* m_icons;
    QStackedLayout* m_stack;
    std::unique_ptr<ListColumnFitter> m_columns;
    std::unique_ptr<ListLayoutScheduler> m_layout;
    std::unique_ptr<ListViewInput> m_input;
    const ImageList* m_large = nullptr;
    const ImageList* m_small = nullptr;
    ViewMode m_mode = ViewMode::Report;
    bool m_labelWrap = true;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    std::shared_ptr<const QSet<QString>> m_pinned; // none: nothing pinned
    int m_busy = 0;
};
