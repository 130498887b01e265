#!/usr/bin/env bash
# A configuration that came from elsewhere names an overlay on another computer: the program
# asks before opening it; answered No, the rest loads, nothing of the share is opened and the
# file keeps the name.
source "$(dirname "$0")/lib.sh"
fresh_profile
mkdir -p "$data"

"$KV_RUNNER" "$KV_BIN/kvtool.exe" config new "$(winpath "$data/Mailed.kvc")" --data-folder "$(winpath "$data")" \
  >"$kv_tmp/kvtool.out" 2>&1 || fail "kvtool config new failed: $(cat "$kv_tmp/kvtool.out")"
kvc_set "$data/Mailed.kvc" 8 B 0        # past its first use
kvc_set "$data/Mailed.kvc" 4446 H 1     # one overlay name in the tail
printf '\\\\127.0.0.1\\share\\x.kov\034' >>"$data/Mailed.kvc"
[ "$(kvc "$data/Mailed.kvc" 'tail()')" = "['\\\\\\\\127.0.0.1\\\\share\\\\x.kov']" ] || fail "the test file's tail is $(kvc "$data/Mailed.kvc" 'tail()')"

start_kalvora Mailed
box=$(driver dialog 30000)
want="Kalvora
The calendar configuration $(winpath "$data")\\Mailed.kvc names files on other computers:"
case "$box" in "$want"*'\\127.0.0.1\share\x.kov'*'Open these files?') ;;
  *) fail "the question reads \"$box\"" ;; esac
driver answer 7 >/dev/null   # No
driver wait KV4Frame 30000 >/dev/null || fail "the frame did not appear after the answer No"
sleep 1
[ "$(driver dialog 1000 2>/dev/null)" = "" ] || fail "another box followed the answer No"
caption_is "Kalvora - Mailed" || fail "the caption is \"$(driver caption KV4Frame)\""
screenshot network-path-declined
close_and_wait
[ "$(kvc "$data/Mailed.kvc" 'tail()')" = "['\\\\\\\\127.0.0.1\\\\share\\\\x.kov']" ] ||
  fail "the file lost the network name: $(kvc "$data/Mailed.kvc" 'tail()')"
[ -z "$(setting Configuration TrustedPaths)" ] || fail "a declined path was remembered as chosen"
finish
