#!/usr/bin/env bash
# CTest fixture of the Windows build: `setup` starts an X display (Xvfb) on a free number,
# makes a fresh Wine prefix and keeps one wineserver running for the whole test run;
# `cleanup` stops both. KV_WINEPREFIX and KV_DISPLAY_FILE come from the test's environment.
set -u
: "${KV_WINEPREFIX:?}" "${KV_DISPLAY_FILE:?}"
export WINEPREFIX="$KV_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pidfile="$KV_DISPLAY_FILE.pid"

stop_all() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -s "$pidfile" ]; then kill "$(cat "$pidfile")" >/dev/null 2>&1 || true; fi
  rm -f "$pidfile" "$KV_DISPLAY_FILE"
}

case "${1:-}" in
  setup)
    stop_all
    # Xvfb picks a free display number itself and writes it to the given descriptor, so
    # several builds can run their tests at once.
    numfile="$KV_DISPLAY_FILE.num"
    rm -f "$numfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
    echo $! > "$pidfile"
    for _ in $(seq 1 100); do [ -s "$numfile" ] && break; sleep 0.1; done
    n=$(tr -dc '0-9' <"$numfile" 2>/dev/null)
    [ -n "$n" ] || { echo "Xvfb did not start"; exit 1; }
    rm -f "$numfile"
    echo ":$n" > "$KV_DISPLAY_FILE"
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
    wineserver -p >/dev/null 2>&1 </dev/null || { echo "wineserver did not start"; exit 1; }
    wineboot -i >/dev/null 2>&1 </dev/null || { echo "wineboot failed"; exit 1; }
    "$(dirname "$0")/../scripts/wine-fonts" || { echo "the prefix's fonts could not be set up"; exit 1; }
    echo "Wine prefix $WINEPREFIX ready on display :$n"
    ;;
  cleanup)
    stop_all
    ;;
  *)
    echo "usage: $0 setup|cleanup"; exit 2 ;;
esac
