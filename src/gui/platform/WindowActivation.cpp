#include "platform/WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

// The X11 part only where Qt talks to X servers (not on Windows, whatever Qt's headers say).
#if QT_CONFIG(xcb) && !defined(Q_OS_WIN)
#define KELDARA_X11 1
#include <xcb/xcb.h>

#include <cstring>
#endif

namespace {

#ifdef KELDARA_X11
xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// The startup-notification message that ends the launch feedback of `id`: the text in pieces of
// 20 bytes, the first with its own type, sent to the root window.
void endLaunchFeedback(xcb_connection_t* c, xcb_window_t root, xcb_window_t from,
                       const QByteArray& id)
{
    QByteArray text = "remove: ID=";
    for (const char ch : id) {
        if (ch == ' ' || ch == '"' || ch == '\\')
            text.append('\\');
        text.append(ch);
    }
    text.append('\0');
    const xcb_atom_t begin = atom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(c, "_NET_STARTUP_INFO");
    for (qsizetype at = 0; at < text.size(); at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = from;
        event.type = at == 0 ? begin : more;
        std::memcpy(event.data.data8, text.constData() + at,
                    size_t(std::min<qsizetype>(20, text.size() - at)));
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
}

// Asks the window manager to activate `window` as the user's own request at `time`.
void activateAt(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, quint32 time)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1; // from an application
    event.data.data32[1] = time;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void activateOnX11(QWidget& window, const QByteArray& startupId)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (!screens.rem)
        return;
    const xcb_window_t root = screens.data->root;
    const auto id = xcb_window_t(window.winId());
    if (const quint32 time = startupIdTime(startupId))
        activateAt(c, root, id, time);
    endLaunchFeedback(c, root, id, startupId);
    xcb_flush(c);
}
#endif

} // namespace

quint32 startupIdTime(const QByteArray& startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return 0;
    bool ok = false;
    const uint time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? quint32(time) : 0;
}

void activateWithToken(QWidget& window, const QByteArray& token, const QString& platform,
                       const std::function<void()>& ask)
{
    const bool wayland = platform == QLatin1String("wayland") && !token.isEmpty();
    if (wayland)
        qputenv("XDG_ACTIVATION_TOKEN", token);
    ask();
    // Taken by the request above; a token left behind would go to every program the hub starts.
    if (wayland)
        qunsetenv("XDG_ACTIVATION_TOKEN");
#ifdef KELDARA_X11
    if (platform == QLatin1String("xcb") && !token.isEmpty())
        activateOnX11(window, token);
#else
    Q_UNUSED(window);
#endif
}

void activateWithToken(QWidget& window, const QByteArray& token)
{
    activateWithToken(window, token, QGuiApplication::platformName(),
                      [&window] { window.activateWindow(); });
}
