#!/usr/bin/env bash
# The views with Jewish dates primary and a point of reference, set in the configuration file
# with kvtool while the program is closed: in Jewish year 5784, a leap year, the year view shows
# thirteen small calendars in five columns; the month view is a Jewish month; the day page has
# its "Sun and Moon" box with the place and the sun's and moon's times. Screenshots of each.
source "$(dirname "$0")/lib.sh"
fresh_profile
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
has_child() { driver children KV4Frame | cut -f1 | grep -x "$1" | head -1; }

# A first start makes the configuration; it is changed while the program is closed.
KV_ENV="KALVORA_TEST_CLOCK=2024-03-10T10:00" start_and_wait || finish
sleep 2
close_and_wait
kvtool config set "$(winpath "$data/default.kvc")" options.calendarsystem=2 options.mode=1 options.moonphases=1 \
  options.sunmoonhidden=false options.candlelighting=true options.havdalah=true "location.name=Boston, MA" \
  location.latitude=42.36 location.longitude=-71.06 location.zone=41 >/dev/null ||
  fail "kvtool config set failed"

KV_ENV="KALVORA_TEST_CLOCK=2024-03-10T10:00" start_and_wait || finish
sleep 1
# The desk comes back as it was saved, without scroll bars: the windows fill the client exactly.
read -r cw _ < <(driver clientsize KV4Frame MDIClient)
right=$(desk | awk '{ if ($2 + $4 > r) r = $2 + $4 } END { print r }')
[ "${cw:-0}" = "${right:-1}" ] || fail "after a restart the desk's client is ${cw:-?} wide, its windows reach ${right:-?} (scroll bars?)"
# The overlay tab strip has its room under the month, also when the program starts.
read -r _ py _ ph < <(driver rect KV4Frame/KVMonthPlane)
read -r _ ty _ _ < <(driver rect KV4Frame/SysTabControl32)
[ "$(driver visible KV4Frame/SysTabControl32)" = 1 ] && [ $((py + ph)) -le "${ty:-0}" ] ||
  fail "the month plane (to $((py + ph))) covers the tab strip (from ${ty:-?})"
screenshot jewish-month-view
driver command KV4Frame 1301 >/dev/null
wait_for KVYearPlane has_child KVYearPlane || fail "no year plane"
sleep 0.5
months=$(driver children KV4Frame | awk -F'\t' '$1 == "KVSmCal" && $2 >= 3' | wc -l)
[ "$months" = 13 ] || fail "the Jewish leap year 5784 shows $months small calendars, want 13"
screenshot jewish-leap-year-view

driver command KV4Frame 1303 >/dev/null
wait_for KVDayPlane has_child KVDayPlane || fail "no day plane"
sleep 1
screenshot day-view-sun-and-moon
driver command KV4Frame 1302 >/dev/null
sleep 0.5
close_and_wait
finish
