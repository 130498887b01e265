#!/usr/bin/env bash
# The frame appears with its caption, toolbar, date and clock buttons and the desk; the About
# box, the version resource and the manifest; a second start leaves one frame; closing ends
# the program with exit code 0.
source "$(dirname "$0")/lib.sh"
fresh_profile

start_and_wait
first=$kv_pid
caption=$(driver caption KV4Frame)
[ "$caption" = "Kalvora" ] || fail "caption is \"$caption\", want \"Kalvora\""
children=$(driver children KV4Frame)
for part in $'ToolbarWindow32\t200' $'Button\t1312' $'Button\t1328' $'MDIClient\t0' $'KVCalendar\t'; do
  grep -q "^$part" <<<"$children" || fail "the frame has no ${part//$'\t'/ } window"
done
[ "$(driver tbchecked KV4Frame 1302)" = "1" ] || fail "the month view button is not pressed"
[ "$(driver tbchecked KV4Frame 1301)" = "0" ] || fail "the year view button is pressed"
screenshot frame

# The About box shows the version; the program carries its version resource and its manifest
# (common controls 6, per-monitor DPI awareness).
driver command KV4Frame 1990 >/dev/null
about=$(driver dialog 10000)
[ "$(head -1 <<<"$about")" = "About Kalvora" ] || fail "the About box is titled \"$(head -1 <<<"$about")\""
grep -qx "Version 4.7.0000" <<<"$about" || fail "the About box does not show Version 4.7.0000: $about"
driver answer 1 >/dev/null
[ "$(driver version "$(winpath "$prog/kalvora.exe")" 2>/dev/null)" = "4.7.0.0" ] || fail "the version resource is not 4.7.0.0"
grep -qa 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$prog/kalvora.exe" ||
  fail "the manifest does not ask for common controls 6"
grep -qa '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' "$prog/kalvora.exe" ||
  fail "the manifest does not declare per-monitor DPI awareness"

# A second start only brings the first to the top and ends by itself.
start_kalvora
second=$kv_pid
wait_exit "$second" 15 || fail "the second start did not end within 15 s"
[ "$exit_code" = "0" ] || fail "the second start exited with $exit_code"
count=$(driver count KV4Frame)
[ "$count" = "1" ] || fail "$count frames after the second start, want 1"

kv_pid=$first
close_and_wait
finish
