#!/usr/bin/env bash
# The desk: each F-key and toolbar command opens or brings up its window; Arrange All and Reset
# Desk place the windows as computed; the z-order and the active window survive a save and a
# restart.
source "$(dirname "$0")/lib.sh"
fresh_profile
start_and_wait
sleep 2  # first use: the desk is arranged and saved

VK_F4=0x73 VK_F5=0x74 VK_F6=0x75 VK_F7=0x76 VK_F8=0x77 VK_F9=0x78 VK_F10=0x79

active() { desk | awk '$7 == 1 { print $1 }'; }
expect_active() {  # expect_active CLASS WHAT
  local got i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    got=$(active)
    [ "$got" = "$1" ] && return 0
    sleep 0.3
  done
  fail "$2: the active window is ${got:-none}, want $1"
}
expect_closed() { desk_line "$1" | grep -q . && fail "$2: $1 is still open"; return 0; }

saved_order=$(desk_classes)
[ "$saved_order" = "KVCalendar KVSched KVNote KVToDo" ] || [ "$(active)" = KVCalendar ] ||
  fail "after the first use the desk is \"$saved_order\" with $(active) active"

# F-keys.
driver key KV4Frame $VK_F7 >/dev/null; expect_active MDIDialogClass "F7"
driver key KV4Frame $VK_F9 >/dev/null; expect_active KVMapHost "F9"
driver key KV4Frame $VK_F5 >/dev/null; expect_active KVSched "F5"
driver key KV4Frame $VK_F6 >/dev/null; expect_active KVToDo "F6"
driver key KV4Frame $VK_F8 >/dev/null; expect_active KVNote "F8"
driver key KV4Frame $VK_F4 >/dev/null; expect_active KVCalendar "F4"
driver close KV4Frame/KVSched >/dev/null; sleep 0.5
expect_closed KVSched "closing the schedule"
driver key KV4Frame $VK_F5 >/dev/null; expect_active KVSched "F5 on a closed schedule"
screenshot desk-all-windows
driver key KV4Frame $VK_F10 >/dev/null; sleep 1
expect_closed MDIDialogClass "F10"
expect_closed KVMapHost "F10"
[ "$(desk_classes)" = "$saved_order" ] || fail "F10 restored \"$(desk_classes)\", want \"$saved_order\""

# Toolbar buttons.
for button in "1322 MDIDialogClass" "1330 KVMapHost" "1320 KVSched" "1321 KVToDo" "1323 KVNote"; do
  set -- $button
  driver tbclick KV4Frame "$1" >/dev/null || fail "could not click toolbar button $1"
  expect_active "$2" "toolbar button $1"
done
driver tbclick KV4Frame 1303 >/dev/null; sleep 0.5
[ "$(driver tbchecked KV4Frame 1303)$(driver tbchecked KV4Frame 1302)" = 10 ] || fail "the day view button did not take over"
driver tbclick KV4Frame 1302 >/dev/null; sleep 0.5
[ "$(driver tbchecked KV4Frame 1302)$(driver tbchecked KV4Frame 1303)" = 10 ] || fail "the month view button did not take over"
driver tbclick KV4Frame 1327 >/dev/null; sleep 1
expect_closed MDIDialogClass "the reset desk button"
expect_closed KVMapHost "the reset desk button"

# Arrange All with the notes minimized: schedule and to-do share the right quarter.
driver post KV4Frame/KVNote 0x0112 0xF020 >/dev/null; sleep 0.5   # WM_SYSCOMMAND SC_MINIMIZE
driver key KV4Frame $VK_F7 >/dev/null; expect_active MDIDialogClass "F7 before arranging"
driver command KV4Frame 1507 >/dev/null; sleep 1
read -r W H <<<"$(driver clientsize KV4Frame MDIClient)"
cw=$((W / 4)); cx=$((W - cw)); h=$((H / 2))
[ "$(desk_line KVSched | cut -d' ' -f2-5)" = "$cx 0 $cw $h" ] || fail "arranged schedule: $(desk_line KVSched), want $cx 0 $cw $h"
[ "$(desk_line KVToDo | cut -d' ' -f2-5)" = "$cx $h $cw $h" ] || fail "arranged to-do: $(desk_line KVToDo), want $cx $h $cw $h"
[ "$(desk_line KVCalendar | cut -d' ' -f2-5)" = "0 0 $cx $H" ] || fail "arranged calendar: $(desk_line KVCalendar), want 0 0 $cx $H"
[ "$(desk_line KVNote | cut -d' ' -f6)" = minimized ] || fail "the minimized notes window was moved or restored"
read -r _ px py pw ph _ <<<"$(desk_line MDIDialogClass)"
want_x=$(( (W - pw) / 2 + 4 )); want_x=$(( want_x < 0 ? 0 : want_x / 8 * 8 )); want_y=$(( (H - ph) / 2 ))
[ "$px $py" = "$want_x $want_y" ] || fail "the phonebook stands at $px $py, want $want_x $want_y"
screenshot desk-arranged

# Reset Desk brings back the saved placements.
cfg="$data/default.kvc"
driver key KV4Frame $VK_F10 >/dev/null; sleep 1
for w in "KVCalendar 28" "KVNote 44" "KVSched 60" "KVToDo 76"; do
  set -- $w
  want=$(kvc "$cfg" "'%d %d %d %d' % (i32($2), i32($2 + 4), i32($2 + 8), i32($2 + 12))")
  [ "$(desk_line "$1" | cut -d' ' -f2-5)" = "$want" ] || fail "after Reset Desk $1 is at $(desk_line "$1"), want $want"
  [ "$(desk_line "$1" | cut -d' ' -f6)" = restored ] || fail "after Reset Desk $1 is not restored"
done
expect_closed MDIDialogClass "Reset Desk"

# The z-order and the active window survive a save and a restart, a maximized one too.
driver key KV4Frame $VK_F8 >/dev/null; expect_active KVNote "F8"
driver key KV4Frame $VK_F5 >/dev/null; expect_active KVSched "F5"
driver key KV4Frame $VK_F6 >/dev/null; expect_active KVToDo "F6"
order=$(desk_classes)
driver command KV4Frame 1002 >/dev/null; sleep 1
codes=$(desk | awk '{ c["KVCalendar"]=1; c["KVNote"]=2; c["KVSched"]=3; c["KVToDo"]=4; printf "%d, ", c[$1] }')
[ "$(kvc "$cfg" 'str(list(b[100:106]))')" = "[${codes}0, 0]" ] || fail "saved z-order $(kvc "$cfg" 'list(b[100:106])'), want [${codes}0, 0]"
[ "$(kvc "$cfg" 'u16(106)')" = 4 ] || fail "saved active window $(kvc "$cfg" 'u16(106)'), want 4"
close_and_wait
start_and_wait
[ "$(desk_classes)" = "$order" ] || fail "after a restart the desk is \"$(desk_classes)\", want \"$order\""
expect_active KVToDo "restart"

driver post KV4Frame/KVToDo 0x0112 0xF030 >/dev/null; sleep 0.5   # SC_MAXIMIZE
driver command KV4Frame 1002 >/dev/null; sleep 1
[ "$(kvc "$cfg" 'u16(106)')" = 14 ] || fail "a maximized active to-do window is saved as $(kvc "$cfg" 'u16(106)'), want 14"
close_and_wait
start_and_wait
expect_active KVToDo "restart with a maximized window"
[ "$(desk_line KVToDo | cut -d' ' -f6)" = maximized ] || fail "the to-do window is not maximized after the restart"
screenshot desk-maximized
close_and_wait
finish
