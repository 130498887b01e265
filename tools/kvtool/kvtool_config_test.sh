#!/usr/bin/env bash
# Runs kvtool's configuration commands: writes default configurations, dumps them and
# configurations made by hand (a version 6 file, a tail of overlay names, damaged files).
# Usage: kvtool_config_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
failures=0
# Output goes through files: under Wine, reading a program's output through a pipe waits
# seconds for helper processes that hold the pipe.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The path kvtool is given: a Windows path under Wine.
arg() { if [ $# -gt 0 ] && [ ${#kvtool[@]} -gt 1 ]; then echo "Z:$(echo "$1" | tr / '\\')"; else echo "$1"; fi; }

run() {  # run ARGS... ; output in $tmp/out, exit code in rc
  "${kvtool[@]}" "$@" >"$tmp/out" 2>"$tmp/err"; rc=$?
  tr -d '\r' <"$tmp/out" >"$tmp/json"
}

# check 'PYTHON EXPRESSION over d' 'EXPECTED': compares a value of the last JSON output.
check() {
  local got
  got=$(/usr/bin/python3 -c "import json,sys; d=json.load(open(sys.argv[1])); print(json.dumps($1))" "$tmp/json" 2>&1)
  [ "$got" = "$2" ] || fail "$1: got $got, want $2"
}

expect_exit() {  # expect_exit CODE ARGS...
  local code=$1; shift
  run "$@"
  if [ "$rc" -ne "$code" ]; then fail "kvtool $* exited $rc, want $code"
  elif [ ! -s "$tmp/err" ]; then fail "kvtool $* gave no message on stderr"; fi
}

# --- a default configuration ---------------------------------------------------------------
run config new "$(arg "$tmp/a.kvc")" --data-folder 'C:\Users\Ann\Documents\My Calendars'
[ "$rc" -eq 0 ] || fail "config new exited $rc: $(cat "$tmp/err")"
check 'd["size"]' '4448'
[ "$(stat -c %s "$tmp/a.kvc")" = 4448 ] || fail "the new file is not 4448 bytes"
run config dump "$(arg "$tmp/a.kvc")"
[ "$rc" -eq 0 ] || fail "config dump exited $rc: $(cat "$tmp/err")"
check 'd["version"]' '7'
check 'd["firstuse"]' 'true'
check 'd["placements"]["frame"]' '{"x": 10, "y": 10, "width": 1004, "height": 748}'
check 'd["openwindows"]' '14'
check 'd["view"]' '0'
check 'd["colours"]' '{"theme": 16436660, "shadow": 10526880, "grid": 0, "highlight": 255}'
check 'd["customcolours"][15]' '16777215'
check 'd["options"]["mapflags"]' '27'
check 'd["options"]["timechanges"]' '2'
check 'd["hours"]' '{"scheduler": 8, "summarystart": 6, "summaryend": 21}'
check 'd["schedule"]' '{"alarmlead": 5, "increment": 15, "displayonmonth": false, "alarmchoice": 0}'
check 'd["todo"]["logfile"]' '"To Do Archive.txt"'
check 'd["fonts"]["screen"][0]' '{"size": 16, "weight": 700, "charset": 0, "pitchfamily": 32, "italic": false, "face": "Verdana"}'
check 'd["fonts"]["screen"][6]["size"]' '0'
check 'd["pagelayouts"][9]["left"]' '720'
check 'd["location"]["zone"]' '0'
check 'd["databasefolder"]' '"C:\\Users\\Ann\\Documents\\My Calendars\\Databases\\Default"'
check 'd["overlays"]' '[]'
check 'd["size"]' '4448'

# --- screen-dependent values and the zone as options ---------------------------------------
run config new "$(arg "$tmp/b.kvc")" --data-folder 'D:\Cal' --zone 35 --screen 1280x1024 --shadow 0x00808080 --grid 1
[ "$rc" -eq 0 ] || fail "config new with options exited $rc: $(cat "$tmp/err")"
run config dump "$(arg "$tmp/b.kvc")"
check 'd["placements"]["frame"]' '{"x": 10, "y": 10, "width": 1260, "height": 1004}'
check 'd["colours"]["shadow"]' '8421504'
check 'd["colours"]["grid"]' '1'
check 'd["location"]["zone"]' '35'

# --- a version 6 file, converted as the program converts it ----------------------------------
/usr/bin/python3 - "$tmp/a.kvc" "$tmp/v6.kvc" <<'EOF'
import struct, sys
b = bytearray(open(sys.argv[1], 'rb').read())
b[6:8] = struct.pack('<H', 6)
b[92:97] = bytes([3, 1, 2, 0, 0])      # old z-order
b[98] = 1                             # old active window
b[100:104] = bytes([0, 1, 1, 0])      # old open flags: notes, schedule
b[104:106] = struct.pack('<H', 200)   # old phonebook x
b[116:118] = struct.pack('<H', 150)   # old phonebook y
b[208:208 + 64] = b'Boston, MA'.ljust(64, b'\0')
b[232:240] = struct.pack('<d', 42.358)
b[590:592] = b'\0\0'
open(sys.argv[2], 'wb').write(b)
EOF
run config dump "$(arg "$tmp/v6.kvc")"
[ "$rc" -eq 0 ] || fail "dump of a version 6 file exited $rc: $(cat "$tmp/err")"
check 'd["version"]' '6'
check 'd["converted"]' 'true'
check 'd["placements"]["map"]' '{"x": 10, "y": 10}'
check 'd["placements"]["phonebook"]' '{"x": 200, "y": 150}'
check 'd["zorder"]' '[3, 1, 2]'
check 'd["openwindows"]' '6'
check 'd["options"]["mapflags"]' '27'
check 'd["location"]["name"]' '"Boston, MA"'
check 'd["location"]["latitude"]' '42.358'

# --- a tail of overlay names -------------------------------------------------------------------
/usr/bin/python3 - "$tmp/a.kvc" "$tmp/tail.kvc" <<'EOF'
import struct, sys
b = bytearray(open(sys.argv[1], 'rb').read())
b[4446:4448] = struct.pack('<H', 2)
b += 'C:\\O\\Holidays (USA).kov\x1cC:\\O\\Caf\xe9.kov\x1cC:\\O\\Extra.kov\x1c'.encode('cp1252')
open(sys.argv[2], 'wb').write(b)
EOF
run config dump "$(arg "$tmp/tail.kvc")"
check 'd["overlaycount"]' '2'
check 'd["overlays"]' '["C:\\O\\Holidays (USA).kov", "C:\\O\\Caf\u00e9.kov"]'
check 'd["size"]' "$(stat -c %s "$tmp/tail.kvc")"

# --- refusals ------------------------------------------------------------------------------------
printf 'KVCAL\0\5\0' >"$tmp/v5.kvc"; head -c 4440 /dev/zero >>"$tmp/v5.kvc"
printf 'KVCALX\7\0' >"$tmp/nonul.kvc"; head -c 4440 /dev/zero >>"$tmp/nonul.kvc"
printf 'KVCAL' >"$tmp/short.kvc"
expect_exit 1 config dump "$(arg "$tmp/v5.kvc")"
expect_exit 1 config dump "$(arg "$tmp/nonul.kvc")"
expect_exit 1 config dump "$(arg "$tmp/short.kvc")"
expect_exit 1 config dump "$(arg "$tmp/missing.kvc")"
expect_exit 2 config dump
expect_exit 2 config new "$(arg "$tmp/c.kvc")"
expect_exit 2 config new "$(arg "$tmp/c.kvc")" --data-folder 'C:\D' --zone 300
expect_exit 2 config new "$(arg "$tmp/c.kvc")" --data-folder 'C:\D' --screen 1280
expect_exit 2 config new "$(arg "$tmp/c.kvc")" --data-folder 'C:\D' --shadow 0x1000000
expect_exit 2 config new "$(arg "$tmp/c.kvc")" --data-folder 'C:\D' --colour 3
expect_exit 2 config new "$(arg "$tmp/c.kvc")" --data-folder "C:\\$(printf 'x%.0s' $(seq 1 240))"
expect_exit 1 config new "$(arg "$tmp/no/such/folder/c.kvc")" --data-folder 'C:\D'
[ ! -e "$tmp/c.kvc" ] || fail "a refused config new left a file behind"

if [ $failures -ne 0 ]; then echo "$failures kvtool config check(s) failed"; exit 1; fi
echo "kvtool config: all checks passed"
