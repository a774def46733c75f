#pragma once

#include "lists/ListLayout.h"

#include <QList>

#include <vector>

class ListModel;
class QTreeView;

// The widths of a list's columns in report view: made once in twips, sized by the user or
// fitted to what the list holds, and kept between runs.
class ListColumnFitter {
public:
    ListColumnFitter(ListModel& model, QTreeView& report);

    // Adds a column; a width of 0 makes one that holds sub-items but never shows.
    void addColumn(const QString& caption, int widthTwips);
    int widthTwips(int column) const;
    // The widths the user gave the shown columns, in twips, in column order: those handed to
    // setUserWidths or dragged since. Empty while the columns keep the widths they were made
    // with, or those fitted to the entries.
    QList<int> userWidths() const;
    // Gives the shown columns the widths the user chose before; a list of another length, or
    // with a width below one pixel, is ignored.
    void setUserWidths(const QList<int>& twips);
    // Until the user sizes a column, fits the columns to the entries after every fill and resize:
    // the first to its caption and its longest text (up to about 40 characters), the middle ones
    // to theirs, and the last takes the rest of the width, its long texts elided in the middle
    // and shown whole in their tooltips.
    void setFit(bool fit, const ListSort& sort);
    bool fits() const { return m_fit; }
    // The columns measured by their texts: every shown one but the last, which takes the room
    // left; none when the columns are not fitted.
    QList<int> measured() const;
    // Fits the columns again; `longest`, by column, are the rows of their longest texts as the
    // rows last changed (kept until they change again).
    void fit(const ListSort& sort);
    void fit(const ListSort& sort, std::vector<std::vector<int>> longest);

private:
    // The width the longest text of `section` needs, at most `capChars` average characters of
    // text when that is above 0; measured on a few of the longest texts and the rows on screen.
    int contentWidth(int section, int capChars) const;

    ListModel& m_model;
    QTreeView& m_report;
    std::vector<int> m_widths;               // twips, as made
    std::vector<std::vector<int>> m_longest; // by column: the rows of its longest texts
    bool m_fit = false;
    bool m_userWidths = false;
    int m_sizing = 0; // the program sizes columns: what the header reports is not the user's
};
