#!/usr/bin/env bash
# Builds a small database with the schedule, notes, to-do and phonebook commands and runs
# kvtool search over it and over a standard overlay: every option once for the shape of what it
# prints, and the arguments refused. The matching and ordering rules are for the unit tests.
# Usage: kvtool_search_test.sh DATA_FOLDER [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
data=$1; shift
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"
cp "$data/USA_HDAY.DAT" usa.kov || exit 1
mkdir db

setup() {  # setup ARGS...: must succeed
  run "$@" || { echo "FAIL: setup kvtool $*"; tr -d '\r' <err; failures=$((failures + 1)); }
}

# December 2025 and January 2026 each get their first item (id 1); February's lies after the range.
setup sched add --db db --date 2025-12-24 --start 09:00 --end 10:00 --title "Dentist appointment"
setup sched add --db db --date 2026-01-02 --start 12:00 --end 13:00 --title "Lunch with the dentists"
setup sched add --db db --date 2026-02-15 --start 08:00 --end 09:00 --title "Dentist again"
setup note set --db db --sched 1 --date 2025-12-24 --text "Ask the DENTIST about the bill"
setup note set --db db --day 2026-01-03 --text "Went to the dentist today and it was fine, more or less."
setup todo add --db db --text "Call dentist" --due 2027-01-01
setup note set --db db --todo 1 --text "dentist: 555-0100"
setup phone add --db db --category Doctors --last Smith --first John --salutation Dr. --address "Dentist Street 1"
setup phone add --db db --category Shops --company ACME
setup note set --db db --phone 2 --text "his dentist"

range=(--from 2025-12-20 --to 2026-01-10)
r_sched='{"type":1,"date":"2025-12-24","item":1,"description":"Dentist appointment","where":"Schedule","offset":0}'
r_snote='{"type":5,"date":"2025-12-24","item":1,"description":"Wednesday, December 24, 2025","where":"Schedule Notes","offset":8}'
r_lunch='{"type":1,"date":"2026-01-02","item":1,"description":"Lunch with the dentists","where":"Schedule","offset":15}'
r_phone='{"type":3,"date":null,"item":1,"description":"Dr. John Smith","where":"Phonebook","offset":25}'
r_pnote='{"type":7,"date":null,"item":2,"description":"ACME","where":"Phonebook Notes","offset":4}'
r_todo='{"type":2,"date":"2027-01-01","item":1,"description":"Call dentist","where":"To Do","offset":5}'
r_tnote='{"type":6,"date":"2027-01-01","item":1,"description":"Friday, January 1, 2027","where":"To Do Notes","offset":0}'
r_gnote='{"type":8,"date":"2026-01-03","item":2,"description":"Went to the dentist today and it was...","where":"Notes","offset":12}'

# Every area in its order: schedule and its notes month by month across the year end, then the
# phonebook, the to-do list, the overlays and the general notes.
expect "{\"results\":[$r_sched,$r_snote,$r_lunch,$r_phone,$r_pnote,$r_todo,$r_tnote,$r_gnote]}" \
  search --db db --text dentist "${range[@]}" usa.kov
# Whole words leave out "dentists"; case leaves out "DENTIST" and the capitalised titles.
expect "{\"results\":[$r_sched,$r_snote,$r_phone,$r_pnote,$r_todo,$r_tnote,$r_gnote]}" \
  search --db db --text dentist --word "${range[@]}"
expect "{\"results\":[$r_lunch,$r_pnote,$r_todo,$r_tnote,$r_gnote]}" \
  search --db db --text dentist --case "${range[@]}"
# Sorted by date: the dated hits by day (ties keep their order), then the phonebook hits by name.
expect "{\"results\":[$r_sched,$r_snote,$r_lunch,$r_gnote,$r_todo,$r_tnote,$r_pnote,$r_phone]}" \
  search --db db --text dentist --sort date "${range[@]}"
# Areas: phonebook notes (64) and general notes (128) only.
expect "{\"results\":[$r_pnote,$r_gnote]}" search --db db --text dentist --areas 192 "${range[@]}"
# Overlays: only the occurrences inside the range (Christmas Eve 2025 and Christmas 2026 lie outside).
expect '{"results":[{"type":4,"date":"2025-12-25","item":0,"description":"Christmas Day","where":"Overlay","offset":0}]}' \
  search --db db --text christmas --areas 8 --from 2025-12-25 --to 2026-12-23 usa.kov

# Bad usage and failures.
expect_exit 2 "--text" search --db db
expect_exit 2 "--from and --to" search --db db --text x --from 2025-01-01
expect_exit 2 "later" search --db db --text x --from 2025-02-01 --to 2025-01-01
expect_exit 2 "--sort" search --db db --text x --sort size
expect_exit 2 "areas" search --db db --text x --areas 256
expect_exit 1 "no database folder" search --db missing --text x
expect_exit 1 "cannot load overlay" search --db db --text x missing.kov

finish "kvtool search"
