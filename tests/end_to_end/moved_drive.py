#!/usr/bin/python3
"""A labelled stick mounted at a new place, with the real program read and driven through the
accessibility bus.

Usage: moved_drive.py KELDARA_EXECUTABLE STANDIN_TOOL

In a mount namespace of its own (as removable_drive.py), an ext4 image labelled FIELDSTICK on a
loop device is mounted at /media/USER/FIELDSTICK, where the recent-file list names two data files
on it, then pulled out and mounted at /media/USER/FIELDSTICK1 (a folder with a file in it is left
at FIELDSTICK, as happens when the desktop cannot take the old name). Checked: the hub asks
"Point the 2 entries on FIELDSTICK to /media/USER/FIELDSTICK1?" within 2 s of the mount; Yes
changes only the paths' first bytes in the list file, and the entries read as present at the new
place; Edit > Undo ("Undo Move of FIELDSTICK") puts the list file back byte for byte. The state
file lies in a temporary state folder. Prints the times and the list file at each step.

The other places a drive comes and goes at are there too, each named by an entry: a mount point
of an /etc/fstab bind-mounted over the real one (noauto, not mounted), a share of the desktop's
gvfs file system and one of a kio-fuse file system, both under a temporary runtime folder (a
tmpfs stands in for the desktop's FUSE file system). Each reads as not connected while away;
the fstab and kio-fuse ones read as present once mounted. Prints what each says.

Needs root, a loop device and mkfs.ext4; exits 77 (skipped, with the reason printed) elsewhere.
"""

import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import mount_namespace as ns  # noqa: E402
import removable_drive as rd  # noqa: E402
import screen_reader as sr  # noqa: E402


def inner(exe, flags):
    group, tmp = ns.session()
    standin = flags[0]
    ns.tmpfs("keldara-media", "/media")
    user = pwd.getpwuid(os.getuid()).pw_name
    image = os.path.join(tmp, "stick.img")
    with open(image, "wb") as f:
        f.truncate(8 << 20)
    ns.run("mkfs.ext4", "-q", "-L", "FIELDSTICK", image)
    device = subprocess.run(["losetup", "--find", "--show", image], check=True,
                            capture_output=True, text=True).stdout.strip()
    old = os.path.join("/media", user, "FIELDSTICK")
    new = old + "1"
    os.makedirs(old)
    ns.run("mount", device, old)
    os.makedirs(os.path.join(old, "plots"))
    for name in ("plots/a.fpl", "b.pli"):
        with open(os.path.join(old, name), "w") as f:
            f.write("plot")
    os.environ["XDG_STATE_HOME"] = os.path.join(tmp, "state")
    # The other places: fstab's share, and the desktop's mounts under a runtime folder.
    ns.tmpfs("keldara-srv", "/srv")
    os.makedirs("/srv/fieldshare")
    fstab = os.path.join(tmp, "fstab")
    with open(fstab, "w") as f:
        f.write("//office/fuels /srv/fieldshare cifs noauto,user 0 0\n")
    ns.run("mount", "--bind", fstab, "/etc/fstab")
    runtime = os.path.join(tmp, "run")
    os.makedirs(os.path.join(runtime, "gvfs"), mode=0o700)
    os.chmod(runtime, 0o700)
    ns.tmpfs("gvfsd-fuse", os.path.join(runtime, "gvfs"))
    os.environ["XDG_RUNTIME_DIR"] = runtime
    kio = os.path.join(runtime, "kio-fuse-Ab12")
    places = {  # entry -> (its path, how its drive comes back; None: it cannot here)
        "f.fpl": ("/srv/fieldshare/plots/f.fpl", "/srv/fieldshare"),
        "g.fpl": (os.path.join(runtime, "gvfs", "smb-share:server=office,share=fuels", "g.fpl"),
                  None),
        "k.fpl": (os.path.join(kio, "smb", "office", "fuels", "k.fpl"), kio),
    }

    bus = sr.start_accessibility_bus(group)
    app = harness.app_folder(tmp, exe, {"prv.exe": standin})
    listing = (b'"fpl","%s/plots/a.fpl","1/1/2026 10:00:00 AM"\r\n'
               b'"pli","/home/elsewhere/c.pli","1/2/2026 10:00:00 AM"\r\n'
               b'"pli","%s/b.pli","1/3/2026 10:00:00 AM"\r\n' % (old.encode(), old.encode()))
    list_file = os.path.join(app, "QELFileList.txt")
    listing += b"".join(b'"fpl","%s","1/4/2026 10:00:00 AM"\r\n' % p.encode()
                        for p, _ in places.values())
    with open(list_file, "wb") as f:
        f.write(listing)
    print("list file before:\n" + listing.decode())
    record = os.path.join(tmp, "starts.txt")
    hub, log_path, reader, main, rows = rd.start(bus, app, group, tmp, record)
    try:
        sr.wait_for("the stick's entries read as present",
                    lambda: rows.description("a.fpl") == old + "/plots/a.fpl", timeout=10)
        # Remembered by what it is: the state file names the stick by its UUID.
        state = os.path.join(tmp, "state", "keldara", "state.txt")
        sr.wait_for("the stick remembered", lambda: os.path.exists(state)
                    and b"FIELDSTICK" in harness.read_bytes(state), timeout=5)
        print("state file:\n" + harness.read_bytes(state).decode())
        for name, (path, back) in places.items():
            rd.until_described(rows, name, path + ", not connected")
            print("%s: away, it reads %r" % (path, rows.description(name)))
            if back is None:
                print("  (the desktop's volume monitor is not told of a stand-in mount here: "
                      "its return is checked by the core tests)")
                continue
            # The share's files first, then the share mounted where the entry names it.
            share = rd.Stick(os.path.join(tmp, "store-" + name), back, "share")
            inside = os.path.join(share.store, os.path.relpath(path, back))
            os.makedirs(os.path.dirname(inside), exist_ok=True)
            with open(inside, "w") as f:
                f.write("plot")
            took = rd.until_described(rows, name, path, share.plug_in())
            print("  mounted again, it reads %r after %.0f ms" % (rows.description(name),
                                                                 took * 1000))
        ns.run("umount", old)
        rd.until_described(rows, "a.fpl", old + "/plots/a.fpl, not connected")
        with open(os.path.join(old, "left behind.txt"), "w") as f:
            f.write("x")  # the old place is taken: the desktop mounts the stick elsewhere
        os.makedirs(new)
        began = time.monotonic()
        ns.run("mount", device, new)
        question = "Point the 2 entries on FIELDSTICK to %s?" % new
        box = sr.alert_saying(reader, question, timeout=rd.LIMIT + 3)
        asked = time.monotonic() - began
        if asked > rd.LIMIT:
            raise sr.Failure("asked %.2f s after the mount (limit %.0f s)" % (asked, rd.LIMIT))
        print("stick at a new place: asked %.0f ms after the mount" % (asked * 1000))
        reader.act(sr.find(box, "push button", "Yes"), "Press")
        reader.gone(box)
        rd.until_described(rows, "a.fpl", new + "/plots/a.fpl", began)
        shown = time.monotonic() - began
        print("... its entries read as present at the new place %.0f ms after the mount "
              "(the question answered at once)" % (shown * 1000))
        moved = harness.read_bytes(list_file)
        sr.expect_equal("the list file after the follow", moved,
                        listing.replace(old.encode() + b"/", new.encode() + b"/"))
        print("list file after the follow:\n" + moved.decode())
        reader.act(sr.find(main, "menu item", "Undo Move of FIELDSTICK"), "Press")
        sr.wait_for("the list file back", lambda: harness.read_bytes(list_file) == listing,
                    timeout=5)
        print("list file after Undo: byte for byte as before")
        sr.quit_hub(reader, main, hub, log_path)
        return 0
    except Exception as failure:
        return harness.report_failure(failure, hub, log_path)
    finally:
        subprocess.run(["umount", new], stderr=subprocess.DEVNULL)
        subprocess.run(["losetup", "-d", device], stderr=subprocess.DEVNULL)


def loop_device():
    """Why no ext4 image can be set up on a loop device here; None when it can."""
    if not shutil.which("mkfs.ext4") or not shutil.which("losetup"):
        return "mkfs.ext4 and losetup are needed"
    with tempfile.NamedTemporaryFile() as probe:
        probe.truncate(1 << 20)
        probe.flush()
        found = subprocess.run(["losetup", "--find", "--show", probe.name], capture_output=True,
                               text=True)
        if found.returncode != 0:
            return "no loop device can be set up: " + found.stderr.strip()
        subprocess.run(["losetup", "-d", found.stdout.strip()])
    return None


if __name__ == "__main__":
    ns.main(__file__, __doc__, inner, 1, "/media", keeps_media=True, needs=loop_device)
