#!/usr/bin/env bash
# kvtool's world map commands: the projection both ways at its edges, the sky at a minute with
# and without a map location, and the arguments refused. The astronomy itself is checked by
# the unit tests against independent ephemerides.
# Usage: kvtool_map_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

expect '{"x":374,"y":289,"visible":true}' map project 0 0
# 180 east and 180 west share a column; the band ends near 78.2 north and 68.4 south.
expect '{"x":774,"y":289,"visible":true}' map project 0 180
expect '{"x":774,"y":289,"visible":true}' map project 0 -180
expect '{"x":0,"y":0,"visible":true}' map project 78.2 -168.3
expect '{"x":374,"y":-1,"visible":false}' map project 78.3 0
expect '{"x":374,"y":500,"visible":true}' map project -68.4 0
expect '{"x":374,"y":501,"visible":false}' map project -68.5 0
expect '{"lat":0.0,"lon":0.0}' map unproject 374 289
expect '{"lat":78.200813,"lon":180.0}' map unproject 774 0
expect '{"lat":-68.409532,"lon":-168.75}' map unproject 799 500

# The June solstice seen from Greenwich, and the epoch J2000.0 without a map location (0, 0).
expect '{"sun":{"dec":23.43822,"gha":132.30541,"x":80,"y":235,"az":317.12605,"alt":-4.21115},"moon":{"dec":-27.07601,"gha":328.77202,"x":443,"y":352,"az":152.29718,"alt":6.78301,"frame":7},"nutation":{"dpsi":-3.5908,"deps":8.2598}}' \
  map sky --utc 2024-06-20T20:51 --lat 51.4769 --lon -0.0005
expect '{"sun":{"dec":-23.03253,"gha":359.18312,"x":376,"y":342,"az":178.07937,"alt":66.95378},"moon":{"dec":-10.89752,"gha":58.01691,"x":245,"y":313,"az":257.21173,"alt":31.34012,"frame":13},"nutation":{"dpsi":-13.9232,"deps":-5.7739}}' \
  map sky --utc 2000-01-01T12:00

expect_exit 2 'latitude' map project 91 0
expect_exit 2 'longitude' map project 0 -181
expect_exit 2 'must be a number' map project north 0
expect_exit 2 'x' map unproject 800 0
expect_exit 2 'y' map unproject 0 501
expect_exit 2 '--utc' map sky
expect_exit 2 'together' map sky --utc 2024-06-20T20:51 --lat 10
expect_exit 2 'not a date' map sky --utc 2024-06-20

finish "kvtool map"
