#pragma once

#include <QList>
#include <QRect>

#include <optional>

// Where the main window may come up from the place and size saved at the last exit.
namespace windowplace {

// The largest number a saved place or size may hold; beyond it a number is taken as damaged.
inline constexpr qint64 kLimit = 16777215;

// Whether a window of client area `window`, with a title bar `titleBar` pixels high just above
// it, can be used where it is: the whole title bar (to move it) and at least a third of the
// window fall on one of the screens (their available areas).
bool usable(const QRect& window, const QList<QRect>& screens, int titleBar);

// The geometry to give a window whose saved numbers are `left top width height`: the saved one
// where it is usable; otherwise the saved size, cut down to the primary screen (`screens`
// first), centred on it. Nothing when the saved numbers give no size (missing, not four,
// not positive, or beyond kLimit); a place beyond kLimit counts as unusable.
std::optional<QRect> place(const QList<qint64>& saved, const QList<QRect>& screens, int titleBar);

} // namespace windowplace
