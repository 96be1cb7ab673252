"""The Debian package: built with CPack, its contents and dependencies checked with dpkg-deb,
unpacked into a throwaway root and started from its desktop entry's launcher."""

import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import Desktop, Keyer  # noqa: E402

BUILD = Path(os.environ.get("TONVIRKE_BUILD_DIR", "build")).resolve()


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        subprocess.run(["cpack", "-G", "DEB"], cwd=BUILD, check=True, capture_output=True)
        cls.deb = next(BUILD.glob("tonvirke_*_*.deb"))

    def dpkg_deb(self, *args):
        return subprocess.run(["dpkg-deb", *args, str(self.deb)], check=True,
                              capture_output=True, text=True).stdout

    def test_contents(self):
        files = {line.split()[-1] for line in self.dpkg_deb("-c").splitlines()}
        for path in ("./usr/bin/tonvirke", "./usr/libexec/tonvirke/start-in-home",
                     "./usr/share/applications/tonvirke.desktop",
                     "./usr/share/icons/hicolor/scalable/apps/tonvirke.svg"):
            self.assertIn(path, files)

    def test_dependencies(self):
        depends = self.dpkg_deb("--field").strip()
        fields = dict(line.split(": ", 1) for line in depends.splitlines() if ": " in line)
        names = {d.split()[0] for d in fields["Depends"].split(", ")}
        for needed in ("libqt6widgets6", "libqt6serialport6", "libsdl2-2.0-0", "libxcb1",
                       "qt6-qpa-plugins"):
            self.assertIn(needed, names)
        self.assertEqual(fields["Package"], "tonvirke")
        self.assertEqual(fields["Version"], "0.53")

    def test_desktop_entry_starts_it_in_the_home_folder(self):
        with tempfile.TemporaryDirectory(prefix="tonvirke-pkg-") as tmp:
            tmp = Path(tmp)
            root, home, elsewhere = tmp / "root", tmp / "home", tmp / "elsewhere"
            for d in (root, home, elsewhere):
                d.mkdir()
            subprocess.run(["dpkg-deb", "-x", str(self.deb), str(root)], check=True)
            entry = (root / "usr/share/applications/tonvirke.desktop").read_text()
            self.assertIn("Exec=/usr/libexec/tonvirke/start-in-home\n", entry)
            with Desktop() as desktop:
                desktop.env["HOME"] = str(home)
                keyer = Keyer(desktop, elsewhere,
                              binary=str(root / "usr/libexec/tonvirke/start-in-home")).start()
                self.assertTrue((home / "tonvirke.cnf").exists())
                self.assertFalse((elsewhere / "tonvirke.cnf").exists())
                keyer.click_control((1030, 700, 100, 20))  # "Avsluta"
                self.assertEqual(keyer.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
