"""A screen reader's view of the real keyer: every field is announced by the label beside it and
every button by its text, read over AT-SPI. Run inside a D-Bus session (dbus-run-session) with
Debian's python3, which has pyatspi."""

import os
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import Desktop, Keyer, wait_for  # noqa: E402

import pyatspi  # noqa: E402

# The field at each place of the main window, and the caption it must carry.
FIELDS = {
    (320, 250): "Comport",
    (320, 280): "Ton i Hertz",
    (320, 310): "Teckenlängd i mS",
    (320, 340): "Text du vill sända",
    (320, 400): "Ev. bärvåg i mS före texten",
    (320, 430): "Pause i mS mellan bärvåg och text",
    (320, 460): "Pause i mS mellan sändningarna",
    (320, 490): "Antal utsändningar du vill köra",
    (320, 550): "Start     åååå-mm-dd tt:mm",
    (320, 580): "Stopp   åååå-mm-dd tt:mm",
}
BUTTONS = {"Aktuell dag/tid", "Spara", "Testa slingan", "Kör n antal TX", "Tid start/stopp",
           "Information", "Avsluta"}


def walk(node, depth=0):
    if node is None or depth > 20:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


class Accessibility(unittest.TestCase):
    def test_fields_and_buttons_are_named_for_a_screen_reader(self):
        with tempfile.TemporaryDirectory(prefix="tonvirke-a11y-") as tmp, Desktop() as desktop:
            desktop.env.update({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1"})
            desktop._start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
            time.sleep(1.0)
            keyer = Keyer(desktop, tmp).start()

            def app():
                for a in pyatspi.Registry.getDesktop(0):
                    if a is not None and a.name.lower() == "tonvirke":
                        return a
                return None
            application = wait_for(app, timeout=15, step=0.5)
            self.assertIsNotNone(application, "the keyer is on the accessibility bus")

            g = keyer.geometry()
            fields, buttons = {}, set()
            for node in walk(application):
                role = node.getRole()
                if role in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
                    # Qt reports screen positions here; make them client-area positions.
                    x, y, _, _ = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                    x, y = x - g["X"], y - g["Y"]
                    labelled_by = [r.getTarget(0).name for r in node.getRelationSet()
                                   if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
                    fields[(x, y)] = (node.name, labelled_by)
                elif role == pyatspi.ROLE_PUSH_BUTTON:
                    buttons.add(node.name)
            for place, caption in FIELDS.items():
                self.assertIn(place, fields, f"a field at {place}")
                name, labelled_by = fields[place]
                self.assertEqual(name, caption)
                self.assertIn(caption, labelled_by)
            self.assertEqual(buttons, BUTTONS)
            keyer.proc.kill()


if __name__ == "__main__":
    unittest.main(verbosity=2)
