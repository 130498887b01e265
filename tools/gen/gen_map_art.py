#!/usr/bin/python3
"""Draws the world map window's pictures, all 32-bit bitmaps with alpha:

  world.bmp         800 x 500 Mercator world map
  sun.bmp           19 x 19 sun
  moon.bmp          16 frames of 19 x 19 side by side: the moon's phases, frame 0 new moon,
                    frame 8 full moon, waxing (frames 1-7) lit on the right
  location.bmp      5 x 5 location marker
  map_location.bmp  5 x 5 marker of the map location

Usage: gen_map_art.py COUNTRIES_TOPOJSON OUTPUT_FOLDER

The land and the borders come from Natural Earth's 1:50m admin-0 country polygons (public
domain, naturalearthdata.com) as the npm package "world-atlas" 2.0.2 ships them in TopoJSON
(countries-50m.json); scripts/bootstrap installs that package. The projection is the map's own, fixed to the picture: a longitude lands
in column floor((lon + 180) * 800 / 360 + 0.5) + 774 (minus 800 when 800 or more), so that
longitude 0 is column 374, and a latitude in row 289 - floor(ln(tan(lat / 2 + pi / 4)) *
127.3239545 + 0.5), the equator on row 289. Coasts are antialiased: each pixel's land share is
measured on four sample lines per row with exact horizontal coverage.
"""
import json
import math
import os
import struct
import sys

WIDTH, HEIGHT = 800, 500
SCALE = 127.3239545          # 400 / pi: pixels per unit of the Mercator ordinate
EQUATOR = 289
SHIFT = 774                  # column of longitude -180 before wrapping
SUBLINES = 4                 # sample lines per pixel row
WRAP = 2                     # a ring unwrapped across the 180th meridian may reach 2 widths out


# ---------------------------------------------------------------------------------------------
# The projection, continuous: pixel column X covers u in [X, X + 1), row Y covers v in [Y, Y + 1).

def proj_u(lon):
    return (lon + 180.0) * WIDTH / 360.0 + 0.5 + SHIFT - WIDTH


def proj_v(lat):
    lat = max(-85.0, min(85.0, lat))
    return EQUATOR + 0.5 - math.log(math.tan(math.radians(lat) / 2 + math.pi / 4)) * SCALE


def row_latitude(y):
    return math.degrees(2 * math.atan(math.exp((EQUATOR - y) / SCALE)) - math.pi / 2)


def column(lon):
    x = math.floor((lon + 180.0) * WIDTH / 360.0 + 0.5) + SHIFT
    return x - WIDTH if x >= WIDTH else x


def row(lat):
    return EQUATOR - math.floor(math.log(math.tan(math.radians(lat) / 2 + math.pi / 4)) * SCALE + 0.5)


# ---------------------------------------------------------------------------------------------
# TopoJSON: quantised, delta-encoded arcs; polygons are rings of arc indices (~i: reversed).

def read_countries(path):
    """The countries' outer and inner rings as lists of (lon, lat), and the borders between two
    countries as polylines. Filling every country leaves the seas between them (the Caspian)
    open, which the merged land outline of the same data does not."""
    with open(path, encoding="utf-8") as f:
        topo = json.load(f)
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((x * sx + tx, y * sy + ty))
        arcs.append(points)

    def ring_points(ring):
        points = []
        for index in ring:
            part = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
            points.extend(part[1:] if points else part)
        return points

    rings = []
    users = [0] * len(arcs)
    for geometry in topo["objects"]["countries"]["geometries"]:
        if geometry.get("type") not in ("Polygon", "MultiPolygon"):
            continue
        polygons = geometry["arcs"] if geometry["type"] == "MultiPolygon" else [geometry["arcs"]]
        used = set()
        for polygon in polygons:
            for ring in polygon:
                rings.append(ring_points(ring))
                used.update(i if i >= 0 else ~i for i in ring)
        for i in used:
            users[i] += 1
    borders = [arcs[i] for i in range(len(arcs)) if users[i] > 1]
    return rings, borders


def unwrapped(lons):
    """Longitudes made continuous where a line jumps by 360 degrees at the 180th meridian."""
    out, offset, previous = [], 0.0, None
    for lon in lons:
        if previous is not None and abs(lon - previous) > 180:
            offset += -360.0 if lon > previous else 360.0
        previous = lon
        out.append(lon + offset)
    return out


def border_ink(borders):
    """How much of each pixel the country borders cover (a line about 0.6 pixel wide), from
    samples every quarter pixel spread over the four nearest pixels."""
    ink = [[0.0] * WIDTH for _ in range(HEIGHT)]
    for line in borders:
        lons = unwrapped([lon for lon, _ in line])
        pts = [(proj_u(lon) - 0.5, proj_v(lat) - 0.5) for lon, (_, lat) in zip(lons, line)]
        for (u0, v0), (u1, v1) in zip(pts, pts[1:]):
            steps = max(1, int(math.hypot(u1 - u0, v1 - v0) * 4))
            for k in range(steps):
                t = (k + 0.5) / steps
                u, v = u0 + (u1 - u0) * t, v0 + (v1 - v0) * t
                if not -1 < v < HEIGHT:
                    continue
                iu, iv = math.floor(u), math.floor(v)
                fu, fv = u - iu, v - iv
                for du, dv, w in ((0, 0, (1 - fu) * (1 - fv)), (1, 0, fu * (1 - fv)),
                                  (0, 1, (1 - fu) * fv), (1, 1, fu * fv)):
                    y = iv + dv
                    if 0 <= y < HEIGHT:
                        ink[y][(iu + du) % WIDTH] += w * 0.15
    return [[min(1.0, c) for c in line] for line in ink]


def land_coverage(rings):
    """Share of land in each pixel (0 ... 1), rows of WIDTH floats; even-odd fill so that lakes
    and inland seas cut out of the land stay water."""
    lines = HEIGHT * SUBLINES
    starts = [[] for _ in range(lines)]
    margin = WRAP * WIDTH
    for ring in rings:
        # A ring that crosses the 180th meridian jumps by 360 degrees there; unwrap it so that
        # it stays one shape, and fold the columns back into the picture afterwards.
        lons = unwrapped([lon for lon, _ in ring])
        pts = [(proj_u(lon) + margin, proj_v(lat) * SUBLINES) for lon, (_, lat) in zip(lons, ring)]
        for (u0, v0), (u1, v1) in zip(pts, pts[1:] + pts[:1]):
            if v0 == v1:
                continue
            if v0 > v1:
                u0, v0, u1, v1 = u1, v1, u0, v0
            first = max(0, math.ceil(v0 - 0.5))
            last = min(lines - 1, math.ceil(v1 - 0.5) - 1)   # sample line s lies at s + 0.5
            if first > last:
                continue
            slope = (u1 - u0) / (v1 - v0)
            starts[first].append((last, u0 + (first + 0.5 - v0) * slope, slope))

    span_width = WIDTH * (2 * WRAP + 1)
    weight = 1.0 / SUBLINES
    coverage = []
    active = []
    for y in range(HEIGHT):
        acc = [0.0] * (span_width + 2)
        step = [0.0] * (span_width + 2)
        for k in range(SUBLINES):
            s = y * SUBLINES + k
            active.extend([last, u, slope] for last, u, slope in starts[s])
            crossings = sorted(edge[1] for edge in active)
            for i in range(0, len(crossings) - 1, 2):
                a = min(max(crossings[i], 0.0), span_width)
                b = min(max(crossings[i + 1], 0.0), span_width)
                if b <= a:
                    continue
                ia, ib = int(a), int(b)
                if ia == ib:
                    acc[ia] += (b - a) * weight
                    continue
                acc[ia] += (ia + 1 - a) * weight
                step[ia + 1] += weight
                step[ib] -= weight
                acc[ib] += (b - ib) * weight
            kept = []
            for edge in active:
                if edge[0] > s:
                    edge[1] += edge[2]
                    kept.append(edge)
            active = kept
        running = 0.0
        line = [0.0] * span_width
        for x in range(span_width):
            running += step[x]
            line[x] = running + acc[x]
        # The map wraps around: every column outside 0 ... 799 folds onto the one 800 away.
        out = [0.0] * WIDTH
        for base in range(0, span_width, WIDTH):
            for x in range(WIDTH):
                out[x] += line[base + x]
        coverage.append([min(1.0, max(0.0, c)) for c in out])
    return coverage


def box_blur(grid, radius):
    """Mean over a (2r + 1)² box, edges clamped; used for the pale shelf along the coasts."""
    def blur_line(values):
        n = len(values)
        prefix = [0.0]
        for v in values:
            prefix.append(prefix[-1] + v)
        out = []
        for i in range(n):
            lo, hi = max(0, i - radius), min(n, i + radius + 1)
            out.append((prefix[hi] - prefix[lo]) / (hi - lo))
        return out
    rows = [blur_line(r) for r in grid]
    cols = [blur_line([rows[y][x] for y in range(len(rows))]) for x in range(len(rows[0]))]
    return [[cols[x][y] for x in range(len(cols))] for y in range(len(rows))]


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


OCEAN_DEEP = (38, 92, 150)
OCEAN_SHELF = (92, 150, 196)
LAND_WARM = (196, 208, 140)     # low latitudes: sunny olive green
LAND_TEMPERATE = (160, 190, 120)
LAND_COLD = (226, 228, 218)     # ice and tundra
COAST = (88, 104, 64)
BORDER = (120, 110, 80)
GRATICULE = (255, 255, 255)


def land_colour(lat):
    a = abs(lat)
    if a < 35:
        return mix(LAND_WARM, LAND_TEMPERATE, a / 35.0)
    if a < 62:
        return LAND_TEMPERATE
    return mix(LAND_TEMPERATE, LAND_COLD, min(1.0, (a - 62) / 12.0))


def draw_world(countries_path):
    rings, borders = read_countries(countries_path)
    coverage = land_coverage(rings)
    ink = border_ink(borders)
    shelf = box_blur(coverage, 2)
    grid_columns = {column(lon) for lon in range(-180, 180, 30)}
    grid_rows = {row(lat) for lat in (-60, -30, 0, 30, 60)}
    picture = []
    for y in range(HEIGHT):
        lat = row_latitude(y + 0.5)
        polar = min(1.0, abs(lat) / 75.0)
        ocean_row = mix(OCEAN_DEEP, (30, 70, 120), polar * polar)
        land = land_colour(lat)
        line = []
        for x in range(WIDTH):
            c = coverage[y][x]
            water = mix(ocean_row, OCEAN_SHELF, min(1.0, shelf[y][x] * 1.5) * 0.4)
            if x in grid_columns or y in grid_rows:
                water = mix(water, GRATICULE, 0.16)
            colour = mix(water, mix(land, BORDER, ink[y][x] * 0.6), c)
            if 0.0 < c < 1.0:   # a thin darker line along the coast
                colour = mix(colour, COAST, 0.55 * (1 - abs(2 * c - 1)))
            line.append(tuple(int(round(v)) for v in colour) + (255,))
        picture.append(line)
    return picture


# ---------------------------------------------------------------------------------------------
# Small pictures, drawn from geometry with 4 x 4 samples per pixel; colours are not premultiplied
# (the program premultiplies once after loading).

def supersample(width, height, shade, n=4):
    """shade(x, y) -> (r, g, b, a) with a in 0 ... 1 at a point; returns rows of RGBA bytes."""
    picture = []
    for py in range(height):
        line = []
        for px in range(width):
            r = g = b = a = 0.0
            for j in range(n):
                for i in range(n):
                    cr, cg, cb, ca = shade(px + (i + 0.5) / n, py + (j + 0.5) / n)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            if a <= 0:
                line.append((0, 0, 0, 0))
            else:
                line.append((int(round(r / a)), int(round(g / a)), int(round(b / a)), int(round(a / (n * n) * 255))))
        picture.append(line)
    return picture


def sun_shade(x, y):
    dx, dy = x - 9.5, y - 9.5
    r = math.hypot(dx, dy)
    if r <= 4.6:
        t = r / 4.6
        return (255, int(244 - 40 * t), int(120 - 90 * t), 1.0)
    if r <= 5.4:
        return (232, 130, 20, 1.0)
    # Eight pointed rays between the disc and the picture's edge.
    angle = math.atan2(dy, dx)
    phase = abs(((angle / (2 * math.pi / 8)) % 1.0) - 0.5) * 2   # 1 on a ray's axis
    reach = 6.2 + 3.0 * phase ** 3
    if r <= reach and r <= 9.3:
        return (255, 196, 40, 0.95)
    if r <= 8.0:
        return (255, 220, 90, 0.22)   # faint glow between the rays
    return (0, 0, 0, 0.0)


def moon_shade(frame):
    """Frame k shows the moon at elongation k × 22.5°: the sunlit half seen from the Earth."""
    elongation = math.radians(frame * 22.5)
    sun = (math.sin(elongation), 0.0, -math.cos(elongation))   # viewer looks along -z; +x is east (right)
    radius = 8.2

    def shade(x, y):
        nx, ny = (x - 9.5) / radius, (y - 9.5) / radius
        d2 = nx * nx + ny * ny
        if d2 > 1.0:
            if d2 <= (1.0 + 1.0 / radius) ** 2:
                return (150, 156, 172, 0.55)   # a faint rim so the new moon stays findable
            return (0, 0, 0, 0.0)
        nz = math.sqrt(1.0 - d2)
        lit = nx * sun[0] + ny * sun[1] + nz * sun[2]
        t = max(0.0, min(1.0, lit * 4.0 + 0.1))
        dark = (70, 76, 94)
        bright = (252, 250, 232)
        c = mix(dark, bright, t)
        return (c[0], c[1], c[2], 0.78 + 0.22 * t)
    return shade


def moon_strip():
    frames = [supersample(19, 19, moon_shade(k)) for k in range(16)]
    return [sum((frames[k][y] for k in range(16)), []) for y in range(19)]


def marker(rows, palette):
    return [[palette[ch] for ch in line] for line in rows]


LOCATION_MARKER = marker([".kkk.",
                          "kyyyk",
                          "kyyyk",
                          "kyyyk",
                          ".kkk."],
                         {".": (0, 0, 0, 0), "k": (60, 40, 0, 230), "y": (255, 214, 40, 255)})

MAP_LOCATION_MARKER = marker(["..k..",
                              ".kwk.",
                              "kw.wk",
                              ".kwk.",
                              "..k.."],
                             {".": (0, 0, 0, 0), "k": (0, 0, 0, 255), "w": (255, 255, 255, 255)})


# ---------------------------------------------------------------------------------------------

def write_bmp(path, picture):
    """A bottom-up 32-bit BI_RGB bitmap whose fourth byte is the alpha."""
    height, width = len(picture), len(picture[0])
    data = bytearray()
    for line in reversed(picture):
        for r, g, b, a in line:
            data += bytes((b, g, r, a))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    with open(path + ".tmp", "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 14 + 40) + header + data)
    os.replace(path + ".tmp", path)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: gen_map_art.py COUNTRIES_TOPOJSON OUTPUT_FOLDER")
    land, out = sys.argv[1], sys.argv[2]
    if not os.path.isfile(land):
        sys.exit(f"gen_map_art.py: {land} is missing; scripts/bootstrap installs the npm package world-atlas")
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "sun.bmp"), supersample(19, 19, sun_shade))
    write_bmp(os.path.join(out, "moon.bmp"), moon_strip())
    write_bmp(os.path.join(out, "location.bmp"), LOCATION_MARKER)
    write_bmp(os.path.join(out, "map_location.bmp"), MAP_LOCATION_MARKER)
    write_bmp(os.path.join(out, "world.bmp"), draw_world(land))


if __name__ == "__main__":
    main()
