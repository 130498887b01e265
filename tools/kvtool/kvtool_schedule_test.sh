#!/usr/bin/env bash
# Runs kvtool's schedule, alarm and note commands on a scratch database folder and compares
# their output with what they must print; every file written must pass `db verify`.
# Usage: kvtool_schedule_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"
mkdir db

conflict='Conflict encountered during scheduling with the following event:\n\n'

# 23:00 to 01:00 ends the next day; an item from 23:30 on conflicts, one ending at 23:00 does not.
expect '{"stored":1,"conflicts":0,"ids":[1],"series":0,"messages":[]}' \
  sched add --db db --date 2025-03-14 --start 23:00 --end 01:00 --title "Night shift" --alarm 22:45 --sound 3 --month-calendar
expect "{\"stored\":0,\"conflicts\":1,\"ids\":[],\"series\":0,\"messages\":[\"${conflict}Friday, March 14, 2025\\nNight shift\\n\\nCannot store this entry.\"]}" \
  sched add --db db --date 2025-03-14 --start 23:30 --end 23:45 --title Clash
expect '{"stored":1,"conflicts":0,"ids":[2],"series":0,"messages":[]}' \
  sched add --db db --date 2025-03-14 --start 22:00 --end 23:00 --title Touching --alarm 21:50
expect_exit 1 "Alarm cannot be later than start time!" \
  sched add --db db --date 2025-03-14 --start 10:00 --end 11:00 --title Late --alarm 10:30
expect_exit 1 "Value for 'N' must be between 1 and 120." \
  sched add --db db --date 2025-03-14 --start 10:00 --end 11:00 --title Every --recur every-n-days --n 0 --until 2025-04-01
expect_exit 2 "--start" sched add --db db --date 2025-03-14 --start 24:00 --end 11:00 --title Bad

# A weekly series over ten weeks with three dates taken stores seven under one series id.
expect '{"stored":1,"conflicts":0,"ids":[3],"series":0,"messages":[]}' \
  sched add --db db --date 2025-03-12 --start 09:00 --end 10:00 --title "Busy 1"
expect '{"stored":1,"conflicts":0,"ids":[1],"series":0,"messages":[]}' \
  sched add --db db --date 2025-04-02 --start 09:30 --end 10:30 --title "Busy 2"
expect '{"stored":1,"conflicts":0,"ids":[1],"series":0,"messages":[]}' \
  sched add --db db --date 2025-05-07 --start 08:20 --end 09:01 --title "Busy 3"
expect '{"stored":0,"conflicts":0,"ids":[],"series":0,"messages":["Ready to schedule 10 event occurrences.  Proceed?"]}' \
  sched add --db db --date 2025-03-05 --start 09:00 --end 10:00 --title Team --recur weekly --until 2025-05-07 --answer cancel
expect "{\"stored\":7,\"conflicts\":3,\"ids\":[4,5,6,2,3,4,5],\"series\":132710467,\"messages\":[\"Ready to schedule 10 event occurrences.  Proceed?\",\"${conflict}Wednesday, March 12, 2025\\nBusy 1\\n\\nContinue scheduling?\",\"${conflict}Wednesday, April 2, 2025\\nBusy 2\\n\\nContinue scheduling?\",\"${conflict}Wednesday, May 7, 2025\\nBusy 3\\n\\nContinue scheduling?\",\"3 conflict(s) were found scheduling 10 events.\\r\\nSelect OK to schedule the 7 event(s) without conflicts.\"]}" \
  sched add --db db --date 2025-03-05 --start 09:00 --end 10:00 --title Team --recur weekly --until 2025-05-07

# Zones (the zone file beside kvtool): 01:00 in Tokyo is 21:30 of the day before in India.
expect '{"stored":1,"conflicts":0,"ids":[7],"series":0,"messages":[]}' \
  sched add --db db --date 2025-03-01 --start 01:00 --end 02:00 --title "Call Tokyo" --zone 108
expect '{"entries":[{"start":"2025-02-28T21:30","end":"2025-02-28T22:30","alarm":1285,"id":7,"note":0,"month":3,"day":1,"alarmbyte":0,"zone":108,"title":"Call Tokyo"}]}' \
  sched list --db db --from 2025-02-28 --to 2025-02-28 --zone 87
expect '{"entries":[{"start":"2025-03-14T23:00","end":"2025-03-15T01:00","alarm":1365,"id":1,"note":0,"month":131,"day":14,"alarmbyte":3,"zone":0,"title":"Night shift"}]}' \
  sched list --db db --from 2025-03-14 --to 2025-03-14 --mask 2

# The day list: items of the day before reach into the selected day.
expect '{"before":2,"within":0,"items":[{"id":2,"start":-120,"end":-60,"alarm":-130,"title":"Touching","series":0},{"id":1,"start":-60,"end":60,"alarm":-75,"title":"Night shift","series":0}]}' \
  sched day --db db 2025-03-15

# Alarms: the smallest alarm time; acknowledging switches it off in the file.
expect '{"minute":1310,"sound":0,"start":1320,"id":2,"title":"Touching","due":false}' \
  alarm next --db db --now 2025-03-14T21:00
expect '{"id":2,"armed":0}' alarm ack --db db --date 2025-03-14 --id 2
expect '{"minute":1365,"sound":3,"start":1380,"id":1,"title":"Night shift","due":true}' \
  alarm next --db db --now 2025-03-14T23:50
expect '{"minute":1500}' alarm next --db db --now 2025-03-16T08:00

# Notes: a day note marks its day in the month; a schedule note goes into its item.
expect '{"id":8}' note set --db db --day 2025-03-20 --text "Pay rent"
expect '{"id":9}' note set --db db --sched 1 --date 2025-03-14 --text "Bring coffee"
expect '{"id":9,"text":"Bring coffee"}' note get --db db --sched 1 --date 2025-03-14
expect_part 'Night shift","weight":60,"sametime":0,"highlight":0,"source":-1,' month 2025-03 --db db
if ! grep -qF '"flags":{"20":2}' out; then echo "FAIL: month 2025-03 --db db lacks the note mark of the 20th"; failures=$((failures + 1)); fi
expect '{"id":0}' note set --db db --day 2025-03-20 --text ""
expect '{"id":0,"text":""}' note get --db db --day 2025-03-20
expect_exit 1 "no to-do file" note get --db db --todo 1

# Deleting: one item; a series by its id from a date on.
expect '{"deleted":1}' sched del --db db --date 2025-03-14 --id 2
expect '{"deleted":6}' sched del --db db --date 2025-03-19 --id 5 --series
expect '{"entries":[{"start":"2025-03-05T09:00","end":"2025-03-05T10:00","alarm":535,"id":4,"note":0,"month":3,"day":5,"alarmbyte":0,"zone":0,"title":"Team"},{"start":"2025-03-12T09:00","end":"2025-03-12T10:00","alarm":535,"id":3,"note":0,"month":3,"day":12,"alarmbyte":0,"zone":0,"title":"Busy 1"},{"start":"2025-03-14T23:00","end":"2025-03-15T01:00","alarm":1365,"id":1,"note":9,"month":131,"day":14,"alarmbyte":3,"zone":0,"title":"Night shift"},{"start":"2025-04-02T09:30","end":"2025-04-02T10:30","alarm":565,"id":1,"note":0,"month":4,"day":2,"alarmbyte":0,"zone":0,"title":"Busy 2"},{"start":"2025-05-07T08:20","end":"2025-05-07T09:01","alarm":495,"id":1,"note":0,"month":5,"day":7,"alarmbyte":0,"zone":0,"title":"Busy 3"}]}' \
  sched list --db db --from 2025-03-02 --to 2025-05-31

# Every file written passes verification.
for f in db/*.kvdb; do expect '{"ok":true,"problems":[]}' db verify "$f"; done

finish "kvtool schedule"
