#!/usr/bin/env bash
# kvtool's database commands on files made in a scratch folder: put, get, list, del, info and
# verify on each kind of file, what verify says of damage, and the arguments refused. How the
# container places and frees records is for the unit tests of the store.
# Usage: kvtool_db_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

zeros() { printf '0%.0s' $(seq 1 "$1"); }
item="400004$(zeros 122)"                       # a 64-byte schedule item, all fields zero
note="1100010000000000000000$(printf 'Notes' | od -An -tx1 | tr -d ' \n')00"   # 17-byte note "Notes"
march=132710403                                 # (2025 << 16) | 3

# A month file: created by the first put, record at 1536 with id 1.
expect '{"id":1}' db put MAR-2025.kvdb --type 4 --monthkey $march --day 5 --flag 3 --hex "$item"
expect '{"kind":"container","version":7,"capacity":124,"slots_in_use":31,"free_head":0,"last_id":1,"end_of_data":1600,"growths":0,"slots":[{"index":4,"id":1,"length":64,"offset":1536,"next":0,"type":4,"flag":3}]}' \
  db info MAR-2025.kvdb
expect '{"ok":true,"problems":[]}' db verify MAR-2025.kvdb
expect '{"id":2}' db put MAR-2025.kvdb --type 1 --monthkey $march --day 5 --hex "$note"
expect "{\"id\":2,\"flag\":0,\"length\":17,\"hex\":\"$note\",\"text\":\"Notes\"}" \
  db get MAR-2025.kvdb --type 1 --monthkey $march --day 5 --id 2
expect "{\"id\":1,\"flag\":3,\"length\":64,\"hex\":\"$item\"}" db get MAR-2025.kvdb --type 4 --monthkey $march --day 5 --id 1
expect '{"id":1}' db put MAR-2025.kvdb --type 4 --monthkey $march --day 5 --id 1 --flag 1 --hex "$item"
expect '{"records":[{"chain":4,"id":1,"flag":1,"length":64}]}' db list MAR-2025.kvdb --type 4
expect '{"records":[{"chain":4,"id":2,"flag":0,"length":17}]}' db list MAR-2025.kvdb --type 1 --day 5
expect '{"records":[]}' db list MAR-2025.kvdb --type 1 --day 6
expect '{"id":1,"deleted":true}' db del MAR-2025.kvdb --type 4 --monthkey $march --day 5 --id 1
expect '{"id":1,"deleted":false}' db del MAR-2025.kvdb --type 4 --monthkey $march --day 5 --id 1
expect '{"ok":true,"problems":[]}' db verify MAR-2025.kvdb

# A notes file chained by id.
expect '{"id":1}' db put ToDo.kvdb --type 3 --chain-by-id --hex "120003$(zeros 30)"
expect '{"id":1,"deleted":true}' db del ToDo.kvdb --type 3 --chain-by-id --id 1

# A damaged container: verify says what is wrong, reads go on, writes are refused.
cp MAR-2025.kvdb Damaged.kvdb
printf '\x63\x00' | dd of=Damaged.kvdb bs=1 seek=1600 conv=notrunc status=none   # the note's length field
expect_exit 1 'problem' db verify Damaged.kvdb
grep -qF '"ok":false' out || { echo "FAIL: verify of a damaged file does not say ok false"; failures=$((failures + 1)); }
grep -qF 'says length 99 and type 1, its slot length 17 and type 1' out ||
  { echo "FAIL: verify does not name the damage:"; cat out; failures=$((failures + 1)); }
expect_exit 1 'File failed header check:' db put Damaged.kvdb --type 4 --monthkey $march --day 7 --hex "$item"
expect_exit 1 'no record of type 1 with id 2' db get Damaged.kvdb --type 1 --monthkey $march --day 5 --id 2
cmp -s MAR-2025.kvdb Damaged.kvdb && { echo "FAIL: the damage did not reach the copy"; failures=$((failures + 1)); }

# A new to-do file and a new phonebook, as the program creates them.
{ printf 'ORBDB\0\x07\0\0\0\x3d\0'; head -c 750 /dev/zero; } >ToDo.kvtd
expect '{"kind":"todo","count":0,"capacity":61,"head":0,"slots":[]}' db info ToDo.kvtd
expect '{"ok":true,"problems":[]}' db verify ToDo.kvtd
{ printf 'ORBDB\0\x07\0\x01\0\x02\0\x02\0\0\0'; head -c 16 /dev/zero; printf '\x01\0\x05\0'; head -c 252 /dev/zero; } >PhoneBk.kvpb
expect '{"kind":"phonebook","count":1,"next_slot":2,"next_id":2,"free_head":0,"entries":[{"slot":1,"id":1,"note":5}]}' db info PhoneBk.kvpb
expect '{"ok":true,"problems":[]}' db verify PhoneBk.kvpb
printf 'ORBDB\0\x07\0\x03\0' | dd of=PhoneBk.kvpb bs=1 conv=notrunc status=none
expect_exit 1 'problem' db verify PhoneBk.kvpb
grep -qF 'the header counts 3 live entries, the file holds 1' out || { echo "FAIL: phonebook count not named"; failures=$((failures + 1)); }

# A write session that crashed leaves a journal beside the file: the old length and the bytes it
# overwrote. Whatever opens the file next (verify, or any command through the store) puts them
# back and deletes the journal.
journal() {  # journal OLD JOURNAL: the journal of a session that began on the file OLD
  /usr/bin/python3 - "$1" "$2" <<'PY'
import struct, sys, zlib
old = open(sys.argv[1], 'rb').read()
nonce = 0x5EED1234
head = b'KVJRNL\0\0' + struct.pack('<IIQI', 1, nonce, len(old), 0)
head += struct.pack('<I', zlib.crc32(head))
saved = struct.pack('<QI', 0, 1536) + old[:1536]
saved += struct.pack('<I', zlib.crc32(struct.pack('<I', nonce) + saved))
open(sys.argv[2], 'wb').write(head + saved)
PY
}
for command in verify list; do
  rm -f Crash.kvdb
  expect '{"id":1}' db put Crash.kvdb --type 4 --monthkey $march --day 5 --hex "$item"
  cp Crash.kvdb Crash.before
  expect '{"id":2}' db put Crash.kvdb --type 4 --monthkey $march --day 6 --hex "$item"
  journal Crash.before Crash.kvdb-journal
  case $command in
    verify) expect '{"ok":true,"problems":[]}' db verify Crash.kvdb ;;
    list) expect '{"records":[{"chain":4,"id":1,"flag":0,"length":64}]}' db list Crash.kvdb --type 4 ;;
  esac
  cmp -s Crash.before Crash.kvdb || { echo "FAIL: db $command did not put back the file of before the crash"; failures=$((failures + 1)); }
  [ ! -e Crash.kvdb-journal ] || { echo "FAIL: db $command left the journal"; failures=$((failures + 1)); }
done
# A journal cut short before its header was whole: the file was not touched yet and stays.
cp Crash.kvdb Crash.before
printf 'KVJRNL' >Crash.kvdb-journal
expect '{"ok":true,"problems":[]}' db verify Crash.kvdb
cmp -s Crash.before Crash.kvdb || { echo "FAIL: an incomplete journal changed the file"; failures=$((failures + 1)); }
[ ! -e Crash.kvdb-journal ] || { echo "FAIL: an incomplete journal was left"; failures=$((failures + 1)); }

# Bad usage.
expect_exit 2 '.kvdb, .kvtd or .kvpb' db info notes.txt
expect_exit 2 'only be reached in a container' db list ToDo.kvtd --type 3
expect_exit 2 '--hex is required' db put MAR-2025.kvdb --type 4 --monthkey $march --day 5
expect_exit 2 'either --monthkey and --day, or --chain-by-id' db put MAR-2025.kvdb --type 4 --chain-by-id --day 5 --hex "$item"
expect_exit 2 'either --monthkey and --day, or --chain-by-id' db get MAR-2025.kvdb --type 4 --id 1
expect_exit 2 'go together' db get MAR-2025.kvdb --type 4 --monthkey $march --id 1
expect_exit 2 'hex digit' db put MAR-2025.kvdb --type 4 --chain-by-id --hex 4000zz
expect_exit 2 'first two bytes' db put MAR-2025.kvdb --type 4 --chain-by-id --hex 400004
expect_exit 2 'third byte' db put MAR-2025.kvdb --type 1 --chain-by-id --hex "$item"
expect_exit 2 'type must be between 1 and 14' db list MAR-2025.kvdb --type 15
expect_exit 2 'day must be between 1 and 31' db list MAR-2025.kvdb --type 4 --day 32
expect_exit 2 '--id is required' db del MAR-2025.kvdb --type 4 --monthkey $march --day 5
expect_exit 1 'cannot open' db get Missing.kvdb --type 4 --chain-by-id --id 1
expect_exit 1 'cannot open' db info Missing.kvtd

if [ $failures -ne 0 ]; then echo "$failures kvtool db check(s) failed"; exit 1; fi
echo "kvtool db: all checks passed"
