"""The real keyer's main window under Xvfb: start-up, the window, fields, clock and the ways out."""

import datetime
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from controls import *  # noqa: E402,F403
from harness import Desktop, Keyer, TITLE, wait_for  # noqa: E402

DEFAULT_FILE = (b"TN001    800\r\nTN002    50\r\nTN003    TEST DE QX7ZAB =\r\nTN004    4000\r\n"
                b"TN005    2000\r\nTN006    73\r\nTN007    1000\r\nTN008    COM1\r\n"
                b"TN009    2025-11-27 15:21\r\nTN010    2025-11-30 09:30\r\n")



class MainWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.__exit__(None, None, None)

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="tonvirke-desktop-")
        self.keyer = Keyer(self.desktop, self.dir.name)

    def tearDown(self):
        if self.keyer.proc and self.keyer.running():
            self.keyer.proc.kill()
            self.keyer.proc.wait()
        self.dir.cleanup()

    def test_first_start_writes_the_defaults_and_shows_them(self):
        self.keyer.start()
        self.assertEqual((Path(self.dir.name) / "tonvirke.cnf").read_bytes(), DEFAULT_FILE)
        self.assertEqual(len(DEFAULT_FILE), 181)
        self.assertEqual(self.keyer.field_text(FIELD_TONE), "800")
        self.assertEqual(self.keyer.field_text(FIELD_MESSAGE), "TEST DE QX7ZAB =")
        self.desktop.screenshot(Path(self.dir.name).parent / "tonvirke-main-window.png")

    def test_window_title_size_and_centring(self):
        self.keyer.start()
        self.assertEqual(self.keyer.title(), TITLE + " " * 90)
        g = self.keyer.geometry()
        self.assertEqual((g["WIDTH"], g["HEIGHT"]), (1280, 800))
        # The whole frame (border, title bar, border) is centred on the 1600 x 1000 display.
        frame_w = g["WIDTH"] + 2 * g["DX"]
        frame_h = g["HEIGHT"] + g["DY"] + g["DX"]
        self.assertLessEqual(abs(g["X"] - g["DX"] - (1600 - frame_w) // 2), 1)
        self.assertLessEqual(abs(g["Y"] - g["DY"] - (1000 - frame_h) // 2), 1)
        self.assertGreater(g["DY"], g["DX"], "a title bar above the client area")

    def test_close_box_and_close_shortcut_leave_it_running(self):
        self.keyer.start()
        self.keyer.activate()
        self.keyer.key("alt+F4")
        g = self.keyer.geometry()
        # The close box sits at the right end of openbox's title bar.
        self.desktop.xdotool("mousemove", str(g["X"] + 1280 - 8), str(g["Y"] - g["DY"] // 2))
        self.desktop.xdotool("click", "1")
        time.sleep(0.5)
        self.assertTrue(self.keyer.running())
        self.assertIsNotNone(self.keyer.find_window(TITLE, timeout=1))

    def test_capitals_field_turns_letters_into_capitals(self):
        self.keyer.start()
        self.keyer.click_control(FIELD_MESSAGE)
        self.keyer.key("ctrl+a", "BackSpace")
        self.keyer.type("abcå")
        self.assertEqual(self.keyer.field_text(FIELD_MESSAGE), "ABCÅ")
        self.keyer.click_control(FIELD_TONE)
        self.keyer.key("ctrl+a", "BackSpace")
        self.keyer.type("abc")
        self.assertEqual(self.keyer.field_text(FIELD_TONE), "abc")

    def test_current_time_button_fills_start_and_stop(self):
        self.keyer.start()
        before = datetime.datetime.now().strftime("%Y-%m-%d %H:%M")
        self.keyer.click_control(BUTTON_NOW)
        after = datetime.datetime.now().strftime("%Y-%m-%d %H:%M")
        start = self.keyer.field_text(FIELD_START)
        self.assertIn(start, (before, after))
        self.assertEqual(self.keyer.field_text(FIELD_STOP), start)

    def test_escape_released_ends_with_zero(self):
        self.keyer.start()
        self.keyer.click_control(FIELD_MESSAGE)  # the caret in a field does not matter
        self.keyer.key_down("Escape")
        time.sleep(0.6)
        self.assertTrue(self.keyer.running(), "held Escape does nothing until released")
        self.keyer.key_up("Escape")
        released = time.monotonic()
        self.assertEqual(self.keyer.wait_exit(5), 0)
        print(f"ended {1000 * (time.monotonic() - released):.0f} ms after Escape was released")
        self.assertLess(time.monotonic() - released, 1.0)

    def test_escape_in_another_window_does_nothing(self):
        self.keyer.start()
        other = self.desktop._start(["xmessage", "-geometry", "+10+10", "another program"])
        window = self.keyer.find_window("xmessage", timeout=5)
        self.assertIsNotNone(window)
        self.keyer.activate(window)
        self.keyer.key("Escape")
        self.desktop.xdotool("keydown", "Escape")
        time.sleep(0.4)
        self.desktop.xdotool("keyup", "Escape")
        time.sleep(0.6)
        self.assertTrue(self.keyer.running())
        other.kill()

    def test_quit_button_ends_with_zero(self):
        self.keyer.start()
        self.keyer.click_control(BUTTON_QUIT)
        self.assertEqual(self.keyer.wait_exit(5), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
