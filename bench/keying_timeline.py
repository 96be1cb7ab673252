#!/usr/bin/env python3
"""Keys one default transmission on the real facilities through a PulseAudio null sink, records
it, and prints how the tones line up with the DTR elements the serial facility keyed.

Usage: bench/keying_timeline.py [build/bench/bench_keying_timeline]
"""

import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "desktop"))
import morse_audio  # noqa: E402
from harness import Desktop  # noqa: E402


def tones(samples):
    """Exact tone stretches: silence between elements is digital zero, and every tone starts
    with the zero sample of its phase."""
    out = []
    start = None
    last = None
    for i, v in enumerate(samples):
        if v != 0:
            if start is None:
                start = i - 1
            elif i - last > 4:  # a zero crossing is at most a sample or two of zeros
                out.append((start, last + 1))
                start = i - 1
            last = i
    if start is not None:
        out.append((start, last + 1))
    return out


def main():
    binary = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build/bench/bench_keying_timeline")
    with tempfile.TemporaryDirectory() as tmp, Desktop(audio="pulse") as desktop:
        tmp = Path(tmp)
        rec = desktop.record(tmp / "rec.raw")
        time.sleep(0.5)
        r = subprocess.run([str(binary), str(tmp / "dtr.txt")], env=desktop.env,
                           capture_output=True, text=True, timeout=120)
        time.sleep(0.5)
        rec.terminate()
        rec.wait()
        print(r.stdout, end="")
        if r.returncode != 0:
            print(r.stderr)
            return 1
        samples = morse_audio.load_s16(tmp / "rec.raw")
        dtr = [tuple(map(float, line.split())) for line in (tmp / "dtr.txt").read_text().splitlines()]
    heard = tones(samples)
    print(f"Recorded tones: {len(heard)}; DTR elements: {len(dtr)}")
    if len(heard) != len(dtr):
        print("  the recording does not pair up with the DTR elements (dropouts?)")
        print("  tones (ms):", [round((b - a) / 48.0, 2) for a, b in heard])
        return 1
    lengths = [(b - a) / 48.0 for a, b in heard]
    diffs = [t - d[1] for t, d in zip(lengths, dtr)]
    dots = [t for t, d in zip(lengths, dtr) if abs(d[1] - 50) < 10]
    dashes = [t for t, d in zip(lengths, dtr) if abs(d[1] - 150) < 10]
    starts = [a / 48.0 for a, _ in heard]
    gaps_tone = [starts[i + 1] - (starts[i] + lengths[i]) for i in range(len(heard) - 1)]
    gaps_dtr = [dtr[i + 1][0] - (dtr[i][0] + dtr[i][1]) for i in range(len(dtr) - 1)]
    gap_diffs = [t - d for t, d in zip(gaps_tone, gaps_dtr)]
    print(f"  dots   {len(dots):3d}: mean {statistics.mean(dots):8.3f} ms  "
          f"sd {statistics.pstdev(dots):.3f} ms")
    print(f"  dashes {len(dashes):3d}: mean {statistics.mean(dashes):8.3f} ms  "
          f"sd {statistics.pstdev(dashes):.3f} ms")
    held = [t - d[2] for t, d in zip(lengths, dtr)]
    print(f"  tone length - Play-to-Stop time:  max |{max(map(abs, held)):.3f}| ms, "
          f"sd {statistics.pstdev(held):.3f} ms")
    print(f"  tone length - DTR element length: max |{max(map(abs, diffs)):.3f}| ms, "
          f"sd {statistics.pstdev(diffs):.3f} ms")
    print(f"  gap after tone - gap after DTR:    max |{max(map(abs, gap_diffs)):.3f}| ms, "
          f"sd {statistics.pstdev(gap_diffs):.3f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
