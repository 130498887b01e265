#!/usr/bin/env bash
# Configure > Database path: the dialog shows the folder in use; the shell's folder browser
# picks another folder that holds other data; declining the question keeps the old folder (and
# its path on the page); agreeing switches, the open to-do list and phonebook follow at once,
# and the saved configuration names the new folder.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_DATABASE_PATH=1208 CMD_SAVE_CONFIGURATION=1002
VK_F6=0x75 VK_F7=0x76
PATH_FIELD=1230 CHANGE=1231 BROWSER_EDIT=14148
BM_CLICK=0x00F5
TODO=KV4Frame/KVToDo PB=KV4Frame/MDIDialogClass NAMES=17004

home="$data/Databases/Default"
work="$docs/Work Calendar"
mkdir -p "$home" "$work"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
for pair in "$home|Water the plants|Home Hardware" "$work|Send the invoices|Zeta Corp"; do
  IFS='|' read -r folder task company <<<"$pair"
  kvtool todo add --db "$(winpath "$folder")" --text "$task" --due 2026-12-09 --activate 2026-12-01 \
    --now 2026-12-01T08:00 >/dev/null || fail "kvtool todo add $task"
  kvtool phone add --db "$(winpath "$folder")" --category Shops --company "$company" >/dev/null ||
    fail "kvtool phone add $company"
done

todo_first() { driver text $TODO 801; }
names() { driver lines "$PB" $NAMES | paste -sd '|'; }
page_path() { driver text dialog $PATH_FIELD; }
open_dialog() {
  driver command KV4Frame $CMD_DATABASE_PATH >/dev/null
  local shown
  shown=$(driver dialog 10000) || { fail "no dialog for Database path"; return 1; }
  case "$shown" in "Configure Database Path"*) ;; *) fail "another dialog: \"$shown\""; return 1 ;; esac
}
# The shell's folder browser opens on the page's Change button; cancelling it changes nothing.
# (Wine's browser returns its tree's selection and ignores a typed path, so the folder it
# would give is then put on the page the way the browser puts it.)
browse_to() {
  local before
  before=$(page_path)
  driver post dialog/#$CHANGE $BM_CLICK >/dev/null
  local i shown=""
  for i in $(seq 1 50); do
    shown=$(driver dialog 500 2>/dev/null)
    case "$shown" in *"Select an existing database folder"*) break ;; esac
    sleep 0.2
  done
  case "$shown" in *"Select an existing database folder"*) ;; *) fail "no folder browser: \"$shown\"" ;; esac
  screenshot database-path-browser
  driver answer 2 >/dev/null
  wait_for "Configure Database Path" eval 'driver dialog 500 | head -1' || fail "the browser did not close"
  [ "$(page_path)" = "$before" ] || fail "cancelling the browser changed the page: \"$(page_path)\""
  driver settext dialog $PATH_FIELD "$(winpath "$1")" >/dev/null
}

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver key KV4Frame $VK_F6 >/dev/null
driver key KV4Frame $VK_F7 >/dev/null
wait_for "Water the plants" todo_first || fail "the to-do list does not show the first folder: \"$(todo_first)\""
wait_for "Home Hardware" names || fail "the phonebook does not show the first folder: \"$(names)\""

# The page shows the folder in use.
open_dialog
wait_for "$(winpath "$home")" page_path || fail "the page shows \"$(page_path)\""
screenshot database-path-dialog

# Declining the question keeps the old folder and puts its path back on the page.
browse_to "$work"
wait_for "$(winpath "$work")" page_path || fail "the chosen folder is not on the page: \"$(page_path)\""
driver answer 1 >/dev/null
shown=$(driver dialog 10000)
case "$shown" in
  *"Reset calendar using new data base path?"*) screenshot database-path-question ;;
  *) fail "no question before switching: \"$shown\"" ;;
esac
driver answer 2 >/dev/null
wait_for "$(winpath "$home")" page_path || fail "declining did not put the old path back: \"$(page_path)\""
[ "$(todo_first)" = "Water the plants" ] || fail "declining changed the to-do list: \"$(todo_first)\""

# Agreeing switches: the windows follow at once.
browse_to "$work"
driver answer 1 >/dev/null
shown=$(driver dialog 10000)
case "$shown" in *"Reset calendar using new data base path?"*) driver answer 1 >/dev/null ;;
  *) fail "no question the second time: \"$shown\"" ;; esac
driver gone '#32770' 10000 >/dev/null || fail "the dialog stayed open after the switch"
wait_for "Send the invoices" todo_first || fail "the to-do list did not follow: \"$(todo_first)\""
wait_for "Zeta Corp" names || fail "the phonebook did not follow: \"$(names)\""
screenshot database-path-switched

# The switch is kept with the configuration.
driver command KV4Frame $CMD_SAVE_CONFIGURATION >/dev/null
wait_for "$(winpath "$work")" kvc "$data/default.kvc" 'text(846, 256)' ||
  fail "the saved configuration names \"$(kvc "$data/default.kvc" 'text(846, 256)')\""
close_and_wait
finish
