"""Sculpting the real program with the mouse and keys, and finding the work in model.dat and
again at the next start. Every expected model comes from the editor's rules (editrules)."""

import editing
import editrules
import gridmodel
from editrules import EditedGrid, first_difference
from harness import EndToEndTest, main, status_text

START_RADIUS = 5


class Sculptor:
    """Drives one program and keeps the grid that the same commands give by the rules."""

    def __init__(self, test, program, grid):
        self.test = test
        self.program = program
        self.grid = grid
        self.radius = START_RADIUS
        self.yaw = 0
        self.pitch = 0
        self.picked = -1

    def hover(self, column, row):
        index = gridmodel.point_index(column, row)
        editor = self.program.editor
        self.program.move(
            *editrules.turned_hover_position(
                index, self.grid, self.yaw, self.pitch, editor.width, editor.height
            )
        )
        self.picked = index

    def hover_background(self, x, y):
        """Moves to a place of the view where no point is drawn: nothing is picked."""
        self.program.move(x, y)
        self.picked = -1

    def wheel(self, *notches):
        editing.wheel(self.program, notches)
        for notch in notches:
            self.grid.wheel(self.picked, self.radius, notch > 0)

    def wheel_at(self, column, row, *notches):
        self.hover(column, row)
        self.wheel(*notches)
        self.program.wait_for_status(self.grid.drawn_count())

    def radius_key(self, key):
        self.program.key(key)
        self.radius = editrules.radius_of_key(key)

    def single_point_key(self):
        """Posts 0x3A. A posted key overtakes typed input not yet fetched: saving first makes
        sure that everything before it has been handled."""
        self.check("before the single-point key")
        self.program.post_key(editing.SINGLE_POINT_KEY)
        self.radius = 0

    def right_click_at(self, column, row):
        self.hover(column, row)
        self.program.click(3)
        self.grid.flip(self.picked)
        self.program.wait_for_status(self.grid.drawn_count())

    def check(self, step):
        """Saves with S and compares the file with the rules' model, and the status bar with
        the rules' count."""
        saved = editing.save(self.program)
        self.test.assertIsNone(first_difference(saved, self.grid.model()), step)
        self.test.assertEqual(self.program.status(), status_text(self.grid.drawn_count()), step)


class BrushTest(EndToEndTest):
    def test_wheel_notches_move_the_heights_the_brush_gives_for_each_radius(self):
        program = self.launch(gridmodel.fresh_model().to_bytes())
        program.wait_for_status(0)
        sculptor = Sculptor(self, program, EditedGrid())

        # Radius 5: down twice, then back once from below 0 (by the amounts, not to 0).
        sculptor.wheel_at(30, 40, +1, +1, -1)
        sculptor.check("radius 5")
        sculptor.radius_key("3")
        sculptor.wheel_at(45, 20, +1, +1)
        sculptor.radius_key("9")
        # Squares cut off by the left edge and by the top row.
        sculptor.wheel_at(0, 50, +1)
        sculptor.wheel_at(60, 65, +1)
        sculptor.check("radius 2 and 8, squares cut off at the edges")

        # Back at height 0 beside the radius-2 dent: its square is levelled at once.
        sculptor.radius_key("6")
        sculptor.wheel_at(48, 22, -1)
        sculptor.check("radius 5, backward at height 0")

        # 0x3A brushes the picked point alone; the 0 key changes nothing.
        sculptor.single_point_key()
        program.key("0")
        sculptor.wheel_at(20, 20, +1, +1, -1)
        sculptor.check("single point")


class RightClickTest(EndToEndTest):
    def test_a_right_click_flips_the_picked_cell_and_a_second_flips_it_back(self):
        # A lone point off height 0 is the south-east corner of cell (20, 20); flipping that
        # cell turns its one drawn triangle into two.
        lowered = gridmodel.point_index(21, 20)
        model = gridmodel.fresh_model({lowered: -0.05})
        program = self.launch(model.to_bytes())
        grid = EditedGrid(model)
        program.wait_for_status(grid.drawn_count())
        sculptor = Sculptor(self, program, grid)

        sculptor.right_click_at(20, 20)
        self.assertEqual(grid.drawn_count(), 5)
        sculptor.check("flipped once")
        sculptor.right_click_at(20, 20)
        sculptor.check("flipped back")

        # Points of the last column and row are no cell's corner: nothing to flip. They can
        # only be picked in a turned view: straight from above, a point of a lower index is
        # always in the pick square with them.
        program.key("Left", "Left", "Down", "Down")
        sculptor.yaw, sculptor.pitch = 20, 20
        sculptor.right_click_at(69, 30)
        sculptor.right_click_at(30, 69)
        # And a flip of a cell under the sculpted surface is kept by the file.
        sculptor.right_click_at(21, 19)
        sculptor.check("last column and row, then cell (21, 19)")


class DragTest(EndToEndTest):
    HILL = gridmodel.point_index(35, 35)
    STEPS = 10
    STEP = (15, 8)  # right and down: each message adds 4 to yaw and 2 to pitch

    # A dent in the corner, where a brush without a picked point would start if it started.
    CORNER = gridmodel.point_index(1, 1)

    def hill(self):
        grid = EditedGrid()
        for centre, radius in ((self.HILL, 8), (self.HILL, 5), (self.CORNER, 5)):
            for _ in range(3):
                grid.wheel(centre, radius, True)
        return grid.reloaded()

    def test_a_drag_turns_the_view_by_fixed_steps_and_the_brush_picks_in_the_turned_view(self):
        grid = self.hill()
        program = self.launch(grid.model().to_bytes())
        program.wait_for_status(grid.drawn_count())
        start = (150, 120)
        picture = editing.view_pixels(program)
        program.move(*start)
        picture = editing.wait_for_new_picture(program, picture)
        program.session.xdotool("mousedown", 1)
        position = start
        # One message per step: a move sent before the last was handled would merge with it.
        for _ in range(self.STEPS):
            position = (position[0] + self.STEP[0], position[1] + self.STEP[1])
            program.move(*position)
            picture = editing.wait_for_new_picture(program, picture)
        program.session.xdotool("mouseup", 1)
        program.screenshot("dragged")
        yaw = self.STEPS * editrules.DRAG_YAW_STEP
        pitch = self.STEPS * editrules.DRAG_PITCH_STEP

        # The brush then works where the turned picture shows the point.
        sculptor = Sculptor(self, program, grid)
        sculptor.yaw, sculptor.pitch = yaw, pitch
        sculptor.wheel_at(58, 12, +1)
        sculptor.check("wheel in the turned view")
        # The turned grid leaves the corners of the view empty: there nothing is picked, and
        # the wheel changes nothing with either brush.
        sculptor.hover_background(5, 5)
        sculptor.wheel(+1, -1)
        sculptor.check("area brush with nothing picked")
        sculptor.single_point_key()
        sculptor.wheel(+1, -1)
        sculptor.check("single-point brush with nothing picked")
        program.close()

        # The arrow keys to the same angles give the same picture.
        hill = self.hill()
        turned = self.launch(hill.model().to_bytes())
        turned.wait_for_status(hill.drawn_count())
        turned.key(*["Left"] * (yaw // editrules.KEY_TURN))
        turned.key(*["Down"] * (pitch // editrules.KEY_TURN))
        turned.move(*position)
        editing.wait_for_picture(turned, picture)


class PersistenceTest(EndToEndTest):
    CENTRE = (35, 35)
    # Notches of the wheel at the centre per radius key: a broad hill with a peak.
    HILL = (("9", 8), ("6", 4), ("3", 4))
    # From the side and a little from the left, where the hill stands out against the grid.
    SIDE_KEYS = ["Left"] * 3 + ["Down"] * 6

    def pictures(self, program, prefix):
        """The view from above, then from the side filled and outlined; a screenshot of each
        side view is kept. The first picture must already be on show. Saving after the keys
        makes sure that all of them have been handled."""
        above = editing.view_pixels(program)
        program.key(*self.SIDE_KEYS)
        editing.save(program)
        filled = editing.view_pixels(program)
        program.screenshot(f"{prefix}-filled")
        program.key("2")
        editing.save(program)
        outlined = editing.view_pixels(program)
        program.screenshot(f"{prefix}-outlined")
        return above, filled, outlined

    def test_a_hill_saved_with_s_comes_back_at_the_next_start_with_the_same_picture(self):
        program = self.launch(gridmodel.fresh_model().to_bytes())
        program.wait_for_status(0)
        sculptor = Sculptor(self, program, EditedGrid())
        for key, notches in self.HILL:
            sculptor.radius_key(key)
            sculptor.wheel_at(*self.CENTRE, *[+1] * notches)
        sculptor.check("the hill")
        saved = program.model_bytes()
        # The file keeps four decimals of each height: what the next start shows is the model
        # as L reads it back, and saving that again writes the same bytes.
        program.key("l")
        sculptor.grid = sculptor.grid.reloaded()
        sculptor.check("saved again after L")
        self.assertEqual(program.model_bytes(), saved)
        pictures = self.pictures(program, "sculpted")
        program.post_close()
        self.assertEqual(program.wait_for_exit(), 0)
        self.assertEqual(program.model_bytes(), saved)

        # The next start finds the hill: the same count and, with the pointer and the brush's
        # marks where they were, the same pictures.
        restarted = self.launch(saved)
        restarted.wait_for_status(sculptor.grid.drawn_count())
        restarted.key(self.HILL[-1][0])
        sculptor.program = restarted
        sculptor.hover(*self.CENTRE)
        editing.wait_for_picture(restarted, pictures[0])
        self.assertEqual(self.pictures(restarted, "restarted"), pictures)


if __name__ == "__main__":
    main()
