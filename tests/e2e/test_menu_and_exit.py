"""The File menu and the ways out of the real program."""

import os

import gridmodel
from harness import NOT_AVAILABLE_CAPTION, NOT_AVAILABLE_TEXT, EndToEndTest, main, status_text

# A model with something to show, so that a load or save through the menu would be seen.
POINT = gridmodel.point_index(30, 30)
MODEL = gridmodel.fresh_model({POINT: -0.1}).to_bytes()


class MenuTest(EndToEndTest):
    def test_open_and_save_items_only_say_they_are_not_available(self):
        program = self.launch(MODEL)
        program.wait_for_status(status_text(8))
        choices = (
            ("open, by keyboard", lambda: program.choose_menu_item("l")),
            ("save, by keyboard", lambda: program.choose_menu_item("s")),
            ("open, by mouse", lambda: program.click_menu_item(0)),
            ("save, by mouse", lambda: program.click_menu_item(1)),
        )
        for how, choose in choices:
            with self.subTest(how):
                choose()
                box = program.wait_for_message_box()
                self.assertEqual(box.caption, NOT_AVAILABLE_CAPTION)
                self.assertEqual(box.text, NOT_AVAILABLE_TEXT)
                program.screenshot(how.replace(", ", "-").replace(" ", "-"))
                program.press_ok(box)
                self.assertEqual(program.model_bytes(), MODEL)
                self.assertEqual(os.listdir(program.workdir), ["model.dat"])
        self.assertEqual(program.status(), status_text(8))


class ExitTest(EndToEndTest):
    def test_every_way_out_ends_with_exit_code_0_and_saves_nothing(self):
        ways = (
            ("exit item, by keyboard", lambda program: program.choose_menu_item("x")),
            ("exit item, by mouse", lambda program: program.click_menu_item(2)),
            ("close box", lambda program: program.click_close_box()),
            ("Alt+F4", lambda program: program.key("alt+F4")),
            ("WM_CLOSE", lambda program: program.post_close()),
        )
        for how, leave in ways:
            with self.subTest(how):
                with self.launch(MODEL) as program:
                    program.wait_for_status(status_text(8))
                    leave(program)
                    self.assertEqual(program.wait_for_exit(), 0)
                    self.assertEqual(program.model_bytes(), MODEL)
                    self.assertEqual(os.listdir(program.workdir), ["model.dat"])


if __name__ == "__main__":
    main()
