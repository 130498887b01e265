#!/usr/bin/python3
"""Writes the program's master location files.

Sources: tzdata's zone1970.tab (each tz zone's own city with its coordinates) and
iso3166.tab (country names), data/cities.csv (major cities added by hand: those of the United
States as "City, ST", Canada, the United Kingdom, France, Israel and a few more), CLDR's
windowsZones.xml (tz zone to Windows zone) and data/zone_ids.csv (Windows zone to the
program's identifier). Every location gets a valid identifier or the generator fails.

Files (the locations format: name, latitude degrees, minutes, seconds, longitude degrees,
minutes, seconds, zone identifier; "-" before the degrees for south and west; CR LF):
- KVLOCATION.DAT: the world list, by name; copied to "My Locations.dat" on the first run.
- DEFAULT.DAT: one location per zone identifier, the zone's own city; a new configuration
  takes from it the default point of reference of the computer's zone.
- KVLOCAL_40.DAT: the master list older releases shipped, against which the user's own
  locations of such a release (its KVLOCAL.DAT, put into the program folder by the data
  migration) are told apart and merged into "My Locations.dat". It is the world list.

Usage: gen_locations.py ZONE_IDS.csv CITIES.csv OUTDIR
"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import tzsources  # noqa: E402

# Countries named more plainly than in iso3166.tab.
COUNTRY_NAMES = {"GB": "United Kingdom", "US": "United States", "KR": "South Korea",
                 "KP": "North Korea", "CD": "Congo (Kinshasa)", "CG": "Congo (Brazzaville)"}
# Countries whose cities come from data/cities.csv with their own naming.
HAND_COUNTRIES = {"US", "CA"}


def dms(value):
    """(negative, degrees, minutes, seconds), rounded to the second."""
    total = round(abs(value) * 3600)
    return value < 0, total // 3600, total // 60 % 60, total % 60


def tab_coordinate(text, degree_digits):
    """A zone1970.tab coordinate (+DDMM, +DDMMSS or the longitude forms) in decimal degrees."""
    sign = -1 if text[0] == "-" else 1
    digits = text[1:]
    d = int(digits[:degree_digits])
    m = int(digits[degree_digits:degree_digits + 2])
    s = int(digits[degree_digits + 2:] or 0)
    return sign * (d + m / 60 + s / 3600)


def split_coordinates(text):
    i = max(text.rfind("+"), text.rfind("-"))
    return tab_coordinate(text[:i], 2), tab_coordinate(text[i:], 3)


def line_for(name, lat, lon, zone):
    s1, d1, m1, x1 = dms(lat)
    s2, d2, m2, x2 = dms(lon)
    fields = [name, ("-" if s1 else "") + str(d1), str(m1), str(x1),
              ("-" if s2 else "") + str(d2), str(m2), str(x2), str(zone)]
    return (",".join(tzsources.quote_field(f) for f in fields) + "\r\n").encode("cp1252")


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    ids = tzsources.read_zone_ids(sys.argv[1])
    id_of = {key: number for number, key in ids.items()}
    zones, tz_to_key = tzsources.read_windows_zones()
    links = tzsources.read_links()
    countries = tzsources.read_countries()

    def zone_id(tz, where):
        key = tzsources.windows_key_for(tz, tz_to_key, links)
        if key is None or key not in id_of:
            tzsources.fail("no zone identifier for %s (%s)" % (tz, where))
        return id_of[key]

    places = {}   # name → (lat, lon, zone id, tz)
    with open(sys.argv[2], encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            name, lat, lon, tz = line.strip().rsplit(",", 3)
            places[name] = (float(lat), float(lon), zone_id(tz, name), tz)
    for codes, coords, tz in tzsources.read_zone1970():
        if codes[0] in HAND_COUNTRIES:
            continue
        city = tz.rsplit("/", 1)[1].replace("_", " ")
        name = "%s, %s" % (city, COUNTRY_NAMES.get(codes[0], countries[codes[0]]))
        if name in places:
            continue
        if tzsources.windows_key_for(tz, tz_to_key, links) is None:
            # A tz zone Windows has no zone for (a research station): not a place to offer.
            print("gen_locations: left out %s (no Windows zone)" % tz, file=sys.stderr)
            continue
        lat, lon = split_coordinates(coords)
        places[name] = (lat, lon, zone_id(tz, name), tz)

    for name in places:
        if len(name.encode("cp1252")) > 63:
            tzsources.fail("location name longer than 63 characters: %s" % name)
    world = b"".join(line_for(n, *places[n][:3]) for n in sorted(places, key=str.casefold))

    # The zone's own city: the place whose tz is the CLDR city of the zone.
    default = []
    for number, key in ids.items():
        _, tz = zones[key]
        own = [n for n, p in places.items() if p[3] == tz or links.get(p[3]) == tz or links.get(tz) == p[3]]
        if own:
            city = tz.rsplit("/", 1)[1].replace("_", " ")
            best = min(own, key=lambda n: (not n.startswith(city + ","), n))
            lat, lon, _, _ = places[best]
            default.append(line_for(best, lat, lon, number))
    out = sys.argv[3]
    for file_name, data in (("KVLOCATION.DAT", world), ("KVLOCAL_40.DAT", world),
                            ("DEFAULT.DAT", b"".join(default))):
        with open(os.path.join(out, file_name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
