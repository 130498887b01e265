"""Readers of the Debian time-zone sources shared by the zone and location generators.

- CLDR's mapping of Windows zones to tz zones: windowsZones.xml of unicode-cldr-core.
- tzdata: the compiled zones through Python's zoneinfo, the links of tzdata.zi,
  zone1970.tab and iso3166.tab.
- data/zone_ids.csv: the program's stable zone identifiers.
"""
import re
import sys

WINDOWS_ZONES = "/usr/share/unicode/cldr/common/supplemental/windowsZones.xml"
TZDATA_ZI = "/usr/share/zoneinfo/tzdata.zi"
ZONE1970 = "/usr/share/zoneinfo/zone1970.tab"
ISO3166 = "/usr/share/zoneinfo/iso3166.tab"


def fail(message):
    sys.exit("%s: %s" % (sys.argv[0], message))


def read_zone_ids(path):
    """Identifier → Windows key name, in identifier order."""
    ids = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            number, key = line.split(",", 1)
            number = int(number)
            if not 1 <= number <= 255 or number in ids or key in ids.values():
                fail("bad or repeated zone identifier line: %s" % line)
            ids[number] = key
    return ids


def read_windows_zones():
    """(zones, tz_to_key): zones maps each Windows key to (description, tz of territory 001);
    tz_to_key maps every tz name CLDR lists to its Windows key."""
    text = open(WINDOWS_ZONES, encoding="utf-8").read()
    zones = {}
    for m in re.finditer(r'<!-- \((UTC[^)]*)\) ([^>]*?) -->\s*<mapZone other="([^"]+)" territory="001" type="([^"]+)"', text):
        zones[m.group(3)] = (m.group(2), m.group(4))
    tz_to_key = {}
    for m in re.finditer(r'<mapZone other="([^"]+)" territory="([^"]+)" type="([^"]+)"', text):
        for tz in m.group(3).split():
            # The territory-001 entry names the zone's own city; other territories add theirs.
            if m.group(2) == "001" or tz not in tz_to_key:
                tz_to_key[tz] = m.group(1)
    if len(zones) < 100:
        fail("windowsZones.xml lists only %d zones" % len(zones))
    return zones, tz_to_key


def read_links():
    """Every tz link name → its target, both ways round, from tzdata.zi."""
    links = {}
    with open(TZDATA_ZI, encoding="utf-8") as f:
        for line in f:
            if line.startswith("L "):
                _, target, name = line.split()
                links[name] = target
    return links


def windows_key_for(tz, tz_to_key, links):
    """The Windows key CLDR gives a tz zone, following links in either direction."""
    if tz in tz_to_key:
        return tz_to_key[tz]
    if tz in links and links[tz] in tz_to_key:
        return tz_to_key[links[tz]]
    for name, target in links.items():
        if target == tz and name in tz_to_key:
            return tz_to_key[name]
    return None


def read_countries():
    names = {}
    with open(ISO3166, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            code, name = line.rstrip("\n").split("\t")
            names[code] = name
    return names


def read_zone1970():
    """(country codes, coordinates text, tz) for each line of zone1970.tab."""
    rows = []
    with open(ZONE1970, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            rows.append((fields[0].split(","), fields[1], fields[2]))
    return rows


def quote_field(text):
    """The shared field syntax: quoted when the text holds a comma, a double quote or CR."""
    if any(c in text for c in ',"\r'):
        return '"' + text.replace('"', '""') + '"'
    return text
