#!/usr/bin/env bash
# kvtool's Jewish calendar, overlay file, month and occurrence commands: one run of each for the
# shape of what it prints, files compiled and read back, the arguments refused; and every
# standard overlay decompiles to a text that compiles back to the same bytes. The calendar and
# overlay rules themselves are for the unit tests.
# Usage: kvtool_overlays_test.sh DATA_DIR [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
data=$1; shift
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

expect '{"year":5787,"month":3,"day":25,"monthname":"Kislev"}' jewish 2026-12-05
expect '{"date":"2024-03-24"}' gregorian 5784 13 14
expect '{"type":6,"length":385,"leap":true,"newyear":"2026-09-12"}' jewish-year 5787
expect_exit 2 'converted from 1583 on' jewish 1500-01-01
expect_exit 2 '' gregorian 5785 13 1
expect_exit 2 '' gregorian 5784 2 30
expect_exit 2 '' gregorian 5785 14 1
expect_exit 2 'must be between' jewish-year 100
expect_exit 2 'must be a whole number' jewish-year five

cat >t.kovtxt <<'SRC'
overlay highlight=1
event "Independence Day" kind=annual month=7 day=4 weekend=nearest above=10 highlight=1
event "Anna" kind=birthday year=1990 month=7 day=12 below=10
event "Max and Julia" kind=anniversary year=2001 month=7 day=20 anniversary=wedding below=10
event "Yoga" kind=weekly weekday=tue time=18:00 sametime=2
SRC
expect '{"events":4,"bytes":305}' overlay compile t.kovtxt t.kov
expect '{"days":{"3":[{"text":"Independence Day","weight":2990,"sametime":0,"highlight":1,"source":1,"offset":0,"gift":0}],"7":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}],"12":[{"text":"Anna'"'"'s 36th Birthday","weight":-2010,"sametime":0,"highlight":1,"source":2,"offset":0,"gift":0}],"14":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}],"20":[{"text":"Max and Julia'"'"'s 25th Anniversary","weight":-2010,"sametime":0,"highlight":1,"source":3,"offset":0,"gift":17}],"21":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}],"28":[{"text":"6:00p Yoga","weight":360,"sametime":2,"highlight":1,"source":0,"offset":0,"gift":0}]},"marks":{"prev":[],"cur":[3,7,12,14,20,21,28],"next":[]},"flags":{"3":1,"7":1,"12":1,"14":1,"20":1,"21":1,"28":1}}' month 2026-07 t.kov
expect '{"occurrences":[{"date":"2026-07-03","text":"Independence Day","overlay":1},{"date":"2026-07-07","text":"6:00p Yoga","overlay":1},{"date":"2026-07-12","text":"Anna'"'"'s 36th Birthday","overlay":1},{"date":"2026-07-14","text":"6:00p Yoga","overlay":1}]}' occurrences --from 2026-07-01 --to 2026-07-14 t.kov
expect '{"format":6,"accent":{"highlight":1,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"events":[{"kind":6,"year":0,"month":7,"day":4,"range_end":[0,0,0],"param":0,"offset":0,"flags":7,"weight":2990,"sametime":0,"zone":0,"accent":{"highlight":1,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Independence Day"},{"kind":9,"year":1990,"month":7,"day":12,"range_end":[0,0,0],"param":0,"offset":0,"flags":8,"weight":-2010,"sametime":0,"zone":0,"accent":{"highlight":0,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Anna"},{"kind":10,"year":2001,"month":7,"day":20,"range_end":[0,0,0],"param":0,"offset":0,"flags":8,"weight":-2010,"sametime":0,"zone":0,"accent":{"highlight":0,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Max and Julia"},{"kind":2,"year":0,"month":0,"day":0,"range_end":[0,0,0],"param":2,"offset":0,"flags":16,"weight":360,"sametime":2,"zone":0,"accent":{"highlight":0,"flags":0,"icon":0,"pattern":0,"pattern_colour":0,"text_colour":0},"text":"Yoga"}]}' overlay dump t.kov
# The second overlay's tab: 4 July 2026 is a Saturday: the holiday on the 4th, its day off on Friday the 3rd.
expect '{"days":{"3":[{"text":"Independence Day (observed)","weight":2990,"sametime":0,"highlight":1,"source":16,"offset":0,"gift":0}],"4":[{"text":"Independence Day","weight":2990,"sametime":0,"highlight":1,"source":60,"offset":0,"gift":0}]},"marks":{"prev":[19],"cur":[3,4],"next":[]},"flags":{"3":1,"4":1}}' month 2026-07 --tab 2 t.kov "$data/USA_HDAY.DAT"
expect '{"days":{"1":[{"text":"Rosh Chodesh","weight":2970,"sametime":0,"highlight":0,"source":1,"offset":0,"gift":0}],"11":[{"text":"Fast of Esther","weight":2980,"sametime":0,"highlight":0,"source":12,"offset":0,"gift":0}],"14":[{"text":"Purim","weight":2980,"sametime":0,"highlight":0,"source":13,"offset":0,"gift":0}],"15":[{"text":"Shushan Purim","weight":2980,"sametime":0,"highlight":0,"source":14,"offset":0,"gift":0}]},"marks":{"prev":[],"cur":[],"next":[]},"flags":{"1":1,"11":1,"14":1,"15":1}}' month 5784-13 --jewish "$data/JEWISH.DAT"
expect '{"occurrences":[{"date":"2026-12-24","text":"Christmas Eve","overlay":2},{"date":"2026-12-24","text":"Christmas Eve","overlay":1},{"date":"2026-12-25","text":"Christmas Day","overlay":1},{"date":"2026-12-25","text":"Christmas Day","overlay":2},{"date":"2026-12-26","text":"Boxing Day","overlay":1},{"date":"2026-12-26","text":"St. Stephen'"'"'s Day","overlay":2},{"date":"2026-12-28","text":"Boxing Day (observed)","overlay":1},{"date":"2026-12-28","text":"Holy Innocents","overlay":2}]}' occurrences --from 2026-12-24 --to 2026-12-28 "$data/GBR_HDAY.DAT" "$data/CHRSTIAN.DAT"

# Every standard overlay: decompiled and compiled again, byte for byte.
for f in USA_HDAY CAN_HDAY GBR_HDAY FRA_HDAY CHRSTIAN JEWISH SAMPLE; do
  "${kvtool[@]}" overlay decompile "$data/$f.DAT" >"$f.txt" 2>err &&
    "${kvtool[@]}" overlay compile "$f.txt" "$f.DAT" >out 2>>err &&
    cmp -s "$data/$f.DAT" "$f.DAT" || { echo "FAIL: $f.DAT does not survive decompile and compile"; cat err; failures=$((failures + 1)); }
done

printf 'overlay\nevent "x" kind=annual month=13x\n' >bad.kovtxt
expect_exit 1 'bad.kovtxt' overlay compile bad.kovtxt bad.kov
[ ! -e bad.kov ] || { echo "FAIL: a refused compile left bad.kov behind"; failures=$((failures + 1)); }
expect_exit 1 '' overlay dump missing.kov
head -c 100 "$data/USA_HDAY.DAT" >cut.kov
expect_exit 1 '' overlay dump cut.kov
expect_exit 1 '' overlay decompile cut.kov
expect_exit 1 '' month 2026-07 cut.kov
expect_exit 2 '' month 2026-13 t.kov
expect_exit 2 '' month 5785-13 --jewish t.kov
expect_exit 2 '' month 2026-07
expect_exit 2 '' month 2026-07 --tab 3 t.kov
expect_exit 2 '' occurrences --from 2026-07-10 --to 2026-07-01 t.kov
expect_exit 2 '' occurrences --from 2026-07-10 t.kov

finish "kvtool overlays"
