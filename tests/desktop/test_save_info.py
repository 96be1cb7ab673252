"""Save and the information window in the real keyer under Xvfb."""

import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import morse_audio  # noqa: E402
from controls import *  # noqa: E402,F403
from harness import Desktop, Keyer, TITLE, wait_for  # noqa: E402



def process_resources(pid):
    fds = len(list(Path(f"/proc/{pid}/fd").iterdir()))
    status = Path(f"/proc/{pid}/status").read_text()
    rss = next(int(line.split()[1]) for line in status.splitlines() if line.startswith("VmRSS"))
    return fds, rss


class SaveAndInfo(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="tonvirke-save-")
        self.path = Path(self.dir.name)
        self.audio = self.path / "audio.f32"
        self.desktop = Desktop(audio=self.audio).__enter__()
        self.keyer = Keyer(self.desktop, self.path).start()

    def tearDown(self):
        self.desktop.__exit__(None, None, None)
        self.dir.cleanup()

    def replace_text(self, rect, text):
        self.keyer.click_control(rect)
        self.keyer.key("ctrl+a", "BackSpace")
        if text:
            self.keyer.type(text)

    def save(self):
        """Presses "Spara" and waits for the rebuilt main window."""
        old = self.keyer.window
        self.keyer.click_control(BUTTON_SAVE)
        new = wait_for(lambda: (w := self.keyer.find_window(TITLE, 1)) not in (None, old) and w,
                       timeout=10)
        self.assertTrue(new, "the screen was rebuilt")
        self.keyer.window = new
        time.sleep(0.2)

    def test_saved_fields_reach_the_file_as_typed(self):
        self.replace_text(FIELD_TONE, "700")
        self.replace_text(FIELD_MESSAGE, "cq dx de sm5")
        self.replace_text(FIELD_PORT, "")
        self.replace_text(FIELD_START, " 2025-12-24 18:00 ")
        self.save()
        self.assertEqual((self.path / "tonvirke.cnf").read_bytes(),
                         b"TN001    700\r\nTN002    50\r\nTN003    CQ DX DE SM5\r\nTN004    4000\r\n"
                         b"TN005    2000\r\nTN006    73\r\nTN007    1000\r\nTN008    \r\n"
                         b"TN009     2025-12-24 18:00 \r\nTN010    2025-11-30 09:30\r\n")
        self.assertEqual(self.keyer.field_text(FIELD_START), " 2025-12-24 18:00 ")

    def test_a_hundred_saves_hold_no_more_than_the_first(self):
        self.save()
        first = process_resources(self.keyer.proc.pid)
        for _ in range(99):
            self.save()
        last = process_resources(self.keyer.proc.pid)
        print(f"after 1 save: {first[0]} descriptors, {first[1]} kB resident; "
              f"after 100: {last[0]} descriptors, {last[1]} kB resident")
        self.assertEqual(last[0], first[0])
        self.assertLess(last[1] - first[1], 4096)

    def test_information_window_takes_only_its_own_button(self):
        self.replace_text(FIELD_TONE, "1234")  # typed, not saved
        self.keyer.click_control(BUTTON_INFO)
        info = wait_for(lambda: (w := self.keyer.find_window(TITLE, 1)) != self.keyer.window and w)
        self.assertTrue(info)
        g = self.keyer.geometry(info)
        self.assertEqual((g["WIDTH"], g["HEIGHT"]), (600, 600))
        # Main-window buttons, the close box and Escape do nothing while it is open.
        self.keyer.activate(self.keyer.window)
        self.keyer.click_control(BUTTON_TEST)
        self.keyer.activate(info)
        self.keyer.key("alt+F4")
        self.keyer.tap("Escape", hold=0.4)
        time.sleep(1.0)
        self.assertTrue(self.keyer.running())
        self.assertEqual(self.keyer.find_window(TITLE, 1), info)
        # The sound output opens with the first tone: no file, nothing was keyed.
        samples = morse_audio.load_f32(self.audio) if self.audio.exists() else []
        self.assertEqual(max((abs(v) for v in samples), default=0), 0, "nothing was sent")
        self.keyer.click_control(BUTTON_CLOSE_INFO, window=info)
        main = wait_for(lambda: (w := self.keyer.find_window(TITLE, 1)) != info and w)
        self.assertTrue(main)
        self.keyer.window = main
        time.sleep(0.3)
        self.assertEqual(self.keyer.field_text(FIELD_TONE), "800", "unsaved value reverted")


if __name__ == "__main__":
    unittest.main(verbosity=2)
