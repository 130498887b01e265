#!/usr/bin/env bash
# Opening the "Schedule Event" dialog under Wine: the time from the "New Schedule Item..." press
# in Quick Edit to the dialog with its date box painted, beside the time from the Quick Edit
# command to Quick Edit painted (the same two driver calls around a smaller dialog). Prints the
# medians of RUNS openings each; asserts nothing.
#   ctest --test-dir build/windows -R win.bench.schedule_dialog --verbose      (RUNS=9 by default)
. "$(dirname "$0")/../../tests/ui/lib.sh"
runs=${RUNS:-9}
QE_NEW=11904

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
caption() { driver dialog 0 2>/dev/null | head -1; }

fresh_profile
KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
: >"$kv_tmp/schedule.ms"
: >"$kv_tmp/quick.ms"
for _ in $(seq 1 "$runs"); do
  t0=$(now_ms)
  driver command KV4Frame 1310 >/dev/null
  driver painted '#32770/ListBox' 10000 >/dev/null || { fail "Quick Edit was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/quick.ms"
  t0=$(now_ms)
  driver command '#32770' $QE_NEW >/dev/null
  driver painted '#32770/Datebox' 10000 >/dev/null || { fail "the Schedule Event dialog was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/schedule.ms"
  [ "$(caption)" = "Schedule Event" ] || fail "the dialog up is \"$(caption)\""
  driver answer 2 >/dev/null
  wait_for "" caption || { fail "the dialog did not close"; break; }
done
close_and_wait

s=$(median <"$kv_tmp/schedule.ms")
q=$(median <"$kv_tmp/quick.ms")
echo "Schedule Event dialog, press to painted: ${s} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/schedule.ms"))"
echo "Quick Edit, command to painted:         ${q} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/quick.ms"))"
finish
