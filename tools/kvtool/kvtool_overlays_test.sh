#!/usr/bin/env bash
# Runs kvtool's Jewish calendar, overlay file, month and occurrence commands and compares their
# output with what they must print; checks that every standard overlay decompiles to a text
# that compiles back to the same bytes.
# Usage: kvtool_overlays_test.sh DATA_DIR [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
data=$1; shift
kvtool=("$@")
failures=0
# Output goes through files: under Wine, reading a program's stderr through a pipe waits
# seconds for helper processes that hold the pipe.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

expect() {  # expect 'ARGS...' 'OUTPUT'
  local args=$1 want=$2 got rc
  "${kvtool[@]}" $args >"$tmp/out" 2>"$tmp/err"; rc=$?
  got=$(tr -d '\r' <"$tmp/out")
  if [ $rc -ne 0 ] || [ "$got" != "$want" ]; then
    echo "FAIL: kvtool $args"; echo "  want: $want"; echo "  got:  $got (exit $rc)"; cat "$tmp/err"; failures=$((failures + 1))
  fi
}

expect_exit() {  # expect_exit CODE ARGS...
  local code=$1; shift
  local rc
  "${kvtool[@]}" "$@" >"$tmp/out" 2>"$tmp/err"; rc=$?
  if [ $rc -ne "$code" ]; then
    echo "FAIL: kvtool $* exited $rc, want $code"; failures=$((failures + 1))
  elif [ ! -s "$tmp/err" ]; then
    echo "FAIL: kvtool $* gave no message on stderr"; failures=$((failures + 1))
  fi
}

expect 'jewish 2026-09-12' '{"year":5787,"month":1,"day":1,"monthname":"Tishrei"}'
expect 'jewish 2026-12-05' '{"year":5787,"month":3,"day":25,"monthname":"Kislev"}'
expect 'jewish 2024-03-24' '{"year":5784,"month":13,"day":14,"monthname":"Adar II"}'
expect 'jewish 2024-03-01' '{"year":5784,"month":6,"day":21,"monthname":"Adar I"}'
expect 'jewish 1900-09-24' '{"year":5661,"month":1,"day":1,"monthname":"Tishrei"}'
expect 'gregorian 5661 1 1' '{"date":"1900-09-24"}'
expect 'gregorian 5784 13 14' '{"date":"2024-03-24"}'
expect 'gregorian 5787 3 25' '{"date":"2026-12-05"}'
expect 'jewish-year 5787' '{"type":6,"length":385,"leap":true,"newyear":"2026-09-12"}'
expect 'jewish-year 5784' '{"type":4,"length":383,"leap":true,"newyear":"2023-09-16"}'
expect 'jewish-year 5785' '{"type":3,"length":355,"leap":false,"newyear":"2024-10-03"}'
expect_exit 2 jewish 1500-01-01
expect_exit 2 gregorian 5785 13 1
expect_exit 2 gregorian 5784 2 30
expect_exit 2 gregorian 5785 14 1
expect_exit 2 jewish-year 100
expect_exit 2 jewish-year five

cat >"$tmp/t.kovtxt" <<'SRC'
overlay highlight=1
event "Independence Day" kind=annual month=7 day=4 weekend=nearest above=10 highlight=1
event "Anna" kind=birthday year=1990 month=7 day=12 below=10
event "Max and Julia" kind=anniversary year=2001 month=7 day=20 anniversary=wedding below=10
event "Yoga" kind=weekly weekday=tue time=18:00 sametime=2
SRC
expect "overlay compile $tmp/t.kovtxt $tmp/t.kov" '{"events":4,"bytes":305}'
expect "month 2026-07 $tmp/t.kov" '{"days":{"3":[{"text":"Independence Day","weight":2990,"sametime":0,"highlight":1,"source":1,"offset":0,"gift":0}],"7":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}],"12":[{"text":"Anna'"'"'s 36th Birthday","weight":-2010,"sametime":0,"highlight":1,"source":2,"offset":0,"gift":0}],"14":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}],"20":[{"text":"Max and Julia'"'"'s 25th Anniversary","weight":-2010,"sametime":0,"highlight":1,"source":3,"offset":0,"gift":17}],"21":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}],"28":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}]},"marks":{"prev":[],"cur":[3,7,12,14,20,21,28],"next":[]},"flags":{"3":1,"7":1,"12":1,"14":1,"20":1,"21":1,"28":1}}'
expect "occurrences --from 2026-07-01 --to 2026-07-14 $tmp/t.kov" '{"occurrences":[{"date":"2026-07-03","text":"Independence Day","overlay":1},{"date":"2026-07-07","text":"6:00p Yoga","overlay":1},{"date":"2026-07-12","text":"Anna'"'"'s 36th Birthday","overlay":1},{"date":"2026-07-14","text":"6:00p Yoga","overlay":1}]}'
expect "overlay dump $tmp/t.kov" '{"format":6,"accent":{"highlight":1,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"events":[{"kind":6,"year":0,"month":7,"day":4,"range_end":[0,0,0],"param":0,"offset":0,"flags":7,"weight":2990,"sametime":0,"zone":0,"accent":{"highlight":1,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Independence Day"},{"kind":9,"year":1990,"month":7,"day":12,"range_end":[0,0,0],"param":0,"offset":0,"flags":8,"weight":-2010,"sametime":0,"zone":0,"accent":{"highlight":0,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Anna"},{"kind":10,"year":2001,"month":7,"day":20,"range_end":[0,0,0],"param":0,"offset":0,"flags":8,"weight":-2010,"sametime":0,"zone":0,"accent":{"highlight":0,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Max and Julia"},{"kind":2,"year":0,"month":0,"day":0,"range_end":[0,0,0],"param":2,"offset":0,"flags":16,"weight":360,"sametime":2,"zone":0,"accent":{"highlight":0,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Yoga"}]}'
# The second overlay's tab: 4 July 2026 is a Saturday: the holiday on the 4th, its day off on Friday the 3rd.
expect "month 2026-07 --tab 2 $tmp/t.kov $data/USA_HDAY.DAT" '{"days":{"3":[{"text":"Independence Day (observed)","weight":2990,"sametime":0,"highlight":1,"source":16,"offset":0,"gift":0}],"4":[{"text":"Independence Day","weight":2990,"sametime":0,"highlight":1,"source":60,"offset":0,"gift":0}]},"marks":{"prev":[19],"cur":[3,4],"next":[]},"flags":{"3":1,"4":1}}'
expect "month 5784-13 --jewish $data/JEWISH.DAT" '{"days":{"1":[{"text":"Rosh Chodesh","weight":2970,"sametime":0,"highlight":0,"source":1,"offset":0,"gift":0}],"11":[{"text":"Fast of Esther","weight":2980,"sametime":0,"highlight":0,"source":12,"offset":0,"gift":0}],"14":[{"text":"Purim","weight":2980,"sametime":0,"highlight":0,"source":13,"offset":0,"gift":0}],"15":[{"text":"Shushan Purim","weight":2980,"sametime":0,"highlight":0,"source":14,"offset":0,"gift":0}]},"marks":{"prev":[],"cur":[],"next":[]},"flags":{"1":1,"11":1,"14":1,"15":1}}'
expect "occurrences --from 2026-12-24 --to 2026-12-28 $data/GBR_HDAY.DAT $data/CHRSTIAN.DAT" '{"occurrences":[{"date":"2026-12-24","text":"Christmas Eve","overlay":2},{"date":"2026-12-24","text":"Christmas Eve","overlay":1},{"date":"2026-12-25","text":"Christmas Day","overlay":1},{"date":"2026-12-25","text":"Christmas Day","overlay":2},{"date":"2026-12-26","text":"Boxing Day","overlay":1},{"date":"2026-12-26","text":"St. Stephen'"'"'s Day","overlay":2},{"date":"2026-12-28","text":"Boxing Day (observed)","overlay":1},{"date":"2026-12-28","text":"Holy Innocents","overlay":2}]}'

# Every standard overlay: decompiled and compiled again, byte for byte.
for f in USA_HDAY CAN_HDAY GBR_HDAY FRA_HDAY CHRSTIAN JEWISH SAMPLE; do
  "${kvtool[@]}" overlay decompile "$data/$f.DAT" >"$tmp/$f.txt" 2>"$tmp/err" &&
    "${kvtool[@]}" overlay compile "$tmp/$f.txt" "$tmp/$f.DAT" >"$tmp/out" 2>>"$tmp/err" &&
    cmp -s "$data/$f.DAT" "$tmp/$f.DAT" || { echo "FAIL: $f.DAT does not survive decompile and compile"; cat "$tmp/err"; failures=$((failures + 1)); }
done

printf 'overlay\nevent "x" kind=annual month=13x\n' >"$tmp/bad.kovtxt"
expect_exit 1 overlay compile "$tmp/bad.kovtxt" "$tmp/bad.kov"
expect_exit 1 overlay dump "$tmp/missing.kov"
head -c 100 "$data/USA_HDAY.DAT" >"$tmp/cut.kov"
expect_exit 1 overlay dump "$tmp/cut.kov"
expect_exit 1 overlay decompile "$tmp/cut.kov"
expect_exit 1 month 2026-07 "$tmp/cut.kov"
expect_exit 2 month 2026-13 "$tmp/t.kov"
expect_exit 2 month 5785-13 --jewish "$tmp/t.kov"
expect_exit 2 month 2026-07
expect_exit 2 month 2026-07 --tab 3 "$tmp/t.kov"
expect_exit 2 occurrences --from 2026-07-10 --to 2026-07-01 "$tmp/t.kov"
expect_exit 2 occurrences --from 2026-07-10 "$tmp/t.kov"

if [ $failures -ne 0 ]; then echo "$failures kvtool overlay check(s) failed"; exit 1; fi
echo "kvtool overlays: all checks passed"
