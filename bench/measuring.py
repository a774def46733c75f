"""Measures the real program from outside, as the benchmarks that start it do: on an X server,
session bus and accessibility bus of its own (see tests/end_to_end/harness.py), each run on
a fresh application folder and fresh settings. How long the window did not answer is read as a
screen reader polls, and the peak memory from /proc.
"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                                "end_to_end"))
import harness  # noqa: E402
import screen_reader as sr  # noqa: E402

PHASE_LIMIT = 600.0  # seconds any one phase may take before the run fails
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def main(script, doc, inner, programs=0, time_limit=None):
    """harness.main() for a benchmark: a failure of its inner stage is printed as such, and the
    run ends with exit code 1."""
    def measured(exe, flags):
        try:
            return inner(exe, flags)
        except Exception as failure:
            print("FAILED: %s" % failure, file=sys.stderr)
            return 1
    harness.main(script, doc, measured, programs, time_limit=time_limit)


def session():
    """The inner stage's start: the process group, the run's temporary folder, the reader's
    connection to the accessibility bus, and the environment the program runs in."""
    group, tmp = harness.session()
    bus = sr.start_accessibility_bus(group)
    # The reader's own limit on an answer (800 ms unless told) would cut the long waits short.
    sr.pyatspi.setTimeout(int(PHASE_LIMIT * 1000), int(PHASE_LIMIT * 1000))
    return group, tmp, bus, harness.hub_env()


def fresh_app(tmp, exe, files=None):
    """A fresh application folder holding the program alone and `files` (name -> bytes), and
    fresh settings: no run inherits another's."""
    app = os.path.join(tmp, "app")
    shutil.rmtree(app, ignore_errors=True)
    shutil.rmtree(os.environ["XDG_CONFIG_HOME"], ignore_errors=True)
    os.makedirs(os.environ["XDG_CONFIG_HOME"], mode=0o700)
    harness.app_folder(tmp, exe)
    for name, data in (files or {}).items():
        with open(os.path.join(app, name), "wb") as f:
            f.write(data)
    return app


def start(app, env, group, timeout):
    """Starts the program of `app`, its output going to app/log; returns it, itself on the
    accessibility bus, and its first window (the splash), each waited for up to `timeout` s."""
    with open(os.path.join(app, "log"), "w") as log:
        hub = harness.spawn([os.path.join(app, "keldara")], group, env=env, cwd=app, stdout=log,
                       stderr=subprocess.STDOUT)
    try:
        desktop = sr.pyatspi.Registry.getDesktop(0)
        program = sr.wait_for("the program on the bus", lambda: next(
            (a for a in desktop if a is not None and a.get_process_id() == hub.pid), None),
            timeout)
        first = sr.wait_for("its first window", lambda: next(
            (w for w in program if w is not None), None), timeout)
    except BaseException:
        stop(hub)
        raise
    return hub, program, first


def stop(hub):
    """Ends the program if it has not ended."""
    if hub.poll() is None:
        hub.kill()
    hub.wait()


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def peak_memory_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise sr.Failure("no VmHWM for process %d" % pid)


class Prober:
    """Asks the program questions over the accessibility bus and keeps the longest time between
    two answers (or since the phase began). Between its own questions it asks for `node`'s
    extents every 20 ms, as a screen reader polls. A question that failed or timed out is no
    answer."""

    def __init__(self, pid, node):
        self.pid = pid
        self.node = node
        self.answered = time.monotonic()
        self.longest = 0.0

    def timed(self, question):
        """The answer to `question`, a call over the bus."""
        result = question()
        now = time.monotonic()
        self.longest = max(self.longest, now - self.answered)
        self.answered = now
        return result

    def ask(self):
        asked = time.monotonic()
        try:
            self.timed(lambda: self.node.queryComponent().getExtents(sr.pyatspi.DESKTOP_COORDS))
        except Exception:
            pass  # no answer (a window that closed, or the bus gave up): the gap goes on
        time.sleep(max(0.0, 0.02 - (time.monotonic() - asked)))

    def until(self, what, done, timeout=PHASE_LIMIT):
        """Asks on until `done()` (which asks through timed() what it asks the program) gives
        something true, and returns that."""
        end = time.monotonic() + timeout
        while True:
            result = done()
            if result:
                return result
            if time.monotonic() > end:
                raise sr.Failure("timed out waiting for " + what)
            self.ask()

    def run(self, *argv):
        """Runs xdotool with `argv` (a key press, a click), asking on meanwhile."""
        tool = subprocess.Popen(["xdotool"] + [str(a) for a in argv])
        self.until("xdotool " + " ".join(map(str, argv)), lambda: tool.poll() is not None, 30)
        if tool.returncode:
            raise sr.Failure("xdotool %s failed" % " ".join(map(str, argv)))

    def until_quiet(self, what, quiet=1.0, share=0.05, timeout=PHASE_LIMIT):
        """Asks on until the program used under `share` of a processor for `quiet` seconds."""
        samples = [(time.monotonic(), cpu_seconds(self.pid))]
        end = samples[0][0] + timeout
        while True:
            self.ask()
            now = (time.monotonic(), cpu_seconds(self.pid))
            samples.append(now)
            while len(samples) > 2 and now[0] - samples[1][0] >= quiet:
                samples.pop(0)
            if now[0] - samples[0][0] >= quiet and now[1] - samples[0][1] < share * quiet:
                return
            if now[0] > end:
                raise sr.Failure("%s: the program never went quiet" % what)

    def children(self, node):
        for i in range(self.timed(lambda: node.childCount)):
            child = self.timed(lambda: node.getChildAtIndex(i))
            if child is not None:
                yield child

    def main_window(self, program):
        """The program's main window once it shows (its splash shows first); None before."""
        for w in self.children(program):
            try:
                if self.timed(lambda: w.name) == "Keldara" and self.timed(
                        w.getRoleName) == "frame" and self.timed(lambda: sr.is_showing(w)):
                    return w
            except sr.GLib.Error:
                pass  # the splash, gone meanwhile
        return None

    def find(self, node, roles, name):
        """The node of one of `roles` named `name`, found without reading the rows of any list
        on the way (a walk through 100,000 rows takes minutes)."""
        for child in self.children(node):
            role = self.timed(child.getRoleName)
            if role in roles and self.timed(lambda: child.name) == name:
                return child
            if role not in ("tree", "tree table", "list", "table"):
                found = self.find(child, roles, name)
                if found:
                    return found
        return None
