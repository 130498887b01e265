#!/usr/bin/env bash
# Saving: Save As changes the caption and the open file; Open Configuration asks about unsaved
# changes; "Save Configuration on Exit" is written to the settings at once; with it off closing
# writes nothing, with it on closing saves the desk.
source "$(dirname "$0")/lib.sh"
fresh_profile
start_and_wait
sleep 2
cfg="$data/default.kvc"

# Save As: a new file, and the caption follows it.
travel="$data/Travel.kvc"
driver command KV4Frame 1003 >/dev/null
driver filename "$(winpath "$travel")" >/dev/null || fail "no file dialog for Save As"
caption_is "Kalvora - Travel" || fail "after Save As the caption is \"$(driver caption KV4Frame)\""
[ -f "$travel" ] && [ "$(kvc "$travel" 'u16(6)')" = 7 ] || fail "Save As did not write Travel.kvc"
screenshot saved-as

# Save writes the file that is open now.
driver key KV4Frame 0x76 >/dev/null; sleep 0.5   # F7: the phonebook
driver command KV4Frame 1002 >/dev/null
wait_for 1 kvc "$travel" 'u8(116) & 1' || fail "Save did not write the open phonebook into Travel.kvc"
[ "$(kvc "$cfg" 'u8(116) & 1')" = 0 ] || fail "Save wrote into default.kvc instead of the open file"

# Open Configuration with unsaved changes: Cancel keeps everything, No opens the other file.
driver command KV4Frame 1314 >/dev/null          # overlay tabs off: a changed configuration
driver command KV4Frame 1001 >/dev/null
driver filename "$(winpath "$cfg")" >/dev/null || fail "no file dialog for Open Configuration"
box=$(driver dialog 10000)
[ "$box" = "Kalvora
Calendar has been modified. Save current changes?" ] || fail "the question before opening reads \"$box\""
driver answer 2 >/dev/null; sleep 2
[ "$(driver caption KV4Frame)" = "Kalvora - Travel" ] || fail "Cancel still opened another configuration"
driver command KV4Frame 1001 >/dev/null
driver filename "$(winpath "$cfg")" >/dev/null
driver dialog 10000 >/dev/null && driver answer 7 >/dev/null
caption_is "Kalvora" || fail "after opening default.kvc the caption is \"$(driver caption KV4Frame)\""
[ "$(kvc "$travel" 'u8(306)')" = 0 ] || fail "No saved the changes into Travel.kvc"
desk_line MDIDialogClass | grep -q . && fail "the phonebook of Travel.kvc stayed open in default.kvc's desk"

# "Save Configuration on Exit": off by default, so closing writes nothing.
before=$(md5sum <"$cfg")
driver key KV4Frame 0x78 >/dev/null; sleep 0.5   # F9: the world map
close_and_wait
[ "$(md5sum <"$cfg")" = "$before" ] || fail "closing without AutoSave changed default.kvc"

# Switched on it is written at once, and closing saves the desk.
start_and_wait
driver command KV4Frame 1220 >/dev/null; sleep 0.5
[ "$(setting Configuration AutoSave)" = 1 ] || fail "AutoSave is \"$(setting Configuration AutoSave)\" after switching it on"
driver key KV4Frame 0x78 >/dev/null; sleep 0.5
close_and_wait
[ "$(kvc "$cfg" 'u8(116) & 16')" = 16 ] || fail "closing with AutoSave did not save the open world map"

start_and_wait
desk_line KVMapHost | grep -q . || fail "the world map saved on exit did not reopen"
driver command KV4Frame 1220 >/dev/null; sleep 0.5
[ "$(setting Configuration AutoSave)" = 0 ] || fail "AutoSave is \"$(setting Configuration AutoSave)\" after switching it off"

# A changed configuration without AutoSave: the calendar asks before the program closes.
driver command KV4Frame 1314 >/dev/null
before=$(md5sum <"$cfg")
driver close KV4Frame >/dev/null
box=$(driver dialog 10000)
[ "$box" = "Kalvora
Save Calendar Configuration" ] || fail "the question on closing reads \"$box\""
driver answer 2 >/dev/null; sleep 1
[ "$(driver count KV4Frame)" = 1 ] || fail "Cancel did not keep the program open"
driver close KV4Frame >/dev/null
driver dialog 10000 >/dev/null && driver answer 7 >/dev/null
wait_exit "$kv_pid" 20 || fail "No did not let the program close"
kv_pid=""
[ "$(md5sum <"$cfg")" = "$before" ] || fail "No saved the configuration"
finish
