#!/usr/bin/env bash
# The phonebook window in the running program: F7 opens it with its controls made from the
# template; entries are added through the "New Phone/Address Entry" dialog with every refusal
# message on the way, listed as people or organizations by category, found by typing, edited and
# deleted; an entry stored in the old layout shows its composed address and default labels; the
# notes window follows the selection; the selected entry and the list come back after a restart;
# a full phonebook refuses a new entry; whatever is typed, the file stays sound.
source "$(dirname "$0")/lib.sh"
fresh_profile
PB=KV4Frame/MDIDialogClass
CATEGORY=17001 PEOPLE=17002 ORGS=17003 NAMES=17004 PREFIX=17005 NEW=17006 EDIT=17007 DELETE=17008
HEADING=17009 ADDRESS=17010 LABEL1=17020 NUMBER1=17030
E_CATEGORY=17101 E_LAST=17102 E_FIRST=17103 E_SALUTATION=17104 E_TITLE=17105 E_COMPANY=17106 E_ADDRESS=17107
E_NUMBER1=17110 E_LABEL1=17120 E_ACTION1=17130
NOTES_EDIT=1
VK_F7=0x76 VK_F8=0x77
L39=$(printf 'L%.0s' $(seq 1 39))   # a 60-letter last name as the people list shows it

db="$data/Databases/Default"
mkdir -p "$db"
book="$db/PhoneBk.kvpb"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
json() { python3 -c "import json,sys; d=json.load(sys.stdin); print($1)"; }
names() { driver lines "$PB" $NAMES | paste -sd '|'; }
selected() { driver selection "$PB" $NAMES | cut -f2; }
listed() { kvtool phone list --db "$(winpath "$db")" "$@" | json '"|".join(e["name"] for e in d["entries"])'; }
id_of() { kvtool phone list --db "$(winpath "$db")" "${@:2}" | json "[e['id'] for e in d['entries'] if e['name'] == '$1'][0]"; }
verify_book() {
  local out
  out=$(kvtool db verify "$(winpath "$book")")
  [ "$out" = '{"ok":true,"problems":[]}' ] || fail "$1: the phonebook does not verify: $out"
}
# The message box that is up (captioned "Kalvora", over the entry dialog when that is open): its
# caption and text on one line.
message() {
  local i
  for i in $(seq 1 25); do
    [ "$(driver dialog 1000 | head -1)" = "Kalvora" ] && break
    sleep 0.2
  done
  driver dialog 1000 | paste -sd '|'
}
# Answers the entry dialog with OK and expects the message, which is then closed.
expect_refusal() {
  driver answer 1 >/dev/null
  local got
  got=$(message)
  [ "$got" = "Kalvora|$1" ] || fail "OK gave \"$got\", want \"Kalvora|$1\""
  driver answer 1 >/dev/null
  sleep 0.3
  [ "$(driver dialog 2000 | head -1)" = "$2" ] || fail "the entry dialog did not stay open after \"$1\""
}
open_new() {
  driver command "$PB" $NEW >/dev/null
  local title
  title=$(driver dialog 5000 | head -1)
  [ "$title" = "New Phone/Address Entry" ] || fail "New opened \"$title\""
}

# Entries prepared with kvtool: people, an organization, and one kept in the old layout.
kvtool phone add --db "$(winpath "$db")" --category Family --last Adams --first Carol --phone "555-0101:Home" >/dev/null
kvtool phone add --db "$(winpath "$db")" --category Work --last Barnes --first Bob --company "Barnes & Co" >/dev/null
kvtool phone add --db "$(winpath "$db")" --category Shops --company "Zeta Corp" --phone "555-0199!:Store" >/dev/null
legacy=$(kvtool phone add --db "$(winpath "$db")" --category Family --last Olden --first Otto | json 'd["slot"]')
# The old layout: sixteen columns, the address in six of them, no labels (byte 255 not 1).
python3 - "$book" "$legacy" <<'EOF'
import sys
path, slot = sys.argv[1], int(sys.argv[2])
cols = ["Family", "Olden", "Otto", "", "", "", "12 Elm St", "", "Springfield", "IL", "62701", "USA",
        "555-0111", "555-0112", "", ""]
packed = b"".join(c.encode("cp1252") + b"\x1c" for c in cols) + b"\0"
b = bytearray(open(path, "rb").read())
at = 32 + 256 * (slot - 1)
b[at + 4:at + 256] = packed + bytes(252 - len(packed))
open(path, "wb").write(b)
EOF
verify_book "prepared"

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver command KV4Frame 1220 >/dev/null   # save the configuration on exit
driver key KV4Frame $VK_F7 >/dev/null
wait_for 1 eval 'desk_line MDIDialogClass | wc -l' || fail "F7 did not open the phonebook"
driver find "$PB" ListBox >/dev/null || fail "the phonebook has no name list"
# A new configuration lists organizations.
[ "$(names)" = "Barnes & Co [Barnes]|Zeta Corp" ] || fail "organizations listed: $(names)"
[ "$(driver lines "$PB" $CATEGORY | paste -sd '|')" = "All|Family|Shops|Work" ] ||
  fail "category lines: $(driver lines "$PB" $CATEGORY | paste -sd '|')"
driver command "$PB" $PEOPLE >/dev/null
wait_for "Adams, Carol|Barnes, Bob|Olden, Otto" names || fail "people listed: $(names)"

# The old layout is read as the core reads it: the composed address and the default labels.
driver select "$PB" $NAMES 2 >/dev/null
[ "$(driver text "$PB" $ADDRESS | tr -d '\r' | paste -sd '|')" = "12 Elm St|Springfield, IL  62701|USA" ] ||
  fail "the old entry's address: $(driver text "$PB" $ADDRESS)"
[ "$(driver text "$PB" $LABEL1)" = "Business:" ] || fail "the old entry's first label: $(driver text "$PB" $LABEL1)"
[ "$(driver text "$PB" $((NUMBER1 + 1)))" = "555-0112" ] || fail "the old entry's second number: $(driver text "$PB" $((NUMBER1 + 1)))"

# A new entry: each refusal in turn, the dialog staying open.
open_new
expect_refusal "Entry requires a value in the Last Name or Company field." "New Phone/Address Entry"
driver settext dialog $E_LAST "Smith" >/dev/null
expect_refusal "Entry requires a value in the CATEGORY field." "New Phone/Address Entry"
driver settext dialog $E_CATEGORY "Work" >/dev/null
driver settext dialog $E_COMPANY "$(printf 'C%.0s' $(seq 1 47))" >/dev/null
driver settext dialog $E_FIRST "$(printf 'F%.0s' $(seq 1 23))" >/dev/null
driver settext dialog $E_ADDRESS "$(printf 'A%.0s' $(seq 1 159))" >/dev/null
# 4 + 5 + 23 + 47 + 159 characters and 15 separators: 253, two over; the message asks for one more.
expect_refusal "Cannot store this much information in a phone/address entry.  Please remove at least 3 characters from any combination of fields." \
  "New Phone/Address Entry"
driver settext dialog $E_FIRST "John" >/dev/null
driver settext dialog $E_COMPANY "Acme" >/dev/null
driver settext dialog $E_SALUTATION "Mr." >/dev/null
driver settext dialog $E_TITLE "Engineer" >/dev/null
driver settext dialog $E_ADDRESS $'1 Main St\r\nSpringfield' >/dev/null
driver settext dialog $E_NUMBER1 "555-1000" >/dev/null
driver settext dialog $E_LABEL1 "Office" >/dev/null
driver select dialog $E_ACTION1 1 >/dev/null   # SmartDial
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null || fail "the entry dialog stayed open after a good entry"
wait_for "Smith, John" selected || fail "the new entry is not selected: $(selected)"
[ "$(names)" = "Adams, Carol|Barnes, Bob|Olden, Otto|Smith, John" ] || fail "after adding: $(names)"
[ "$(driver text "$PB" $HEADING | tr -d '\r' | paste -sd '|')" = "Mr. John Smith|Engineer|Acme" ] ||
  fail "the heading: $(driver text "$PB" $HEADING)"
[ "$(driver text "$PB" $NUMBER1)" = "555-1000" ] || fail "the number is shown with its suffix: $(driver text "$PB" $NUMBER1)"
smith=$(id_of "Smith, John")
[ "$(kvtool phone show --db "$(winpath "$db")" --id "$smith" | json 'd["phones"][0]["action"]')" = SmartDial ] ||
  fail "the number was not stored with SmartDial"

# An organization; a separator typed into a field and a name too long for it change nothing else.
open_new
driver settext dialog $E_CATEGORY $'Sh\x1cops' >/dev/null
driver settext dialog $E_COMPANY "Quill Supplies" >/dev/null
driver settext dialog $E_LAST "$(printf 'L%.0s' $(seq 1 60))" >/dev/null
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null || fail "the organization's dialog stayed open"
[ "$(listed --organizations | cut -d'|' -f3)" = "Quill Supplies [$(printf 'L%.0s' $(seq 1 23))" ] ||
  fail "the organization as listed: $(listed --organizations)"
verify_book "after the odd entry"

# Category filter: only that category; "All" again lists everyone.
driver select "$PB" $CATEGORY 4 >/dev/null   # All, Family, Sh ops, Shops, Work
wait_for "Barnes, Bob|Smith, John" names || fail "category Work lists: $(names)"
driver select "$PB" $CATEGORY 0 >/dev/null
wait_for "Adams, Carol|Barnes, Bob|$L39|Olden, Otto|Smith, John" names ||
  fail "All lists: $(names)"

# Type-ahead: the prefix selects, backspace takes a letter back, no match beeps and clears, the
# timer clears it.
driver select "$PB" $NAMES 0 >/dev/null
driver chars "$PB" $NAMES "ba" >/dev/null
[ "$(selected)" = "Barnes, Bob" ] || fail "\"ba\" selected $(selected)"
[ "$(driver text "$PB" $PREFIX)" = "ba" ] || fail "the prefix shown: $(driver text "$PB" $PREFIX)"
driver chars "$PB" $NAMES "rnes, b" >/dev/null
[ "$(driver text "$PB" $PREFIX)" = "barnes, b" ] || fail "the longer prefix shown: $(driver text "$PB" $PREFIX)"
driver chars "$PB" $NAMES $'\b' >/dev/null
[ "$(driver text "$PB" $PREFIX)" = "barnes, " ] || fail "backspace left: $(driver text "$PB" $PREFIX)"
driver chars "$PB" $NAMES "x" >/dev/null
[ "$(driver text "$PB" $PREFIX)" = "" ] || fail "no match kept the prefix: $(driver text "$PB" $PREFIX)"
[ "$(selected)" = "Barnes, Bob" ] || fail "no match moved the selection to $(selected)"
driver chars "$PB" $NAMES "sm" >/dev/null
[ "$(selected)" = "Smith, John" ] || fail "\"sm\" selected $(selected)"
sleep 3.5
[ "$(driver text "$PB" $PREFIX)" = "" ] || fail "the prefix outlived its timer: $(driver text "$PB" $PREFIX)"
screenshot phonebook-window

# The notes window follows the selection: a note typed for Smith stays with Smith.
driver key KV4Frame $VK_F8 >/dev/null
wait_for 1 eval 'desk_line KVNote | wc -l' || fail "F8 did not open the notes window"
driver select "$PB" $NAMES 4 >/dev/null   # Smith, John
driver settext KV4Frame/KVNote $NOTES_EDIT "Prefers mornings" >/dev/null
driver select "$PB" $NAMES 0 >/dev/null   # Adams: Smith's note is written
[ "$(driver text KV4Frame/KVNote $NOTES_EDIT)" = "" ] || fail "Adams shows Smith's note"
note=$(kvtool phone show --db "$(winpath "$db")" --id "$smith" | json 'd["note"]')
[ "$note" != 0 ] || fail "Smith's note was not written to his entry"
driver select "$PB" $NAMES 4 >/dev/null
wait_for "Prefers mornings" driver text KV4Frame/KVNote $NOTES_EDIT || fail "Smith's note is not shown again"
screenshot phonebook-window-notes
driver close KV4Frame/KVNote >/dev/null

# Deleting: Cancel keeps the entry; OK removes it and selects the previous name.
driver select "$PB" $NAMES 3 >/dev/null   # Olden, Otto
driver command "$PB" $DELETE >/dev/null
[ "$(message)" = "Kalvora|Delete this entry from disk?" ] || fail "Delete asked \"$(message)\""
driver answer 2 >/dev/null
sleep 0.3
[ "$(listed | grep -c Olden)" = 1 ] || fail "Cancel deleted the entry"
driver command "$PB" $DELETE >/dev/null
driver dialog 5000 >/dev/null && driver answer 1 >/dev/null
wait_for "Adams, Carol|Barnes, Bob|$L39|Smith, John" names || fail "after deleting: $(names)"
[ "$(selected)" = "$L39" ] || fail "after deleting the selection is $(selected)"
[ "$(listed | grep -c Olden)" = 0 ] || fail "the deleted entry is still in the file"
verify_book "after deleting"

# Editing keeps the entry: the dialog is titled for editing and shows the stored values.
driver select "$PB" $NAMES 3 >/dev/null   # Smith, John
driver command "$PB" $EDIT >/dev/null
[ "$(driver dialog 5000 | head -1)" = "Edit Phone/Address Entry" ] || fail "Edit opened \"$(driver dialog 5000 | head -1)\""
[ "$(driver selection dialog $E_ACTION1 | cut -f2)" = SmartDial ] || fail "the stored action is not chosen"
[ "$(driver text dialog $E_NUMBER1)" = "555-1000" ] || fail "the number is edited with its suffix"
screenshot phonebook-entry-dialog
driver settext dialog $E_FIRST "Johnny" >/dev/null
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null || fail "the edit dialog stayed open"
wait_for "Smith, Johnny" selected || fail "the edited entry is not selected: $(selected)"
[ "$(id_of "Smith, Johnny")" = "$smith" ] || fail "editing gave the entry another id"
[ "$(kvtool phone show --db "$(winpath "$db")" --id "$smith" | json 'd["note"]')" = "$note" ] || fail "editing lost the note"

# Closing saves the selected entry and the list into the configuration.
close_and_wait
cfg="$data/default.kvc"
[ "$(kvc "$cfg" 'u16(564)')" = "$smith" ] || fail "configuration 564 holds $(kvc "$cfg" 'u16(564)'), want $smith"
[ "$(kvc "$cfg" 'text(566, 24)')" = "Smith, Johnny" ] || fail "configuration 566 holds \"$(kvc "$cfg" 'text(566, 24)')\""
[ "$(kvc "$cfg" 'u8(117)')" = 1 ] || fail "the people list was not remembered: $(kvc "$cfg" 'u8(117)')"

# A full phonebook: 2048 entries; "New" is refused.
have=$({ kvtool phone list --db "$(winpath "$db")"; kvtool phone list --db "$(winpath "$db")" --organizations; } |
  python3 -c 'import json,sys; print(len({e["id"] for l in sys.stdin for e in json.loads(l)["entries"]}))')
started=$SECONDS
kvtool phone fill --db "$(winpath "$db")" --count $((2048 - have)) >/dev/null
echo "note: kvtool filled the phonebook in $((SECONDS - started)) s"
case "$(kvtool phone fill --db "$(winpath "$db")" --count 1)" in
  *"Phonebook is full (2048 total entries maximum)."*) ;;
  *) fail "kvtool stored a 2049th entry" ;;
esac
verify_book "full"
start_and_wait
wait_for 1 eval 'desk_line MDIDialogClass | wc -l' || fail "the phonebook did not come back with the desk"
wait_for "Smith, Johnny" selected || fail "the remembered entry is not selected after a restart: $(selected)"
# Closing the window keeps the selection too; reopening it loads and lists all 2048 entries.
driver close "$PB" >/dev/null
wait_for 0 eval 'desk_line MDIDialogClass | wc -l' || fail "the phonebook did not close"
started=$(date +%s%N)
driver key KV4Frame $VK_F7 >/dev/null
driver painted "$PB" 20000 >/dev/null || fail "the reopened phonebook was not painted"
echo "note: the full phonebook opened and painted in $(( ($(date +%s%N) - started) / 1000000 )) ms (driver included)"
[ "$(selected)" = "Smith, Johnny" ] || fail "the reopened phonebook selects $(selected)"
screenshot phonebook-window-full
driver command "$PB" $NEW >/dev/null
[ "$(message)" = "Kalvora|Phonebook is full (2048 total entries maximum)." ] || fail "New on a full phonebook: \"$(message)\""
driver answer 1 >/dev/null
sleep 0.5
driver dialog 1000 >/dev/null 2>&1 && fail "a dialog is up after the phonebook-full message"
[ "$(driver lines "$PB" $NAMES | wc -l)" = 2047 ] || fail "the full phonebook lists $(driver lines "$PB" $NAMES | wc -l) people"
close_and_wait
verify_book "at the end"
note_standins
finish
