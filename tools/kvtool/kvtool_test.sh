#!/usr/bin/env bash
# Runs kvtool's date and time commands and compares their output with what they must print.
# Usage: kvtool_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
failures=0
# Output goes through files: under Wine, reading a program's stderr through a pipe waits
# seconds for helper processes that hold the pipe.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

expect() {  # expect 'ARGS...' 'JSON'
  local args=$1 want=$2 got rc
  "${kvtool[@]}" $args >"$tmp/out" 2>"$tmp/err"; rc=$?
  got=$(tr -d '\r' <"$tmp/out")
  if [ $rc -ne 0 ] || [ "$got" != "$want" ]; then
    echo "FAIL: kvtool $args"; echo "  want: $want"; echo "  got:  $got (exit $rc)"; failures=$((failures + 1))
  fi
}

expect_exit() {  # expect_exit CODE ARGS...
  local code=$1; shift
  local err rc
  "${kvtool[@]}" "$@" >"$tmp/out" 2>"$tmp/err"; rc=$?
  err=$(cat "$tmp/err")
  if [ $rc -ne "$code" ]; then
    echo "FAIL: kvtool $* exited $rc, want $code"; failures=$((failures + 1))
  elif [ -z "$err" ]; then
    echo "FAIL: kvtool $* gave no message on stderr"; failures=$((failures + 1))
  fi
}

expect 'date 2000-01-01' '{"daynumber":730120,"jdn":2451545,"weekday":6,"dayofyear":1,"yearlength":366,"week":52,"minutekey":1071360000}'
expect 'date 0001-01-01' '{"daynumber":1,"jdn":1721426,"weekday":1,"dayofyear":1,"yearlength":365,"week":1,"minutekey":535680}'
expect 'date 2024-12-30' '{"daynumber":739250,"jdn":2460675,"weekday":1,"dayofyear":365,"yearlength":366,"week":1,"minutekey":1084749120}'
expect 'date-from-jdn 2451545' '{"date":"2000-01-01"}'
expect 'date-from-jdn 2299161' '{"date":"1582-10-15"}'
expect 'easter 2024' '{"month":3,"day":31}'
expect 'easter 2038' '{"month":4,"day":25}'
expect 'format-date 2026-12-05' '{"text":"Saturday, December 5, 2026"}'
expect 'format-date --short 2026-12-05' '{"text":"12/5/26"}'
expect "format-date --picture dd.MM.yyyy 2026-12-05" '{"text":"05.12.2026"}'
expect 'format-time 0' '{"text":"12:00 AM"}'
expect 'format-time 750 --compact --letter' '{"text":"12:30p"}'
expect 'format-time 750 --compact' '{"text":"12:30 PM"}'
expect 'format-time 65 --24h --lzero' '{"text":"01:05"}'
expect 'format-time 1440 --compact --24h' '{"text":"24:00"}'
expect 'minutekey 2026-12-05T14:30' '{"key":1085785350}'
expect 'minutekey --decode 1085785350' '{"date":"2026-12-05T14:30"}'
expect 'parse-time 9:30p' '{"minutes":1290}'
expect 'parse-time 0930' '{"minutes":570}'
expect 'parse-time 21:30 --24h' '{"minutes":1290}'

expect_exit 2 date 2026-13-01
expect_exit 2 date 2026-02-30
expect_exit 2 date 2023-02-29
expect_exit 2 date yesterday
expect_exit 2 date 2026-1-5
expect_exit 2 date
expect_exit 2 date 2026-01-01 extra
expect_exit 2 date-from-jdn twelve
expect_exit 2 date-from-jdn 0
expect_exit 2 easter 1200
expect_exit 2 easter 20x4
expect_exit 2 format-time 1440
expect_exit 2 format-time -5
expect_exit 2 format-time 90 --letter
expect_exit 2 minutekey 2026-12-05T24:00
expect_exit 2 minutekey 2026-12-05
expect_exit 2 minutekey --decode 1085375520
expect_exit 2 minutekey --decode abc
expect_exit 2 no-such-command
expect_exit 1 parse-time noon
expect_exit 1 parse-time '9:30 PM' --24h

if [ $failures -ne 0 ]; then echo "$failures kvtool check(s) failed"; exit 1; fi
echo "kvtool: all checks passed"
