#!/usr/bin/python3
"""The "Tools" tab's commands and their Undo with the shortcut folder's disk full, on the real
program, read and driven through the accessibility bus.

Usage: full_disk.py KELDARA_EXECUTABLE [--measure]

The shortcut folder is a small tmpfs of its own, in a mount namespace of the run's own (unshare
-m), and is filled to its last byte before each step. Checked: Create, Rename and the Undo of a
Rename and of a Delete each say what failed ("...\\r28-No space left on device"), leave every
shortcut file byte for byte as it was, with nothing beside them, and an Undo that failed stays
on offer; a Delete says nothing and deletes (a deletion gives room). --measure only prints what
the user sees and what is on the disk at each step, checking nothing.

Needs root; exits 77 (skipped, with the reason printed) where a mount namespace of its own cannot
be made or mounted in.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import mount_namespace as ns  # noqa: E402
import screen_reader as sr  # noqa: E402

FULL = "28-No space left on device"
MEASURING = "--measure" in sys.argv


class Disk:
    """The shortcut folder on a tmpfs of 64 KiB, and a filler file that takes what is left."""

    def __init__(self, folder):
        self.folder = folder
        self.filler = os.path.join(folder, ".filler")  # hidden, and no shortcut: never listed
        os.makedirs(folder)
        ns.tmpfs("keldara-full", folder, "64k")

    def fill(self):
        with open(self.filler, "ab", buffering=0) as f:
            for chunk in (4096, 1):
                try:
                    while True:
                        f.write(b"f" * chunk)
                except OSError:
                    pass

    def free(self):
        if os.path.exists(self.filler):
            os.remove(self.filler)

    def shortcuts(self):
        """Every file of the folder but the filler, with its bytes."""
        found = {}
        for name in sorted(os.listdir(self.folder)):
            if name != ".filler":
                with open(os.path.join(self.folder, name), "rb") as f:
                    found[name] = f.read()
        return found


def check(holds, what):
    if not holds and not MEASURING:
        raise sr.Failure(what)


def told(reader, timeout=3.0):
    """The text of the message box the step shows (closed with OK or No), or None when none
    shows within `timeout` s."""
    try:
        box = sr.wait_for("a message", lambda: next(iter(sr.alerts(reader)), None), timeout,
                          every=0.05)
    except sr.Failure:
        return None
    text, window = box
    buttons = [n.name for n in sr.walk(window) if n.getRoleName() == "push button"]
    reader.act(sr.find(window, "push button", "OK" if "OK" in buttons else "No"), "Press")
    reader.gone(window)
    return text


def undo_item(main):
    return next(n for n in sr.walk(main) if n.getRoleName() == "menu item"
                and n.name.startswith("Undo"))


def undo_state(main):
    item = undo_item(main)
    return item.name, item.getState().contains(sr.pyatspi.STATE_ENABLED)


def report(step, said, disk, main):
    sizes = {name: len(data) for name, data in disk.shortcuts().items()}
    print("%s:\n  told: %r\n  folder: %s\n  Edit menu: %r (enabled: %s)"
          % (step, said, sizes, *undo_state(main)))


def rename(reader, main, tools, entry, answer):
    tools.choose(reader, entry)
    reader.act(sr.find(main, "push button", "Rename shortcut"), "Press")
    dialog = reader.window("dialog", "Keldara")
    next(n for n in sr.walk(dialog) if n.getRoleName() == "text") \
        .queryEditableText().setTextContents(answer)
    reader.act(sr.find(dialog, "push button", "OK"), "Press")


def create(reader, main, program):
    reader.act(sr.find(main, "push button", "Create shortcut"), "Press")
    dialog = reader.window("dialog", "Open File")
    texts = [n for n in sr.walk(dialog) if n.getRoleName() == "text"
             and n.getState().contains(sr.pyatspi.STATE_EDITABLE)]
    texts[-1].queryEditableText().setTextContents(program)
    reader.act(sr.find(dialog, "push button", "Open"), "Press")
    reader.gone(dialog)


def undo(reader, main):
    reader.act(undo_item(main), "Press")


def on_a_full_disk(reader, main, disk, app):
    """Each step on a full disk; returns nothing, raises on a failed check."""
    tools = sr.ReportList(main, "Tools")
    tool = os.path.join(app, "prv.exe")
    create(reader, main, tool)  # room enough: the shortcut to rename and delete
    sr.wait_for("the new shortcut", lambda: "Shortcut to prv" in (tools.names() or []))

    def step(name, does, expected, undo_kept=None):
        disk.fill()
        before = disk.shortcuts()
        does()
        said = told(reader)
        time.sleep(0.5)  # a reload is done by now
        report(name, said, disk, main)
        # The line break of a message reads as a line feed.
        check(said == expected.replace("\r", "\n"), "%s: told %r, not %r"
              % (name, said, expected))
        check(disk.shortcuts() == before, "%s: the folder changed" % name)
        if undo_kept is not None:
            check(undo_state(main) == (undo_kept, True), "%s: Undo reads %r" % (
                name, undo_state(main)))
        disk.free()

    program = os.path.join(app, "mdlib.exe")
    step("Create on a full disk", lambda: create(reader, main, program),
         "The shortcut could not be written: %s\r%s"
         % (os.path.join(app, "ShortCuts", "Shortcut to mdlib.exe.lnk"), FULL))
    step("Rename on a full disk",
         lambda: rename(reader, main, tools, "Shortcut to prv", "Calculator"),
         "The shortcut was not renamed\r" + FULL)

    rename(reader, main, tools, "Shortcut to prv", "Calculator")
    sr.wait_for("the renamed shortcut", lambda: "Calculator" in (tools.names() or []))
    step("Undo of a Rename on a full disk", lambda: undo(reader, main),
         "The undo did not go through. Nothing was changed.\r" + FULL,
         "Undo Rename of Calculator.lnk")

    entry, file = ("Calculator", "Calculator.lnk") if "Calculator" in tools.names() else \
        ("Shortcut to prv", "Shortcut to prv.exe.lnk")
    tools.choose(reader, entry)
    kept = disk.shortcuts()[file]
    disk.fill()
    reader.act(sr.find(main, "push button", "Delete shortcut"), "Press")
    box = sr.alert_saying(reader, "Are your sure you want to delete the shortcut: "
                          + file.upper())
    reader.act(sr.find(box, "push button", "Yes"), "Press")
    reader.gone(box)
    said = told(reader, 1.5)
    sr.wait_for("the deleted shortcut gone", lambda: entry not in (tools.names() or []))
    report("Delete on a full disk", said, disk, main)
    check(said is None, "Delete: told %r" % said)
    disk.free()
    step("Undo of a Delete on a full disk", lambda: undo(reader, main),
         "The undo did not go through. Nothing was changed.\r" + FULL,
         "Undo Delete of " + file)
    # With room again the kept Undo goes through, the shortcut byte for byte as it was.
    undo(reader, main)
    sr.wait_for("the shortcut back", lambda: entry in (tools.names() or []))
    print("with room again, the kept Undo brought %s back: %d bytes, %d before the Delete"
          % (file, len(disk.shortcuts()[file]), len(kept)))
    check(disk.shortcuts()[file] == kept, "the shortcut came back changed")


def inner(exe, flags):
    group, tmp = ns.session()
    bus = sr.start_accessibility_bus(group)
    app = harness.app_folder(tmp, exe, folders=())
    for name in ("prv.exe", "mdlib.exe"):
        with open(os.path.join(app, name), "w") as f:
            f.write("#!/bin/sh\n")
    disk = Disk(os.path.join(app, "ShortCuts"))
    hub, log_path = harness.start_hub(app, group, tmp)
    try:
        reader, main = sr.read_main_window(bus, hub)
        sr.wait_for("the default shortcuts", lambda: len(disk.shortcuts()) == 6)
        reader.act(sr.find(main, "page tab", "Tools"), "Press")
        on_a_full_disk(reader, main, disk, app)
        sr.quit_hub(reader, main, hub, log_path)
        return 0
    except Exception as failure:
        return harness.report_failure(failure, hub, log_path)


if __name__ == "__main__":
    ns.main(__file__, __doc__, inner, 0, "/mnt")
