#!/usr/bin/env bash
# The options dialogs of the Configure menu in the running program. "Calendar Options": a new
# first day of the week moves day 1 of the month view at once, Cancel puts it back; minutes
# out of range are refused with the message and the dialog stays; the accepted choices reach
# the saved configuration; "Jewish Setup..." opens its dialog, which refuses 0 minutes of a
# switched-on time the same way. "Fonts": a size chosen in the font dialog reaches the configuration,
# Cancel of a second change restores it. "Colors": a theme colour chosen in the colour dialog
# reaches the configuration. Screenshots of the three dialogs.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_SAVE=1002 CMD_CALENDAR=1203 CMD_FONTS=1209 CMD_COLOURS=1210
WEEK_START=29101 WEEK_NUMBERS=29112 CANDLES=29114 CANDLE_MINUTES=29115 HAVDALAH_MINUTES=29117 JEWISH_SETUP=29118
FONT_ROLES=29201 FONT_CHANGE=29202 FONT_DESCRIPTION=29204 COL_THEME=29301
WM_COMMAND=0x111 BM_CLICK=0xF5 BM_GETCHECK=0xF0 CB_SETCURSEL=0x14E CBN_SELCHANGE=1
DLG=dialog
kvc_file="$data/default.kvc"

kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
# A field of the saved configuration, as "kvtool config dump" prints it (a Python path).
saved() {  # saved 'options["weekstart"]'
  kvtool config dump "$(winpath "$kvc_file")" | python3 -c "import json,sys; c=json.load(sys.stdin); print(c$1)"
}
# Saves and waits for the file to be written: a dialog just closed can keep the program's
# thread busy for a moment under Wine.
save_config() {
  local before i
  before=$(stat -c %y "$kvc_file" 2>/dev/null)
  driver command KV4Frame $CMD_SAVE >/dev/null
  for i in $(seq 1 50); do
    [ "$(stat -c %y "$kvc_file" 2>/dev/null)" != "$before" ] && break
    sleep 0.2
  done
  sleep 0.3
}
dialog_caption() { driver dialog 0 2>/dev/null | head -1; }
open_dialog() {  # open_dialog COMMAND CAPTION
  driver command KV4Frame "$1" >/dev/null
  wait_for "$2" dialog_caption || { fail "\"$2\" did not open (saw \"$(dialog_caption)\")"; return 1; }
  sleep 0.5
}
closed() { wait_for "" dialog_caption || fail "$1: the dialog did not close ($(dialog_caption))"; }
choose() {  # choose COMBO INDEX: as a pick in the list
  driver send "$DLG/#$1" $CB_SETCURSEL "$2" >/dev/null
  driver post "$DLG" $WM_COMMAND $((CBN_SELCHANGE << 16 | $1)) >/dev/null
  sleep 0.5
}
click() { driver post "$DLG/#$1" $BM_CLICK 0 0 >/dev/null; sleep 0.5; }
# The grid column of day 1 (see test_month_view.sh).
first_column() {
  local px cx cwidth
  read -r px _ _ _ < <(driver rect KV4Frame/KVMonthPlane)
  read -r cx _ cwidth _ < <(driver rect KV4Frame/KVDate)
  echo $(((cx - px - 1) / (cwidth + 1)))
}

# 1 December 2026 is a Tuesday: column 2 when the week begins on Sunday, 1 on Monday.
KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
sleep 2  # first use: the desk is arranged and saved
[ "$(first_column)" = 2 ] || fail "day 1 of December 2026 is in column $(first_column), want 2 (Sunday first)"
[ "$(saved '["options"]["weekstart"]')" = 0 ] || fail "a new configuration does not start the week on Sunday"

# ---- Calendar Options: a change shows at once, Cancel restores it ----
open_dialog $CMD_CALENDAR "Calendar Options" || { close_and_wait; finish; }
[ "$(driver selection "$DLG" $WEEK_START)" = "0	Sunday" ] || fail "week start shows \"$(driver selection "$DLG" $WEEK_START)\""
[ "$(driver lines "$DLG" 29108 | tr '\n' '|')" = "None|Circles|Icons|" ] || fail "moon phase choices: $(driver lines "$DLG" 29108 | tr '\n' '|')"
screenshot options-calendar
choose $WEEK_START 1
[ "$(first_column)" = 1 ] || fail "Monday first did not move day 1 to column 1 at once (column $(first_column))"
click $WEEK_NUMBERS
screenshot options-calendar-monday-live
driver answer 2 >/dev/null
closed "Cancel"
sleep 0.5
[ "$(first_column)" = 2 ] || fail "Cancel did not restore Sunday first (day 1 in column $(first_column))"
save_config
[ "$(saved '["options"]["weekstart"]') $(saved '["options"]["weeknumbers"]')" = "0 False" ] ||
  fail "Cancel left changes in the configuration: weekstart $(saved '["options"]["weekstart"]'), week numbers $(saved '["options"]["weeknumbers"]')"

# ---- a bad value is refused, the good ones are kept ----
open_dialog $CMD_CALENDAR "Calendar Options" || { close_and_wait; finish; }
choose $WEEK_START 1
click $WEEK_NUMBERS
click $CANDLES
driver settext "$DLG" $CANDLE_MINUTES "200" >/dev/null
driver answer 1 >/dev/null
sleep 0.5
shown=$(driver dialog 3000 2>/dev/null)
case "$shown" in
  *"Offset must be in the range of 1 to 120 minutes."*) ;;
  *) fail "200 minutes were not refused with the message: \"$shown\"" ;;
esac
screenshot options-calendar-bad-minutes
driver answer 1 >/dev/null
wait_for "Calendar Options" dialog_caption || fail "the dialog did not stay open after the refusal ($(dialog_caption))"
driver settext "$DLG" $CANDLE_MINUTES "25" >/dev/null
driver settext "$DLG" $HAVDALAH_MINUTES "abc" >/dev/null
driver answer 1 >/dev/null
sleep 0.5
shown=$(driver dialog 3000 2>/dev/null)
case "$shown" in
  *"Offset must be in the range of 1 to 120 minutes."*) ;;
  *) fail "a Havdalah of \"abc\" was not refused: \"$shown\"" ;;
esac
driver answer 1 >/dev/null
wait_for "Calendar Options" dialog_caption || fail "the dialog did not stay open after the second refusal ($(dialog_caption))"
driver settext "$DLG" $HAVDALAH_MINUTES "50" >/dev/null
driver answer 1 >/dev/null
closed "OK"
[ "$(first_column)" = 1 ] || fail "after OK day 1 is in column $(first_column), want 1 (Monday first)"
screenshot options-month-monday-first
save_config
got=$(saved '["options"]["weekstart"], c["options"]["weeknumbers"], c["options"]["candlelighting"], c["options"]["candleminutes"], c["options"]["havdalahminutes"]')
[ "$got" = "1 True True 25 50" ] || fail "the saved options are \"$got\", want \"1 True True 25 50\""

# ---- Jewish Setup from the calendar options: the same minutes rule ----
open_dialog $CMD_CALENDAR "Calendar Options" || { close_and_wait; finish; }
click $JEWISH_SETUP
wait_for "Jewish Setup" dialog_caption || fail "\"Jewish Setup...\" did not open its dialog ($(dialog_caption))"
screenshot options-jewish-setup
driver settext "$DLG" 18921 "0" >/dev/null  # candle-lighting is on: 0 minutes are refused
driver answer 1 >/dev/null
sleep 0.5
case "$(driver dialog 3000 2>/dev/null)" in
  *"Offset must be in the range of 1 to 120 minutes."*) ;;
  *) fail "Jewish Setup took 0 minutes of candle-lighting" ;;
esac
driver answer 1 >/dev/null
wait_for "Jewish Setup" dialog_caption || fail "Jewish Setup closed after the refusal"
driver answer 2 >/dev/null
wait_for "Calendar Options" dialog_caption || fail "Cancel of Jewish Setup did not return to the options"
driver answer 2 >/dev/null
closed "Calendar Options after Jewish Setup"

# ---- Fonts: the common font dialog, then Cancel of a second change ----
open_dialog $CMD_FONTS "Fonts" || { close_and_wait; finish; }
[ "$(driver text "$DLG" $FONT_DESCRIPTION)" = "Verdana, 16 pt, Bold" ] ||
  fail "the title font is described as \"$(driver text "$DLG" $FONT_DESCRIPTION)\""
screenshot options-fonts
click $FONT_CHANGE
wait_for "Font" dialog_caption || fail "the font dialog did not open ($(dialog_caption))"
sizes=$(driver lines "$DLG" 1138)
index=$(echo "$sizes" | awk '$1 == "20" { print NR - 1; exit }')
if [ -n "$index" ]; then
  driver select "$DLG" 1138 "$index" >/dev/null
  sleep 0.3
else
  fail "the font dialog offers no size 20 (sizes: $(echo "$sizes" | tr '\n' ' '))"
fi
screenshot options-font-dialog
driver answer 1 >/dev/null
wait_for "Fonts" dialog_caption || fail "the font dialog did not close"
# The font dialog offers only the fonts the system has: the face may change with the size.
case "$(driver text "$DLG" $FONT_DESCRIPTION)" in *", 20 pt"*) ;; *) false ;; esac ||
  fail "after choosing 20 pt the title font is \"$(driver text "$DLG" $FONT_DESCRIPTION)\""
screenshot options-fonts-changed
driver answer 1 >/dev/null
closed "Fonts OK"
save_config
[ "$(saved '["fonts"]["screen"][0]["size"]')" = 20 ] || fail "the title font size saved is $(saved '["fonts"]["screen"][0]["size"]'), want 20"
# A second change (the last printer role back to its default), then Cancel.
open_dialog $CMD_FONTS "Fonts" || { close_and_wait; finish; }
click 29203  # Default: the title font goes back to Verdana 16
[ "$(driver text "$DLG" $FONT_DESCRIPTION)" = "Verdana, 16 pt, Bold" ] || fail "Default gave \"$(driver text "$DLG" $FONT_DESCRIPTION)\""
driver answer 2 >/dev/null
closed "Fonts Cancel"
save_config
[ "$(saved '["fonts"]["screen"][0]["size"]')" = 20 ] || fail "Cancel did not restore the 20 pt title font"

# ---- Colors: the common colour dialog ----
open_dialog $CMD_COLOURS "Colors" || { close_and_wait; finish; }
screenshot options-colours
click $COL_THEME
wait_for "Color" dialog_caption || fail "the colour dialog did not open ($(dialog_caption))"
driver settext "$DLG" 706 "16" >/dev/null  # red
driver settext "$DLG" 707 "32" >/dev/null  # green
driver settext "$DLG" 708 "48" >/dev/null  # blue
sleep 0.3
screenshot options-colour-dialog
driver answer 1 >/dev/null
wait_for "Colors" dialog_caption || fail "the colour dialog did not close"
sleep 1
screenshot options-colours-changed
driver answer 1 >/dev/null
closed "Colors OK"
save_config
want=$((0x302010))
[ "$(saved '["colours"]["theme"]')" = "$want" ] || fail "the theme colour saved is $(saved '["colours"]["theme"]'), want $want (0x302010)"
[ "$(saved '["customcolours"][0]')" != "" ] || fail "no custom colours saved"
screenshot options-views-after

close_and_wait
finish
