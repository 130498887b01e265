#!/usr/bin/env bash
# scripts/run as a new user meets it: an empty home folder (so a Wine prefix made from nothing)
# and no X display. The script must end by itself with exit code 0, and the program's first
# start must have set up its data folder with the standard overlays and a configuration that
# loads them. Usage: tests/run_fresh.sh [SECONDS] (the bound for the whole run, default 600).
set -u
cd "$(dirname "$0")/.." || exit 1
top=$PWD
limit=${1:-600}

home=$(mktemp -d /tmp/kvfresh.XXXXXX)
prefix="$home/.local/share/kalvora/wine"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
finish() {
  # Whatever a failed run left of its Wine session in this test's own prefix.
  if [ -d "$prefix" ]; then WINEPREFIX="$prefix" timeout 30 wineserver -k >/dev/null 2>&1; fi
  rm -rf "$home"
}
trap finish EXIT

start=$(date +%s)
env -u DISPLAY -u WINEPREFIX -u KV_WINEPREFIX HOME="$home" timeout "$limit" scripts/run >"$home/run.log" 2>&1
rc=$?
took=$(($(date +%s) - start))
echo "scripts/run with an empty HOME: exit code $rc after $took s"
if [ "$rc" -ne 0 ]; then
  if [ "$rc" -eq 124 ]; then fail "scripts/run did not end within $limit s"; else fail "scripts/run exited with $rc"; fi
  sed 's/^/  | /' "$home/run.log"
fi

# The data folder: "My Calendars" in the prefix's documents folder (shell folder "Personal").
data=""
for d in "$prefix"/drive_c/users/*/Documents/"My Calendars"; do [ -d "$d" ] && data=$d; done
if [ -z "$data" ]; then
  fail "no data folder \"My Calendars\" in the prefix's documents folder"
else
  for o in "Holidays (USA)" "Holidays (Canada)" "Holidays (UK)" "Holidays (France)" "Holidays (Christian)" \
           "Holidays (Jewish)" "Sample"; do
    [ -s "$data/Overlays/$o.kov" ] || fail "the standard overlay \"$o.kov\" is missing from the data folder"
  done
  kvtool=""
  for k in "$top/build/native/bin/kvtool" "$top/build/windows/host-tools/bin/kvtool"; do
    [ -x "$k" ] && { kvtool=$k; break; }
  done
  if [ ! -f "$data/default.kvc" ]; then
    fail "default.kvc is missing from the data folder"
  elif [ -z "$kvtool" ]; then
    fail "no kvtool for the build machine to read default.kvc with (scripts/build native kvtool)"
  elif ! "$kvtool" config dump "$data/default.kvc" >"$home/dump.json" 2>"$home/dump.err"; then
    fail "kvtool cannot read default.kvc: $(cat "$home/dump.err")"
  else
    names=$(/usr/bin/python3 -c '
import json, sys
for path in json.load(open(sys.argv[1]))["overlays"]: print(path.split("\\")[-1])' "$home/dump.json")
    for o in "Holidays (Christian).kov" "Holidays (Jewish).kov" "Sample.kov"; do
      grep -qxF "$o" <<<"$names" || fail "default.kvc does not load \"$o\"; it loads: $(paste -sd, <<<"$names")"
    done
  fi
fi

if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all checks passed"
