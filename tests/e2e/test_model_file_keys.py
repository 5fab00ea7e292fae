"""The keys L and S of the real program: a model edited on disk is loaded, a missing file and a
model.dat that cannot be written say so in a box, and a failed save leaves the old file as it
was."""

import os
import stat

import editing
import gridmodel
from editrules import EditedGrid
from harness import LOAD_FAILED_TEXT, SAVE_FAILED_TEXT, EndToEndTest, main, status_text

POINT = gridmodel.point_index(30, 30)
ON_DISK = gridmodel.fresh_model({POINT: -0.12})


def edited_on_disk():
    """Another model, as someone might write it: heights that a reader and a writer at odds
    would move on each save (200 reads back as 0.0199999996), a height above 0, and a flipped
    cell."""
    grid = EditedGrid(
        gridmodel.fresh_model(
            {
                gridmodel.point_index(10, 10): -0.02,
                gridmodel.point_index(11, 10): 0.02,
                gridmodel.point_index(50, 60): -0.9419,
                gridmodel.point_index(12, 40): -0.0001,
            }
        )
    )
    grid.flip(gridmodel.point_index(50, 60))
    return grid


class LoadKeyTest(EndToEndTest):
    def test_l_loads_the_model_as_edited_on_disk_and_s_writes_it_back_unchanged(self):
        program = self.launch(ON_DISK.to_bytes())
        program.wait_for_status(EditedGrid(ON_DISK).drawn_count())
        # Work in the view that the load is to replace.
        program.move(*gridmodel.hover_position(POINT, program.editor.width, program.editor.height))
        editing.wheel(program, [+1, +1])

        edited = edited_on_disk()
        program.write_model(edited.model().to_bytes())
        program.key("l")
        program.wait_for_status(edited.drawn_count())
        editing.save(program)
        self.assertEqual(program.model_bytes(), edited.model().to_bytes())

        # Shift+L loads as well.
        program.write_model(ON_DISK.to_bytes())
        program.key("shift+l")
        program.wait_for_status(EditedGrid(ON_DISK).drawn_count())

    def test_l_without_model_file_says_so_and_keeps_the_model(self):
        program = self.launch(ON_DISK.to_bytes())
        count = EditedGrid(ON_DISK).drawn_count()
        program.wait_for_status(count)
        os.remove(program.model_path)

        program.key("l")
        box = program.wait_for_message_box()
        self.assertEqual(box.text, LOAD_FAILED_TEXT)
        program.screenshot("load-failed")
        editing.press_ok_and_click_view(program, box)
        self.assertEqual(program.status(), status_text(count))
        editing.save(program)
        self.assertEqual(program.model_bytes(), ON_DISK.to_bytes())


class SaveKeyTest(EndToEndTest):
    def failed_save(self, program, name):
        """Presses S, expects the save error box, and closes it."""
        program.key("s")
        box = program.wait_for_message_box()
        self.assertEqual(box.text, SAVE_FAILED_TEXT)
        program.screenshot(name)
        editing.press_ok_and_click_view(program, box, self.hover)

    def test_s_into_a_model_file_that_cannot_be_written_says_so_and_keeps_the_old_file(self):
        program = self.launch(ON_DISK.to_bytes())
        program.wait_for_status(EditedGrid(ON_DISK).drawn_count())
        # Unsaved work, which must not reach the old file.
        self.hover = gridmodel.hover_position(POINT, program.editor.width, program.editor.height)
        program.move(*self.hover)
        editing.wheel(program, [+1])

        with self.subTest("read-only model.dat"):
            os.chmod(program.model_path, 0o444)
            self.failed_save(program, "read-only")
            self.assertEqual(program.model_bytes(), ON_DISK.to_bytes())
            self.assertEqual(stat.S_IMODE(os.stat(program.model_path).st_mode), 0o444)
            self.assertEqual(os.listdir(program.workdir), ["model.dat"])
            os.remove(program.model_path)

        with self.subTest("model.dat is a directory"):
            os.mkdir(program.model_path)
            kept = os.path.join(program.model_path, "kept.txt")
            with open(kept, "wb") as stream:
                stream.write(b"kept")
            self.failed_save(program, "directory")
            self.assertEqual(os.listdir(program.model_path), ["kept.txt"])
            with open(kept, "rb") as stream:
                self.assertEqual(stream.read(), b"kept")
            self.assertEqual(os.listdir(program.workdir), ["model.dat"])
            os.remove(kept)
            os.rmdir(program.model_path)

        # The program goes on, and the next save writes the work.
        saved = editing.save(program)
        grid = EditedGrid(ON_DISK)
        grid.wheel(POINT, 5, True)
        self.assertEqual(saved.points, grid.model().points)


if __name__ == "__main__":
    main()
