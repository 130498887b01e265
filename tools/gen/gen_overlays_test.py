#!/usr/bin/python3
"""Tests of gen_overlays.py: the days off its rules give, how it writes them, and its refusals.

Usage: gen_overlays_test.py      exit 0 when every case passes.
"""
import datetime
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen_overlays  # noqa: E402

failures = 0


def check(what, got, want):
    global failures
    if got != want:
        failures += 1
        print(f"FAIL: {what}:\n  got  {got}\n  want {want}")


def observed(source, name):
    """The days on which "<name> (observed)" falls, read back from the generated events."""
    days = set()
    for line in gen_overlays.expand(source.split("\n")):
        if not line.startswith(f'event "{name} (observed)"'):
            continue
        f = dict(w.split("=", 1) for w in line.split() if "=" in w and not w.startswith('"'))
        d = datetime.date(int(f["year"]), int(f["month"]), int(f["day"]))
        last = int(f["range_end"].split("/")[0]) if "range_end" in f else d.year
        days |= {d.replace(year=y) for y in range(d.year, last + 1, int(f.get("n", 28)))}
    return days


D = datetime.date
UK = """overlay
event "New Year's Day" kind=annual month=1 day=1 above=10 highlight=1 observed=monday
event "New Year Holiday (Scotland)" kind=annual month=1 day=2 below=50 observed=monday
  observed_region=Scotland
event "Christmas Day" kind=annual month=12 day=25 above=10 highlight=1 observed=monday
event "Boxing Day" kind=annual month=12 day=26 above=10 highlight=1 observed=monday
"""
US = 'overlay\nevent "New Year\'s Day" kind=annual month=1 day=1 above=10 highlight=1 observed=nearest\n'

# Days off, in the years around the cases the rules must tell apart.
in_years = lambda days, first, last: {d for d in days if first <= d.year <= last}
# Christmas on Saturday (2021), Sunday (2022), Friday (2020); Boxing Day moves past Christmas's day.
check("Christmas Day off", in_years(observed(UK, "Christmas Day"), 2020, 2022), {D(2021, 12, 27), D(2022, 12, 27)})
check("Boxing Day off", in_years(observed(UK, "Boxing Day"), 2020, 2022), {D(2020, 12, 28), D(2021, 12, 28)})
# 2 January in Scotland: after a Saturday (2021), a Sunday (2022) and on the Monday that is New
# Year's Day's own day off (2023).
check("Scotland's 2 January off", in_years(observed(UK, "New Year Holiday (Scotland)"), 2021, 2023),
      {D(2021, 1, 4), D(2022, 1, 4), D(2023, 1, 3)})
check("New Year's Day off (UK)", in_years(observed(UK, "New Year's Day"), 2021, 2023), {D(2022, 1, 3), D(2023, 1, 2)})
# The US rule: a Saturday New Year's Day is off on the Friday before, in the year before; the
# span ends with 31 December 2100 for 1 January 2101.
us = observed(US, "New Year's Day")
check("New Year's Day off (US)", in_years(us, 2021, 2023), {D(2021, 12, 31), D(2023, 1, 2)})
check("US span ends", max(us), D(2100, 12, 31))
check("US span starts", min(us), D(1993, 12, 31))
# Every day off over the whole span is a weekday and none is the holiday's own date.
for name in ("New Year's Day", "New Year Holiday (Scotland)", "Christmas Day", "Boxing Day"):
    days = observed(UK, name)
    check(f"{name}: weekdays only", [d for d in days if d.weekday() >= 5], [])
    check(f"{name}: span", (min(days).year >= 1990, max(days).year <= 2100), (True, True))

# What it writes: the observed entry copies listing position and accent, runs of 28 years become
# one event, lines without rule words stay as they were.
out = gen_overlays.expand(US.split("\n"))
check("holiday line", out[1], 'event "New Year\'s Day" kind=annual month=1 day=1 above=10 highlight=1')
check("one run", out[2], 'event "New Year\'s Day (observed)" kind=every-n-years year=1995 month=1 day=2 n=28 '
                         'range_end=2079/1/2 above=10 highlight=1')
check("single date after February 2100", out[-2],
      'event "New Year\'s Day (observed)" kind=once year=2100 month=12 day=31 above=10 highlight=1')
plain = ['overlay', '# a comment', 'event "Flag Day" kind=annual month=6 day=14', '  below=100', '']
check("pass-through", gen_overlays.expand(plain), plain)

# Fete des meres: 2004 (Pentecost 30 May) moves to 6 June; the ranges around the moved years keep
# the rule, the last (after 2099's move) open-ended.
fr = gen_overlays.expand(['event "F" kind=last-weekday month=5 day=25 weekday=sun below=100 on_pentecost=7'])
check("first range", fr[0], 'event "F" kind=last-weekday month=5 day=25 weekday=sun below=100 range_end=1992/12/31')
check("moved year", 'event "F" kind=once year=2004 month=6 day=6 below=100' in fr, True)
check("last range", fr[-1], 'event "F" kind=last-weekday year=2100 month=5 day=25 weekday=sun below=100 '
                            'range_end=9999/12/31')

# Refusals name the file and line and leave no output.
bad = [
    ('event "x" kind=easter easter=1 observed=monday', "line 1: observed= needs kind=annual"),
    ('event "x" kind=annual month=1 day=1 observed=sunday', "line 1: observed=sunday: the rules are"),
    ('event "x" kind=annual month=2 day=29 observed=monday', "line 1: month=2 day=29 is not a date of every year"),
    ('overlay\nevent "x" kind=annual month=1 day=1 observed_from=2000', "line 2: observed_from= and observed_region="),
    ('event "x kind=annual month=1 day=1 observed=monday', "line 1: text without its closing quote"),
    ('event "x" kind=annual month=1 day=1 observed=monday on_pentecost=7', "line 1: on_pentecost= and observed="),
    ('event "x" kind=annual month=1 day=one observed=monday', "line 1: day=one is not a number"),
    ('event "x" kind=last-weekday month=13 day=25 weekday=sun on_pentecost=7', "line 1: month=13 is not a month"),
    ('event "x" kind=last-weekday month=5 day=25 weekday=son on_pentecost=7', "line 1: kind=last-weekday needs weekday="),
    ('event "' + "x" * 110 + '" kind=annual month=1 day=1 observed=monday', "line 1: the observed entry's text"),
]
with tempfile.TemporaryDirectory() as tmp:
    for text, message in bad:
        src, out_path = os.path.join(tmp, "bad.kovtxt"), os.path.join(tmp, "out.kovtxt")
        if os.path.exists(out_path):
            os.remove(out_path)
        with open(src, "w", encoding="utf-8") as f:
            f.write(text + "\n")
        r = subprocess.run([sys.executable, os.path.join(HERE, "gen_overlays.py"), src, out_path],
                           capture_output=True, text=True)
        check(f"refusal of {text[:40]}", (r.returncode, bool(re.search(re.escape("bad.kovtxt: " + message), r.stderr)),
                                          os.path.exists(out_path)), (1, True, False))

print("gen_overlays_test: " + ("all cases pass" if not failures else f"{failures} case(s) failed"))
sys.exit(1 if failures else 0)
