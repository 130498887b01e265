#!/usr/bin/python3
"""Writes KVTZX.DAT, the program's time-zone file.

Sources (Debian packages): the Windows zone names, their places and tz counterparts from
CLDR's windowsZones.xml (unicode-cldr-core); offsets and daylight rules from tzdata through
Python's zoneinfo; the stable identifiers from data/zone_ids.csv.

Each zone's rule is the one tzdata gives its CLDR city in REFERENCE_YEAR (a fixed year, so the
output depends only on the packages). A zone gets a daylight rule when that year has exactly
one change to an offset 60 minutes ahead and one change back; other zones (no daylight time,
or changes the file cannot describe: half-hour or negative daylight time, more than two
changes, daylight time longer than eight months) get standard time only, with the offset in force for most of the year.

One line per zone, CR LF, sixteen fields: identifier, sort key, key name, bias (UT minus local
standard time, minutes), display text, standard name, daylight name, standard date (month,
weekday, week 1-4 or 5 = last, minutes), daylight date (the same), flag (1 = a plain UTC
offset, left out of the location editor).

Usage: gen_zones.py ZONE_IDS.csv OUT
"""
import datetime
import sys
from zoneinfo import ZoneInfo

sys.path.insert(0, __import__("os").path.dirname(__file__))
import tzsources  # noqa: E402

REFERENCE_YEAR = 2025
UTC = datetime.timezone.utc


def offset_minutes(zone, instant):
    return int(instant.astimezone(zone).utcoffset().total_seconds() // 60)


def transitions(zone, year):
    """(instant, offset before, offset after) of each offset change in the year, to the minute."""
    out = []
    day = datetime.timedelta(days=1)
    t = datetime.datetime(year, 1, 1, tzinfo=UTC)
    end = datetime.datetime(year + 1, 1, 1, tzinfo=UTC)
    before = offset_minutes(zone, t)
    while t < end:
        after = offset_minutes(zone, t + day)
        if after != before:
            lo, hi = t, t + day   # the change lies in (lo, hi]
            while hi - lo > datetime.timedelta(minutes=1):
                mid = lo + (hi - lo) / 2
                mid = mid.replace(second=0, microsecond=0)
                if mid <= lo:
                    mid = lo + datetime.timedelta(minutes=1)
                if offset_minutes(zone, mid) == before:
                    lo = mid
                else:
                    hi = mid
            out.append((hi, before, after))
            before = after
        t += day
    return out


def rule_date(local):
    """(month, weekday 0 = Sunday, week 1-4 or 5 = last, minutes) of a local switch time."""
    month_length = ((local.replace(day=28) + datetime.timedelta(days=4)).replace(day=1) - datetime.timedelta(days=1)).day
    week = 5 if local.day + 7 > month_length else (local.day - 1) // 7 + 1
    weekday = (local.weekday() + 1) % 7
    return (local.month, weekday, week, local.hour * 60 + local.minute)


def zone_rule(tz):
    """(standard offset, standard date, daylight date); the dates are None without a rule."""
    zone = ZoneInfo(tz)
    changes = transitions(zone, REFERENCE_YEAR)
    if len(changes) == 2:
        (t1, a1, b1), (t2, a2, b2) = changes
        if b1 - a1 == 60 and a2 - b2 == 60:      # northern: daylight time first
            start, end, std = t1, t2, a1
        elif a1 - b1 == 60 and b2 - a2 == 60:    # southern: standard time first
            start, end, std = t2, t1, b1
        else:
            start = None
        # Daylight time is the shorter season; a "rule" keeping the clocks ahead for most of
        # the year is a standard time with a break (Morocco's Ramadan) and is not one.
        if start is not None and (end - start) % datetime.timedelta(days=365) < datetime.timedelta(days=240):
            daylight = rule_date(start + datetime.timedelta(minutes=std))      # in standard time
            standard = rule_date(end + datetime.timedelta(minutes=std + 60))   # in daylight time
            return std, standard, daylight
    # No usable rule: the offset in force on most days of the year.
    counts = {}
    t = datetime.datetime(REFERENCE_YEAR, 1, 1, 12, tzinfo=UTC)
    for _ in range(365):
        o = offset_minutes(zone, t)
        counts[o] = counts.get(o, 0) + 1
        t += datetime.timedelta(days=1)
    return max(counts, key=lambda o: (counts[o], -o)), None, None


def offset_text(minutes):
    sign = "+" if minutes >= 0 else "-"
    return "(UTC%s%02d:%02d)" % (sign, abs(minutes) // 60, abs(minutes) % 60)


def names(key):
    if "Standard Time" in key:
        return key, key.replace("Standard Time", "Daylight Time")
    if key.startswith("Russia Time Zone "):
        n = key[len("Russia Time Zone "):]
        return "Russia TZ %s Standard Time" % n, "Russia TZ %s Daylight Time" % n
    return key, key


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    ids = tzsources.read_zone_ids(sys.argv[1])
    zones, _ = tzsources.read_windows_zones()
    unknown = sorted(set(zones) - set(ids.values()))
    if unknown:
        # A zone CLDR knows but the program has no identifier for yet: it is left out until
        # data/zone_ids.csv gives it one (identifiers are never assigned by the generator).
        print("gen_zones: no identifier yet for: %s" % ", ".join(unknown), file=sys.stderr)
    rows = []
    for number, key in ids.items():
        if key not in zones:
            tzsources.fail("zone %d (%s) is not in windowsZones.xml" % (number, key))
        place, tz = zones[key]
        std, standard, daylight = zone_rule(tz)
        display = ("(UTC)" if key == "UTC" else offset_text(std)) + " " + place
        flag = 1 if tz.startswith("Etc/GMT") else 0
        std_name, dlt_name = names(key)
        rows.append([number, key, -std, display, std_name, dlt_name,
                     standard or (0, 0, 0, 0), daylight or (0, 0, 0, 0), flag])
    # Sort keys: west to east, then by display text, in steps of ten.
    order = sorted(rows, key=lambda r: (-r[2], r[3].split(") ", 1)[1]))
    sort_key = {r[0]: (i + 1) * 10 for i, r in enumerate(order)}
    with open(sys.argv[2], "wb") as f:
        for number, key, bias, display, std_name, dlt_name, sd, dd, flag in rows:
            fields = [str(number), str(sort_key[number]), key, str(bias), display, std_name, dlt_name]
            fields += [str(v) for v in sd] + [str(v) for v in dd] + [str(flag)]
            line = ",".join(tzsources.quote_field(x) for x in fields) + "\r\n"
            if len(line) > 190:
                tzsources.fail("zone line longer than a 192-byte block: %s" % line)
            f.write(line.encode("cp1252"))


if __name__ == "__main__":
    main()
