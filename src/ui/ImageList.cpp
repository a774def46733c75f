#include "ui/ImageList.h"

#include "platform/qt/QtIconSource.h"

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
    static constexpr int sides[] = {16, 24, 32, 48, 64};
    return renderSvgIcon(QStringLiteral(":/icons/") + resourceName + QStringLiteral(".svg"), sides);
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
