#!/usr/bin/python3
"""Writes KVTZNAMES.DAT: the tz names (IANA) of the program's time zones, for calendars
exchanged with other programs, which name zones that way.

Source (Debian package): CLDR's windowsZones.xml (unicode-cldr-core), the same mapping the zone
file is built from, and the links of tzdata.zi; the zones are those of data/zone_ids.csv.

One "tz name,Windows zone key" per line, CR LF. For each zone its own city (territory 001)
comes first, so the first line naming a key gives the name written out; every other tz name
CLDR maps to the key, and every link to one of them, follows so that reading accepts them all.

Usage: gen_zone_names.py ZONE_IDS.csv OUT
"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import tzsources  # noqa: E402


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    ids = tzsources.read_zone_ids(sys.argv[1])
    zones, tz_to_key = tzsources.read_windows_zones()
    links = tzsources.read_links()
    keys = set(ids.values())
    lines = []
    seen = set()

    def add(tz, key):
        if tz not in seen:
            seen.add(tz)
            lines.append("%s,%s" % (tz, key))

    for key in ids.values():
        if key in zones:
            add(zones[key][1], key)
    for tz, key in sorted(tz_to_key.items()):
        if key in keys and not tz.startswith("Etc/GMT"):
            add(tz, key)
    for name, target in sorted(links.items()):
        if target in tz_to_key and tz_to_key[target] in keys:
            add(name, tz_to_key[target])
    if "UTC" in keys:
        add("Etc/UTC", "UTC")
        add("UTC", "UTC")
        add("GMT", "UTC")
    with open(sys.argv[2], "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
