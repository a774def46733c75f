// The window as the user left it: its place, its size, whether it was maximised, and the column
// widths each list was given. They are kept per user in a settings section of our own, written
// once when the window closes after the exit question, and read before the window first shows.
// The program's specified settings are written at the moment they change, as before; nothing
// else is saved at exit. View modes and sort orders are not kept: every load resets them.
// A saved place is used only where the window can be used there (see WindowPlace.h), and a
// place that could not be used is never saved; the size is kept either way.
#include "mainwindow/WindowState.h"
#include "mainwindow/WindowPlace.h"
#include "platform/SettingsStore.h"
#include "ui/QelListView.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <limits>

namespace {
const QString kApplication = QStringLiteral("Keldara");
const QString kSection = QStringLiteral("Window");
// The window's place and size when not maximised, in pixels: "left top width height", or only
// "width height" when its place could not be used.
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

// The numbers of a text written by numbersText; nothing when any part is not a `Number`.
template <class Number> QList<Number> numbersOf(const QString& text)
{
    QList<Number> numbers;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qlonglong n = part.toLongLong(&ok);
        if (!ok || n < std::numeric_limits<Number>::min() || n > std::numeric_limits<Number>::max())
            return {};
        numbers.append(Number(n));
    }
    return numbers;
}

// The screens' available areas, the primary screen's first.
QList<QRect> screenAreas()
{
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas.append(screen->availableGeometry());
    }
    return areas;
}

// The height of the title bar above the window, which must stay reachable to move it.
int titleBarHeight(const QWidget& window)
{
    const int frame = window.frameGeometry().height() - window.geometry().height();
    return frame > 0 ? frame : window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

qint64 area(const QRect& r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}
} // namespace

bool windowplace::usable(const QRect& window, const QList<QRect>& screens, int titleBar)
{
    if (window.width() <= 0 || window.height() <= 0)
        return false;
    const QRect title(window.left(), window.top() - titleBar, window.width(), titleBar);
    for (const QRect& screen : screens) {
        if (screen.contains(title) && 3 * area(screen.intersected(window)) >= area(window))
            return true;
    }
    return false;
}

std::optional<QRect> windowplace::place(const QList<qint64>& saved, const QList<QRect>& screens,
                                        int titleBar)
{
    if (saved.size() != 4 && saved.size() != 2)
        return std::nullopt;
    const auto within = [](qint64 n, qint64 low) { return n >= low && n <= kLimit; };
    const qint64 width = saved[saved.size() - 2];
    const qint64 height = saved[saved.size() - 1];
    if (!within(width, 1) || !within(height, 1))
        return std::nullopt;
    const QSize size{int(width), int(height)};
    if (screens.isEmpty())
        return QRect(QPoint(), size);
    // The room a window has on a screen: all of it below the title bar.
    const auto room = [&](const QRect& screen) { return screen.adjusted(0, titleBar, 0, 0); };
    if (saved.size() == 4 && within(saved[0], -kLimit) && within(saved[1], -kLimit)) {
        const QRect there{QPoint(int(saved[0]), int(saved[1])), size};
        for (const QRect& screen : screens) {
            if (usable(there, {screen}, titleBar))
                return QRect(there.topLeft(), size.boundedTo(room(screen).size()));
        }
    }
    // Centred on the primary screen, title bar included, at most as large as it.
    QRect centred(QPoint(), size.boundedTo(room(screens.first()).size()));
    centred.moveCenter(room(screens.first()).center());
    return centred;
}

WindowState::WindowState(QWidget& window, const std::array<QelListView*, kTabCount>& lists,
                         SettingsStore* settings)
    : m_window(window)
    , m_lists(lists)
    , m_settings(settings)
{}

void WindowState::restore()
{
    SettingsStore* settings = m_settings;
    if (!settings)
        return;
    const auto value = [&](const QString& key) {
        return settings->read(kApplication, kSection, key, QString());
    };
    if (const auto there = windowplace::place(numbersOf<qint64>(value(kGeometry)), screenAreas(),
                                              titleBarHeight(m_window)))
        m_window.setGeometry(*there);
    if (value(kMaximized).compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        m_window.setWindowState(m_window.windowState() | Qt::WindowMaximized);
    for (int tab = 0; tab < kTabCount; ++tab)
        m_lists[size_t(tab)]->setUserColumnWidths(numbersOf<int>(value(columnsKey(tab))));
}

void WindowState::save()
{
    SettingsStore* settings = m_settings;
    if (!settings)
        return;
    const auto write = [&](const QString& key, const QString& text) {
        settings->write(kApplication, kSection, key, text);
    };
    // The size is kept whatever the desktop draws around the window; a place where the window
    // could not be used is not: the next start centres the window at its size.
    if (const QRect normal = m_window.normalGeometry(); !normal.isEmpty()) {
        if (windowplace::usable(normal, screenAreas(), titleBarHeight(m_window)))
            write(kGeometry,
                  numbersText({normal.x(), normal.y(), normal.width(), normal.height()}));
        else
            write(kGeometry, numbersText({normal.width(), normal.height()}));
    }
    write(kMaximized, m_window.isMaximized() ? QStringLiteral("True") : QStringLiteral("False"));
    for (int tab = 0; tab < kTabCount; ++tab)
        write(columnsKey(tab), numbersText(m_lists[size_t(tab)]->userColumnWidths()));
}
