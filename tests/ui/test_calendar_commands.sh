#!/usr/bin/env bash
# The Calendar menu's commands and the toolbar's moves, seen through the date the calendar
# holds (Main Date's box starts on it): Move forward and back step a month in the month view, a
# day in the day view and a year in the year view; Today takes today again; Page Down in the
# year view moves a year; the Overlay Tabs command hides and shows the tab strip and is saved.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_YEAR=1301 CMD_MONTH=1302 CMD_DAY=1303 CMD_GO_TO_DATE=1311 CMD_TODAY=1312 CMD_TABS=1314
CMD_BACK=1324 CMD_FORWARD=1325
VK_NEXT=0x22 VK_LEFT=0x25

# The calendar's date, as Main Date shows it when it opens (Cancel leaves it alone).
calendar_date() {
  driver command KV4Frame $CMD_GO_TO_DATE >/dev/null
  driver dialog 10000 >/dev/null || { echo "(no dialog)"; return; }
  sleep 0.5
  driver text dialog 100
  # Cancel, and wait until the dialog has gone.
  local i
  for i in $(seq 1 25); do
    driver post dialog 0x0111 2 0 >/dev/null 2>&1 || break
    sleep 0.2
    driver dialog 0 >/dev/null 2>&1 || break
  done
}
expect_date() {  # expect_date WANT WHAT
  local got
  got=$(calendar_date)
  [ "$got" = "$1" ] || fail "$2: the calendar shows \"$got\", want \"$1\""
}
run() { driver command KV4Frame "$1" >/dev/null; sleep 0.5; }
activate_calendar() {
  local h
  h=$(driver find KV4Frame KVCalendar) || return
  driver send KV4Frame/MDIClient 0x0222 "0x$h" 0 >/dev/null   # WM_MDIACTIVATE
}

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T10:00" start_and_wait
sleep 2  # first use: the desk is arranged and saved
activate_calendar
expect_date "Monday, December 7, 2026" "at start"

run $CMD_FORWARD
expect_date "Thursday, January 7, 2027" "Move forward in the month view"
run $CMD_BACK; run $CMD_BACK
expect_date "Saturday, November 7, 2026" "Move back twice in the month view"
sleep 1; screenshot calendar-month-november

run $CMD_DAY
run $CMD_FORWARD
expect_date "Sunday, November 8, 2026" "Move forward in the day view"
driver key KV4Frame/KVCalendar $VK_LEFT >/dev/null   # the day view's keys move the focus line, not the day
expect_date "Sunday, November 8, 2026" "Left in the day view"
sleep 1; screenshot calendar-day-view

run $CMD_YEAR
run $CMD_FORWARD
driver key KV4Frame/KVCalendar $VK_NEXT >/dev/null; sleep 0.5
[ "$(driver tbchecked KV4Frame 1301)" = 1 ] || fail "the year view button is not pressed"
screenshot calendar-year-2028

run $CMD_TODAY
run $CMD_MONTH
expect_date "Monday, December 7, 2026" "Today"

# Overlay Tabs: the strip goes and comes back; the setting reaches the file on save.
visible_tabs() { driver visible KV4Frame/SysTabControl32; }
[ "$(visible_tabs)" = 1 ] || fail "the tab strip is not shown after the first use"
run $CMD_TABS
wait_for 0 visible_tabs || fail "Overlay Tabs did not hide the tab strip"
driver command KV4Frame 1002 >/dev/null; sleep 1   # Save
[ "$(kvc "$data/default.kvc" 'u8(306)')" = 1 ] || fail "the hidden tab strip was not saved (byte 306)"
run $CMD_TABS
wait_for 1 visible_tabs || fail "Overlay Tabs did not bring the tab strip back"
driver command KV4Frame 1002 >/dev/null; sleep 1   # saved again: closing asks nothing

close_and_wait
finish
