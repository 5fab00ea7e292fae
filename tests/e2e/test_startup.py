"""Start-up of the real program: the missing model file, a model with one point off height 0,
and the layout of the main window."""

import gridmodel
from harness import LOAD_FAILED_TEXT, EndToEndTest, drawn_box, main, status_text


class StartUpTest(EndToEndTest):
    def test_without_model_file_says_so_then_shows_the_flat_grid(self):
        program = self.launch()
        box = program.wait_for_message_box()
        self.assertEqual(box.text, LOAD_FAILED_TEXT)
        program.screenshot("load-error-box")

        program.press_ok(box)
        program.wait_for_status(status_text(0))
        self.assertEqual(program.message_boxes(), [])
        _, view = program.screenshot("flat-grid")
        # Nothing off height 0 and nothing picked: the view is black all over.
        self.assertIsNone(drawn_box(view))

    def test_one_point_off_height_zero_shows_the_triangles_that_contain_it(self):
        # The diagonals form a checkerboard: a point where column + row is even is a corner of
        # eight triangles, any other interior point of four.
        for column, row, count in ((10, 20, 8), (11, 20, 4)):
            with self.subTest(column=column, row=row):
                index = gridmodel.point_index(column, row)
                model = gridmodel.fresh_model({index: -0.05})
                self.assertEqual(gridmodel.triangles_touching(model, index), count)

                with self.launch(model.to_bytes()) as program:
                    program.wait_for_status(status_text(count))
                    self.assertEqual(program.message_boxes(), [])
                    self.assertEqual(program.geometry().focus, "editor")
                    _, view = program.screenshot(f"point-{column}-{row}")
                    # The triangles fill the four cells around the point, where the parallel
                    # projection puts them.
                    editor = program.editor
                    expected = gridmodel.cells_around_box(index, editor.width, editor.height)
                    box = drawn_box(view)
                    self.assertIsNotNone(box)
                    edges = (box.left, box.top, box.right, box.bottom)
                    for drawn, edge in zip(edges, expected):
                        self.assertAlmostEqual(drawn, edge, delta=1.5, msg=f"{box} for {expected}")

    def test_window_is_640_by_480_and_the_editor_fills_the_client_area_above_the_status_bar(self):
        program = self.launch(gridmodel.fresh_model().to_bytes())
        program.wait_for_status(status_text(0))
        geometry = program.geometry()
        self.assertEqual(geometry.title, "Tessmere")
        self.assertEqual((geometry.window.width, geometry.window.height), (640, 480))

        client, editor, bar = geometry.client, geometry.editor, geometry.statusbar
        self.assertIsNotNone(bar, "no status bar with id 1000")
        self.assertEqual((editor.x, editor.y, editor.width), (client.x, client.y, client.width))
        self.assertEqual(editor.y + editor.height, bar.top)
        self.assertEqual((bar.left, bar.right), (client.x, client.x + client.width))
        self.assertEqual(bar.bottom, client.y + client.height)
        self.assertGreater(bar.height, 0)
        program.screenshot("layout")


if __name__ == "__main__":
    main()
