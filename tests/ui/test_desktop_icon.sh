#!/usr/bin/env bash
# The desktop icon switched on, off and on again in the user's registry, its name kept; a
# first run offers it.
source "$(dirname "$0")/lib.sh"
fresh_profile
BM_CLICK=0xF5; BM_GETCHECK=0xF0
no_dialog() {
  local i
  for i in $(seq 1 25); do driver dialog 0 >/dev/null 2>&1 || return 0; sleep 0.2; done
  return 1
}
# ---- the desktop icon: on, off, on again --------------------------------------------------------
clsid='{5D2C7E41-8B3A-4F6E-9C15-2A7B0E4D9F63}'
class_key="HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\$clsid"
ns_key="HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\Namespace\\$clsid"
wine_reg delete "$class_key" /f
wine_reg delete "$ns_key" /f
icon_name() {
  "$KV_RUNNER" reg query "$class_key" /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ { sub(/.*REG_SZ[ \t]*/, ""); print }'
}
on_desktop() { "$KV_RUNNER" reg query "$ns_key" >/dev/null 2>&1 && echo 1 || echo 0; }
icon_dialog() {  # icon_dialog CLICK(0/1) BUTTON: opens the dialog, ticks or not, closes it
  driver command KV4Frame 1213 >/dev/null
  [ "$(driver dialog 10000 | head -n 1)" = "Desktop Icon" ] || fail "command 1213 did not open \"Desktop Icon\""
  checked=$(driver send dialog/#1289 $BM_GETCHECK)
  [ "$1" = 1 ] && driver post dialog/#1289 $BM_CLICK >/dev/null && sleep 0.5
  [ -n "${3:-}" ] && screenshot "$3"
  driver answer "$2" >/dev/null
  no_dialog
}

# A first run (no settings of this or the earlier maker) offers the icon; Cancel writes nothing.
wine_reg delete 'HKCU\Software\Vantrelle' /f
start_kalvora
[ "$(driver dialog 30000 | head -n 1)" = "Desktop Icon" ] || fail "a first run did not offer the desktop icon"
[ "$(driver send dialog/#1289 $BM_GETCHECK)" = 0 ] || fail "the icon's box was ticked with no icon"
driver post dialog/#1289 $BM_CLICK >/dev/null
sleep 0.5
driver answer 2 >/dev/null
driver wait KV4Frame 10000 >/dev/null || fail "no frame after the first run's offer"
no_dialog
[ "$(on_desktop)" = 0 ] && [ -z "$(icon_name)" ] || fail "Cancel switched the icon on"
icon_dialog 1 1 desktop-icon-dialog
[ "$(on_desktop)" = 1 ] || fail "OK with the box ticked did not put the icon on the desktop"
[ "$(icon_name)" = Kalvora ] || fail "the icon's name is \"$(icon_name)\", not Kalvora"
wine_reg add "$class_key" /ve /d "Family Calendar" /f   # the user renames the icon
icon_dialog 1 1
[ "$checked" = 1 ] || fail "the icon's box was not ticked with the icon on"
[ "$(on_desktop)" = 0 ] || fail "the icon is still on the desktop"
[ "$(icon_name)" = "Family Calendar" ] || fail "switching off changed the name to \"$(icon_name)\""
icon_dialog 1 1
[ "$(on_desktop)" = 1 ] || fail "the icon did not come back"
[ "$(icon_name)" = "Family Calendar" ] || fail "switching on again lost the name: \"$(icon_name)\""
wine_reg add "$class_key\\ShellFolder" /f                # marked as not provided
icon_dialog 0 2
[ "$checked" = 0 ] || fail "a class key with ShellFolder read as provided"

close_and_wait
finish
