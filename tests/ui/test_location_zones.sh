#!/usr/bin/env bash
# A new point of reference and zones picked by location, in one program run: with the day view's
# sun and moon box on, choosing Boston in "Configure location" repaints the day page at once and
# the saved configuration gives Boston's sun times; the schedule item editor's "Time &Zone..."
# opens "Time Zone", where choosing a location selects its zone.
source "$(dirname "$0")/lib.sh"
fresh_profile
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
caption() { driver dialog 2000 2>/dev/null | head -1; }
wait_caption() { wait_for "$1" caption || fail "the dialog up is \"$(caption)\", want \"$1\""; }
# The index of the first line of a combo box that holds TEXT (-1 when none).
line_of() { driver lines dialog "$1" | grep -n -F -- "$2" | head -1 | cut -d: -f1 | awk '{ print $1 - 1 }' | grep . || echo -1; }
VK_F5=0x74 VK_RETURN=0x0D
WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202
cfg="$data/default.kvc"

# A first start makes the configuration; the day view's sun and moon box is switched on.
KV_ENV="KALVORA_TEST_CLOCK=2026-06-21T09:00" start_and_wait || finish
sleep 2
close_and_wait
kvc_set "$cfg" 296 B 0

KV_ENV="KALVORA_TEST_CLOCK=2026-06-21T09:00" start_and_wait || finish
driver command KV4Frame 1303 >/dev/null
sleep 1.5
read -r dx dy dw dh < <(driver rect KV4Frame/KVDayPlane)
screenshot location-day-before
driver command KV4Frame 1201 >/dev/null
wait_caption "Configure location"
driver select dialog 17503 "$(line_of 17503 "Boston")" >/dev/null
driver answer 1 >/dev/null
wait_for "" caption || fail "Configure location did not close"
sleep 1
screenshot location-day-after
shots="$KV_BUILD/screenshots"
crop="${dw:-1}x${dh:-1}+${dx:-0}+${dy:-0}"
changed=$(compare -metric AE "$shots/location-day-before.png[$crop]" "$shots/location-day-after.png[$crop]" null: 2>&1)
[ "${changed%% *}" != 0 ] 2>/dev/null || fail "the day view did not change with the point of reference ($changed)"
driver command KV4Frame 1002 >/dev/null  # Save Configuration
sleep 1
kvtool render day 2026-06-21 --config "$(winpath "$cfg")" --format json >"$kv_tmp/day.json"
sun=$(/usr/bin/python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print([l["text"] for l in d["lines"] if l["section"] == "sun"][1:3])' "$kv_tmp/day.json" 2>&1)
case "$sun" in *Boston*Sunrise*) ;; *) fail "the saved point of reference gives the sun lines $sun" ;; esac

# A zone picked by location in the schedule item editor.
driver key KV4Frame $VK_F5 >/dev/null
wait_for 1 eval 'desk_line KVSched | wc -l' || fail "F5 did not open the schedule window"
driver post KV4Frame/KVSchedTxt $WM_LBUTTONDOWN 1 $(( (4 << 16) | 200 )) >/dev/null
driver post KV4Frame/KVSchedTxt $WM_LBUTTONUP 0 $(( (4 << 16) | 200 )) >/dev/null
driver key KV4Frame/KVSchedTxt $VK_RETURN >/dev/null
wait_caption "Schedule Event"
before=$(driver text dialog 20025)
driver command dialog 20024 >/dev/null
wait_caption "Time Zone"
driver select dialog 13705 "$(line_of 13705 "Paris")" >/dev/null
picked=$(driver selection dialog 13703 | cut -f2)
case "$picked" in *Paris*) ;; *) fail "choosing Paris selected the zone \"$picked\"" ;; esac
screenshot location-time-zone
driver answer 1 >/dev/null
wait_caption "Schedule Event"
after=$(driver text dialog 20025)
[ "$after" != "$before" ] || fail "the item's zone still reads \"$after\" after choosing Paris' zone"
driver answer 2 >/dev/null
wait_for "" caption || fail "the Schedule Event dialog did not close"
close_and_wait
finish
