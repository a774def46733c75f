// Start-up preparation of the main window: settings migration, the shortcut folder, the column
// table, the toolbar images and the fixed "New" list.
#include "app/Paths.h"
#include "app/SettingsMigration.h"
#include "mainwindow/ColumnTable.h"
#include "mainwindow/frmQEL.h"
#include "mainwindow/QelListView.h"

#include <QAction>

void frmQEL::InitMainWindow()
{
    MigrateSettings(*m_services.settings, *m_services.drives, appFolder());

    // Start-up housekeeping: a folder that cannot be made is tried again at the next start.
    paths::ensureFolder(appFolder(), QStringLiteral("ShortCuts"));

    for (int list : {1, 0, 2, 3}) {
        QelListView* view = lstQEL[size_t(list)];
        for (const ColumnDef& c : columnsOfList(list))
            view->addColumn(QString::fromUtf8(c.caption), c.widthTwips);
        view->setHeadersVisible(list == 1 || list == 3);
    }

    const ImageList& images = imgIcons[2];
    for (const char* key : {"Exit", "Icon", "List", "Help", "Delete", "Create", "Rename"}) {
        const QString k = QString::fromLatin1(key);
        QString image = k;
        if (k == QLatin1String("Icon"))
            image = QStringLiteral("IconView");
        else if (k == QLatin1String("List"))
            image = QStringLiteral("listview");
        button(k)->setIcon(images.icon(image));
    }
}

void frmQEL::LoadNewList()
{
    QelListView* list = lstQEL[0];
    list->setLargeImageList(&imgIcons[0]);
    list->setSmallImageList(&imgIcons[1]);
    list->setViewMode(QelListView::ViewMode::Report);
    list->setLabelWrap(true);
    for (const NewListEntry& e : newListEntries()) {
        const int row = list->addEntry(QString::fromUtf8(e.text), QString::fromLatin1(e.largeIcon),
                                       QString::fromLatin1(e.smallIcon));
        list->setSubItem(row, 1, QString::fromLatin1(e.typeCode));
    }
}
