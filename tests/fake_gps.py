#!/usr/bin/env python3
"""A fake GPS receiver on a pty pair made by socat, for the GPS tests.

    fake_gps.py --link /tmp/x/com6 --control /tmp/x/gps.json

The program opens the pty named by --link (mapped to a COM port of the Wine prefix); the fake
writes NMEA 0183 sentences into the other end, a burst every --interval seconds (a real receiver
sends one a second). What it sends is read from the JSON file --control before each burst, so a
test changes it while it runs:

    {"feed": "fix", "lat": 48.1173, "lon": 11.5166667}

"feed" is one of
  fix      GPRMC with status A and the position, then GPGGA with the same
  void     GPRMC with status V and empty fields, GPGGA without a position (receiver active)
  empty    GPRMC with status A but empty coordinate fields
  nodata   GPRMC with a status letter other than A or V
  dirty    noise bytes, an overlong line, a sentence cut in two writes and a wrong checksum
           around a valid fix
  track    a fix that moves by "step" degrees (default 0.5) east each burst
  silent   nothing at all (the receiver switched off)
Every sentence is sent whole unless the feed says otherwise. SIGTERM ends socat too (the
receiver unplugged).
"""
import argparse
import json
import os
import signal
import subprocess
import sys
import time


def checksum(body):
    value = 0
    for ch in body.encode():
        value ^= ch
    return "%02X" % value


def sentence(body, good=True):
    total = checksum(body)
    if not good:
        total = "%02X" % (int(total, 16) ^ 0x55)
    return ("$%s*%s\r\n" % (body, total)).encode()


def coordinate(value, width, positive, negative):
    hemisphere = positive if value >= 0 else negative
    value = abs(value)
    degrees = int(value)
    minutes = (value - degrees) * 60
    return "%0*d%07.4f" % (width, degrees, minutes), hemisphere


def rmc(lat, lon, status="A"):
    la, ns = coordinate(lat, 2, "N", "S")
    lo, ew = coordinate(lon, 3, "E", "W")
    return "GPRMC,123519,%s,%s,%s,%s,%s,022.4,084.4,071226,003.1,W" % (status, la, ns, lo, ew)


def gga(lat, lon):
    la, ns = coordinate(lat, 2, "N", "S")
    lo, ew = coordinate(lon, 3, "E", "W")
    return "GPGGA,123519,%s,%s,%s,%s,1,08,0.9,545.4,M,46.9,M,," % (la, ns, lo, ew)


def burst(control, tick):
    """The writes of one burst: a list of byte strings, written with a short pause between."""
    feed = control.get("feed", "silent")
    lat = float(control.get("lat", 48.1173))
    lon = float(control.get("lon", 11.5166667))
    if feed == "fix":
        return [sentence(rmc(lat, lon)) + sentence(gga(lat, lon))]
    if feed == "void":
        return [sentence("GPRMC,123519,V,,,,,,,071226,,") + sentence("GPGGA,123519,,,,,0,00,,,M,,M,,")]
    if feed == "empty":
        return [sentence("GPRMC,123519,A,,N,,E,,,071226,,")]
    if feed == "nodata":
        return [sentence("GPRMC,123519,X,,,,,,,071226,,")]
    if feed == "dirty":
        fix = sentence(rmc(lat, lon))
        return [b"\x00\xff\x07garbage,A,*\r\n",
                b"$GPRMC," + b"9" * 450 + b"\r\n",
                sentence(rmc(lat, lon), good=False),
                fix[:20], fix[20:]]
    if feed == "track":
        step = float(control.get("step", 0.5))
        moved = ((lon + step * tick + 180) % 360) - 180
        return [sentence(rmc(lat, moved)) + sentence(gga(lat, moved))]
    return []


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--link", required=True, help="the pty path the program opens")
    p.add_argument("--control", required=True)
    p.add_argument("--interval", type=float, default=0.5)
    args = p.parse_args()

    ours = args.link + ".gps"
    for path in (args.link, ours):
        if os.path.lexists(path):
            os.unlink(path)
    socat = subprocess.Popen(["socat", "pty,raw,echo=0,link=" + args.link, "pty,raw,echo=0,link=" + ours],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(*_):
        socat.terminate()
        try:
            socat.wait(timeout=5)
        except subprocess.TimeoutExpired:
            socat.kill()
        sys.exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    for _ in range(100):
        if os.path.exists(ours) and os.path.exists(args.link):
            break
        time.sleep(0.05)
    fd = os.open(ours, os.O_RDWR | os.O_NOCTTY)
    os.set_blocking(fd, False)
    print("ready", flush=True)

    tick = 0
    while True:
        try:
            control = json.load(open(args.control))
        except (OSError, ValueError):
            control = {}
        for i, data in enumerate(burst(control, tick)):
            if i:
                time.sleep(0.05)
            try:
                os.write(fd, data)
            except (BlockingIOError, OSError):
                pass   # nobody reads the port now: a real receiver's bytes would be lost too
        tick += 1
        time.sleep(args.interval)


if __name__ == "__main__":
    main()
