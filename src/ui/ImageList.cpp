#include "ui/ImageList.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

static void initKeldaraResources()
{
    Q_INIT_RESOURCE(keldara);
}

void ensureResources()
{
    static const bool ready = (initKeldaraResources(), true);
    Q_UNUSED(ready);
}

QIcon drawnIcon(const QString& resourceName)
{
    ensureResources();
    QSvgRenderer renderer(QStringLiteral(":/icons/") + resourceName + QStringLiteral(".svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void fillListIcons(ImageList& large, ImageList& small)
{
    large.add(QStringLiteral("Prv"), drawnIcon(QStringLiteral("fuelprofile")));
    large.add(QStringLiteral("Lgt"), drawnIcon(QStringLiteral("inventory")));
    large.add(QStringLiteral("Crn"), drawnIcon(QStringLiteral("crown")));
    large.add(QStringLiteral("Web"), drawnIcon(QStringLiteral("web")));
    small.add(QStringLiteral("PRV"), drawnIcon(QStringLiteral("fuelprofile")));
    small.add(QStringLiteral("LGT"), drawnIcon(QStringLiteral("inventory")));
    small.add(QStringLiteral("Crn"), drawnIcon(QStringLiteral("crown")));
    small.add(QStringLiteral("Web"), drawnIcon(QStringLiteral("web")));
}

void fillToolbarIcons(ImageList& toolbar)
{
    for (const char* key : {"IconView", "Create", "Rename", "Delete", "listview", "Exit", "Help"}) {
        const QString k = QString::fromLatin1(key);
        toolbar.add(k, drawnIcon(k.toLower()));
    }
}

QIcon programIcon()
{
    return drawnIcon(QStringLiteral("keldara"));
}
