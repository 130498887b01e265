#!/usr/bin/env bash
# Runs kvtool's sky, zone and location commands against the data files the build placed beside
# it and compares their output with what they must print.
# Usage: kvtool_sky_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
failures=0
# Output goes through files: under Wine, reading a program's output through a pipe waits
# seconds for helper processes that hold the pipe.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

expect() {  # expect 'ARGS...' 'JSON'
  local args=$1 want=$2 got rc
  "${kvtool[@]}" $args >"$tmp/out" 2>"$tmp/err"; rc=$?
  got=$(tr -d '\r' <"$tmp/out")
  if [ $rc -ne 0 ] || [ "$got" != "$want" ]; then
    echo "FAIL: kvtool $args"; echo "  want: $want"; echo "  got:  $got (exit $rc)"; failures=$((failures + 1))
  fi
}

expect_part() {  # expect_part 'ARGS...' 'TEXT THE OUTPUT HOLDS'
  local args=$1 want=$2 rc
  "${kvtool[@]}" $args >"$tmp/out" 2>"$tmp/err"; rc=$?
  if [ $rc -ne 0 ] || ! tr -d '\r' <"$tmp/out" | grep -qF -- "$want"; then
    echo "FAIL: kvtool $args does not print $want (exit $rc)"; failures=$((failures + 1))
  fi
}

expect_exit() {  # expect_exit CODE 'MESSAGE PART' ARGS...
  local code=$1 message=$2; shift 2
  local rc
  "${kvtool[@]}" "$@" >"$tmp/out" 2>"$tmp/err"; rc=$?
  if [ $rc -ne "$code" ]; then
    echo "FAIL: kvtool $* exited $rc, want $code"; failures=$((failures + 1))
  elif ! grep -qF -- "$message" "$tmp/err"; then
    echo "FAIL: kvtool $* said \"$(cat "$tmp/err")\", want \"$message\""; failures=$((failures + 1))
  fi
}

vegas='--lat 36.17 --lon -115.14 --bias 480'
expect "sun 2024-06-21 $vegas" '{"rise":264,"set":1141,"rise_az":59.772,"set_az":300.192,"flags":0}'
expect "moon 2024-06-21 $vegas" '{"rise":1162,"set":218,"rise_az":126.122,"set_az":234.265,"flags":0}'
expect 'sun 2024-06-21 --lat 70 --lon 20 --bias -60' '{"rise":1422,"set":1422,"rise_az":0.0,"set_az":0.0,"flags":16}'
expect 'sun 2024-12-21 --lat 70 --lon 20 --bias -60' '{"rise":698,"set":698,"rise_az":0.0,"set_az":0.0,"flags":32}'
expect 'moon 2024-03-05 --lat -33.87 --lon 151.21 --bias -600' '{"rise":20,"set":885,"rise_az":124.64,"set_az":235.09,"flags":0}'
expect_part 'phases 2024 --lat 36.17 --bias 480' '{"year":2024,"phases":[{"month":1,"day":3,"minute":1172,"code":4},{"month":1,"day":11,"minute":238,"code":1},'
expect_part 'phases 2024 --lat 36.17 --bias 480 --dst 310 1103' '{"month":7,"day":5,"minute":959,"code":1}'
expect_part 'phases 2024 --lat 36.17 --bias 480' '{"month":7,"day":5,"minute":899,"code":1}'
expect_part 'phases 2024 --lat -33.87 --bias -600 --dst 1006 407' '{"year":2024,"phases":[{"month":1,"day":4,"minute":872,"code":2},'
expect 'daylight --zone 36 2024' '{"start":310,"end":1103}'
expect 'daylight --zone 4 2024' '{"start":331,"end":1027}'
expect 'daylight --zone 115 2024 --lat -33.9' '{"start":1006,"end":407}'
expect 'daylight --zone 108 2024' '{"start":0,"end":0}'
expect 'convert-time --from-zone 41 --to-zone 36 2024-07-01T12:00' '{"time":"2024-07-01T09:00"}'
expect 'convert-time --from-zone 36 --to-zone 1 2023-12-31T20:00' '{"time":"2024-01-01T04:00"}'
expect 'convert-time --from-zone 1 --to-zone 115 2024-01-15T00:30' '{"time":"2024-01-15T11:30"}'
expect 'dms 12.999999' '{"deg":13,"min":0,"sec":0}'
expect 'dms 36.17' '{"deg":36,"min":10,"sec":12}'
expect 'dms 0.00015' '{"deg":0,"min":0,"sec":1}'
expect_part 'zones' '{"id":36,"sort":100,"key":"Pacific Standard Time","bias":480,"display":"(UTC-08:00) Pacific Time (US & Canada)","std":"Pacific Standard Time","dlt":"Pacific Daylight Time","std_date":[11,0,1,120],"dlt_date":[3,0,2,120],"flag":0}'
expect_part 'zones' '{"id":133,"sort":10,'

# The locations file and --file: a file of our own, with the reading fix-ups.
printf '"Las Vegas, NV",36,10,12,-115,8,23,3\r\nOld Jerusalem,31,46,0,35,13,0,125\r\n"Carry, ""Q""",10,5,75,-20,59,60,4\r\nx\r\n' >"$tmp/loc.dat"
printf '36,100,Pacific Standard Time,480,"(UTC-08:00) Pacific",Pacific Standard Time,Pacific Daylight Time,11,0,1,120,3,0,2,120,0\r\n1,480,GMT Standard Time,0,"(UTC+00:00) London",GMT Standard Time,GMT Daylight Time,10,0,5,120,3,0,5,60,0\r\n' >"$tmp/zones.dat"
expect "locations $tmp/loc.dat" '{"locations":[{"name":"Las Vegas, NV","lat":36.17,"lon":-115.139722,"zone":36},{"name":"Old Jerusalem","lat":31.766667,"lon":35.216667,"zone":63},{"name":"Carry, \"Q\"","lat":10.104167,"lon":-21.0,"zone":4}]}'
expect "daylight --zone 1 2021 --file $tmp/zones.dat" '{"start":328,"end":1031}'
expect "convert-time --from-zone 36 --to-zone 1 2024-03-31T00:30 --file $tmp/zones.dat" '{"time":"2024-03-31T08:30"}'

expect_exit 2 'latitude' sun 2024-06-21 --lat 91 --lon 0 --bias 0
expect_exit 2 'latitude' daylight --zone 36 2024 --lat -95
expect_exit 2 'needed' sun 2024-06-21 --lat 10 --bias 0
expect_exit 2 'daylight code' phases 2024 --lat 10 --bias 0 --dst 1399 407
expect_exit 1 'no zone with identifier 999' daylight --zone 999 2024
expect_exit 1 'cannot read the zone file' zones --file "$tmp/none.dat"
expect_exit 1 'Error opening file:' locations "$tmp/none.dat"
expect_exit 1 'Bad value entered for geographic coordinate.' dms 181
expect_exit 1 'Bad value entered for geographic coordinate.' dms -3
expect_exit 2 'not a date' convert-time --from-zone 1 --to-zone 36 2024-07-01

if [ $failures -ne 0 ]; then echo "$failures kvtool sky check(s) failed"; exit 1; fi
echo "kvtool sky: all checks passed"
