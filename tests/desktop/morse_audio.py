"""Measures recorded keyer audio: tone segments, their pitch, and an independent decode."""

import array
import subprocess
import tempfile
from pathlib import Path

RATE = 48000


def load_s16(path):
    samples = array.array("h")
    data = Path(path).read_bytes()
    samples.frombytes(data[: len(data) // 2 * 2])
    return samples


def load_f32(path):
    """SDL's disk driver output (native float), scaled to the 16-bit range."""
    floats = array.array("f")
    data = Path(path).read_bytes()
    floats.frombytes(data[: len(data) // 4 * 4])
    return array.array("h", (int(max(-1.0, min(1.0, f)) * 32767) for f in floats))


def save_s16(samples, path):
    Path(path).write_bytes(samples.tobytes())


def segments(samples, threshold=2000, hangover=96):
    """(start, end) sample indexes of the stretches where the tone sounds."""
    out = []
    start = None
    quiet = 0
    for i, v in enumerate(samples):
        if abs(v) > threshold:
            if start is None:
                start = i
            quiet = 0
        elif start is not None:
            quiet += 1
            if quiet > hangover:
                out.append((start, i - quiet + 1))
                start, quiet = None, 0
    if start is not None:
        out.append((start, len(samples)))
    return out


def pitch(samples, start, end):
    """Frequency from the rising zero crossings inside one tone, with sub-sample timing."""
    crossings = []
    for i in range(start + 1, end):
        a, b = samples[i - 1], samples[i]
        if a < 0 <= b:
            crossings.append(i - 1 + (-a) / (b - a))
    if len(crossings) < 2:
        return 0.0
    return RATE * (len(crossings) - 1) / (crossings[-1] - crossings[0])


def decode(path, unit_ms=50):
    """The text multimon-ng hears in a 48 kHz mono 16-bit raw recording."""
    with tempfile.TemporaryDirectory() as tmp:
        raw = Path(tmp) / "22k.raw"
        subprocess.run(["sox", "-t", "raw", "-r", "48000", "-e", "signed", "-b", "16", "-c", "1",
                        str(path), "-t", "raw", "-r", "22050", "-e", "signed", "-b", "16", "-c",
                        "1", str(raw)], check=True)
        argv = ["multimon-ng", "-q", "-a", "MORSE_CW", "-t", "raw"]
        if unit_ms != 50:
            argv += ["-d", str(unit_ms), "-g", str(unit_ms)]
        r = subprocess.run(argv + [str(raw)], capture_output=True, text=True, timeout=60)
        text = "".join(line.split(":", 1)[1] if line.startswith("MORSE_CW:") else line
                       for line in r.stdout.splitlines(keepends=True))
        return " ".join(text.split())


# The keyer's silences are 1, 4 and 11 units: element, character and word gap.
TONE_UNITS = (1, 3)
GAP_UNITS = (1, 4, 11)


def off_beat(samples, unit_ms, tolerance=0.15):
    """Tones and silences that are not a whole Morse length of unit_ms: the marks a stalled
    machine leaves in a recording. Returns (kind, ms) pairs."""
    marks = segments(samples)
    found = []
    for kind, ms, allowed in (
            [("tone", (b - a) / 48, TONE_UNITS) for a, b in marks]
            + [("gap", (marks[i + 1][0] - marks[i][1]) / 48, GAP_UNITS)
               for i in range(len(marks) - 1)]):
        if all(abs(ms - n * unit_ms) > tolerance * unit_ms for n in allowed):
            found.append((kind, round(ms)))
    return found
