#!/usr/bin/env python3
"""A fake Hayes modem on a pty pair made by socat, for the dialer's tests.

    fake_modem.py --link /tmp/x/com7 --log /tmp/x/modem.log --control /tmp/x/modem.json

The program opens the pty named by --link (mapped to a COM port of the Wine prefix); the fake
serves the other end. Every byte it receives is appended to --log as it came. How it answers is
read from the JSON file --control before each answer, so a test changes it between calls:

    {"at": "OK", "init": "OK", "dial": "BUSY", "hangup": "OK",
     "numeric": false, "echo": false, "noise": false, "delay": 0}

Each of at/init/dial/hangup is OK, BUSY, NO DIALTONE, NO CARRIER, ERROR or "none" (no answer).
"numeric" answers with the codes (0, 7, 6, 3, 4) as a modem set to V0 does; "echo" sends back
what it received first; "noise" puts stray bytes (NUL, 0xFF, BEL, a half word) before answers;
"delay" waits that many seconds before answering. SIGTERM ends socat too (the modem unplugged).
"""
import argparse
import json
import os
import signal
import subprocess
import sys
import time

CODES = {"OK": "0", "NO CARRIER": "3", "ERROR": "4", "NO DIALTONE": "6", "BUSY": "7"}


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--link", required=True, help="the pty path the program opens")
    p.add_argument("--log", required=True)
    p.add_argument("--control", required=True)
    args = p.parse_args()

    ours = args.link + ".modem"
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
    print("ready", flush=True)

    line = b""
    while True:
        try:
            data = os.read(fd, 256)
        except OSError:
            time.sleep(0.05)   # the program's side is closed for now; it may open it again
            continue
        if not data:
            time.sleep(0.05)
            continue
        with open(args.log, "ab") as log:
            log.write(data)
        try:
            control = json.load(open(args.control))
        except (OSError, ValueError):
            control = {}
        if control.get("echo"):
            os.write(fd, data)
        line += data
        while b"\r" in line:
            command, line = line.split(b"\r", 1)
            answer(fd, command.strip().upper(), control)


def answer(fd, command, control):
    if not command.startswith(b"AT"):
        return
    if command.startswith(b"ATD"):
        result = control.get("dial", "OK")
    elif command.startswith(b"ATH"):
        result = control.get("hangup", "OK")
    elif command == b"AT":
        result = control.get("at", "OK")
    else:
        result = control.get("init", "OK")
    if result == "none":
        return
    if control.get("delay"):
        time.sleep(float(control["delay"]))
    reply = b""
    if control.get("noise"):
        reply += b"\x00\xff\x07NO CARR"
    if control.get("numeric"):
        reply += CODES.get(result, result).encode() + b"\r"
    else:
        reply += b"\r\n" + result.encode() + b"\r\n"
    os.write(fd, reply)


if __name__ == "__main__":
    main()
