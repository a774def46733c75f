"""Runs an end-to-end script in a mount namespace of its own (unshare -m, private propagation):
what the run mounts there (a tmpfs over /media, a stick, a full disk) is seen by the run alone
and goes with it, and the machine's own mounts stay as they were.

Such a script's command line is main() (harness.main() with the namespace's outer
stage); its inner stage calls session() in place of harness's, which also makes sure that
it is in a namespace of its own before anything is mounted.
"""

import os
import shutil
import subprocess
import sys

import harness
import screen_reader as sr

SKIP = 77  # the exit code ctest reads as skipped
NAMESPACE = ["unshare", "--mount", "--propagation", "private", "--"]


def run(*argv):
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def tmpfs(name, folder, size="1m"):
    """Mounts a tmpfs named `name` of `size` at `folder`."""
    run("mount", "-t", "tmpfs", "-o", "size=" + size, name, folder)


def cannot_run(probe_at):
    """Why a mount namespace of its own cannot be made here and mounted in at `probe_at`; None
    when it can."""
    if os.geteuid() != 0:
        return "mounting needs root"
    if not os.path.isdir(probe_at):
        return "there is no %s here" % probe_at
    if not shutil.which("unshare"):
        return "unshare is not installed"
    probe = subprocess.run(NAMESPACE + ["mount", "-t", "tmpfs", "keldara-probe", probe_at],
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if probe.returncode != 0:
        return "no mount namespace of its own can be mounted in: " + probe.stderr.strip()
    return None


def media_as_it_is():
    """The machine's /media: every file and folder under it with what a change would alter,
    and the mounts there."""
    seen = []
    for folder, folders, files in os.walk("/media"):
        for name in [""] + folders + files:
            st = os.lstat(os.path.join(folder, name))
            seen.append((os.path.join(folder, name), st.st_mode, st.st_ino, st.st_mtime_ns))
    with open("/proc/self/mountinfo") as f:
        mounts = [line.split()[4] for line in f if line.split()[4].startswith("/media")]
    return seen, mounts


def main(script, doc, inner, programs, probe_at, keeps_media=False, needs=None):
    """harness.main() for `script`, whose outer stage runs its inner one in a mount
    namespace of its own, or skips it where that cannot be made and mounted in at `probe_at`
    (or where `needs()` gives a reason). With `keeps_media`, the run fails when the machine's
    /media is not as it was before."""
    harness.main(script, doc, inner, programs, lambda exe, flags: outer(
        os.path.abspath(script), exe, flags, cannot_run(probe_at) or (needs and needs()),
        keeps_media))


def outer(script, exe, flags, reason, keeps_media):
    if reason:
        print("SKIPPED: " + reason)
        return SKIP
    before = media_as_it_is() if keeps_media else None
    os.environ["KELDARA_HOST_MOUNTS"] = os.readlink("/proc/self/ns/mnt")
    code = harness.outer(exe, flags, script=script, under=NAMESPACE)
    if keeps_media:
        after = media_as_it_is()
        if after != before:
            print("FAILED: the machine's /media changed: %r, now %r" % (before, after),
                  file=sys.stderr)
            return 1
    return code


def session():
    """harness.session() in the namespace, which must not be the machine's own: a mount
    made in that would outlast the run."""
    group, tmp = harness.session()
    if os.readlink("/proc/self/ns/mnt") == os.environ.pop("KELDARA_HOST_MOUNTS"):
        raise sr.Failure("not in a mount namespace of its own: nothing was mounted")
    return group, tmp
