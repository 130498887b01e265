#!/usr/bin/env bash
# CTest fixture of the Windows build: `setup` starts, for each desktop the UI tests run on, an X
# display (Xvfb) on a free number, makes a fresh Wine prefix and keeps its wineserver running for
# the whole test run; `cleanup` stops them. KV_WINEPREFIX and KV_DISPLAY_FILE come from the test's environment.
set -u
: "${KV_WINEPREFIX:?}" "${KV_DISPLAY_FILE:?}"
KV_DRIVER=${KV_DRIVER:-}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The UI tests run on two desktops at once (CTest hands each the resource "desktop" 0 or 1, see
# tests/ctest-resources.json): lane 0 is KV_WINEPREFIX on the display in KV_DISPLAY_FILE, lane 1
# the same names with "-1".
lanes=2
lane_suffix() { if [ "$1" = 0 ]; then echo ""; else echo "-$1"; fi; }

stop_lane() {  # stop_lane LANE
  local suffix pidfile
  suffix=$(lane_suffix "$1")
  pidfile="$KV_DISPLAY_FILE$suffix.pid"
  WINEPREFIX="$KV_WINEPREFIX$suffix" wineserver -k >/dev/null 2>&1 || true
  if [ -s "$pidfile" ]; then kill "$(cat "$pidfile")" >/dev/null 2>&1 || true; fi
  rm -f "$pidfile" "$KV_DISPLAY_FILE$suffix"
}

stop_all() {
  local lane
  for lane in $(seq 0 $((lanes - 1))); do stop_lane "$lane"; done
}

setup_lane() {  # setup_lane LANE
  local suffix pidfile numfile n
  suffix=$(lane_suffix "$1")
  export WINEPREFIX="$KV_WINEPREFIX$suffix"
  pidfile="$KV_DISPLAY_FILE$suffix.pid"
  # Xvfb picks a free display number itself and writes it to the given descriptor, so
  # several builds can run their tests at once.
  numfile="$KV_DISPLAY_FILE$suffix.num"
  rm -f "$numfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  echo $! > "$pidfile"
  for _ in $(seq 1 100); do [ -s "$numfile" ] && break; sleep 0.1; done
  n=$(tr -dc '0-9' <"$numfile" 2>/dev/null)
  [ -n "$n" ] || { echo "Xvfb did not start"; return 1; }
  rm -f "$numfile"
  echo ":$n" > "$KV_DISPLAY_FILE$suffix"
  export DISPLAY=":$n"
  rm -rf "$WINEPREFIX"
  # The server is made persistent before wineboot so that the system processes wineboot
  # starts (services.exe and friends) stay up for the whole run with their output going
  # nowhere; started later by a test, they would hold that test's output pipe open.
  # wineserver refuses to start for a prefix folder that does not exist yet, and the server
  # wineboot would then start instead ends a few seconds after its last client: every later
  # program would start a server of its own, and one that starts just as the previous one
  # ends fails with "wine client error ... Connection reset by peer".
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 </dev/null || { echo "wineserver did not start"; return 1; }
  wineboot -i >/dev/null 2>&1 </dev/null || { echo "wineboot failed"; return 1; }
  "$(dirname "$0")/../scripts/wine-fonts" || { echo "the prefix's fonts could not be set up"; return 1; }
  # Likewise the desktop process (explorer.exe /desktop): the first program that needs the desktop
  # starts it, it ends about ten seconds after the last program on the desktop, and all that
  # while it holds the starter's output open, so CTest counts the test as running (seen: a
  # unit suite of one second "running" for the whole UI run). A program that stays on the
  # desktop until the server is stopped keeps one desktop process up from here on.
  if [ -n "$KV_DRIVER" ]; then
    local held="$KV_DISPLAY_FILE$suffix.held"
    rm -f "$held"
    setsid wine "$KV_DRIVER" hold "Z:${held//\//\\}" >/dev/null 2>&1 </dev/null &
    for _ in $(seq 1 300); do [ -e "$held" ] && break; sleep 0.1; done
    [ -e "$held" ] || { echo "the desktop did not come up"; return 1; }
    rm -f "$held"
  fi
  echo "Wine prefix $WINEPREFIX ready on display :$n"
}

case "${1:-}" in
  setup)
    stop_all
    # The prefixes are made side by side: wineboot mostly waits.
    pids=()
    for lane in $(seq 0 $((lanes - 1))); do setup_lane "$lane" & pids+=($!); done
    status=0
    for pid in "${pids[@]}"; do wait "$pid" || status=1; done
    exit $status
    ;;
  cleanup)
    stop_all
    ;;
  *)
    echo "usage: $0 setup|cleanup"; exit 2 ;;
esac
