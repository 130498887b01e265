#!/usr/bin/python3
"""Reads .ics files with independent Python readers (python3-icalendar and
python3-recurring-ical-events) for the command-line tests.

  check_ics.py parse FILE            every component read back; prints counts as JSON
  check_ics.py days FILE A B         the days (YYYY-MM-DD, one per occurrence) of every event
                                     from 1 January of year A through 31 December of year B
  check_ics.py starts FILE A B       the start date-times (YYYY-MM-DDTHH:MM, in the event's own
                                     zone) and summaries of the timed events between those years
"""
import datetime
import json
import sys

import icalendar
import recurring_ical_events


def load(path):
    with open(path, "rb") as f:
        return icalendar.Calendar.from_ical(f.read())


def parse(path):
    cal = load(path)
    counts = {}
    for c in cal.walk():
        counts[c.name] = counts.get(c.name, 0) + 1
        for name, value in c.property_items(recursive=False):
            # Decoding each value finds malformed dates, durations and rules.
            if name in ("DTSTART", "DTEND", "DUE", "EXDATE", "RDATE", "RECURRENCE-ID", "COMPLETED", "DTSTAMP"):
                c.decoded(name)
            if name == "RRULE":
                icalendar.vRecur.from_ical(value.to_ical().decode())
    print(json.dumps(counts, sort_keys=True))


def between(path, a, b):
    cal = load(path)
    return recurring_ical_events.of(cal).between(datetime.date(a, 1, 1), datetime.date(b + 1, 1, 1))


def days(path, a, b):
    out = []
    for ev in between(path, a, b):
        start = ev["DTSTART"].dt
        if isinstance(start, datetime.datetime):
            start = start.date()
        out.append(start.isoformat())
    print("\n".join(sorted(out)))


def starts(path, a, b):
    out = []
    for ev in between(path, a, b):
        start = ev["DTSTART"].dt
        if not isinstance(start, datetime.datetime):
            continue
        out.append("%s %s" % (start.strftime("%Y-%m-%dT%H:%M"), str(ev.get("SUMMARY", ""))))
    print("\n".join(sorted(out)))


if __name__ == "__main__":
    cmd = sys.argv[1]
    if cmd == "parse":
        parse(sys.argv[2])
    elif cmd == "days":
        days(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    elif cmd == "starts":
        starts(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    else:
        sys.exit(__doc__)
