#!/usr/bin/python3
"""A data file on a drive that stops answering, with the real program read through the
accessibility bus while the user opens the file.

Usage: hanging_drive.py KELDARA_EXECUTABLE STANDIN_TOOL [--hang SECONDS] [--limit MS]

The drive is a small file system of this script's own (FUSE, Debian's python3-fusepy) whose look
at the data file waits while the script holds it. The program runs on an X server, session bus
and accessibility bus of its own (see screen_reader.py). While the drive hangs, a cheap query to
the program (its window's extents) is made every 20 ms; the longest wait for an answer is how
long the window did not answer. Then: the program names the silent drive once and starts nothing
later; a drive that answers within a few seconds gets its file opened; quitting while a look at
the drive waits ends the program promptly and leaves the list file whole.

Exits 77 (skipped, with the reason printed) where FUSE cannot be mounted.
"""

import errno
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screen_reader as sr  # noqa: E402

SKIP = 77


class Drive:
    """A file system mirroring a folder, whose calls on the data file wait while `hold` is set."""

    def __init__(self, fusepy, root):
        self.fusepy = fusepy
        self.root = root
        self.held = threading.Event()  # set: the drive hangs
        self.released = threading.Event()
        self.released.set()
        self.calls_held = 0

    def hold(self):
        self.released.clear()
        self.held.set()

    def release(self):
        self.held.clear()
        self.released.set()

    def _wait(self, path):
        if self.held.is_set() and path.endswith(".fpl"):
            self.calls_held += 1
            self.released.wait(120)

    def operations(self):
        drive = self
        fusepy = self.fusepy

        class Operations(fusepy.Operations):
            def _real(self, path):
                return os.path.join(drive.root, path.lstrip("/"))

            def getattr(self, path, fh=None):
                drive._wait(path)
                try:
                    st = os.lstat(self._real(path))
                except OSError as e:
                    raise fusepy.FuseOSError(e.errno)
                return {key: getattr(st, key) for key in (
                    "st_mode", "st_size", "st_uid", "st_gid", "st_nlink", "st_atime",
                    "st_mtime", "st_ctime")}

            def readdir(self, path, fh):
                return [".", ".."] + os.listdir(self._real(path))

            def open(self, path, flags):
                drive._wait(path)
                return os.open(self._real(path), flags)

            def read(self, path, size, offset, fh):
                os.lseek(fh, offset, 0)
                return os.read(fh, size)

            def release(self, path, fh):
                os.close(fh)

            def access(self, path, mode):
                drive._wait(path)
                if not os.access(self._real(path), mode):
                    raise fusepy.FuseOSError(errno.EACCES)

        return Operations()


def mount(mountpoint, root):
    """The drive, mounted; or the reason it cannot be."""
    if not os.path.exists("/dev/fuse"):
        return None, "there is no /dev/fuse here"
    try:
        import fusepy
    except ImportError:
        return None, "python3-fusepy is not installed"
    drive = Drive(fusepy, root)
    failure = []

    def serve():
        try:
            # No caching of what was looked at: every look reaches the drive.
            fusepy.FUSE(drive.operations(), mountpoint, foreground=True, nothreads=False,
                        attr_timeout=0, entry_timeout=0, negative_timeout=0)
        except Exception as e:  # mounting refused (no permission, no fusermount)
            failure.append(str(e))

    threading.Thread(target=serve, daemon=True).start()
    end = time.monotonic() + 10
    while time.monotonic() < end and not failure:
        if os.path.ismount(mountpoint):
            return drive, None
        time.sleep(0.05)
    return None, "FUSE could not be mounted: %s" % (failure or ["it did not appear"])[0]


def longest_pause(component, seconds):
    """Asks the program for its window's extents every 20 ms for `seconds`: the longest answer."""
    longest = 0.0
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        asked = time.monotonic()
        try:
            component.getExtents(sr.pyatspi.DESKTOP_COORDS)
        except Exception:
            pass  # no answer in the bus's own time: the wait counts all the same
        longest = max(longest, time.monotonic() - asked)
        time.sleep(max(0.0, 0.02 - (time.monotonic() - asked)))
    return longest * 1000


def open_the_file(reader, main):
    """A double-click on the "Open" tab's only entry, as the user gives it."""
    reader.act(sr.find(main, "page tab", "Open"), "Press")
    view = sr.wait_for("the Open list", lambda: next(
        (n for n in sr.walk(main) if n.getRoleName() in ("tree", "tree table")
         and n.name == "Open list" and sr.is_showing(n)), None))
    sr.wait_for("its entry", lambda: view.queryTable().nRows == 1)
    cell = view.queryTable().getAccessibleAt(0, 0)
    box = cell.queryComponent().getExtents(sr.pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "--repeat", "2", "--delay", "80", "1"],
                   check=True)


def main_thread_ended(process):
    """True once the program's main thread has ended (the process is gone, or only threads held
    by a drive are left of it)."""
    if process.poll() is not None:
        return True
    try:
        with open("/proc/%d/stat" % process.pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except OSError:
        return True


def started(record):
    return os.path.exists(record) and open(record).read().strip() != ""


def inner(exe, standin, share, hang, limit):
    group = int(os.environ.pop("KELDARA_A11Y_GROUP"))
    tmp = os.environ.pop("KELDARA_A11Y_TMP")
    real = os.path.join(tmp, "share-real")
    os.makedirs(real)
    with open(os.path.join(real, "plot.fpl"), "w") as f:
        f.write("plot")
    drive, reason = mount(share, real)
    if not drive:
        print("SKIPPED: " + reason)
        return SKIP
    bus = sr.start_accessibility_bus(group)
    app = os.path.join(tmp, "app")
    os.makedirs(os.path.join(app, "data"))
    shutil.copy2(exe, os.path.join(app, "keldara"))
    shutil.copy2(standin, os.path.join(app, "prv.exe"))
    listing = b'"fpl","%s","1/1/2026 10:00:00 AM"\r\n' % os.path.join(share, "plot.fpl").encode()
    list_file = os.path.join(app, "QELFileList.txt")
    with open(list_file, "wb") as f:
        f.write(listing)
    record = os.path.join(tmp, "starts.txt")
    hub, log_path = sr.start_hub(app, group, tmp, KELDARA_STANDIN_RECORD=record)
    try:
        reader = sr.Reader(bus, hub.pid, False)
        main = reader.window("frame", "Keldara", timeout=25)
        sr.wait_for("the start-up to end", lambda: sr.find(main, "list", "New list").childCount)
        time.sleep(1.5)  # the first refresh tick, so that only the user's open waits

        # 1. The drive stays silent for `hang` seconds: the window answers all along, the drive
        #    is named once, and nothing starts when it answers at last.
        window = main.queryComponent()  # asked before: a frozen program would not tell it
        drive.hold()
        open_the_file(reader, main)
        worst = longest_pause(window, hang)
        print("drive silent %.0f s: the window answered within %.0f ms at worst" % (hang, worst))
        if drive.calls_held == 0:
            raise sr.Failure("the program never looked at the file")
        if started(record):
            raise sr.Failure("the tool started while its file's drive did not answer")
        box = reader.window("alert", "Keldara", timeout=2)
        text = [n.name for n in sr.walk(box) if n.getRoleName() == "label" and n.name]
        sr.expect_equal("the message", text,
                        ["The drive of %s is not answering." % os.path.join(share, "plot.fpl")])
        reader.act(sr.find(box, "push button", "OK"), "Press")
        reader.gone(box)
        drive.release()
        time.sleep(1.0)
        if started(record):
            raise sr.Failure("the tool started after the drive was named as not answering")
        if worst > limit:
            raise sr.Failure("the window did not answer for %.0f ms (limit %d ms)"
                             % (worst, limit))

        # 2. A drive that answers within a few seconds: the tool starts once it does.
        drive.hold()
        open_the_file(reader, main)
        worst = longest_pause(window, 2.0)
        if started(record):
            raise sr.Failure("the tool started while its file's drive did not answer")
        drive.release()
        sr.wait_for("the tool to start", lambda: started(record), timeout=10)
        print("drive silent 2 s: the window answered within %.0f ms at worst; the tool started"
              % worst)

        # 3. Quitting while a look at the drive waits: the program ends at once, the list whole.
        #    (A thread of it that this drive has already taken a request from stays until the
        #    drive answers: the kernel waits for a FUSE drive's answer. Its windows, its main
        #    thread and everything else of it are gone.)
        drive.hold()
        open_the_file(reader, main)
        time.sleep(0.3)
        reader.act(sr.find(main, "push button", "Exit Keldara"), "Press")
        box = reader.window("alert", "Keldara")
        reader.act(sr.find(box, "push button", "Yes"), "Press")
        asked = time.monotonic()
        sr.wait_for("the program's main thread to end", lambda: main_thread_ended(hub), 5)
        took = time.monotonic() - asked
        print("quit while the drive hung: the program ended %.2f s after Yes" % took)
        if took > 1.0:
            raise sr.Failure("the program took %.2f s to end" % took)
        drive.release()
        hub.wait(10)
        with open(list_file, "rb") as f:
            if len(f.read()) < len(listing):
                raise sr.Failure("the list file is shorter than it was")
        return 0
    except Exception as failure:
        drive.release()  # a program waiting on the drive cannot even be killed
        return sr.report_failure(failure, hub, log_path)
    finally:
        drive.release()
        subprocess.run(["fusermount", "-u", "-z", share], stderr=subprocess.DEVNULL)


def option(flags, name, default):
    return float(flags[flags.index(name) + 1]) if name in flags else default


def main():
    # The drive is mounted outside the run's own folder, so that it can be let go of even when
    # the run was ended before it unmounted it.
    share = tempfile.mkdtemp(prefix="keldara-drive-")
    try:
        return sr.outer(os.path.abspath(sys.argv[1]),
                        [os.path.abspath(sys.argv[2]), share] + sys.argv[3:],
                        script=os.path.abspath(__file__))
    finally:
        subprocess.run(["fusermount", "-u", "-z", share], stderr=subprocess.DEVNULL)
        os.rmdir(share)


if __name__ == "__main__":
    if len(sys.argv) >= 5 and sys.argv[1] == "--inner":
        flags = sys.argv[5:]
        sys.exit(inner(sys.argv[2], sys.argv[3], sys.argv[4], option(flags, "--hang", 8.0),
                       option(flags, "--limit", 250)))
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.exit(main())
