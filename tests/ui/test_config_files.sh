#!/usr/bin/env bash
# Configuration files of other versions: a version 6 file converts, is saved at once as
# version 7 and opens the world map window; a file with a wrong magic or of version 5 is
# refused with message 1155 and left untouched.
source "$(dirname "$0")/lib.sh"
fresh_profile
mkdir -p "$data"

"$KV_RUNNER" "$KV_BIN/kvtool.exe" config new "$(winpath "$kv_tmp/new.kvc")" --data-folder "$(winpath "$data")" \
  >"$kv_tmp/kvtool.out" 2>&1 || fail "kvtool config new failed: $(cat "$kv_tmp/kvtool.out")"

# A version 6 file: the old order of the window block, the location at 208 and 232.
/usr/bin/python3 - "$kv_tmp/new.kvc" "$data/Old.kvc" <<'PY'
import struct, sys
b = bytearray(open(sys.argv[1], 'rb').read())
b[6:8] = struct.pack('<H', 6)
b[8] = 0                                   # past its first use
b[92:112] = bytes(20)
b[92:97] = bytes([1, 3, 0, 0, 0])           # z-order: calendar over schedule
b[98] = 1                                  # active: calendar
b[100:104] = bytes([0, 0, 1, 0])           # open: schedule
b[114:116] = struct.pack('<H', 2)
b[208:272] = bytes(64)
b[208:208 + 16] = b'Boston, MA'.ljust(16, b'\0')
b[590:592] = b'\0\0'
open(sys.argv[2], 'wb').write(b)
PY
start_and_wait Old
sleep 2
[ "$(kvc "$data/Old.kvc" 'u16(6)')" = 7 ] || fail "the version 6 file was not saved as version 7"
[ "$(kvc "$data/Old.kvc" 'i16(92), i16(94)')" = "(10, 10)" ] || fail "the world map position is not (10, 10)"
[ "$(kvc "$data/Old.kvc" 'u16(590)')" = 27 ] || fail "the world map flags are not 27"
[ "$(kvc "$data/Old.kvc" 'text(592, 64)')" = "Boston, MA" ] || fail "the location name did not move to 592"
desk_line KVMapHost | grep -q . || fail "the world map window did not open after the conversion: $(desk_classes)"
desk_line KVSched | grep -q . || fail "the schedule window of the old file is not open"
screenshot converted-version6
close_and_wait

# Refused files: message 1155 with the path, then 1286, and the file stays as it was.
refuse() {  # refuse NAME DESCRIPTION
  local file="$data/$1.kvc" before
  before=$(md5sum <"$file")
  start_kalvora "$1"
  local box
  box=$(driver dialog 20000)
  local want="Kalvora
File failed header check:

$(winpath "$file")"
  [ "$box" = "$want" ] || fail "$2: the first box reads \"$box\", want \"$want\""
  driver answer 1 >/dev/null
  sleep 1
  box=$(driver dialog 10000)
  [ "$box" = "Kalvora
Cannot open calendar configuration: $(winpath "$file")" ] || fail "$2: the second box reads \"$box\""
  driver answer 1 >/dev/null
  wait_exit "$kv_pid" 15 || fail "$2: the program did not end"
  kv_pid=""
  [ "$(md5sum <"$file")" = "$before" ] || fail "$2: the refused file was changed"
}
cp "$kv_tmp/new.kvc" "$data/Magic.kvc"
printf 'KVCAX' | dd of="$data/Magic.kvc" conv=notrunc status=none
refuse Magic "a wrong magic"
cp "$kv_tmp/new.kvc" "$data/Five.kvc"
kvc_set "$data/Five.kvc" 6 H 5
refuse Five "version 5"
finish
