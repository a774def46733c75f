// Starts a program and ends once a window whose title holds "Keldara" is mapped on the X display:
// the start-up time of a desktop program as the user sees it, without polling.
//   until_window PROGRAM [ARG...]      (DISPLAY names the X server; no window manager needed)
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

std::string property(xcb_connection_t* x, xcb_window_t window, xcb_atom_t name)
{
    const auto cookie = xcb_get_property(x, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(x, cookie, nullptr);
    std::string value;
    if (reply) {
        value.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
    }
    return value;
}

xcb_atom_t atom(xcb_connection_t* x, const char* name)
{
    auto* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : XCB_ATOM_NONE;
    std::free(reply);
    return a;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: until_window PROGRAM [ARG...]\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "until_window: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &events);
    const xcb_atom_t netName = atom(x, "_NET_WM_NAME");
    xcb_flush(x);

    pid_t program = 0;
    if (posix_spawnp(&program, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::perror("until_window");
        return 2;
    }
    int code = 1;
    while (xcb_generic_event_t* event = xcb_wait_for_event(x)) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
            const std::string title = property(x, mapped->window, netName) +
                                      property(x, mapped->window, XCB_ATOM_WM_NAME);
            if (title.find("Keldara") != std::string::npos) {
                code = 0;
                std::free(event);
                break;
            }
        }
        std::free(event);
    }
    kill(program, SIGTERM);
    waitpid(program, nullptr, 0);
    xcb_disconnect(x);
    return code;
}
