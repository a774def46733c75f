#!/usr/bin/python3
"""How the real program copes with a large recent-file list, measured from outside.

Usage: big_list.py KELDARA_EXECUTABLE [--records 1000,10000,100000,300000] [--runs 3]
                   [--out FILE]

For each size (and for an empty list, the baseline of memory) the program is copied alone into an
application folder of its own whose QELFileList.txt holds that many records (in 37 folders; none
of the files is there, so every entry ends greyed), and started on an X server, session bus and
accessibility bus of its own (see tests/end_to_end/harness.py), with settings of its own.
A cheap query (the window's extents) is made every 20 ms, as a screen reader polls; the longest
time between two answers is the longest the window did not answer (at least the 20 ms between
two questions). A phase ends when the program has
gone quiet (under 5 % of a processor for a whole second). Measured per run:

- list full: from the main window showing until the "Open" list holds every record;
- the longest unanswered wait at start-up (from the first window until quiet), on F5, while
  "crew 12" is typed into the filter box (a key every 150 ms) and Escape empties it, and after a
  click on the "Directory" column's header sorts by it;
- peak memory: VmHWM of /proc/PID/status once start-up is quiet, less the empty program's.

Prints each run, then a table of the medians (Markdown), also written to FILE when given.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                                "end_to_end"))
import measuring as ms  # noqa: E402
import screen_reader as sr  # noqa: E402

def list_file(records):
    """The bytes of a QELFileList.txt of `records` records, as the benchmarks make it."""
    codes = ("fpl", "pli", "phs", "crn")
    lines = []
    for i in range(records):
        code = codes[i % 4]
        path = "/field/crew %d/plot%d.%s" % (i % 37, (i * 7919) % records, code)
        lines.append('"%s","%s","3/14/2026 3:09:26 PM"\r\n' % (code, path))
    return "".join(lines).encode()


def one_run(app, env, group, records):
    hub, program, first = ms.start(app, env, group, 60)
    try:
        # Start-up: the splash first, then the main window; Ctrl+2 shows the "Open" tab (a list
        # is read while it shows), until the list is full, and on until the program goes quiet
        # (the grey marks of the missing files).
        start = ms.Prober(hub.pid, first)
        main = start.until("the main window", lambda: start.main_window(program))
        shown = time.monotonic()
        start.node = main
        start.run("search", "--sync", "--onlyvisible", "--name", "^Keldara$", "windowfocus",
                  "--sync", "key", "ctrl+2")
        view = None

        def rows():
            nonlocal view
            if view is None:
                view = start.find(main, ("tree", "tree table"), "Open list")
            return -1 if view is None else start.timed(lambda: view.queryTable().nRows)

        start.until("the Open list to fill", lambda: rows() >= records)
        filled = time.monotonic() - shown
        start.until_quiet("start-up")
        peak = ms.peak_memory_kib(hub.pid)
        result = {"full": filled, "start": start.longest, "peak": peak}
        if records == 0:
            return result

        # F5 reloads the list.
        f5 = ms.Prober(hub.pid, main)
        f5.run("key", "F5")
        f5.until_quiet("F5")
        result["f5"] = f5.longest

        # Typing into the filter box, then Escape to empty it; the list shows every row again.
        typing = ms.Prober(hub.pid, main)
        typing.run("key", "ctrl+f")
        typing.run("type", "--delay", "150", "crew 12")
        typing.until("the filter to narrow the list",
                     lambda: typing.timed(lambda: view.queryTable().nRows) <= records // 30 + 1)
        typing.run("key", "Escape")
        typing.until("every row shown again",
                     lambda: typing.timed(lambda: view.queryTable().nRows) >= records)
        typing.until_quiet("the filter")
        result["filter"] = typing.longest

        # A click on the "Directory" header sorts by that column.
        table = view.queryTable()
        column = next(c for c in range(table.nColumns)
                      if table.getColumnHeader(c).name == "Directory")

        def by_directory(p):
            """Whether the first rows all lie in the first (or last) folder."""
            t = p.timed(view.queryTable)
            return {p.timed(lambda: t.getAccessibleAt(r, column).name) for r in range(5)} in (
                {"/field/crew 0/"}, {"/field/crew 9/"})

        if by_directory(ms.Prober(hub.pid, main)):
            raise sr.Failure("the list is sorted by folder before the click")
        box = table.getColumnHeader(column).queryComponent().getExtents(sr.pyatspi.DESKTOP_COORDS)
        sort = ms.Prober(hub.pid, main)
        sort.run("mousemove", box.x + box.width // 2, box.y + box.height // 2, "click", "1")
        sort.until("the list sorted by folder", lambda: by_directory(sort))
        sort.until_quiet("the sort")
        result["sort"] = sort.longest
        result["peak_end"] = ms.peak_memory_kib(hub.pid)
        return result
    finally:
        ms.stop(hub)


def median(values):
    return statistics.median(values)


def table(results, runs):
    base = median([r["peak"] for r in results[0]])
    lines = ["| records in QELFileList.txt | list full after the window shows | longest the "
             "window did not answer: start-up / F5 / filter typing / sort | peak memory above "
             "the empty program's (per record) |",
             "|---|---|---|---|"]
    for records, rs in sorted(results.items()):
        if records == 0:
            continue
        extra = (median([r["peak"] for r in rs]) - base) * 1024
        lines.append("| {:,} | {:.0f} ms | {:.0f} / {:.0f} / {:.0f} / {:.0f} ms | {:.0f} MiB "
                     "({:.0f} B) |".format(
                         records, median([r["full"] for r in rs]) * 1000,
                         *(median([r[k] for r in rs]) * 1000
                           for k in ("start", "f5", "filter", "sort")),
                         extra / 2**20, extra / records))
    lines.append("")
    lines.append("Medians of %d runs; the empty program's peak memory: %.0f MiB." %
                 (runs, base / 1024))
    return "\n".join(lines)


def inner(exe, flags):
    group, tmp, _, env = ms.session()
    sizes = [1000, 10000, 100000, 300000]
    if "--records" in flags:
        sizes = [int(n) for n in flags[flags.index("--records") + 1].split(",")]
    runs = int(flags[flags.index("--runs") + 1]) if "--runs" in flags else 3
    out = flags[flags.index("--out") + 1] if "--out" in flags else None
    results = {}
    for records in [0] + sizes:
        data = list_file(records)
        for run in range(runs):
            app = ms.fresh_app(tmp, exe, {"QELFileList.txt": data})
            r = one_run(app, env, group, records)
            results.setdefault(records, []).append(r)
            print("%d records, run %d: full %.0f ms; longest unanswered: start-up %.0f ms%s; "
                  "peak %.0f MiB" % (
                      records, run + 1, r["full"] * 1000, r["start"] * 1000,
                      "" if records == 0 else ", F5 %.0f ms, filter %.0f ms, sort %.0f ms" % (
                          r["f5"] * 1000, r["filter"] * 1000, r["sort"] * 1000),
                      r["peak"] / 1024), flush=True)
    text = table(results, runs)
    print(text)
    if out:
        with open(out, "w") as f:
            f.write(text + "\n")
    return 0


if __name__ == "__main__":
    if "--out" in sys.argv[2:]:  # written by the inner stage, in a folder of its own
        i = sys.argv.index("--out", 2) + 1
        sys.argv[i] = os.path.abspath(sys.argv[i])
    ms.main(__file__, __doc__, inner, time_limit=4 * 3600)
