#pragma once

class QAbstractItemModel;
class QListView;
class QTreeView;

// The two views a list is shown in, made over one model. The report view shows the model's
// columns; the icon view shows the entries' names only, one item per entry, which is also what
// a screen reader reads of it. Both keep one selection: choosing an entry in one chooses it in
// the other.
QTreeView* makeReportView(QAbstractItemModel* model);
QListView* makeIconView(QAbstractItemModel* model);
void shareSelection(QTreeView* report, QListView* icons);
