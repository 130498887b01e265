#!/usr/bin/env bash
# The Schedule window in the running program: F5 opens it on the calendar's selected day with the
# day's items at their rows; it follows the selected date; the scroll message (WM_USER + 19)
# moves the picked row and selects the item there; a click selects an item, a drag picks a range,
# and Enter or a double click asks for the editor (without one the window beeps and goes on).
source "$(dirname "$0")/lib.sh"
fresh_profile
VK_F5=0x74 VK_RETURN=0x0D
SCROLL=1043                       # WM_USER + 19
LINE_UP=0 LINE_DOWN=1 PAGE_DOWN=3 TOP=6 BOTTOM=7
WM_MDIRESTORE=0x223 WM_MDIMAXIMIZE=0x225
WM_MOUSEMOVE=0x200 WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202 WM_LBUTTONDBLCLK=0x203
MOVE_BACK=1324 MOVE_FORWARD=1325
PANE=1                            # the grid pane's control id; its text names the day and the choice

db="$data/Databases/Default"
mkdir -p "$db"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
add() {  # add DATE START END TITLE: the new item's id
  kvtool sched add --db "$(winpath "$db")" --date "$1" --start "$2" --end "$3" --title "$4" |
    python3 -c 'import json,sys; print(json.load(sys.stdin)["ids"][0])'
}
for item in "2026-12-07 09:00 10:00 Team standup" "2026-12-07 13:00 14:00 Lunch with Anna"; do
  read -r d s e t <<<"$item"
  add "$d" "$s" "$e" "$t" >/dev/null || fail "kvtool sched add $t failed"
done
dentist=$(add 2026-12-07 10:30 11:45 "Dentist") || fail "kvtool sched add failed"
kvtool note set --db "$(winpath "$db")" --sched "$dentist" --date 2026-12-07 --text "Bring the X-rays" >/dev/null ||
  fail "kvtool note set failed"
add 2026-12-07 14:00 15:30 "Budget review" >/dev/null
add 2026-12-06 23:00 00:30 "Night train" >/dev/null
add 2026-12-08 08:30 09:30 "Flight to Lyon" >/dev/null

lp() { echo $(( ($2 << 16) | $1 )); }  # lp X Y: a mouse message's point
pane_text() { driver text KV4Frame/KVSched $PANE; }
scroll() { driver send KV4Frame/KVSched $SCROLL "$1" >/dev/null; }
scroll_times() { local i; for i in $(seq 1 "$2"); do scroll "$1"; done; }
expect_text() { wait_for "$1" pane_text || fail "$2: \"$(pane_text)\""; }
# Waits until the pane's text matches a shell pattern (the mouse messages are posted).
wait_match() {
  local i
  for i in $(seq 1 50); do
    case "$(pane_text)" in $1) return 0 ;; esac
    sleep 0.1
  done
  return 1
}
# A request for the editor: with the schedule's dialog installed it opens (and is cancelled
# here); without it the window beeps and no box opens.
editor_or_beep() {
  local shown
  if shown=$(driver dialog 1500 2>/dev/null); then
    case "$shown" in "Schedule Event"*) driver answer 2 >/dev/null; driver gone '#32770' 5000 >/dev/null ;;
      *) fail "$1 opened something else: \"$shown\"" ;; esac
  fi
}

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver key KV4Frame $VK_F5 >/dev/null
wait_for 1 eval 'desk_line KVSched | wc -l' || fail "F5 did not open the schedule window"
desk_line KVSched | grep -q ' 1$' || fail "the schedule window is not the active window: $(desk_line KVSched)"
expect_text "Monday, December 7, 2026" "the window does not show the selected day"

# A drag from the top of the pane downwards picks a range from the top row's time, the initial
# hour (8:00; rows of 15 minutes).
read -r pane_w pane_h < <(driver clientsize KV4Frame/KVSched KVSchedTxt)
[ "${pane_h:-0}" -gt 100 ] && [ "${pane_w:-0}" -gt 200 ] || fail "the grid pane is too small: ${pane_w:-none} x ${pane_h:-none}"
x=$((pane_w * 3 / 4))
driver post KV4Frame/KVSchedTxt $WM_LBUTTONDOWN 1 "$(lp $x 2)" >/dev/null
driver post KV4Frame/KVSchedTxt $WM_MOUSEMOVE 1 "$(lp $x $((pane_h - 4)))" >/dev/null
driver post KV4Frame/KVSchedTxt $WM_LBUTTONUP 0 "$(lp $x $((pane_h - 4)))" >/dev/null
wait_match "Monday, December 7, 2026: 8:00 AM - *" || fail "the drag did not pick a range from 8:00: \"$(pane_text)\""
range=$(pane_text)
# The range's end gives the row height: rows of 15 minutes from 8:00 down to the pane's bottom.
row_h=$(python3 -c '
import re, sys
m = re.search(r" - (\d+):(\d+) (AM|PM)$", sys.argv[1])
end = (int(m[1]) % 12 + (12 if m[3] == "PM" else 0)) * 60 + int(m[2])
print(round((int(sys.argv[2]) - 6) * 15 / (end - 480)))' "$range" "$pane_h" 2>/dev/null) || row_h=18

# Enter asks for the editor of a new item in that range; the window goes on either way.
driver key KV4Frame/KVSchedTxt $VK_RETURN >/dev/null
editor_or_beep "Enter on a picked range"
[ "$(pane_text)" = "$range" ] || fail "asking for the editor changed the window: \"$(pane_text)\""

# A click in the stand-up's row (the second hour in view) selects it; a double click on the
# dentist's row selects it and asks for its editor.
driver click KV4Frame/KVSchedTxt $x $((4 * row_h + row_h / 2)) >/dev/null
expect_text "Monday, December 7, 2026: 9:00 AM - 10:00 AM Team standup" "a click on the stand-up did not select it (row height $row_h)"
driver post KV4Frame/KVSchedTxt $WM_LBUTTONDBLCLK 1 "$(lp $x $((10 * row_h + row_h / 2)))" >/dev/null
expect_text "Monday, December 7, 2026: 10:30 AM - 11:45 AM Dentist" "a double click on the dentist did not select it"
editor_or_beep "A double click on an item"

# The window at full size for the picture, then back as it was.
sched=$(driver find KV4Frame KVSched)
driver send KV4Frame/MDIClient $WM_MDIMAXIMIZE "0x$sched" >/dev/null
sleep 1
screenshot schedule-window
driver send KV4Frame/MDIClient $WM_MDIRESTORE "0x$sched" >/dev/null

# The keys' message (WM_USER + 19) moves the picked row with the grid: six rows up from the
# dentist is the stand-up, which is selected.
scroll_times $LINE_UP 6
expect_text "Monday, December 7, 2026: 9:00 AM - 10:00 AM Team standup" "six rows up from the dentist is not the stand-up"
scroll $LINE_DOWN
expect_text "Monday, December 7, 2026: 9:15 AM" "a line down did not pick the next row"
scroll $TOP
expect_text "Monday, December 7, 2026: 11:00 PM - 12:30 AM Night train" "the night train does not reach into the day"
screenshot schedule-window-midnight   # the train of the day before, reaching into this one
scroll $BOTTOM
expect_text "Monday, December 7, 2026: 11:45 PM" "End did not go to the day's last row"
scroll $TOP
scroll_times $PAGE_DOWN 2
case "$(pane_text)" in
  "Monday, December 7, 2026: "*AM*) ;;
  *) fail "two pages down from midnight is not in the morning: \"$(pane_text)\"" ;;
esac

# The window follows the selected date: forward to the 8th (from the schedule window, Move
# forward steps the selected date), and back.
driver command KV4Frame $MOVE_FORWARD >/dev/null
expect_text "Tuesday, December 8, 2026" "the window did not follow the date to the 8th"
scroll_times $LINE_DOWN 2
expect_text "Tuesday, December 8, 2026: 8:30 AM - 9:30 AM Flight to Lyon" "the flight is not at 8:30 on the 8th"
driver command KV4Frame $MOVE_BACK >/dev/null
expect_text "Monday, December 7, 2026" "the window did not follow the date back to the 7th"

# Closed and opened again: still the selected day, at its place.
rect_before=$(desk_line KVSched | awk '{ print $2, $3, $4, $5 }')
driver close KV4Frame/KVSched >/dev/null
wait_for 0 eval 'desk_line KVSched | wc -l' || fail "the schedule window did not close"
driver command KV4Frame 1320 >/dev/null
wait_for 1 eval 'desk_line KVSched | wc -l' || fail "the toolbar command did not open the schedule window"
expect_text "Monday, December 7, 2026" "the reopened window does not show the selected day"
[ "$(desk_line KVSched | awk '{ print $2, $3, $4, $5 }')" = "$rect_before" ] ||
  fail "the reopened window is not where it was: $(desk_line KVSched) (was $rect_before)"

close_and_wait
finish
