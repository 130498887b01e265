#!/usr/bin/python3
"""Synthesises the eight alarm sounds of the program folder's "Alarms" folder: short tones and
chimes made here from sine partials, envelopes and a little seeded noise (standard library only;
nothing is copied from anywhere). Each file is 16-bit PCM, mono, 22050 Hz, one to three seconds
long, named after the sound's default description.

Usage: gen_alarm_sounds.py OUTPUT_FOLDER
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050
TAU = 2 * math.pi

# The default descriptions, in the order of the settings "AlarmSound1" ... "AlarmSound8".
NAMES = ["Soft Chime", "Fog Horn", "Kettle", "Fireworks", "Bongo", "Doorbell", "Ray Gun", "Burglar Alarm"]


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def mix(into, sound, at):
    """Adds `sound` into `into` from `at` seconds on, growing it when needed."""
    start = int(at * RATE)
    if len(into) < start + len(sound):
        into.extend([0.0] * (start + len(sound) - len(into)))
    for i, v in enumerate(sound):
        into[start + i] += v


def bell(freq, seconds, decay=3.0, partials=((1.0, 1.0), (2.76, 0.35), (5.40, 0.15), (8.93, 0.06))):
    """A struck bell: inharmonic partials, each dying away faster the higher it is."""
    n = int(seconds * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        v = 0.0
        for ratio, level in partials:
            v += level * math.exp(-decay * ratio ** 0.5 * t) * math.sin(TAU * freq * ratio * t)
        attack = min(1.0, t / 0.004)
        out.append(v * attack)
    return out


def tone(freq_of_t, seconds, harmonics=((1, 1.0),), envelope=None):
    """A tone whose frequency may move (freq_of_t(t) in Hz), with harmonics and an envelope."""
    n = int(seconds * RATE)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / RATE
        phase += TAU * freq_of_t(t) / RATE
        v = sum(level * math.sin(k * phase) for k, level in harmonics)
        out.append(v * (envelope(t) if envelope else 1.0))
    return out


def adsr(attack, release, seconds):
    def env(t):
        if t < attack:
            return t / attack
        if t > seconds - release:
            return max(0.0, (seconds - t) / release)
        return 1.0
    return env


def soft_chime():
    out = silence(2.2)
    for k, f in enumerate((1046.5, 1318.5, 1568.0)):  # C6 E6 G6
        mix(out, [0.6 * v for v in bell(f, 1.8, decay=2.5)], 0.18 * k)
    return out


def fog_horn():
    out = silence(2.6)
    for start in (0.0, 1.35):
        length = 1.1
        blast = tone(lambda t: 98.0 + 1.5 * math.sin(TAU * 5 * t), length,
                     harmonics=((1, 1.0), (2, 0.6), (3, 0.4), (4, 0.25), (5, 0.12), (6, 0.06)),
                     envelope=adsr(0.12, 0.25, length))
        mix(out, blast, start)
    return out


def kettle():
    rng = random.Random(3)
    seconds = 2.2
    whistle = tone(lambda t: 1700.0 + 500.0 * min(1.0, t / 0.8) + 25 * math.sin(TAU * 7 * t), seconds,
                   harmonics=((1, 1.0), (2, 0.08)), envelope=adsr(0.5, 0.2, seconds))
    out = []
    breath = 0.0
    for i, v in enumerate(whistle):
        t = i / RATE
        breath = 0.85 * breath + 0.15 * rng.uniform(-1, 1)  # softened noise: the steam
        wobble = 0.8 + 0.2 * math.sin(TAU * 11 * t)
        out.append(0.7 * v * wobble + 0.25 * breath * min(1.0, t / 0.3))
    return out


def fireworks():
    rng = random.Random(4)
    out = silence(2.8)
    # A rising whistle, then the burst and its crackle.
    rise = tone(lambda t: 600.0 + 1400.0 * t / 0.9, 0.9, envelope=adsr(0.05, 0.1, 0.9))
    mix(out, [0.35 * v for v in rise], 0.0)
    boom_len = 1.2
    boom = []
    low = 0.0
    for i in range(int(boom_len * RATE)):
        t = i / RATE
        low = 0.97 * low + 0.03 * rng.uniform(-1, 1)
        boom.append(6.0 * low * math.exp(-4.0 * t) + 0.5 * math.sin(TAU * 55 * t) * math.exp(-6 * t))
    mix(out, boom, 0.95)
    for _ in range(40):
        at = 1.1 + rng.uniform(0.0, 1.5)
        crack = [rng.uniform(-1, 1) * math.exp(-i / (RATE * 0.004)) for i in range(int(0.02 * RATE))]
        mix(out, [0.5 * v for v in crack], at)
    return out


def bongo_hit(freq, level):
    seconds = 0.35
    return tone(lambda t: freq * (1.0 + 0.5 * math.exp(-t / 0.015)), seconds,
                harmonics=((1, 1.0), (1.5, 0.2)),
                envelope=lambda t: level * math.exp(-t / 0.07) * min(1.0, t / 0.002))


def bongo():
    out = silence(1.8)
    pattern = [(0.00, 330, 1.0), (0.20, 330, 0.6), (0.40, 220, 1.0), (0.70, 330, 0.8),
               (0.85, 330, 0.6), (1.00, 220, 1.0), (1.20, 220, 0.7)]
    for at, f, level in pattern:
        mix(out, bongo_hit(f, level), at)
    return out


def doorbell():
    out = silence(2.4)
    mix(out, bell(659.3, 1.6, decay=1.8, partials=((1, 1), (2, 0.3), (3, 0.1))), 0.0)   # E5: ding
    mix(out, bell(523.3, 1.8, decay=1.6, partials=((1, 1), (2, 0.3), (3, 0.1))), 0.55)  # C5: dong
    return out


def ray_gun():
    out = silence(1.6)
    for k in range(3):
        length = 0.45
        zap = tone(lambda t: 2200.0 * math.exp(-4.0 * t) + 300.0 + 120 * math.sin(TAU * 40 * t), length,
                   harmonics=((1, 1.0), (3, 0.2)), envelope=adsr(0.005, 0.1, length))
        mix(out, zap, 0.5 * k)
    return out


def burglar_alarm():
    seconds = 2.4
    # A siren switching between two pitches four times a second, band-limited square waves.
    square = ((1, 1.0), (3, 1 / 3), (5, 1 / 5), (7, 1 / 7))
    return tone(lambda t: 960.0 if int(t * 8) % 2 == 0 else 720.0, seconds, harmonics=square,
                envelope=adsr(0.01, 0.05, seconds))


MAKERS = [soft_chime, fog_horn, kettle, fireworks, bongo, doorbell, ray_gun, burglar_alarm]


def finish(samples):
    """Normalises to a comfortable peak, with short fades so that nothing clicks."""
    peak = max(abs(v) for v in samples) or 1.0
    fade = int(0.005 * RATE)
    n = len(samples)
    out = bytearray()
    for i, v in enumerate(samples):
        g = min(1.0, i / fade, (n - 1 - i) / fade)
        out += struct.pack("<h", int(round(0.8 * 32767 * v / peak * g)))
    return bytes(out)


def write(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(finish(samples))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, make in zip(NAMES, MAKERS):
        write(os.path.join(folder, name + ".wav"), make())


if __name__ == "__main__":
    main()
