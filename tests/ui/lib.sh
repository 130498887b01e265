# Helpers for the UI tests of kalvora.exe (sourced by tests/ui/test_*.sh).
# The CTest fixture has made the Wine prefix and the X display; KV_RUNNER runs Windows programs
# in them, KV_BIN is the program folder of the build and KV_BUILD the build folder.
set -u
: "${KV_RUNNER:?}" "${KV_BIN:?}" "${KV_BUILD:?}"

# The desktop (Wine prefix and X display) this test runs on. CTest hands it out as the resource
# "desktop" when run with --resource-spec-file tests/ctest-resources.json, so two tests run at
# once; without it every test takes desktop 0 in turn.
if [ -n "${CTEST_RESOURCE_GROUP_0_DESKTOP:-}" ]; then
  KV_LANE=$(echo "$CTEST_RESOURCE_GROUP_0_DESKTOP" | sed -n 's/.*id:\([0-9]*\).*/\1/p')
else
  KV_LANE=0
  exec 9>"$KV_BUILD/desktop-0.lock"
  flock 9
fi
export KV_LANE
if [ "$KV_LANE" = 0 ]; then lane_suffix=""; else lane_suffix="-$KV_LANE"; fi
export KV_WINEPREFIX="${KV_WINEPREFIX:-$KV_BUILD/wine-prefix}$lane_suffix"
kv_display_file="$KV_BUILD/wine-display$lane_suffix"

failures=0
kv_pid=""

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

driver() { "$KV_RUNNER" "$KV_BIN/kvdriver.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# --- a throwaway profile per test ------------------------------------------------------------
# Every test gets its own documents folder (the shell folder "Personal" points there), its own
# program folder (a copy of kalvora.exe with the data files of the build, or small stand-ins
# where the build has none yet) and a clean settings key.
kv_tmp=$(mktemp -d /tmp/kvui.XXXXXX)
docs="$kv_tmp/docs"
prog="$kv_tmp/prog"
data="$docs/My Calendars"
standins=""     # data files the build does not have yet, made up by the test

winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
wine_reg() { "$KV_RUNNER" reg "$@" >/dev/null 2>&1; }

# The value of a setting of the program (setting Configuration Active), empty when absent.
setting() {
  "$KV_RUNNER" reg query "HKCU\\Software\\Quorvex\\Kalvora\\$1" /v "$2" >"$kv_tmp/reg.out" 2>/dev/null
  tr -d '\r' <"$kv_tmp/reg.out" | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
set_setting() { wine_reg add "HKCU\\Software\\Quorvex\\Kalvora\\$1" /v "$2" /d "$3" /f; }

# An empty overlay file (its 40-byte header) for a standard overlay the build lacks.
empty_overlay() { printf 'KOV6\6\0\0\0' >"$1"; head -c 32 /dev/zero >>"$1"; }

fresh_profile() {
  rm -rf "$docs" "$prog"
  mkdir -p "$docs" "$prog/Data"
  cp "$KV_BIN/kalvora.exe" "$prog/"
  local f
  standins=""
  for f in USA_HDAY CAN_HDAY GBR_HDAY FRA_HDAY CHRSTIAN JEWISH SAMPLE; do
    if [ -f "$KV_BIN/Data/$f.DAT" ]; then cp "$KV_BIN/Data/$f.DAT" "$prog/Data/"
    else empty_overlay "$prog/Data/$f.DAT"; standins="$standins Data/$f.DAT"; fi
  done
  if [ -f "$KV_BIN/KVLOCATION.DAT" ]; then cp "$KV_BIN/KVLOCATION.DAT" "$prog/"
  else
    printf 'Boston, MA,42,21,30,-71,3,37,35\r\nParis,48,51,24,2,21,8,4\r\n' >"$prog/KVLOCATION.DAT"
    standins="$standins KVLOCATION.DAT"
  fi
  for f in KVTZX.DAT KVTZNAMES.DAT; do
    if [ -f "$KV_BIN/$f" ]; then cp "$KV_BIN/$f" "$prog/"; fi
  done
  if [ -d "$KV_BIN/Alarms" ]; then cp -r "$KV_BIN/Alarms" "$prog/"; fi
  if [ -f "$KV_BIN/kalvora.chm" ]; then cp "$KV_BIN/kalvora.chm" "$prog/"; fi
  wine_reg delete 'HKCU\Software\Quorvex' /f
  wine_reg delete 'HKCU\Software\Vantrelle' /f
  # The earlier maker's key without the program under it: the start is not a first run, so the
  # desktop icon offer of a first run stays out of the tests that are not about it.
  wine_reg add 'HKCU\Software\Vantrelle' /f
  local folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
  wine_reg add "$folders\\Shell Folders" /v Personal /d "$(winpath "$docs")" /f
  wine_reg add "$folders\\User Shell Folders" /v Personal /t REG_EXPAND_SZ /d "$(winpath "$docs")" /f
  return 0
}

note_standins() {
  if [ -n "$standins" ]; then echo "note: stand-in data files (the build has none yet):$standins"; fi
  return 0
}

# Starts kalvora.exe of the test's program folder in the background with the given arguments;
# its pid is in kv_pid. KV_ENV may hold NAME=VALUE words for its environment. A first use
# finishes without the welcome wizard unless KV_WELCOME=1.
start_kalvora() {
  local welcome=1
  [ "${KV_WELCOME:-0}" = 1 ] && welcome=0
  # shellcheck disable=SC2086
  env KALVORA_TEST_NO_WELCOME=$welcome ${KV_ENV:-} "$KV_RUNNER" "$prog/kalvora.exe" "$@" >/dev/null 2>&1 9>&- &
  kv_pid=$!
}

# Starts the program and waits for its frame.
start_and_wait() {
  start_kalvora "$@"
  driver wait KV4Frame 30000 >/dev/null || { fail "the frame did not appear"; return 1; }
  sleep 1
}

# Waits for a background process of this shell to end within SECONDS and puts its exit code
# in exit_code ("timeout" when it is still running). Not to be called in a subshell: only this
# shell can collect the code of its own children.
exit_code=""
wait_exit() {  # wait_exit PID SECONDS
  local pid=$1 seconds=$2 i
  for i in $(seq 1 $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      exit_code=$?
      return 0
    fi
    sleep 0.1
  done
  exit_code=timeout
  return 1
}

# Closes the frame and waits for the program to end with exit code 0.
close_and_wait() {
  driver close KV4Frame >/dev/null || fail "could not post WM_CLOSE"
  wait_exit "$kv_pid" 20 || fail "the program did not end within 20 s of WM_CLOSE"
  [ "$exit_code" = "0" ] || fail "the program exited with $exit_code"
  kv_pid=""
}

# Evaluates a Python expression over the bytes b of a configuration file, with readers of its
# fields: u8, u16, i16, i32 at an offset, text(offset, size), tail() (the overlay names).
kvc() {  # kvc FILE 'EXPRESSION'
  /usr/bin/python3 -c '
import struct, sys
b = open(sys.argv[1], "rb").read()
u8 = lambda o: b[o]
u16 = lambda o: struct.unpack_from("<H", b, o)[0]
i16 = lambda o: struct.unpack_from("<h", b, o)[0]
i32 = lambda o: struct.unpack_from("<i", b, o)[0]
text = lambda o, n: b[o:o + n].split(b"\0")[0].decode("cp1252")
tail = lambda: [n.decode("cp1252") for n in b[4448:].split(b"\x1c")[:-1]]
print(eval(sys.argv[2]))' "$1" "$2"
}

# Changes bytes of a configuration file: kvc_set FILE OFFSET FORMAT VALUE (struct format).
kvc_set() {
  /usr/bin/python3 -c '
import struct, sys
path, off, fmt, value = sys.argv[1], int(sys.argv[2]), sys.argv[3], eval(sys.argv[4])
b = bytearray(open(path, "rb").read())
struct.pack_into("<" + fmt, b, off, *(value if isinstance(value, tuple) else (value,)))
open(path, "wb").write(b)' "$1" "$2" "$3" "$4"
}

# Polls a command until it prints the expected text (up to 10 s); true when it did.
wait_for() {  # wait_for EXPECTED COMMAND...
  local want=$1 i
  shift
  for i in $(seq 1 50); do
    [ "$("$@" 2>/dev/null)" = "$want" ] && return 0
    sleep 0.2
  done
  return 1
}
caption_is() { wait_for "$1" driver caption KV4Frame; }

# The MDI children as "class x y width height state active" lines, top of the z-order first.
desk() { driver mdi KV4Frame; }
desk_line() { desk | awk -v c="$1" '$1 == c'; }
desk_classes() { desk | awk '{ printf "%s ", $1 }' | sed 's/ $//'; }

# Saves a screenshot of the whole X display as build/screenshots/NAME.png.
screenshot() {
  local display
  display=$(cat "$kv_display_file" 2>/dev/null) || return 0
  mkdir -p "$KV_BUILD/screenshots"
  import -display "$display" -window root "$KV_BUILD/screenshots/$1.png" 2>/dev/null ||
    echo "note: screenshot $1 could not be taken"
}

# Closes any kalvora.exe the test left running, so the next test starts clean, and removes the
# test's folders.
cleanup_kalvora() {
  if driver count KV4Frame 2>/dev/null | grep -q '^[1-9]'; then
    driver close KV4Frame >/dev/null 2>&1 || true
    # A program held up by a question box would stay for the next test: end it for good.
    driver gone KV4Frame 5000 >/dev/null 2>&1 || "$KV_RUNNER" taskkill /f /im kalvora.exe >/dev/null 2>&1 || true
  fi
  if [ -n "$kv_pid" ]; then kill "$kv_pid" 2>/dev/null || true; fi
  rm -rf "$kv_tmp"
}
trap cleanup_kalvora EXIT

# A fake GPS receiver (tests/fake_gps.py) on a pty that the prefix knows as COM6. After
# fake_gps_on_com6: feed JSON sets what it sends ({"feed": "silent"} and so on), start_gps starts
# it, stop_gps unplugs it.
fake_gps_on_com6() {
  gps_dir="$kv_tmp/gps"
  mkdir -p "$gps_dir"
  link="$gps_dir/com6"
  control="$gps_dir/gps.json"
  gps_pid=""
  trap 'stop_gps; cleanup_kalvora' EXIT
  wine_reg add 'HKLM\Software\Wine\Ports' /v COM6 /d "$link" /f
  ln -sfn "$link" "${KV_WINEPREFIX:?}/dosdevices/com6"
}
start_gps() {
  python3 "$(dirname "${BASH_SOURCE[0]}")/../fake_gps.py" --link "$link" --control "$control" --interval 0.5 >"$gps_dir/out" 2>&1 &
  gps_pid=$!
  wait_for ready cat "$gps_dir/out" || fail "the fake receiver did not start"
}
stop_gps() { if [ -n "${gps_pid:-}" ]; then kill "$gps_pid" 2>/dev/null; wait "$gps_pid" 2>/dev/null; gps_pid=""; fi; }
feed() { echo "$1" >"$control"; }

# The world map's pixel of a place, by the map's own projection (an independent copy of it).
pixel() {  # pixel LAT LON: "x y" of the map
  /usr/bin/python3 -c '
import math, sys
lat, lon = float(sys.argv[1]), float(sys.argv[2])
x = math.floor((lon + 180) * 800 / 360 + 0.5) + 774
x = x - 800 if x >= 800 else x
y = 289 - math.floor(math.log(math.tan(math.radians(lat) / 2 + math.pi / 4)) * 127.3239545 + 0.5)
print(x, y)' "$1" "$2"
}
# The lParam of a mouse message at X Y.
lparam() { echo $(($2 * 65536 + $1)); }

finish() {
  if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"
  exit 0
}
