#!/usr/bin/env bash
# kvtool render year / render day: the shape of what they print, a Jewish leap year's thirteen
# months in five columns, the sun and moon lines of a polar day and of a day without moonrise,
# SVG output, and the arguments refused. Layout and paint details are for the unit tests.
# Usage: kvtool_render_year_day_test.sh DATA_DIR [RUNNER] KVTOOL
set -u
data=$1; shift
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

# A field of the JSON output through python3: json_of 'EXPRESSION over d'.
json_of() { tr -d '\r' <out | python3 -c "import json,sys; d=json.load(sys.stdin); r=($1); print(r)"; }
check() {  # check 'EXPRESSION' 'WANT' ARGS...
  local expr=$1 want=$2 got rc; shift 2
  run "$@"; rc=$?
  got=$(json_of "$expr" 2>&1)
  if [ $rc -ne 0 ] || [ "$got" != "$want" ]; then
    echo "FAIL: kvtool $*: $expr"; echo "  want: $want"; echo "  got:  $got (exit $rc)"; tr -d '\r' <err
    failures=$((failures + 1))
  fi
}

# Years: twelve months in four columns; a Jewish leap year thirteen in five, Adar II seventh.
check 'd["view"], d["columns"], len(d["months"])' "('year', 4, 12)" render year 2026
check 'd["months"][0]["name"], d["months"][0]["days"][0]' "('January', {'day': 1, 'col': 4, 'row': 0, 'colour': '#000000'})" render year 2026
check 'd["columns"], len(d["months"]), d["months"][6]["name"], d["months"][12]["name"]' "(5, 13, 'Adar II', 'Elul')" render year 5784 --jewish
check 'd["columns"], len(d["months"])' "(4, 12)" render year 5785 --jewish
# Sundays (red-letter by default) and a highlighted holiday in the highlight colour.
check '[x["day"] for x in d["months"][6]["days"] if x["colour"] != "#000000"]' "[3, 4, 5, 12, 19, 26]" render year 2026 "$data/USA_HDAY.DAT"

# Days: the header and the boxes, in order.
check '[l["section"] for l in d["lines"]][:1], [l["text"] for l in d["lines"] if l["section"] == "schedule"]' \
  "(['header'], ['Schedule: ', 'Start\\tEnd\\tActivity'])" render day 2026-07-04
check '[l["text"] for l in d["lines"] if l["section"] == "entries"]' "['Independence Day']" render day 2026-07-04 "$data/USA_HDAY.DAT"
# A polar day at Longyearbyen: the sun does not set.
check '[l["text"] for l in d["lines"] if l["section"] == "sun"][:3]' \
  "['Sun and Moon: ', '(78.22, 15.65)', 'The sun will not set.']" render day 2026-06-21 --lat 78.22 --lon 15.65 --zone 3
check '[l["text"] for l in d["lines"] if l["section"] == "sun"][2]' "The sun will not rise." render day 2026-12-21 --lat 78.22 --lon 15.65 --zone 3
# Boston on 7 June 2026: the moon rises only after midnight.
check '[l["text"] for l in d["lines"] if l["text"].startswith("Moonrise:")]' "['Moonrise: None']" \
  render day 2026-06-07 --lat 42.36 --lon -71.06 --zone 41
# A schedule item and a to-do item from a database folder.
mkdir db
"${kvtool[@]}" sched add --db db --date 2026-07-04 --start 09:30 --end 10:15 --title Parade >/dev/null 2>&1
"${kvtool[@]}" todo add --db db --text "Buy flags" --due 2026-07-04 --now 2026-07-01T08:00 >/dev/null 2>&1
check '[l["text"] for l in d["lines"] if l["section"] in ("schedule", "due")]' \
  "['Schedule: ', 'Start\\tEnd\\tActivity', '9:30a\\t10:15a\\tParade', 'Due Today: ', 'Pri.\\tDue\\tItem:', '1\\t\\tBuy flags']" \
  render day 2026-07-04 --db db --now 2026-07-01T08:00
# SVG output.
expect_part '<svg' render year 5784 --jewish --format svg
expect_part 'Schedule: ' render day 2026-07-04 --format svg

# Refused arguments: exit 2.
expect_exit 2 '' render year
expect_exit 2 '' render year 1500
expect_exit 2 '' render year 2026 --size 10
expect_exit 2 '' render year 2026 --format png
expect_exit 2 '' render year 99999 --jewish
expect_exit 2 '' render day 2026-02-30
expect_exit 2 '' render day 2026-06-21 --lat 78
expect_exit 2 '' render day 2026-06-21 --lat 91 --lon 0 --zone 3
expect_exit 2 '' render day
expect_exit 1 '' render year 2026 missing.kov

finish kvtool_render_year_day
