#!/usr/bin/env bash
# kvtool's command line: usage and exit codes (0, 1 for a failure, 2 for bad usage), and one
# run of each date and time command for the shape of what it prints. What the dates and times
# are is for the unit tests of the calendar.
# Usage: kvtool_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

# Usage: on stdout when asked for, on stderr with exit 2 when no command is given.
expect_part 'usage: kvtool COMMAND [ARGS]' --help
expect_part '  kvtool date YYYY-MM-DD' --help
expect_exit 2 'usage: kvtool COMMAND [ARGS]'
expect_exit 2 'unknown command "no-such-command"' no-such-command
# A usage error names the command and repeats its usage; a failure only names the command.
expect_exit 2 'usage: kvtool date' date
expect_exit 1 'kvtool parse-time: "noon" is not a time of day' parse-time noon

expect '{"daynumber":730120,"jdn":2451545,"weekday":6,"dayofyear":1,"yearlength":366,"week":52,"minutekey":1071360000}' date 2000-01-01
expect '{"date":"1582-10-15"}' date-from-jdn 2299161
expect '{"month":3,"day":31}' easter 2024
expect '{"text":"Saturday, December 5, 2026"}' format-date 2026-12-05
expect '{"text":"12/5/26"}' format-date --short 2026-12-05
expect '{"text":"05.12.2026"}' format-date --picture dd.MM.yyyy 2026-12-05
expect '{"text":"12:30p"}' format-time 750 --compact --letter
expect '{"text":"01:05"}' format-time 65 --24h --lzero
expect '{"text":"24:00"}' format-time 1440 --compact --24h   # the end of a day, in the compact form only
expect '{"key":1085785350}' minutekey 2026-12-05T14:30
expect '{"date":"2026-12-05T14:30"}' minutekey --decode 1085785350
expect '{"minutes":1290}' parse-time 9:30p
expect '{"minutes":1290}' parse-time 21:30 --24h

# Arguments the commands refuse, each with exit 2.
expect_exit 2 'is not a valid date' date 2026-02-30
expect_exit 2 'is not a date of the form' date yesterday
expect_exit 2 'is not a date of the form' date 2026-1-5
expect_exit 2 'unexpected argument: extra' date 2026-01-01 extra
expect_exit 2 'must be a whole number' date-from-jdn twelve
expect_exit 2 'must be between' date-from-jdn 0
expect_exit 2 'must be between' easter 1200
expect_exit 2 'must be a whole number' easter 20x4
expect_exit 2 'exclude each other' format-date --short --picture d 2026-12-05
expect_exit 2 'must be between' format-time 1440
expect_exit 2 'must be between' format-time -5
expect_exit 2 '--letter belongs to the compact form' format-time 90 --letter
expect_exit 2 'is not a valid time of day' minutekey 2026-12-05T24:00
expect_exit 2 'is not a date and time of the form' minutekey 2026-12-05
expect_exit 2 'does not stand for a real date' minutekey --decode 1085375520
expect_exit 2 'must be a whole number' minutekey --decode abc
expect_exit 2 '--picture given more than once' format-date --picture d --picture M 2026-12-05
expect_exit 2 '--picture needs a value' format-date 2026-12-05 --picture

finish "kvtool"
