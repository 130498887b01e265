#!/usr/bin/env bash
# iCalendar export and import through kvtool, checked against independent readers: libical
# (a small checker built against libical-dev), python3-icalendar, and python3-recurring-ical-events
# whose expansion of every exported rule must give exactly the days and times kvtool gives.
# Usage: kvtool_ical_test.sh DATA_DIR SAMPLES_DIR LIBICAL_CHECK [RUNNER] KVTOOL
set -u
data=$1 samples=$2 libical=$3
shift 3
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"
py=/usr/bin/python3
check=$samples/check_ics.py

independent() {  # independent FILE: libical and python3-icalendar read it without complaint
  if ! "$libical" "$1" >lic 2>&1; then echo "FAIL: libical rejects $1:"; cat lic; failures=$((failures + 1)); fi
  if ! "$py" "$check" parse "$1" >pyc 2>&1; then echo "FAIL: python3-icalendar rejects $1:"; cat pyc; failures=$((failures + 1)); fi
}

same() {  # same WHAT FILE1 FILE2
  if ! diff -u "$2" "$3" >diffout; then echo "FAIL: $1 differ:"; head -40 diffout; failures=$((failures + 1)); fi
}

json_lines() {  # json_lines EXPR: each element of the JSON on stdin through a Python expression of e
  "$py" -c "import json,sys; print('\n'.join(sorted($1 for e in json.load(sys.stdin)[sys.argv[1]])))" "$2"
}

# ---- the schedule and the to-do list --------------------------------------------------------------
mkdir db
add() { run sched add --db db --answer ok "$@" || { echo "FAIL: sched add $*"; cat err; failures=$((failures + 1)); }; }
add --date 2025-01-06 --start 09:00 --end 09:30 --title "Stand-up" --recur weekly --until 2025-12-29
add --date 2025-01-14 --start 18:00 --end 20:00 --title "Club night" --recur monthly-weekday --until 2027-12-31
add --date 2025-01-31 --start 16:00 --end 17:00 --title "Invoices" --recur monthly-last-day --until 2026-12-31
add --date 2025-02-03 --start 07:00 --end 07:45 --title "Run" --recur every-n-days --n 10 --until 2025-08-01
add --date 2025-01-15 --start 10:00 --end 11:00 --title "Quarterly review" --recur every-n-months --n 3 --until 2029-12-31
add --date 2025-05-26 --start 12:00 --end 13:00 --title "Picnic, park" --recur annual-last-weekday --until 2030-12-31
add --date 2025-03-10 --start 23:30 --end 00:30 --title "Night shift; late" --alarm 23:00 --sound 2 --month-calendar
run todo add --db db --text "Pay rent" --due 2025-03-12 --activate 2025-03-10 --priority 2 --now 2025-03-01T12:00
run todo add --db db --text "Call Bob" --due 2025-03-09 --time 10:00 --activate 2025-03-01 --now 2025-03-01T12:00

now=(--now 2025-03-01T12:00)
expect '{"events":7,"series":6,"todos":2,"overlay_events":0,"overlay_as_dates":0,"overlay_without_days":0}' \
  ical export --db db --from 2025-01-01 --to 2030-12-31 --todo "${now[@]}" out.ics
independent out.ics
"$py" "$check" starts out.ics 2025 2030 >py_starts
"${kvtool[@]}" sched list --db db --from 2025-01-01 --to 2030-12-31 >list.json
json_lines "e['start'] + ' ' + e['title']" entries <list.json >kv_starts
same "occurrences of the exported series (python3-recurring-ical-events vs kvtool)" kv_starts py_starts

# Export, import into an empty folder, export again: the same file but for stamps and ids.
mkdir db2
expect_part '"todos":2,"skipped":[]' ical import --db db2 out.ics --answer ok "${now[@]}"
run ical export --db db2 --from 2025-01-01 --to 2030-12-31 --todo "${now[@]}" out2.ics
grep -v -e '^UID:' -e '^DTSTAMP:' out.ics >a.ics
grep -v -e '^UID:' -e '^DTSTAMP:' out2.ics >b.ics
same "exports before and after the round trip" a.ics b.ics
# Cancelled: nothing stored.
mkdir db3
expect '{"events":0,"todos":0,"skipped":[],"schedule_items":0,"overlay_events":0,"lost_characters":0,"shortened":0,"cancelled":true}' \
  ical import --db db3 out.ics --answer cancel
expect '{"entries":[]}' sched list --db db3 --from 2025-01-01 --to 2030-12-31

# ---- overlays: every standard overlay over 2000-2040 ---------------------------------------------
for ov in "$data"/*.DAT; do
  name=$(basename "$ov" .DAT)
  run ical export --db db --overlay "$ov" --years 2000-2040 "$name.ics" || { echo "FAIL: export $name"; cat err; failures=$((failures + 1)); continue; }
  independent "$name.ics"
  "$py" "$check" days "$name.ics" 2000 2040 >py_days
  "${kvtool[@]}" occurrences --from 2000-01-01 --to 2040-12-31 "$ov" | json_lines "e['date']" occurrences >kv_days
  same "days of $name over 2000-2040 (python3-recurring-ical-events vs kvtool occurrences)" kv_days py_days
  # Back into an overlay: the same events. Exported over every year the overlays cover, since an
  # event without a day in the exported years is left out (the observed days run 1990-2100).
  run ical export --db db --overlay "$ov" --years 1990-2100 "${name}_all.ics" || { echo "FAIL: export $name 1990-2100"; cat err; failures=$((failures + 1)); continue; }
  run ical import --db db3 "${name}_all.ics" --overlay "back_$name.kov" --answer ok
  # The same events and accent (an import writes them in the order overlays are saved in).
  sorted_dump() { "${kvtool[@]}" overlay dump "$1" | "$py" -c "import json,sys; d=json.load(sys.stdin); print(json.dumps(d['accent'])); print('\n'.join(sorted(json.dumps(e) for e in d['events'])))"; }
  sorted_dump "$ov" >dump_a
  sorted_dump "back_$name.kov" >dump_b
  same "overlay $name after export and import" dump_a dump_b
done

# ---- files written the way other programs write them ---------------------------------------------
mkdir db4
expect '{"events":13,"todos":0,"skipped":[],"schedule_items":12,"overlay_events":1,"lost_characters":0,"shortened":0}' \
  ical import --db db4 "$samples/desktop_suite.ics" --overlay holidays.kov --answer ok --zone 3
expect_part '"start":"2025-02-25T09:30","end":"2025-02-25T10:30","alarm":555' sched list --db db4 --from 2025-02-25 --to 2025-02-25 --zone 3
expect_part '"start":"2025-05-30T17:00"' sched list --db db4 --from 2025-05-30 --to 2025-05-30 --zone 3
expect '{"entries":[]}' sched list --db db4 --from 2025-03-04 --to 2025-03-04 --zone 3
expect_part '"date":"2025-05-01","text":"Tag der Arbeit"' occurrences --from 2025-05-01 --to 2025-05-01 holidays.kov

mkdir db5
expect '{"events":7,"todos":0,"skipped":[],"schedule_items":6,"overlay_events":1,"lost_characters":0,"shortened":0}' \
  ical import --db db5 "$samples/web_calendar.ics" --overlay family.kov --answer ok --zone 41
# The changed occurrence is stored on its own, the excluded one not at all; UTC becomes the UTC zone.
expect_part '"start":"2025-03-24T19:00","end":"2025-03-24T20:30"' sched list --db db5 --from 2025-03-24 --to 2025-03-24 --zone 41
expect '{"entries":[]}' sched list --db db5 --from 2025-03-17 --to 2025-03-17 --zone 41
expect_part '"start":"2025-04-10T10:00","end":"2025-04-10T11:00"' sched list --db db5 --from 2025-04-10 --to 2025-04-10 --zone 41
expect_part '"date":"2031-06-12","text":"Grandma'"'"'s birthday"' occurrences --from 2031-06-12 --to 2031-06-12 family.kov

mkdir db6
expect '{"events":1,"todos":3,"skipped":[],"schedule_items":1,"overlay_events":0,"lost_characters":0,"shortened":1}' \
  ical import --db db6 "$samples/phone_app.ics" --answer ok --zone 3 --now 2025-02-05T12:00
# The en dash and the accent are Windows-1252 characters; the completion time is moved from UTC.
expect_part '"text":"Return library books – Café branch","priority":3,"due":"2025-02-10T17:00","activate":"2025-02-01","done":"2025-02-09T13:00"' \
  todo list --db db6 --all --now 2025-02-05T12:00
expect_part '"text":"A to-do item whose title is far too lon","priority":2,"due":"2025-02-05T23:59","activate":"2025-02-05","done":null,"note":2' \
  todo list --db db6 --all --now 2025-02-05T12:00
expect '{"id":2,"text":"A to-do item whose title is far too long for the list to hold"}' note get --db db6 --todo 3
expect_part '"start":"2025-02-14T19:30","end":"2025-02-14T22:00"' sched list --db db6 --from 2025-02-14 --to 2025-02-14 --zone 3

# A zone named only by its VTIMEZONE (historic and current rules): found by its rules.
mkdir db8
expect '{"events":3,"todos":0,"skipped":[],"schedule_items":3,"overlay_events":0,"lost_characters":0,"shortened":0}' \
  ical import --db db8 "$samples/custom_zone.ics" --answer ok --zone 3
run sched list --db db8 --from 2025-07-01 --to 2025-09-30 --zone 41
json_lines "e['start'] + ' ' + e['title'] + ' ' + str(e['zone'])" entries <out >got
printf '%s\n' "2025-07-01T09:00 Budget call 41" "2025-07-01T12:00 Lunch and learn 41" "2025-09-01T12:00 Lunch and learn 41" >want
same "items in a zone found by its rules" want got

# A damaged file: refused with its line, nothing stored.
mkdir db7
expect_exit 1 "line 10: END:VCALENDAR where END:VEVENT was expected" ical import --db db7 "$samples/damaged.ics" --answer ok
expect '{"entries":[]}' sched list --db db7 --from 2025-01-01 --to 2025-01-31

finish kvtool_ical
