#!/usr/bin/env bash
# kvtool render page: the printed pages of each kind through the print job. Page counts and
# order, the header codes on each page, the document names, SVG files per page, and the
# ranges and arguments refused. Layout details are for the unit tests.
# Usage: kvtool_render_page_test.sh DATA_DIR [RUNNER] KVTOOL
set -u
data=$1; shift
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

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
texts='[t["text"] for t in p["texts"]]'
first='[t["text"] for t in d["pages"][0]["texts"]]'
last='[t["text"] for t in d["pages"][-1]["texts"]]'

# A footer with the page number on every page: November to February is four pages in order.
cat >layout.json <<'END'
{"text": "Page &p && more", "header": false, "distance": 360}
END
check 'd["document"], len(d["pages"]), [[x for x in '"$texts"' if x.startswith("Page ")] for p in d["pages"]]' \
  "('Kalvora: 11/2026 - 2/2027', 4, [['Page 1 && more'], ['Page 2 && more'], ['Page 3 && more'], ['Page 4 && more']])" \
  render page month --from 2026-11 --to 2027-02 --layout layout.json
check '[next(x for x in '"$texts"' if " " in x and x.isupper()) for p in d["pages"]]' \
  "['N O V E M B E R', 'D E C E M B E R', 'J A N U A R Y', 'F E B R U A R Y']" render page month --from 2026-11 --to 2027-02
check 'len(d["pages"]), d["status"][0]' "(12, 'Sending January 2027 to printer...')" render page month --from 2027-01 --to 2027-12
# A landscape month keeps 11 : 8.
cat >landscape.json <<'END'
{"landscape": true}
END
check 'd["sheet"], round((d["content"][2] - d["content"][0]) / (d["content"][3] - d["content"][1]), 2)' \
  "([15840, 12240], 1.38)" render page month --from 2027-03 --to 2027-03 --layout landscape.json
# Holidays on the month page and the year page's title.
check '"Independence Day" in '"$first" "True" render page month --from 2027-07 --to 2027-07 "$data/USA_HDAY.DAT"
check 'd["document"], len(d["pages"]), "2027" in '"$first" "('Kalvora: 2027 - 2028', 2, True)" \
  render page year --from 2027 --to 2028

# The stores: schedule, a long note over two pages, to-do and phonebook.
mkdir db
"${kvtool[@]}" sched add --db db --date 2027-03-02 --start 09:30 --end 10:15 --title Dentist >/dev/null 2>&1
long=$(python3 -c "print(' '.join('Line %d of a long note that fills the page.' % i for i in range(300)) + ' TheEnd')")
"${kvtool[@]}" note set --db db --day 2027-03-03 --text "$long" >/dev/null 2>&1
"${kvtool[@]}" todo add --db db --text "Pay the bill" --due 2027-03-05 --now 2027-03-01T08:00 >/dev/null 2>&1
"${kvtool[@]}" phone add --db db --category Work --last Jones --first Bob --phone 555-0000:Mobile >/dev/null 2>&1
"${kvtool[@]}" phone add --db db --category Work --last Smith --first Anna --phone 555-1234:Home >/dev/null 2>&1
check 'd["document"], len(d["pages"]), any("TheEnd" in x for x in '"$last"'), any("TheEnd" in x for x in '"$first"')' \
  "('Kalvora Notes: 3/1/2027-3/5/2027', 2, True, False)" render page notes --from 2027-03-01 --to 2027-03-05 --db db
check 'd["document"], "[9:30 AM - 10:15 AM]" in '"$first" "('Kalvora Schedule: 3/2/2027', True)" \
  render page schedule --from 2027-03-02 --to 2027-03-02 --db db
check 'd["document"], "Pay the bill" in '"$first" "('Kalvora: To Do', True)" render page todo --db db
check 'd["document"], [x for x in '"$first"' if x.endswith(("Jones", "Smith"))]' \
  "('Kalvora: Phonebook', ['Bob Jones', 'Anna Smith'])" render page phone --from 1 --to 2 --db db
check 'len(d["pages"])' "2" render page binder --from 2027-03-01 --to 2027-03-03 --binder dual --db db
# The days of a list follow each other; the long note runs on to a second page.
check 'd["document"], len(d["pages"]), "Wednesday, March 3, 2027" in '"$first" \
  "('Kalvora: 3/1/2027-3/3/2027', 2, True)" render page day --from 2027-03-01 --to 2027-03-03 --db db

# SVG: one file per page.
check 'd["files"]' "['pg-1.svg', 'pg-2.svg']" render page year --from 2027 --to 2028 --format svg --out pg
if ! grep -q '<svg' pg-2.svg; then echo "FAIL: pg-2.svg is not an SVG document"; failures=$((failures + 1)); fi

# Refused: backward ranges, bad values, missing arguments.
expect_exit 1 "Invalid date or range! (--to)" render page day --from 2027-03-05 --to 2027-03-01
expect_exit 1 "Invalid date or range! (--to)" render page phone --from 2 --to 1 --db db
expect_exit 1 "Invalid date or range! (--to)" render page month --from 2027-05 --to 2027-02
expect_exit 2 '"2027-13-01" is not' render page day --from 2027-13-01 --to 2027-12-01
expect_exit 2 "--from takes a month as YYYY-MM" render page month --from March --to 2027-04
expect_exit 2 "--from" render page year --from 20x7 --to 2028
expect_exit 2 "--from and --to are required" render page month --from 2027-01
expect_exit 2 "unknown page kind" render page week --from 2027-01-01 --to 2027-01-02
expect_exit 2 "--out PREFIX" render page year --from 2027 --to 2027 --format svg
echo '{"text": 5' >bad.json
expect_exit 1 "not a JSON page layout" render page todo --layout bad.json

finish kvtool_render_page
