#!/usr/bin/python3
"""A data file on a USB stick that is pulled out and plugged in again, with the real program read
and driven through the accessibility bus.

Usage: removable_drive.py KELDARA_EXECUTABLE STANDIN_TOOL [--shots FOLDER]

The whole run is in a mount namespace of its own (unshare -m, private propagation): a tmpfs over
/media there leaves the machine's own /media as it was (checked before and after), and the stick,
a tmpfs of its own, comes and goes at /media/USER/FIELDSTICK, where the desktop mounts sticks.
The recent-file list names a data file on the stick. Checked: pulled out (its folder left empty,
or taken away as the desktop does), the entry reads as not connected within 2 s; opening,
renaming and deleting it say that its drive is not connected and keep the entry and the list
file byte for byte; plugged in again, the entry reads as present within 2 s and opens; a restart
while the stick is out keeps the list file byte for byte and shows the entry as not connected.
--shots FOLDER keeps pictures of the screen: the entry not connected, and the message on opening
it.

Needs root; exits 77 (skipped, with the reason printed) where a mount namespace of its own cannot
be made or mounted in.
"""

import os
import pwd
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import mount_namespace as ns  # noqa: E402
import screen_reader as sr  # noqa: E402

LIMIT = 2.0  # seconds from a mount or an unmount until the entry shows it


class Stick:
    """A stick's files (or a share's), kept on a tmpfs of their own while it is out, and mounted
    at `place` when it is plugged in (a mount of its own there, as the desktop makes)."""

    def __init__(self, store, place, name="FIELDSTICK"):
        self.store, self.place = store, place
        os.makedirs(store)
        ns.tmpfs(name, store)

    # Each returns when it began, for the time the program takes to show it.
    def plug_in(self):
        began = time.monotonic()
        os.makedirs(self.place, exist_ok=True)
        ns.run("mount", "--bind", self.store, self.place)
        return began

    def pull_out(self, remove_folder):
        began = time.monotonic()
        ns.run("umount", self.place)
        if remove_folder:
            os.rmdir(self.place)
        return began


def until_described(rows, name, text, begun=None):
    """Seconds from `begun` (now) until the entry `name` is described as `text`; fails past the
    limit."""
    begun = begun or time.monotonic()
    try:
        sr.wait_for("%s described as %r" % (name, text), lambda: rows.description(name) == text,
                    timeout=LIMIT + 3, every=0.02)
    except sr.Failure as failure:
        raise sr.Failure("%s; described as %r" % (failure, rows.description(name))) from None
    took = time.monotonic() - begun
    if took > LIMIT:
        raise sr.Failure("%s was described as %r only %.2f s later (limit %.0f s)"
                         % (name, text, took, LIMIT))
    return took


def expect_notice(reader, text):
    """The message `text`, with OK alone and no icon; closed with OK."""
    box = sr.alert_saying(reader, text)
    sr.expect_equal("its buttons", [n.name for n in sr.walk(box)
                                    if n.getRoleName() == "push button"], ["OK"])
    sr.expect_equal("its icon", [n.name for n in sr.walk(box)
                                 if n.getRoleName() == "image" and sr.is_showing(n)], [])
    reader.act(sr.find(box, "push button", "OK"), "Press")
    reader.gone(box)


def commands_keep_the_entry(reader, main, rows, path, list_file, listing, record, shots):
    """Open, Rename and Delete of an entry whose drive is not connected: each says so, and the
    entry and the list stay as they were."""
    said = path + " is on a drive that is not connected."
    name = os.path.basename(path)

    def open_it():
        rows.double_click(name)
        if shots:
            box = sr.alert_saying(reader, said)
            time.sleep(0.3)  # drawn
            sr.screenshot(os.path.join(shots, "not-connected-open.png"))
            return box

    def rename_it():
        rows.choose(reader, name)
        reader.act(sr.find(main, "push button", "Rename File"), "Press")
        dialog = reader.window("dialog", "Keldara")
        next(n for n in sr.walk(dialog) if n.getRoleName() == "text") \
            .queryEditableText().setTextContents("field")
        reader.act(sr.find(dialog, "push button", "OK"), "Press")

    def delete_it():
        rows.choose(reader, name)
        reader.act(sr.find(main, "push button", "Delete File"), "Press")
        box = sr.alert_saying(reader, "Are your sure you want to delete " + name.upper())
        reader.act(sr.find(box, "push button", "Yes"), "Press")

    for command, does, text in (
            ("Open", open_it, said),
            ("Rename", rename_it, said),
            ("Delete", delete_it, said + " Connect it to delete the file, or use Remove from "
                                         "List.")):
        does()
        try:
            expect_notice(reader, text)
        except sr.Failure as failure:
            raise sr.Failure("%s: %s" % (command, failure)) from None
        time.sleep(0.5)  # a change of the list would be under way by now
        sr.expect_equal("the list file after %s" % command, harness.read_bytes(list_file), listing)
        if rows.description(name) != path + ", not connected":
            raise sr.Failure("after %s the entry reads %r" % (command, rows.description(name)))
        if os.path.exists(record):
            raise sr.Failure("%s started the tool on a file whose drive is not connected"
                             % command)


def start(reader_bus, app, group, tmp, record):
    hub, log_path = harness.start_hub(app, group, tmp, KELDARA_STANDIN_RECORD=record)
    reader, main = sr.read_main_window(reader_bus, hub)
    reader.act(sr.find(main, "page tab", "Open"), "Press")
    return hub, log_path, reader, main, sr.ReportList(main, "Open")


def inner(exe, flags):
    group, tmp = ns.session()
    standin = flags[0]
    shots = flags[flags.index("--shots") + 1] if "--shots" in flags else None
    # Here only: the desktop's folder for sticks, on a tmpfs over the machine's /media.
    ns.tmpfs("keldara-media", "/media")
    user = pwd.getpwuid(os.getuid()).pw_name
    stick = Stick(os.path.join(tmp, "stick"), os.path.join("/media", user, "FIELDSTICK"))
    with open(os.path.join(stick.store, "plot.fpl"), "w") as f:
        f.write("plot")
    stick.plug_in()
    path = os.path.join(stick.place, "plot.fpl")
    gone = os.path.join(tmp, "elsewhere", "gone.fpl")  # missing, on a drive that is there

    bus = sr.start_accessibility_bus(group)
    app = harness.app_folder(tmp, exe, {"prv.exe": standin})
    listing = b"".join(b'"fpl","%s","1/1/2026 10:00:00 AM"\r\n' % p.encode() for p in (path, gone))
    list_file = os.path.join(app, "QELFileList.txt")
    with open(list_file, "wb") as f:
        f.write(listing)
    record = os.path.join(tmp, "starts.txt")
    hub, log_path, reader, main, rows = start(bus, app, group, tmp, record)
    try:
        until_described(rows, "gone.fpl", gone + ", missing")
        sr.wait_for("the stick's entry read as present", lambda: rows.description("plot.fpl")
                    == path)

        # Pulled out, its folder left empty: not connected, and kept by every command.
        took = until_described(rows, "plot.fpl", path + ", not connected",
                               stick.pull_out(remove_folder=False))
        print("stick pulled out: the entry read as not connected %.0f ms after the unmount"
              % (took * 1000))
        if shots:
            time.sleep(0.3)
            sr.screenshot(os.path.join(shots, "not-connected-list.png"))
        sr.expect_equal("the missing entry", rows.description("gone.fpl"), gone + ", missing")
        commands_keep_the_entry(reader, main, rows, path, list_file, listing, record, shots)
        print("Open, Rename and Delete said it is on a drive that is not connected, and kept "
              "it and the list file")

        # Plugged in again: present, and it opens.
        took = until_described(rows, "plot.fpl", path, stick.plug_in())
        print("stick plugged in: the entry read as present %.0f ms after the mount" % (took * 1000))
        rows.double_click("plot.fpl")
        sr.wait_for("the tool to start on the stick's file", lambda: os.path.exists(record)
                    and "plot.fpl" in open(record).read())

        # Pulled out as the desktop does it, its folder taken away; a restart meanwhile keeps
        # the entry byte for byte.
        took = until_described(rows, "plot.fpl", path + ", not connected",
                               stick.pull_out(remove_folder=True))
        print("stick pulled out, its folder gone: not connected after %.0f ms" % (took * 1000))
        kept = harness.read_bytes(list_file)
        sr.quit_hub(reader, main, hub, log_path)
        hub, log_path, reader, main, rows = start(bus, app, group, tmp, record)
        until_described(rows, "plot.fpl", path + ", not connected")
        sr.expect_equal("the list file after a restart", harness.read_bytes(list_file), kept)
        took = until_described(rows, "plot.fpl", path, stick.plug_in())
        print("after a restart, stick plugged in: present after %.0f ms; the list file kept "
              "byte for byte" % (took * 1000))
        sr.quit_hub(reader, main, hub, log_path)
        return 0
    except Exception as failure:
        return harness.report_failure(failure, hub, log_path)


if __name__ == "__main__":
    ns.main(__file__, __doc__, inner, 1, "/media", keeps_media=True)
