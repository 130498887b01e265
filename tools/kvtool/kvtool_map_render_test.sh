#!/usr/bin/env bash
# kvtool map render: the PNG it writes is a valid 800 x 500 picture (read back with Python's own
# zlib), and a few pixels show what was asked for: land and sea where the projection puts them,
# night darker than the plain map, the sun at its sub-point, the location markers with their
# white centres and the map location's red one. Wrong arguments are refused.
# Usage: kvtool_map_render_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

# pixel FILE X Y -> "R G B" (fails on a damaged PNG)
pixel() {
  python3 - "$@" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
pos, idat, size = 8, b"", None
while pos < len(data):
    n, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + n]
    assert zlib.crc32(kind + body) == struct.unpack(">I", data[pos + 8 + n:pos + 12 + n])[0], "bad CRC"
    if kind == b"IHDR":
        size = struct.unpack(">IIBBBBB", body)
    elif kind == b"IDAT":
        idat += body
    pos += 12 + n
w, h, depth, colour = size[:4]
assert (w, h, depth, colour) == (800, 500, 8, 2), size
raw = zlib.decompress(idat)
assert len(raw) == h * (1 + 3 * w)
x, y = int(sys.argv[2]), int(sys.argv[3])
i = y * (1 + 3 * w) + 1 + 3 * x
print(*raw[i:i + 3])
PY
}

check() {  # check WHAT CONDITION   (R G B of the last pixel are $r $g $b)
  if ! eval "$2"; then echo "FAIL: $1 (pixel $r $g $b)"; failures=$((failures + 1)); fi
}

at() { read -r r g b < <(pixel "$@"); }

utc=(--utc 2024-06-21T12:00)
run map render "${utc[@]}" plain.png
# Madrid is land (more red than blue), the mid Pacific water, on the plain map.
at plain.png 366 191; check "Madrid is land" '[ $r -gt $b ]'; madrid=($r $g $b)
at plain.png 41 289; check "the Pacific is water" '[ $b -gt $r ]'; pacific=($r $g $b)

# At noon UT near the June solstice Madrid is in daylight, the mid Pacific (2 am) in night.
run map render "${utc[@]}" --sunlight basic night.png
at night.png 366 191; check "Madrid in daylight is as on the plain map" '[ "$r $g $b" = "${madrid[*]}" ]'
at night.png 41 289; check "the Pacific at night is darker" '[ $b -lt $(( ${pacific[2]} * 6 / 10 )) ]'
run map render "${utc[@]}" --sunlight detail detail.png
at detail.png 41 289; check "detail: night as dark" '[ $b -lt $(( ${pacific[2]} * 6 / 10 )) ]'

# The sun at its sub-point (the command says where): bright yellow.
run map render "${utc[@]}" --sun sun.png
sx=$(sed -n 's/.*"sun":{"x":\([0-9]*\),"y":\([0-9]*\)}.*/\1/p' out)
sy=$(sed -n 's/.*"sun":{"x":\([0-9]*\),"y":\([0-9]*\)}.*/\2/p' out)
if [ -z "$sx" ]; then echo "FAIL: no sun position in $(cat out)"; failures=$((failures + 1)); else
  at sun.png "$sx" "$sy"; check "sun colour at its sub-point" '[ $r -gt 200 ] && [ $g -gt 150 ] && [ $b -lt 150 ]'
fi

# Two locations in the Atlantic, and the map location at 0, 0 (the Gulf of Guinea).
printf '"Mid Atlantic",30,0,0,-40,0,0,1\r\n"South Atlantic",-30,0,0,-20,0,0,1\r\n' >loc.dat
expect_part '"locations":2}' map render "${utc[@]}" --locations loc.dat --lat 0 --lon 0 marks.png
at marks.png 285 219; check "white centre of a location" '[ "$r $g $b" = "255 255 255" ]'
at marks.png 286 219; check "location marker" '[ $r -gt 200 ] && [ $b -lt 100 ]'
at marks.png 374 289; check "red centre of the map location" '[ "$r $g $b" = "255 0 0" ]'
at marks.png 375 289; check "map-location marker" '[ "$r $g $b" = "255 255 255" ]'

expect_exit 2 'sunlight' map render "${utc[@]}" --sunlight bright x.png
expect_exit 2 'utc' map render x.png
expect_exit 2 'lat' map render "${utc[@]}" --lat 95 --lon 0 x.png
expect_exit 2 'together' map render "${utc[@]}" --lat 10 x.png
expect_exit 1 'locations' map render "${utc[@]}" --locations missing.dat x.png
expect_exit 1 'cannot write' map render "${utc[@]}" no/such/folder/x.png

finish kvtool_map_render
