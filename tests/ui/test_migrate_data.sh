#!/usr/bin/env bash
# File > Migrate Data in the running program: the wizard finds the predecessor's configuration
# through the shell's open command of ".obc" files, replaces the default calendar (its old
# database is moved aside and the user is told where), and opens the migrated calendar with its
# schedule, to-do items, phonebook and overlays. A second run migrates into a new configuration:
# an empty name and an existing name are refused or asked about, No to an existing overlay
# keeps this program's copy, and the new calendar opens at Finish. Every wizard page is
# photographed.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_MIGRATE_DATA=1015 CMD_SHOW_SCHEDULE=1320 CMD_SHOW_TODO=1321 CMD_SHOW_PHONEBOOK=1322
SOURCE=30522 REPLACE=30531 NEW=30532 CONFIG=30534 DATABASE=30536 OPEN=30542
IDOK=1 IDCANCEL=2 IDYES=6 IDNO=7 BM_CLICK=0x00F5 BM_GETCHECK=0x00F0 TCM_GETITEMCOUNT=0x1304
db="$data/Databases/Default"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
gen="$(dirname "$0")/../../tools/gen/gen_predecessor.py"

# The predecessor's installation, registered as the opener of its configurations.
obc=$("$gen" "$kv_tmp/old" --windows-paths -- "$KV_RUNNER" "$KV_BIN/kvtool.exe" | tr -d '\r') || fail "the generator failed"
install=$(winpath "$kv_tmp/old/Orbisa")
wine_reg add 'HKCR\obcfile\shell\open\command' /ve /d "\"$install\\orbisa.exe\" \"%1\"" /f
sources=$(cd "$kv_tmp/old" && find . -type f -exec md5sum {} + | sort)

# The calendar's own database, which must not stay mixed with the migrated one.
mkdir -p "$db"
kvtool sched add --db "$(winpath "$db")" --date 2025-01-20 --start 08:00 --end 09:00 --title "Stale item" --answer ok >/dev/null

page_text() { driver text dialog "$1"; }
# Waits for a message box saying TEXT over the wizard and answers it with BUTTON.
expect_box() {  # expect_box TEXT BUTTON [SCREENSHOT]
  local shown i
  for i in $(seq 1 25); do
    shown=$(driver dialog 5000 | tr '\n' ' ')
    case "$shown" in *"$1"*) break ;; esac
    sleep 0.2
  done
  case "$shown" in *"$1"*) ;; *) fail "expected the message \"$1\", got \"$shown\""; return 1 ;; esac
  [ $# -gt 2 ] && screenshot "$3"
  driver answer "$2" >/dev/null
  sleep 0.5
}
next() { driver answer $IDOK >/dev/null; sleep 0.5; }
# The command; a changed configuration is saved first when the program asks.
open_wizard() {
  local shown
  driver command KV4Frame $CMD_MIGRATE_DATA >/dev/null
  shown=$(driver dialog 10000)
  case "$shown" in
    *"Calendar has been modified. Save current changes?"*) driver answer $IDYES >/dev/null; shown=$(driver dialog 10000) ;;
  esac
  [ "$(head -1 <<<"$shown")" = "Migrate Data" ] || fail "no Migrate Data wizard: \"$shown\""
}

KV_ENV="KALVORA_TEST_CLOCK=2025-01-15T10:00"
start_and_wait

# ---- the default calendar replaced -----------------------------------------------------------
open_wizard
screenshot migrate-1-introduction
next
[ "$(page_text $SOURCE)" = "$install\\default.obc" ] || fail "the source page proposes \"$(page_text $SOURCE)\""
screenshot migrate-2-source
next
[ "$(driver send "dialog/#$REPLACE" $BM_GETCHECK 0 0)" = 1 ] || fail "the default is not the proposed target"
screenshot migrate-3-target
next
expect_box "It was moved to:" $IDOK migrate-backup-notice
[ "$(page_text $IDOK)" = Finish ] || fail "the last page's button reads \"$(page_text $IDOK)\""
screenshot migrate-4-complete
next
driver gone "#32770" 10000 >/dev/null 2>&1
sleep 2

backup="$data/Databases/Default before migration 2025-01-15"
[ -f "$backup/JAN-2025.kvdb" ] || fail "the old default database was not moved aside"
ls "$db" | sort | paste -sd ' ' | grep -qx 'FEB-2025.kvdb JAN-2025.kvdb PhoneBk.kvdb PhoneBk.kvpb ToDo.kvdb ToDo.kvtd' ||
  fail "the default database holds: $(ls "$db" | paste -sd ' ')"
for f in "$db"/*; do
  kvtool db verify "$(winpath "$f")" | grep -q '"ok": *true' || fail "$(basename "$f") does not verify"
done
kvtool sched list --db "$(winpath "$db")" --from 2025-01-01 --to 2025-01-31 | grep -q "Stale item" &&
  fail "the old database's item is still in the calendar"
[ "$(cd "$kv_tmp/old" && find . -type f -exec md5sum {} + | sort)" = "$sources" ] || fail "the predecessor's files changed"
[ "$(kvc "$data/default.kvc" 'len(tail())')" = 3 ] || fail "default.kvc lists $(kvc "$data/default.kvc" 'tail()')"

# The migrated calendar is open: its overlays are tabs, its windows show its data.
tabs=$(driver send KV4Frame/SysTabControl32 $TCM_GETITEMCOUNT 0 0)
[ "${tabs:-0}" = 4 ] || fail "the calendar has ${tabs:-no} tabs, want \"All\" and the three migrated overlays"
driver command KV4Frame $CMD_SHOW_SCHEDULE >/dev/null
driver command KV4Frame $CMD_SHOW_TODO >/dev/null
wait_for 1 eval "driver text KV4Frame/KVToDo 801 | grep -c 'Renew passport'" ||
  fail "the to-do list shows \"$(driver text KV4Frame/KVToDo 801)\""
driver command KV4Frame $CMD_SHOW_PHONEBOOK >/dev/null
wait_for 1 eval "driver count MDIDialogClass >/dev/null; driver find KV4Frame MDIDialogClass >/dev/null && echo 1"
driver send "KV4Frame/#17002" $BM_CLICK 0 0 >/dev/null   # the people, not the organizations
wait_for 1 eval "driver lines KV4Frame/MDIDialogClass 17004 | grep -c Orbis" || fail "the phonebook does not list the migrated entry"
sleep 1
screenshot migrate-calendar-opened

# ---- a new configuration ---------------------------------------------------------------------
open_wizard
next
next
driver send "dialog/#$NEW" $BM_CLICK 0 0 >/dev/null
next
expect_box "Please enter a valid filename for the new calendar configuration." $IDOK
driver settext dialog $CONFIG default
driver settext dialog $DATABASE Second
screenshot migrate-3-target-new
next
expect_box "The calendar configuration file already exists." $IDCANCEL migrate-name-exists
driver settext dialog $CONFIG Second
# This program's copies of the overlays exist now: No keeps the first, Yes replaces the others.
printf 'mine' >>"$data/Overlays/Holidays.kov"
own=$(md5sum <"$data/Overlays/Holidays.kov")
next
expect_box "Holidays.kov already exists in Kalvora." $IDNO migrate-overlay-question
expect_box "Family Days.kov already exists" $IDYES
expect_box "Oldest.kov already exists" $IDYES
[ "$(page_text $IDOK)" = Finish ] || fail "the wizard did not reach its last page"
[ "$(driver send "dialog/#$OPEN" $BM_GETCHECK 0 0)" = 0 ] || fail "\"Open the calendar configuration now.\" starts ticked"
driver send "dialog/#$OPEN" $BM_CLICK 0 0 >/dev/null
next
caption_is "Kalvora - Second" || fail "the new calendar did not open: $(driver caption KV4Frame)"
[ "$(md5sum <"$data/Overlays/Holidays.kov")" = "$own" ] || fail "No did not keep this program's Holidays.kov"
[ "$(kvc "$data/Second.kvc" 'text(846, 256)')" = "$(winpath "$data/Databases/Second")" ] ||
  fail "Second.kvc names the database $(kvc "$data/Second.kvc" 'text(846, 256)')"
[ -f "$data/Databases/Second/JAN-2025.kvdb" ] || fail "the second database was not copied"
screenshot migrate-second-opened

driver close KV4Frame >/dev/null
if driver dialog 3000 >/dev/null 2>&1; then driver answer $IDNO >/dev/null; fi
wait_exit "$kv_pid" 20 || fail "the program did not end after WM_CLOSE"
kv_pid=""
finish
