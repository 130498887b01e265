# Helpers for the UI tests of kalvora.exe (sourced by tests/ui/test_*.sh).
# The CTest fixture has made the Wine prefix and the X display; KV_RUNNER runs Windows programs
# in them, KV_BIN is the program folder of the build and KV_BUILD the build folder.
set -u
: "${KV_RUNNER:?}" "${KV_BIN:?}" "${KV_BUILD:?}"

failures=0
kv_pid=""

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

driver() { "$KV_RUNNER" "$KV_BIN/kvdriver.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# Starts kalvora.exe in the background with the given arguments; its pid is in kv_pid.
start_kalvora() {
  "$KV_RUNNER" "$KV_BIN/kalvora.exe" "$@" >/dev/null 2>&1 &
  kv_pid=$!
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

# Saves a screenshot of the whole X display as build/screenshots/NAME.png.
screenshot() {
  local display
  display=$(cat "$KV_BUILD/wine-display" 2>/dev/null) || return 0
  mkdir -p "$KV_BUILD/screenshots"
  import -display "$display" -window root "$KV_BUILD/screenshots/$1.png" 2>/dev/null ||
    echo "note: screenshot $1 could not be taken"
}

# Closes any kalvora.exe the test left running, so the next test starts clean.
cleanup_kalvora() {
  driver close KV4Frame >/dev/null 2>&1 || true
  driver gone KV4Frame 5000 >/dev/null 2>&1 || true
  if [ -n "$kv_pid" ]; then kill "$kv_pid" 2>/dev/null || true; fi
}
trap cleanup_kalvora EXIT

finish() {
  if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"
  exit 0
}
