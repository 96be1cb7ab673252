"""A transmission of the real keyer, recorded and decoded by an independent decoder."""

import statistics
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import morse_audio  # noqa: E402
from controls import *  # noqa: E402,F403
from harness import Desktop, Keyer, wait_for  # noqa: E402

# A slow speed: a late wake-up of the keyer on a busy machine stays well inside one unit.
UNIT_MS = 100


def settings(tone="800", message="PARIS", port="", count="1", unit="50"):
    values = [tone, unit, message, "0", "0", count, "0", port, "2025-11-27 15:21",
              "2025-11-30 09:30"]
    return "".join(f"TN{i + 1:03d}    {v}\r\n" for i, v in enumerate(values)).encode()


class Transmission(unittest.TestCase):
    def run_test_transmission(self, tone, typed):
        with tempfile.TemporaryDirectory(prefix="tonvirke-tx-") as tmp:
            tmp = Path(tmp)
            (tmp / "tonvirke.cnf").write_bytes(settings(tone=tone, unit=str(UNIT_MS)))
            audio = tmp / "audio.f32"
            with Desktop(audio=audio) as desktop:
                keyer = Keyer(desktop, tmp).start()
                g = keyer.geometry()
                keyer.click_control(FIELD_MESSAGE)
                keyer.key("ctrl+a", "BackSpace")
                keyer.type(typed)
                keyer.click_control(BUTTON_TEST)
                # "Klart" appears in the status line when the run is over.
                done = (g["X"] + DONE_LABEL[0], g["Y"] + DONE_LABEL[1], DONE_LABEL[2],
                        DONE_LABEL[3])
                self.assertTrue(wait_for(lambda: desktop.dark_pixels(done) > 20, timeout=30,
                                         step=0.5), "no Klart")
                time.sleep(0.3)
                keyer.tap("Escape")
                self.assertEqual(keyer.wait_exit(10), 0)
            samples = morse_audio.load_f32(audio)
            raw = tmp / "audio.s16"
            morse_audio.save_s16(samples, raw)
            return samples, morse_audio.decode(raw, unit_ms=UNIT_MS)

    def heard(self, tone, typed, expected):
        """Sends typed and returns the recording once it decodes as expected. A virtual
        machine can stall the keyer for a tenth of a second; a recording that shows such a
        stall is sent again, at most twice. A clean recording must decode right at once."""
        for attempt in range(3):
            samples, text = self.run_test_transmission(tone, typed)
            stalls = morse_audio.off_beat(samples, UNIT_MS)
            if text == expected or not stalls:
                break
            print(f"heard {text!r} from a stalled recording {stalls}; sending again")
        self.assertEqual(text, expected, f"stalls seen: {stalls}")
        return samples

    def test_typed_message_is_heard_at_800_hz(self):
        samples = self.heard("800", "cq de sm5abc", "CQ DE SM5ABC")
        tones = morse_audio.segments(samples)
        pitches = [morse_audio.pitch(samples, a, b) for a, b in tones]
        self.assertTrue(all(abs(p - 800.0) < 0.5 for p in pitches), pitches)
        lengths = sorted(round((b - a) / 48) for a, b in tones)
        print("tone lengths (ms):", lengths)
        self.assertEqual(len(lengths), 32)  # the elements of CQ DE SM5ABC: 20 dots, 12 dashes
        # The typical dot and dash; single lengths are measured in bench/, not here.
        self.assertAlmostEqual(statistics.median(lengths[:20]), UNIT_MS, delta=UNIT_MS * 0.05)
        self.assertAlmostEqual(statistics.median(lengths[20:]), 3 * UNIT_MS,
                               delta=3 * UNIT_MS * 0.05)

    def test_700_hz_sounds_at_the_whole_sample_period(self):
        samples = self.heard("700", "TEST", "TEST")
        a, b = morse_audio.segments(samples)[0]
        self.assertAlmostEqual(morse_audio.pitch(samples, a, b), 48000 / 68, delta=0.2)

    def test_escape_abandons_a_run_at_the_next_dot(self):
        with tempfile.TemporaryDirectory(prefix="tonvirke-tx-") as tmp:
            tmp = Path(tmp)
            (tmp / "tonvirke.cnf").write_bytes(settings(message="E" * 40, count="3"))
            audio = tmp / "audio.f32"
            with Desktop(audio=audio) as desktop:
                keyer = Keyer(desktop, tmp).start()
                first_window = keyer.window
                keyer.click_control(BUTTON_REPEATED)
                time.sleep(2.0)
                # Held across at least one dot: only the start of a dot examines the keyboard.
                keyer.tap("Escape", hold=0.4)
                tapped = time.monotonic()
                rebuilt = wait_for(lambda: keyer.find_window("Tonvirke version 053", 1)
                                   not in (None, first_window), timeout=5)
                self.assertTrue(rebuilt, "a fresh main window")
                print(f"rebuilt {1000 * (time.monotonic() - tapped):.0f} ms after the tap")
                self.assertTrue(keyer.running())
                size_then = audio.stat().st_size
                time.sleep(1.0)
                keyer.window = keyer.find_window("Tonvirke version 053")
                keyer.tap("Escape")
                self.assertEqual(keyer.wait_exit(10), 0)
            samples = morse_audio.load_f32(audio)
            # Nothing sounds after the abandoned run (allowing for the output's latency, which
            # grows as SDL's disk driver plays about 4 % slower than real time).
            after = samples[size_then // 4 + 48000 // 2:]
            self.assertTrue(len(after) > 0 and max(abs(v) for v in after) == 0)
            self.assertLess(len(morse_audio.segments(samples)), 40, "the run did not go on")

    def test_escape_ends_the_wait_for_the_start_minute(self):
        with tempfile.TemporaryDirectory(prefix="tonvirke-tx-") as tmp:
            tmp = Path(tmp)
            cnf = settings().replace(b"2025-11-27 15:21", b"2099-01-01 00:00")
            (tmp / "tonvirke.cnf").write_bytes(cnf)
            with Desktop() as desktop:
                keyer = Keyer(desktop, tmp).start()
                first_window = keyer.window
                keyer.click_control(BUTTON_WINDOW)  # "Tid start/stopp": beep, then the wait
                time.sleep(1.5)
                self.assertEqual(keyer.find_window("Tonvirke version 053", 1), first_window)
                keyer.tap("Escape")
                tapped = time.monotonic()
                rebuilt = wait_for(lambda: keyer.find_window("Tonvirke version 053", 1)
                                   not in (None, first_window), timeout=5, step=0.02)
                self.assertTrue(rebuilt, "the wait was abandoned and the screen rebuilt")
                print(f"rebuilt {1000 * (time.monotonic() - tapped):.0f} ms after the tap")
                self.assertTrue(keyer.running())


if __name__ == "__main__":
    unittest.main(verbosity=2)
