#!/usr/bin/env bash
# kvtool's phonebook commands on a scratch database folder: each command and option once for the
# shape of what it prints, refusals with exit 1 or 2, and the file passing `db verify`. The
# entry rules (checks, sorting, slots) are for the unit tests of the phonebook.
# Usage: kvtool_phone_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

expect '{"id":1,"slot":1}' phone add --db . --category Work --last Smith --first John --company Acme \
  --phone "555-1000*:Office" --phone 555-2000
expect '{"id":2,"slot":2}' phone add --db . --category Family --company "Zeta Corp"
expect '{"id":3,"slot":3}' phone add --db . --category Work --last Adams --address "1 Main St"
expect_exit 1 "Entry requires a value in the Last Name or Company field." phone add --db . --category X --first Only
long47=$(printf 'x%.0s' $(seq 1 47))
expect_exit 2 "last holds at most 47 characters" phone add --db . --category W --last "${long47}y"
expect_exit 2 "at most four phone numbers" phone add --db . --category W --last L --phone 1 --phone 2 --phone 3 --phone 4 --phone 5

expect '{"entries":[{"id":3,"name":"Adams","category":"Work"},{"id":1,"name":"Smith, John","category":"Work"}]}' \
  phone list --db .
expect '{"entries":[{"id":1,"name":"Acme [Smith]","category":"Work"},{"id":2,"name":"Zeta Corp","category":"Family"}]}' \
  phone list --db . --organizations
expect '{"entries":[]}' phone list --db . --category family
expect '{"entries":[{"id":2,"name":"Zeta Corp","category":"Family"}]}' phone list --db . --organizations --category family
expect '{"id":1,"slot":1,"note":0,"category":"Work","last":"Smith","first":"John","salutation":"","title":"","company":"Acme","address":"","phones":[{"number":"555-1000","action":"SmartDial","label":"Office"},{"number":"555-2000","action":"Default","label":""},{"number":"","action":"Default","label":""},{"number":"","action":"Default","label":""}]}' \
  phone show --db . --id 1
expect '{"id":2,"deleted":true}' phone del --db . --id 2
expect_exit 1 "no entry with id 2" phone show --db . --id 2
expect '{"stored":3,"entries":5}' phone fill --db . --count 3 --category Filled
expect '{"entries":[{"id":4,"name":"Entry 1","category":"Filled"},{"id":5,"name":"Entry 2","category":"Filled"},{"id":6,"name":"Entry 3","category":"Filled"}]}' \
  phone list --db . --category filled
expect_exit 2 "count must be between 1 and 2048" phone fill --db . --count 0
expect '{"ok":true,"problems":[]}' db verify PhoneBk.kvpb

finish "kvtool phone"
