#!/usr/bin/python3
"""The real program while a companion tool keeps adding to the recent-file list, driven as a
user drives it: open, rename and delete entries through the menus and the keyboard.

Usage: busy_list.py KELDARA_EXECUTABLE STANDIN_TOOL LIST_WRITER [--records N]

The companion tool (list_writer) appends a record every 10 ms, each by writing a new file and
renaming it over the list, with names that sort before the user's files, so the rows move under
the user's selection all the time. Checked: every command acts on the entry the user chose (two
files share a name in two folders), the selection stays on its entry through the reloads, and
at the end the list holds every record the tool wrote and the user's entries as the commands
left them. Prints what was done and the counts.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import screen_reader as sr  # noqa: E402


def record(path):
    return b'"fpl","%s","1/1/2026 10:00:00 AM"\r\n' % path.encode()


def inner(exe, flags):
    group, tmp = harness.session()
    standin, writer = flags[0], flags[1]
    records = int(flags[flags.index("--records") + 1]) if "--records" in flags else 1000
    bus = sr.start_accessibility_bus(group)
    app, other = harness.app_folder(tmp, exe, {"prv.exe": standin}), os.path.join(tmp, "other")
    data = os.path.join(app, "data")
    os.makedirs(other)
    for name in ("b.fpl", "c.fpl", "d.fpl"):
        with open(os.path.join(data, name), "w") as f:
            f.write(name)
    with open(os.path.join(other, "c.fpl"), "w") as f:
        f.write("the other c")
    list_file = os.path.join(app, "QELFileList.txt")
    with open(list_file, "wb") as f:
        f.write(record(os.path.join(other, "c.fpl")))
    starts = os.path.join(tmp, "starts.txt")
    hub, log_path = harness.start_hub(app, group, tmp, KELDARA_STANDIN_RECORD=starts)
    companion = None
    try:
        reader, main = sr.read_main_window(bus, hub)
        reader.act(sr.find(main, "page tab", "Open"), "Press")
        rows = sr.ReportList(main, "Open")
        folder = data + os.sep
        sr.wait_for("the data folder's files", lambda: rows.row_of("d.fpl", folder) >= 0)
        companion = harness.spawn([writer, list_file, str(records), "10", "a"], group,
                             stdout=subprocess.DEVNULL)
        done = []

        # The selection stays on its entry while the rows move under it.
        rows.choose(reader, "d.fpl", folder)
        time.sleep(2.5)
        sr.expect_equal("the selection after reloads", rows.selected(), ("d.fpl", folder))

        # Open: Enter starts the chosen file's tool (a click would hit whatever row moved there).
        rows.view.queryComponent().grabFocus()
        subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Keldara$",
                        "windowfocus", "--sync"], check=True)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        sr.wait_for("the tool", lambda: os.path.exists(starts) and "d.fpl" in open(starts).read())
        done.append("opened d.fpl")

        # Rename the data folder's c.fpl, not the other folder's, while the list changes under
        # the input box.
        rows.choose(reader, "c.fpl", folder)
        reader.act(sr.find(main, "menu item", "Rename File"), "Press")
        dialog = reader.window("dialog", "Keldara")
        time.sleep(1.5)  # reloads while the box is open
        find_text = next(n for n in sr.walk(dialog) if n.getRoleName() == "text")
        find_text.queryEditableText().setTextContents("ridge")
        reader.act(sr.find(dialog, "push button", "OK"), "Press")
        sr.wait_for("the renamed file", lambda: os.path.exists(os.path.join(data, "ridge.FPL")))
        sr.expect_equal("the other c.fpl", open(os.path.join(other, "c.fpl")).read(),
                        "the other c")
        done.append("renamed data/c.fpl to ridge.FPL")

        # Delete b.fpl, answering Yes after a reload or two.
        rows.choose(reader, "b.fpl", folder)
        reader.act(sr.find(main, "push button", "Delete File"), "Press")
        box = reader.window("alert", "Keldara")
        time.sleep(1.5)
        reader.act(sr.find(box, "push button", "Yes"), "Press")
        trashed = os.path.join(os.environ["XDG_DATA_HOME"], "Trash", "files", "b.fpl")
        sr.wait_for("b.fpl in the trash", lambda: os.path.exists(trashed))
        if not all(os.path.exists(os.path.join(data, n)) for n in ("d.fpl", "ridge.FPL")):
            raise sr.Failure("another data file went")
        done.append("deleted b.fpl (to the trash)")

        companion.wait(records * 0.1 + 30)

        def list_lines():
            with open(list_file, "rb") as f:
                return [line for line in f.read().split(b"\r\n") if line]

        def user_entries(lines):
            return {line.split(b'","')[1].decode() for line in lines if b"/other/a-" not in line}
        # The Delete takes the entry out of the list once the file is in the trash.
        deleted = os.path.join(data, "b.fpl")
        sr.wait_for("b.fpl to leave the list", lambda: deleted not in user_entries(list_lines()))
        lines = list_lines()
        written = sum(1 for line in lines if b"/other/a-" in line)
        print("commands: %s" % "; ".join(done))
        print("the companion tool wrote %d records; the list holds %d of them and %d lines in "
              "all" % (records, written, len(lines)))
        expect = {os.path.join(other, "c.fpl"), os.path.join(data, "ridge.FPL"),
                  os.path.join(data, "d.fpl")}
        sr.expect_equal("the user's entries", user_entries(lines), expect)
        sr.expect_equal("the tool's records", written, records)
        sr.quit_hub(reader, main, hub)
        return 0
    except Exception as failure:
        return harness.report_failure(failure, hub, log_path)
    finally:
        if companion and companion.poll() is None:
            companion.kill()


if __name__ == "__main__":
    harness.main(__file__, __doc__, inner, programs=2)
