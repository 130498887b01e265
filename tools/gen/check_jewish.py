#!/usr/bin/python3
"""Checks kvtool's Jewish calendar against two independent sources from Debian.

For every Jewish year whose new year falls in 1703 ... 2239 it compares `kvtool jewish-year`
(type, length, leap, date of 1 Tishrei) with python3-convertdate's Hebrew calendar, and for the
1st, 15th and 29th of every month of sixteen years from 1703 to 2239 (from hdate's listings of
whole years) it compares `kvtool jewish` with hdate. The unit tests walk every day of the span.

Usage: check_jewish.py KVTOOL [RUNNER...]      exit 0 when everything agrees.
"""
import datetime
import json
import re
import subprocess
import sys

from convertdate import hebrew

kvtool = sys.argv[2:] + [sys.argv[1]] if len(sys.argv) > 2 else [sys.argv[1]]


def run(*args):
    out = subprocess.run(kvtool + [str(a) for a in args], check=True, capture_output=True, text=True).stdout
    return json.loads(out)


HEBREW_MONTHS = {  # hdate's English month names to month numbers (13 = Adar II)
    "Tishrei": 1, "Cheshvan": 2, "Kislev": 3, "Tevet": 4, "Sh'vat": 5, "Adar": 6, "Adar I": 6,
    "Adar II": 13, "Nisan": 7, "Iyyar": 8, "Sivan": 9, "Tamuz": 10, "Tammuz": 10, "Iyar": 8, "Shevat": 5, "Tevet": 4, "Teves": 4, "Av": 11, "Elul": 12,
}

failures = 0
for jy in range(5463, 6000):
    got = run("jewish-year", jy)
    y, m, d = hebrew.to_gregorian(jy, 7, 1)  # convertdate counts from Nisan: Tishrei is 7
    length = hebrew.year_days(jy)
    want = {"length": length, "leap": hebrew.leap(jy), "newyear": f"{y:04d}-{m:02d}-{d:02d}"}
    for key, value in want.items():
        if got[key] != value:
            failures += 1
            print(f"jewish-year {jy}: {key} {got[key]} != {value}")

# Every day of sample years through hdate's listing of a whole year.
line = re.compile(r"^\w+, (\d+) (\w+) (\d+), (\d+) ([A-Za-z' ]+?) (\d+)$")
gmonths = {datetime.date(2000, k, 1).strftime("%B"): k for k in range(1, 13)}
checked = 0
for gy in (1703, 1752, 1800, 1899, 1900, 1948, 1999, 2000, 2023, 2024, 2026, 2038, 2100, 2139, 2140, 2239):
    out = subprocess.run(["hdate", "-q", str(gy)], check=True, capture_output=True, text=True).stdout
    for text in out.splitlines():
        mt = line.match(text.strip())
        if not mt:
            continue
        gd, gm, gyy, jd, jm, jyy = mt.groups()
        date = f"{int(gyy):04d}-{gmonths[gm]:02d}-{int(gd):02d}"
        if int(gd) not in (1, 15, 29):
            continue  # a sample keeps the run short; the unit tests walk every day
        got = run("jewish", date)
        want = (int(jyy), HEBREW_MONTHS[jm.strip()], int(jd))
        checked += 1
        if (got["year"], got["month"], got["day"]) != want:
            failures += 1
            print(f"jewish {date}: {got} != {want}")

print(f"check_jewish: {5999 - 5463 + 1} years and {checked} days compared, {failures} differences")
sys.exit(1 if failures else 0)
