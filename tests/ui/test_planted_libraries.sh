#!/usr/bin/env bash
# A copy of the program in a downloads folder that also holds libraries named like the system
# ones it loads (dwmapi.dll, uxtheme.dll, ...): the program starts and never loads them. Wine is
# told to prefer native libraries, so only the search order decides which file is used.
source "$(dirname "$0")/lib.sh"
fresh_profile

planted="$KV_BUILD/test-libraries/planted.dll"
[ -f "$planted" ] || { fail "the planted library was not built ($planted)"; finish; }
names="dwmapi uxtheme shlwapi comdlg32 msimg32 hhctrl wininet"
for n in $names; do
  if [ "$n" = hhctrl ]; then cp "$planted" "$prog/hhctrl.ocx"; else cp "$planted" "$prog/$n.dll"; fi
done
cp "$KV_BIN/kvtool.exe" "$prog/"
marker="$kv_tmp/loaded.txt"
rm -f "$marker"
overrides="WINEDLLOVERRIDES=$(echo "$names" | tr ' ' ',')=n,b"

# The program itself, started from its folder (the current folder too is the planted one).
cd "$prog" || exit 1
KV_ENV="$overrides KV_PLANTED_MARKER=$(winpath "$marker")" start_and_wait && close_and_wait
[ -f "$marker" ] && fail "a planted library was loaded: $(tr -d '\r' <"$marker")"

# kvtool from the same folder.
rm -f "$marker"
out=$(env "$overrides" KV_PLANTED_MARKER="$(winpath "$marker")" "$KV_RUNNER" "$prog/kvtool.exe" date 2000-01-01 2>&1 | tr -d '\r')
case "$out" in *'"jdn":2451545'*) ;; *) fail "kvtool from the planted folder printed \"$out\"" ;; esac
[ -f "$marker" ] && fail "kvtool loaded a planted library: $(tr -d '\r' <"$marker")"
cd / || true
finish
