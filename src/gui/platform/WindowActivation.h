#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;

// Brings `window` (already shown) to the front for a later start of the program that handed over
// its activation token. A compositor raises a window only with the token of the start that asked
// for it: under Wayland the token goes where Qt's Wayland plugin takes it from when the window
// asks to be activated (XDG_ACTIVATION_TOKEN, used once and cleared again so that no program the
// hub starts inherits it); under X11 it is a startup id whose time stamp lets the window manager
// see the request as the user's, and whose launch feedback ends here, since the start that was
// given it ends without a window. Without a token the window just asks to be activated.
void activateWithToken(QWidget& window, const QByteArray& token);

// The same, on the named platform ("wayland", "xcb", anything else), with `ask` in place of the
// window's own request to be activated: lets the tests see what the request is made with.
void activateWithToken(QWidget& window, const QByteArray& token, const QString& platform,
                       const std::function<void()>& ask);

// The time stamp of an X11 startup id ("..._TIME<number>"); 0 when it has none.
quint32 startupIdTime(const QByteArray& startupId);
