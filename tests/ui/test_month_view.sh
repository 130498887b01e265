#!/usr/bin/env bash
# The month view: the calendar shows a plane of day cells on a fresh profile; Right from the
# last day moves into the next month, Page Down a month further; Shift held enlarges the
# selected cell and releasing it shrinks it back. Screenshots of each state for review.
source "$(dirname "$0")/lib.sh"
fresh_profile
start_and_wait
sleep 2  # first use: the desk is arranged and saved

VK_SHIFT=0x10 VK_END=0x23 VK_RIGHT=0x27 VK_NEXT=0x22 WM_KEYDOWN=0x100 WM_KEYUP=0x101
cal=KV4Frame/KVCalendar

driver find KV4Frame KVMonthPlane >/dev/null || fail "the calendar has no month plane"
read -r _ _ cw ch < <(driver rect KV4Frame/KVDate)
[ "${cw:-0}" -gt 20 ] && [ "${ch:-0}" -gt 20 ] || fail "the first day cell is ${cw:-?} x ${ch:-?}, not a visible cell"
[ "$(driver tbchecked KV4Frame 1302)" = 1 ] || fail "the month view button is not pressed"
[ "$(driver caption $cal)" = Calendar ] || fail "the calendar's title is \"$(driver caption $cal)\""
# The first use loads several overlays: the tab strip at the bottom offers "All" and one per overlay.
driver find KV4Frame/KVCalendar SysTabControl32 >/dev/null || fail "the calendar has no overlay tab strip"
TCM_GETITEMCOUNT=0x1304
tabs=$(driver send KV4Frame/SysTabControl32 $TCM_GETITEMCOUNT 0 0)
[ "${tabs:-0}" -ge 3 ] || fail "the tab strip has ${tabs:-no} tabs, want \"All\" and one per overlay"
screenshot month-view

# The grid column of day 1, from the first cell's place in the plane (cells stand one pixel
# inside the grid lines, cw - 1 wide).
first_column() {
  local px cx cwidth
  read -r px _ _ _ < <(driver rect KV4Frame/KVMonthPlane)
  read -r cx _ cwidth _ < <(driver rect KV4Frame/KVDate)
  echo $(((cx - px - 1) / (cwidth + 1)))
}
# The weekday (0 Sunday) of day 1 of the month N months from now.
column_ahead() {
  python3 -c "import datetime as d; t=d.date.today(); m=t.month-1+$1; print((d.date(t.year+m//12, m%12+1, 1).isoweekday())%7)"
}

driver key $cal $VK_END >/dev/null
driver key $cal $VK_RIGHT >/dev/null; sleep 0.5
[ "$(first_column)" = "$(column_ahead 1)" ] || fail "Right on the last day did not show the next month (day 1 in column $(first_column), want $(column_ahead 1))"
driver key $cal $VK_NEXT >/dev/null; sleep 0.5
[ "$(first_column)" = "$(column_ahead 2)" ] || fail "Page Down did not move a month on (day 1 in column $(first_column), want $(column_ahead 2))"
screenshot month-view-two-months-on

# Shift held: the selected cell (day 1 after Page Down) grows to twice its size.
driver post $cal $WM_KEYDOWN $VK_SHIFT 0 >/dev/null; sleep 0.5
read -r _ _ bw bh < <(driver rect KV4Frame/KVDate)
[ "${bw:-0}" -gt $((cw * 3 / 2)) ] && [ "${bh:-0}" -gt $((ch * 3 / 2)) ] || fail "Shift did not enlarge the cell (${bw:-?} x ${bh:-?}, normal $cw x $ch)"
screenshot month-view-enlarged
driver post $cal $WM_KEYUP $VK_SHIFT 0 >/dev/null; sleep 0.5
read -r _ _ sw sh < <(driver rect KV4Frame/KVDate)
[ "$sw $sh" = "$cw $ch" ] || fail "releasing Shift left the cell ${sw:-?} x ${sh:-?}, want $cw x $ch"

# Double clicks: the year label opens the year view, a day number the day view; the month
# view button brings the month back.
WM_LBUTTONDBLCLK=0x0203
view_buttons() { echo "$(driver tbchecked KV4Frame 1301)$(driver tbchecked KV4Frame 1302)$(driver tbchecked KV4Frame 1303)"; }
driver post KV4Frame/KVYearLabel $WM_LBUTTONDBLCLK 0 0x00050005 >/dev/null; sleep 0.5
[ "$(view_buttons)" = 100 ] || fail "a double click on the year label did not open the year view ($(view_buttons))"
driver tbclick KV4Frame 1302 >/dev/null; sleep 0.5
[ "$(view_buttons)" = 010 ] || fail "the month view button did not bring the month back ($(view_buttons))"
driver post KV4Frame/KVDate $WM_LBUTTONDBLCLK 0 0x00030003 >/dev/null; sleep 0.5
[ "$(view_buttons)" = 001 ] || fail "a double click on a day number did not open the day view ($(view_buttons))"
driver tbclick KV4Frame 1302 >/dev/null; sleep 0.5
read -r _ _ cw2 ch2 < <(driver rect KV4Frame/KVDate)
[ "$cw2 $ch2" = "$cw $ch" ] || fail "back in the month view the first cell is ${cw2:-?} x ${ch2:-?}, want $cw x $ch"

# A calendar smaller than the month's minimum scrolls: maximized in a frame whose client is
# made small (the frame lays out its client by WM_SIZE), the plane stays larger than the window.
driver post $cal 0x0112 0xF030 >/dev/null; sleep 0.5          # WM_SYSCOMMAND SC_MAXIMIZE
driver send KV4Frame 0x0005 0 $(((300 << 16) | 360)) >/dev/null; sleep 0.8   # WM_SIZE 360 x 300
read -r pw ph < <(driver clientsize $cal KVMonthPlane)
read -r kw kh < <(driver clientsize KV4Frame/MDIClient KVCalendar)
[ "${pw:-0}" -gt "${kw:-0}" ] && [ "${ph:-0}" -gt "${kh:-0}" ] ||
  fail "the month plane (${pw:-?} x ${ph:-?}) does not exceed the small calendar (${kw:-?} x ${kh:-?})"
screenshot month-view-scrolling

close_and_wait
finish
