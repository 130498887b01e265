#!/usr/bin/env bash
# The "World Orbisa" window in two program runs on a fixed clock (the June solstice at noon).
# F9 opens it: an 800 x 500 map over its control bar, the map location's name, date and time in
# the bar's title. The display options change the option word and the picture; the location
# markers answer the mouse with a tip (name, local date and time), a click makes one the map
# location, a double click asks to make it the point of reference and OK does. Saved, closed
# and started again, the window comes back at its place with its options.
source "$(dirname "$0")/lib.sh"
fresh_profile
VK_F9=0x78
WM_MOUSEMOVE=0x200 WM_LBUTTONDBLCLK=0x203
CMD_SAVE=1002
IDC_TITLE=30001 IDC_SUN_RISE=30010 IDC_SUN_AZIMUTH=30013 IDC_SHOW_SUN=30030
IDC_LIGHT_NONE=30040 IDC_LIGHT_BASIC=30041
cfg="$data/default.kvc"
shots="$KV_BUILD/screenshots"

# Three places of our own, the first on the equator (x 200, y 289 on the map).
mkdir -p "$data"
printf 'Quito Test,0,0,0,-78,30,0,4\r\nOslo Test,59,54,40,10,45,10,4\r\nSydney Test,-33,52,0,151,12,0,4\r\n' \
  >"$data/My Locations.dat"
title() { driver text KV4Frame "$IDC_TITLE"; }
map_class() { desk_line KVMapHost | awk '{ print $1 }'; }
title_name() { title | cut -d: -f1; }
checksum() { md5sum <"$shots/$1.png" | cut -c1-12; }

KV_ENV="KALVORA_TEST_CLOCK=2026-06-21T12:00" start_and_wait || finish
driver key KV4Frame $VK_F9 >/dev/null
wait_for KVMapHost map_class || { fail "F9 did not open the map window"; finish; }
[ "$(driver clientsize KV4Frame/KVMapHost KVMap)" = "800 500" ] ||
  fail "the map is $(driver clientsize KV4Frame/KVMapHost KVMap), want 800 500"
host=$(driver clientsize KV4Frame/MDIClient KVMapHost)
[ "${host% *}" = 800 ] && [ "${host#* }" -gt 540 ] || fail "the host's client area is $host"
t=$(title)
echo "$t" | grep -Eq '^.*:  [0-9]+/[0-9]+/[0-9]+  .+$' || fail "the bar's title is \"$t\""
[ -n "$(driver text KV4Frame $IDC_SUN_RISE)" ] || fail "no sunrise time in the bar"
[ -n "$(driver text KV4Frame $IDC_SUN_AZIMUTH)" ] || fail "no sun azimuth at noon"
sleep 1
screenshot world-map
before=$(checksum world-map)

# A new configuration shows the sun, the moon, the locations and detailed sunlight. Basic
# sunlight without the sun: the option word and the picture follow.
flags=$(kvc "$cfg" 'u16(590)')
[ "$flags" = 27 ] || fail "a new configuration's option word is $flags, want 27"
driver click "KV4Frame/#$IDC_LIGHT_BASIC" 4 4 >/dev/null
driver click "KV4Frame/#$IDC_SHOW_SUN" 4 4 >/dev/null
sleep 1
screenshot world-map-basic
[ "$(checksum world-map-basic)" != "$before" ] || fail "the options did not change the picture"
driver command KV4Frame $CMD_SAVE >/dev/null
sleep 1
flags=$(kvc "$cfg" 'u16(590)')
[ "$flags" = 22 ] || fail "Basic without the sun gives the option word $flags, want 22"
driver click "KV4Frame/#$IDC_SHOW_SUN" 4 4 >/dev/null

# The tip of a marker, then a click and a double click on it.
read -r qx qy <<<"$(pixel 0 -78.5)"
driver post KV4Frame/KVMap $WM_MOUSEMOVE 0 "$(lparam "$qx" "$qy")" >/dev/null
wait_for 1 driver visible KVMapTip || fail "no tip over Quito Test"
tip=$(driver caption KVMapTip)
[ "$(echo "$tip" | head -1)" = "Quito Test" ] || fail "the tip reads \"$tip\""
echo "$tip" | sed -n 2p | grep -Eq '^6/21/(20)?26 - ' || fail "the tip's second line is \"$(echo "$tip" | sed -n 2p)\""
screenshot world-map-tip
driver post KV4Frame/KVMap $WM_MOUSEMOVE 0 "$(lparam 5 5)" >/dev/null
wait_for 0 driver visible KVMapTip || fail "the tip stays away from the markers"
driver click KV4Frame/KVMap "$qx" "$qy" >/dev/null
wait_for "Quito Test" title_name ||
  fail "a click on Quito Test made \"$(title)\" the bar's title"
read -r ox oy <<<"$(pixel 59.9111 10.7528)"
driver post KV4Frame/KVMap $WM_LBUTTONDBLCLK 1 "$(lparam "$ox" "$oy")" >/dev/null
msg=$(driver dialog 5000)
echo "$msg" | grep -qx "Change point-of-reference location to Oslo Test?" || fail "the double click asked \"$msg\""
screenshot world-map-reference
driver answer 1 >/dev/null
wait_for "Oslo Test" title_name || fail "OK did not make Oslo Test the map location: \"$(title)\""
driver command KV4Frame $CMD_SAVE >/dev/null
sleep 1
[ "$(kvc "$cfg" 'text(592, 64)')" = "Oslo Test" ] || fail "the point of reference is \"$(kvc "$cfg" 'text(592, 64)')\""
# Sunlight off again: the shading goes.
driver click "KV4Frame/#$IDC_LIGHT_NONE" 4 4 >/dev/null
driver command KV4Frame $CMD_SAVE >/dev/null
sleep 1
[ $(($(kvc "$cfg" 'u16(590)') & 12)) = 0 ] || fail "None left a sunlight bit in the option word"
place=$(desk_line KVMapHost | awk '{ print $2, $3 }')
close_and_wait

# The next start opens it again where it was.
KV_ENV="KALVORA_TEST_CLOCK=2026-06-21T12:05" start_and_wait || finish
wait_for KVMapHost map_class || fail "the map window did not reopen"
again=$(desk_line KVMapHost | awk '{ print $2, $3 }')
[ "$again" = "$place" ] || fail "the map window reopened at \"$again\", want \"$place\""
[ "$(kvc "$cfg" 'u16(92)') $(kvc "$cfg" 'u16(94)')" = "$place" ] || fail "the saved position is not \"$place\""
close_and_wait
finish
