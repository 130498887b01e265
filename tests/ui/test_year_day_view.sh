#!/usr/bin/env bash
# The calendar's year and day views: message 1047 shows the year plane with a small calendar per
# month, Page Down moves it to the next year, message 1044 shows the day page; screenshots of
# both for review.
source "$(dirname "$0")/lib.sh"
fresh_profile

# The first window of a class among the frame's descendants (empty when there is none).
has_child() { driver children KV4Frame | cut -f1 | grep -x "$1" | head -1; }

# 15 March 2026: a Gregorian year of twelve months.
KV_ENV="KALVORA_TEST_CLOCK=2026-03-15T10:00" start_and_wait || finish

driver send KV4Frame/KVCalendar 1047 >/dev/null
wait_for KVYearPlane has_child KVYearPlane ||
  fail "no KVYearPlane after message 1047"
months=$(driver children KV4Frame | awk -F'\t' '$1 == "KVSmCal" && $2 >= 3' | wc -l)
[ "$months" -ge 12 ] || fail "the year view has $months small calendars, want 12"
[ "$(driver tbchecked KV4Frame 1301)" = "1" ] || fail "the year view button is not pressed"
screenshot year_view

# Page Down (through message 1040 with 1034): the next year; the plane stays.
driver send KV4Frame/KVCalendar 1040 1034 >/dev/null
driver find KV4Frame KVYearPlane >/dev/null || fail "the year plane went away after Page Down"
screenshot year_view_next

driver send KV4Frame/KVCalendar 1044 >/dev/null
wait_for KVDayPlane has_child KVDayPlane ||
  fail "no KVDayPlane after message 1044"
[ "$(driver tbchecked KV4Frame 1303)" = "1" ] || fail "the day view button is not pressed"
# Keys on the day page must not take the program down (beeps at the ends are fine).
for key in 38 40 36 35 33 34; do driver key KV4Frame/KVCalendar "$key" >/dev/null 2>&1; done
driver find KV4Frame KVDayPlane >/dev/null || fail "the day plane went away after keys"
screenshot day_view

close_and_wait
finish
