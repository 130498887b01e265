#!/usr/bin/env bash
# The date box in the "Main Date" dialog (frame command 1311): it starts on the calendar's date,
# reformats a typed date when the focus leaves it, keeps a bad one as typed (and the dialog open
# on OK), opens its month pop-up with Alt+Down, moves the day with the arrow keys and Page Down,
# closes it with Escape; the mouse opens it, steps a month and picks a day; OK moves the calendar to the date. Then Quick Edit (command 1310).
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_GO_TO_DATE=1311
WM_NEXTDLGCTL=0x28
VK_ESCAPE=0x1B VK_NEXT=0x22 VK_RIGHT=0x27 VK_DOWN=0x28
DLG=dialog   # the visible dialog box

# The edit inside the date box has the id 100.
box_text() { driver text "$DLG" 100; }
# Moves the focus to a control of the dialog, as a click or Tab would.
focus_on() {  # focus_on CLASS [TEXT]
  local h
  h=$(driver find "$DLG" "$@") || { fail "no $* in the dialog"; return 1; }
  driver post "$DLG" $WM_NEXTDLGCTL "0x$h" 1 >/dev/null
  sleep 0.5
}
dialog_gone() {
  local i
  for i in $(seq 1 25); do
    driver dialog 0 >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
open_main_date() {
  driver command KV4Frame $CMD_GO_TO_DATE >/dev/null
  local shown
  shown=$(driver dialog 10000)
  case "$shown" in
    "Main Date"*"&Move to date:"*) ;;
    *) fail "command $CMD_GO_TO_DATE did not open Main Date: \"$shown\""; return 1 ;;
  esac
  sleep 0.5
}

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T10:00" start_and_wait
open_main_date || { close_and_wait; finish; }
[ "$(box_text)" = "Monday, December 7, 2026" ] || fail "the box does not start on today: \"$(box_text)\""
screenshot main-date-dialog

# A good typed date is read and shown in the long form when the focus leaves the box.
driver settext "$DLG" 100 "3/15/2027" >/dev/null
focus_on Button OK
wait_for "Monday, March 15, 2027" box_text || fail "a typed date was not reformatted: \"$(box_text)\""
focus_on Datebox
driver settext "$DLG" 100 "dec 24" >/dev/null
focus_on Button Cancel
wait_for "Thursday, December 24, 2026" box_text || fail "a month name and day were not read: \"$(box_text)\""

# A bad one stays as typed, and OK keeps the dialog open.
for bad in "2/30/2027" "Mon Tue 5" "99999"; do
  focus_on Datebox
  driver settext "$DLG" 100 "$bad" >/dev/null
  focus_on Button OK
  [ "$(box_text)" = "$bad" ] || fail "the bad date \"$bad\" became \"$(box_text)\""
done
driver answer 1 >/dev/null
sleep 1
driver dialog 2000 | grep -q "^Main Date" || fail "OK closed the dialog over a bad date"

# Alt+Down opens the pop-up on the typed date; keys move the day at once; Escape closes it.
focus_on Datebox
driver settext "$DLG" 100 "12/24/2026" >/dev/null
driver input "$DLG" $VK_DOWN alt >/dev/null
wait_for 1 driver visible DateCtl || fail "Alt+Down did not open the date pop-up"
wait_for "Thursday, December 24, 2026" box_text || fail "the pop-up did not take the typed date: \"$(box_text)\""
sleep 0.5
screenshot main-date-popup
driver input "$DLG" $VK_RIGHT >/dev/null
wait_for "Friday, December 25, 2026" box_text || fail "Right did not move a day: \"$(box_text)\""
driver input "$DLG" $VK_NEXT >/dev/null
wait_for "Monday, January 25, 2027" box_text || fail "Page Down did not move a month: \"$(box_text)\""
screenshot main-date-popup-january
driver input "$DLG" $VK_ESCAPE >/dev/null
wait_for 0 driver visible DateCtl || fail "Escape did not close the pop-up"
driver dialog 2000 | grep -q "^Main Date" || fail "Escape in the pop-up closed the dialog"

# The mouse: the button opens the pop-up, its right arrow steps a month, a day square chooses
# the day and closes it. The pop-up is 22 w wide and (25 h) / 2 + 4 high for the font's "0";
# the third row of the grid starts at (7 h) / 2 + 3 + 3 h.
read -r bw bh < <(driver clientsize "$DLG" Datebox)
driver click "$DLG/Datebox" $((bw - 4)) $((bh / 2)) >/dev/null
wait_for 1 driver visible DateCtl || fail "the button did not open the date pop-up"
read -r _ _ pw ph < <(driver rect DateCtl)
w=$((pw / 22)) h=$(((ph - 4) * 2 / 25))
driver click DateCtl $((pw - w)) $((h / 2 + 3)) >/dev/null
wait_for "Thursday, February 25, 2027" box_text || fail "the right arrow did not step a month: \"$(box_text)\""
# Column 3 of row 2: February 2027 begins on a Monday (column 1), so the square holds the 17th.
driver click DateCtl $((11 * w)) $((7 * h / 2 + 3 + 3 * h + h / 2)) >/dev/null
wait_for "Wednesday, February 17, 2027" box_text || fail "a click on a day did not choose it: \"$(box_text)\""
wait_for 0 driver visible DateCtl || fail "choosing a day did not close the pop-up"

# OK moves the calendar: the dialog opened again starts on the chosen date.
driver answer 1 >/dev/null
dialog_gone || fail "OK did not close the dialog over a good date"
sleep 0.5
if open_main_date; then
  [ "$(box_text)" = "Wednesday, February 17, 2027" ] || fail "the calendar did not move to the date: \"$(box_text)\""
  driver answer 2 >/dev/null
  dialog_gone || fail "Cancel did not close the dialog"
fi
# Quick Edit (command 1310) over the calendar: the day's items and the three actions.
CMD_QUICK_EDIT=1310
driver command KV4Frame $CMD_QUICK_EDIT >/dev/null
shown=$(driver dialog 10000)
case "$shown" in
  "Kalvora QuickEdit"*"&Items of the day:"*) ;;
  *) fail "command $CMD_QUICK_EDIT did not open Quick Edit: \"$shown\"" ;;
esac
for label in "&Edit..." "New &Schedule Item..." "New &Overlay Item..." "Close"; do
  driver find "$DLG" Button "$label" >/dev/null || fail "Quick Edit has no button \"$label\""
done
sleep 0.5
screenshot quick-edit
driver answer 2 >/dev/null
dialog_gone || fail "Close did not close Quick Edit"
close_and_wait
finish
