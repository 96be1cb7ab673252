#!/usr/bin/env python3
"""Prints the real program's start-up time, resident memory, and processor use while idle in
its event loop and while waiting for a start minute, each over 10 s, under Xvfb.

Usage: bench/desktop_costs.py [build/tonvirke]
"""

import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "desktop"))
from harness import Desktop, TITLE, wait_for  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def rss_mb(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS"):
            return int(line.split()[1]) / 1024
    return 0.0


def cpu_share(pid, seconds=10.0):
    c0, t0 = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100.0 * (cpu_seconds(pid) - c0) / (time.monotonic() - t0)


def main():
    binary = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build/tonvirke").resolve()
    settings = ("TN001    800\r\nTN002    50\r\nTN003    E\r\nTN004    0\r\nTN005    0\r\n"
                "TN006    1\r\nTN007    0\r\nTN008    \r\nTN009    2099-01-01 00:00\r\n"
                "TN010    \r\n")
    with tempfile.TemporaryDirectory() as tmp, Desktop() as desktop:
        (Path(tmp) / "tonvirke.cnf").write_text(settings)
        starts = []
        for _ in range(3):
            t0 = time.monotonic()
            proc = subprocess.Popen([str(binary)], cwd=tmp, env=desktop.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            window = wait_for(lambda: desktop.xdotool("search", "--onlyvisible", "--name", TITLE,
                                                      check=False), timeout=10, step=0.005)
            starts.append(1000 * (time.monotonic() - t0))
            if not window:
                print("the window did not appear")
                return 1
            if len(starts) < 3:
                proc.kill()
                proc.wait()
                wait_for(lambda: not desktop.xdotool("search", "--name", TITLE, check=False), 5)
        time.sleep(1.0)
        print(f"start-up to the window shown: {min(starts):.0f} ms best, "
              f"{sorted(starts)[1]:.0f} ms median of 3")
        print(f"resident memory after start-up: {rss_mb(proc.pid):.1f} MB")
        print(f"idle event loop, 10 s: {cpu_share(proc.pid):.2f} % of a core")
        win = window.split()[-1]
        desktop.xdotool("mousemove", "--window", win, "560", "710")  # "Tid start/stopp"
        desktop.xdotool("click", "1")
        time.sleep(1.0)  # the beep
        print(f"waiting for the start minute, 10 s: {cpu_share(proc.pid):.2f} % of a core")
        print(f"resident memory while waiting: {rss_mb(proc.pid):.1f} MB")
        proc.kill()
        proc.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
