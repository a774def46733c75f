"""The end-to-end scripts' own world: an X server of the run's own (Xvfb), a session bus of its
own (dbus-run-session), a temporary home, runtime, settings and data folder, and one process
group that every process started here joins and that is ended as a whole on the way out (on
success, on a failure and on the time limit alike). Nothing here depends on, or reaches, the
developer's desktop.

A script runs twice: its outer stage (main()) makes all this and runs the script again with
--inner inside it; the inner stage (session()) starts the program there, copied alone into an
application folder of its own (app_folder(), start_hub()).
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

TIME_LIMIT = 55  # seconds for the whole run


class Failure(Exception):
    pass


def on_time_limit(_signum, _frame):
    raise Failure("the run took longer than %d s" % TIME_LIMIT)


def spawn(argv, group, **kwargs):
    """Starts `argv` in process group `group` (0: a new group that it leads)."""
    return subprocess.Popen(argv, process_group=group, stdin=subprocess.DEVNULL, **kwargs)


# ----------------------------------------------------------------------------------------------
# Outer stage: the X server, the temporary folders and the session bus.


def start_xvfb():
    read_end, write_end = os.pipe()
    # -noreset: a server resets when its last client leaves, and a program that connects just
    # then is turned away.
    xvfb = spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                  "-nolisten", "tcp", "-noreset"], 0, pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()  # returns once the server listens, or has died
    if not number:
        raise Failure("Xvfb did not start")
    return xvfb, ":" + number


def outer(exe, flags, script, under=()):
    """Runs `script` with --inner on an X server and session bus of its own, under the command
    `under` if given (a private mount namespace, say)."""
    signal.signal(signal.SIGALRM, on_time_limit)
    signal.signal(signal.SIGTERM, on_time_limit)
    signal.alarm(TIME_LIMIT)
    with tempfile.TemporaryDirectory(prefix="keldara-a11y-") as tmp:
        xvfb = None
        try:
            xvfb, display = start_xvfb()
            # Nothing of the caller's desktop, buses or Qt settings comes along.
            env = {k: v for k, v in os.environ.items()
                   if not k.startswith(("DBUS_", "AT_SPI_", "XDG_", "WAYLAND_", "QT_"))}
            for sub in ("home", "run", "config", "data", "cache"):
                os.makedirs(os.path.join(tmp, sub), mode=0o700)
            env.update(DISPLAY=display, HOME=os.path.join(tmp, "home"),
                       XDG_RUNTIME_DIR=os.path.join(tmp, "run"),
                       XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                       XDG_DATA_HOME=os.path.join(tmp, "data"),
                       XDG_CACHE_HOME=os.path.join(tmp, "cache"),
                       GSETTINGS_BACKEND="memory", KELDARA_A11Y_GROUP=str(xvfb.pid),
                       KELDARA_A11Y_TMP=tmp)
            inner = spawn(list(under) + ["dbus-run-session", "--", sys.executable,
                           script, "--inner", exe] + flags,
                          xvfb.pid, env=env)
            return inner.wait()
        finally:
            signal.alarm(0)
            signal.signal(signal.SIGTERM, signal.SIG_IGN)
            if xvfb:
                # The whole group: the bus daemons, the launcher and the program too.
                for sig in (signal.SIGTERM, signal.SIGKILL):
                    try:
                        os.killpg(xvfb.pid, sig)
                    except ProcessLookupError:
                        break
                    time.sleep(0.2)
                xvfb.wait()


# ----------------------------------------------------------------------------------------------
# Inner stage: the program in the run's own application folder.


def session():
    """What the outer stage hands the inner one: the process group every program started here
    joins, and the run's temporary folder."""
    return int(os.environ.pop("KELDARA_A11Y_GROUP")), os.environ.pop("KELDARA_A11Y_TMP")


def app_folder(tmp, exe, tools=None, folders=("data",)):
    """An application folder `tmp`/app holding the program `exe` alone, with `folders` made in
    it and each program of `tools` (its name there -> the program) copied beside it."""
    app = os.path.join(tmp, "app")
    os.makedirs(app)
    for folder in folders:
        os.makedirs(os.path.join(app, folder))
    shutil.copy2(exe, os.path.join(app, "keldara"))
    for name, program in (tools or {}).items():
        shutil.copy2(program, os.path.join(app, name))
    return app


def hub_env(**extra_env):
    """The environment the program runs in: this session's display and buses, found as a
    desktop's program finds them (not through the reader's own bus address)."""
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               LC_ALL="C.UTF-8", **extra_env)
    env.pop("AT_SPI_BUS_ADDRESS", None)
    return env


def start_hub(app, group, tmp, args=(), **extra_env):
    """Starts the program of `app` (with `args`) on the display and accessibility bus of this
    session, its output going to a log; returns the process and the log's path."""
    log_path = os.path.join(tmp, "keldara.log")
    with open(log_path, "w") as log:
        hub = spawn([os.path.join(app, "keldara")] + list(args), group, env=hub_env(**extra_env),
                    cwd=tmp, stdout=log, stderr=subprocess.STDOUT)
    return hub, log_path


def report_failure(failure, hub, log_path):
    """Says what failed, ends the program and shows what it wrote; returns the failing code."""
    traceback.print_exc()
    print("FAILED: %s" % failure, file=sys.stderr)
    if hub.poll() is None:
        hub.kill()
    hub.wait()
    with open(log_path) as log:
        sys.stderr.write(log.read())
    return 1


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def lines_of(path):
    """The lines of a record a program keeps, without the blank ones; none before it exists."""
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [line.rstrip("\n") for line in f if line.strip()]


def main(script, doc, inner, programs=0, outer_stage=None, time_limit=None):
    """The command line of a script of these: KELDARA_EXECUTABLE, `programs` more programs, and
    its flags. With --inner, runs its inner stage `inner(exe, flags)`; else its outer stage:
    `outer_stage(exe, flags)`, by default outer() on `script`, within `time_limit` s if given.
    The programs' paths are made absolute, since the inner stage runs in a folder of its own.
    Exits with the stage's exit code."""
    if len(sys.argv) >= 3 and sys.argv[1] == "--inner":
        sys.exit(inner(sys.argv[2], sys.argv[3:]))
    if len(sys.argv) < 2 + programs:
        sys.exit(doc)
    if time_limit:
        global TIME_LIMIT
        TIME_LIMIT = time_limit
    script = os.path.abspath(script)
    stage = outer_stage or (lambda exe, flags: outer(exe, flags, script=script))
    sys.exit(stage(os.path.abspath(sys.argv[1]), [os.path.abspath(p) for p in sys.argv[
        2:2 + programs]] + sys.argv[2 + programs:]))
