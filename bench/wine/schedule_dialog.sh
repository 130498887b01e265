#!/usr/bin/env bash
# Opening the "Schedule Event" dialog under Wine: Enter on a picked time in the schedule window,
# to the dialog with its date box painted; beside it the same two driver calls around Quick Edit,
# a smaller dialog. Prints the medians of RUNS openings each; asserts nothing.
#   ctest --test-dir build/windows -R win.bench.schedule_dialog --verbose      (RUNS=9 by default)
#
# Without a window manager (Xvfb here) Wine waits up to 2 s for the X server to take a closed
# dialog's window down, holding the program's thread; each opening therefore starts after a pause,
# or it would measure the last close instead.
. "$(dirname "$0")/../../tests/ui/lib.sh"
runs=${RUNS:-9}
VK_F5=0x74 VK_RETURN=0x0D
WM_LBUTTONDOWN=0x201 WM_LBUTTONUP=0x202

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
caption() { driver dialog 0 2>/dev/null | head -1; }
settle() { sleep 2.5; driver send KV4Frame 0 0 0 >/dev/null; }

fresh_profile
KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver key KV4Frame $VK_F5 >/dev/null
wait_for 1 eval 'desk_line KVSched | wc -l' || fail "F5 did not open the schedule window"
# A time picked near the top of the grid: Enter then asks for a new item there.
driver post KV4Frame/KVSchedTxt $WM_LBUTTONDOWN 1 $(( (4 << 16) | 200 )) >/dev/null
driver post KV4Frame/KVSchedTxt $WM_LBUTTONUP 0 $(( (4 << 16) | 200 )) >/dev/null
: >"$kv_tmp/schedule.ms"
: >"$kv_tmp/quick.ms"
for _ in $(seq 1 "$runs"); do
  settle
  t0=$(now_ms)
  driver key KV4Frame/KVSchedTxt $VK_RETURN >/dev/null
  driver painted '#32770/Datebox' 10000 >/dev/null || { fail "the Schedule Event dialog was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/schedule.ms"
  [ "$(caption)" = "Schedule Event" ] || fail "the dialog up is \"$(caption)\""
  driver answer 2 >/dev/null
  wait_for "" caption || { fail "the dialog did not close"; break; }

  settle
  t0=$(now_ms)
  driver command KV4Frame 1310 >/dev/null
  driver painted '#32770/ListBox' 10000 >/dev/null || { fail "Quick Edit was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/quick.ms"
  driver answer 2 >/dev/null
  wait_for "" caption || { fail "Quick Edit did not close"; break; }
done
close_and_wait

s=$(median <"$kv_tmp/schedule.ms")
q=$(median <"$kv_tmp/quick.ms")
echo "Schedule Event dialog, Enter to painted: ${s} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/schedule.ms"))"
echo "Quick Edit, command to painted:          ${q} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/quick.ms"))"
finish
