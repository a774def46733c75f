#pragma once

#include "ui/ListModel.h"

#include <QHash>

#include <QWidget>

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

    // Entries. A tab shows its entries here; it never reads them back as data.
    // Shows `entries`, in the list's sort order when it sorts. Entries that stay, by key, keep the
    // selection, the current entry and the top of the view, and only rows that changed are
    // redrawn, so a list another program keeps changing neither flickers nor jumps.
    void setEntries(std::vector<ListEntry> entries);
    void clear();
    int count() const;
    const ListEntry& entry(int row) const;
    QString text(int row) const;
    QString subItem(int row, int column) const;
    // The first row of the entry with this key; -1 when it has none.
    int rowOfKey(const QString& key) const;
    // Gives the entries of each key its note: "missing" or "broken" (greyed, told in tooltip
    // and description), or the empty note for an entry that is well.
    void applyNotes(const QHash<QString, QString>& noteOfKey);
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
    QString filterText() const { return m_filter; }
    bool isRowShown(int row) const;

    // Selection: -1 or an empty key when nothing is selected.
    int selectedRow() const;
    void setSelectedRow(int row);
    QString selectedKey() const;
    void setSelectedKey(const QString& key);

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
    void keyboardContextMenu(QAbstractItemView* view);
    QAbstractItemView* currentView() const;
    QString topKey() const;
    void scrollToTop(const QString& key);
    void applySort();
    void applyFilter();
    bool matchesFilter(int row) const;
    void updateSortIndicator();
    void fitColumns();
    // The width the entries' longest text of `section` needs, at most `capChars` average
    // characters of text when that is above 0.
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
    QString m_filter;
    bool m_anyHidden = false;
    int m_busy = 0;
    QList<int> m_filterColumns;
    bool m_fit = false;
    bool m_userWidths = false;
    int m_sizing = 0; // the program sizes columns: what the header reports is not the user's
};
