"""Start-up that cannot finish: the program without its terrain bitmap says so and ends."""

import dataclasses
import os
import shutil
import subprocess
import tempfile

from harness import EXIT_SECONDS, STARTUP_SECONDS, EndToEndTest, main, wait_until

TEXTURE_FAILED_TEXT = "テクスチャの作成に失敗しました。"
BITMAP_TYPE = 2  # RT_BITMAP
BITMAP_NAME = "BMPTEST"
FAILED_EXIT_CODE = 1


def keep_picture(session, rect, path):
    """Keeps a picture of a part of the screen: a box shown without a main window."""
    crop = f"{rect.width}x{rect.height}+{rect.left}+{rect.top}"
    subprocess.run(
        ["import", "-window", "root", "-crop", crop, "+repage", path],
        env=session.x_env,
        capture_output=True,
        timeout=60,
        check=True,
    )


class StartUpFailureTest(EndToEndTest):
    def setUp(self):
        super().setUp()
        self.folder = tempfile.mkdtemp(prefix="tessmere-e2e-copy-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def program_without_bitmap(self):
        """A copy of the program without its bitmap resource. The helper runs in the copy's
        folder with relative names: it is a Windows program and reads Windows paths."""
        original = os.path.join(self.folder, "original.exe")
        strip = os.environ["TESSMERE_E2E_STRIP"]
        subprocess.run([strip, "-o", original, self.config.program], check=True, timeout=60)
        helper = os.environ["TESSMERE_E2E_DROP_RESOURCE"]
        result = subprocess.run(
            self.session.wine.command(
                helper, "original.exe", "tessmere.exe", str(BITMAP_TYPE), BITMAP_NAME
            ),
            cwd=self.folder,
            env=self.session.wine.env,
            stdin=subprocess.DEVNULL,
            capture_output=True,
            timeout=60,
            check=False,
        )
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        return os.path.join(self.folder, "tessmere.exe")

    def test_without_the_terrain_bitmap_a_stop_box_says_so_and_the_program_ends_with_1(self):
        stripped = self.program_without_bitmap()
        # The session starts whatever its configuration names; this once, the copy.
        original = self.session.config
        self.session.config = dataclasses.replace(original, program=stripped)
        try:
            program = self.session.launch(self.artifacts)
        finally:
            self.session.config = original
        self.addCleanup(program.close)

        # There is no main window to wait for: the box comes first, and alone. A crash would
        # end the program instead, which fails at once rather than after the timeout.
        boxes = wait_until(
            lambda: program.message_boxes() or program.process.poll() is not None,
            "a message box or the end of the program",
            timeout=STARTUP_SECONDS,
        )
        self.assertIsNone(program.process.poll(), "the program ended without a box")
        box = boxes[0]
        self.assertEqual(box.text, TEXTURE_FAILED_TEXT)
        keep_picture(self.session, box.rect, os.path.join(self.artifacts, "texture-failed.png"))

        program.press_ok(box)
        self.assertEqual(program.wait_for_exit(EXIT_SECONDS), FAILED_EXIT_CODE)
        self.assertEqual(program.message_boxes(), [])


if __name__ == "__main__":
    main()
