#!/usr/bin/env bash
# kvtool render month: the geometry and the cells of a month as the month view paints them,
# checked on the facts that matter (rows, prefixes, overflow, the Rabbi's advice), and the
# arguments refused. The pixel layout itself is for the unit tests.
# Usage: kvtool_render_test.sh DATA_DIR [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
data=$1; shift
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

# check 'PYTHON EXPRESSION over j' ARGS...: exit 0 and the expression holds for the JSON printed.
check() {
  local expr=$1 rc; shift
  run "$@"; rc=$?
  if [ $rc -ne 0 ] || ! python3 -c "import json,sys; j=json.loads(open('out').read()); sys.exit(0 if ($expr) else 1)"; then
    echo "FAIL: kvtool $*: want $expr (exit $rc)"; tr -d '\r' <out | head -c 600; echo; tr -d '\r' <err; failures=$((failures + 1))
  fi
}

# The shape: keys in order, seven weekdays, one cell per day.
check 'list(j.keys()) == ["view","width","height","cw","ch","rows","grid_top","title","weekdays","cells","tabs"]' \
  render month 2026-03 --size 700x600
check 'j["cw"] == 100 and len(j["weekdays"]) == 7 and j["weekdays"][0] == "Sunday" and len(j["cells"]) == 31 and j["title"] == "M A R C H"' \
  render month 2026-03 --size 700x600
check 'list(j["cells"][0].keys()) == ["day","col","row","rect","number_colour","lines","overflow","moon","note","jewish","time"]' \
  render month 2026-03 --size 700x600
# 1 March 2026 is a Sunday (first column): five rows; 1 August 2026 a Saturday (last column): six.
check 'j["rows"] == 5 and j["cells"][0]["col"] == 0' render month 2026-03 --size 700x600
check 'j["rows"] == 6 and j["cells"][0]["col"] == 6 and j["cells"][0]["row"] == 0 and j["cells"][30]["row"] == 5' \
  render month 2026-08 --size 700x600
check 'j["ch"] == (600 - j["grid_top"] - 1) // j["rows"]' render month 2026-08 --size 700x600

cat >t.kovtxt <<'SRC'
overlay
event "Anna" kind=birthday year=1990 month=7 day=12 offset=-3
event "Max and Julia" kind=anniversary year=2025 month=7 day=20 anniversary=wedding
event "Party" kind=annual month=7 day=15 highlight=1
SRC
"${kvtool[@]}" overlay compile t.kovtxt t.kov >/dev/null 2>&1 || { echo "FAIL: cannot compile t.kovtxt"; failures=$((failures + 1)); }
check 'any(l["text"].startswith("3 days before Anna") for c in j["cells"] for l in c["lines"])' \
  render month 2026-07 --size 700x600 t.kov
check '[l["text"] for l in j["cells"][19]["lines"]][-1] == "Paper, Clocks"' render month 2026-07 --size 700x600 t.kov
check 'j["cells"][14]["number_colour"] == "#FF0000" and j["cells"][13]["number_colour"] == "#000000"' \
  render month 2026-07 --size 700x600 t.kov
# Only one overlay: no tabs; two: "All" and their titles; --tab picks one of them.
check 'j["tabs"] == []' render month 2026-07 --size 700x600 t.kov
check 'j["tabs"] == ["All", "t", "USA_HDAY"]' render month 2026-07 --size 700x600 t.kov "$data/USA_HDAY.DAT"
check 'all(not c["lines"] or c["day"] in (3, 4) for c in j["cells"])' \
  render month 2026-07 --size 700x600 --tab 2 t.kov "$data/USA_HDAY.DAT"

# A crowded day in a small cell overflows; its drawn lines stay inside the cell.
{ echo overlay; for i in 1 2 3 4 5 6 7 8 9 10; do echo "event \"Crowd $i\" kind=annual month=7 day=15"; done; } >crowd.kovtxt
"${kvtool[@]}" overlay compile crowd.kovtxt crowd.kov >/dev/null 2>&1
check 'j["cells"][14]["overflow"] and not j["cells"][13]["overflow"] and all(l["rect"][3] <= j["cells"][14]["rect"][3] for l in j["cells"][14]["lines"])' \
  render month 2026-07 --size 700x500 crowd.kov

# Havdalah and candle-lighting, switched on in the configuration (bytes 302 and 304).
"${kvtool[@]}" config new c.kvc --data-folder . >/dev/null 2>&1
printf '\001' | dd of=c.kvc bs=1 seek=302 conv=notrunc status=none
printf '\001' | dd of=c.kvc bs=1 seek=304 conv=notrunc status=none
# Longyearbyen in midsummer: the sun does not set on Saturday 20 June 2026.
check 'j["cells"][19]["time"] == "Please consult your Rabbi."' \
  render month 2026-06 --size 700x600 --config c.kvc --lat 78.22 --lon 15.65 --zone 3
# Amsterdam: times on Fridays and Saturdays only.
check 'j["cells"][18]["time"] not in (None, "Please consult your Rabbi.") and j["cells"][19]["time"] is not None and j["cells"][17]["time"] is None' \
  render month 2026-06 --size 700x600 --config c.kvc --lat 52.37 --lon 4.9 --zone 3
# Without a point of reference neither shows.
check 'all(c["time"] is None and c["moon"] == 0 for c in j["cells"])' render month 2026-06 --size 700x600 --config c.kvc

# Jewish-primary months and the SVG picture.
check 'j["title"] == "A D A R   I I" and len(j["cells"]) == 29' render month 5784-13 --jewish --size 700x600
run render month 2026-07 --size 700x600 --format svg t.kov
grep -q '<svg' out && grep -q 'Anna' out || { echo "FAIL: the SVG lacks the picture"; failures=$((failures + 1)); }

expect_exit 2 '' render month 2026-07
expect_exit 2 '' render month 2026-13 --size 700x600
expect_exit 2 '' render month 1582-12 --size 700x600
expect_exit 2 '' render month 2026-07 --size 700
expect_exit 2 '' render month 2026-07 --size 700x600 --format png
expect_exit 2 '' render month 2026-07 --size 700x600 --tab 2 t.kov
expect_exit 2 '' render month 2026-07 --size 700x600 --lat 52
expect_exit 2 '' render month 5785-13 --jewish --size 700x600
expect_exit 1 '' render month 2026-07 --size 700x600 missing.kov
expect_exit 1 '' render month 2026-07 --size 700x600 --config missing.kvc

finish "kvtool render month"
