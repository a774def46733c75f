#!/usr/bin/python3
"""How long the real program's window goes without answering, with a large shortcut folder.

Usage: window_pauses.py KELDARA_EXECUTABLE MAKE_SHORTCUTS STANDIN_TOOL [--shortcuts N] [--runs R]

The program runs on an X server, session bus and accessibility bus of its own (see
tests/end_to_end/harness.py), on an application folder whose shortcut folder holds N
shortcuts (default 5000, made by make_shortcuts, pointing to the stand-in tool). A cheap query to
the program (a window's extents) is made every 20 ms; the longest wait for an answer is how long
the window did not answer. Measured: from the first window on until the "Tools" list is full
(start-up), and from Yes to a Delete on the "Tools" tab until the list shows one shortcut less
(with how long that reload took). Prints one line per run.
"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                                "end_to_end"))
import harness  # noqa: E402
import measuring as ms  # noqa: E402
import screen_reader as sr  # noqa: E402


class Prober:
    """Asks `node` for its extents every 20 ms while polled, keeping the longest answer (where
    measuring.Prober keeps the longest time between two answers)."""

    def __init__(self):
        self.longest = 0.0

    def timed(self, question):
        """Asks, and keeps how long the answer took."""
        asked = time.monotonic()
        try:
            return question()
        finally:
            self.longest = max(self.longest, time.monotonic() - asked)

    def ask(self, node):
        asked = time.monotonic()
        try:
            self.timed(lambda: node.queryComponent().getExtents(sr.pyatspi.DESKTOP_COORDS))
        except Exception:
            pass  # a window that closed meanwhile
        time.sleep(max(0.0, 0.02 - (time.monotonic() - asked)))

    def until(self, node, done, timeout=60.0):
        end = time.monotonic() + timeout
        while not self.timed(done):
            if time.monotonic() > end:
                raise sr.Failure("timed out")
            self.ask(node)


def tools_list(node):
    """The "Tools" list, found without reading the cells of any list on the way."""
    for child in node:
        if child is None:
            continue
        if child.getRoleName() in ("tree", "tree table", "list", "table"):
            if child.name == "Tools list" and child.getRoleName() != "list":
                return child
            continue
        found = tools_list(child)
        if found:
            return found
    return None


def one_run(bus, app, exe_env, group, count):
    hub, program, first = ms.start(app, exe_env, group, 30)
    try:
        reader = sr.Reader(bus, hub.pid, False)
        start = Prober()
        # The splash first, the main window once it shows, until the Tools list is full.
        main = None
        end = time.monotonic() + 90
        while time.monotonic() < end:
            if not main:
                main = next((w for w in program if w is not None and w.name == "Keldara"
                             and w.getRoleName() == "frame" and sr.is_showing(w)), None)
                if main:  # a list is read only while it shows
                    reader.act(sr.find(main, "page tab", "Tools"), "Press")
                    view = tools_list(main)
            elif start.timed(lambda: view.queryTable().nRows) >= count:
                break
            start.ask(main or first)
        else:
            raise sr.Failure("the Tools list did not fill")

        view = next(n for n in sr.walk(main) if n.getRoleName() in ("tree", "tree table")
                    and n.name == "Tools list")
        before = view.queryTable().nRows
        reader.act(view.queryTable().getAccessibleAt(0, 0), "Toggle")
        time.sleep(0.3)
        reader.act(sr.find(main, "push button", "Delete shortcut"), "Press")
        box = reader.window("alert", "Keldara")
        reader.act(sr.find(box, "push button", "Yes"), "Press")
        said = time.monotonic()
        delete = Prober()
        delete.until(main, lambda: view.queryTable().nRows == before - 1)
        reload = time.monotonic() - said
        delete.until(main, lambda: time.monotonic() - said > reload + 1.0)

        sr.quit_hub(reader, main, hub)
        return start.longest * 1000, delete.longest * 1000, reload * 1000
    finally:
        ms.stop(hub)


def inner(exe, flags):
    group, tmp, bus, env = ms.session()
    make_shortcuts, standin = flags[0], flags[1]
    count = int(flags[flags.index("--shortcuts") + 1]) if "--shortcuts" in flags else 5000
    runs = int(flags[flags.index("--runs") + 1]) if "--runs" in flags else 3
    app = harness.app_folder(tmp, exe, {"tool": standin})
    for run in range(runs):
        shutil.rmtree(os.path.join(app, "ShortCuts"), ignore_errors=True)
        subprocess.run([make_shortcuts, os.path.join(app, "ShortCuts"), str(count),
                        os.path.join(app, "tool")], check=True)
        start, delete, reload = one_run(bus, app, env, group, count)
        print("run %d, %d shortcuts: start-up worst %.0f ms; Delete worst %.0f ms, "
              "list reloaded %.0f ms after Yes" % (run + 1, count, start, delete, reload),
              flush=True)
    return 0


if __name__ == "__main__":
    ms.main(__file__, __doc__, inner, programs=2, time_limit=600)
