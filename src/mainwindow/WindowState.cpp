// The window as the user left it: its place, its size, whether it was maximised, and the column
// widths each list was given. They are kept per user in a settings section of our own, written
// once when the window closes after the exit question, and read before the window first shows.
// The program's specified settings are written at the moment they change, as before; nothing
// else is saved at exit. View modes and sort orders are not kept: every load resets them.
#include "mainwindow/frmQEL.h"
#include "platform/SettingsStore.h"
#include "ui/QelListView.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {
const QString kApplication = QStringLiteral("Keldara");
const QString kSection = QStringLiteral("Window");
// The window's place and size when not maximised, in pixels: "left top width height".
const QString kGeometry = QStringLiteral("Geometry");
const QString kMaximized = QStringLiteral("Maximized");

// The widths of a list's shown columns, in twips, blank-separated; empty when the user left them.
QString columnsKey(int tab)
{
    return tabCaption(Tab(tab)) + QStringLiteral("Columns");
}

QString numbersText(const QList<int>& numbers)
{
    QStringList parts;
    for (int n : numbers)
        parts.append(QString::number(n));
    return parts.join(QLatin1Char(' '));
}

// The numbers of a text written by numbersText; nothing when any part is not one.
QList<int> numbersOf(const QString& text)
{
    QList<int> numbers;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        numbers.append(part.toInt(&ok));
        if (!ok)
            return {};
    }
    return numbers;
}

// The screen on which the user can still reach the window's top edge, to move it; none when the
// place is off every screen now (a monitor was unplugged, the resolution went down).
const QScreen* screenHolding(const QRect& window)
{
    const QRect topEdge(window.left(), window.top(), window.width(), 40);
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry().intersected(topEdge);
        if (seen.width() >= std::min(window.width(), 100) && seen.height() >= 20)
            return screen;
    }
    return nullptr;
}
} // namespace

void frmQEL::restoreWindowState()
{
    SettingsStore* settings = m_hub.services().settings;
    if (!settings)
        return;
    const auto value = [&](const QString& key) {
        return settings->read(kApplication, kSection, key, QString());
    };
    if (const QList<int> g = numbersOf(value(kGeometry)); g.size() == 4 && g[2] > 0 && g[3] > 0) {
        const QRect saved(g[0], g[1], g[2], g[3]);
        const QScreen* screen = screenHolding(saved);
        // A size larger than the screen now is cut down to it.
        const QScreen* bounds = screen ? screen : QGuiApplication::primaryScreen();
        const QSize room = bounds ? bounds->availableGeometry().size() : saved.size();
        const QSize size = saved.size().boundedTo(room);
        // Off every screen, the place is forgotten: the window opens where it would anyway.
        if (screen)
            setGeometry(QRect(saved.topLeft(), size));
        else
            resize(size);
    }
    if (value(kMaximized).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        setWindowState(windowState() | Qt::WindowMaximized);
    for (int tab = 0; tab < kTabCount; ++tab)
        lstQEL[size_t(tab)]->setUserColumnWidths(numbersOf(value(columnsKey(tab))));
}

void frmQEL::saveWindowState()
{
    SettingsStore* settings = m_hub.services().settings;
    if (!settings)
        return;
    const auto write = [&](const QString& key, const QString& text) {
        settings->write(kApplication, kSection, key, text);
    };
    const QRect normal = normalGeometry();
    write(kGeometry, numbersText({normal.x(), normal.y(), normal.width(), normal.height()}));
    write(kMaximized, isMaximized() ? QStringLiteral("True") : QStringLiteral("False"));
    for (int tab = 0; tab < kTabCount; ++tab)
        write(columnsKey(tab), numbersText(lstQEL[size_t(tab)]->userColumnWidths()));
}
