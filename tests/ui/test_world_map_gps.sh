#!/usr/bin/env bash
# The world map with a GPS receiver as its source, against a fake receiver on a pty mapped to
# COM6: "GPS Device" starts the map acquisition and names the map location "GPS"; an active
# receiver without a fix shows "(Searching)"; a fix puts the GPS marker on the map (its tip
# reads "GPS"), and the marker follows the feed; a silent receiver turns to "(Unavailable)"
# when the watchdog fires; "Map Location" brings back the point of reference; a double click on
# the GPS marker opens "New Location" with the position, and OK adds it to the user's list and
# makes it the map location.
source "$(dirname "$0")/lib.sh"
fresh_profile
VK_F9=0x78 WM_MOUSEMOVE=0x200 WM_LBUTTONDBLCLK=0x203
IDC_TITLE=30001 IDC_SUN_RISE=30010 IDC_SOURCE_LOCATION=30050 IDC_SOURCE_GPS=30051

fake_gps_on_com6
set_setting GPS Port COM6
feed '{"feed": "void"}'
start_gps

title() { driver text KV4Frame "$IDC_TITLE"; }
# Polls the bar's title until it matches a pattern (grep -E) for up to SECONDS.
wait_title() {  # wait_title PATTERN SECONDS
  local i
  for i in $(seq 1 $(($2 * 5))); do
    title 2>/dev/null | grep -Eq "$1" && return 0
    sleep 0.2
  done
  return 1
}
# The tip over a pixel of the map: its first line, or nothing when no tip shows.
tip_at() {
  driver post KV4Frame/KVMap $WM_MOUSEMOVE 0 "$(lparam "$1" "$2")" >/dev/null
  sleep 0.5
  [ "$(driver visible KVMapTip 2>/dev/null)" = 1 ] && driver caption KVMapTip | head -1
  driver post KV4Frame/KVMap $WM_MOUSEMOVE 0 "$(lparam 2 2)" >/dev/null
  sleep 0.3
}

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait || finish
driver key KV4Frame $VK_F9 >/dev/null
for i in $(seq 1 25); do desk_line KVMapHost | grep -q . && break; sleep 0.2; done
point=$(title | cut -d: -f1)
driver click "KV4Frame/#$IDC_SOURCE_GPS" 4 4 >/dev/null
wait_title '^GPS: \(Searching\)  ' 8 || fail "an active receiver without a fix shows \"$(title)\""

feed '{"feed": "fix", "lat": 48.1173, "lon": 11.5166667}'
wait_title '^GPS:  [0-9]' 8 || fail "a fix shows \"$(title)\""
[ -n "$(driver text KV4Frame $IDC_SUN_RISE)" ] || fail "no sunrise for the GPS position"
read -r mx my <<<"$(pixel 48.1173 11.5166667)"
[ "$(tip_at "$mx" "$my")" = "GPS" ] || fail "no GPS marker at Munich ($mx, $my)"
screenshot world-map-gps

feed '{"feed": "fix", "lat": -33.8666667, "lon": 151.21}'
read -r sx sy <<<"$(pixel -33.8666667 151.21)"
moved=""
for i in 1 2 3 4 5 6 7 8 9 10; do
  [ "$(tip_at "$sx" "$sy")" = "GPS" ] && { moved=1; break; }
done
[ -n "$moved" ] || fail "the GPS marker did not move to Sydney ($sx, $sy)"
[ "$(tip_at "$mx" "$my")" != "GPS" ] || fail "the GPS marker stayed at Munich"

feed '{"feed": "silent"}'
wait_title '^GPS: \(Unavailable\)  ' 14 || fail "a silent receiver shows \"$(title)\""
[ -z "$(driver text KV4Frame $IDC_SUN_RISE)" ] || fail "the times stay while the receiver is unavailable"
screenshot world-map-gps-unavailable

driver click "KV4Frame/#$IDC_SOURCE_LOCATION" 4 4 >/dev/null
wait_title "^$point:  " 5 || fail "Map Location shows \"$(title)\", want the point of reference \"$point\""

# Back to the receiver: a double click on its marker makes a new location of the position.
feed '{"feed": "fix", "lat": -33.8666667, "lon": 151.21}'
driver click "KV4Frame/#$IDC_SOURCE_GPS" 4 4 >/dev/null
wait_title '^GPS:  [0-9]' 8 || fail "a fix after GPS Device again shows \"$(title)\""
sleep 1.5
driver post KV4Frame/KVMap $WM_LBUTTONDBLCLK 1 "$(lparam "$sx" "$sy")" >/dev/null
caption() { driver dialog 3000 2>/dev/null | head -1; }
wait_for "New Location" caption || fail "the double click on the GPS marker opened \"$(caption)\""
[ "$(driver text dialog 14706)" = 33 ] || fail "the new location's latitude degrees are \"$(driver text dialog 14706)\""
driver settext dialog 14703 "Receiver Place" >/dev/null
driver answer 1 >/dev/null
wait_title '^Receiver Place:  ' 8 || fail "the new location is not the map location: \"$(title)\""
grep -q "^Receiver Place," "$data/My Locations.dat" || fail "the new location is not in My Locations.dat"
stop_gps
close_and_wait
finish
