#!/usr/bin/env bash
# kvtool parse-date: typed dates read as the date boxes read them, against a fixed today, with
# the default (United States) pictures and with pictures of other orders; refusals exit 1,
# bad usage 2. The unit tests of the date reader cover the many more forms.
# Usage: kvtool_parse_date_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

now=(--now 2026-12-07)
good() { expect "{\"date\":\"$1\"}" parse-date "${@:2}" "${now[@]}"; }
bad() { expect_exit 1 "is not a date" parse-date "$@" "${now[@]}"; }

good 2026-03-15 "3/15/2026"
good 2026-03-15 "3/15/26"
good 2026-03-15 "3/15"
good 2026-05-07 "5"
good 2026-12-25 "dec 25"
good 2026-12-07 "Monday, December 7, 2026"
good 2027-01-01 "Fri Jan 1 2027"
good 1976-07-04 "Jul 4th, 1976"
good 2028-02-29 "2/29/2028"
good 2026-01-31 "31.01.2026" --picture dd.MM.yyyy
good 2026-03-15 "15.3" --picture dd.MM.yyyy
good 2026-02-03 "2026-02-03" --picture yyyy-MM-dd

bad "31/02/2026" --picture dd/MM/yyyy
bad "2/31/2026"
bad "Feb 30"
bad "Mon Tue 5"
bad "Jan Feb 5"
bad ""
bad "99999"
bad "1/2/3/4"
bad "2/29/2027"
bad "someday"

expect_exit 2 "text" parse-date
expect_exit 2 "" parse-date "1/1/2026" --now 2026-02-30
run parse-date "1/1/2030"; [ $? -eq 0 ] && grep -q '"2030-01-01"' out || { echo "FAIL: parse-date without --now"; failures=$((failures + 1)); }

finish kvtool_parse_date
