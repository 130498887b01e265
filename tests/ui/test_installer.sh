#!/usr/bin/env bash
# The installer as a user meets it: its first pages, a silent install into a chosen folder, the
# files, shortcut and registrations it makes, the program started from there, overlays opened
# from Explorer through the file type, and a silent uninstall that leaves the user's calendars
# and settings alone and nothing of the program.
source "$(dirname "$0")/lib.sh"
fresh_profile

setup_exe=$(ls "$KV_BUILD"/KalvoraSetup-*.exe 2>/dev/null | head -n 1)
if [ -z "$setup_exe" ]; then
  fail "no KalvoraSetup-*.exe in $KV_BUILD (build the windows build's kv_installer target)"
  finish
fi
case "$(basename "$setup_exe")" in
  KalvoraSetup-4.7.0.exe) ;;
  *) fail "the installer is named $(basename "$setup_exe"), not after the program's version 4.7.0" ;;
esac

drive_c="$KV_WINEPREFIX/drive_c"
# NSIS takes /D= unquoted and last on its command line; Wine quotes an argument with a blank.
install_win='C:\Apps\Kalvora47'
install_dir="$drive_c/Apps/Kalvora47"
start_menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
clsid='{5D2C7E41-8B3A-4F6E-9C15-2A7B0E4D9F63}'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalvora'
IDYES=6; IDNO=7

# Whatever happens, the program does not stay installed for the tests after this one.
remove_install() {
  if [ -d "$install_dir" ]; then
    "$KV_RUNNER" "$install_win\\Uninstall.exe" /S >/dev/null 2>&1 || true
    for _ in $(seq 1 40); do [ -d "$install_dir" ] || break; sleep 0.5; done
    rm -rf "$install_dir"
  fi
  cleanup_kalvora
}
trap remove_install EXIT
trap 'exit 1' TERM INT

# The default value (or the value named) of a key, empty when there is none.
# A run of reg.exe now and then comes back empty while the other desktop's test is busy: an
# empty answer is asked again before it counts.
reg_value() {  # reg_value KEY [VALUE]
  local args=(/ve) out try
  [ -n "${2:-}" ] && args=(/v "$2")
  for try in 1 2 3; do
    out=$("$KV_RUNNER" reg query "$1" "${args[@]}" 2>/dev/null | tr -d '\r' |
      awk '/REG_(SZ|DWORD|EXPAND_SZ)/ { sub(/.*REG_[A-Z_]+[ \t]+/, ""); print; exit }')
    [ -n "$out" ] && break
    sleep 0.3
  done
  echo "$out"
}
key_exists() { "$KV_RUNNER" reg query "$1" >/dev/null 2>&1; }

# Answers the program's question about an overlay with BUTTON after checking its words.
answer_overlay_question() {  # answer_overlay_question NAME PATH BUTTON [SCREENSHOT]
  local box
  box=$(driver dialog 20000)
  [ "$(echo "$box" | head -n 1)" = Kalvora ] || { fail "no question for the overlay $1 (got: $box)"; return 1; }
  echo "$box" | grep -qF "Add the overlay \"$1\" to the open calendar configuration?" ||
    fail "the question reads: $box"
  echo "$box" | grep -qF "$2" || fail "the question does not name the file $2: $box"
  [ -n "${4:-}" ] && screenshot "$4"
  driver answer "$3" >/dev/null
}

# ---- the first pages of the installer, as a user starts it -------------------------------------
"$KV_RUNNER" "$setup_exe" >/dev/null 2>&1 &
setup_pid=$!
page=$(driver dialog 30000)
[ "$(echo "$page" | head -n 1)" = "Kalvora 4.7.0 Setup" ] || fail "the installer's window reads: $page"
sleep 1
screenshot installer-welcome
driver answer 1 >/dev/null   # Next
sleep 1.5
screenshot installer-components
driver answer 1 >/dev/null   # Next
sleep 1.5
screenshot installer-directory
# The folder box of the directory page (control 1019 of NSIS's page).
[ "$(driver text dialog 1019)" = 'C:\Program Files\Kalvora' ] ||
  fail "the directory page offers \"$(driver text dialog 1019)\", not C:\\Program Files\\Kalvora"
driver answer 2 >/dev/null   # Cancel, and Yes to "Are you sure you want to quit?"
sleep 1
driver answer $IDYES >/dev/null
wait_exit "$setup_pid" 20 || { fail "the installer did not quit after Cancel"; kill "$setup_pid" 2>/dev/null; }

# ---- a silent install into a folder of the user's choice ---------------------------------------
"$KV_RUNNER" "$setup_exe" /S "/D=$install_win" >/dev/null 2>&1 &
wait_exit $! 90 || fail "the silent install did not finish within 90 s"
for f in kalvora.exe kvtool.exe Uninstall.exe KVTZX.DAT KVTZNAMES.DAT KVLOCATION.DAT DEFAULT.DAT \
         Data/USA_HDAY.DAT Data/CAN_HDAY.DAT Data/GBR_HDAY.DAT Data/FRA_HDAY.DAT Data/CHRSTIAN.DAT \
         Data/JEWISH.DAT Data/SAMPLE.DAT; do
  [ -s "$install_dir/$f" ] || fail "the install lacks $f"
done
for f in "$KV_BIN"/Alarms/*.wav; do
  cmp -s "$f" "$install_dir/Alarms/$(basename "$f")" || fail "the alarm sound $(basename "$f") is not installed as built"
done
cmp -s "$KV_BIN/Data/SAMPLE.DAT" "$install_dir/Data/SAMPLE.DAT" || fail "Data/SAMPLE.DAT differs from the build's"
if [ -f "$KV_BIN/kalvora.chm" ]; then [ -f "$install_dir/kalvora.chm" ] || fail "the help file is not installed"; fi
for f in kvdriver.exe kvcore_tests.exe kvminimal.exe; do
  [ -e "$install_dir/$f" ] && fail "the test program $f was installed"
done
[ -f "$start_menu/Kalvora.lnk" ] || fail "no Start-menu shortcut"
grep -aq 'Kalvora47\\kalvora.exe' "$start_menu/Kalvora.lnk" || fail "the Start-menu shortcut does not lead to the installed kalvora.exe"
[ -e "$drive_c/users/Public/Desktop/Kalvora.lnk" ] && fail "a desktop shortcut was made though it is off by default"

exe="$install_win\\kalvora.exe"
[ "$(reg_value 'HKCR\.kvc')" = Kalvora.Configuration ] || fail ".kvc is not a Kalvora file type"
[ "$(reg_value 'HKCR\.kov')" = Kalvora.Overlay ] || fail ".kov is not a Kalvora file type"
for progid in Kalvora.Configuration Kalvora.Overlay; do
  [ "$(reg_value "HKCR\\$progid\\shell\\open\\command")" = "\"$exe\" \"%1\"" ] ||
    fail "$progid opens with: $(reg_value "HKCR\\$progid\\shell\\open\\command")"
  case "$(reg_value "HKCR\\$progid\\DefaultIcon")" in "$exe,-"*) ;; *) fail "$progid has no icon of kalvora.exe" ;; esac
done
[ "$(reg_value "HKCR\\CLSID\\$clsid")" = Kalvora ] || fail "the desktop icon's shell object is not registered"
[ "$(reg_value "HKCR\\CLSID\\$clsid\\Shell\\Open\\Command")" = "\"$exe\"" ] || fail "the desktop icon does not open Kalvora"
case "$(reg_value "HKCR\\CLSID\\$clsid\\DefaultIcon")" in "$exe,-"*) ;; *) fail "the desktop icon has no icon of kalvora.exe" ;; esac
while IFS='|' read -r value want; do
  got=$(reg_value "$uninstall_key" "$value")
  [ "$got" = "$want" ] || fail "Add/Remove Programs: $value is \"$got\", not \"$want\""
done <<EOF
DisplayName|Kalvora
DisplayVersion|4.7.0
Publisher|Quorvex
DisplayIcon|$exe,-499
UninstallString|"$install_win\\Uninstall.exe"
QuietUninstallString|"$install_win\\Uninstall.exe" /S
NoModify|0x1
NoRepair|0x1
EOF
size=$(reg_value "$uninstall_key" EstimatedSize)
[ $((size)) -gt 1000 ] || fail "Add/Remove Programs: EstimatedSize is \"$size\" (KB)"

# ---- the program starts from the installed folder -----------------------------------------------
export KALVORA_TEST_NO_WELCOME=1
"$KV_RUNNER" "$exe" >/dev/null 2>&1 &
kv_pid=$!
driver wait KV4Frame 30000 >/dev/null || fail "the installed program's frame did not appear"
# The first use loads the standard overlays and saves the configuration without its flag.
wait_for 0 kvc "$data/default.kvc" 'u8(8)' || fail "the first use of the installed program did not finish"
close_and_wait
for f in default.kvc "My Locations.dat" Overlays/Sample.kov "Overlays/Holidays (Jewish).kov"; do
  [ -s "$data/$f" ] || fail "the first start from the installed folder did not make My Calendars/$f"
done
cmp -s "$install_dir/KVLOCATION.DAT" "$data/My Locations.dat" || fail "the locations are not those of the installed folder"

# ---- overlays opened through the file type: on a start, and handed to the running program -------
set_setting Configuration AutoSave 1
mkdir -p "$kv_tmp/Shared Overlays"
cp "$data/Overlays/Sample.kov" "$kv_tmp/Shared Overlays/Team.kov"
cp "$data/Overlays/Sample.kov" "$kv_tmp/Shared Overlays/Club.kov"
team_win="$(winpath "$kv_tmp/Shared Overlays/Team.kov")"
club_win="$(winpath "$kv_tmp/Shared Overlays/Club.kov")"
before=$(kvc "$data/default.kvc" 'len(tail())')
"$KV_RUNNER" start /unix "$kv_tmp/Shared Overlays/Team.kov" >/dev/null 2>&1
driver wait KV4Frame 30000 >/dev/null || fail "opening an overlay did not start the program"
answer_overlay_question Team "$team_win" $IDYES
sleep 0.5
# A second overlay goes to the running program, which asks again; this one is declined.
"$KV_RUNNER" start /unix "$kv_tmp/Shared Overlays/Club.kov" >/dev/null 2>&1
answer_overlay_question Club "$club_win" $IDNO installer-overlay-question
sleep 0.5
[ "$(driver count KV4Frame)" = 1 ] || fail "opening an overlay with the program running started a second one"
# Installing again while the program runs is refused (silently: cancelled).
"$KV_RUNNER" "$setup_exe" /S "/D=$install_win" >/dev/null 2>&1 &
wait_exit $! 60 || fail "a silent install with the program running did not end"
[ "$exit_code" = 2 ] || fail "a silent install with the program running ended with $exit_code, not 2 (refused)"
driver close KV4Frame >/dev/null
driver gone KV4Frame 20000 >/dev/null || fail "the program did not end"
names=$(kvc "$data/default.kvc" '"|".join(tail())')
[ "$(kvc "$data/default.kvc" 'len(tail())')" = $((before + 1)) ] || fail "the overlay set is now: $names"
echo "$names" | grep -qF "$team_win" || fail "the accepted overlay is not in the configuration: $names"
echo "$names" | grep -qF "$club_win" && fail "the declined overlay was added: $names"

# ---- a silent uninstall --------------------------------------------------------------------------
echo "my own notes" >"$data/Keep me.txt"
snapshot() { (cd "$data" && find . -type f -print0 | sort -z | xargs -0 md5sum); }
before_uninstall=$(snapshot)
"$KV_RUNNER" "$install_win\\Uninstall.exe" /S >/dev/null 2>&1
# The uninstaller copies itself elsewhere and returns at once: wait for the folder to go.
for _ in $(seq 1 60); do [ -d "$install_dir" ] || break; sleep 0.5; done
[ -d "$install_dir" ] && fail "the program folder is still there 30 s after the uninstall: $(ls "$install_dir")"
[ -e "$start_menu/Kalvora.lnk" ] && fail "the Start-menu shortcut is left"
for key in 'HKCR\.kvc' 'HKCR\.kov' 'HKCR\Kalvora.Configuration' 'HKCR\Kalvora.Overlay' "HKCR\\CLSID\\$clsid" \
           "$uninstall_key" 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\kalvora.exe'; do
  key_exists "$key" && fail "the uninstall left the key $key"
done
[ "$(snapshot)" = "$before_uninstall" ] || fail "the uninstall changed the user's My Calendars folder"
[ "$(setting Configuration AutoSave)" = 1 ] || fail "the uninstall removed the user's settings"

finish
