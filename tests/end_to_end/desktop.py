#!/usr/bin/python3
"""The hub as the desktop reaches it: data files given on the command line, the desktop's
recently-used list, and "Show in Folder" through the file manager on the session bus.

Usage: desktop.py KELDARA_EXECUTABLE STANDIN_TOOL

On an X server and session bus of its own (as harness.py sets them up):
- `keldara FILE` with no hub running starts the hub, which starts the file's companion tool
  (a stand-in that records its command line) once its window shows;
- `keldara FILE` while the hub runs hands the file over and ends at once, without a message or a
  window of its own, and the running hub starts the tool;
- each file is then in the recently-used list of the test's data home, with the tool's name;
- "Show in Folder" on an entry of the "Open" list asks a fake file manager that owns
  org.freedesktop.FileManager1 to show the file's address; with no such service the folder is
  opened by the desktop's folder handler (the stand-in again).
Prints how long the second start took until the tool ran.
"""

import os
import shutil
import subprocess
import sys
import time
from urllib.parse import quote

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import screen_reader as sr  # noqa: E402

# A file manager that records every ShowItems call, one line each: the addresses, a tab, the
# startup id. It ends when its standard input closes.
FAKE_FILE_MANAGER = r"""
import sys, threading
from gi.repository import Gio, GLib
XML = '''<node><interface name="org.freedesktop.FileManager1">
<method name="ShowItems"><arg type="as" direction="in"/><arg type="s" direction="in"/></method>
</interface></node>'''
record = sys.argv[1]
def call(conn, sender, path, iface, method, params, invocation):
    uris, startup = params.unpack()
    with open(record, "a") as f:
        f.write(" ".join(uris) + "\t" + startup + "\n")
    invocation.return_value(None)
loop = GLib.MainLoop()
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
bus.register_object("/org/freedesktop/FileManager1", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0],
                    call, None, None)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.FileManager1", 0,
                               lambda *a: print("owned", flush=True), None)
threading.Thread(target=lambda: (sys.stdin.read(), loop.quit()), daemon=True).start()
loop.run()
"""


def recent_entries(path):
    """The recently-used list: address -> the names of the programs it was opened with."""
    import xml.etree.ElementTree as tree
    apps = "{http://www.freedesktop.org/standards/desktop-bookmarks}application"
    try:
        root = tree.parse(path).getroot()
    except (OSError, tree.ParseError):
        return {}
    return {b.get("href"): [a.get("name") for a in b.iter(apps)] for b in root.iter("bookmark")}


def choose_entry(reader, main, name):
    reader.act(sr.find(main, "page tab", "Open"), "Press")
    view = sr.wait_for("the Open list", lambda: next(
        (n for n in sr.walk(main) if n.getRoleName() in ("tree", "tree table")
         and n.name == "Open list" and sr.is_showing(n)), None))

    def row():
        table = view.queryTable()
        found = [r for r in range(table.nRows) if table.getAccessibleAt(r, 0).name == name]
        return found[0] + 1 if found else 0
    r = sr.wait_for(name + " in the Open list", row) - 1
    reader.act(view.queryTable().getAccessibleAt(r, 0), "Toggle")
    return view


def show_in_folder(view):
    """The entry's context menu from the keyboard, then its second item, "Show in Folder" (a
    popup menu is not among the windows a screen reader can walk to)."""
    view.queryComponent().grabFocus()
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Keldara$", "windowfocus",
                    "--sync"], check=True)
    subprocess.run(["xdotool", "key", "Menu"], check=True)
    time.sleep(0.5)
    subprocess.run(["xdotool", "key", "Down", "Down", "Return"], check=True)


def inner(exe, flags):
    group, tmp = harness.session()
    standin = flags[0]
    bus = sr.start_accessibility_bus(group)
    app = harness.app_folder(tmp, exe, {"prv.exe": standin, "cnl.exe": standin})
    data = os.path.join(app, "data")
    first, second = os.path.join(data, "plot 7.fpl"), os.path.join(data, "Ridge.CRN")
    for path in (first, second):
        with open(path, "w") as f:
            f.write("x")
    starts = os.path.join(tmp, "starts.txt")
    # The desktop's folder handler, for when no file manager answers on the bus: the stand-in
    # under a name of its own.
    handler = os.path.join(tmp, "folder-handler")
    shutil.copy2(standin, handler)
    data_home, config_home = os.environ["XDG_DATA_HOME"], os.environ["XDG_CONFIG_HOME"]
    os.makedirs(os.path.join(data_home, "applications"))
    with open(os.path.join(data_home, "applications", "folders.desktop"), "w") as f:
        f.write("[Desktop Entry]\nType=Application\nName=Folders\nExec=%s %%U\n"
                "MimeType=inode/directory;\n" % handler)
    with open(os.path.join(config_home, "mimeapps.list"), "w") as f:
        f.write("[Default Applications]\ninode/directory=folders.desktop\n")
    env = dict(KELDARA_STANDIN_RECORD=starts)

    # No hub runs: the start with a file is the hub, and opens the file once its window shows.
    hub, log_path = harness.start_hub(app, group, tmp, [first], **env)
    manager = None
    try:
        q = lambda path: path.replace(" ", "?")  # noqa: E731
        sr.wait_for("the tool on the first file",
                    lambda: "prv.exe\t" + q(first) in harness.lines_of(starts), timeout=20)
        reader, main = sr.read_main_window(bus, hub)

        # The hub runs: a second start hands the file over and ends without a window.
        began = time.monotonic()
        # With a startup id, as a desktop launching it on X11 gives one: the hub takes its time
        # stamp to come forward and ends its launch feedback.
        later = subprocess.run([os.path.join(app, "keldara"), second], cwd=tmp, timeout=20,
                               env=harness.hub_env(DESKTOP_STARTUP_ID="desktop-1-keldara_TIME4242",
                                                   **env), capture_output=True)
        ended = time.monotonic()
        if later.returncode != 0:
            raise sr.Failure("the second start ended with %d: %s" % (later.returncode,
                                                                     later.stderr.decode()))
        sr.wait_for("the tool on the second file",
                    lambda: "cnl.exe\t" + q(second) in harness.lines_of(starts))
        ran = time.monotonic()
        if any(w is not None and w.name != "Keldara" and sr.is_showing(w) for w in reader.app):
            raise sr.Failure("the hand-over showed a window")
        print("second start with a file: ended after %.0f ms, the tool ran after %.0f ms"
              % ((ended - began) * 1000, (ran - began) * 1000))

        recent = os.path.join(data_home, "recently-used.xbel")
        uri = lambda path: "file://" + quote(path)  # noqa: E731
        sr.wait_for("both files in the recently-used list", lambda: (
            recent_entries(recent).get(uri(first)) == ["Plot Pictures"]
            and recent_entries(recent).get(uri(second)) == ["Canopy Load"]))

        # "Show in Folder" with a file manager on the bus.
        record = os.path.join(tmp, "show-items.txt")
        manager = subprocess.Popen([sys.executable, "-c", FAKE_FILE_MANAGER, record],
                                   process_group=group, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE)
        if manager.stdout.readline().strip() != b"owned":
            raise sr.Failure("the fake file manager did not get its name")
        view = choose_entry(reader, main, "plot 7.fpl")
        show_in_folder(view)
        sr.wait_for("ShowItems", lambda: harness.lines_of(record))
        sr.expect_equal("the file manager's calls", harness.lines_of(record), [uri(first) + "\t"])

        # Without one, the folder opens at once.
        manager.stdin.close()
        manager.wait(10)
        show_in_folder(view)
        # GIO hands the handler the folder's path in its plain form, without the last separator.
        sr.wait_for("the folder handler",
                    lambda: "folder-handler\t" + data in harness.lines_of(starts), timeout=4)
        sr.expect_equal("the file manager's calls", len(harness.lines_of(record)), 1)

        sr.quit_hub(reader, main, hub)
        return 0
    except Exception as failure:
        return harness.report_failure(failure, hub, log_path)
    finally:
        if manager and manager.poll() is None:
            manager.kill()


if __name__ == "__main__":
    harness.main(__file__, __doc__, inner, programs=1)
