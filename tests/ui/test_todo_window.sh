#!/usr/bin/env bash
# The To Do window in the running program: F6 opens it with the pending items in required-date
# order (an item completed two days ago goes, into "To Do Archive.txt"); the View menu shows all
# items and back; the selection tells the notes window; a new item goes through the dialog's
# three refusals before it is stored; Enter edits, Space checks off and (after asking) back on,
# Delete removes after asking (a completed item into the archive), the dialog's "&Remove" too;
# the "Configure To Do" page refuses a bad number of days and a bad file name and keeps the rest.
# Closed, the window comes back from the toolbar. Nothing of the files is damaged by any of it.
source "$(dirname "$0")/lib.sh"
fresh_profile
VK_F6=0x75 VK_F8=0x77
VK_RETURN=0x0D VK_SPACE=0x20 VK_DELETE=0x2E VK_INSERT=0x2D VK_HOME=0x24 VK_DOWN=0x28
CMD_VIEW_PENDING=1401 CMD_VIEW_ALL=1402 CMD_TODO_OPTIONS=1205 CMD_SAVE=1002
TEXT=18501 REMOVE=18510                      # the item dialog's description and "&Remove"
DAYS=18404 LOG_FILE=18406                    # the settings page's days and archive name
DATE_EDIT=100                                # the edit inside the first date box (Activate on)
NOTES_EDIT=1
TODO=KV4Frame/KVToDo

db="$data/Databases/Default"
mkdir -p "$db"
dbw=$(winpath "$db")
archive="$db/To Do Archive.txt"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
slot_of() { python3 -c 'import json,sys; print(json.load(sys.stdin)["slot"])'; }
add() { kvtool todo add --db "$dbw" "$@" --now 2026-12-01T08:00 | slot_of; }
# The stored items as "text|due|done" lines in required order.
items() {
  kvtool todo list --db "$dbw" --all --now 2026-12-07T09:00 | python3 2>/dev/null -c '
import json, sys
for i in json.load(sys.stdin)["items"]: print("%s|%s|%s" % (i["text"], i["due"], "done" if i["done"] else "open"))'
}
# Polls the stored items (up to 10 s) until a line matches, or until none does.
has_item() { local i; for i in $(seq 1 50); do items | grep -q "$1" && return 0; sleep 0.2; done; return 1; }
lacks_item() { local i; for i in $(seq 1 50); do items | grep -q "$1" || return 0; sleep 0.2; done; return 1; }
archived() { local i; for i in $(seq 1 50); do grep -q "$1" "$archive" && return 0; sleep 0.2; done; return 1; }
row() { driver text $TODO $((801 + $1)); }
rows() { local r; for r in 0 1 2 3 4 5; do printf '%s;' "$(row $r)"; done; }
question_is() {  # question_is TEXT: the message box that is up says TEXT
  local shown
  shown=$(driver dialog 5000 | tr '\n' ' ')
  case "$shown" in *"$1"*) return 0 ;; esac
  fail "expected the message \"$1\", got \"$shown\""
  return 1
}
answer() { driver answer "$1" >/dev/null; sleep 0.5; }
dialog_caption() { driver dialog 0 2>/dev/null | head -1; }
key() { driver key $TODO "$1" >/dev/null; sleep 0.3; }
verify_files() {
  local f
  for f in ToDo.kvtd ToDo.kvdb; do
    [ -f "$db/$f" ] || continue
    kvtool db verify "$(winpath "$db/$f")" | grep -q '"ok": *true' || fail "$1: $f does not verify: $(kvtool db verify "$(winpath "$db/$f")")"
  done
}

# ---- the list as prepared: overdue, with a time, with a note, not yet active, done ----------
add --text "Pay the rent" --due 2026-12-06 --activate 2026-12-01 >/dev/null
passport=$(add --text "Renew passport" --due 2026-12-08 --activate 2026-12-01 --priority 2)
add --text "Dentist appointment" --due 2026-12-09 --time 14:30 --activate 2026-12-01 --priority 2 >/dev/null
report=$(add --text "Read the report" --due 2026-12-10 --activate 2026-12-01 --priority 3)
add --text "Plan the holidays" --due 2026-12-24 --activate 2026-12-20 >/dev/null
taxes=$(add --text "Filed taxes" --due 2026-12-04 --activate 2026-12-01)
kvtool note set --db "$dbw" --todo "$report" --text "Pages 4 to 9 first" >/dev/null
kvtool todo done --db "$dbw" --slot "$taxes" --now 2026-12-05T10:00 >/dev/null
kvtool todo done --db "$dbw" --slot "$passport" --now 2026-12-07T08:30 >/dev/null
: >"$archive"

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver key KV4Frame $VK_F6 >/dev/null
wait_for 1 eval 'desk_line KVToDo | wc -l' || fail "F6 did not open the To Do window"
desk_line KVToDo | grep -q ' 1$' || fail "the To Do window is not active: $(desk_line KVToDo)"
wait_for "Pay the rent" row 0 || fail "the first row is not the overdue item: \"$(row 0)\""
[ "$(rows)" = "Pay the rent;Renew passport;Dentist appointment;Read the report;;;" ] ||
  fail "the pending rows: $(rows)"
archived '^"Filed taxes","12/4/2026","12/1/2026"' ||
  fail "the item done two days ago was not archived: $(cat "$archive")"
lacks_item "^Filed taxes" || fail "the item done two days ago is still stored"
screenshot todo-window

# ---- the View menu: all items, then pending again ------------------------------------------
driver command KV4Frame $CMD_VIEW_ALL >/dev/null
wait_for "Plan the holidays" row 4 || fail "View All does not show the item activating later: $(rows)"
driver command KV4Frame $CMD_VIEW_PENDING >/dev/null
wait_for "" row 4 || fail "View Pending still shows the item activating later: $(rows)"

# ---- the selection tells the notes window --------------------------------------------------
driver key KV4Frame $VK_F8 >/dev/null
wait_for 1 eval 'desk_line KVNote | wc -l' || fail "F8 did not open the notes window"
driver key KV4Frame $VK_F6 >/dev/null
sleep 0.5
key $VK_HOME
for i in 1 2 3; do key $VK_DOWN; done
wait_for "Pages 4 to 9 first" driver text KV4Frame/KVNote $NOTES_EDIT ||
  fail "the notes window does not show the selected item's note: \"$(driver text KV4Frame/KVNote $NOTES_EDIT)\""

# ---- a new item: the three refusals, then stored -------------------------------------------
key $VK_INSERT
wait_for "Create To-Do Item" dialog_caption || fail "Insert did not open \"Create To-Do Item\": \"$(dialog_caption)\""
screenshot todo-dialog
answer 1
question_is "The entry requires a title/description." && answer 1
driver settext dialog $TEXT "Buy a new lamp" >/dev/null
driver settext dialog $DATE_EDIT "13/45/2026" >/dev/null
answer 1
question_is "Invalid date or time entered." && answer 1
driver settext dialog $DATE_EDIT "12/20/2026" >/dev/null
answer 1
question_is "There is a conflict with the activate and required dates." && answer 1
[ "$(dialog_caption)" = "Create To-Do Item" ] || fail "a refusal closed the dialog"
lacks_item "^Buy a new lamp" || fail "a refused item was stored"
verify_files "after the refusals"
driver settext dialog $DATE_EDIT "12/1/2026" >/dev/null
answer 1
wait_for "" dialog_caption || fail "OK did not close the dialog: \"$(dialog_caption)\""
has_item "^Buy a new lamp|2026-12-07T23:59|open" || fail "the new item was not stored: $(items)"
wait_for "Buy a new lamp" row 1 || fail "the new item is not listed in its place: $(rows)"

# ---- editing: Enter on the item with a time -------------------------------------------------
key $VK_HOME
for i in 1 2 3; do key $VK_DOWN; done
key $VK_RETURN
wait_for "Edit To-Do Item" dialog_caption || fail "Enter did not open \"Edit To-Do Item\": \"$(dialog_caption)\""
[ "$(driver text dialog $TEXT)" = "Dentist appointment" ] || fail "the dialog shows \"$(driver text dialog $TEXT)\""
screenshot todo-dialog-edit
driver settext dialog $TEXT "Dentist at half past two" >/dev/null
answer 1
wait_for "" dialog_caption || fail "OK did not close the edit dialog"
has_item "^Dentist at half past two|2026-12-09T14:30|open" || fail "the edit was not stored with its time: $(items)"

# ---- checking off and on again ------------------------------------------------------------
key $VK_HOME
key $VK_SPACE
has_item "^Pay the rent|.*|done" || fail "Space did not check the item off: $(items)"
key $VK_SPACE
question_is "Mark this item incomplete?" && answer 2
has_item "^Pay the rent|.*|done" || fail "declining the question changed the item: $(items)"
key $VK_SPACE
question_is "Mark this item incomplete?" && answer 1
has_item "^Pay the rent|.*|open" || fail "the item was not made pending again: $(items)"

# ---- the mouse: a click on the first row's box checks it, a double click on its text edits ---
# (the box sits in the middle of the first row whatever the font's line height of 14-17 pixels)
driver click $TODO 10 39 >/dev/null
has_item "^Pay the rent|.*|done" || fail "a click on the box did not check the item off: $(items)"
driver click $TODO 10 39 >/dev/null
question_is "Mark this item incomplete?" && answer 1
has_item "^Pay the rent|.*|open" || fail "a click on the checked box did not make the item pending: $(items)"
driver post $TODO 0x203 1 $(( 39 << 16 | 200 )) >/dev/null   # WM_LBUTTONDBLCLK on the text
wait_for "Edit To-Do Item" dialog_caption || fail "a double click did not open the item: \"$(dialog_caption)\""
[ "$(driver text dialog $TEXT)" = "Pay the rent" ] || fail "the double click opened \"$(driver text dialog $TEXT)\""
answer 2
wait_for "" dialog_caption || fail "Cancel did not close the dialog"

# ---- removing: a completed item with Delete (archived), a pending one in the dialog ---------
key $VK_HOME
for i in 1 2; do key $VK_DOWN; done
[ "$(row 2)" = "Renew passport" ] || fail "the third row is \"$(row 2)\""
key $VK_DELETE
question_is "Remove this item from list:" && answer 2
has_item "^Renew passport" || fail "declining removed the item"
key $VK_DELETE
question_is "Remove this item from list:" && answer 1
lacks_item "^Renew passport" || fail "Delete did not remove the item"
archived '^"Renew passport","12/8/2026","12/1/2026"' || fail "the removed completed item was not archived: $(cat "$archive")"
key $VK_HOME
key $VK_DOWN
key $VK_RETURN
wait_for "Edit To-Do Item" dialog_caption || fail "no edit dialog for the new item"
driver command dialog $REMOVE >/dev/null
question_is "Remove this item from list:" && answer 1
wait_for "" dialog_caption || fail "\"&Remove\" did not close the dialog"
lacks_item "^Buy a new lamp" || fail "\"&Remove\" did not remove the item"
grep -q "Buy a new lamp" "$archive" && fail "a pending item was archived"
wait_for "Pay the rent;Dentist at half past two;Read the report;;;;" rows || fail "the rows after the removals: $(rows)"
verify_files "after the removals"

# ---- closed and opened again from the toolbar: the same list --------------------------------
driver close $TODO >/dev/null
wait_for 0 eval 'desk_line KVToDo | wc -l' || fail "the To Do window did not close"
driver tbclick KV4Frame 1321 >/dev/null
wait_for 1 eval 'desk_line KVToDo | wc -l' || fail "toolbar button 1321 did not open the To Do window"
wait_for "Pay the rent;Dentist at half past two;Read the report;;;;" rows || fail "the reopened window's rows: $(rows)"

# ---- the settings page ------------------------------------------------------------------------
driver command KV4Frame $CMD_TODO_OPTIONS >/dev/null
wait_for "Configure To Do" dialog_caption || fail "command 1205 did not open \"Configure To Do\": \"$(dialog_caption)\""
[ "$(driver text dialog $DAYS)" = "1" ] || fail "the page shows $(driver text dialog $DAYS) days"
[ "$(driver text dialog $LOG_FILE)" = "To Do Archive.txt" ] || fail "the page shows the archive \"$(driver text dialog $LOG_FILE)\""
screenshot configure-todo
driver settext dialog $DAYS "" >/dev/null
answer 1
question_is "from 0 to 999" && answer 1
driver settext dialog $DAYS "5" >/dev/null
driver settext dialog $LOG_FILE "logs\\done.txt" >/dev/null
answer 1
question_is "Invalid filename entered." && answer 1
driver settext dialog $LOG_FILE "Done items.txt" >/dev/null
answer 1
wait_for "" dialog_caption || fail "OK did not close the settings page"
driver command KV4Frame $CMD_SAVE >/dev/null
cfg="$data/default.kvc"
wait_for 5 kvc "$cfg" 'u16(288)' || fail "the days were not kept: $(kvc "$cfg" 'u16(288)')"
[ "$(kvc "$cfg" 'text(308, 256)')" = "Done items.txt" ] || fail "the archive name was not kept: $(kvc "$cfg" 'text(308, 256)')"
[ "$(kvc "$cfg" 'u8(287)')" = 1 ] || fail "logging was switched off"

close_and_wait
verify_files "at the end"
note_standins
finish
