#!/usr/bin/env bash
# Locations and the welcome wizard, in one program run: a fresh first use with the wizard: "Next >>" opens "Configure location"; a location is added in decimal degrees (a
# latitude of 91 refused with the message and the focus on its box) and one in degrees, minutes
# and seconds with the south and west switches (a minute of 75 refused when switching to decimal,
# the mode kept); the second becomes the point of reference; the calendar options are cancelled (skipped),
# the desktop icon confirmed (done), the button reads "Finish", and the saved configuration holds the place, the moon
# icons and the sun and moon box. Screenshots of every dialog.
source "$(dirname "$0")/lib.sh"
fresh_profile
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
caption() { driver dialog 2000 2>/dev/null | head -1; }
wait_caption() { wait_for "$1" caption || fail "the dialog up is \"$(caption)\", want \"$1\""; }
click() { driver click "dialog/#$1" 4 4 >/dev/null; sleep 0.3; }
# The index of the first line of a combo box that holds TEXT (-1 when none).
line_of() { driver lines dialog "$1" | grep -n -F -- "$2" | head -1 | cut -d: -f1 | awk '{ print $1 - 1 }' | grep . || echo -1; }
# A refused entry: the message's text, then the control that has the focus once it is closed.
expect_refusal() {  # expect_refusal CONTROL WHAT
  wait_caption Kalvora
  driver dialog | grep -qx "Bad value entered for geographic coordinate." || fail "$2: no coordinate message"
  driver answer 1 >/dev/null
  wait_for "$1" driver focus || fail "$2: the focus is on $(driver focus), want $1"
}
# The texts with the degree sign, as UTF-8 whether the driver's output is UTF-8 or Windows-1252.
utf8() { local t; t=$(cat); if printf '%s' "$t" | iconv -f utf-8 -t utf-8 >/dev/null 2>&1; then printf '%s' "$t"; else printf '%s' "$t" | iconv -f cp1252 -t utf-8; fi; }
VK_F5=0x74 VK_RETURN=0x0D
WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202
cfg="$data/default.kvc"

KV_WELCOME=1 KV_ENV="KALVORA_TEST_CLOCK=2026-06-21T09:00" start_and_wait || finish
wait_caption "Welcome to Kalvora"
screenshot location-welcome
driver answer 1 >/dev/null
wait_caption "Configure location"
[ "$(driver lines dialog 17503 | head -1)" = "(unknown)" ] || fail "the location list does not start with (unknown)"
screenshot location-configure

# A place in decimal degrees.
driver command dialog 17504 >/dev/null
wait_caption "New Location"
screenshot location-new-dms
driver settext dialog 14703 "Oslo Decimal" >/dev/null
click 14725  # Decimal
[ "$(driver visible 'dialog/#14712')" = 1 ] || fail "Decimal does not show the decimal boxes"
driver settext dialog 14712 "91" >/dev/null
driver settext dialog 14722 "10.75278" >/dev/null
screenshot location-new-decimal
driver answer 1 >/dev/null
expect_refusal 14712 "latitude 91"
driver settext dialog 14712 "59.91111" >/dev/null
zone=$(line_of 14729 "Amsterdam")
[ "$zone" -ge 0 ] && driver select dialog 14729 "$zone" >/dev/null
driver answer 1 >/dev/null
wait_caption "Configure location"
lat=$(driver text dialog 17508 | utf8)
[ "$lat" = "+59° 54' 40\" N" ] || fail "Oslo's latitude shows as \"$lat\""
[ "$(driver selection dialog 17503 | cut -f2)" = "Oslo Decimal" ] || fail "the new place is not selected"

# A place in degrees, minutes and seconds, south and west.
driver command dialog 17504 >/dev/null
wait_caption "New Location"
driver settext dialog 14703 "Buenos Aires DMS" >/dev/null
driver settext dialog 14706 34 >/dev/null
driver settext dialog 14708 75 >/dev/null
driver settext dialog 14716 58 >/dev/null
driver settext dialog 14718 22 >/dev/null
driver settext dialog 14720 48 >/dev/null
click 14725  # Decimal, refused: the minutes are bad
expect_refusal 14708 "latitude minutes 75"
[ "$(driver visible 'dialog/#14712')" = 0 ] || fail "a refused switch to decimal changed the mode"
driver settext dialog 14708 36 >/dev/null
click 14714  # South
click 14724  # West
zone=$(line_of 14729 "Buenos Aires")
[ "$zone" -ge 0 ] && driver select dialog 14729 "$zone" >/dev/null
screenshot location-new-south-west
driver answer 1 >/dev/null
wait_caption "Configure location"
lon=$(driver text dialog 17510 | utf8)
[ "$lon" = "-58° 22' 48\" W" ] || fail "Buenos Aires' longitude shows as \"$lon\""
[ -n "$(driver text dialog 17512)" ] || fail "no standard-time name for the chosen zone"
screenshot location-configure-chosen
# The system page: the computer's zone and the button to the date and time control panel.
driver click 'dialog/#17501' 130 8 >/dev/null
sleep 0.5
[ "$(driver visible 'dialog/#17518')" = 1 ] || fail "the System tab does not show its Change button"
screenshot location-configure-system
driver answer 1 >/dev/null

wait_caption "Welcome to Kalvora"
driver answer 1 >/dev/null  # step 2: the calendar options, cancelled
wait_caption "Calendar Options"
screenshot location-welcome-options
driver answer 2 >/dev/null
wait_caption "Welcome to Kalvora"
driver answer 1 >/dev/null  # step 3: the desktop icon, confirmed
wait_caption "Desktop Icon"
driver answer 1 >/dev/null
wait_caption "Welcome to Kalvora"
wait_for Finish driver text dialog 1 || fail "the wizard's button does not read Finish"
driver dialog >"$kv_tmp/welcome"
[ "$(grep -cx Done "$kv_tmp/welcome")" = 2 ] || fail "the location and desktop icon steps are not marked done"
[ "$(grep -cx Skipped "$kv_tmp/welcome")" = 1 ] || fail "the cancelled preferences step is not marked skipped"
grep -q "^Kalvora is now set up" "$kv_tmp/welcome" || fail "the closing text is not shown"
screenshot location-welcome-finish
driver answer 1 >/dev/null
sleep 2
kvtool config dump "$(winpath "$cfg")" >"$kv_tmp/dump.json"
check_dump() {  # check_dump EXPRESSION WANT
  got=$(/usr/bin/python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' "$kv_tmp/dump.json" "$1" 2>&1)
  [ "$got" = "$2" ] || fail "config dump: $1 is $got, want $2"
}
check_dump 'd["location"]["name"]' "Buenos Aires DMS"
check_dump 'round(d["location"]["latitude"], 4), round(d["location"]["longitude"], 4)' "(-34.6, -58.38)"
check_dump 'd["options"]["moonphases"], d["options"]["sunmoonhidden"]' "(2, False)"
check_dump 'd["firstuse"]' "False"
grep -q '^Oslo Decimal,59,54,40,10,45,10,' "$data/My Locations.dat" || fail "Oslo is not in My Locations.dat as 59 54 40 / 10 45 10"
grep -q '^Buenos Aires DMS,-34,36,0,-58,22,48,' "$data/My Locations.dat" || fail "Buenos Aires is not in My Locations.dat"
close_and_wait
finish
