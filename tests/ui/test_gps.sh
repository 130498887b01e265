#!/usr/bin/env bash
# The GPS receiver in the running program, against a fake receiver on a pty that the Wine
# prefix maps to COM6: kvtool's read through the same acquisition (a dialog's fix, an active
# receiver without one, a map acquisition following a moving receiver); "GPS Configuration" lists
# the port and saves it; "Acquire from GPS..." in a new location: the lights and texts as the
# receiver becomes active, the watchdog back to "Waiting for GPS..." when it goes silent,
# Cancel, a fix through noise, an overlong line and a bad checksum filling the coordinate
# boxes, and the receiver unplugged mid-way without a hang. Screenshots of both dialogs.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_LOCATION=1201 CMD_GPS=1202
CL_NEW=17504
EL_GPS=14727 EL_LAT_DEG=14706 EL_LAT_MIN=14708 EL_LAT_SEC=14710 EL_LON_DEG=14716 EL_LON_MIN=14718 EL_LON_SEC=14720
GPS_PORTS=32502 PORT_TEXT=32512 RECEIVER_TEXT=32514 FIX_TEXT=32516

# ---- the fake receiver on COM6 -----------------------------------------------------------------
fake_gps_on_com6
feed '{"feed": "silent"}'
start_gps

# ---- kvtool: a fix through the real acquisition; a silent receiver times out ------------------
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" >"$gps_dir/kvtool.out" 2>&1; }
feed '{"feed": "fix", "lat": 48.1173, "lon": 11.5166667}'
kvtool gps read --port COM6 --timeout 10
out=$(tr -d '\r' <"$gps_dir/kvtool.out")
[ "$out" = '{"status":2,"lat":48.11729999999999,"lon":11.516666666666667}' ] || fail "kvtool gps read: $out"
feed '{"feed": "void"}'
kvtool gps read --port COM6 --timeout 3 --trace
out=$(tr -d '\r' <"$gps_dir/kvtool.out" | paste -sd ' ')
case "$out" in
  '{"notify":1073,"status":0} {"notify":1072,"status":1} '*'{"status":1,"lat":'*'no position fix within 3 seconds'*) ;;
  *) fail "kvtool gps read of an active receiver: $out" ;;
esac
# A map acquisition follows a moving receiver: found once, no port-open notice, the fix moves on.
feed '{"feed": "track", "lat": 10, "lon": 20, "step": 0.5}'
kvtool gps read --port COM6 --timeout 3 --mode map --trace
out=$(tr -d '\r' <"$gps_dir/kvtool.out")
[ "$(grep -c '"notify":1070' <<<"$out")" = 1 ] || fail "map acquisition notifications: $(paste -sd ' ' <<<"$out")"
grep -q '"notify":1073' <<<"$out" && fail "a map acquisition told the port open"
last=$(tail -1 <<<"$out")
python3 -c 'import json,sys; d=json.loads(sys.argv[1]); sys.exit(0 if d["status"] == 2 and d["lat"] == 10 and d["lon"] > 20.6 else 1)' "$last" ||
  fail "the map fix did not move on: $last"
feed '{"feed": "silent"}'

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
caption() { driver dialog 2000 2>/dev/null | head -1; }
wait_caption() { wait_for "$1" caption || fail "the dialog up is \"$(caption)\", want \"$1\""; }
text() { driver text dialog "$1"; }
# Polls a control's text for up to SECONDS.
wait_text() {  # wait_text CONTROL TEXT SECONDS
  local i
  for i in $(seq 1 $(($3 * 5))); do
    [ "$(text "$1" 2>/dev/null)" = "$2" ] && return 0
    sleep 0.2
  done
  return 1
}

# ---- GPS Configuration: COM6 listed, chosen and saved -----------------------------------------
driver command KV4Frame $CMD_GPS >/dev/null
wait_caption "GPS Configuration"
driver lines dialog $GPS_PORTS | grep -qx COM6 || fail "ports listed: $(driver lines dialog $GPS_PORTS | paste -sd '|')"
screenshot gps_configuration
line=$(driver lines dialog $GPS_PORTS | grep -nx COM6 | cut -d: -f1)
driver select dialog $GPS_PORTS $((line - 1)) >/dev/null
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null || fail "GPS Configuration stayed after OK"
[ "$(setting GPS Port)" = "COM6" ] || fail "GPS Port written: $(setting GPS Port)"

# ---- Acquire from GPS in a new location --------------------------------------------------------
driver command KV4Frame $CMD_LOCATION >/dev/null
wait_caption "Configure location"
driver command dialog $CL_NEW >/dev/null
wait_caption "New Location"
lat_boxes() { echo "$(text $EL_LAT_DEG) $(text $EL_LAT_MIN) $(text $EL_LAT_SEC) $(text $EL_LON_DEG) $(text $EL_LON_MIN) $(text $EL_LON_SEC)"; }
before=$(lat_boxes)

# An active receiver without a fix: the port open, "GPS Active", the fix line searching.
feed '{"feed": "void"}'
driver command dialog $EL_GPS >/dev/null
wait_caption "Acquire GPS Location"
wait_text $PORT_TEXT "Port open" 5 || fail "port line: $(text $PORT_TEXT)"
wait_text $RECEIVER_TEXT "GPS Active" 5 || fail "receiver line: $(text $RECEIVER_TEXT)"
[ "$(text $FIX_TEXT)" = "Searching..." ] || fail "fix line: $(text $FIX_TEXT)"
sleep 0.3
screenshot gps_acquire_active
# The receiver goes silent: after 8 s the watchdog puts the receiver line back.
feed '{"feed": "silent"}'
wait_text $RECEIVER_TEXT "Waiting for GPS..." 12 || fail "no watchdog: the receiver line reads $(text $RECEIVER_TEXT)"
screenshot gps_acquire_waiting
# Cancel: the dialog goes, the boxes stay as they were.
driver answer 2 >/dev/null
wait_caption "New Location"
[ "$(lat_boxes)" = "$before" ] || fail "Cancel changed the coordinates: $(lat_boxes)"

# A fix in the south and west, through noise, an overlong line, a bad checksum and a split write.
feed '{"feed": "dirty", "lat": -33.8666667, "lon": -151.21}'
driver command dialog $EL_GPS >/dev/null
wait_for "33 52 0 151 12 36" lat_boxes || fail "coordinates after the fix: $(lat_boxes)"
feed '{"feed": "silent"}'

# The receiver unplugged while the dialog waits: the watchdog still comes, Cancel does not hang.
feed '{"feed": "void"}'
driver command dialog $EL_GPS >/dev/null
wait_caption "Acquire GPS Location"
wait_text $RECEIVER_TEXT "GPS Active" 5 || fail "receiver line before the unplug: $(text $RECEIVER_TEXT)"
stop_gps
wait_text $RECEIVER_TEXT "Waiting for GPS..." 12 || fail "no watchdog after the unplug: $(text $RECEIVER_TEXT)"
driver answer 2 >/dev/null
wait_caption "New Location"
# Plugged in again: the port opens anew and a fix comes.
feed '{"feed": "fix", "lat": 59.9111111, "lon": 10.7527778}'
start_gps
driver command dialog $EL_GPS >/dev/null
wait_for "59 54 40 10 45 10" lat_boxes || fail "coordinates after the receiver came back: $(lat_boxes)"
feed '{"feed": "silent"}'

driver answer 2 >/dev/null   # New Location: Cancel
wait_caption "Configure location"
driver answer 2 >/dev/null
driver gone '#32770' 5000 >/dev/null
close_and_wait
finish
