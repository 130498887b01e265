#!/usr/bin/env bash
# The Notes window and the alarm sounds in the running program: F8 opens the notes window on the
# selected day; a typed note is written when the window switches to another note and when it
# closes, and is there again when the window comes back; an item's note reaches the item. The
# "Sou&nd..." command opens the sound setup with the shipped sounds, whose changes reach the
# settings.
source "$(dirname "$0")/lib.sh"
fresh_profile
NOTES_CONTEXT=1027   # the notes window's context message
VK_F8=0x77
EDIT=1               # the notes window's edit field
DESCRIPTION=12402 FILE=12403 BROWSE=12404 TEST=12405

db="$data/Databases/Default"
mkdir -p "$db"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
note_of() {  # note_of --day 2026-12-07 | --sched ID --date 2026-12-07
  kvtool note get --db "$(winpath "$db")" "$@" | python3 -c 'import json,sys; print(json.load(sys.stdin)["text"])'
}
item=$(kvtool sched add --db "$(winpath "$db")" --date 2026-12-07 --start 10:00 --end 11:00 --title Dentist |
  python3 -c 'import json,sys; print(json.load(sys.stdin)["ids"][0])') || fail "kvtool sched add failed"
month_key=$(( (2026 << 16) | 12 ))
day_context() { printf '0x%x' $(( 1 | $1 << 16 )); }            # a general note of December's day $1
item_context() { printf '0x%x' $(( 2 | $1 << 16 | $2 << 32 )); }  # item $2's note on December's day $1
edit_text() { driver text KV4Frame/KVNote $EDIT; }

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver key KV4Frame $VK_F8 >/dev/null
wait_for 1 eval 'desk_line KVNote | wc -l' || fail "F8 did not open the notes window"
desk_line KVNote | grep -q ' 1$' || fail "the notes window is not the active window: $(desk_line KVNote)"

# A note for the 7th, then another day: the 7th's note is written.
driver settext KV4Frame/KVNote $EDIT "Bring the X-rays" >/dev/null || fail "could not type into the notes window"
driver send KV4Frame/KVNote $NOTES_CONTEXT "$(day_context 8)" $month_key >/dev/null
[ "$(edit_text)" = "" ] || fail "the 8th shows a note it does not have: $(edit_text)"
[ "$(note_of --day 2026-12-07)" = "Bring the X-rays" ] || fail "switching days did not write the note: $(note_of --day 2026-12-07)"
[ "$(note_of --day 2026-12-08)" = "" ] || fail "the 8th got a note"

# Back to the 7th: the note is shown; the item's note is its own.
driver send KV4Frame/KVNote $NOTES_CONTEXT "$(day_context 7)" $month_key >/dev/null
[ "$(edit_text)" = "Bring the X-rays" ] || fail "the 7th's note is not shown again: $(edit_text)"
screenshot notes-window
driver send KV4Frame/KVNote $NOTES_CONTEXT "$(item_context 7 "$item")" $month_key >/dev/null
[ "$(edit_text)" = "" ] || fail "the item shows the day's note"
driver settext KV4Frame/KVNote $EDIT "Ask about the crown" >/dev/null
screenshot notes-window-item
driver send KV4Frame/KVNote $NOTES_CONTEXT "$(day_context 7)" $month_key >/dev/null
[ "$(note_of --sched "$item" --date 2026-12-07)" = "Ask about the crown" ] ||
  fail "the item's note was not written to the item: $(note_of --sched "$item" --date 2026-12-07)"

# Closing the window writes a changed note; reopening shows it.
driver settext KV4Frame/KVNote $EDIT "Bring the X-rays and the forms" >/dev/null
driver close KV4Frame/KVNote >/dev/null
wait_for 0 eval 'desk_line KVNote | wc -l' || fail "the notes window did not close"
[ "$(note_of --day 2026-12-07)" = "Bring the X-rays and the forms" ] || fail "closing did not write the note: $(note_of --day 2026-12-07)"
driver command KV4Frame 1323 >/dev/null
wait_for 1 eval 'desk_line KVNote | wc -l' || fail "the toolbar command did not open the notes window"
wait_for "Bring the X-rays and the forms" edit_text || fail "the reopened window does not show the day's note: $(edit_text)"

# A note longer than the window: the scroll bar comes.
long_note=$(for i in $(seq 1 60); do printf 'Line %d of a long note\r\n' "$i"; done)
driver settext KV4Frame/KVNote $EDIT "$long_note" >/dev/null
screenshot notes-window-scrolled

# Emptying the note deletes it.
driver settext KV4Frame/KVNote $EDIT "" >/dev/null
driver send KV4Frame/KVNote $NOTES_CONTEXT "$(day_context 9)" $month_key >/dev/null
[ "$(kvtool note get --db "$(winpath "$db")" --day 2026-12-07 | tr -d ' ')" = '{"id":0,"text":""}' ] ||
  fail "emptying the note did not delete it"

# The sound setup: the eight sounds with the shipped files.
default_sound=$(setting Audio AlarmSound1)
case "$default_sound" in
  '"Soft Chime",'*'\Alarms\Soft Chime.wav') ;;
  *) fail "AlarmSound1 is not the shipped chime: $default_sound" ;;
esac
[ -f "$prog/Alarms/Soft Chime.wav" ] || echo "note: the build has no Alarms folder"
driver command KV4Frame 1211 >/dev/null
shown=$(driver dialog 10000)
case "$shown" in "Kalvora Sound Setup"*) ;; *) fail "no sound setup dialog: \"$shown\"" ;; esac
[ "$(driver text '#32770' $DESCRIPTION)" = "Soft Chime" ] || fail "the first sound's description: $(driver text '#32770' $DESCRIPTION)"
[ "$(driver text '#32770' $FILE)" = "Soft Chime.wav" ] || fail "the first sound's file: $(driver text '#32770' $FILE)"
# "Test" without a sound device beeps instead; the dialog stays usable.
driver command '#32770' $TEST >/dev/null
sleep 0.5
screenshot sound-setup
[ "$(driver text '#32770' $DESCRIPTION)" = "Soft Chime" ] || fail "the dialog did not survive Test"
# Browsing: the file dialog, and the chosen file's name becomes the description.
driver command '#32770' $BROWSE >/dev/null
browse_title() { driver dialog 1000 | head -1; }
wait_for "Open Alarm (.wav)" browse_title || fail "no browse dialog titled \"Open Alarm (.wav)\": \"$(browse_title)\""
screenshot sound-browse
driver filename "$(winpath "$prog/Alarms/Kettle.wav")" >/dev/null || fail "could not choose a file"
# The file dialog takes a moment to go under Wine: the sound setup must be the dialog up again.
wait_for "Kalvora Sound Setup" browse_title || fail "the browse dialog did not close: \"$(browse_title)\""
wait_for "Kettle.wav" driver text '#32770' $FILE || fail "the chosen file is not shown: $(driver text '#32770' $FILE)"
[ "$(driver text '#32770' $DESCRIPTION)" = "Kettle" ] || fail "the description did not follow the file: $(driver text '#32770' $DESCRIPTION)"
driver settext '#32770' $DESCRIPTION "Morning kettle" >/dev/null
driver answer 1 >/dev/null || fail "the sound setup could not be closed with OK"
driver gone '#32770' 5000 >/dev/null || fail "the sound setup stayed open after OK"
case "$(setting Audio AlarmSound1)" in
  '"Morning kettle",'*'\Alarms\Kettle.wav') ;;
  *) fail "OK did not store the sound: $(setting Audio AlarmSound1)" ;;
esac
# Cancel changes nothing.
driver command KV4Frame 1211 >/dev/null
driver dialog 10000 >/dev/null || fail "the sound setup did not open again"
[ "$(driver text '#32770' $DESCRIPTION)" = "Morning kettle" ] || fail "the stored sound is not shown: $(driver text '#32770' $DESCRIPTION)"
driver settext '#32770' $DESCRIPTION "Not kept" >/dev/null
driver answer 2 >/dev/null
driver gone '#32770' 5000 >/dev/null || fail "the sound setup stayed open after Cancel"
case "$(setting Audio AlarmSound1)" in '"Morning kettle",'*) ;; *) fail "Cancel changed the sound: $(setting Audio AlarmSound1)" ;; esac
[ "$(setting Audio AlarmSound3)" != "" ] || fail "OK lost the third sound"

close_and_wait
finish
