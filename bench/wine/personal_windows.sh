#!/usr/bin/env bash
# The personal windows with full stores under Wine: F6 to the To Do window painted with 1,000
# items, F7 to the phonebook painted with 2,048 entries, and Find to 5,000 hits listed in the
# Search window. The stores are prepared once with kvtool (an iCalendar file of 1,000 to-dos and
# 5,000 meetings in the search's default range, and a full phonebook). Prints the medians of RUNS
# openings each; asserts nothing.
#   ctest --test-dir build/windows -R win.bench.personal_windows --verbose      (RUNS=5 by default)
. "$(dirname "$0")/../../tests/ui/lib.sh"
runs=${RUNS:-5}
VK_F6=0x75 VK_F7=0x76 VK_F3=0x72
FIND=1720 TEXT=1721 LVM_GETITEMCOUNT=0x1004

now_ms() { date +%s%3N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
# Without a window manager Wine holds the program's thread up to 2 s while a closed window is
# taken down: every opening starts after a pause, or it would measure the last close.
settle() { sleep 2.5; driver send KV4Frame 0 0 0 >/dev/null; }

fresh_profile
db="$data/Databases/Default"
mkdir -p "$db"
python3 - "$kv_tmp/bench.ics" <<'PY'
import datetime, sys
lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Kalvora bench//EN"]
for i in range(1000):
    lines += ["BEGIN:VTODO", f"UID:t{i}@bench", f"SUMMARY:Errand {i}",
              f"DUE;VALUE=DATE:202701{1 + i % 28:02d}", f"PRIORITY:{1 + i % 3}", "END:VTODO"]
first = datetime.date(2026, 12, 1)
for i in range(5000):
    day = first + datetime.timedelta(days=i // 140)
    start = (i % 140) * 10
    stamp = day.strftime("%Y%m%d")
    lines += ["BEGIN:VEVENT", f"UID:e{i}@bench", f"SUMMARY:Zephyr meeting {i}",
              f"DTSTART:{stamp}T{start // 60:02d}{start % 60:02d}00",
              f"DTEND:{stamp}T{start // 60:02d}{start % 60 + 5:02d}00", "END:VEVENT"]
lines.append("END:VCALENDAR")
open(sys.argv[1], "w", newline="").write("\r\n".join(lines) + "\r\n")
PY
kvtool ical import --db "$(winpath "$db")" "$(winpath "$kv_tmp/bench.ics")" --answer ok >"$kv_tmp/import.out"
grep -q '"schedule_items":5000' "$kv_tmp/import.out" || fail "the import did not store the meetings: $(cat "$kv_tmp/import.out")"
kvtool phone fill --db "$(winpath "$db")" --count 2048 >/dev/null || fail "kvtool phone fill failed"

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
: >"$kv_tmp/todo.ms"
: >"$kv_tmp/phone.ms"
: >"$kv_tmp/search.ms"
for _ in $(seq 1 "$runs"); do
  settle
  t0=$(now_ms)
  driver key KV4Frame $VK_F6 >/dev/null
  driver painted KV4Frame/KVToDo 20000 >/dev/null || { fail "the To Do window was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/todo.ms"
  driver close KV4Frame/KVToDo >/dev/null

  settle
  t0=$(now_ms)
  driver key KV4Frame $VK_F7 >/dev/null
  driver painted KV4Frame/MDIDialogClass 20000 >/dev/null || { fail "the phonebook was not painted"; break; }
  echo $(($(now_ms) - t0)) >>"$kv_tmp/phone.ms"
  driver close KV4Frame/MDIDialogClass >/dev/null

  settle
  driver key KV4Frame $VK_F3 >/dev/null
  driver wait KVSearch 10000 >/dev/null || { fail "F3 did not open the Search window"; break; }
  driver settext KVSearch $TEXT zephyr >/dev/null
  settle
  t0=$(now_ms)
  driver command KVSearch $FIND >/dev/null
  wait_for 5000 eval "driver send KVSearch/SysListView32 $LVM_GETITEMCOUNT 0 0" ||
    { fail "the search did not list 5000 hits: $(driver send KVSearch/SysListView32 $LVM_GETITEMCOUNT 0 0)"; break; }
  driver painted KVSearch/SysListView32 20000 >/dev/null
  echo $(($(now_ms) - t0)) >>"$kv_tmp/search.ms"
  driver command KVSearch 2 >/dev/null
  driver gone KVSearch 5000 >/dev/null
done
close_and_wait

for k in todo phone search; do
  echo "$k: $(median <"$kv_tmp/$k.ms") ms (median of $runs: $(tr '\n' ' ' <"$kv_tmp/$k.ms"))"
done
finish
