#!/usr/bin/python3
"""The real program with one very long line in a list file, measured from outside.

Usage: long_line.py KELDARA_EXECUTABLE [--megabytes 50] [--runs 1] [--only LISTFILE]

For each list file (QELFileList.txt, then QELWebList.txt) the program is copied alone into an
application folder of its own whose list file holds one ordinary record and then one line shaped
like a record, of that many megabytes, and started as bench/measuring.py starts it (an X server,
session bus and accessibility bus of its own). Every message box it shows is answered at once
(its OK button, through the accessibility bus) and its text kept. Measured per run: from the start
until the main window shows; the longest the window did not answer (see measuring.py) from the
first window until the program is quiet, while the list's own tab is brought up (Ctrl+2, Ctrl+4)
until quiet, and from F5 there until quiet; the peak
memory (VmHWM) at the end, less that of the same program on an empty application folder.
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                                "end_to_end"))
import measuring as ms  # noqa: E402
import screen_reader as sr  # noqa: E402


class Prober(ms.Prober):
    """The benchmarks' prober, which also answers every message box of the program as it shows."""

    def __init__(self, pid, node, program, said):
        super().__init__(pid, node)
        self.program = program
        self.said = said
        self.looked = 0.0

    def ask(self):
        super().ask()
        if time.monotonic() - self.looked < 0.1:
            return
        self.looked = time.monotonic()
        try:
            for w in self.program:
                if w is None or not sr.shown_as(w, "alert", lambda _: True):
                    continue
                nodes = list(sr.walk(w))
                self.said.append(" / ".join(n.name for n in nodes
                                            if n.getRoleName() == "label" and n.name))
                button = next(n for n in nodes if n.getRoleName() == "push button")
                self.timed(lambda: button.queryAction().doAction(0))
                end = time.monotonic() + 5
                while time.monotonic() < end and self.timed(lambda: sr.is_showing(w)):
                    time.sleep(0.02)  # one box is one message, however often it is looked at
        except (sr.GLib.Error, StopIteration):
            pass  # a box that closed while read


def one_run(app, env, group, tab_key):
    said = []
    began = time.monotonic()
    hub, program, first = ms.start(app, env, group, 120)
    try:
        start = Prober(hub.pid, first, program, said)
        main = start.until("the main window", lambda: start.main_window(program))
        result = {"window": time.monotonic() - began}
        start.node = main
        start.until_quiet("start-up")
        result["start"] = start.longest
        result["start_said"] = list(said)
        if tab_key:
            said.clear()
            f5 = Prober(hub.pid, main, program, said)
            f5.run("search", "--sync", "--onlyvisible", "--name", "^Keldara$", "windowfocus",
                   "--sync", "key", tab_key)
            f5.until_quiet("the tab")
            result["tab"] = f5.longest
            result["tab_said"] = list(said)
            said.clear()
            f5.longest = 0.0
            f5.answered = time.monotonic()
            f5.run("key", "F5")
            f5.until_quiet("F5")
            result["f5"] = f5.longest
            result["f5_said"] = list(said)
        result["peak"] = ms.peak_memory_kib(hub.pid)
        return result
    finally:
        ms.stop(hub)


def inner(exe, flags):
    group, tmp, _, env = ms.session()
    megabytes = int(flags[flags.index("--megabytes") + 1]) if "--megabytes" in flags else 50
    runs = int(flags[flags.index("--runs") + 1]) if "--runs" in flags else 1
    filler = b"n" * (megabytes << 20)
    only = flags[flags.index("--only") + 1] if "--only" in flags else None
    cases = [("empty", None, b"", None),
             ("QELFileList.txt", "QELFileList.txt",
              b'"fpl","/field/a.fpl","3/14/2026 3:09:26 PM"\r\n"fpl","/field/' + filler +
              b'.fpl","3/14/2026 3:09:26 PM"\r\n', "ctrl+2"),
             ("QELWebList.txt", "QELWebList.txt",
              b'"A","http://a"\r\n"Huge","http://' + filler + b'"\r\n', "ctrl+4")]
    base = None
    for label, name, data, tab_key in cases:
        if only and name and name != only:
            continue
        for run in range(runs):
            app = ms.fresh_app(tmp, exe, {name: data} if name else None)
            r = one_run(app, env, group, tab_key)
            if base is None:
                base = r["peak"]
            print("%s, run %d: window after %.1f s; longest unanswered: start-up %.0f ms%s; "
                  "peak memory %.0f MiB above the empty program's; said at start-up: %s%s" % (
                      label, run + 1, r["window"], r["start"] * 1000,
                      ", showing its tab %.0f ms, F5 %.0f ms" % (
                          r["tab"] * 1000, r["f5"] * 1000) if "f5" in r else "",
                      (r["peak"] - base) / 1024, r["start_said"] or "nothing",
                      "; on its tab: %s; on F5: %s" % (r["tab_said"] or "nothing",
                                                       r["f5_said"] or "nothing")
                      if "f5" in r else ""),
                  flush=True)
    return 0


if __name__ == "__main__":
    ms.main(__file__, __doc__, inner, time_limit=3600)
