#!/usr/bin/env bash
# An earlier release's traces: its settings key is copied under the program's key, and the data
# folder of the earlier release candidates moves into "My Calendars".
source "$(dirname "$0")/lib.sh"
fresh_profile

earlier='HKCU\Software\Vantrelle\Kalvora'
wine_reg add "$earlier\\Configuration" /v AutoSave /d 1 /f
wine_reg add "$earlier\\Audio" /v AlarmSound1 /d '"Harbour",C:\Waves\harbour.wav' /f

appdata="${KV_WINEPREFIX:?}/drive_c/users/$(id -un)/AppData/Roaming"
old="$appdata/Vantrelle/Kalvora"
rm -rf "$appdata/Vantrelle"
mkdir -p "$old/Overlays" "$old/Databases/Default"
"$KV_RUNNER" "$KV_BIN/kvtool.exe" config new "$(winpath "$old/default.kvc")" --data-folder "$(winpath "$data")" \
  >"$kv_tmp/kvtool.out" 2>&1 || fail "kvtool config new failed: $(cat "$kv_tmp/kvtool.out")"
kvc_set "$old/default.kvc" 8 B 0      # past its first use
kvc_set "$old/default.kvc" 277 B 0    # a setting of the user's own
empty_overlay "$old/Overlays/Mine.kov"
echo "old places" >"$old/kvlocal.dat"
before=$(md5sum <"$old/default.kvc")

start_kalvora
box=$(driver dialog 30000)
[ "$(tail -n +2 <<<"$box")" = "Your calendars from an earlier release have been moved to:

$(winpath "$data")" ] || fail "the relocation notice reads \"$box\""
driver answer 1 >/dev/null
driver wait KV4Frame 30000 >/dev/null || fail "the frame did not appear after the relocation"
# Copying the earlier settings makes this a first run: the desktop icon is offered.
[ "$(driver dialog 15000 | head -n 1)" = "Desktop Icon" ] || fail "the first run did not offer the desktop icon"
driver answer 2 >/dev/null
sleep 1

[ "$(setting Configuration AutoSave)" = 1 ] || fail "the earlier AutoSave setting was not copied"
[ "$(setting Audio AlarmSound1)" = '"Harbour",C:\Waves\harbour.wav' ] || fail "the earlier alarm sound was not kept: $(setting Audio AlarmSound1)"
[ -d "$old" ] && fail "the earlier data folder is still there"
[ "$(md5sum <"$data/default.kvc")" = "$before" ] || fail "default.kvc was not moved over unchanged"
[ -f "$data/Overlays/Mine.kov" ] || fail "the earlier overlays were not moved"
[ -f "$data/desktop.ini" ] && fail "a relocated data folder got a new desktop.ini"
[ "$(cat "$prog/kvlocal.dat" 2>/dev/null)" = "old places" ] || fail "kvlocal.dat did not move beside the program"
[ -f "$data/Overlays/Sample.kov" ] || fail "the missing standard overlays were not added to the relocated folder"
close_and_wait
[ "$(kvc "$data/default.kvc" 'u8(277)')" = 0 ] || fail "the user's own setting was lost"
rm -rf "$appdata/Vantrelle"
wine_reg delete 'HKCU\Software\Vantrelle' /f
finish
