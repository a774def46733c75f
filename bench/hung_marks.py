#!/usr/bin/python3
"""How soon the real program marks the entries of a list reloaded again and again while one
entry's drive hangs, measured from outside.

Usage: hung_marks.py KELDARA_EXECUTABLE [--entries 1000] [--reloads 10]

The recent-file list holds ENTRIES data files on the local disk and one on a drive that hangs (a
FUSE drive of this script's own, as in tests/end_to_end/hanging_drive.py; the run is skipped,
exit code 77, where FUSE cannot be mounted). Once the program has marked them all, the drive
hangs until the end, and the list is reloaded RELOADS times: each time every local file is taken
away or put back (so that every local entry's mark must change) and the list file gets one
record more, which the program's refresh tick reads. Measured per reload: from the moment the
list shows the new record until every local entry reads (to the screen reader) as missing or as
present again; a sample of the entries (both ends and each batch's edges) is polled for the time,
then every entry is read to check. The entry on the hanging drive must never read as missing.
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                                "end_to_end"))
import hanging_drive as hd  # noqa: E402
import harness  # noqa: E402
import screen_reader as sr  # noqa: E402


def record(path):
    return b'"fpl","%s","1/1/2026 10:00:00 AM"\r\n' % path.encode()


def write_list(list_file, paths):
    with open(list_file + ".new", "wb") as f:
        f.write(b"".join(record(p) for p in paths))
    os.replace(list_file + ".new", list_file)


def inner(exe, flags):
    share, flags = flags[0], flags[1:]
    group, tmp = harness.session()
    count = int(flags[flags.index("--entries") + 1]) if "--entries" in flags else 1000
    reloads = int(flags[flags.index("--reloads") + 1]) if "--reloads" in flags else 10
    real = os.path.join(tmp, "share-real")
    os.makedirs(real)
    with open(os.path.join(real, "plot.fpl"), "w") as f:
        f.write("plot")
    drive, reason = hd.mount(share, real)
    if not drive:
        print("SKIPPED: " + reason)
        return hd.SKIP
    bus = sr.start_accessibility_bus(group)
    sr.pyatspi.setTimeout(60000, 60000)
    local = os.path.join(tmp, "local")
    os.makedirs(local)
    files = [os.path.join(local, "f%05d.fpl" % i) for i in range(count)]
    for path in files:
        open(path, "w").close()
    hung = os.path.join(share, "plot.fpl")
    app = harness.app_folder(tmp, exe)
    list_file = os.path.join(app, "QELFileList.txt")
    listed = files + [hung]
    write_list(list_file, listed)
    hub, log_path = harness.start_hub(app, group, tmp)
    try:
        reader, main = sr.read_main_window(bus, hub)
        reader.act(sr.find(main, "page tab", "Open"), "Press")
        rows = sr.ReportList(main, "Open")
        table = rows.view.queryTable()
        # Sorted by name, the local entries are the first rows, in the list file's order.
        sample = sorted({0, count - 1} | {min(count - 1, b + d) for b in range(0, count, 256)
                                          for d in (-1, 0, 1) if b + d >= 0})

        def marks(which):
            try:
                return [table.getAccessibleAt(r, 0).description for r in which]
            except sr.GLib.Error:  # the rows went while read
                return []

        def expected(which, present):
            return [files[r] + ("" if present else ", missing") for r in which]

        sr.wait_for("the first marks", lambda: table.nRows == count + 1
                    and marks(range(count)) == expected(range(count), True), timeout=60)
        drive.hold()
        present = True
        times = []
        for reload in range(1, reloads + 1):
            present = not present
            for path in files:
                if present:
                    open(path, "w").close()
                else:
                    os.remove(path)
            listed.append(os.path.join(local, "reload %02d.fpl" % reload))
            write_list(list_file, listed)
            sr.wait_for("reload %d to be shown" % reload, lambda: table.nRows == len(listed),
                        timeout=10, every=0.005)
            shown = time.monotonic()
            try:
                sr.wait_for("the marks of reload %d" % reload, lambda: marks(sample) ==
                            expected(sample, present), timeout=30, every=0.005)
            except sr.Failure as failure:
                raise sr.Failure("%s: %d of the sample marked" % (failure, sum(
                    a == b for a, b in zip(marks(sample), expected(sample, present))))) from None
            took = time.monotonic() - shown
            # The sample stands for all: every entry is read to be sure (not timed).
            sr.wait_for("every local entry of reload %d marked" % reload, lambda: marks(
                range(count)) == expected(range(count), present), timeout=10)
            said = rows.description("plot.fpl")
            print("reload %2d: %d local entries marked %s %.0f ms after the list was shown; the "
                  "entry on the hanging drive reads %r" % (
                      reload, count, "present" if present else "missing", took * 1000, said))
            if said != hung:
                raise sr.Failure("reload %d: the entry on the hanging drive reads %r"
                                 % (reload, said))
            times.append(took)
        asked = drive.calls_held
        drive.release()
        print("%d reloads with one entry's drive hanging: every local entry marked within %.0f ms "
              "of its reload shown (median %.0f ms); calls to the hanging drive: %d"
              % (reloads, max(times) * 1000, sorted(times)[len(times) // 2] * 1000, asked))
        sr.quit_hub(reader, main, hub)
        return 0
    except Exception as failure:
        drive.release()
        return harness.report_failure(failure, hub, log_path)
    finally:
        drive.release()
        hd.unmount(share)


if __name__ == "__main__":
    harness.main(__file__, __doc__, inner, 0, hd.outer_on_a_drive(__file__), 600)
