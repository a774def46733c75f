#!/usr/bin/python3
"""Reads and drives the real program as a screen reader does, through the accessibility bus.

Usage: screen_reader.py KELDARA_EXECUTABLE [--dump]

The program runs in a world of the run's own (see harness.py: an X server, a session bus and
an application folder of its own), with the accessibility bus launcher on that bus, so nothing
here depends on, or reaches, the developer's desktop. Run as a script, it checks what a screen
reader reads of each tab, list and dialog; the other scripts use its reader. --dump prints each
window's tree as the screen reader sees it.
"""

import os
import signal
import subprocess
import sys
import time

import harness

Failure = harness.Failure  # what every check here raises
LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def wait_for(what, done, timeout=15.0, every=0.1):
    """Polls `done` every `every` s until it returns something true; fails naming `what` when
    the time is up."""
    end = time.monotonic() + timeout
    while True:
        result = done()
        if result:
            return result
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(every)


# ----------------------------------------------------------------------------------------------
# On the run's own session bus: the accessibility bus and the reader.

pyatspi = None
Gio = None
GLib = None


def start_accessibility_bus(group):
    global Gio, GLib, pyatspi
    from gi.repository import Gio, GLib
    harness.spawn([LAUNCHER, "--launch-immediately", "--a11y=1"], group, stderr=subprocess.DEVNULL)
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def address():
        try:
            reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                      "GetAddress", None, GLib.VariantType("(s)"),
                                      Gio.DBusCallFlags.NO_AUTO_START, 1000, None)
            return reply.unpack()[0]
        except GLib.Error:
            return None

    bus = wait_for("the accessibility bus", address)
    # This reader goes straight to that bus; the program finds it through the session bus (Qt
    # given the address directly connects, but never registers with the desktop).
    os.environ["AT_SPI_BUS_ADDRESS"] = bus
    import pyatspi as module
    pyatspi = module
    return Gio.DBusConnection.new_for_address_sync(
        bus, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
        | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)


class Reader:
    """What a screen reader does: find, read and act on the program's accessible objects."""

    def __init__(self, bus, pid, dump):
        self.bus = bus
        self.dump_trees = dump
        desktop = pyatspi.Registry.getDesktop(0)
        self.app = wait_for("the program on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.get_process_id() == pid), None))

    def window(self, role, name, timeout=15.0):
        """The showing window of that role and name (or whose name passes `name`)."""
        def named(text):
            return name(text) if callable(name) else text == name

        def showing():
            return next((w for w in self.app if shown_as(w, role, named)), None)
        try:
            w = wait_for("the %s %s" % (role, "named as expected" if callable(name) else
                                        repr(name)), showing, timeout)
        except Failure as failure:
            windows = [(x.getRoleName(), x.name, is_showing(x)) for x in self.app if x]
            raise Failure("%s; windows (role, name, showing): %s" % (failure, windows))
        if self.dump_trees:
            print(tree_text(w))
        return w

    def gone(self, window):
        role, name = window.getRoleName(), window.name
        wait_for("%r to close" % name, lambda: not any(
            shown_as(w, role, lambda text: text == name) for w in self.app))

    def act(self, node, action):
        """Performs `node`'s accessible action `action` without waiting for its handler: one that
        shows a modal message box answers the bus only after the box is closed."""
        interface = node.queryAction()
        names = [interface.getName(i) for i in range(interface.nActions)]
        if action not in names:
            raise Failure("%s %r offers %s, not %r" % (node.getRoleName(), node.name, names,
                                                       action))
        message = Gio.DBusMessage.new_method_call(node.app.bus_name, node.path,
                                                  "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (names.index(action),)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        self.bus.send_message(message, Gio.DBusSendMessageFlags.NONE)
        self.bus.flush_sync(None)


def is_showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def shown_as(window, role, named):
    """Whether `window` is a showing window of that role whose name passes `named`; one taken off
    the bus while it is read (the bus answers "no such object") is not."""
    try:
        return window is not None and window.getRoleName() == role and named(window.name) \
            and is_showing(window)
    except GLib.Error:
        return False


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def find(root, role, name=None):
    # A list that reloads while it is walked takes the objects of its moved rows away with it
    # (the bus then answers "no such object"): the walk is made again.
    for attempt in range(5):
        try:
            for node in walk(root):
                if node.getRoleName() == role and (name is None or node.name == name):
                    return node
            break
        except GLib.Error:
            if attempt == 4:
                raise
            time.sleep(0.2)
    raise Failure("no %s %r under %s %r" % (role, name, root.getRoleName(), root.name))


def tree_text(root, depth=0):
    extra = ""
    if root.description:
        extra += " description=%r" % root.description
    try:
        a = root.queryAction()
        extra += " actions=%s" % [a.getName(i) for i in range(a.nActions)]
    except NotImplementedError:
        pass
    if not is_showing(root):
        extra += " (not showing)"
    lines = ["%s%s %r%s" % ("  " * depth, root.getRoleName(), root.name, extra)]
    for child in root:
        if child is not None:
            lines.append(tree_text(child, depth + 1))
    return "\n".join(lines)


# The roles a user reaches or reads: each must carry a name, shown or not (menus are read while
# closed), except pictures and texts that never show. Empty table cells (a shortcut without a
# working folder) are legitimately blank, so cells are read row by row instead.
NAMED_ROLES = {"push button", "toggle button", "check box", "radio button", "menu item",
               "check menu item", "menu", "popup menu", "menu bar", "page tab", "page tab list",
               "text", "entry", "password text", "tool bar", "list", "list item", "tree",
               "tree table", "table", "table column header", "combo box", "alert", "dialog",
               "frame", "spin button", "slider", "link"}
SHOWN_NAMED_ROLES = {"label", "image"}


def expect_names(window):
    nameless = [n.getRoleName() for n in walk(window) if not n.name.strip() and (
        n.getRoleName() in NAMED_ROLES
        or n.getRoleName() in SHOWN_NAMED_ROLES and is_showing(n))]
    unknown = [n.name for n in walk(window) if n.getRoleName() in ("unknown", "invalid")]
    if nameless or unknown:
        raise Failure("in %r: without a name: %s; without a role: %s"
                      % (window.name, nameless, unknown))


def table_of(view):
    """The rows of a report view as a screen reader reads them, and its column headers."""
    table = view.queryTable()
    rows = [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
            for r in range(table.nRows)]
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    return rows, headers


def expect_equal(what, got, expected):
    if got != expected:
        raise Failure("%s: expected %r, read %r" % (what, expected, got))


def settled(what, read, check, timeout=10.0):
    """Reads until `check` passes on what was read: a list may still be filling, or be reloaded
    by the program's refresh timer between two reads."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = read()
            check(value)
            return value
        except (Failure, GLib.Error) as failure:
            if time.monotonic() > end:
                raise Failure("%s: %s" % (what, failure))
        time.sleep(0.2)


class ReportList:
    """A tab's list in report view as a screen reader reads it: a row per entry, its first cell
    the entry's name (on "Open" its fourth the folder). A list that reloads while it is read
    takes its rows' objects away (the bus answers "no such object"): such a read finds nothing,
    and the caller's wait reads again."""

    def __init__(self, main, tab):
        self.tab = tab
        self.view = wait_for("the %s list" % tab, lambda: next(
            (n for n in walk(main) if n.getRoleName() in ("tree", "tree table")
             and n.name == tab + " list" and is_showing(n)), None))

    def cell(self, row, column=0):
        return self.view.queryTable().getAccessibleAt(row, column)

    def row_of(self, name, folder=None):
        try:
            table = self.view.queryTable()
            for r in range(table.nRows):
                cell = table.getAccessibleAt(r, 0)
                if cell is not None and cell.name == name and \
                        (folder is None or getattr(table.getAccessibleAt(r, 3), "name", None) == folder):
                    return r
        except GLib.Error:
            pass
        return -1

    def names(self):
        """The entries' names in the order shown; None when the list changed while read."""
        try:
            table = self.view.queryTable()
            cells = [table.getAccessibleAt(r, 0) for r in range(table.nRows)]
        except GLib.Error:
            return None
        # A row gone between the count and the look at it: the list was reloaded meanwhile.
        if any(cell is None for cell in cells):
            return None
        return [cell.name for cell in cells]

    def description(self, name):
        """What is said of the entry besides its name (its full path, and its state); None when
        it is not shown."""
        try:
            row = self.row_of(name)
            return self.cell(row).description if row >= 0 else None
        except GLib.Error:
            return None

    def choose(self, reader, name, folder=None):
        row = wait_for("%s in the %s list" % (name, self.tab),
                       lambda: self.row_of(name, folder) + 1) - 1
        reader.act(self.cell(row), "Toggle")

        def chosen():
            read = self.selected()
            return read and read[0] == name and folder in (None, read[1])
        wait_for("%s to be selected" % name, chosen)

    def selected(self):
        """The selected entry's name and folder (on "Open"; else its name twice). The rows may
        move between two questions to the program: what is read is checked again until it
        holds still."""
        table = self.view.queryTable()
        column = 3 if table.nColumns > 3 else 0
        for _ in range(20):
            try:
                rows = table.getSelectedRows()
                if not rows:
                    return None
                read = table.getAccessibleAt(rows[0], 0).name, \
                    table.getAccessibleAt(rows[0], column).name
                if list(table.getSelectedRows()) == list(rows):
                    return read
            except GLib.Error:
                pass
        return None

    def double_click(self, name):
        """A double-click on the entry, as the user gives it."""
        row = wait_for("%s in the %s list" % (name, self.tab), lambda: self.row_of(name) + 1) - 1
        box = self.cell(row).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "--repeat", "2", "--delay", "80",
                        "1"], check=True)


def alerts(reader):
    """The message boxes showing: the text of each, and the box."""
    for _ in range(5):
        try:
            return [("\n".join(n.name for n in walk(w) if n.getRoleName() == "label" and n.name),
                     w) for w in reader.app if shown_as(w, "alert", lambda _: True)]
        except GLib.Error:  # one closed while read
            time.sleep(0.05)
    return []


def alert_saying(reader, text, timeout=15.0):
    """The showing message box whose text is `text`; fails naming what is shown instead."""
    try:
        return wait_for("a message box saying %r" % text, lambda: next(
            (w for said, w in alerts(reader) if said == text), None), timeout, every=0.02)
    except Failure as failure:
        raise Failure("%s; shown: %s" % (failure, [said for said, _ in alerts(reader)])) \
            from None


def screenshot(path):
    """The whole screen of $DISPLAY as a PNG file (Xlib's XGetImage; nothing to install)."""
    import ctypes
    import struct
    import zlib

    class XImage(ctypes.Structure):
        _fields_ = [(name, ctypes.c_int) for name in ("width", "height", "xoffset", "format")] + \
            [("data", ctypes.c_void_p)] + [(name, ctypes.c_int) for name in (
                "byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "depth",
                "bytes_per_line", "bits_per_pixel")]

    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XDisplayWidth.argtypes = x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                            ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = x.XOpenDisplay(None)
    if not display:
        raise Failure("no X display to take a picture of")
    width, height = x.XDisplayWidth(display, 0), x.XDisplayHeight(display, 0)
    taken = x.XGetImage(display, x.XDefaultRootWindow(display), 0, 0, width, height,
                        0xFFFFFFFF, 2)  # ZPixmap
    image = taken.contents
    stride, depth = image.bytes_per_line, image.bits_per_pixel
    raw = ctypes.string_at(image.data, stride * height)
    x.XFree(ctypes.c_void_p(image.data))
    x.XFree(taken)
    x.XCloseDisplay(display)
    if depth != 32:
        raise Failure("a %d-bit screen is not read here" % depth)
    bgrx = b"".join(raw[y * stride:y * stride + 4 * width] for y in range(height))
    rgb = bytearray(3 * width * height)
    for to, came in ((0, 2), (1, 1), (2, 0)):
        rgb[to::3] = bgrx[came::4]
    rows = b"".join(b"\0" + rgb[3 * width * y:3 * width * (y + 1)] for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + \
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height,
                                                                     8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b""))


def check_lists(reader, main, app):
    tabs = find(main, "page tab list")
    data = os.path.join(app, "data") + os.sep
    # Per tab: the rows that must be read, whole (None: a cell not checked, as the file's date
    # or a shortcut's folder), and the hidden values that never may be read.
    expected = {
        "New": ([["New Fuel Profile"], ["New Planar Intercept"],
                 ["New Photo Series Inventory"], ["New Crown Mass Inventory"]],
                ["FPL", "PLI", "PHS", "CRN"]),
        "Open": ([["plot7.fpl", None, "Fuel Profile", data],
                  ["gone.fpl", None, "Fuel Profile", os.path.join(app, "elsewhere") + os.sep]],
                 ["fpl", "FPL"]),
        "Tools": ([[name, None, None] for name in ("Canopy Load", "Image Keeper", "LogTallyPC",
                                                   "Measure Swap", "Model Library",
                                                   "Plot Pictures")], []),
        "Web": ([["Fire Lab", "https://example.org/lab"]], []),
    }
    headers = {"Open": ["Recently Used Files", "Last Modified", "Type", "Directory"],
               "Web": ["Name", "Url"]}
    # Each switch is announced: the tab left is no longer selected, the tab taken is.
    announced = []

    def on_selected(event):
        try:
            if event.source.getRoleName() == "page tab":
                announced.append((event.source.name, event.detail1))
        except GLib.Error:
            pass
    pyatspi.Registry.registerEventListener(on_selected, "object:state-changed:selected")
    previous = "New"  # the tab the program starts on
    for tab, (rows, hidden) in expected.items():
        del announced[:]
        reader.act(find(tabs, "page tab", tab), "Press")
        # The tab pressed is read as the current one: selected, and no other tab is.
        settled("the selected tab", lambda: [t.name for t in tabs if t is not None and
                                             t.getRoleName() == "page tab" and
                                             t.getState().contains(pyatspi.STATE_SELECTED)],
                lambda read: expect_equal("the tabs read as selected", read, [tab]))
        if tab != previous:
            wait_for("the switch from %s to %s announced" % (previous, tab), lambda: pump_events()
                     or {(previous, 0), (tab, 1)} <= set(announced), timeout=5)
        previous = tab
        view = wait_for("the %s list to show" % tab, lambda: next(
            (n for n in walk(main) if n.getRoleName() in ("tree", "tree table")
             and n.name == tab + " list" and is_showing(n)), None))

        def check(table):
            read, heads = table
            expect_equal("columns", {len(row) for row in read}, {len(rows[0])})
            masked = sorted([cell if want is not None else None
                             for cell, want in zip(row, rows[0])] for row in read)
            expect_equal("rows", masked, sorted(rows))
            for cell in (c for row in read for c in row):
                if cell in hidden:
                    raise Failure("its hidden value %r is read as a cell" % cell)
            if tab in headers:
                expect_equal("headers", heads, headers[tab])

        settled("the %s list" % tab, lambda: table_of(view), check)
        if reader.dump_trees:
            print(tree_text(view))
    pyatspi.Registry.deregisterEventListener(on_selected, "object:state-changed:selected")


def pump_events():
    """Delivers the accessibility events that have arrived to the listeners registered here."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def check_descriptions(reader, main, app):
    """What a sighted user sees besides the text: each entry's full path, and an entry whose file
    has gone (or a shortcut whose program cannot be found) is said to be missing (broken)."""
    def cells(tab):
        reader.act(find(find(main, "page tab list"), "page tab", tab), "Press")
        view = wait_for("the %s list to show" % tab, lambda: next(
            (n for n in walk(main) if n.getRoleName() in ("tree", "tree table")
             and n.name == tab + " list" and is_showing(n)), None))
        table = view.queryTable()
        return {table.getAccessibleAt(r, 0).name: table.getAccessibleAt(r, 0).description
                for r in range(table.nRows)}

    gone = os.path.join(app, "elsewhere", "gone.fpl")
    settled("the Open list's descriptions", lambda: cells("Open"), lambda read: expect_equal(
        "descriptions", read, {"plot7.fpl": os.path.join(app, "data", "plot7.fpl"),
                               "gone.fpl": gone + ", missing"}))
    # The companion tools are not installed here: their shortcuts lead nowhere.
    settled("the Tools list's descriptions", lambda: cells("Tools"), lambda read: expect_equal(
        "descriptions", sorted(read.values()),
        sorted(os.path.join(app, "ShortCuts", name + ".lnk") + ", broken" for name in read)))


def check_edit_menu(reader, main):
    """The context menus' commands, which a screen reader never shows, stand in the Edit menu:
    each enabled on its own tab only, and run on the entry chosen there. Ends on "Web"."""
    tabs = find(main, "page tab list")
    added = ["Show in Folder", "Copy Path", "Remove from List", "Browse ...", "Copy Address"]

    def enabled():
        return [name for name in added if
                find(main, "menu item", name).getState().contains(pyatspi.STATE_ENABLED)]
    reader.act(find(tabs, "page tab", "Open"), "Press")
    ReportList(main, "Open").choose(reader, "gone.fpl")
    settled("the Edit menu on Open", enabled,
            lambda read: expect_equal("enabled", read, added[:4]))
    reader.act(find(main, "menu item", "Remove from List"), "Press")
    box = alert_saying(reader, "Remove GONE.FPL from the list? The file stays where it is.")
    reader.act(find(box, "push button", "No"), "Press")
    reader.gone(box)
    reader.act(find(tabs, "page tab", "Web"), "Press")
    settled("the Edit menu on Web", enabled,
            lambda read: expect_equal("enabled", read, ["Copy Address"]))


def check_icon_view(reader, main):
    """The Icon view button, pressed through its action: the "Web" list (current) shows its
    entries as icons, one item each, named by the entry alone."""
    reader.act(find(main, "check box", "Icon view mode"), "Toggle")
    icons = wait_for("the Web list's icon view", lambda: next(
        (n for n in walk(main) if n.getRoleName() == "list" and n.name == "Web list"
         and is_showing(n)), None))
    expect_equal("icon view items", [item.name for item in icons], ["Fire Lab"])
    if not find(main, "menu item", "Icon View").getState().contains(pyatspi.STATE_CHECKED):
        raise Failure("the View menu does not show the icon view")


def check_web_dialog(reader, main, app):
    """Create web shortcut: the dialog's fields are found by name and typed into."""
    reader.act(find(main, "push button", "Create web shortcut"), "Press")
    dialog = reader.window("dialog", "Create a Web Short Cut")
    expect_names(dialog)
    for field, text in (("Name", "Weather"), ("URL", "https://example.org/wx")):
        find(dialog, "text", field).queryEditableText().setTextContents(text)
    reader.act(find(dialog, "push button", "Create"), "Press")
    reader.gone(dialog)
    with open(os.path.join(app, "QELWebList.txt"), "rb") as f:
        expect_equal("the web-link list file", f.read(),
                     b'"Fire Lab","https://example.org/lab"\r\n'
                     b'"Weather","https://example.org/wx"\r\n')
    icons = find(main, "list", "Web list")
    wait_for("the new link in the list", lambda: [i.name for i in icons] == ["Fire Lab",
                                                                             "Weather"])


def check_about_box(reader, main):
    reader.act(find(main, "menu item", "About"), "Press")
    about = reader.window("dialog", "About Keldara")
    expect_names(about)
    reader.act(find(about, "push button", "OK"), "Press")
    reader.gone(about)


def answer_exit_question(reader, main, answer):
    reader.act(find(main, "push button", "Exit Keldara"), "Press")
    box = reader.window("alert", "Keldara")
    expect_names(box)
    expect_equal("the message box's text", [n.name for n in walk(box)
                                            if n.getRoleName() == "label"], ["Exit Keldara?"])
    expect_equal("the message box's icon", find(box, "image").name, "Question")
    reader.act(find(box, "push button", answer), "Press")
    if answer == "No":
        reader.gone(box)


def read_main_window(bus, hub, dump=False):
    """A reader of the program `hub`, and its main window once that shows."""
    reader = Reader(bus, hub.pid, dump)
    return reader, reader.window("frame", "Keldara", timeout=25)


def quit_hub(reader, main, hub, log_path=None):
    """Exit Keldara, answered Yes. Given the log, the program must then end cleanly: a sanitizer
    build reports leaks and errors at exit, with a failing exit code."""
    answer_exit_question(reader, main, "Yes")
    code = hub.wait(20)
    if log_path is None:
        return
    with open(log_path) as log:
        output = log.read()
    if code != 0 or "Sanitizer" in output:
        raise Failure("the program ended with %s:\n%s" % (code, output))


def inner(exe, flags):
    group, tmp = harness.session()
    bus = start_accessibility_bus(group)

    app = harness.app_folder(tmp, exe)
    with open(os.path.join(app, "data", "plot7.fpl"), "w") as f:
        f.write("x")
    with open(os.path.join(app, "QELWebList.txt"), "wb") as f:
        f.write(b'"Fire Lab","https://example.org/lab"\r\n')
    with open(os.path.join(app, "QELFileList.txt"), "wb") as f:
        f.write(b'"fpl","%s","1/1/2026 10:00:00 AM"\r\n'
                % os.path.join(app, "elsewhere", "gone.fpl").encode())

    hub, log_path = harness.start_hub(app, group, tmp)
    started = time.monotonic()
    try:
        reader, main = read_main_window(bus, hub, "--dump" in flags)
        if reader.dump_trees:
            print("windows:", [(w.getRoleName(), w.name) for w in reader.app if w])
        wait_for("the lists to be filled", lambda: find(main, "list", "Web list").childCount)
        expect_names(main)
        check_descriptions(reader, main, app)
        check_lists(reader, main, app)
        check_edit_menu(reader, main)
        check_icon_view(reader, main)
        check_web_dialog(reader, main, app)
        check_about_box(reader, main)
        answer_exit_question(reader, main, "No")
        if hub.poll() is not None:
            raise Failure("No to the exit question ended the program")
        quit_hub(reader, main, hub, log_path)
        print("the program was read and driven in %.1f s" % (time.monotonic() - started))
        return 0
    except Exception as failure:  # a failed check, or the bus's own error (a crashed program)
        return harness.report_failure(failure, hub, log_path)


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "--inner":
        signal.signal(signal.SIGTERM, harness.on_time_limit)
    harness.main(__file__, __doc__, inner)
