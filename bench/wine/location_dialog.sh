#!/usr/bin/env bash
# Opening the "Configure location" dialog under Wine: the Configure menu's command to the dialog
# painted with its list of locations filled (the shipped list, read from "My Locations.dat"), and
# beside it "Edit Location" opened from it by "&Edit..." for the selected place. Prints the
# medians of RUNS openings each; asserts nothing.
#   ctest --test-dir build/windows -R win.bench.location_dialog --verbose      (RUNS=9 by default)
#
# Without a window manager (Xvfb here) Wine waits up to 2 s for the X server to take a closed
# dialog's window down, holding the program's thread; each opening therefore starts after a pause,
# or it would measure the last close instead.
. "$(dirname "$0")/../../tests/ui/lib.sh"
runs=${RUNS:-9}

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
caption() { driver dialog 0 2>/dev/null | head -1; }
settle() { sleep 2.5; driver send KV4Frame 0 0 0 >/dev/null; }

fresh_profile
KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
: >"$kv_tmp/configure.ms"
: >"$kv_tmp/edit.ms"
lines=0
for _ in $(seq 1 "$runs"); do
  settle
  t0=$(now_ms)
  driver command KV4Frame 1201 >/dev/null
  driver painted '#32770/ComboBox' 10000 >/dev/null || { fail "Configure location was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/configure.ms"
  [ "$(caption)" = "Configure location" ] || fail "the dialog up is \"$(caption)\""
  lines=$(driver lines dialog 17503 | wc -l)
  driver select dialog 17503 1 >/dev/null

  settle
  t0=$(now_ms)
  driver command dialog 17505 >/dev/null
  driver painted '#32770/Edit' 10000 >/dev/null || { fail "Edit Location was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/edit.ms"
  [ "$(caption)" = "Edit Location" ] || fail "the dialog up is \"$(caption)\""
  driver answer 2 >/dev/null
  wait_for "Configure location" caption || { fail "Edit Location did not close"; break; }
  driver answer 2 >/dev/null
  wait_for "" caption || { fail "Configure location did not close"; break; }
done
close_and_wait

c=$(median <"$kv_tmp/configure.ms")
e=$(median <"$kv_tmp/edit.ms")
echo "Configure location ($lines list entries), command to painted: ${c} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/configure.ms"))"
echo "Edit Location, Edit... to painted:                 ${e} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/edit.ms"))"
finish
