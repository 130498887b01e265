#!/usr/bin/env bash
# vCard and comma-separated contact export and import through kvtool: python3-vobject must read
# every exported vCard, and export, import and export again must give the same file.
# Usage: kvtool_contacts_test.sh SAMPLES_DIR [RUNNER] KVTOOL
set -u
samples=$1
shift
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"
py=/usr/bin/python3

mkdir db
run phone add --db db --category Work --last Smith --first John --salutation Mr. --company "Acme, Inc." \
  --title Engineer --address "1 Main St
Springfield, IL  62701" --phone "555-1000*:Business" --phone "555-2000:Home" --phone "john@example.com:E-mail"
run phone add --db db --category Family --company "Zeta Corp" --phone "555 0000:Fax"
run note set --db db --phone 1 --text "Met at the fair
likes tea; coffee, too"

for v in 3 4; do
  expect '{"entries":2}' vcard export --db db --version $v out$v.vcf
  if ! "$py" "$samples/check_vcf.py" out$v.vcf >read$v 2>err$v; then
    echo "FAIL: python3-vobject rejects the vCard $v.0 export:"; cat err$v; failures=$((failures + 1))
  fi
  want="John Smith Smith|John|Mr. org=Acme, Inc. tel=555-1000(work,voice) tel=555-2000(home,voice) email=john@example.com note=Met at the fair/likes tea; coffee, too"
  if [ "$(head -1 read$v)" != "$want" ]; then
    echo "FAIL: python3-vobject reads the vCard $v.0 export as:"; cat read$v; echo "want: $want"; failures=$((failures + 1))
  fi
  mkdir back$v
  expect '{"entries":2,"skipped":[],"lost_characters":0}' vcard import --db back$v out$v.vcf --answer ok
  run vcard export --db back$v --version $v again$v.vcf
  if ! cmp -s out$v.vcf again$v.vcf; then echo "FAIL: vCard $v.0 export, import, export differ"; diff out$v.vcf again$v.vcf | head; failures=$((failures + 1)); fi
done

expect '{"entries":2}' csv export --db db out.csv
mkdir backcsv
expect '{"entries":2,"skipped":[],"lost_characters":0}' csv import --db backcsv out.csv --answer ok
run csv export --db backcsv again.csv
if ! cmp -s out.csv again.csv; then echo "FAIL: CSV export, import, export differ"; diff out.csv again.csv | head; failures=$((failures + 1)); fi

# Cancelled: nothing stored; a damaged file: refused with its line.
mkdir none
expect '{"entries":0,"skipped":[],"lost_characters":0,"cancelled":true}' vcard import --db none out3.vcf --answer cancel
expect '{"entries":[]}' phone list --db none
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nN:A;;;;\r\n' >bad.vcf
expect_exit 1 "line 1: BEGIN:VCARD is never ended" vcard import --db none bad.vcf --answer ok
printf 'First Name,Last Name\r\nA,"B\r\n' >bad.csv
expect_exit 1 "line 2: a quoted field is never closed" csv import --db none bad.csv --answer ok

finish kvtool_contacts
