#!/usr/bin/env bash
# The configuration named on the command line: a bare name in the data folder, a full path
# with another extension, a quoted path; a name that cannot be opened ends the start.
source "$(dirname "$0")/lib.sh"
fresh_profile

kvtool_new() {  # kvtool_new FILE: a default configuration (already past its first use)
  "$KV_RUNNER" "$KV_BIN/kvtool.exe" config new "$(winpath "$1")" --data-folder "$(winpath "$data")" \
    >"$kv_tmp/kvtool.out" 2>&1 || fail "kvtool config new $1 failed: $(cat "$kv_tmp/kvtool.out")"
  kvc_set "$1" 8 B 0
}

expect_caption() {  # expect_caption CAPTION ARGS...
  local want=$1; shift
  start_and_wait "$@" || return
  local got
  got=$(driver caption KV4Frame)
  [ "$got" = "$want" ] || fail "with arguments [$*] the caption is \"$got\", want \"$want\""
  close_and_wait
}

mkdir -p "$data" "$kv_tmp/elsewhere" "$kv_tmp/My Trips"
kvtool_new "$data/Work.kvc"
kvtool_new "$kv_tmp/elsewhere/Travel.kvc"
kvtool_new "$kv_tmp/My Trips/Trip.kvc"

expect_caption "Kalvora"
expect_caption "Kalvora - Work" Work
expect_caption "Kalvora - Work" Work.kvc
expect_caption "Kalvora - Travel" "$(winpath "$kv_tmp/elsewhere/Travel.txt")"
# A path with a blank reaches the program quoted.
expect_caption "Kalvora - Trip" "$(winpath "$kv_tmp/My Trips/Trip.kvc")"

# A name that cannot be opened: message 1286 with the path, and the program ends.
start_kalvora Nowhere
box=$(driver dialog 20000)
want="Kalvora
Cannot open calendar configuration: $(winpath "$data")\\Nowhere.kvc"
[ "$box" = "$want" ] || fail "the box for a missing file reads \"$box\", want \"$want\""
driver answer 1 >/dev/null
wait_exit "$kv_pid" 15 || fail "the program did not end after refusing the missing file"
[ "$exit_code" != 0 ] || fail "the program reported success after refusing the missing file"
kv_pid=""
[ "$(driver count KV4Frame)" = 0 ] || fail "a frame appeared for a missing configuration"
finish
