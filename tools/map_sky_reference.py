#!/usr/bin/python3
"""Independent reference figures for the world map's sky computations.

  map_sky_reference.py table    prints the nutation rows (after the leading term) as C++
                                initialisers: multipliers of M', M, F, D, Omega, then the sine
                                coefficient and rate and the cosine coefficient and rate in
                                0.0001" and 0.00001" per century, from PyMeeus's table 22.A
  map_sky_reference.py expect   prints the test expectations of sky/map_sky_test.cpp: the
                                nutation from PyMeeus and the apparent places, hour angles and
                                horizon coordinates of the sun and moon from PyEphem

Needs the Debian packages python3-pymeeus and python3-ephem.
"""
import math
import sys

from pymeeus import Coordinates as C
from pymeeus.Epoch import Epoch
import ephem


def table():
    args, sines, cosines = C.NUTATION_ARG_TABLE, C.NUTATION_SINE_COEF_TABLE, C.NUTATION_COSINE_COEF_TABLE
    assert len(args) == 63
    # PyMeeus leaves out the trailing rows whose cosine coefficient is zero.
    cosines = list(cosines) + [[0.0, 0.0]] * (len(args) - len(cosines))
    for a, s, c in list(zip(args, sines, cosines))[1:]:
        d, m, mp, f, om = a
        row = [mp, m, f, d, om, round(s[0]), round(s[1] * 10), round(c[0]), round(c[1] * 10)]
        print("    {" + ", ".join("%d" % v for v in row) + "},")


# Julian centuries from J2000.0 at which the nutation is checked (PyMeeus takes them as TT).
NUTATION_T = [-0.5, -0.127296372348, 0.0, 0.0871, 0.2594, 0.5, 1.0]

# UT instants and map locations (latitude, longitude) of the sky checks.
SKY_CASES = [
    ("2000-01-01 12:00", 0.0, 0.0),
    ("2024-06-20 20:51", 51.4769, -0.0005),
    ("2024-12-21 09:21", -33.8688, 151.2093),
    ("2025-03-14 06:55", 40.7128, -74.0060),
    ("2025-09-07 18:09", 35.6762, 139.6503),
    ("2026-01-03 00:00", -23.5505, -46.6333),
    ("1987-04-10 19:21", 64.1466, -21.9426),
]


def deg(x):
    return math.degrees(float(x))


def expect():
    print("// Nutation (T, dpsi, deps in arcseconds) from PyMeeus.")
    for T in NUTATION_T:
        e = Epoch(2451545.0 + T * 36525.0)
        dpsi = C.nutation_longitude(e).dms_tuple()
        deps = C.nutation_obliquity(e).dms_tuple()
        to_sec = lambda t: t[3] * (t[0] * 3600 + t[1] * 60 + t[2])
        print("    {%r, %.5f, %.5f}," % (T, to_sec(dpsi), to_sec(deps)))
    print("// Sky cases: UT, lat, lon, then sun and moon (ra, dec, gha, az, alt), geocentric")
    for when, lat, lon in SKY_CASES:
        obs = ephem.Observer()
        obs.date = ephem.Date(when.replace("-", "/"))
        obs.lat, obs.lon = str(lat), str(lon)
        obs.elevation = 0
        obs.pressure = 0  # no refraction
        obs.epoch = obs.date  # places of date
        g = ephem.Observer()
        g.date = obs.date
        g.lat, g.lon = "0", "0"
        theta = float(g.sidereal_time())  # apparent sidereal time at Greenwich
        phi = math.radians(lat)
        out = []
        for body in (ephem.Sun(), ephem.Moon()):
            body.compute(obs)
            ra, dec = float(body.g_ra), float(body.g_dec)
            # Geocentric horizon coordinates, as the map computes them.
            H = theta + math.radians(lon) - ra
            az = math.atan2(math.sin(H), math.cos(H) * math.sin(phi) - math.tan(dec) * math.cos(phi)) + math.pi
            alt = math.asin(math.sin(phi) * math.sin(dec) + math.cos(phi) * math.cos(dec) * math.cos(H))
            gha = math.degrees(theta - ra) % 360
            out.append("{%.5f, %.5f, %.5f, %.5f, %.5f}" % (deg(ra), deg(dec), gha, deg(az) % 360, deg(alt)))
        date, time = when.split()
        y, mo, d = date.split("-")
        hh, mm = time.split(":")
        print('    {{%d, %d, %d, %d, %d}, %r, %r, %s, %s},' % (int(y), int(mo), int(d), int(hh), int(mm), lat, lon,
                                                          out[0], out[1]))

    print("// Rise, transit, set (minutes after local standard midnight) from PyEphem")
    for body_name, date, lat, lon, bias in RTS_CASES:
        obs = ephem.Observer()
        obs.lat, obs.lon = str(lat), str(lon)
        obs.pressure = 0
        midnight = ephem.Date(date.replace("-", "/")) + bias / 1440.0
        obs.date = midnight
        if body_name == "sun":
            body, obs.horizon, centre = ephem.Sun(), "-0:50", True
        else:
            body, obs.horizon, centre = ephem.Moon(), "-0:34", False
        minutes = lambda d: round((float(d) - float(midnight)) * 1440)
        rise = minutes(obs.next_rising(body, use_center=centre))
        transit = minutes(obs.next_transit(body))
        sett = minutes(obs.next_setting(body, use_center=centre))
        print("    {%s, %s, %r, %r, %d, %d, %d, %d}," % ("MapBodyKind::Sun" if body_name == "sun" else "MapBodyKind::Moon",
              "{%s}" % ", ".join(str(int(v)) for v in date.split("-")), lat, lon, bias, rise, transit, sett))


# Bodies, local dates, locations and zone biases (minutes, UT minus local standard time).
RTS_CASES = [
    ("sun", "2024-06-21", 51.5074, -0.1278, 0),
    ("sun", "2024-12-21", -33.8688, 151.2093, -600),
    ("sun", "2025-03-20", 40.7128, -74.0060, 300),
    ("moon", "2024-06-21", 36.17, -115.14, 480),
    ("moon", "2025-09-07", 35.6762, 139.6503, -540),
]


if __name__ == "__main__":
    {"table": table, "expect": expect}[sys.argv[1] if len(sys.argv) > 1 else "expect"]()
