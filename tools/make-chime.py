#!/usr/bin/env python3
"""Writes assets/ding.wav, the alarm chime: two decaying sine partials, about 0.4 s,
22050 Hz mono 16-bit. Run from anywhere; the output path may be given as the argument."""
import math
import os
import struct
import sys
import wave

RATE = 22050
SECONDS = 0.4
# (frequency Hz, amplitude, decay per second): a bell-like fundamental and a brighter,
# faster-fading partial a little above its octave.
PARTIALS = ((1320.0, 0.55, 7.0), (2790.0, 0.30, 12.0))
ATTACK_S = 0.004


def samples():
    count = int(RATE * SECONDS)
    for i in range(count):
        t = i / RATE
        value = sum(a * math.exp(-d * t) * math.sin(2 * math.pi * f * t) for f, a, d in PARTIALS)
        value *= min(1.0, t / ATTACK_S)
        # a short fade at the very end so the file stops without a click
        value *= min(1.0, (count - 1 - i) / (RATE * 0.01))
        yield max(-32767, min(32767, round(value * 32767)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "assets", "ding.wav")
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", s) for s in samples()))


if __name__ == "__main__":
    main()
