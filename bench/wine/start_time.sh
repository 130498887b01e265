#!/usr/bin/env bash
# Start-up benchmark under Wine: the time from starting kalvora.exe to its first painted month
# (a visible day cell with nothing left to paint), beside the same time for a minimal Win32
# program in the same prefix (bench/wine/minimal_window.c). Prints the medians of RUNS starts
# each and their ratio; asserts nothing.
#   ctest --test-dir build/windows -L benchmark --verbose      (RUNS=7 by default)
. "$(dirname "$0")/../../tests/ui/lib.sh"
runs=${RUNS:-7}

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

fresh_profile
# A first start makes the folders and the configuration; the timed starts find them.
start_and_wait
driver painted KV4Frame/KVDate 30000 >/dev/null || fail "the month was not painted on the first start"
close_and_wait

: >"$kv_tmp/kalvora.ms"
for _ in $(seq 1 "$runs"); do
  t0=$(now_ms)
  start_kalvora
  driver painted KV4Frame/KVDate 30000 >/dev/null || { fail "the month was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/kalvora.ms"
  close_and_wait
done

: >"$kv_tmp/minimal.ms"
for _ in $(seq 1 "$runs"); do
  t0=$(now_ms)
  "$KV_RUNNER" "$KV_BIN/kvminimal.exe" >/dev/null 2>&1 &
  pid=$!
  driver painted KVMinimalFrame/KVMinimalView 30000 >/dev/null || { fail "the minimal window was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/minimal.ms"
  driver close KVMinimalFrame >/dev/null
  wait_exit "$pid" 10 || kill "$pid" 2>/dev/null
done

k=$(median <"$kv_tmp/kalvora.ms")
m=$(median <"$kv_tmp/minimal.ms")
echo "kalvora.exe to first painted month: ${k} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/kalvora.ms"))"
echo "minimal Win32 window:               ${m} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/minimal.ms"))"
[ -n "$k" ] && [ -n "$m" ] && [ "$m" -gt 0 ] && awk -v k="$k" -v m="$m" 'BEGIN { printf "ratio: %.2f\n", k / m }'
finish
