#!/usr/bin/env bash
# kvtool's sky, zone and location commands: one run of each for the shape of what it prints,
# with the data files beside kvtool and with files given by --file, and the arguments refused.
# The astronomy, the daylight rules and the file fix-ups are for the unit tests of the sky.
# Usage: kvtool_sky_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

vegas=(--lat 36.17 --lon -115.14 --bias 480)
expect '{"rise":264,"set":1141,"rise_az":59.772,"set_az":300.192,"flags":0}' sun 2024-06-21 "${vegas[@]}"
expect '{"rise":1162,"set":218,"rise_az":126.122,"set_az":234.265,"flags":0}' moon 2024-06-21 "${vegas[@]}"
expect_part '{"year":2024,"phases":[{"month":1,"day":3,"minute":1172,"code":4},{"month":1,"day":11,"minute":238,"code":1},' \
  phases 2024 --lat 36.17 --bias 480
# --dst moves the phases inside the daylight period by an hour.
expect_part '{"month":7,"day":5,"minute":959,"code":1}' phases 2024 --lat 36.17 --bias 480 --dst 310 1103
expect '{"start":310,"end":1103}' daylight --zone 36 2024
expect '{"start":1006,"end":407}' daylight --zone 115 2024 --lat -33.9
expect '{"time":"2024-07-01T09:00"}' convert-time --from-zone 41 --to-zone 36 2024-07-01T12:00
expect '{"deg":36,"min":10,"sec":12}' dms 36.17
expect_part '{"id":36,"sort":100,"key":"Pacific Standard Time","bias":480,"display":"(UTC-08:00) Pacific Time (US & Canada)","std":"Pacific Standard Time","dlt":"Pacific Daylight Time","std_date":[11,0,1,120],"dlt_date":[3,0,2,120],"flag":0}' zones

# Files of our own: a location list (its short last line dropped) and a zone file by --file.
printf '"Las Vegas, NV",36,10,12,-115,8,23,3\r\nx\r\n' >loc.dat
printf '36,100,Pacific Standard Time,480,"(UTC-08:00) Pacific",Pacific Standard Time,Pacific Daylight Time,11,0,1,120,3,0,2,120,0\r\n1,480,GMT Standard Time,0,"(UTC+00:00) London",GMT Standard Time,GMT Daylight Time,10,0,5,120,3,0,5,60,0\r\n' >zones.dat
expect '{"locations":[{"name":"Las Vegas, NV","lat":36.17,"lon":-115.139722,"zone":36}]}' locations loc.dat
expect '{"start":328,"end":1031}' daylight --zone 1 2021 --file zones.dat
expect '{"time":"2024-03-31T08:30"}' convert-time --from-zone 36 --to-zone 1 2024-03-31T00:30 --file zones.dat

expect_exit 2 'latitude' sun 2024-06-21 --lat 91 --lon 0 --bias 0
expect_exit 2 'latitude' daylight --zone 36 2024 --lat -95
expect_exit 2 'needed' sun 2024-06-21 --lat 10 --bias 0
expect_exit 2 'daylight code' phases 2024 --lat 10 --bias 0 --dst 1399 407
expect_exit 2 'not a date' convert-time --from-zone 1 --to-zone 36 2024-07-01
expect_exit 1 'no zone with identifier 999' daylight --zone 999 2024
expect_exit 1 'cannot read the zone file' zones --file none.dat
expect_exit 1 'Error opening file:' locations none.dat
expect_exit 1 'Bad value entered for geographic coordinate.' dms 181

finish "kvtool sky"
