"""Runs the real program under Wine on an X server and drives it as a person would.

A Session owns an X display (its own Xvfb unless told to use the current one) and a Wine
prefix for end-to-end runs. Session.launch starts the program in a fresh working directory and
gives a Program: real input through xdotool, state read back through tessprobe (a second Win32
process in the same prefix), screenshots, and the exit code. Every wait polls for an effect
with a timeout; nothing sleeps for a fixed time. Everything started is ended again.

A new scenario is a new test_*.py file here (CTest picks it up by its name), for example:

    class WheelTest(EndToEndTest):
        def test_a_notch_lowers_the_point_under_the_cursor(self):
            program = self.launch(gridmodel.fresh_model().to_bytes())
            program.wait_for_status(0)
            editor = program.editor
            program.move(*gridmodel.hover_position(index, editor.width, editor.height))
            program.wheel(1)
            before = program.model_bytes()
            program.key("s")
            model = program.wait_for_saved_model(before)

Configuration comes from the environment, which CTest sets (see CMakeLists.txt):
  TESSMERE_E2E_PROGRAM     tessmere.exe
  TESSMERE_E2E_PROBE       tessprobe.exe
  TESSMERE_E2E_PREFIX      the project's Wine prefix, made with scripts/lib/wine.sh if missing
  TESSMERE_E2E_WINE_SCRIPT scripts/lib/wine.sh
  TESSMERE_E2E_ARTIFACTS   where screenshots and logs are kept
  TESSMERE_E2E_DISPLAY     "own" (default): a private Xvfb; "current": use $DISPLAY if set
"""

import ctypes
import fcntl
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from dataclasses import dataclass

import gridmodel

POLL_SECONDS = 0.05
STARTUP_SECONDS = 60  # a new prefix takes a quarter of a minute to make on a busy machine
EFFECT_SECONDS = 10
# Probe commands that post a message to the program: never repeated.
_POSTING_COMMANDS = {"key", "command", "close", "ok"}
EXIT_SECONDS = 10
SERVER_LINGER_SECONDS = 15
SCREEN = (1280, 1024)
# Shift-JIS texts of the program, as the probe hands them back (UTF-8).
STATUS_FORMAT = " 現在のポリゴン数={:05d}"
LOAD_FAILED_TEXT = "ファイルのオープンに失敗しました。"
SAVE_FAILED_TEXT = "マップファイルのオープンに失敗しました。"
NOT_AVAILABLE_TEXT = "この機能は使えません。"
NOT_AVAILABLE_CAPTION = "情報"


class HarnessError(AssertionError):
    """Something the program should have done did not happen in time."""


def status_text(polygon_count):
    return STATUS_FORMAT.format(polygon_count)


def wait_until(condition, what, timeout=EFFECT_SECONDS):
    """Polls condition until it gives a true value, which is returned; after timeout seconds
    fails with what and the last value seen."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(
                f"timed out after {timeout} s waiting for {what}; last seen: {value!r}"
            )
        time.sleep(POLL_SECONDS)


def _die_with_parent():
    """Ends a child when the test process itself is killed (as by a CTest timeout), so that no
    X server or Wine process outlives the run."""
    try:
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except OSError:
        pass


def _run_detached(command, env, timeout):
    """Runs a command with no pipe to it: it may leave daemons behind that inherit its handles."""
    quiet = subprocess.DEVNULL
    subprocess.run(
        command, env=env, stdin=quiet, stdout=quiet, stderr=quiet, timeout=timeout, check=False
    )


def _run(command, env=None, timeout=60, check=True):
    result = subprocess.run(command, env=env, capture_output=True, timeout=timeout)
    if check and result.returncode != 0:
        error = result.stderr.decode(errors="replace")
        raise HarnessError(f"{command[0]} failed ({result.returncode}): {error}")
    return result


@dataclass
class Config:
    program: str
    probe: str
    prefix: str
    wine_script: str
    artifacts: str
    own_display: bool = True

    @staticmethod
    def from_environment():
        try:
            return Config(
                program=os.environ["TESSMERE_E2E_PROGRAM"],
                probe=os.environ["TESSMERE_E2E_PROBE"],
                prefix=os.environ["TESSMERE_E2E_PREFIX"],
                wine_script=os.environ["TESSMERE_E2E_WINE_SCRIPT"],
                artifacts=os.environ["TESSMERE_E2E_ARTIFACTS"],
                own_display=os.environ.get("TESSMERE_E2E_DISPLAY", "own") != "current",
            )
        except KeyError as missing:
            raise SystemExit(f"end-to-end tests need {missing} in the environment (CTest sets it)")


@dataclass
class Rect:
    left: int
    top: int
    right: int
    bottom: int

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top


@dataclass
class Area:
    """A client area: its screen origin and its size."""

    x: int
    y: int
    width: int
    height: int


@dataclass
class Geometry:
    window: Rect  # outer rectangle on the screen
    client: Area  # the main window's client area
    editor: Area  # the editor view's client area
    statusbar: Rect  # on the screen; None when there is none
    title: str
    focus: str  # "editor", "main", "other" or "none"


@dataclass
class MessageBox:
    handle: str
    rect: Rect
    caption: str
    text: str


def _unescape(text):
    escapes = {"t": "\t", "n": "\n", "r": "\r"}
    return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(1)), text)


class Display:
    """The X server the program shows on: a private Xvfb, or the one in $DISPLAY."""

    def __init__(self, own):
        self.process = None
        if not own and os.environ.get("DISPLAY"):
            self.name = os.environ["DISPLAY"]
            return
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24"]
            + ["-nolisten", "tcp"],
            pass_fds=(write_end,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent,
        )
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.stop()
            raise HarnessError("Xvfb did not start")
        self.name = f":{number}"

    def stop(self):
        if self.process is not None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.process = None


class Wine:
    """The Wine environment of the end-to-end runs.

    They run in a copy of the project's prefix beside it: ending them with wineserver -k must not
    take down Windows unit tests that CTest may run at the same time in the project's prefix, and
    the probe must find no window but the program's."""

    def __init__(self, config, display):
        base = config.prefix
        self.prefix = base + "-e2e"
        script = (
            'source "$1" && tessmere_ensure_prefix "$2" && tessmere_wine_environment "$3" && '
            "tessmere_wine_binary && tessmere_wineserver_binary && env -0"
        )
        result = _run(
            ["bash", "-c", script, "wine-env", config.wine_script, base, self.prefix], timeout=300
        )
        wine, server, environment = result.stdout.decode().split("\n", 2)
        self.wine, self.server = wine, server
        self.env = dict(item.split("=", 1) for item in environment.split("\0") if "=" in item)
        self.env["DISPLAY"] = display.name
        self._copy_prefix(base)

    def _copy_prefix(self, base):
        with open(self.prefix + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            ready = os.path.join(self.prefix, ".tessmere-ready")
            if not os.path.exists(ready):
                # Copied aside and renamed, so that a copy cut short is never taken for ready.
                partial = self.prefix + ".partial"
                shutil.rmtree(partial, ignore_errors=True)
                shutil.rmtree(self.prefix, ignore_errors=True)
                _run(["cp", "-a", base, partial])
                os.rename(partial, self.prefix)

    def start_server(self, probe):
        """Starts the prefix's wineserver and its system processes, detached from any pipe: the
        first Wine process of a prefix starts them, and they keep its standard handles open,
        which would make a caller that reads its output wait for them to end."""
        # Kept for a while after the last process, so that launches in a row find it warm, and
        # still gone soon after a test process that was killed before it could end it.
        _run_detached([self.server, f"-p{SERVER_LINGER_SECONDS}"], self.env, STARTUP_SECONDS)
        _run_detached(self.command(probe, "boxes"), self.env, STARTUP_SECONDS)

    def command(self, program, *arguments):
        return [self.wine, program, *arguments]

    def kill_all(self):
        """Ends every process of the e2e prefix, and its wineserver."""
        _run_detached([self.server, "-k"], self.env, EXIT_SECONDS)


class Session:
    """One display and one Wine environment, shared by the launches of a test class."""

    def __init__(self, config):
        self.config = config
        self.display = Display(config.own_display)
        try:
            self.wine = Wine(config, self.display)
        except BaseException:
            self.display.stop()
            raise
        self.x_env = dict(os.environ, DISPLAY=self.display.name)
        self.launches = 0
        try:
            self.wine.start_server(config.probe)
        except BaseException:
            self.close()
            raise

    def close(self):
        try:
            self.wine.kill_all()
        finally:
            self.display.stop()

    def xdotool(self, *arguments):
        _run(["xdotool", *[str(argument) for argument in arguments]], env=self.x_env)

    def park_pointer(self):
        """Puts the pointer where no window of the program will be, so that no window appears
        under it and gets an unasked mouse move."""
        self.xdotool("mousemove", SCREEN[0] - 1, SCREEN[1] - 1)

    def probe(self, *arguments, check=True):
        """Runs tessprobe with the commands given; its records as lists of fields. The output goes
        through a file, not a pipe, so nothing that inherits it can hold up the reading."""
        arguments = [str(argument) for argument in arguments]
        # NOTE: very rarely a probe under Wine ends with 1 before printing anything; a query
        # that only reads is safe to ask again, a posted message is not.
        attempts = 3 if set(arguments) & _POSTING_COMMANDS == set() else 1
        for _ in range(attempts):
            result, records = self._probe_once(arguments)
            if result.returncode == 0 or records:
                break
        if check and result.returncode != 0:
            command = " ".join(arguments)
            raise HarnessError(f"tessprobe {command} failed ({result.returncode}): {records}")
        return records

    def _probe_once(self, arguments):
        with tempfile.TemporaryFile() as output:
            result = subprocess.run(
                self.wine.command(self.config.probe, *arguments),
                env=self.wine.env,
                stdin=subprocess.DEVNULL,
                stdout=output,
                stderr=subprocess.DEVNULL,
                timeout=EFFECT_SECONDS,
                check=False,
            )
            output.seek(0)
            lines = output.read().decode("utf-8").splitlines()
        return result, [[_unescape(field) for field in line.split("\t")] for line in lines if line]

    def launch(self, artifacts, model=None):
        """Starts the program in a fresh working directory. model: bytes for model.dat, or None
        to start without one."""
        self.launches += 1
        return Program(self, artifacts, model, self.launches)


class Program:
    """One run of the program."""

    def __init__(self, session, artifacts, model, number):
        self.session = session
        self.artifacts = artifacts
        os.makedirs(artifacts, exist_ok=True)
        self.workdir = tempfile.mkdtemp(prefix="tessmere-e2e-")
        if model is not None:
            with open(self.model_path, "wb") as stream:
                stream.write(model)
        self.log = open(os.path.join(artifacts, f"wine-{number}.log"), "wb")
        session.park_pointer()
        self.process = subprocess.Popen(
            session.wine.command(session.config.program),
            cwd=self.workdir,
            env=session.wine.env,
            stdout=self.log,
            stderr=subprocess.STDOUT,
            preexec_fn=_die_with_parent,
        )
        self._geometry = None

    @property
    def model_path(self):
        return os.path.join(self.workdir, "model.dat")

    def model_bytes(self):
        """model.dat as it is now, or None when there is none."""
        try:
            with open(self.model_path, "rb") as stream:
                return stream.read()
        except FileNotFoundError:
            return None

    def write_model(self, model):
        """Replaces model.dat behind the program's back (bytes)."""
        with open(self.model_path, "wb") as stream:
            stream.write(model)

    def wait_for_saved_model(self, previous, timeout=EFFECT_SECONDS):
        """Waits until model.dat differs from previous (bytes or None) and holds a whole model;
        gives it as a gridmodel.Model."""

        def saved():
            now = self.model_bytes()
            if now is None or now == previous:
                return None
            try:
                return gridmodel.parse_model(now)
            except ValueError:
                return None  # still being written

        return wait_until(saved, "model.dat to be saved", timeout)

    # Waiting and reading state.

    def wait_for_window(self, timeout=STARTUP_SECONDS):
        """Waits until the main window and the editor view exist; gives their geometry."""
        deadline = time.monotonic() + timeout
        while True:
            if self.process.poll() is not None:
                code = self.process.returncode
                raise HarnessError(f"the program ended with {code} before its window appeared")
            try:
                self.session.probe("wait", 1000)
                return self.geometry()
            except HarnessError:
                pass
            if time.monotonic() >= deadline:
                raise HarnessError(f"no main window after {timeout} s")

    def geometry(self):
        fields = {record[0]: record[1:] for record in self.session.probe("geometry")}

        def numbers(name):
            return [int(value) for value in fields[name]] if fields[name] != ["none"] else None

        editor = numbers("editor")
        statusbar = numbers("statusbar")
        self._geometry = Geometry(
            window=Rect(*numbers("window")),
            client=Area(*numbers("client")),
            editor=Area(*editor) if editor else None,
            statusbar=Rect(*statusbar) if statusbar else None,
            title=fields["title"][0],
            focus=fields["focus"][0],
        )
        return self._geometry

    @property
    def editor(self):
        """The editor's client area, as last read (read once if never)."""
        if self._geometry is None:
            self.geometry()
        return self._geometry.editor

    def status(self):
        return self.session.probe("status")[0][1]

    def wait_for_status(self, expected, timeout=EFFECT_SECONDS):
        """Waits until the status bar shows expected (a text, or a polygon count)."""
        if isinstance(expected, int):
            expected = status_text(expected)
        seen = []

        def shows_it():
            seen.append(self.status())
            return seen[-1] == expected

        try:
            wait_until(shows_it, f"status bar {expected!r}", timeout)
        except HarnessError as failure:
            raise HarnessError(f"{failure}; it showed {seen[-1]!r}") from None
        return expected

    def message_boxes(self):
        return [
            MessageBox(record[1], Rect(*map(int, record[2:6])), *record[6:8])
            for record in self.session.probe("boxes")
            if record[0] == "box"
        ]

    def wait_for_message_box(self, timeout=EFFECT_SECONDS):
        return wait_until(self.message_boxes, "a message box", timeout)[0]

    def press_ok(self, box):
        """Presses the box's OK button and waits until the box has gone."""
        self.session.probe("ok", box.handle)
        wait_until(
            lambda: all(other.handle != box.handle for other in self.message_boxes()),
            "the box to close",
        )

    def popup_menus(self):
        records = self.session.probe("menus")
        return [Rect(*map(int, record[1:5])) for record in records if record[0] == "menu"]

    # Real input through the X server.

    def _editor_to_screen(self, x, y):
        editor = self.editor
        return editor.x + round(x), editor.y + round(y)

    def move(self, x, y):
        """Moves the pointer to a client position of the editor view."""
        self.session.xdotool("mousemove", *self._editor_to_screen(x, y))

    def move_screen(self, x, y):
        self.session.xdotool("mousemove", x, y)

    def click(self, button=1, at=None):
        """Clicks a button (1 left, 3 right), at an editor client position if given."""
        if at is not None:
            self.move(*at)
        self.session.xdotool("click", button)

    def wheel(self, notches):
        """Turns the wheel over the editor: positive notches forward (delta +120 each)."""
        for _ in range(abs(notches)):
            self.session.xdotool("click", 4 if notches > 0 else 5)

    def drag(self, start, end, steps=4, button=1):
        """Drags across the editor view in equal steps of mouse moves."""
        self.move(*start)
        self.session.xdotool("mousedown", button)
        for step in range(1, steps + 1):
            share = step / steps
            self.move(
                start[0] + (end[0] - start[0]) * share, start[1] + (end[1] - start[1]) * share
            )
        self.session.xdotool("mouseup", button)

    def key(self, *names):
        """Types keys by their X names ("l", "Left", "alt+f") into the focused window."""
        self.session.xdotool("key", *names)

    def choose_menu_item(self, letter):
        """Opens the File menu with Alt+F and picks an item by its underlined letter."""
        self.key("alt+f")
        wait_until(self.popup_menus, "the File menu to open")
        self.key(letter)

    def click_menu_item(self, position):
        """Clicks the File menu open on the menu bar, then its item at position (0 open, 1 save,
        2 exit). The pop-up holds three items of equal height and a thinner separator above the
        last; its rectangle comes from the probe, the item heights from that."""
        geometry = self.geometry()
        frame = geometry.client.x - geometry.window.left
        bar_y = geometry.client.y - 10
        self.move_screen(geometry.window.left + frame + 15, bar_y)
        self.session.xdotool("click", 1)
        menu = wait_until(self.popup_menus, "the File menu to open")[0]
        border, separator = 3, 9
        item = (menu.height - 2 * border - separator) / 3
        if position < 2:
            y = menu.top + border + item * (position + 0.5)
        else:
            y = menu.bottom - border - item / 2
        self.move_screen(menu.left + 30, round(y))
        self.session.xdotool("click", 1)

    def click_close_box(self):
        """Clicks the close box at the right end of the title bar."""
        geometry = self.geometry()
        frame = geometry.client.x - geometry.window.left
        self.move_screen(geometry.window.right - frame - 8, geometry.window.top + frame + 7)
        self.session.xdotool("click", 1)

    # Posted messages, for what real input cannot give.

    def post_key(self, virtual_key):
        """WM_KEYDOWN to the editor, for key codes no keyboard layout types (0x3A). A posted
        message overtakes typed input that the program has not fetched yet: where the order
        matters, wait for an effect of the typed keys first, or post them all."""
        self.session.probe("key", hex(virtual_key))

    def post_command(self, command):
        self.session.probe("command", command)

    def post_close(self):
        self.session.probe("close")

    # Screenshots.

    def screenshot(self, name):
        """Keeps a picture of the program (its window and any message box or menu it shows) as
        artifacts/name.png and of the OpenGL view alone as artifacts/name-view.png; returns both
        paths. A root screenshot shows the OpenGL area blank: Wine renders it into a hidden X
        window of the view's size, which is captured on its own and put in at the view's place."""
        geometry = self.geometry()
        shown = [geometry.window] + [box.rect for box in self.message_boxes()] + self.popup_menus()
        left, top = min(rect.left for rect in shown), min(rect.top for rect in shown)
        right, bottom = max(rect.right for rect in shown), max(rect.bottom for rect in shown)
        env = self.session.x_env
        whole = os.path.join(self.artifacts, f"{name}.png")
        view = os.path.join(self.artifacts, f"{name}-view.png")
        root = os.path.join(self.artifacts, f"{name}-root.png")
        _run(["import", "-window", "root", root], env=env)
        window = self._hidden_gl_window(geometry.editor)
        _run(["import", "-window", window, view], env=env)
        # The hidden window stands at (-1, -1): its first row and column fall off the screen.
        place = f"+{geometry.editor.x + 1}+{geometry.editor.y + 1}"
        crop = f"{right - left}x{bottom - top}+{left}+{top}"
        _run(
            ["convert", root, view, "-geometry", place, "-composite"]
            + ["-crop", crop, "+repage", whole]
        )
        os.remove(root)
        return whole, view

    def _hidden_gl_window(self, editor):
        tree = _run(["xwininfo", "-root", "-tree"], env=self.session.x_env).stdout
        size = f"{editor.width}x{editor.height}"
        pattern = re.compile(rf"^\s*(0x[0-9a-f]+) \(has no name\): \(\)\s+{size}\+0\+0\s+\+-1\+-1")
        lines = tree.decode(errors="replace").splitlines()
        found = [match.group(1) for match in map(pattern.match, lines) if match]
        if len(found) != 1:
            raise HarnessError(f"expected one hidden OpenGL window of {size}, found {found}")
        return found[0]

    # Ending.

    def wait_for_exit(self, timeout=EXIT_SECONDS):
        """Waits for the program to end by itself; gives its exit code."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"the program did not end within {timeout} s") from None

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def close(self):
        """Ends the program if it still runs (asked first, then forced) and removes its working
        directory. Safe to call again."""
        if self.log.closed:
            return
        try:
            if self.process.poll() is None:
                try:
                    self.session.probe("close", check=False)
                    self.process.wait(timeout=EXIT_SECONDS)
                except subprocess.TimeoutExpired:
                    self.session.wine.kill_all()
                    self.process.wait(timeout=EXIT_SECONDS)
        finally:
            self.log.close()
            shutil.rmtree(self.workdir, ignore_errors=True)


def drawn_box(view):
    """The box around everything not black in a picture of the OpenGL view, in the editor's
    client coordinates (right and bottom exclusive); None when all of it is black."""
    # convert warns, and fails, on a picture with nothing in it; the box it prints is empty.
    box = _run(["convert", view, "-format", "%@", "info:"], check=False).stdout.decode().strip()
    parsed = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", box)
    if not parsed:
        raise HarnessError(f"no box from convert for {view}: {box!r}")
    width, height, left, top = map(int, parsed.groups())
    if width == 0 or height == 0:
        return None
    # The captured view lacks the first row and column of the editor (see Program.screenshot).
    return Rect(left + 1, top + 1, left + 1 + width, top + 1 + height)


def differing_pixels(first, second):
    """Number of pixels in which two pictures of the same size differ."""
    result = _run(["compare", "-metric", "AE", first, second, "null:"], check=False)
    if result.returncode not in (0, 1):
        raise HarnessError(f"compare failed: {result.stderr.decode(errors='replace')}")
    return int(float(result.stderr.split()[0]))


class EndToEndTest(unittest.TestCase):
    """Base of the end-to-end test classes: one session per class, a program per launch,
    artifacts in a folder per test, and the time each test took on stderr."""

    session = None

    @classmethod
    def setUpClass(cls):
        cls.config = Config.from_environment()
        cls.session = Session(cls.config)

    @classmethod
    def tearDownClass(cls):
        if cls.session is not None:
            cls.session.close()
            cls.session = None

    def setUp(self):
        self.started = time.monotonic()
        self.artifacts = os.path.join(self.config.artifacts, self.id().split(".", 1)[-1])
        shutil.rmtree(self.artifacts, ignore_errors=True)

    def tearDown(self):
        print(f"\n  {self.id()}: {time.monotonic() - self.started:.1f} s", file=sys.stderr)

    def launch(self, model=None):
        """Starts the program (with model.dat holding model, bytes, unless None) and waits for
        its window. The program is ended when the test ends, however it ends, or earlier when
        it is used as a context manager (one program per subtest)."""
        program = self.session.launch(self.artifacts, model)
        self.addCleanup(program.close)
        program.wait_for_window()
        return program


def main():
    unittest.main(verbosity=2)
