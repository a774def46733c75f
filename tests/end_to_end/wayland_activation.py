#!/usr/bin/python3
"""A later start's activation token brings the running hub forward under Wayland.

Usage: wayland_activation.py KELDARA_EXECUTABLE STANDIN_TOOL

Runs a headless compositor of its own (sway, which offers xdg_activation_v1; as an ordinary user
when run as root, since sway refuses root), starts the hub on it, then another program that
takes the focus. `keldara FILE` without a token hands the file over (the tool runs) but cannot
take the focus back; with a token the compositor issued, the hub's window gets the focus.
Exits 77, saying why, where no such compositor or no Qt Wayland plugin is at hand.
"""

import ctypes
import ctypes.util
import glob
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import screen_reader as sr  # noqa: E402

SKIP = 77
PLUGIN_GLOBS = ["/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so",
                "/usr/lib/qt6/plugins/platforms/libqwayland-generic.so"]


# ----------------------------------------------------------------------------------------------
# A Wayland client of a few lines, through libwayland-client: which globals the compositor
# offers, and an activation token from xdg_activation_v1, as a launcher asks for one.

class Message(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("signature", ctypes.c_char_p),
                ("types", ctypes.POINTER(ctypes.c_void_p))]


class Interface(ctypes.Structure):
    pass


Interface._fields_ = [("name", ctypes.c_char_p), ("version", ctypes.c_int),
                      ("method_count", ctypes.c_int), ("methods", ctypes.POINTER(Message)),
                      ("event_count", ctypes.c_int), ("events", ctypes.POINTER(Message))]

GLOBAL = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_uint32,
                          ctypes.c_char_p, ctypes.c_uint32)
GLOBAL_REMOVE = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_uint32)
DONE = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_char_p)


def make_interface(name, methods, events, keep):
    def messages(items):
        array = (Message * max(1, len(items)))()
        for i, (member, signature, types) in enumerate(items):
            t = (ctypes.c_void_p * max(1, len(types)))(*types)
            keep.append(t)
            array[i] = Message(member.encode(), signature.encode(),
                               ctypes.cast(t, ctypes.POINTER(ctypes.c_void_p)))
        keep.append(array)
        return array
    iface = Interface(name.encode(), 1, len(methods), messages(methods), len(events),
                      messages(events))
    keep.append(iface)
    return iface


def activation_token(display_name):
    """A token from the compositor at `display_name`; None when it offers no xdg_activation_v1
    (or cannot be reached)."""
    wl = ctypes.CDLL(ctypes.util.find_library("wayland-client"))
    wl.wl_display_connect.restype = ctypes.c_void_p
    wl.wl_display_connect.argtypes = [ctypes.c_char_p]
    wl.wl_proxy_marshal_constructor.restype = ctypes.c_void_p
    wl.wl_proxy_marshal_constructor_versioned.restype = ctypes.c_void_p
    wl.wl_proxy_add_listener.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p]
    keep = []
    token_iface = make_interface(
        "xdg_activation_token_v1",
        [("set_serial", "uo", [None, None]), ("set_app_id", "s", [None]),
         ("set_surface", "o", [None]), ("commit", "", []), ("destroy", "", [])],
        [("done", "s", [None])], keep)
    activation_iface = make_interface(
        "xdg_activation_v1",
        [("destroy", "", []),
         ("get_activation_token", "n", [ctypes.addressof(token_iface)]),
         ("activate", "so", [None, None])], [], keep)
    display = wl.wl_display_connect(display_name.encode())
    if not display:
        return None
    try:
        registry_iface = ctypes.c_void_p.in_dll(wl, "wl_registry_interface")
        registry = wl.wl_proxy_marshal_constructor(
            ctypes.c_void_p(display), 1, ctypes.c_void_p(ctypes.addressof(registry_iface)), None)
        found = {}
        on_global = GLOBAL(lambda _d, _r, name, iface, _v: found.__setitem__(iface, name))
        on_remove = GLOBAL_REMOVE(lambda *_: None)
        listener = (ctypes.c_void_p * 2)(ctypes.cast(on_global, ctypes.c_void_p),
                                         ctypes.cast(on_remove, ctypes.c_void_p))
        wl.wl_proxy_add_listener(ctypes.c_void_p(registry), listener, None)
        wl.wl_display_roundtrip(ctypes.c_void_p(display))
        if b"xdg_activation_v1" not in found:
            return None
        activation = wl.wl_proxy_marshal_constructor_versioned(
            ctypes.c_void_p(registry), 0, ctypes.byref(activation_iface), 1,
            ctypes.c_uint32(found[b"xdg_activation_v1"]), b"xdg_activation_v1",
            ctypes.c_uint32(1), None)
        token = wl.wl_proxy_marshal_constructor(ctypes.c_void_p(activation), 1,
                                                ctypes.byref(token_iface), None)
        got = []
        on_done = DONE(lambda _d, _t, text: got.append(text.decode()))
        done_listener = (ctypes.c_void_p * 1)(ctypes.cast(on_done, ctypes.c_void_p))
        wl.wl_proxy_add_listener(ctypes.c_void_p(token), done_listener, None)
        wl.wl_proxy_marshal(ctypes.c_void_p(token), 3)  # commit
        for _ in range(50):
            if got or wl.wl_display_roundtrip(ctypes.c_void_p(display)) < 0:
                break
        return got[0] if got else None
    finally:
        wl.wl_display_disconnect(ctypes.c_void_p(display))


# ----------------------------------------------------------------------------------------------

def focused_app(sway_socket):
    out = subprocess.run(["swaymsg", "-s", sway_socket, "-t", "get_tree"], capture_output=True,
                         check=True).stdout

    def walk(node):
        if node.get("focused"):
            return node.get("app_id") or node.get("name")
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            found = walk(child)
            if found:
                return found
        return None
    return walk(json.loads(out))


def run(exe, standin, tmp):
    if not shutil.which("sway"):
        return "no sway here (scripts/install-deps.sh installs it)"
    if not any(glob.glob(g) for g in PLUGIN_GLOBS):
        return "no Qt Wayland plugin here (qt6-wayland)"
    runtime = os.path.join(tmp, "compositor")
    os.makedirs(runtime, mode=0o700)
    with open(os.path.join(runtime, "config"), "w") as f:
        f.write("focus_on_window_activation focus\n")
    ordinary = os.getuid() == 0  # sway will not run as root
    if ordinary:
        shutil.chown(runtime, 65534, 65534)
        for name in os.listdir(runtime):
            shutil.chown(os.path.join(runtime, name), 65534, 65534)
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": runtime,
           "XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
           "WLR_LIBINPUT_NO_DEVICES": "1"}
    command = ["sway", "-c", os.path.join(runtime, "config")]
    if ordinary:
        command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] + command
    log = open(os.path.join(tmp, "sway.log"), "w")
    start(command, env=env, stdout=log, stderr=subprocess.STDOUT)
    try:
        sr.wait_for("the compositor", lambda: glob.glob(os.path.join(runtime, "wayland-*[0-9]"))
                    and glob.glob(os.path.join(runtime, "sway-ipc.*.sock")), timeout=10)
    except sr.Failure:
        return "sway did not start headless here"
    display = glob.glob(os.path.join(runtime, "wayland-*[0-9]"))[0]
    ipc = glob.glob(os.path.join(runtime, "sway-ipc.*.sock"))[0]
    if activation_token(display) is None:
        return "the compositor offers no xdg_activation_v1"

    app = harness.app_folder(tmp, exe, {"prv.exe": standin})
    data_file = os.path.join(app, "data", "plot.fpl")
    with open(data_file, "w") as f:
        f.write("x")
    own = os.path.join(tmp, "run")
    os.makedirs(own, mode=0o700)
    starts = os.path.join(tmp, "starts.txt")
    hub_env = dict(os.environ, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=display,
                   XDG_RUNTIME_DIR=own, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                   XDG_DATA_HOME=os.path.join(tmp, "data"), KELDARA_STANDIN_RECORD=starts)
    for name in ("XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID", "DISPLAY"):
        hub_env.pop(name, None)
    hub_log = open(os.path.join(tmp, "keldara.log"), "w")
    start([os.path.join(app, "keldara")], env=hub_env, cwd=tmp, stdout=hub_log,
          stderr=subprocess.STDOUT)
    sr.wait_for("the hub's window", lambda: focused_app(ipc) == "org.keldara.Keldara", timeout=20)
    time.sleep(5)  # the splash hands over to the main window

    other_env = dict(hub_env)
    del other_env["KELDARA_STANDIN_RECORD"]  # a window of its own, which takes the focus
    start([standin], env=other_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    sr.wait_for("another program in front", lambda: focused_app(ipc) == "keldara_standin_tool")

    def start_with_file(token):
        env = dict(hub_env)
        if token:
            env["XDG_ACTIVATION_TOKEN"] = token
        done = subprocess.run([os.path.join(app, "keldara"), data_file], env=env, cwd=tmp,
                              timeout=20, capture_output=True)
        if done.returncode != 0:
            raise sr.Failure("the later start ended with %d: %s" % (done.returncode, done.stderr))

    def tool_runs(n):
        return sr.wait_for("the tool's start %d" % n, lambda: os.path.exists(starts) and len(
            open(starts).read().splitlines()) >= n)

    # Without a token the file is handed over, but the compositor keeps the focus where it is.
    start_with_file(None)
    tool_runs(1)
    time.sleep(1.5)
    if focused_app(ipc) != "keldara_standin_tool":
        raise sr.Failure("the hub came forward without a token: nothing here tests the token")
    # With the token the compositor gave this start, the hub's window gets the focus.
    start_with_file(activation_token(display))
    tool_runs(2)
    sr.wait_for("the hub in front", lambda: focused_app(ipc) == "org.keldara.Keldara", timeout=5)
    print("the later start's token brought the hub's window forward")
    return None


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    exe, standin = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    signal.signal(signal.SIGALRM, lambda *_: (_ for _ in ()).throw(sr.Failure("time limit")))
    signal.alarm(80)
    with tempfile.TemporaryDirectory(prefix="keldara-wayland-") as tmp:
        os.chmod(tmp, 0o755)  # the compositor's user reaches its folder inside
        try:
            skipped = run(exe, standin, tmp)
        except sr.Failure as failure:
            print("FAILED: %s" % failure, file=sys.stderr)
            for name in ("keldara.log", "sway.log"):
                path = os.path.join(tmp, name)
                if os.path.exists(path):
                    sys.stderr.write("--- %s\n%s" % (name, open(path).read()[-3000:]))
            return 1
        finally:
            signal.alarm(0)
            end_all_started()
        if skipped:
            print("SKIPPED: " + skipped)
            return SKIP
        return 0


STARTED = []


def start(argv, **kwargs):
    """Starts `argv` leading a process group of its own, which end_all_started ends."""
    process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, process_group=0, **kwargs)
    STARTED.append(process)
    return process


def end_all_started():
    for process in STARTED:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass
        process.wait()


if __name__ == "__main__":
    sys.exit(main())
