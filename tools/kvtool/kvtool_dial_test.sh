#!/usr/bin/env bash
# kvtool dial-string: the dial command a number becomes, exactly and by SmartDial with the codes
# given; numbers that could reconfigure the modem, and overlong ones, are refused (exit 1).
# Usage: kvtool_dial_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

smart=(--mode smart --area 555 --ld 1 --prefix 9)
expect '{"command":"ATD555-1234;"}' dial-string 555-1234
expect '{"command":"ATDT(555) 123-4567;"}' dial-string "(555) 123-4567" --type T
expect '{"command":"ATDP9,123-4567;"}' dial-string "(555) 123-4567" "${smart[@]}" --type P
expect '{"command":"ATDT9,1-212-555-0199;"}' dial-string 212-555-0199 "${smart[@]}" --type T
expect '{"command":"ATD4321;"}' dial-string 4321 "${smart[@]}"
expect '{"command":"ATD555-1234;"}' dial-string 5551234 --mode smart
expect "{\"command\":\"ATD$(printf '5%.0s' $(seq 1 47));\"}" dial-string "$(printf '5%.0s' $(seq 1 47))"

expect_exit 1 "at most 47 characters" dial-string "$(printf '5%.0s' $(seq 1 48))"
expect_exit 1 "is not a dialling character" dial-string $'555\r1234'
expect_exit 1 "is not a dialling character" dial-string "5551234;&F"
expect_exit 1 "is not a dialling character" dial-string "ATZ"
expect_exit 1 "no number to dial" dial-string ""
# The codes come from the user too: a prefix that would end the command is refused.
expect_exit 1 "is not a dialling character" dial-string 5551234 --mode smart --prefix $'9\rATZ'
expect_exit 2 "smart or exact" dial-string 5551234 --mode preview
expect_exit 2 "T or P" dial-string 5551234 --type X

finish kvtool_dial
