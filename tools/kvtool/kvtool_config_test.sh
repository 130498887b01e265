#!/usr/bin/env bash
# kvtool's configuration commands: `config new` writes a file from its options, `config dump`
# prints what a file holds (a version 6 file converted, a tail of overlay names in the Windows
# code page), and both refuse bad arguments and files. What the defaults and conversions are is
# for the unit tests of the configuration record.
# Usage: kvtool_config_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

# check 'PYTHON EXPRESSION over d' 'EXPECTED': a value of the last JSON output.
check() {
  local got
  got=$(tr -d '\r' <out | /usr/bin/python3 -c "import json,sys; d=json.load(sys.stdin); print(json.dumps($1))" 2>&1)
  [ "$got" = "$2" ] || { echo "FAIL: $1: got $got, want $2"; failures=$((failures + 1)); }
}

expect_part '"size":4448' config new a.kvc --data-folder 'C:\Users\Ann\Documents\My Calendars'
[ "$(stat -c %s a.kvc)" = 4448 ] || { echo "FAIL: the new file is not 4448 bytes"; failures=$((failures + 1)); }
expect_part '"version":7' config dump a.kvc
check 'd["firstuse"]' 'true'
check 'd["databasefolder"]' '"C:\\Users\\Ann\\Documents\\My Calendars\\Databases\\Default"'
check 'd["overlays"]' '[]'
check 'd["size"]' '4448'

# The options reach the file.
expect_part '"size":4448' config new b.kvc --data-folder 'D:\Cal' --zone 35 --screen 1280x1024 --shadow 0x00808080 --grid 1
expect_part '"version":7' config dump b.kvc
check 'd["placements"]["frame"]' '{"x": 10, "y": 10, "width": 1260, "height": 1004}'
check '[d["colours"]["shadow"], d["colours"]["grid"]]' '[8421504, 1]'
check 'd["location"]["zone"]' '35'

# A version 6 file is dumped as converted; overlay names in the Windows code page come out as UTF-8.
/usr/bin/python3 - <<'PY'
import struct
b = bytearray(open('a.kvc', 'rb').read())
v6 = bytearray(b)
v6[6:8] = struct.pack('<H', 6)
open('v6.kvc', 'wb').write(v6)
b[4446:4448] = struct.pack('<H', 1)
b += 'C:\\O\\Caf\xe9.kov\x1c'.encode('cp1252')
open('tail.kvc', 'wb').write(b)
PY
expect_part '"converted":true' config dump v6.kvc
check 'd["version"]' '6'
expect_part '"overlaycount":1' config dump tail.kvc
check 'd["overlays"]' '["C:\\O\\Caf\u00e9.kov"]'

# Refusals: damaged or missing files (1), bad arguments (2); a refused `config new` leaves no file.
printf 'KVCAL\0\5\0' >v5.kvc; head -c 4440 /dev/zero >>v5.kvc
printf 'KVCAL' >short.kvc
expect_exit 1 'File failed header check' config dump v5.kvc
expect_exit 1 'too short' config dump short.kvc
expect_exit 1 'cannot open' config dump missing.kvc
expect_exit 2 'missing' config dump
expect_exit 2 '--data-folder is required' config new c.kvc
expect_exit 2 'must be between' config new c.kvc --data-folder 'C:\D' --zone 300
expect_exit 2 '--screen takes WIDTHxHEIGHT' config new c.kvc --data-folder 'C:\D' --screen 1280
expect_exit 2 'must be a colour' config new c.kvc --data-folder 'C:\D' --shadow 0x1000000
expect_exit 2 'unexpected argument' config new c.kvc --data-folder 'C:\D' --colour 3
expect_exit 2 'longer than 236 characters' config new c.kvc --data-folder "C:\\$(printf 'x%.0s' $(seq 1 240))"
[ ! -e c.kvc ] || { echo "FAIL: a refused config new left a file behind"; failures=$((failures + 1)); }
expect_exit 1 'cannot create' config new no/such/folder/c.kvc --data-folder 'C:\D'

# config set: fields by the names the dump prints; the tail of overlay names is kept; a bad key
# or value changes nothing.
expect_part '"options.weekstart":"1"' config set tail.kvc options.weekstart=1 options.moonphases=2 options.candlelighting=true \
  colours.highlight=0x000000FF location.name='Zürich' location.latitude=47.37 view=4 placements.calendar.width=600
expect_part '"version":7' config dump tail.kvc
check '[d["options"]["weekstart"], d["options"]["moonphases"], d["options"]["candlelighting"]]' '[1, 2, true]'
check '[d["colours"]["highlight"], d["location"]["name"], d["location"]["latitude"], d["view"]]' '[255, "Z\u00fcrich", 47.37, 4]'
check 'd["placements"]["calendar"]["width"]' '600'
check 'd["overlays"]' '["C:\\O\\Caf\u00e9.kov"]'
cp tail.kvc before.kvc
expect_exit 2 'unknown key "options.nosuch"' config set tail.kvc options.weekstart=2 options.nosuch=1
expect_exit 2 'must be between' config set tail.kvc options.weekstart=7
expect_exit 2 'takes true or false' config set tail.kvc options.candlelighting=maybe
expect_exit 2 'is 1 (year), 2 (month) or 4 (day)' config set tail.kvc view=3
expect_exit 2 'is 5, 10, 15, 20, 30 or 60' config set tail.kvc schedule.increment=7
expect_exit 2 'must lie between' config set tail.kvc location.latitude=91
expect_exit 2 'at most 63 characters' config set tail.kvc location.name="$(printf 'x%.0s' $(seq 1 64))"
expect_exit 2 'is not KEY=VALUE' config set tail.kvc weekstart
expect_exit 2 'name at least one' config set tail.kvc
cmp -s tail.kvc before.kvc || { echo "FAIL: a refused config set changed the file"; failures=$((failures + 1)); }
expect_exit 1 'File failed header check' config set v5.kvc options.weekstart=1

finish "kvtool config"
