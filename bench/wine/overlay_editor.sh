#!/usr/bin/env bash
# Opening the "Edit Overlay Event" dialog under Wine: "Ne&w..." in "Configure Overlays", to the
# editor with its date box painted. Prints the median of RUNS openings; asserts nothing.
#   ctest --test-dir build/windows -R win.bench.overlay_editor --verbose      (RUNS=9 by default)
#
# Without a window manager (Xvfb here) Wine waits up to 2 s for the X server to take a closed
# dialog's window down; each opening therefore starts after a pause.
. "$(dirname "$0")/../../tests/ui/lib.sh"
runs=${RUNS:-9}
CMD_OVERLAYS=1207 OVC_LIST=18801 OVC_EVENT_NEW=18811

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
caption() { driver dialog 0 2>/dev/null | head -1; }

fresh_profile
KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
sleep 3  # the first use adds the standard overlays
driver command KV4Frame $CMD_OVERLAYS >/dev/null
wait_for "Configure Overlays" caption || fail "Configure Overlays did not open"
driver select dialog $OVC_LIST 0 >/dev/null
: >"$kv_tmp/editor.ms"
for _ in $(seq 1 "$runs"); do
  sleep 2.5
  t0=$(now_ms)
  driver command dialog $OVC_EVENT_NEW >/dev/null
  wait_for "Edit Overlay Event" caption || { fail "the editor did not open"; break; }
  driver painted '#32770/Datebox' 10000 >/dev/null || { fail "the editor was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/editor.ms"
  driver answer 2 >/dev/null
  wait_for "Configure Overlays" caption || { fail "the editor did not close"; break; }
done
driver answer 2 >/dev/null
close_and_wait
e=$(median <"$kv_tmp/editor.ms")
echo "Edit Overlay Event, New... to painted: ${e} ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/editor.ms"))"
finish
