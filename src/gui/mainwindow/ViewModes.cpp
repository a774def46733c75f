// Icon and report view of the current tab's list, and sorting by a column header.
#include "mainwindow/frmQEL.h"
#include "ui/QelListView.h"

#include <QAction>

void frmQEL::showViewMode(bool iconView)
{
    mnuIcon->setChecked(iconView);
    mnuList->setChecked(!iconView);
    button(QStringLiteral("Icon"))->setChecked(iconView);
    button(QStringLiteral("List"))->setChecked(!iconView);
}

void frmQEL::mnuIcon_Click()
{
    const int tab = TabMain->CurrTab();
    if (tab >= 0 && tab < kTabCount)
        lstQEL[size_t(tab)]->setViewMode(QelListView::ViewMode::Icon);
    showViewMode(true);
}

void frmQEL::mnuList_Click()
{
    const int tab = TabMain->CurrTab();
    if (tab >= 0 && tab < kTabCount)
        lstQEL[size_t(tab)]->setViewMode(QelListView::ViewMode::Report);
    showViewMode(false);
}

void frmQEL::lstQEL_ColumnClick(int index, int column)
{
    // Only lists that show their headers can be clicked there. The clicked list is sorted; each
    // list has one order that every header click flips, whichever column was clicked.
    QelListView* list = lstQEL[size_t(index)];
    if (!list->headersVisible())
        return;
    list->setSorted(false);
    list->setSortKey(column - 1);
    list->setSortOrder(list->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder
                                                               : Qt::AscendingOrder);
    list->setSorted(true);
}
