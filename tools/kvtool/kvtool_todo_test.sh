#!/usr/bin/env bash
# kvtool's to-do commands on a scratch database folder: each command and option once for the
# shape of what it prints, refusals with exit 1 or 2, the archive file written, and the to-do
# file passing `db verify`. Which items show when is for the unit tests of the to-do list.
# Usage: kvtool_todo_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

now=(--now 2025-03-10T12:00)
expect '{"slot":1}' todo add --db . --text "Pay rent" --due 2025-03-12 --activate 2025-03-10 --priority 2 "${now[@]}"
expect '{"slot":2}' todo add --db . --text "Call Bob" --due 2025-03-09 --time 10:00 --activate 2025-03-01
expect '{"slot":3}' todo add --db . --text "Later" --due 2025-03-12 --time 08:00 --activate 2025-03-11
expect_exit 1 "There is a conflict with the activate and required dates." \
  todo add --db . --text "Bad" --due 2025-03-01 --activate 2025-03-02
expect_exit 2 "is not a valid date" todo add --db . --text "Bad" --due 2025-02-30
expect_exit 2 "priority" todo add --db . --text "Bad" --due 2025-03-01 --priority 4
expect_exit 2 "--db DIR is required" todo list

a='{"slot":1,"text":"Pay rent","priority":2,"due":"2025-03-12T23:59","activate":"2025-03-10","done":null,"note":0,"overdue":false}'
b='{"slot":2,"text":"Call Bob","priority":1,"due":"2025-03-09T10:00","activate":"2025-03-01","done":null,"note":0,"overdue":true}'
c='{"slot":3,"text":"Later","priority":1,"due":"2025-03-12T08:00","activate":"2025-03-11","done":null,"note":0,"overdue":false}'
expect "{\"items\":[$b,$a]}" todo list --db . "${now[@]}"
expect "{\"items\":[$b,$c,$a]}" todo list --db . --all --by-priority "${now[@]}"
expect "{\"items\":[$c,$a]}" todo due --db . 2025-03-12 "${now[@]}"

bdone=${b/\"done\":null/\"done\":\"2025-03-10T12:00\"}
bdone=${bdone/\"overdue\":true/\"overdue\":false}
expect "$bdone" todo done --db . --slot 2 "${now[@]}"
expect "$b" todo undone --db . --slot 2 "${now[@]}"
expect "$bdone" todo done --db . --slot 2 "${now[@]}"
# A day later the completed item is removed and logged to the archive.
expect "{\"items\":[$c,$a]}" todo list --db . --now 2025-03-11T12:00
archive=$(tr -d '\r' <"To Do Archive.txt" 2>/dev/null)
if [ "$archive" != $'"Call Bob","3/9/25 10:00 AM","3/1/25"\n:' ]; then
  echo "FAIL: archive holds: $archive"; failures=$((failures + 1))
fi
expect '{"slot":1,"removed":true}' todo remove --db . --slot 1
expect_exit 1 "no item in slot 1" todo remove --db . --slot 1
expect_exit 2 "--slot N is required" todo done --db .
expect '{"ok":true,"problems":[]}' db verify ToDo.kvtd

finish "kvtool todo"
