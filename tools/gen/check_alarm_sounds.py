#!/usr/bin/python3
"""Checks the generated alarm sounds of an "Alarms" folder: each of the eight files is there, is
a RIFF WAVE file whose format chunk says PCM (tag 1), mono, 16-bit, 22050 Hz, whose data chunk
matches its header, lasts one to three seconds, is audible without clipping, and differs from
the others.

Usage: check_alarm_sounds.py ALARMS_FOLDER
"""
import hashlib
import os
import struct
import sys
import wave

NAMES = ["Soft Chime", "Fog Horn", "Kettle", "Fireworks", "Bongo", "Doorbell", "Ray Gun", "Burglar Alarm"]


def chunks(data):
    """The chunks of a RIFF WAVE image as (id, offset, size); raises ValueError when malformed."""
    if len(data) < 12 or data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("not a RIFF WAVE file")
    riff_size = struct.unpack_from("<I", data, 4)[0]
    if riff_size + 8 != len(data):
        raise ValueError("RIFF size %d does not match the file's %d bytes" % (riff_size, len(data)))
    found, pos = [], 12
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        if pos + 8 + size > len(data):
            raise ValueError("chunk %r runs past the end" % cid)
        found.append((cid, pos + 8, size))
        pos += 8 + size + (size & 1)
    return found


def check(path):
    problems = []
    data = open(path, "rb").read()
    try:
        parts = {cid: (off, size) for cid, off, size in chunks(data)}
    except ValueError as e:
        return [str(e)], None
    if b"fmt " not in parts or b"data" not in parts:
        return ["no fmt or data chunk"], None
    off, size = parts[b"fmt "]
    tag, channels, rate, byte_rate, align, bits = struct.unpack_from("<HHIIHH", data, off)
    if (tag, channels, rate, bits) != (1, 1, 22050, 16):
        problems.append("format %s, want PCM mono 22050 Hz 16-bit" % ((tag, channels, rate, bits),))
    if byte_rate != rate * align or align != channels * bits // 8:
        problems.append("inconsistent byte rate or block alignment")
    with wave.open(path, "rb") as w:  # the standard reader agrees
        frames = w.readframes(w.getnframes())
        seconds = w.getnframes() / w.getframerate()
    if parts[b"data"][1] != len(frames):
        problems.append("data chunk size disagrees with the frames read")
    if not 1.0 <= seconds <= 3.0:
        problems.append("%.2f s long, want 1 to 3 s" % seconds)
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    peak = max(abs(s) for s in samples)
    if peak < 8000:
        problems.append("too quiet (peak %d)" % peak)
    if peak >= 32767:
        problems.append("clipped")
    if abs(samples[0]) > 200 or abs(samples[-1]) > 200:
        problems.append("starts or ends with a click")
    return problems, hashlib.sha256(frames).hexdigest()


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    failures, digests = 0, {}
    for name in NAMES:
        path = os.path.join(sys.argv[1], name + ".wav")
        if not os.path.isfile(path):
            print("FAIL %s: missing" % name)
            failures += 1
            continue
        problems, digest = check(path)
        if digest in digests.values():
            problems.append("the same as another sound")
        digests[name] = digest
        for p in problems:
            print("FAIL %s: %s" % (name, p))
        failures += len(problems)
    # The checker itself must refuse a damaged file.
    try:
        chunks(b"RIFF\x10\x00\x00\x00WAVEfmt \x10\x00\x00\x00")
        print("FAIL the checker accepted a truncated file")
        failures += 1
    except ValueError:
        pass
    if failures:
        sys.exit(1)
    print("%d alarm sounds checked" % len(digests))


if __name__ == "__main__":
    main()
