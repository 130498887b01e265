#!/usr/bin/env bash
# kvtool version-reply: replies of the version service read as the program reads them: a newer
# release, the current one, no tag, a cut-off reply, addresses the browser must never get, and
# a reply longer than the program reads. Missing files exit 1, bad usage 2.
# Usage: kvtool_version_reply_test.sh [RUNNER] KVTOOL   (RUNNER runs a Windows build under Wine)
set -u
kvtool=("$@")
. "$(dirname "$0")/cli_test_lib.sh"

reply() {  # reply 'EXPECTED JSON' 'REPLY TEXT'
  printf '%s' "$2" >reply.txt
  expect "$1" version-reply reply.txt
}
none='{"tag":false,"newer":false,"version":"","url":""}'

reply '{"tag":true,"newer":true,"version":"4.8.0012","url":"http://www.kalvora.com/get"}' \
  '<html><body><VCHECK>1 4.08.0012 http://www.kalvora.com/get</VCHECK></body></html>'
reply '{"tag":true,"newer":true,"version":"5.0.0001","url":"https://example.com/dl"}' \
  '<VCHECK>1 5.00.0001 https://example.com/dl</VCHECK>'
reply '{"tag":true,"newer":false,"version":"4.7.0000","url":""}' '<VCHECK>0 4.07.0000 http://www.kalvora.com/</VCHECK>'
reply "$none" 'Service Unavailable'
reply "$none" '<VCHECK>1 4.08.0012 http://www.kal'
reply "$none" '<VCHECK>1 4.0'
for address in 'file:///C:/Windows/System32/calc.exe' 'javascript:alert(1)' '\\evil\share\setup.exe' \
               "http://example.com/$(head -c 2100 /dev/zero | tr '\0' a)" 'http://x.com/"&calc' 'cmd.exe /c calc'; do
  reply '{"tag":true,"newer":false,"version":"4.8.0012","url":""}' "<VCHECK>1 4.08.0012 $address</VCHECK>"
done
# Only the first 4096 bytes are read: a closing tag beyond them is never seen.
reply "$none" "$(head -c 4080 /dev/zero | tr '\0' ' ')<VCHECK>1 4.08.0012 http://a.b/</VCHECK>"

expect_exit 1 "cannot read" version-reply missing.txt
expect_exit 2 "" version-reply

finish kvtool_version_reply
