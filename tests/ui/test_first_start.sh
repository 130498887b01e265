#!/usr/bin/env bash
# First start on an empty profile: the data folder with its default files, the settings, the
# first use finishing with the standard overlays in the configuration's tail; a second start
# opens the saved configuration.
source "$(dirname "$0")/lib.sh"
fresh_profile
note_standins

start_and_wait
sleep 2  # the first use runs once the frame is up
[ "$(setting Configuration Active)" = "1" ] || fail "Active is not 1 while the program runs"
screenshot first-start

# The data folder and its default files.
for f in desktop.ini default.kvc "My Locations.dat" "Databases/Default/To Do Archive.txt"; do
  [ -f "$data/$f" ] || fail "$f is missing from the data folder"
done
for d in Overlays Databases Databases/Default "Custom Icons"; do
  [ -d "$data/$d" ] || fail "folder $d is missing from the data folder"
done
grep -q "IconFile=$(winpath "$prog" | sed 's/\\/\\\\/g')\\\\kalvora.exe" "$data/desktop.ini" ||
  fail "desktop.ini does not name the program's icon: $(cat "$data/desktop.ini")"
cmp -s "$prog/KVLOCATION.DAT" "$data/My Locations.dat" || fail "My Locations.dat is not a copy of KVLOCATION.DAT"
for o in "Holidays (USA)" "Holidays (Canada)" "Holidays (UK)" "Holidays (France)" "Holidays (Christian)" \
         "Holidays (Jewish)" "Sample"; do
  [ -f "$data/Overlays/$o.kov" ] || fail "standard overlay $o.kov is missing"
done
cmp -s "$prog/Data/CHRSTIAN.DAT" "$data/Overlays/Holidays (Christian).kov" || fail "Holidays (Christian).kov is not its master's copy"
overlays=$(ls "$data/Overlays" | wc -l)
[ "$overlays" = 7 ] || fail "$overlays files in Overlays, want the 7 standard overlays"
[ -n "$(setting Audio AlarmSound3)" ] || fail "the alarm sounds got no defaults"

# default.kvc: the record with its defaults, first use finished, the loaded overlays behind it.
cfg="$data/default.kvc"
[ "$(kvc "$cfg" 'b[0:6]')" = "b'KVCAL\\x00'" ] || fail "default.kvc has no KVCAL magic"
[ "$(kvc "$cfg" 'u16(6)')" = 7 ] || fail "default.kvc is not version 7"
[ "$(kvc "$cfg" 'u8(8)')" = 0 ] || fail "the first-use flag is still set after the first use"
for check in 'u8(116)=14' 'u16(590)=27' 'u16(278)=8' 'u8(280)=6' 'u8(281)=21' 'u8(283)=15' 'u8(293)=2' \
             'u8(303)=18' 'u16(3550)=720' 'u32(120)' 'text(308,256)=To Do Archive.txt' \
             'text(1102+39,32)=Verdana' 'u16(114)=2'; do
  expr=${check%%=*}; want=${check#*=}
  [ "$expr" = "u32(120)" ] && { expr='struct.unpack_from("<I", b, 120)[0]'; want=16436660; }
  got=$(kvc "$cfg" "$expr")
  [ "$got" = "$want" ] || fail "default.kvc $expr is $got, want $want"
done
[ "$(kvc "$cfg" 'text(846,256)')" = "$(winpath "$data")\\Databases\\Default" ] ||
  fail "the database folder is $(kvc "$cfg" 'text(846,256)')"
names=$(kvc "$cfg" '"|".join(tail())')
count=$(kvc "$cfg" 'u16(4446)')
folder="$(winpath "$data")\\Overlays"
want_end="$folder\\Holidays (Christian).kov|$folder\\Holidays (Jewish).kov|$folder\\Sample.kov"
[[ "$names" == *"$want_end" ]] || fail "the tail does not end with the standard overlays: $names"
[ "$count" = "$(kvc "$cfg" 'len(tail())')" ] || fail "overlay count $count does not match the tail"
[ "$count" = 3 ] || [ "$count" = 4 ] || fail "$count overlays loaded at first use"
# The first use arranged the desk: calendar on the left, the tool windows stacked at the right.
[ "$(kvc "$cfg" 'i32(28), i32(32)')" = "(0, 0)" ] || fail "the calendar was not arranged at the top left"
[ "$(kvc "$cfg" 'i32(60) == i32(44) == i32(76) == i32(36)')" = "True" ] || fail "the tool windows are not in one column"

close_and_wait
[ "$(setting Configuration Active)" = "0" ] || fail "Active is not 0 after closing"
[ -z "$(setting Configuration AutoSave)" ] || fail "AutoSave was written without being asked"

# A second start opens the saved configuration as it is on disk.
kvc_set "$cfg" 116 B 4          # only the schedule open
kvc_set "$cfg" 114 H 1          # year view
kvc_set "$cfg" 100 6B '(3, 1, 0, 0, 0, 0)'
kvc_set "$cfg" 106 H 3
before=$(md5sum <"$cfg")
start_and_wait
[ "$(desk_classes)" = "KVSched KVCalendar" ] || fail "second start shows $(desk_classes), want the schedule over the calendar"
[ "$(desk_line KVSched | awk '{print $7}')" = 1 ] || fail "the schedule is not the active window"
[ "$(driver tbchecked KV4Frame 1301)" = "1" ] || fail "the year view button is not pressed after the second start"
[ "$(driver tbchecked KV4Frame 1302)" = "0" ] || fail "the month view button is still pressed"
close_and_wait
[ "$(md5sum <"$cfg")" = "$before" ] || fail "closing without AutoSave changed default.kvc"
finish
