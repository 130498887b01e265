#!/usr/bin/env bash
# The frame appears with its caption, a second start leaves one frame, and closing ends the
# program with exit code 0.
source "$(dirname "$0")/lib.sh"

start_kalvora
first=$kv_pid
driver wait KV4Frame 30000 >/dev/null || fail "the frame did not appear"
caption=$(driver caption KV4Frame)
[ "$caption" = "Kalvora" ] || fail "caption is \"$caption\", want \"Kalvora\""
screenshot frame

# A second start only brings the first to the top and ends by itself.
start_kalvora
second=$kv_pid
wait_exit "$second" 15 || fail "the second start did not end within 15 s"
[ "$exit_code" = "0" ] || fail "the second start exited with $exit_code"
count=$(driver count KV4Frame)
[ "$count" = "1" ] || fail "$count frames after the second start, want 1"

# WM_CLOSE ends the first with exit code 0.
kv_pid=$first
driver close KV4Frame || fail "could not post WM_CLOSE"
wait_exit "$first" 15 || fail "the program did not end within 15 s of WM_CLOSE"
[ "$exit_code" = "0" ] || fail "the program exited with $exit_code after WM_CLOSE"
kv_pid=""

finish
