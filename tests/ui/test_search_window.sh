#!/usr/bin/env bash
# The Search window in the running program: F3 opens it; a word found in each of the eight areas
# lists one hit per area with its description, date and area, sortable by each column; opening a
# hit brings its window forward (the notes window with the caret at the match, the schedule on
# the item's day, the calendar on an overlay's day, the to-do list, the phonebook) and collapses
# the Search window to its strip until "Reopen". "Where to search..." refuses an empty area set,
# a text that is no date and a range that ends before it starts, and keeps what it accepts; the
# search texts are there again after a restart.
source "$(dirname "$0")/lib.sh"
fresh_profile
VK_F3=0x72
FIND=1720 TEXT=1721 WHERE=1722 LIST=1723 REOPEN=1726
SELECT_ALL=1740 CLEAR_ALL=1741 DATE_EDIT=100   # the first date box's edit field is "From:"
EM_GETSEL=0xB0

db="$data/Databases/Default"
mkdir -p "$db"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
json() { python3 -c "import json,sys; print(json.load(sys.stdin)$1)"; }
W=$(winpath "$db")

# One hit for "zephyr" in each area but the overlays (searched for "Christmas Day"); general
# notes on the days the calendar goes to, so that the notes window shows where it went.
meeting=$(kvtool sched add --db "$W" --date 2026-12-10 --start 10:00 --end 11:00 --title "Zephyr meeting" | json '["ids"][0]')
lunch=$(kvtool sched add --db "$W" --date 2026-12-12 --start 12:00 --end 13:00 --title "Lunch" | json '["ids"][0]')
kvtool note set --db "$W" --sched "$lunch" --date 2026-12-12 --text "Bring the zephyr agenda" >/dev/null
# The items are made on the program's test clock, not on the day the test runs: an item
# made after the test clock's day would not be on the list yet.
kvtool todo add --db "$W" --text "Buy zephyr tickets" --due 2026-12-20 --activate 2026-12-01 --now 2026-12-01T08:00 >/dev/null
call=$(kvtool todo add --db "$W" --text "Call the travel agent" --due 2026-12-21 --activate 2026-12-01 --now 2026-12-01T08:00 | json '["slot"]')
kvtool note set --db "$W" --todo "$call" --text "Ask about the zephyr trip" >/dev/null
kvtool phone add --db "$W" --category Friends --last Zephyrson --first Ann >/dev/null
bob=$(kvtool phone add --db "$W" --category Friends --last Brown --first Bob | json '["id"]')
kvtool note set --db "$W" --phone "$bob" --text "Met at the zephyr club" >/dev/null
kvtool note set --db "$W" --day 2026-12-15 --text "Pack the bags for the zephyr trip" >/dev/null
kvtool note set --db "$W" --day 2026-12-10 --text "The tenth" >/dev/null
kvtool note set --db "$W" --day 2026-12-25 --text "Stockings" >/dev/null
[ -n "$meeting" ] && [ -n "$lunch" ] && [ -n "$call" ] && [ -n "$bob" ] || fail "kvtool could not prepare the data"

rows() { driver rows KVSearch $LIST; }
row_of() { rows | awk -F'\t' -v w="$1" '$3 == w { print NR - 1; exit }'; }  # the row of an area
height() { driver rect KVSearch | awk '{ print $4 }'; }
notes_text() { driver text KV4Frame/KVNote 1; }
active_class() { desk | awk '$7 == 1 { print $1 }'; }
message_is() {  # message_is TEXT: the box that comes up says TEXT; it is answered with OK
  local shown
  wait_for Kalvora eval 'driver dialog 1000 | head -1' || true
  shown=$(driver dialog 10000)
  case "$shown" in *"$1"*) ;; *) fail "expected the message \"$1\", saw \"$shown\"" ;; esac
  driver answer 1 >/dev/null
  sleep 0.5
}
search_for() {  # search_for TEXT: types it and presses Find
  driver settext KVSearch $TEXT "$1" >/dev/null
  driver command KVSearch $FIND >/dev/null
  sleep 1
}

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver key KV4Frame $VK_F3 >/dev/null
driver wait KVSearch 10000 >/dev/null || fail "F3 did not open the Search window"
[ "$(driver caption KVSearch)" = "Search" ] || fail "the window's caption: $(driver caption KVSearch)"
[ "$(driver text KVSearch $TEXT)" = "" ] || fail "a first search offers a text: $(driver text KVSearch $TEXT)"
full=$(height)

# Nothing typed.
driver command KVSearch $FIND >/dev/null
message_is "Please enter text to search for."

# One hit in each area but the overlays, with its area label and date.
search_for zephyr
wheres=$(rows | awk -F'\t' '{ print $3 }' | sort | paste -sd'|')
[ "$wheres" = "Notes|Phonebook|Phonebook Notes|Schedule|Schedule Notes|To Do|To Do Notes" ] ||
  fail "the areas of the hits: $wheres (rows: $(rows | paste -sd'|'))"
rows | grep -q "^Zephyr meeting	[^	]*12[^	]*10[^	]*	Schedule$" || fail "the schedule hit's row: $(rows | grep meeting)"
rows | grep -q "^Ann Zephyrson		Phonebook$" || fail "a phonebook hit has no date: $(rows | grep Zephyrson)"
rows | grep -q "^Pack the bags for the zephyr trip	" || fail "the general note's excerpt: $(rows | grep Notes)"
[ "$(rows | wc -l)" = 7 ] || fail "expected 7 hits, got $(rows | wc -l)"
screenshot search-window

# Sorting by each column.
driver colclick KVSearch $LIST 0 >/dev/null
sleep 0.5
[ "$(rows | awk -F'\t' '{ print $1 }' | head -1)" = "Ann Zephyrson" ] || fail "sorting by description: $(rows | head -1)"
driver colclick KVSearch $LIST 2 >/dev/null
sleep 0.5
[ "$(rows | awk -F'\t' '{ print $3 }' | paste -sd'|')" = "Notes|Phonebook|Phonebook Notes|Schedule|Schedule Notes|To Do|To Do Notes" ] ||
  fail "sorting by area: $(rows | awk -F'\t' '{ print $3 }' | paste -sd'|')"
driver colclick KVSearch $LIST 1 >/dev/null
sleep 0.5
[ "$(rows | tail -2 | awk -F'\t' '{ print $1 }' | paste -sd'|')" = "Ann Zephyrson|Bob Brown" ] ||
  fail "sorting by date puts the dateless hits last: $(rows | tail -2 | paste -sd'|')"

# The general note: the notes window on the 15th with the caret at the match.
driver rowclick KVSearch $LIST "$(row_of Notes)" >/dev/null
wait_for "Pack the bags for the zephyr trip" notes_text || fail "the note's hit did not show the note: $(notes_text)"
sel=$(driver send KV4Frame/Edit $EM_GETSEL)
[ "$sel" = $(( 22 | 22 << 16 )) ] || fail "the caret is not at the match: EM_GETSEL gave $sel"
[ "$(active_class)" = KVNote ] || fail "the notes window is not in front: $(active_class)"
collapsed=$(height)
[ "$collapsed" -lt $((full / 2)) ] || fail "the window did not collapse to its strip: $collapsed of $full"
screenshot search-collapsed

# Reopen; the schedule item: the schedule comes forward on the item's day.
driver command KVSearch $REOPEN >/dev/null
wait_for "$full" height || fail "Reopen did not bring the full window back: $(height)"
driver rowclick KVSearch $LIST "$(row_of Schedule)" >/dev/null
wait_for KVSched active_class || fail "the schedule hit did not bring the schedule forward: $(active_class)"
# The schedule shows the item's day with the item selected.
sched_text() { driver text KV4Frame/KVSched 1; }  # the grid pane names the day and the selection
wait_for "Thursday, December 10, 2026: 10:00 AM - 11:00 AM Zephyr meeting" sched_text ||
  fail "the schedule did not select the item on its day: $(sched_text)"
[ "$(height)" = "$collapsed" ] || fail "the window did not collapse again"

# The schedule item's note.
driver command KVSearch $REOPEN >/dev/null
sleep 0.5
driver rowclick KVSearch $LIST "$(row_of 'Schedule Notes')" >/dev/null
wait_for "Bring the zephyr agenda" notes_text || fail "the schedule note's hit did not show its note: $(notes_text)"
desk_line KVSched | grep -q . || fail "the schedule note's hit did not bring up the schedule"

# The to-do item: the list comes forward with the item selected.
driver command KVSearch $REOPEN >/dev/null
sleep 0.5
driver rowclick KVSearch $LIST "$(row_of "To Do")" >/dev/null
wait_for KVToDo active_class || fail "the to-do hit did not bring the to-do list forward: $(active_class)"

# The to-do item's note: the notes window on that note.
driver command KVSearch $REOPEN >/dev/null
sleep 0.5
driver rowclick KVSearch $LIST "$(row_of 'To Do Notes')" >/dev/null
wait_for "Ask about the zephyr trip" notes_text || fail "the to-do note's hit did not show its note: $(notes_text)"

# The phonebook opens on organizations; a person's entry is shown after the question.
driver command KVSearch $REOPEN >/dev/null
sleep 0.5
driver rowclick KVSearch $LIST "$(row_of Phonebook)" >/dev/null &
clicker=$!
asked=$(driver dialog 10000 | tr -d '\r')
case "$asked" in
  *"Kalvora cannot display this entry with the current Phonebook settings"*"OK to reset Phonebook to display 'People/All'?"*) ;;
  *) fail "no question before showing a person's entry: \"$asked\"" ;;
esac
driver answer 1 >/dev/null
wait $clicker
PB=KV4Frame/MDIDialogClass
wait_for "Zephyrson, Ann" eval 'driver selection "$PB" 17004 | cut -f2' ||
  fail "the phonebook did not select the entry: $(driver selection "$PB" 17004)"
wait_for MDIDialogClass active_class || fail "the phonebook hit did not bring it forward: $(active_class)"
driver command KVSearch $REOPEN >/dev/null
sleep 0.5
driver rowclick KVSearch $LIST "$(row_of 'Phonebook Notes')" >/dev/null
wait_for "Met at the zephyr club" notes_text || fail "the phonebook note's hit did not show its note: $(notes_text)"

# An overlay event: the calendar goes to its day.
driver command KVSearch $REOPEN >/dev/null
sleep 0.5
search_for "Christmas Day"
rows | grep -q "^Christmas Day	.*	Overlay$" || fail "no overlay hit for Christmas Day: $(rows | paste -sd'|')"
driver rowclick KVSearch $LIST "$(row_of Overlay)" >/dev/null
wait_for KVCalendar active_class || fail "the overlay hit did not bring the calendar forward: $(active_class)"
# The notes window still shows the phonebook entry's note: asked for the selected day's note, it
# shows the day the calendar went to.
driver send KV4Frame/KVNote 1027 1 0 >/dev/null
wait_for "Stockings" notes_text || fail "the calendar did not go to the overlay's day: $(notes_text)"

# "Where to search...": every refusal, then a range that is kept.
driver command KVSearch $REOPEN >/dev/null
sleep 0.5
driver command KVSearch $WHERE >/dev/null
case "$(driver dialog 10000 | head -1)" in "Where to search...") ;; *) fail "no \"Where to search...\" dialog" ;; esac
from_text=$(driver text dialog $DATE_EDIT)
screenshot search-where
driver command dialog $CLEAR_ALL >/dev/null
driver answer 1 >/dev/null
message_is "Please select at least one area to search."
driver command dialog $SELECT_ALL >/dev/null
driver settext dialog $DATE_EDIT "no date" >/dev/null
driver answer 1 >/dev/null
message_is "Invalid date or range!"
driver settext dialog $DATE_EDIT "2/1/2027" >/dev/null
driver answer 1 >/dev/null
message_is "End date must be equal to or greater than starting date."
[ "$(setting Search From)" = "" ] || fail "a refused range was stored: $(setting Search From)"
driver settext dialog $DATE_EDIT "11/1/2026" >/dev/null
driver answer 1 >/dev/null
sleep 0.5
[ "$(driver dialog 500 2>/dev/null | head -1)" = "" ] || fail "the dialog stayed after a good OK: $(driver dialog 500 | head -1)"
[ "$(setting Search From)" = "-36" ] || fail "From was not stored as days from today: $(setting Search From) (the box showed $from_text)"
[ "$(setting Search Thru)" = "30" ] || fail "Thru: $(setting Search Thru)"
[ "$(setting Search Type)" = "255" ] || fail "Type: $(setting Search Type)"

# Nothing found: the message, and the history keeps the texts that found something.
search_for "qwertyuiop"
message_is "Search returned no matches."
[ "$(rows | wc -l)" = 0 ] || fail "a search without hits left rows"
[ "$(setting Search Srch1)" = "Christmas Day" ] || fail "Srch1: $(setting Search Srch1)"
[ "$(setting Search Srch2)" = "zephyr" ] || fail "Srch2: $(setting Search Srch2)"
[ "$(setting Search Srch3)" = "" ] || fail "Srch3: $(setting Search Srch3)"

# The toolbar's Search button focuses the open window rather than opening another.
driver tbclick KV4Frame 1326 >/dev/null
sleep 0.5
[ "$(driver count KVSearch)" = 1 ] || fail "the toolbar button opened a second window"
driver command KVSearch 2 >/dev/null
driver gone KVSearch 5000 >/dev/null || fail "Close did not close the Search window"
close_and_wait

# After a restart the last text is offered again.
KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver tbclick KV4Frame 1326 >/dev/null
driver wait KVSearch 10000 >/dev/null || fail "the toolbar button did not open the Search window"
[ "$(driver text KVSearch $TEXT)" = "Christmas Day" ] || fail "the last search text is not offered: $(driver text KVSearch $TEXT)"
close_and_wait

for f in "$db"/*.kvdb "$db"/*.kvtd "$db"/*.kvpb; do
  [ -f "$f" ] || continue
  kvtool db verify "$(winpath "$f")" | grep -q '"ok":true' || fail "kvtool db verify $(basename "$f"): $(kvtool db verify "$(winpath "$f")")"
done
finish
