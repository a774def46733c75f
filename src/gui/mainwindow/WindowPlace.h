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

// The geometry to give a window whose saved numbers are `left top width height`, or only
// `width height` (no usable place was saved): the saved place where it is usable; otherwise
// centred on the primary screen (`screens` first). The saved size either way, cut down to the
// screen it comes up on. Nothing when the saved numbers give no size (missing, neither four nor
// two, not positive, or beyond kLimit); a place beyond kLimit counts as unusable.
std::optional<QRect> place(const QList<qint64>& saved, const QList<QRect>& screens, int titleBar);

} // namespace windowplace
