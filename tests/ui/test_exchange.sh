#!/usr/bin/env bash
# File > Import and File > Export in the running program: a calendar file from another program
# comes in after the question, lands in the month files, the to-do list and (all-day events) an
# overlay of its own, and goes out again
# as a calendar file; a file of another kind is refused with its message and stores nothing.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_IMPORT=1016
CMD_EXPORT=1017
db="$data/Databases/Default"
mkdir -p "$db"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }

printf '%s\r\n' 'BEGIN:VCALENDAR' 'VERSION:2.0' 'PRODID:-//Example//Desk//EN' \
  'BEGIN:VEVENT' 'UID:a1@example.org' 'DTSTAMP:20261201T120000Z' 'DTSTART:20261209T093000' \
  'DTEND:20261209T103000' 'SUMMARY:Dentist' 'END:VEVENT' \
  'BEGIN:VEVENT' 'UID:a2@example.org' 'DTSTAMP:20261201T120000Z' 'DTSTART:20261210T140000' \
  'DTEND:20261210T150000' 'SUMMARY:Budget review' 'END:VEVENT' \
  'BEGIN:VEVENT' 'UID:a3@example.org' 'DTSTAMP:20261201T120000Z' 'DTSTART;VALUE=DATE:20261224' \
  'SUMMARY:Family party' 'END:VEVENT' \
  'BEGIN:VTODO' 'UID:t1@example.org' 'DTSTAMP:20261201T120000Z' 'DUE:20261211T170000' \
  'SUMMARY:Send the report' 'PRIORITY:2' 'END:VTODO' 'END:VCALENDAR' >"$kv_tmp/in.ics"
echo "not a calendar" >"$kv_tmp/notes.txt"

start_and_wait
# A file of another kind: refused, nothing asked.
driver command KV4Frame $CMD_IMPORT >/dev/null
driver filename "$(winpath "$kv_tmp/notes.txt")" >/dev/null || fail "no file dialog for Import"
shown=$(driver dialog 10000 | tr -d '\r')
case "$shown" in *"none of them"*) ;; *) fail "a text file was not refused: \"$shown\"" ;; esac
driver answer 1 >/dev/null

driver command KV4Frame $CMD_IMPORT >/dev/null
driver filename "$(winpath "$kv_tmp/in.ics")" >/dev/null || fail "no file dialog for Import"
shown=$(driver dialog 10000 | tr -d '\r')
case "$shown" in
  *"Ready to import 3 events and 1 to-do items.  Proceed?"*) ;;
  *) fail "no question before importing: \"$shown\"" ;;
esac
screenshot import-question
driver answer 1 >/dev/null
shown=$(driver dialog 10000 | tr -d '\r')
case "$shown" in *"Imported 3 events and 1 to-do items."*) ;; *) fail "no report after importing: \"$shown\"" ;; esac
driver answer 1 >/dev/null

listed=$(kvtool sched list --db "$(winpath "$db")" --from 2026-12-01 --to 2026-12-31)
case "$listed" in *Dentist*"Budget review"*) ;; *) fail "the events are not in the month file: $listed" ;; esac
# The all-day event went into an overlay of its own, which the calendar now shows.
party=$(kvtool occurrences --from 2026-12-24 --to 2026-12-24 "$(winpath "$data/Overlays/Imported.kov")")
case "$party" in *"Family party"*) ;; *) fail "the all-day event is not in Imported.kov: $party" ;; esac
todos=$(kvtool todo list --db "$(winpath "$db")" --all)
case "$todos" in *"Send the report"*) ;; *) fail "the to-do item is not in the list: $todos" ;; esac
for f in "$db"/*; do
  kvtool db verify "$(winpath "$f")" >"$kv_tmp/verify.out" || fail "$(basename "$f") does not verify: $(cat "$kv_tmp/verify.out")"
done

driver command KV4Frame $CMD_EXPORT >/dev/null
driver filename "$(winpath "$kv_tmp/out.ics")" >/dev/null || fail "no file dialog for Export"
shown=$(driver dialog 10000 | tr -d '\r')
case "$shown" in *"Exported 3 items to "*) ;; *) fail "no report after exporting: \"$shown\"" ;; esac
driver answer 1 >/dev/null
[ "$(grep -c 'BEGIN:VEVENT' "$kv_tmp/out.ics" 2>/dev/null)" = "2" ] || fail "the export does not hold the two events"
grep -q 'SUMMARY:Send the report' "$kv_tmp/out.ics" || fail "the export does not hold the to-do item"

# The new overlay changed the configuration: closing asks to save it; saved, it lists the overlay.
driver close KV4Frame >/dev/null
shown=$(driver dialog 10000 | tr -d '\r')
case "$shown" in *"Save Calendar Configuration"*) ;; *) fail "closing did not ask to save the configuration: \"$shown\"" ;; esac
driver answer 6 >/dev/null
wait_exit "$kv_pid" 20 || fail "the program did not end after saving"
kv_pid=""
case "$(kvc "$data/default.kvc" 'tail()')" in
  *Imported.kov*) ;;
  *) fail "the saved configuration does not list Imported.kov: $(kvc "$data/default.kvc" 'tail()')" ;;
esac
finish
