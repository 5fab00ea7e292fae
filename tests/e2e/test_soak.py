"""A long random session on the real program: thousands of moves, drags, wheel notches, clicks
and key presses, bound and unbound, with loads and saves among them. After every batch of
them S must save a whole, consistent model; at the end the program must still answer, and S,
L, S must write the same bytes.

The seed is printed; TESSMERE_SOAK_SEED replays a run's input (the program may merge a few mouse
moves differently). TESSMERE_SOAK_EVENTS sets the number of events (default 8000, about two
minutes here); a run much longer than that needs a longer CTest timeout (TESSMERE_SOAK_TIMEOUT,
600 seconds unless configured otherwise), for example:

    cmake --preset windows -DTESSMERE_SOAK_TIMEOUT=3600
    TESSMERE_SOAK_EVENTS=50000 ctest --preset windows -R e2e_soak --output-on-failure
"""

import os
import random
import sys
import time

import editing
import gridmodel
from editrules import EditedGrid
from harness import EndToEndTest, HarnessError, main

DEFAULT_EVENTS = 8000
BATCH_EVENTS = (20, 80)  # events between two saves
SAVE_SECONDS = 30  # a batch takes a second or two to handle
BOUND_KEYS = ["Left", "Up", "Right", "Down", "1", "2", "3", "4", "5", "6", "7", "8", "9"]
LOAD_KEYS = ["l", "shift+l"]
# Keys without a command: each only redraws. No Alt or F10, which would open the menu.
UNBOUND_KEYS = ["0", "a", "z", "space", "Return", "Escape", "Tab", "BackSpace", "Home"]
UNBOUND_KEYS += ["shift", "ctrl", "KP_5"]
UNBOUND_KEY_CODE = 0x30  # the 0 key
# Relative weights of the kinds of event.
WEIGHTS = {
    "move": 30,
    "drag": 6,
    "wheel": 20,
    "left click": 4,
    "right click": 8,
    "bound key": 15,
    "unbound key": 6,
    "load": 2,
}


def consistency_problems(model):
    """What a saved model may never show, however it was edited: a triangle index outside the
    points, or a cell whose triangles disagree with its flag."""
    problems = []
    for triangle in model.triangles:
        if not all(0 <= vertex < gridmodel.POINT_COUNT for vertex in triangle):
            problems.append(f"triangle {triangle} leaves the grid")
    for row in range(gridmodel.SIZE - 1):
        for column in range(gridmodel.SIZE - 1):
            south_west = gridmodel.point_index(column, row)
            orientation = model.points[south_west][1]
            first = 2 * (row * (gridmodel.SIZE - 1) + column)
            expected = gridmodel.cell_triangles(column, row, orientation)
            if [tuple(t) for t in model.triangles[first : first + 2]] != expected:
                problems.append(f"cell ({column}, {row}) disagrees with its flag {orientation}")
    return problems[:5]


class RandomSession:
    """Makes random events as xdotool arguments, at screen positions over the program."""

    def __init__(self, rng, program):
        self.rng = rng
        self.program = program
        geometry = program.geometry()
        self.editor = geometry.editor
        self.statusbar = geometry.statusbar

    def view_point(self):
        return self.rng.randrange(self.editor.width), self.rng.randrange(self.editor.height)

    def anywhere(self):
        """Mostly the view; now and then the status bar or the screen beside the window."""
        chance = self.rng.random()
        if chance < 0.9:
            x, y = self.view_point()
            return self.editor.x + x, self.editor.y + y
        if chance < 0.95:
            return self.rng.randrange(self.statusbar.left, self.statusbar.right), (
                self.statusbar.top + self.statusbar.height // 2
            )
        return self.rng.randrange(700, 1200), self.rng.randrange(100, 900)

    def in_view(self):
        x, y = self.view_point()
        return self.editor.x + x, self.editor.y + y

    def event(self, kind):
        """xdotool arguments for one event of the kind, and how many events it counts as."""
        rng = self.rng
        if kind == "move":
            return ["mousemove", *self.anywhere()], 1
        if kind == "drag":
            steps = rng.randint(1, 6)
            arguments = ["mousemove", *self.in_view(), "mousedown", "1"]
            for _ in range(steps):
                arguments += ["mousemove", *self.anywhere()]
            return arguments + ["mouseup", "1"], steps + 3
        if kind == "wheel":
            notches = rng.randint(1, 3)
            button = rng.choice([editing.FORWARD, editing.BACKWARD])
            return ["click", "--delay", "0", "--repeat", notches, button], notches
        if kind == "left click":
            return ["mousemove", *self.in_view(), "click", "--delay", "0", "1"], 2
        if kind == "right click":
            return ["mousemove", *self.in_view(), "click", "--delay", "0", "3"], 2
        if kind == "bound key":
            return ["key", "--delay", "0", rng.choice(BOUND_KEYS)], 1
        if kind == "unbound key":
            return ["key", "--delay", "0", rng.choice(UNBOUND_KEYS)], 1
        if kind == "load":
            return ["key", "--delay", "0", rng.choice(LOAD_KEYS)], 1
        raise ValueError(kind)

    def batch(self, size):
        """Arguments for about size random events; the number of events they make."""
        kinds, weights = zip(*WEIGHTS.items())
        arguments, count = [], 0
        while count < size:
            more, events = self.event(self.rng.choices(kinds, weights)[0])
            arguments += more
            count += events
        return arguments, count


class SoakTest(EndToEndTest):
    def test_thousands_of_random_inputs_leave_the_program_answering_and_its_saves_sound(self):
        seed = int(os.environ.get("TESSMERE_SOAK_SEED", random.SystemRandom().randrange(2**32)))
        events = int(os.environ.get("TESSMERE_SOAK_EVENTS", DEFAULT_EVENTS))
        print(f"\n  soak seed {seed} (TESSMERE_SOAK_SEED={seed} replays it)", file=sys.stderr)
        rng = random.Random(seed)

        start = EditedGrid(gridmodel.fresh_model())
        program = self.launch(start.model().to_bytes())
        program.wait_for_status(0)
        session = RandomSession(rng, program)
        started = time.monotonic()
        sent = saves = posted = 0
        while sent < events:
            # A posted key overtakes typed input: posted right after a save, it comes first.
            if rng.random() < 0.2:
                program.post_key(editing.SINGLE_POINT_KEY)
                posted += 1
                sent += 1
            arguments, count = session.batch(min(rng.randint(*BATCH_EVENTS), events - sent))
            program.session.xdotool(*arguments)
            sent += count
            context = f"seed {seed}, after {sent} events"
            # A message box would take the keys: the save would not come.
            try:
                saved = editing.save(program, timeout=SAVE_SECONDS)
            except HarnessError as failure:
                boxes = program.message_boxes() if program.process.poll() is None else []
                raise HarnessError(f"{failure}; {context}; boxes shown: {boxes}") from None
            saves += 1
            self.assertEqual(consistency_problems(saved), [], context)
        seconds = time.monotonic() - started
        program.screenshot("after-soak")
        print(
            f"  soak: {sent} events ({posted} posted, {saves} saves) in {seconds:.0f} s,"
            f" {sent / seconds:.0f} per second",
            file=sys.stderr,
        )

        # S, L, S: what was saved reads back and saves again byte for byte, and a redraw shows
        # the count of the saved model.
        first = program.model_bytes()
        program.key("l")
        editing.save(program)
        self.assertEqual(program.model_bytes(), first, f"seed {seed}")
        program.post_key(UNBOUND_KEY_CODE)
        program.wait_for_status(EditedGrid(gridmodel.parse_model(first)).drawn_count())
        # The status bar follows: a model put on disk and loaded shows its own count.
        known = EditedGrid(gridmodel.fresh_model({gridmodel.point_index(11, 20): -0.05}))
        if known.drawn_count() == EditedGrid(gridmodel.parse_model(first)).drawn_count():
            known = EditedGrid(gridmodel.fresh_model({gridmodel.point_index(10, 20): -0.05}))
        program.write_model(known.model().to_bytes())
        program.key("l")
        program.wait_for_status(known.drawn_count())

        program.post_close()
        self.assertEqual(program.wait_for_exit(), 0, f"seed {seed}")


if __name__ == "__main__":
    main()
