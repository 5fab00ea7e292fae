"""Steps of an editing session on the real program, shared by the sculpting, model file and
soak tests: saving with S and reading the file back, wheel notches, and the view's pixels."""

import os
import subprocess

import gridmodel
from harness import EFFECT_SECONDS, HarnessError, wait_until

FORWARD, BACKWARD = 4, 5  # X buttons of the wheel: delta +120 and -120
# The key code of the single-point brush, which no keyboard layout types: it is posted.
SINGLE_POINT_KEY = 0x3A


def file_identity(path):
    """Tells one file from the next at the same path: the program saves into a new file and
    renames it over the old one, so every save gives a new inode."""
    try:
        return os.stat(path).st_ino
    except FileNotFoundError:
        return None


def save(program, timeout=EFFECT_SECONDS):
    """Presses S and waits until the program has replaced model.dat; gives the saved model. As
    typed input is handled in order, everything typed or clicked before has been handled too."""
    before = file_identity(program.model_path)
    program.key("s")

    def saved():
        if program.process.poll() is not None:
            raise HarnessError(f"the program ended with {program.process.returncode}")
        return file_identity(program.model_path) != before

    wait_until(saved, "S to save", timeout)
    return gridmodel.parse_model(program.model_bytes())


def press_ok_and_click_view(program, box, at=(10, 10)):
    """Closes a message box and clicks into the view, as a person must before typing again:
    the closed box hands the keyboard focus to the main window, which keeps it."""
    program.press_ok(box)
    program.click(1, at=at)
    wait_until(lambda: program.geometry().focus == "editor", "the view to have the focus")


def wheel(program, notches):
    """Turns the wheel by the given notches over the pointer: each item +1 (forward) or -1."""
    buttons = [FORWARD if notch > 0 else BACKWARD for notch in notches]
    arguments = []
    for button in buttons:
        arguments += ["click", "--delay", "0", button]
    program.session.xdotool(*arguments)


def view_pixels(program):
    """The OpenGL view as raw RGB bytes, from Wine's hidden window of the view."""
    window = program._hidden_gl_window(program.editor)
    result = subprocess.run(
        ["import", "-window", window, "rgb:-"],
        env=program.session.x_env,
        capture_output=True,
        timeout=EFFECT_SECONDS,
        check=False,
    )
    if result.returncode != 0:
        raise HarnessError(f"import failed: {result.stderr.decode(errors='replace')}")
    return result.stdout


def wait_for_new_picture(program, previous):
    """Waits until the view shows something other than the previous pixels; gives the new."""

    def changed():
        now = view_pixels(program)
        return now if now != previous else None

    return wait_until(changed, "the view to change")


def wait_for_picture(program, expected):
    """Waits until the view shows exactly the expected pixels."""
    seen = []

    def same():
        seen.append(view_pixels(program))
        return seen[-1] == expected

    try:
        wait_until(same, "the view to show the expected picture")
    except HarnessError as failure:
        if not seen:
            raise
        differing = sum(1 for a, b in zip(seen[-1], expected) if a != b)
        raise HarnessError(f"{failure}; {differing} colour bytes differ") from None
