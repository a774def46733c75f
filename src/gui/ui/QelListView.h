#pragma once

#include "lists/ListLayout.h"
#include "ui/ListModel.h"

#include <QHash>

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class ImageList;
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

    // Columns
    void addColumn(const QString& caption, int widthTwips);
    int columnCount() const;
    QString columnCaption(int column) const;
    int columnWidthTwips(int column) const;
    bool isColumnShown(int column) const; // shown in report view
    void setHeadersVisible(bool visible);
    bool headersVisible() const;
    // The widths the user gave the shown columns, in twips, in column order: those handed to
    // setUserColumnWidths or dragged since. Empty while the columns keep the widths they were
    // made with, or those fitted to the entries.
    QList<int> userColumnWidths() const;
    // Gives the shown columns the widths the user chose before; a list of another length, or
    // with a width below one pixel, is ignored.
    void setUserColumnWidths(const QList<int>& twips);
    // Until the user sizes a column, fits the columns to the entries after every fill and resize:
    // the first to its caption and its longest text (up to about 40 characters), the middle ones
    // to theirs, and the last takes the rest of the width, its long texts elided in the middle
    // and shown whole in their tooltips.
    void setFitColumns(bool fit);

    // Image lists (not owned)
    void setLargeImageList(const ImageList* images);
    void setSmallImageList(const ImageList* images);
    const ImageList* largeImageList() const { return m_large; }
    const ImageList* smallImageList() const { return m_small; }

    // Rows. A tab shows its entries here; it never reads them back as data.
    // Shows `rows`, in the list's sort order when it sorts, narrowed by its filter. Entries that
    // stay, by key, keep the selection, the current entry and the top of the view, and only rows
    // that changed are redrawn, so a list another program keeps changing neither flickers nor
    // jumps. A large list is compared and laid out away from the window's thread and shows when
    // that is done; a small one shows at once.
    void setRows(SharedRows rows);
    void setEntries(std::vector<ListEntry> entries);
    void clear();
    // The rows on screen: those last set, once they show.
    SharedRows rows() const;
    // The rows last set, shown or still being laid out.
    SharedRows wantedRows() const { return m_wantedRows; }
    // Whether what was last asked (rows, order, filter) is on screen.
    bool isSettled() const;
    // Runs `then` once it is (at once when it is now).
    void whenShown(std::function<void()> then);

    // Rows as shown: in display order, without those the filter hides.
    int count() const;
    // The entry shown at `row`, whole: texts, icons, description and note.
    ListEntry entry(int row) const;
    QString text(int row) const;
    QString subItem(int row, int column) const;
    // The row of the rows (as given) shown at `row`; -1 for none.
    int sourceRow(int row) const;
    // The first row shown of the entry with this key; -1 when none is shown.
    int rowOfKey(const QString& key) const;
    // Gives the entries of each key their note (greyed, told in tooltip and description), or
    // none for an entry that is well.
    void applyNotes(const QHash<QString, Note>& noteOfKey);
    // The same by row of `rows`, when they are the rows shown (otherwise nothing changes).
    void applyNotes(const ListRows* rows, const std::vector<std::pair<int, Note>>& noteOfRow);
    Note noteOf(int row) const;
    // Draws the icons again, after their image list changed.
    void refreshIcons();

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
    Qt::SortOrder sortOrder() const { return m_order; }

    // Shows only the entries whose text, or one of the sub-items of `alsoColumns`, contains
    // `text` without regard to letter case. The filter stays over clears and reloads.
    void setFilter(const QString& text, const QList<int>& alsoColumns = {});
    QString filterText() const { return m_filter.text; }

    // Selection: -1 or an empty key when nothing is selected.
    int selectedRow() const;
    void setSelectedRow(int row);
    QString selectedKey() const;
    void setSelectedKey(const QString& key);
    // The selected entry's row of the rows as given; -1 when nothing is selected.
    int selectedSourceRow() const;

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Layout;
    void keyboardContextMenu(QAbstractItemView* view);
    QAbstractItemView* currentView() const;
    QString topKey() const;
    void scrollToTop(const QString& key);
    // Something asked for changed: lays the list out anew (here, or away for a large list).
    void relayout();
    void showLayout(Layout layout);
    void updateSortIndicator();
    void fitColumns();
    // The width the longest text of `section` needs, at most `capChars` average characters of
    // text when that is above 0; measured on a few of the longest texts and the rows on screen.
    int contentWidth(int section, int capChars) const;

    int m_index;
    ListModel* m_model;
    QTreeView* m_report;
    QListView* m_icons;
    QStackedLayout* m_stack;
    const ImageList* m_large = nullptr;
    const ImageList* m_small = nullptr;
    std::vector<int> m_widths; // twips
    ViewMode m_mode = ViewMode::Report;
    bool m_labelWrap = true;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    // What is asked for, and what is shown.
    SharedRows m_wantedRows;
    ListFilter m_filter;
    ListSort m_shownSort;
    ListFilter m_shownFilter;
    int m_generation = 0;             // counts what was asked for
    bool m_working = false;           // a layout is under way away from the window's thread
    QHash<QString, Note> m_lateNotes; // notes given while it is
    std::vector<std::function<void()>> m_whenShown;
    std::optional<QString> m_selectWhenShown; // a key asked for while rows were laid out
    std::vector<std::vector<int>> m_longest;  // by column: the rows of its longest texts
    int m_busy = 0;
    bool m_fit = false;
    bool m_userWidths = false;
    int m_sizing = 0; // the program sizes columns: what the header reports is not the user's
    QObject m_alive;  // layouts made away are taken only while this lives
};
