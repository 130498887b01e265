#!/usr/bin/env bash
# kvtool's schedule, alarm and note commands on a scratch database folder: each command and
# option once for the shape of what it prints, the dialog's refusals (exit 1) and malformed
# arguments (exit 2), and every file written passes `db verify`. The scheduling rules themselves
# (conflicts, series, zones, the day list) are for the unit tests.
# Usage: kvtool_schedule_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"
mkdir db

expect '{"stored":1,"conflicts":0,"ids":[1],"series":0,"messages":[]}' \
  sched add --db db --date 2025-03-14 --start 23:00 --end 01:00 --title "Night shift" --alarm 22:45 --sound 3 --month-calendar
expect_exit 1 "Alarm cannot be later than start time!" \
  sched add --db db --date 2025-03-14 --start 10:00 --end 11:00 --title Late --alarm 10:30
expect_exit 2 "--start" sched add --db db --date 2025-03-14 --start 24:00 --end 11:00 --title Bad

# A series asks first: --answer cancel declines; without it the questions are answered OK.
expect '{"stored":0,"conflicts":0,"ids":[],"series":0,"messages":["Ready to schedule 3 event occurrences.  Proceed?"]}' \
  sched add --db db --date 2025-03-05 --start 09:00 --end 10:00 --title Team --recur weekly --until 2025-03-19 --answer cancel
expect '{"stored":3,"conflicts":0,"ids":[2,3,4],"series":132710435,"messages":["Ready to schedule 3 event occurrences.  Proceed?"]}' \
  sched add --db db --date 2025-03-05 --start 09:00 --end 10:00 --title Team --recur weekly --until 2025-03-19

# --zone on adding and on listing; --mask.
expect '{"stored":1,"conflicts":0,"ids":[5],"series":0,"messages":[]}' \
  sched add --db db --date 2025-03-01 --start 01:00 --end 02:00 --title "Call Tokyo" --zone 108
expect '{"entries":[{"start":"2025-02-28T21:30","end":"2025-02-28T22:30","alarm":1285,"id":5,"note":0,"month":3,"day":1,"alarmbyte":0,"zone":108,"title":"Call Tokyo"}]}' \
  sched list --db db --from 2025-02-28 --to 2025-02-28 --zone 87
expect '{"entries":[{"start":"2025-03-14T23:00","end":"2025-03-15T01:00","alarm":1365,"id":1,"note":0,"month":131,"day":14,"alarmbyte":3,"zone":0,"title":"Night shift"}]}' \
  sched list --db db --from 2025-03-01 --to 2025-03-31 --mask 2
expect '{"before":1,"within":0,"items":[{"id":1,"start":-60,"end":60,"alarm":-75,"title":"Night shift","series":0}]}' \
  sched day --db db 2025-03-15

# Alarms: acknowledging switches the alarm off in the file.
expect '{"minute":1365,"sound":3,"start":1380,"id":1,"title":"Night shift","due":true}' \
  alarm next --db db --now 2025-03-14T23:50
expect '{"id":1,"armed":0}' alarm ack --db db --date 2025-03-14 --id 1
expect '{"minute":1500}' alarm next --db db --now 2025-03-14T23:50

# Notes of a day and of an item; a day note marks its day in the month.
expect '{"id":6}' note set --db db --day 2025-03-20 --text "Pay rent"
expect '{"id":6,"text":"Pay rent"}' note get --db db --day 2025-03-20
expect '{"id":7}' note set --db db --sched 1 --date 2025-03-14 --text "Bring coffee"
expect '{"id":7,"text":"Bring coffee"}' note get --db db --sched 1 --date 2025-03-14
expect_part '"flags":{"20":2}' month 2025-03 --db db
expect_exit 1 "no to-do file" note get --db db --todo 1

# Deleting one item, and a series from a date on.
expect '{"deleted":1}' sched del --db db --date 2025-03-01 --id 5
expect '{"deleted":2}' sched del --db db --date 2025-03-12 --id 3 --series

for f in db/*.kvdb; do expect '{"ok":true,"problems":[]}' db verify "$f"; done

finish "kvtool schedule"
