#pragma once

// Corrects what Qt's own accessibility shows a screen reader for three kinds of our widgets, for
// the whole program (installed once; safe to call again, before the widgets are made):
// - a plain tool button (the toolbar's) gets actions that work: Qt's offers "Toggle" on a
//   checkable one, such as the view-mode pair, but does nothing when it is asked for;
// - a window made from a plain widget (the web link dialog, the help window, the splash window)
//   is a dialog or a window, where Qt calls it a panel: such a class declares its role with
//   Q_CLASSINFO("accessibleRole", "dialog") or Q_CLASSINFO("accessibleRole", "window");
// - a line between parts of a window is a separator, where Qt calls it a frame (a window);
// - the tabs of a tab strip say which one is current by "selected" (Qt 6.4 calls it only
//   "focused", so a screen reader does not announce it as the current page).
void installAccessibility();

#include <functional>

class QAccessibleEvent;
class QTabBar;
class QToolBar;

// Tells screen readers that the current tab of `bar` went from `oldTab` to `newTab`: a
// state-change event for each of the two tabs. `send` takes the events in place of the
// accessibility bus (for the tests).
void announceCurrentTab(QTabBar* bar, int oldTab, int newTab,
                        const std::function<void(QAccessibleEvent*)>& send = {});

// Names the button that a toolbar shows for the buttons that do not fit in a narrow window.
void nameOverflowButton(QToolBar* toolbar);
