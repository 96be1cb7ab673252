"""Drives the real keyer under Xvfb and openbox, like a person at the keyboard.

Everything started here is stopped by process id when the session ends.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
TITLE = "Tonvirke version 053"


def _free_display():
    for n in range(90, 200):
        if not Path(f"/tmp/.X11-unix/X{n}").exists() and not Path(f"/tmp/.X{n}-lock").exists():
            return n
    raise RuntimeError("no free X display number")


def wait_for(predicate, timeout=10.0, step=0.05):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


class Desktop:
    """An X server with a window manager, and optionally a PulseAudio null sink."""

    def __init__(self, width=1600, height=1000, audio=None):
        """audio: None (SDL's dummy driver), "pulse" (a PulseAudio null sink to record from)
        or a file path (SDL's disk driver writes what the keyer plays there, 48 kHz float)."""
        self.width, self.height, self.audio = width, height, audio
        self.procs = []
        self.display = None
        self.env = dict(os.environ)
        self.pulse_dir = None

    def __enter__(self):
        n = _free_display()
        self.display = f":{n}"
        self._start(["Xvfb", self.display, "-screen", "0", f"{self.width}x{self.height}x24",
                     "-nolisten", "tcp", "-noreset"])
        if not wait_for(lambda: Path(f"/tmp/.X11-unix/X{n}").exists(), 10):
            raise RuntimeError("Xvfb did not start")
        self.env.update({"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb",
                         "XDG_RUNTIME_DIR": tempfile.mkdtemp(prefix="tonvirke-xdg-")})
        self.env.pop("WAYLAND_DISPLAY", None)
        # A Swedish keyboard, so that "å" has a key of its own as on the operator's keyboard.
        subprocess.run(["setxkbmap", "-display", self.display, "se"], env=self.env, check=False)
        self._start(["openbox", "--config-file", str(HERE / "openbox-rc.xml")])
        wait_for(lambda: self.xdotool("search", "--class", "openbox", check=False) is not None, 2)
        time.sleep(0.3)
        if self.audio == "pulse":
            self._start_pulse()
        elif self.audio:
            self.env.update({"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": str(self.audio)})
        else:
            self.env["SDL_AUDIODRIVER"] = "dummy"
        return self

    def _start(self, argv, **kw):
        p = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, start_new_session=True, **kw)
        self.procs.append(p)
        return p

    def _start_pulse(self):
        self.pulse_dir = tempfile.mkdtemp(prefix="tonvirke-pulse-")
        sock = f"{self.pulse_dir}/native"
        self.env.update({"PULSE_RUNTIME_PATH": self.pulse_dir, "PULSE_SERVER": f"unix:{sock}",
                         "SDL_AUDIODRIVER": "pulseaudio", "PULSE_STATE_PATH": self.pulse_dir})
        self._start(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                     "--disallow-exit", "--use-pid-file=no", "--system=false",
                     "-L", f"module-native-protocol-unix auth-anonymous=1 socket={sock}",
                     "-L", "module-null-sink sink_name=keyer norewinds=1 rate=48000 channels=1",
                     "-L", "module-always-sink"])
        ok = wait_for(lambda: subprocess.run(["pactl", "info"], env=self.env,
                                             capture_output=True).returncode == 0, 10)
        if not ok:
            raise RuntimeError("PulseAudio did not start")
        subprocess.run(["pactl", "set-default-sink", "keyer"], env=self.env, check=True)

    def record(self, path):
        """Starts recording the null sink's monitor as 48 kHz mono 16-bit raw samples."""
        return self._start(["parec", "--device=keyer.monitor", "--format=s16le", "--rate=48000",
                            "--channels=1", "--latency-msec=200", "--raw", str(path)])

    def xdotool(self, *args, check=True):
        r = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        if r.returncode != 0:
            if check:
                raise RuntimeError(f"xdotool {args}: {r.stderr}")
            return None
        return r.stdout.strip()

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True)

    def dark_pixels(self, rect):
        """How many pixels of a screen region are darker than mid-grey. Only the region is
        grabbed and nothing is written to disk: polling this takes less processor time from
        the keyer under test than a whole screenshot."""
        x, y, w, h = rect
        grab = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                               "png:-"], env=self.env, capture_output=True, check=True)
        r = subprocess.run(["convert", "png:-", "-colorspace", "Gray", "-threshold", "50%",
                            "-negate", "-format", "%[fx:mean*w*h]", "info:"],
                           input=grab.stdout, capture_output=True, check=True)
        return round(float(r.stdout))

    def __exit__(self, *exc):
        for p in reversed(self.procs):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for p in self.procs:
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
        shutil.rmtree(self.env.get("XDG_RUNTIME_DIR", ""), ignore_errors=True)
        if self.pulse_dir:
            shutil.rmtree(self.pulse_dir, ignore_errors=True)


class Keyer:
    """The real program in its own working directory."""

    def __init__(self, desktop, workdir, binary=None):
        self.desktop = desktop
        self.workdir = Path(workdir)
        self.binary = binary or os.environ.get("TONVIRKE_BINARY", "build/tonvirke")
        self.proc = None
        self.window = None

    def start(self, wait_window=True):
        self.proc = subprocess.Popen([str(Path(self.binary).resolve())], cwd=self.workdir,
                                     env=self.desktop.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        self.desktop.procs.append(self.proc)
        if wait_window:
            self.window = self.find_window(TITLE)
            if self.window is None:
                raise RuntimeError("the main window did not appear")
            time.sleep(0.3)
        return self

    def find_window(self, name, timeout=10):
        def search():
            out = self.desktop.xdotool("search", "--onlyvisible", "--name", name, check=False)
            return out.split()[-1] if out else None
        return wait_for(search, timeout)

    def geometry(self, window=None):
        """The client area on the screen (X, Y, WIDTH, HEIGHT) and its offset in the frame
        (DX, DY: the border, and the border with the title bar)."""
        r = subprocess.run(["xwininfo", "-id", window or self.window], env=self.desktop.env,
                           capture_output=True, text=True, check=True)
        names = {"Absolute upper-left X": "X", "Absolute upper-left Y": "Y", "Width": "WIDTH",
                 "Height": "HEIGHT", "Relative upper-left X": "DX", "Relative upper-left Y": "DY"}
        out = {}
        for line in r.stdout.splitlines():
            key, _, value = line.strip().partition(":")
            if key in names:
                out[names[key]] = int(value)
        return out

    def title(self):
        r = subprocess.run(["xdotool", "getwindowname", self.window], env=self.desktop.env,
                           capture_output=True, text=True, check=True)
        return r.stdout.rstrip("\n")

    def click(self, x, y, window=None):
        """Clicks at client coordinates of the window (the main window by default)."""
        w = window or self.window
        self.desktop.xdotool("mousemove", "--window", w, str(x), str(y))
        self.desktop.xdotool("click", "1")
        time.sleep(0.15)

    def click_control(self, rect, window=None):
        x, y, w, h = rect
        self.click(x + w // 2, y + h // 2, window)

    def type(self, text):
        self.desktop.xdotool("type", "--delay", "20", text)
        time.sleep(0.2)

    def key(self, *keys):
        self.desktop.xdotool("key", *keys)
        time.sleep(0.15)

    def tap(self, key, hold=0.1):
        """Presses and releases a key the way a person does, holding it for a moment."""
        self.key_down(key)
        time.sleep(hold)
        self.key_up(key)

    def key_down(self, key):
        self.desktop.xdotool("keydown", key)

    def key_up(self, key):
        self.desktop.xdotool("keyup", key)

    def activate(self, window=None):
        self.desktop.xdotool("windowactivate", "--sync", window or self.window, check=False)
        time.sleep(0.2)

    def wait_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.proc.poll() is None

    def field_text(self, rect):
        """What a field shows: select all of it and read the clipboard."""
        self.click_control(rect)
        self.key("ctrl+a")
        self.key("ctrl+c")
        r = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.desktop.env,
                           capture_output=True, timeout=5)
        return r.stdout.decode("utf-8")
