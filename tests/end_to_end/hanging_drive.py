#!/usr/bin/python3
"""A data file on a drive that stops answering, with the real program read through the
accessibility bus while the user opens the file.

Usage: hanging_drive.py KELDARA_EXECUTABLE STANDIN_TOOL [--hang SECONDS] [--limit MS]

The drive is a small file system of this script's own (FUSE, Debian's python3-fusepy) whose look
at the data file waits while the script holds it. The program runs on an X server, session bus
and accessibility bus of its own (see harness.py). While the drive hangs, a cheap query to
the program (its window's extents) is made every 20 ms; the longest wait for an answer is how
long the window did not answer (the reader's own 800 ms limit on an answer is lifted for it).
Then: the program names the silent drive once and starts nothing later; a drive that answers
within a few seconds gets its file opened; while a Delete of a file on the drive waits for it, a
web link created on "Web", a Rename of a data file on the local disk and a Delete on "Tools" are
each done (on disk, in their list files and on screen) within a second, the only thing said is
that the data file's drive is not answering, and the Delete goes on when the drive answers;
quitting while a Delete waits on the drive lets a later start come up at once, lets the Delete
finish (file in the trash, entry off the list) and ends the program within a few seconds.

Exits 77 (skipped, with the reason printed) where FUSE cannot be mounted.
"""

import errno
import os
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
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
        self.holds = 0

    def hold(self, seconds=None):
        """The drive hangs: until release(), or for `seconds` (a drive that answers late)."""
        self.released.clear()
        self.held.set()
        self.holds += 1
        if seconds:
            hold = self.holds
            timer = threading.Timer(seconds, lambda: self.holds == hold and self.release())
            timer.daemon = True
            timer.start()

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

            # What a delete to the drive's own trash does (an OSError reaches the caller as its
            # errno).
            def create(self, path, mode, fi=None):
                drive._wait(path)
                return os.open(self._real(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)

            def write(self, path, data, offset, fh):
                os.lseek(fh, offset, 0)
                return os.write(fh, data)

            def truncate(self, path, length, fh=None):
                os.truncate(self._real(path), length)

            def flush(self, path, fh):
                os.fsync(fh)

            def fsync(self, path, datasync, fh):
                os.fsync(fh)

            def mkdir(self, path, mode):
                os.mkdir(self._real(path), mode)

            def rmdir(self, path):
                os.rmdir(self._real(path))

            def unlink(self, path):
                drive._wait(path)
                os.unlink(self._real(path))

            def rename(self, old, new):
                drive._wait(old)
                os.rename(self._real(old), self._real(new))

            def link(self, target, source):  # the move to the trash without a no-replace rename
                drive._wait(source)
                os.link(self._real(source), self._real(target))

            def chmod(self, path, mode):
                os.chmod(self._real(path), mode)

            def utimens(self, path, times=None):
                os.utime(self._real(path), times)

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


def unmount(mountpoint):
    """Lets go of the drive at once, even while a program waits on it."""
    subprocess.run(["fusermount", "-u", "-z", mountpoint], stderr=subprocess.DEVNULL)


def outer_on_a_drive(script):
    """An outer stage for harness.main() that hands `script`'s inner stage a mount point
    for the drive as its first flag. The mount point lies outside the run's own folder, so that
    the drive can be let go of even when the run was ended before it unmounted it."""
    def outer(exe, flags):
        share = tempfile.mkdtemp(prefix="keldara-drive-")
        try:
            return harness.outer(exe, [share] + flags, script=os.path.abspath(script))
        finally:
            unmount(share)
            os.rmdir(share)
    return outer


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


def open_the_file(reader, main, name="plot.fpl"):
    """A double-click on the "Open" tab's entry `name`, as the user gives it."""
    reader.act(sr.find(main, "page tab", "Open"), "Press")
    sr.ReportList(main, "Open").double_click(name)


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


def list_file_of(app, name="QELFileList.txt"):
    """The bytes of the application folder's list file `name`."""
    return harness.read_bytes(os.path.join(app, name))


def until_done(what, done):
    """Seconds from now until `done()` holds, read every 20 ms. The drive hangs all along: a
    command that waits behind it fails here, before any wait of its own would be named."""
    begun = time.monotonic()
    try:
        sr.wait_for(what, done, timeout=4, every=0.02)
    except sr.Failure:
        raise sr.Failure("%s: not done 4 s later, while a Delete waited on a drive that hangs"
                         % what) from None
    return time.monotonic() - begun


def press_tab(reader, main, tab):
    reader.act(sr.find(main, "page tab", tab), "Press")
    return sr.ReportList(main, tab)


def create_web_link(reader, main, app):
    """A web link made on "Web": the time from Create until it is in QELWebList.txt and shown."""
    links = press_tab(reader, main, "Web")
    reader.act(sr.find(main, "push button", "Create web shortcut"), "Press")
    dialog = reader.window("dialog", "Create a Web Short Cut")
    for field, text in (("Name", "Weather"), ("URL", "https://example.org/wx")):
        sr.find(dialog, "text", field).queryEditableText().setTextContents(text)
    reader.act(sr.find(dialog, "push button", "Create"), "Press")
    return until_done("a web link created on Web", lambda: b'"Weather",'
                      b'"https://example.org/wx"' in list_file_of(app, "QELWebList.txt")
                      and "Weather" in (links.names() or []))


def rename_local_file(reader, main, app):
    """A data file on the local disk renamed on "Open": the time from OK until the file has its
    new name on disk, in QELFileList.txt and on screen."""
    files = press_tab(reader, main, "Open")
    files.choose(reader, "notes.fpl")
    reader.act(sr.find(main, "push button", "Rename File"), "Press")
    dialog = reader.window("dialog", "Keldara")
    next(n for n in sr.walk(dialog) if n.getRoleName() == "text") \
        .queryEditableText().setTextContents("camp")
    reader.act(sr.find(dialog, "push button", "OK"), "Press")
    data = os.path.join(app, "data")
    return until_done("a Rename of a local data file on Open", lambda:
                      os.path.exists(os.path.join(data, "camp.FPL"))
                      and not os.path.exists(os.path.join(data, "notes.fpl"))
                      and b"/camp.FPL" in list_file_of(app)
                      and b"/notes.fpl" not in list_file_of(app)
                      and "camp.FPL" in (files.names() or []))


def delete_shortcut(reader, main, app):
    """A shortcut deleted on "Tools": the time from Yes until its file and its entry are gone."""
    tools = press_tab(reader, main, "Tools")
    tools.choose(reader, "Spare Tool")
    reader.act(sr.find(main, "push button", "Delete shortcut"), "Press")
    box = sr.alert_saying(reader, "Are your sure you want to delete the shortcut: SPARE TOOL.LNK")
    reader.act(sr.find(box, "push button", "Yes"), "Press")
    return until_done("a Delete on Tools", lambda: not os.path.exists(
        os.path.join(app, "ShortCuts", "Spare Tool.lnk")) and tools.names() is not None
        and "Spare Tool" not in tools.names())


def others_while_a_delete_waits(reader, main, drive, share, app, hang):
    """A Delete on "Open" of a file on the drive, held `hang` seconds by the drive; meanwhile
    the commands of the other tabs and a Rename on a local disk. Returns their times."""
    gone = os.path.join(share, "old.fpl")
    press_tab(reader, main, "Open").choose(reader, "old.fpl")
    drive.hold()
    reader.act(sr.find(main, "push button", "Delete File"), "Press")
    box = sr.alert_saying(reader, "Are your sure you want to delete OLD.FPL")
    reader.act(sr.find(box, "push button", "Yes"), "Press")
    held = time.monotonic()
    # The wait names the file it waits on, and nothing else is said meanwhile.
    box = sr.alert_saying(reader, "The drive of %s is not answering." % gone)
    sr.expect_equal("what is said", [said for said, _ in sr.alerts(reader)],
                    ["The drive of %s is not answering." % gone])
    reader.act(sr.find(box, "push button", "OK"), "Press")
    reader.gone(box)
    times = {"a web link created on Web": create_web_link(reader, main, app),
             "a Rename of a local data file on Open": rename_local_file(reader, main, app),
             "a Delete on Tools": delete_shortcut(reader, main, app)}
    if not drive.held.is_set() or list_file_of(app).count(b"old.fpl") != 1:
        raise sr.Failure("the Delete did not wait for the drive")
    time.sleep(max(0.0, held + hang - time.monotonic()))
    waited = time.monotonic() - held
    drive.release()
    # The Delete goes on once the drive answers: the file in the drive's trash, the entry gone.
    files = press_tab(reader, main, "Open")
    trashed = os.path.join(share, ".Trash-%d" % os.getuid(), "files", "old.fpl")

    def deleted():
        return {"the file in the trash": not os.path.exists(gone) and os.path.exists(trashed),
                "its entry out of the list file": b"old.fpl" not in list_file_of(app),
                "its entry off the screen": "old.fpl" not in (files.names() or ["old.fpl"])}
    try:
        sr.wait_for("the Delete to go on", lambda: all(deleted().values()))
    except sr.Failure as failure:
        raise sr.Failure("%s: %s; shown: %s" % (failure, deleted(),
                                               [said for said, _ in sr.alerts(reader)])) from None
    # Nothing more was said: no other command waited, no drive but the share was named.
    sr.expect_equal("message boxes left showing", [said for said, _ in sr.alerts(reader)], [])
    return waited, times


def inner(exe, flags):
    share, standin = flags[:2]
    hang, limit = option(flags, "--hang", 6.0), option(flags, "--limit", 250)
    group, tmp = harness.session()
    real = os.path.join(tmp, "share-real")
    os.makedirs(real)
    for name in ("plot.fpl", "old.fpl"):
        with open(os.path.join(real, name), "w") as f:
            f.write(name)
    drive, reason = mount(share, real)
    if not drive:
        print("SKIPPED: " + reason)
        return SKIP
    bus = sr.start_accessibility_bus(group)
    # The reader gives up on an answer after 800 ms unless told otherwise: a window that does not
    # answer for longer must be measured, not cut short.
    sr.pyatspi.setTimeout(30000, 30000)
    app = harness.app_folder(tmp, exe, {"prv.exe": standin}, ("data", "ShortCuts"))
    with open(os.path.join(app, "data", "notes.fpl"), "w") as f:
        f.write("notes")
    with open(os.path.join(app, "ShortCuts", "Spare Tool.lnk"), "wb") as f:
        f.write(b"a shortcut of the user's own")  # unreadable: listed as broken, deletable
    with open(os.path.join(app, "QELWebList.txt"), "wb") as f:
        f.write(b'"Fire Lab","https://example.org/lab"\r\n')
    listing = b"".join(b'"fpl","%s","1/1/2026 10:00:00 AM"\r\n' % os.path.join(share, name)
                       .encode() for name in ("plot.fpl", "old.fpl"))
    list_file = os.path.join(app, "QELFileList.txt")
    with open(list_file, "wb") as f:
        f.write(listing)
    record = os.path.join(tmp, "starts.txt")
    hub, log_path = harness.start_hub(app, group, tmp, KELDARA_STANDIN_RECORD=record)
    try:
        reader, main = sr.read_main_window(bus, hub)
        sr.wait_for("the start-up to end", lambda: sr.find(main, "list", "New list").childCount)
        time.sleep(1.5)  # the first refresh tick, so that only the user's open waits

        # 1. The drive stays silent for `hang` seconds: the window answers all along, the drive
        #    is named once, and nothing starts when it answers at last.
        window = main.queryComponent()  # asked before: a frozen program would not tell it
        drive.hold(hang)
        open_the_file(reader, main)
        worst = longest_pause(window, hang)
        print("drive silent %.0f s: the window answered within %.0f ms at worst" % (hang, worst))
        if worst > limit:
            raise sr.Failure("the window did not answer for %.0f ms (limit %d ms)"
                             % (worst, limit))
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

        # 3. A Delete of a file on the drive waits for it; the commands of every tab on other
        #    drives go through meanwhile, each within a second.
        waited, times = others_while_a_delete_waits(reader, main, drive, share, app, hang)
        for what, took in times.items():
            print("while a Delete waited %.1f s on the drive: %s done in %.2f s"
                  % (waited, what, took))
        slow = ["%s (%.2f s)" % (what, took) for what, took in times.items() if took >= 1.0]
        if slow:
            raise sr.Failure("while a Delete waited on a drive that hangs, these took a second "
                             "or more: " + "; ".join(slow))

        # 4. Quitting while a Delete waits on the drive: the instance goes at once, so that a
        #    later start comes up while the drive still hangs; the Delete, whose drive answers a
        #    second after the Yes, is let finish, its entry taken off the list, and the program
        #    ends within a few seconds. (A thread of it that this drive has already taken a
        #    request from stays until the drive answers: the kernel waits for a FUSE drive's
        #    answer.)
        press_tab(reader, main, "Open").choose(reader, "plot.fpl")
        drive.hold()
        reader.act(sr.find(main, "push button", "Delete File"), "Press")
        box = sr.alert_saying(reader, "Are your sure you want to delete PLOT.FPL")
        reader.act(sr.find(box, "push button", "Yes"), "Press")
        reader.gone(box)
        reader.act(sr.find(main, "push button", "Exit Keldara"), "Press")
        box = reader.window("alert", "Keldara")
        reader.act(sr.find(box, "push button", "Yes"), "Press")
        answers = threading.Timer(1.0, drive.release)
        answers.daemon = True
        answers.start()
        asked = time.monotonic()
        time.sleep(0.3)
        os.makedirs(os.path.join(tmp, "later"))
        later, later_log = harness.start_hub(app, group, os.path.join(tmp, "later"))
        try:
            # Its splash (496 x 316), not the message that another instance runs. Asked of the X
            # server: the program that ended stays on the accessibility bus, answering nothing,
            # until its drive answers.
            def splash():
                found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                        str(later.pid), "--name", "^Keldara$"],
                                       capture_output=True, text=True).stdout.split()
                return any("496x316" in subprocess.run(
                    ["xdotool", "getwindowgeometry", w], capture_output=True, text=True).stdout
                    for w in found)
            sr.wait_for("the later start's splash", splash, 10)
            came = time.monotonic() - asked
            if later.poll() is not None:
                raise sr.Failure("the later start ended (%s)" % later.returncode)
        finally:
            later.kill()  # its own look at the drive may keep it until the drive answers
        sr.wait_for("the program's main thread to end", lambda: main_thread_ended(hub), 8)
        took = time.monotonic() - asked
        print("quit while a Delete waited on the drive: a later start showed its splash %.2f s "
              "after Yes; the program ended %.2f s after Yes" % (came, took))
        if took > 4.5:
            raise sr.Failure("the program took %.2f s to end" % took)
        drive.release()
        hub.wait(10)
        later.wait(10)
        listed = harness.read_bytes(list_file)
        if b"/plot.fpl" in listed or b"/camp.FPL" not in listed:
            raise sr.Failure("the Delete did not finish before the end: %r" % listed)
        if not os.path.exists(os.path.join(share, ".Trash-%d" % os.getuid(), "files",
                                           "plot.fpl")):
            raise sr.Failure("plot.fpl is not in the drive's trash")
        return 0
    except Exception as failure:
        drive.release()  # a program waiting on the drive cannot even be killed
        return harness.report_failure(failure, hub, log_path)
    finally:
        drive.release()
        unmount(share)


def option(flags, name, default):
    return float(flags[flags.index(name) + 1]) if name in flags else default


if __name__ == "__main__":
    # The drive hangs twice for the time asked, and the quit waits for it a few seconds more.
    harness.main(__file__, __doc__, inner, 1, outer_on_a_drive(__file__),
            max(harness.TIME_LIMIT, int(2 * option(sys.argv, "--hang", 6.0)) + 50))
