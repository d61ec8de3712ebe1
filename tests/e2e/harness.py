"""The end-to-end harness: the real program, the stand-in target and the local
site under Wine on an X display, driven with real mouse and keyboard input
(xdotool), watched from outside (probe.exe, screenshots, the target's log).

Every wait is bounded and every process started here is ended by its PID.
Standard library only; run with Debian's /usr/bin/python3.

    class MyTest(EndToEnd):               # the usual set-up of a test class:
        @classmethod                      # session, site, target beside the
        def setUpClass(cls):              # program, the finder dropped on it
            cls.start_class(target={}, program={}, pick=True)

    session = Session(build_dir)          # or by hand: Wine and the display of that build tree
    site = Site.start(session)            # the maker's and the lyrics site, default ports
    target = Target.start(session)        # the stand-in chat client
    program = Program.start(session)      # lyrimark.exe, with a watchdog for message boxes
    program.click_unit("按钮1"); program.type_into("编辑框2", "ABC")
    wait_until(lambda: len(target.deliveries()) >= 3, 10, "three captions")
    program.stop(); target.stop(); site.stop(); session.close()
"""

import ctypes
import os
import select
import shutil
import struct
import signal
import subprocess
import tempfile
import time
import unittest
import urllib.request
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_DIR = os.path.join(ROOT, "tests", "wine")
SITE = os.path.join(ROOT, "tools", "site", "site.py")
DOCS = os.environ.get("LYRIMARK_DOCS_PICTURES") == "1"  # pictures kept for the README go to docs/ too

# Where the sender's fixed points land in the target's field (client coordinates).
ENTRY_POINT = 298 + 124 * 65536
CLOSING_POINT = 301 + 164 * 65536
WM_MOUSEMOVE, WM_CHAR = 0x0200, 0x0102


class HarnessError(AssertionError):
    pass


def wait_until(condition, timeout, what, interval=0.1):
    """The first true value of condition(), polled until `timeout` seconds have passed."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Session:
    """Wine and the X display of one build tree. Uses the display and wineserver
    that ctest's fixture started; started here (and ended by close()) otherwise."""

    def __init__(self, build_dir=None):
        self.build = os.path.abspath(build_dir or os.environ["LYRIMARK_BUILD"])
        self.env = self._wine_env()
        self.own_wine = "DISPLAY" not in self.env
        if self.own_wine:
            self._run("wine-start.sh", 300)
            self.env = self._wine_env()
        self.display = self.env["DISPLAY"]
        self.code_page = int(self.env["LYRIMARK_CODE_PAGE"])  # the ANSI code page Wine's programs get
        self.work = tempfile.mkdtemp(prefix="e2e.", dir=os.path.join(self.build, "wine"))
        self.processes = []

    def _wine_env(self):
        script = os.path.join(WINE_DIR, "wine-env.sh")
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        out = subprocess.run(["sh", "-c", '. "$0" "$1" 2>/dev/null && env -0', script, self.build],
                             env=env, capture_output=True, timeout=30, check=True).stdout
        return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)

    def _run(self, script, timeout):
        with tempfile.TemporaryFile() as out:
            subprocess.run(["sh", os.path.join(WINE_DIR, script), self.build], env=self.env, stdout=out,
                           stderr=subprocess.STDOUT, timeout=timeout, check=True)

    def exe(self, *parts):
        return os.path.join(self.build, *parts)

    def wine_path(self, path):
        path, drive_c = os.path.abspath(path), os.path.join(self.env["WINEPREFIX"], "drive_c")
        if path.startswith(drive_c + os.sep):
            return "C:" + path[len(drive_c):].replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def installed_copy(self):
        """A fresh copy of the program in C:\\Lyrimark, where a user would keep it: (folder, exe)."""
        home = os.path.join(self.env["WINEPREFIX"], "drive_c", "Lyrimark")
        shutil.rmtree(home, ignore_errors=True)
        os.makedirs(home)
        return home, shutil.copy(self.exe("src", "lyrimark.exe"), home)

    def run_wine(self, exe, *args, timeout=20):
        """Runs a Windows program to its end: (exit code, stdout, stderr) as text.
        Output goes through files: a pipe would stay open as long as the wineserver."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                rc = subprocess.run(["wine", exe, *args], env=self.env, stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, timeout=timeout).returncode
            except subprocess.TimeoutExpired:
                raise HarnessError("%s %s did not end within %d s" % (os.path.basename(exe), args, timeout))
            out.seek(0)
            err.seek(0)
            return rc, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace")

    def spawn(self, exe, *args, name, cwd=None):
        """Starts a Windows program in the background; stdout and stderr go to files in the work directory."""
        out = open(os.path.join(self.work, name + ".out"), "wb")
        err = open(os.path.join(self.work, name + ".err"), "wb")
        process = subprocess.Popen(["wine", exe, *args], env=self.env, cwd=cwd or self.work,
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=err, start_new_session=True)
        out.close()
        err.close()
        self.processes.append(process)
        return process

    def end(self, process, grace=5):
        if process in self.processes:
            self.processes.remove(process)
        return _end(process, grace)

    def probe(self, *args, check=True):
        rc, out, err = self.run_wine(self.exe("tools", "probe", "probe.exe"), *args)
        if rc != 0 and "probe: " not in err:
            # Wine failed, not the probe (its loader has been seen to end with an
            # assertion of ld.so's): once more. The probe's commands bear repeating.
            rc, out, err = self.run_wine(self.exe("tools", "probe", "probe.exe"), *args)
        if check and rc != 0:
            raise HarnessError("probe %s failed (%d): %s" % (" ".join(args), rc, err.strip() or "no message"))
        return out.strip("\n")

    def xdo(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], env=self.env, timeout=20, check=True)

    def grab(self):
        """The whole screen as an Image (for comparisons)."""
        with tempfile.NamedTemporaryFile(suffix=".ppm", dir=self.work) as f:
            subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:" + f.name], env=self.env,
                           timeout=30, check=True)
            return Image.from_ppm(f.read())

    def keep_picture(self, name, rect):
        """The screen round rect (left, top, right, bottom), 8 pixels more each way, as a PNG in the
        work directory, and with LYRIMARK_DOCS_PICTURES=1 in the environment in docs/ too."""
        shot = self.grab()
        left, top, right, bottom = rect
        picture = shot.crop(max(0, left - 8), max(0, top - 8), min(shot.width, right + 8), min(shot.height, bottom + 8))
        for folder in [self.work] + ([os.path.join(ROOT, "docs")] if DOCS else []):
            picture.save_png(os.path.join(folder, name))

    def close(self):
        for process in list(self.processes):
            self.end(process, grace=0)
        if self.own_wine:
            self._run("wine-stop.sh", 60)


class Image:
    """An RGB screenshot."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, raw):
        fields, pos = [], 0
        while len(fields) < 4:  # magic, width, height, maximum
            while raw[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not raw[end:end + 1].isspace():
                end += 1
            fields.append(raw[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise HarnessError("not an 8-bit PPM")
        return cls(int(fields[1]), int(fields[2]), raw[pos + 1:])

    def save_png(self, path):
        """Writes the image as a PNG file, e.g. to look at a failure."""
        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        row = 3 * self.width
        raw = b"".join(b"\0" + self.data[y * row:(y + 1) * row] for y in range(self.height))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
        return path

    def crop(self, left, top, right, bottom):
        row = 3 * self.width
        data = b"".join(self.data[y * row + 3 * left:y * row + 3 * right] for y in range(top, bottom))
        return Image(right - left, bottom - top, data)

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def differences(self, other, exclude=()):
        """The points where the two differ, outside the rectangles (left, top, right, bottom) given."""
        points = []
        row = 3 * self.width
        for y in range(self.height):
            a, b = self.data[y * row:(y + 1) * row], other.data[y * row:(y + 1) * row]
            if a == b:
                continue
            for x in range(self.width):
                if a[3 * x:3 * x + 3] != b[3 * x:3 * x + 3] and not any(
                        l <= x < r and t <= y < bt for l, t, r, bt in exclude):
                    points.append((x, y))
        return points


class Site:
    """tools/site on the ports the program has compiled in."""

    def __init__(self, process, addresses):
        self.process, self.addresses = process, addresses

    @classmethod
    def start(cls, session, timeout=120):
        # Another test run may still hold the ports for a moment: retry until it lets go.
        deadline = time.monotonic() + timeout
        while True:
            process = subprocess.Popen(["/usr/bin/python3", SITE], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                       text=True, start_new_session=True, preexec_fn=_end_with_parent)
            ready = select.select([process.stdout], [], [], 10)[0]
            line = process.stdout.readline() if ready else ""
            if line.startswith("ready "):
                return cls(process, line.split()[1:])
            _end(process, grace=0)
            process.stdout.close()
            if time.monotonic() >= deadline:
                raise HarnessError("the local site did not start: %r" % line)
            time.sleep(1)

    def control(self, request):
        """A control request to the maker's site, e.g. "announce?variant=stops"; its answer."""
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        with opener.open("%s/_control/%s" % (self.addresses[0], request), timeout=10) as reply:
            return reply.read().decode()

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        _end(self.process)
        self.process.stdout.close()


class Delivery:
    """One caption as the target's field received it: the posted time of its
    first message, its text in GBK and the lParams of its character messages."""

    def __init__(self, posted_ms):
        self.posted_ms, self.text, self.lparams = posted_ms, [], set()

    def __repr__(self):
        return "Delivery(%d, %r)" % (self.posted_ms, self.text)


class Target:
    """The stand-in chat client: a window whose RichEdit nickname field logs what it receives."""

    def __init__(self, session, process, log):
        self.session, self.process, self.log = session, process, log
        self.field = int(wait_until(lambda: _read(log + ".hwnd").strip(), 60, "the target's window"))
        info = session.probe("window", str(self.field)).split(" ", 7)
        self.window = int(info[6])
        # With odd_windows: one that claims a title of 0x7FFFFFFF characters, and a hung one.
        odd = _read(log + ".odd").split()
        self.absurd_title, self.hung = (int(h) for h in odd) if odd else (None, None)

    @classmethod
    def start(cls, session, name="target", odd_windows=False):
        log = os.path.join(session.work, name + ".log")
        process = session.spawn(session.exe("tools", "target", "target.exe"), session.wine_path(log),
                                *(["--odd-windows"] if odd_windows else []), name=name)
        return cls(session, process, log)

    def place(self, x, y):
        """Moves the target's window, and gives it time to paint itself there."""
        self.session.probe("place", str(self.window), str(x), str(y))
        wait_until(lambda: self.rect(self.window)[:2] == (x, y), 5, "the target's window to move")
        time.sleep(0.5)

    def rect(self, handle=None):
        """(left, top, right, bottom) of the field or of another window."""
        return tuple(int(v) for v in self.session.probe("window", str(handle or self.field)).split()[:4])

    def centre(self, handle=None):
        left, top, right, bottom = self.rect(handle)
        return (left + right) // 2, (top + bottom) // 2

    def client_origin(self, handle=None):
        return tuple(int(v) for v in self.session.probe("window", str(handle or self.field)).split()[4:6])

    def text(self):
        """The field's text as GBK bytes, as the target reports it."""
        return _read(self.log + ".text", binary=True)

    def deliveries(self):
        """The captions received so far, in order; one still arriving is left
        out. A caption starts at the move to the entry point; its characters
        end at the move to the closing point. The log has a line for every
        message the field took: message, wParam, lParam (hex), posted ms."""
        result, current = [], None
        for line in _read(self.log).splitlines():
            f = line.split()
            if len(f) < 4:
                continue
            message, wparam, lparam = (int(v, 16) for v in f[:3])
            posted = int(f[4]) if len(f) > 4 else int(float(f[3]))
            if message == WM_MOUSEMOVE and lparam == ENTRY_POINT:
                current = Delivery(posted)
            elif message == WM_MOUSEMOVE and lparam == CLOSING_POINT and current is not None:
                current.text = self._gbk(current.text)
                result.append(current)
                current = None
            elif message == WM_CHAR and current is not None:
                current.text.append(wparam)
                current.lparams.add(lparam)
        return result

    def _gbk(self, values):
        """A caption's character values as GBK: the sender posts bytes where the
        ANSI code page is 936, UTF-16 code units elsewhere."""
        if self.session.code_page == 936:
            return bytes(values)
        return struct.pack("<%dH" % len(values), *values).decode("utf-16-le", "replace").encode("gbk", "replace")

    def stop(self):
        self.session.probe("close-window", str(self.window), check=False)
        self.session.end(self.process)


class Player:
    """The stand-in Winamp-compatible music player (tools/player), scripted through a file."""

    def __init__(self, session, process, script):
        self.session, self.process, self.script, self.commands = session, process, script, 0

    @classmethod
    def start(cls, session, name="player"):
        script = os.path.join(session.work, name + ".txt")
        open(script, "w").close()
        process = session.spawn(session.exe("tools", "player", "player.exe"), session.wine_path(script), name=name)
        wait_until(lambda: _read(script + ".hwnd").strip(), 60, "the player's window")
        return cls(session, process, script)

    def do(self, command):
        """Adds a command of the player's script (tools/player/player.cpp) and waits until it is carried out."""
        with open(self.script, "a", encoding="utf-8") as f:
            f.write(command + "\n")
        self.commands += 1
        wait_until(lambda: int(_read(self.script + ".done") or 0) >= self.commands, 10, "the player: " + command)

    def stop(self):
        self.session.end(self.process, grace=0)


class Program:
    """lyrimark.exe, watched from outside, with a watchdog that logs and answers message boxes."""

    def __init__(self, session, process, watchdog, dialog_log, wait=True):
        self.session, self.process, self.watchdog, self.dialog_log = session, process, watchdog, dialog_log
        if wait:
            # The window exists before it shows: the start-up check runs in between.
            wait_until(lambda: session.probe("main", check=False).endswith(" 1"), 30, "the main window to show")
            time.sleep(0.3)

    @classmethod
    def start(cls, session, answer="ok", cwd=None, wait=True, exe=None):
        """With wait=False it returns at once, for a start that may end before its main window is found.
        `exe` is a copy of the program elsewhere; by default the tree's own. With answer=None message
        boxes are only logged, not answered."""
        # A log of its own for each start, so one session can start the program several times.
        fd, dialog_log = tempfile.mkstemp(prefix="dialogs.", suffix=".log", dir=session.work)
        os.close(fd)
        watchdog = session.spawn(session.exe("tools", "probe", "probe.exe"), "watch",
                                 session.wine_path(dialog_log), *(["--close", answer] if answer else []),
                                 name="watchdog")
        process = session.spawn(exe or session.exe("src", "lyrimark.exe"), name="lyrimark", cwd=cwd)
        return cls(session, process, watchdog, dialog_log, wait)

    def dialogs(self):
        """The message boxes the watchdog has met: (title, text) each."""
        return [tuple(line.split("\t")[1:3]) for line in _read(self.dialog_log).splitlines() if "\t" in line]

    # What the program shows.
    def text(self, unit):
        return self.session.probe("text", unit)

    def set_text(self, unit, value):
        """Replaces a unit's text from outside, for texts a person cannot type
        here, and returns once the unit reads it."""
        self.session.probe("settext", unit, value)
        wait_until(lambda: self.text(unit) == value, 5, "%s to read %r" % (unit, value))

    def rect(self, unit):
        left, top, right, bottom, shown = (int(v) for v in self.session.probe("rect", unit).split())
        return (left, top, right, bottom), bool(shown)

    def title(self):
        """The main window's title."""
        return self.session.probe("window", str(self.main_window()["handle"])).split(" ", 8)[8]

    def main_window(self):
        if self.process.poll() is not None:  # say so, rather than that its window is missing
            raise HarnessError("lyrimark.exe has ended (%d): %s" % (self.process.returncode, _read(
                os.path.join(self.session.work, "lyrimark.err")).strip()[-500:] or "no message"))
        handle, process, left, top, right, bottom, topmost, shown = (int(v) for v in self.session.probe("main").split())
        return {"handle": handle, "pid": process, "rect": (left, top, right, bottom), "topmost": bool(topmost),
                "shown": bool(shown)}

    def windows(self):
        """The program's top-level windows: dicts of handle, class, rect, visible, exstyle."""
        result = []
        for line in self.session.probe("windows").splitlines():
            f = line.split()
            result.append({"handle": int(f[0]), "class": f[1], "rect": tuple(int(v) for v in f[2:6]),
                           "visible": f[6] == "1", "exstyle": int(f[7], 16)})
        return result

    def drag_icon(self):
        """The drag-icon window while it is open, else None."""
        main = self.main_window()["handle"]
        icons = [w for w in self.windows() if w["class"] == "LyrimarkWindow" and w["handle"] != main
                 and w["rect"][2] - w["rect"][0] == 31]
        return icons[0] if icons else None

    # What a person does.
    def centre(self, unit):
        (left, top, right, bottom), shown = self.rect(unit)
        if not shown:
            raise HarnessError("%s is not shown" % unit)
        return (left + right) // 2, (top + bottom) // 2

    def click_at(self, x, y):
        self.session.xdo("mousemove", x, y)
        time.sleep(0.05)
        self.session.xdo("click", 1)
        time.sleep(0.15)

    def click_unit(self, unit):
        self.click_at(*self.centre(unit))

    def show_page(self, page, tab="置顶选择1"):
        """Clicks the page's tab. When the tabs do not fit in their row, the row shows two scroll
        arrows at its right end; a tab out of sight, or under the arrows, is first scrolled into
        sight with them."""
        (row_left, row_top, row_right, _), _ = self.rect(tab)
        arrows, y = row_right - 32, row_top + 10
        for _ in range(10):
            place = self.session.probe("tab", tab, str(page), check=False).split()
            if len(place) != 4 or int(place[0]) < row_left:
                self.click_at(row_right - 22, y)  # scrolled out to the left
            elif int(place[0]) >= arrows - 8:
                self.click_at(row_right - 8, y)
            else:
                left, right = int(place[0]), min(int(place[2]), arrows)
                self.click_at((left + right) // 2, y)
                return
        raise HarnessError("the tab of page %d stays out of sight" % page)

    def focus(self):
        """Gives the main window the keyboard. Every caption delivery moves the
        keyboard focus to the target's field, and under Wine the X input focus
        goes with it, so a person clicks back into the program before typing;
        here the window is handed the X focus directly."""
        l, t, r, b = self.main_window()["rect"]
        found = subprocess.run(["xdotool", "search", "--pid", str(self.process.pid)], env=self.session.env,
                               capture_output=True, text=True, timeout=20).stdout.split()
        for window in found:
            shape = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=self.session.env,
                                   capture_output=True, text=True, timeout=20).stdout
            g = dict(line.split("=", 1) for line in shape.split() if "=" in line)
            if (int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])) == (l, t, r - l, b - t):
                self.session.xdo("windowfocus", window)
                time.sleep(0.2)
                return
        raise HarnessError("no X window for the main window")

    def type_into(self, unit, text, attempts=3):
        """Clicks into an edit box, selects what it holds and types over it.
        A caption delivered meanwhile takes the keyboard away, as it would
        from a person, who then types again."""
        for attempt in range(attempts):
            self.focus()
            self.click_unit(unit)
            self.session.xdo("key", "End", "shift+Home", "BackSpace")
            if text:
                self.session.xdo("type", "--delay", 20, text)
            try:
                return wait_until(lambda: self.text(unit) == text, 2, "%s to read %r" % (unit, text))
            except HarnessError:
                if attempt + 1 == attempts:
                    raise HarnessError("%s reads %r, not %r" % (unit, self.text(unit), text))

    def stop(self):
        """Closes the main window and waits for the process to end; its exit code."""
        self.session.probe("close", check=False)
        rc = self.session.end(self.process)
        self.session.end(self.watchdog, grace=0)
        return rc

    def close_and_time(self, timeout=10):
        """Closes the main window as its title bar's button would; (exit code, seconds from the
        close to the end of the process). The close is posted as the probe ends, so the time runs
        from the probe's end."""
        self.session.probe("close")
        start = time.monotonic()
        rc = self.wait_exit(timeout)
        return rc, time.monotonic() - start

    def wait_exit(self, timeout):
        """Waits for the program to end by itself; its exit code. Still running
        after `timeout` seconds, it is ended by its PID and that is an error."""
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("lyrimark.exe did not end within %d s" % timeout)
        finally:
            rc = self.session.end(self.process, grace=0)
            self.session.end(self.watchdog, grace=0)
        return rc


def drag(session, path, hold=0.3, dwell=0.0):
    """Presses the left button at path[0], moves through the points in small
    steps as a hand would, resting `dwell` seconds at each, and stays at the
    last one for `hold` seconds; the button stays down (release with
    session.xdo("mouseup", 1))."""
    session.xdo("mousemove", *path[0])
    time.sleep(0.1)
    session.xdo("mousedown", 1)
    time.sleep(0.2)
    x, y = path[0]
    for nx, ny in path[1:]:
        steps = max(1, max(abs(nx - x), abs(ny - y)) // 40)
        for i in range(1, steps + 1):
            session.xdo("mousemove", x + (nx - x) * i // steps, y + (ny - y) * i // steps)
            time.sleep(0.02)
        x, y = nx, ny
        time.sleep(dwell)
    time.sleep(hold)


def pick_target(session, program, target):
    """Drags the finder from 画板_捕获器 onto the target's nickname field and
    releases it there; returns once the program holds the field's handle."""
    drag(session, [program.centre("画板_捕获器"), (580, 300), target.centre()])
    session.xdo("mouseup", 1)
    wait_until(lambda: program.text("编辑框_窗口句柄") == str(target.field), 5, "the field's handle")


def gbk(text):
    return text.encode("gbk")


def _end(process, grace=5):
    """Waits up to `grace` seconds for the process to end, then kills it by its PID; its exit code."""
    try:
        return process.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        os.kill(process.pid, signal.SIGKILL)
        return process.wait(timeout=10)


def _end_with_parent():
    """In a child: ask the kernel to end it when the test that started it ends,
    even by a kill that leaves no time to clean up (a ctest time-out)."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def _read(path, binary=False):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except FileNotFoundError:
        return b"" if binary else ""
    return data if binary else data.decode("utf-8", "replace")


class EndToEnd(unittest.TestCase):
    """A test class's usual set-up, each part ended after the class in reverse order."""

    @classmethod
    def start_session(cls):
        """The session alone, for a class that prepares files in it first."""
        cls.session = Session()
        cls.addClassCleanup(cls.session.close)

    @classmethod
    def start_class(cls, target=None, program=None, pick=False):
        """A session (unless started) and the local site; with `target` (options
        of Target.start) the stand-in target beside the main window; with
        `program` (options of Program.start) the program; with `pick` the
        finder dropped on the target's field."""
        if "session" not in cls.__dict__:
            cls.start_session()
        cls.site = Site.start(cls.session)
        cls.addClassCleanup(cls.site.stop)
        if target is not None:
            cls.target = Target.start(cls.session, **target)
            cls.addClassCleanup(cls.target.stop)
        if program is not None:
            cls.program = Program.start(cls.session, **program)
            cls.addClassCleanup(cls.program.stop)
        if target is not None:
            # Clear of the main window, so a frame never lies under the program's own pixels.
            cls.target.place(620, 80)
        if pick:
            pick_target(cls.session, cls.program, cls.target)
