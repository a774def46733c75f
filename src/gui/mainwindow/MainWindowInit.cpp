// Start-up preparation of the main window: the shortcut folder, the column table and the
// toolbar's pictures.
#include "base/Paths.h"
#include "mainwindow/frmQEL.h"
#include "ui/ColumnTable.h"
#include "ui/QelListView.h"

#include <QAction>

void frmQEL::InitMainWindow()
{
    // Start-up housekeeping: a folder that cannot be made is tried again at the next start.
    paths::ensureFolder(m_hub.appFolder(), QStringLiteral("ShortCuts"));

    for (Tab tab : {Tab::Open, Tab::New, Tab::Tools, Tab::Web}) {
        QelListView* view = lstQEL[size_t(tab)];
        for (const ColumnDef& c : columnsOfList(tab))
            view->addColumn(QString::fromUtf8(c.caption), c.widthTwips);
        view->setHeadersVisible(showsHeaders(tab));
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
