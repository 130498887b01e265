#!/usr/bin/env bash
# The help file: kalvora.chm lies beside the program; Help Topics, F1 in the desk, F1 and the
# Help button of a dialog reach the help viewer. Without the HTML Help library the user is told
# "Cannot locate HTML Help library..." each time and the program goes on; with Wine's own viewer
# (which has no HTML engine here) the program stays responsive and closes normally.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_GO_TO_DATE=1311
CMD_HELP_TOPICS=1901
CMD_HELP_CONTEXT=1904
VK_F1=0x70
IDHELP=9
WM_NULL=0

[ -f "$prog/kalvora.chm" ] || fail "the build put no kalvora.chm in the program folder"

# Prints the caption and texts of the box in front once it says it cannot find the library.
missing_library_box() {
  local shown i
  for i in $(seq 1 30); do
    shown=$(driver dialog 500 2>/dev/null)
    case "$shown" in *"Cannot locate HTML Help library"*) echo "$shown"; return 0 ;; esac
    sleep 0.2
  done
  echo "$shown"
  return 1
}
# Answers the message box in front with OK and waits until it is gone. Under Wine without a
# window manager a closing box holds the program's thread for up to two seconds after it has
# disappeared, and a help request within half a second of the box's end counts as the same key
# press: the next request waits for both.
answer_ok() {
  local i
  driver answer 1 >/dev/null
  for i in $(seq 1 50); do
    case "$(driver dialog 100 2>/dev/null | head -1)" in Kalvora*) sleep 0.2 ;; *) break ;; esac
  done
  sleep 2.6
}
# True when the program still answers a sent message within 20 seconds (Wine's own help viewer
# can take a while to load beside another test).
responsive() { timeout 20 "$KV_RUNNER" "$KV_BIN/kvdriver.exe" send KV4Frame $WM_NULL >/dev/null 2>&1; }

# ---- 1. No HTML Help library --------------------------------------------------------------
KV_ENV="WINEDLLOVERRIDES=mscoree,mshtml,hhctrl.ocx=" start_and_wait || finish

driver command KV4Frame $CMD_HELP_TOPICS >/dev/null
shown=$(missing_library_box) || fail "Help Topics: \"$shown\""
case "$shown" in "Kalvora"*) ;; *) fail "the box is not captioned Kalvora: \"$shown\"" ;; esac
screenshot help-no-library
answer_ok

# F1 in the desk, typed as the keyboard does: one message, not one per path the key takes.
driver input KV4Frame $VK_F1 >/dev/null
shown=$(missing_library_box) || fail "F1 in the calendar: \"$shown\""
answer_ok
sleep 1
driver dialog 500 >/dev/null 2>&1 && fail "a second message came up for one F1: \"$(driver dialog 500 2>/dev/null)\""
# A key posted to the calendar window goes through the frame's accelerators too.
driver key KV4Frame/KVCalendar $VK_F1 >/dev/null
shown=$(missing_library_box) || fail "F1 posted to the calendar: \"$shown\""
answer_ok
sleep 0.5

# F1 in a dialog, typed as the keyboard does, and its Help button.
driver command KV4Frame $CMD_GO_TO_DATE >/dev/null
case "$(driver dialog 2>/dev/null)" in "Main Date"*) ;; *) fail "Main Date did not open" ;; esac
driver input dialog $VK_F1 >/dev/null
shown=$(missing_library_box) || fail "F1 in Main Date: \"$shown\""
screenshot help-f1-in-dialog
answer_ok
sleep 0.5
case "$(driver dialog 2>/dev/null)" in "Main Date"*) ;; *) fail "Main Date closed with the message" ;; esac
driver answer $IDHELP >/dev/null
shown=$(missing_library_box) || fail "the Help button of Main Date: \"$shown\""
answer_ok
sleep 0.5
driver answer 2 >/dev/null
responsive || fail "the program does not answer after the help messages"
close_and_wait

# ---- 2. Wine's own viewer -------------------------------------------------------------------
start_and_wait || finish
driver command KV4Frame $CMD_HELP_TOPICS >/dev/null
for _ in $(seq 1 30); do
  [ "$(driver count 'HH Parent' 2>/dev/null)" != 0 ] && break
  driver dialog 100 >/dev/null 2>&1 && break
  sleep 0.2
done
responsive || fail "the program hangs after Help Topics"
[ "$(driver count 'HH Parent' 2>/dev/null)" != 0 ] || driver dialog 500 >/dev/null 2>&1 ||
  fail "Help Topics brought up neither the viewer nor a message"
screenshot help-topics-viewer
# Whatever came up (the viewer, or a box of its own) goes with the program.
if driver dialog 500 >/dev/null 2>&1; then answer_ok; sleep 0.5; fi
driver command KV4Frame $CMD_HELP_CONTEXT >/dev/null
sleep 2
responsive || fail "the program hangs after F1"
if driver dialog 500 >/dev/null 2>&1; then answer_ok; sleep 0.5; fi
close_and_wait
[ "$(driver count 'HH Parent' 2>/dev/null)" = 0 ] || fail "the help viewer stayed after the program ended"
finish
