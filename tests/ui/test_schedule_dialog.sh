#!/usr/bin/env bash
# The "Schedule Event" dialog in the running program, opened from Quick Edit: a new item with
# its defaults, every field refusing bad input with its message while nothing typed is lost, an
# item created, edited, moved to another month with its note, a weekly series over conflicts
# with the summary, the series removed; the month files checked with kvtool. Then "Configure
# Scheduler" (command 1204): bad hours and alarms refused, good ones stored in the
# configuration, and a new item starting at the new summary start hour.
source "$(dirname "$0")/lib.sh"
fresh_profile
# No overlay events: Quick Edit then lists only the day's schedule items.
for f in USA_HDAY CAN_HDAY GBR_HDAY FRA_HDAY CHRSTIAN JEWISH SAMPLE; do empty_overlay "$prog/Data/$f.DAT"; done
CMD_SAVE=1002 CMD_QUICK_EDIT=1310 CMD_GO_TO_DATE=1311 CMD_SCHEDULER=1204
QE_LIST=11902 QE_EDIT=11903 QE_NEW=11904
TABS=20001 TITLE=20011 DATE=20013 START=20015 END=20017 RECURS=20019 N=20021 UNTIL=20023 ZONE_NAME=20025
MONTH=20026 ALARM_ON=20031 ALARM_TIME=20033 SOUND=20035 REMOVE=20040
OPT_INITIAL=18201 OPT_AMPM=18202 OPT_INCREMENT=18203 OPT_START=18204 OPT_END=18206 OPT_ALARM=18208
WM_COMMAND=0x111 WM_NEXTDLGCTL=0x28 BM_CLICK=0xF5 BM_SETCHECK=0xF1 CB_SETCURSEL=0x14E CB_GETCURSEL=0x147 LB_SETCURSEL=0x186
TCM_GETCURSEL=0x130B TCM_SETCURSEL=0x130C CBN_SELCHANGE=1
DLG=dialog
BAD_VALUE="Bad value entered at cursor position, please correct."

db="$data/Databases/Default"
mkdir -p "$db"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
dbw=$(winpath "$db")
# "start title" lines of the items listed for a range of dates.
listed() {  # listed FROM TO
  kvtool sched list --db "$dbw" --from "$1" --to "$2" |
    python3 -c 'import json,sys; [print(e["start"], e["title"]) for e in json.load(sys.stdin)["entries"]]'
}
listed_field() {  # listed_field FROM TO FIELD: the field of the first item
  kvtool sched list --db "$dbw" --from "$1" --to "$2" |
    python3 -c 'import json,sys; e=json.load(sys.stdin)["entries"]; print(e[0][sys.argv[1]] if e else "")' "$3"
}
verify_month() {  # verify_month NAME
  [ -f "$db/$1" ] || { fail "no month file $1"; return; }
  kvtool db verify "$(winpath "$db/$1")" | grep -q '"ok": *true' || fail "kvtool db verify $1: $(kvtool db verify "$(winpath "$db/$1")")"
}

# ---- driving the dialog ----
box() { driver text "$DLG/#$1" 100; }            # the edit field inside a date or time box
field() { driver text "$DLG" "$1"; }
focus_on() {  # moves the focus to a control by id, as Tab or a click would
  local h
  h=$(driver handle "$DLG/#$1") || { fail "no control $1"; return 1; }
  driver post "$DLG" $WM_NEXTDLGCTL "0x$h" 1 >/dev/null
  sleep 0.3
}
type_box() {  # type_box ID TEXT: typed into a box, which checks it when the focus leaves
  focus_on "$1"
  driver settext "$DLG/#$1" 100 "$2" >/dev/null
  focus_on 1
}
choose() {  # choose COMBO INDEX: as a pick in the list
  driver send "$DLG/#$1" $CB_SETCURSEL "$2" >/dev/null
  driver post "$DLG" $WM_COMMAND $(( CBN_SELCHANGE << 16 | $1 )) >/dev/null
  sleep 0.3
}
tab_shown() { driver send "$DLG/#$TABS" $TCM_GETCURSEL 0 0; }
show_tab() {  # a click on the tab's label: "Event" starts at the left, "Alarm" follows it
  driver click "$DLG/#$TABS" $(( $1 == 1 ? 62 : 16 )) 10 >/dev/null
  sleep 0.3
}
dialog_caption() { driver dialog 0 2>/dev/null | head -1; }
wait_schedule_dialog() {
  wait_for "Schedule Event" dialog_caption || { fail "no Schedule Event dialog: \"$(dialog_caption)\""; return 1; }
  sleep 0.5
}
open_quick_edit() {
  driver command KV4Frame $CMD_QUICK_EDIT >/dev/null
  wait_for "Kalvora QuickEdit" dialog_caption || { fail "Quick Edit did not open: \"$(dialog_caption)\""; return 1; }
  sleep 0.3
}
open_new() {
  open_quick_edit || return 1
  driver command "$DLG" $QE_NEW >/dev/null
  wait_schedule_dialog
}
open_first_item() {
  open_quick_edit || return 1
  driver send "$DLG/#$QE_LIST" $LB_SETCURSEL 0 0 >/dev/null
  driver command "$DLG" $QE_EDIT >/dev/null
  wait_schedule_dialog
}
go_to_date() {  # go_to_date M/D/YYYY: the calendar's selected date
  driver command KV4Frame $CMD_GO_TO_DATE >/dev/null
  wait_for "Main Date" dialog_caption || { fail "Main Date did not open"; return 1; }
  driver settext "$DLG" 100 "$1" >/dev/null
  driver answer 1 >/dev/null
  wait_for "" dialog_caption || fail "Main Date stayed open"
}
# OK pressed: the message box that comes up (its text), answered with BUTTON.
press_ok_expect() {  # press_ok_expect MESSAGE [BUTTON]
  driver answer 1 >/dev/null
  expect_box "$1" "${2:-1}"
}
expect_box() {  # expect_box MESSAGE BUTTON
  local shown i
  for i in $(seq 1 25); do
    shown=$(driver dialog 0 2>/dev/null)
    case "$shown" in "Schedule Event"*"&Title:"* | "Kalvora QuickEdit"* | "") sleep 0.2 ;; *) break ;; esac
  done
  case "$shown" in
    *"$1"*) ;;
    *) fail "expected the message \"$1\", saw \"$shown\"" ;;
  esac
  driver answer "$2" >/dev/null
  sleep 0.4
}
still_open() { [ "$(dialog_caption)" = "Schedule Event" ] || fail "$1: the dialog did not stay open ($(dialog_caption))"; }
closed() { wait_for "" dialog_caption || fail "$1: the dialog did not close ($(dialog_caption))"; }

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait

# ---- a new item and its defaults ----
open_new || { close_and_wait; finish; }
[ "$(field $TITLE)" = "" ] || fail "a new item has a title: $(field $TITLE)"
[ "$(box $DATE)" = "Monday, December 7, 2026" ] || fail "the date box does not show the day: $(box $DATE)"
start_default=$(box $START)
end_default=$(box $END)
case "$start_default/$end_default" in "6:00"*"/7:00"*) ;; *) fail "a new item does not start at the summary start hour 6 for an hour: $start_default - $end_default" ;; esac
[ "$(driver visible "$DLG/#$REMOVE")" = "0" ] || fail "Remove is shown for a new item"
[ "$(driver visible "$DLG/#$ALARM_TIME")" = "0" ] || fail "the alarm tab's fields show on the Event tab"
[ -n "$(field $ZONE_NAME)" ] || echo "note: the zone name is empty (no zone table in this build)"

# The start moves the end with it.
type_box $START "10:00 AM"
case "$(box $END)" in "11:00"*) ;; *) fail "the end did not follow the start: $(box $END)" ;; esac

# ---- bad input in every field: the message, the dialog stays, nothing typed is lost ----
press_ok_expect "The entry requires a title/description."
still_open "an empty title"
driver settext "$DLG" $TITLE "Dentist" >/dev/null

type_box $START "25:99"
press_ok_expect "$BAD_VALUE"
still_open "a bad start"
[ "$(box $START)" = "25:99" ] || fail "the bad start was not kept as typed: $(box $START)"
[ "$(field $TITLE)" = "Dentist" ] || fail "the title was lost: $(field $TITLE)"
type_box $START "10:00 AM"

type_box $END "nonsense"
press_ok_expect "$BAD_VALUE"
still_open "a bad end"
type_box $END "11:00 AM"

type_box $DATE "2/30/2027"
press_ok_expect "$BAD_VALUE"
still_open "a bad date"
[ "$(box $DATE)" = "2/30/2027" ] || fail "the bad date was not kept: $(box $DATE)"
type_box $DATE "12/7/2026"

# The alarm: switched on it takes the lead (5 minutes by default), its caption says so.
show_tab 1
[ "$(tab_shown)" = "1" ] || fail "the Alarm tab did not come forward"
driver send "$DLG/#$ALARM_ON" $BM_CLICK 0 0 >/dev/null
sleep 0.3
[ "$(field $ALARM_ON)" = "(&On)" ] || fail "the alarm switch does not say (&On): $(field $ALARM_ON)"
case "$(box $ALARM_TIME)" in "9:55"*) ;; *) fail "the alarm is not 5 minutes before the start: $(box $ALARM_TIME)" ;; esac
choose $SOUND 2
screenshot schedule-dialog-alarm
type_box $ALARM_TIME "99:99"
show_tab 0
press_ok_expect "$BAD_VALUE"
still_open "a bad alarm time"
[ "$(tab_shown)" = "1" ] || fail "a bad alarm time did not bring the Alarm tab forward"
type_box $ALARM_TIME "10:30 AM"
show_tab 0
press_ok_expect "Alarm cannot be later than start time!"
[ "$(tab_shown)" = "1" ] || fail "a late alarm did not bring the Alarm tab forward"
type_box $ALARM_TIME "9:45 AM"
show_tab 0

# 'N' of "every N days" and the until date of a series.
choose $RECURS 2
driver settext "$DLG" $N "0" >/dev/null
type_box $UNTIL "12/31/2026"
press_ok_expect "Value for 'N' must be between 1 and 120."
still_open "a bad N"
driver settext "$DLG" $N "abc" >/dev/null
press_ok_expect "Value for 'N' must be between 1 and 120."
choose $RECURS 1
type_box $UNTIL "13/45/2026"
press_ok_expect "$BAD_VALUE"
still_open "a bad until date"
choose $RECURS 0

# Everything typed survived the refusals.
[ "$(field $TITLE)" = "Dentist" ] || fail "the title did not survive: $(field $TITLE)"
driver send "$DLG/#$MONTH" $BM_SETCHECK 1 0 >/dev/null
screenshot schedule-dialog
[ "$(driver send "$DLG/#$SOUND" $CB_GETCURSEL 0 0)" = "2" ] || fail "the sound choice was lost"

# ---- created ----
driver answer 1 >/dev/null
closed "a good item"
[ "$(listed 2026-12-07 2026-12-07)" = "2026-12-07T10:00 Dentist" ] || fail "the item was not stored: $(listed 2026-12-07 2026-12-07)"
[ "$(listed_field 2026-12-07 2026-12-07 alarmbyte)" = "2" ] || fail "the alarm with sound 2 was not stored"
[ "$(listed_field 2026-12-07 2026-12-07 alarm)" = "585" ] || fail "the alarm time is not 9:45"
item=$(listed_field 2026-12-07 2026-12-07 id)
verify_month "DEC-2026.kvdb"

# ---- edited: the same record, its id kept ----
open_first_item || { close_and_wait; finish; }
[ "$(field $TITLE)" = "Dentist" ] || fail "the item opened with \"$(field $TITLE)\""
[ "$(driver visible "$DLG/#$REMOVE")" = "1" ] || fail "Remove is hidden for a stored item"
driver settext "$DLG" $TITLE "Dentist check-up" >/dev/null
type_box $START "2:00 PM"
driver answer 1 >/dev/null
closed "an edit"
[ "$(listed 2026-12-07 2026-12-07)" = "2026-12-07T14:00 Dentist check-up" ] || fail "the edit was not stored: $(listed 2026-12-07 2026-12-07)"
[ "$(listed_field 2026-12-07 2026-12-07 id)" = "$item" ] || fail "the edit changed the item's id"

# ---- moved to another month with its note ----
kvtool note set --db "$dbw" --sched "$item" --date 2026-12-07 --text "Bring the insurance card" >/dev/null
open_first_item || { close_and_wait; finish; }
type_box $DATE "1/12/2027"
driver answer 1 >/dev/null
closed "a move"
[ -z "$(listed 2026-12-07 2026-12-07)" ] || fail "the moved item is still on 7 December"
[ "$(listed 2027-01-12 2027-01-12)" = "2027-01-12T14:00 Dentist check-up" ] || fail "the item is not on 12 January: $(listed 2027-01-12 2027-01-12)"
moved=$(listed_field 2027-01-12 2027-01-12 id)
note=$(kvtool note get --db "$dbw" --sched "$moved" --date 2027-01-12 | python3 -c 'import json,sys; print(json.load(sys.stdin)["text"])')
[ "$note" = "Bring the insurance card" ] || fail "the note did not follow the item: \"$note\""
verify_month "DEC-2026.kvdb"
verify_month "JAN-2027.kvdb"

# ---- a weekly series over three taken Wednesdays ----
for d in 2026-12-16 2026-12-30 2027-01-13; do
  kvtool sched add --db "$dbw" --date $d --start 09:30 --end 10:30 --title "Busy $d" >/dev/null
done
open_new || { close_and_wait; finish; }
driver settext "$DLG" $TITLE "Team meeting" >/dev/null
type_box $DATE "12/9/2026"
type_box $START "9:00 AM"
choose $RECURS 1
[ "$(field $RECURS)" = "Weekly: Every Wednesday" ] || fail "the weekly rule of the 9th reads \"$(field $RECURS)\""
type_box $UNTIL "2/10/2027"
driver send "$DLG/#$MONTH" $BM_SETCHECK 1 0 >/dev/null
screenshot schedule-dialog-series
press_ok_expect "Ready to schedule 10 event occurrences.  Proceed?"
for d in "Wednesday, December 16, 2026" "Wednesday, December 30, 2026" "Wednesday, January 13, 2027"; do
  expect_box "$d" 1
done
# The summary; its line break is "\r\n" (the driver drops the "\r").
expect_box "3 conflict(s) were found scheduling 10 events.
Select OK to schedule the 7 event(s) without conflicts." 1
closed "a series"
[ "$(listed 2026-12-01 2027-02-28 | grep -c 'Team meeting')" = "7" ] || fail "not 7 occurrences: $(listed 2026-12-01 2027-02-28)"
series=$(kvtool sched day --db "$dbw" 2026-12-09 | python3 -c 'import json,sys; print(json.load(sys.stdin)["items"][0]["series"])')
[ "$series" != "0" ] || fail "the series has no series id"
[ "$(kvtool sched day --db "$dbw" 2027-02-10 | python3 -c 'import json,sys; print(json.load(sys.stdin)["items"][0]["series"])')" = "$series" ] ||
  fail "the last occurrence is not in the series"
verify_month "FEB-2027.kvdb"

# ---- the series removed from its first date through its last ----
go_to_date "12/9/2026"
open_first_item || { close_and_wait; finish; }
[ "$(field $TITLE)" = "Team meeting" ] || fail "the series opened as \"$(field $TITLE)\""
type_box $UNTIL "2/10/2027"
driver command "$DLG" $REMOVE >/dev/null
expect_box "Delete item(s) from schedule?" 1
closed "a removed series"
[ "$(listed 2026-12-01 2027-02-28 | grep -c 'Team meeting')" = "0" ] || fail "the series was not removed: $(listed 2026-12-01 2027-02-28)"
[ "$(listed 2026-12-01 2027-02-28 | grep -c 'Busy')" = "3" ] || fail "removing the series took other items"
for f in DEC-2026.kvdb JAN-2027.kvdb FEB-2027.kvdb; do verify_month $f; done

# A new item cancelled stores nothing.
open_new || { close_and_wait; finish; }
driver settext "$DLG" $TITLE "Never stored" >/dev/null
driver answer 2 >/dev/null
closed "Cancel"
listed 2026-12-01 2027-02-28 | grep -q "Never stored" && fail "Cancel stored the item"

# ---- "Configure Scheduler" ----
driver command KV4Frame $CMD_SCHEDULER >/dev/null
wait_for "Configure Scheduler" dialog_caption || fail "command 1204 did not open Configure Scheduler: \"$(dialog_caption)\""
sleep 0.5
[ "$(field $OPT_INITIAL)/$(field $OPT_START)/$(field $OPT_END)/$(field $OPT_ALARM)" = "8/6/9/-5" ] ||
  fail "the settings shown: $(field $OPT_INITIAL)/$(field $OPT_START)/$(field $OPT_END)/$(field $OPT_ALARM)"
screenshot configure-scheduler
opt_bad() {  # opt_bad ID TEXT MESSAGE GOOD
  driver settext "$DLG" "$1" "$2" >/dev/null
  driver answer 1 >/dev/null
  expect_opt "$3"
  [ "$(dialog_caption)" = "Configure Scheduler" ] || fail "\"$2\" closed the dialog"
  [ "$(field "$1")" = "$2" ] || fail "\"$2\" was not kept as typed: $(field "$1")"
  driver settext "$DLG" "$1" "$4" >/dev/null
}
expect_opt() {
  local shown i
  for i in $(seq 1 25); do
    shown=$(driver dialog 0 2>/dev/null)
    case "$shown" in "Configure Scheduler"* | "") sleep 0.2 ;; *) break ;; esac
  done
  case "$shown" in *"$1"*) ;; *) fail "expected \"$1\", saw \"$shown\"" ;; esac
  driver answer 1 >/dev/null
  sleep 0.4
}
for bad in 13 0 abc ""; do opt_bad $OPT_INITIAL "$bad" "Bad or missing time entry." 9; done
for bad in 0 14 x; do opt_bad $OPT_START "$bad" "Bad or missing time entry." 7; done
for bad in 13 -1; do opt_bad $OPT_END "$bad" "Bad or missing time entry." 8; done
for bad in -241 5 ten ""; do opt_bad $OPT_ALARM "$bad" "Reminder alarm range is 0 to -240 minutes." -10; done
driver send "$DLG/#$OPT_INCREMENT" $CB_SETCURSEL 4 0 >/dev/null
driver answer 1 >/dev/null
wait_for "" dialog_caption || fail "good settings did not close Configure Scheduler"
driver command KV4Frame $CMD_SAVE >/dev/null
kvc_file="$data/default.kvc"
stored() { kvc "$kvc_file" '(u16(278), u8(280), u8(281), u8(282), u8(283))'; }
wait_for "(9, 7, 20, 10, 30)" stored || fail "the settings stored in the configuration: $(stored)"

# A new item now starts at the summary start hour 7 with the 10-minute lead.
open_new || { close_and_wait; finish; }
case "$(box $START)" in "7:00"*) ;; *) fail "a new item does not start at 7: $(box $START)" ;; esac
driver answer 2 >/dev/null
closed "Cancel"

close_and_wait
finish
