#include "ui/ImageList.h"

#include "platform/QtIconSource.h"

#include <QHash>
#include <QIconEngine>
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

namespace {
// One of our drawings, drawn at the size it is first shown at and kept: the window starts
// without drawing a picture nobody has looked at yet, and every size is crisp.
class DrawingEngine : public QIconEngine {
public:
    explicit DrawingEngine(QString file)
        : m_file(std::move(file))
    {}
    QIconEngine* clone() const override { return new DrawingEngine(m_file); }
    QString key() const override { return QStringLiteral("KeldaraDrawing"); }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const quint64 id = (quint64(size.width()) << 32) | quint64(size.height()) << 2 |
                           quint64(mode == QIcon::Disabled);
        if (const auto found = m_drawn.constFind(id); found != m_drawn.constEnd())
            return *found;
        QPixmap drawn(size);
        drawn.fill(Qt::transparent);
        QPainter p(&drawn);
        p.setRenderHint(QPainter::Antialiasing);
        if (mode == QIcon::Disabled)
            p.setOpacity(0.4);
        QSvgRenderer(m_file).render(&p);
        p.end();
        m_drawn.insert(id, drawn);
        return drawn;
    }

private:
    QString m_file;
    QHash<quint64, QPixmap> m_drawn;
};
} // namespace

QIcon drawnIcon(const QString& resourceName)
{
    ensureResources();
    return QIcon(
        new DrawingEngine(QStringLiteral(":/icons/") + resourceName + QStringLiteral(".svg")));
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
