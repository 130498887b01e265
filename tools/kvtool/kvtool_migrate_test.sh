#!/usr/bin/env bash
# kvtool migrate over predecessor installations made by tools/gen/gen_predecessor.py: the
# default calendar replaced (its old database moved aside), a new configuration from a version 4
# source with its own database folder, existing names, a damaged database file and a missing
# overlay, No to the overlay question, a folder path too long for the configuration. Every
# migrated database file passes `db verify`, and the migrated calendar lists its schedule, notes,
# to-do items and phonebook. The branches in detail are for the unit tests.
# Usage: kvtool_migrate_test.sh GENERATOR [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
gen=$1
shift
kvtool=("$@")
windows=()
[ $# -gt 1 ] && windows=(--windows-paths)
. "$(dirname "$0")/cli_test_lib.sh"

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The path kvtool is given: Wine sees the Linux folders under Z:.
w() { if [ ${#windows[@]} -gt 0 ]; then local p=${1//\//\\}; echo "Z:$p"; else echo "$1"; fi; }
# check 'PYTHON EXPRESSION over d' 'EXPECTED': a value of the last JSON output.
check() {
  local got
  got=$(tr -d '\r' <out | /usr/bin/python3 -c "import json,sys,ntpath; d=json.load(sys.stdin); b=ntpath.basename; print(json.dumps($1))" 2>&1)
  [ "$got" = "$2" ] || fail "$1: got $got, want $2"
}
predecessor() {  # predecessor DIR [generator options]: writes DIR and prints its .obc for kvtool
  local dir=$1; shift
  "$gen" "$dir" "${windows[@]}" "$@" -- "${kvtool[@]}" | tr -d '\r' || fail "the generator failed for $dir"
}
verify_all() {  # every copied file of the last output passes db verify
  local f
  while IFS= read -r f; do
    run db verify "$f" || fail "db verify $f: $(tr -d '\r' <out) $(tr -d '\r' <err)"
  done < <(tr -d '\r' <out | /usr/bin/python3 -c "import json,sys; [print(p) for p in json.load(sys.stdin)['copied']]")
}

data=$tmp/data
mkdir -p "$data/Databases/Default"
run config new "$(w "$data/default.kvc")" --data-folder "$(w "$data")" || fail "config new: $(cat err)"
# The calendar's own database, which must not stay mixed with the migrated one.
run sched add --db "$(w "$data/Databases/Default")" --date 2025-02-10 --start 08:00 --end 09:00 --title Stale --answer ok \
  || fail "sched add: $(cat err)"

# 1. Version 5, database in "DAV", the default calendar replaced.
obc=$(predecessor "$tmp/v5")
before=$(cd "$tmp/v5" && find . -type f -exec md5sum {} + | sort)
run migrate --from "$obc" --data-folder "$(w "$data")" --replace-default --today 2026-12-07 || fail "migrate: $(cat err)"
check 'sorted(b(p) for p in d["copied"])' '["FEB-2025.kvdb", "JAN-2025.kvdb", "PhoneBk.kvdb", "PhoneBk.kvpb", "ToDo.kvdb", "ToDo.kvtd"]'
check '[b(p) for p in d["overlays"]]' '["Holidays.kov", "Family Days.kov", "Oldest.kov"]'
check 'b(d["config"])' '"default.kvc"'
check 'd["problems"]' '[]'
check 'b(d["backup"])' '"Default before migration 2026-12-07"'
verify_all
[ -f "$data/Databases/Default before migration 2026-12-07/FEB-2025.kvdb" ] || fail "the old database was not kept aside"
[ "$(cd "$tmp/v5" && find . -type f -exec md5sum {} + | sort)" = "$before" ] || fail "the source files changed"
db=$(w "$data/Databases/Default")
expect_part '"Dentist"' sched list --db "$db" --from 2025-01-01 --to 2025-02-28
run sched list --db "$db" --from 2025-02-10 --to 2025-02-10
tr -d '\r' <out | grep -q Stale && fail "the old default database's item is still in the calendar"
expect_part '"Bring the X-rays"' note get --db "$db" --day 2025-01-15
expect_part '"Renew passport"' todo list --db "$db" --all
expect_part '"Photos first"' note get --db "$db" --todo 1
expect_part '"Orbis, Ada"' phone list --db "$db"
expect_part '"Birthday in May"' note get --db "$db" --phone 1
run config dump "$(w "$data/default.kvc")"
check 'b(d["databasefolder"])' '"Default"'
check '[b(p) for p in d["overlays"]]' '["Holidays.kov", "Family Days.kov", "Oldest.kov"]'
expect_part '"Orbisa Founders Day"' overlay dump "$(w "$data/Overlays/Holidays.kov")"
expect_part '"Oldest New Year"' overlay dump "$(w "$data/Overlays/Oldest.kov")"

# 2. Version 4 with a database folder of its own, into a new configuration; blanks separate
# the overlay names, so the generator lists only names without blanks.
obc=$(predecessor "$tmp/v4" --version 4 --database-folder "Cal Data")
run migrate --from "$obc" --data-folder "$(w "$data")" --config Work --database "Work Data" --answer no \
  || fail "migrate v4: $(cat err)"
check 'b(d["config"])' '"Work.kvc"'
check '[b(p) for p in d["overlays"]]' '["Holidays.kov", "Oldest.kov"]'
check 'd["problems"]' '[]'
check 'd["backup"]' 'null'
verify_all
run config dump "$(w "$data/Work.kvc")"
check 'b(d["databasefolder"])' '"Work Data"'

# 3. Existing names: Cancel refuses, OK migrates again and keeps the earlier copy aside.
expect_exit 1 "The calendar configuration file already exists." \
  migrate --from "$obc" --data-folder "$(w "$data")" --config Work.kvc --database Other --answer cancel
expect_exit 1 "The database name already exists." \
  migrate --from "$obc" --data-folder "$(w "$data")" --config New --database "Work Data" --answer no
run migrate --from "$obc" --data-folder "$(w "$data")" --config Work --database "Work Data" --today 2026-12-07 \
  || fail "migrate over existing names: $(cat err)"
check 'b(d["backup"])' '"Work Data before migration 2026-12-07"'

# 4. A damaged month file and a missing overlay: partial completion, the rest migrated, and
# No keeps this program's own copy of an overlay.
obc=$(predecessor "$tmp/bad" --damage JAN-2025.obd --missing-overlay)
printf 'mine' >>"$data/Overlays/Oldest.kov"
own=$(md5sum <"$data/Overlays/Oldest.kov")
run migrate --from "$obc" --data-folder "$(w "$data")" --config Partial --database Partial --answer no \
  || fail "partial migrate: $(cat err)"
check 'len(d["problems"])' '2'
check '[("damaged" in p, "Gone.oov" in p) for p in d["problems"]]' '[[true, false], [false, true]]'
check 'sorted(b(p) for p in d["copied"])' '["FEB-2025.kvdb", "PhoneBk.kvdb", "PhoneBk.kvpb", "ToDo.kvdb", "ToDo.kvtd"]'
check '[b(p) for p in d["overlays"]]' '["Holidays.kov", "Family Days.kov", "Oldest.kov"]'
verify_all
[ "$(md5sum <"$data/Overlays/Oldest.kov")" = "$own" ] || fail "No did not keep this program's overlay"

# 5. A database folder path of 259 characters does not fit the configuration's field.
long=$(printf 'd%.0s' $(seq 1 $((259 - ${#data} - 11))))
expect_exit 1 "longer than the 255 characters" \
  migrate --from "$obc" --data-folder "$(w "$data")" --config Long --database "$long"
[ -e "$data/Long.kvc" ] && fail "a refused migration wrote its configuration"
expect_exit 2 "either --replace-default" migrate --from "$obc" --data-folder "$(w "$data")"
expect_exit 2 "--answer takes" migrate --from "$obc" --data-folder "$(w "$data")" --replace-default --answer maybe

finish kvtool_migrate
