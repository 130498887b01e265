#!/usr/bin/env bash
# Help's version check and "Kalvora on the Internet" against a real HTTP server on 127.0.0.1:
# a newer release (its page opened in the browser), the current release, a reply without the
# tag, a cut-off reply, download addresses the browser must never get, a server that never
# answers (the wait ends by itself) and no server at all. The browser is a stand-in script that
# Wine's browser launcher runs, which notes every address it is given.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_VERSION_CHECK=1903
CMD_INTERNET_SERVICES=1902
BM_CLICK=0x00F5

srv="$kv_tmp/server"
mkdir -p "$srv"
/usr/bin/python3 "$(dirname "$0")/vcheck_server.py" "$srv" &
server_pid=$!
stop_server() { kill "$server_pid" 2>/dev/null || true; }
trap 'stop_server; cleanup_kalvora' EXIT
for _ in $(seq 1 50); do [ -s "$srv/port" ] && break; sleep 0.1; done
port=$(cat "$srv/port" 2>/dev/null) || { fail "the test server did not start"; finish; }
service="http://127.0.0.1:$port"

# The browser: Wine's launcher runs the first program of its list with the address.
opened="$kv_tmp/opened"
cat >"$kv_tmp/browser" <<SH
#!/bin/sh
printf '%s\n' "\$*" >>"$opened"
SH
chmod +x "$kv_tmp/browser"
wine_reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$kv_tmp/browser" /f
set_setting Internet VersionService "$service"
set_setting Internet WebSite "$service"
set_setting Internet TimeoutSeconds 3

opened_count() { [ -f "$opened" ] && wc -l <"$opened" | tr -d ' ' || echo 0; }
reply() { printf '%s' "$1" >"$srv/reply"; }
# Runs the check and prints what the box that answers says (the status window is skipped).
check() {
  driver command KV4Frame $CMD_VERSION_CHECK >/dev/null
  local shown i
  for i in $(seq 1 60); do
    shown=$(driver dialog 500 2>/dev/null)
    case "$shown" in "Version Check"*) echo "$shown"; return 0 ;; esac
    sleep 0.25
  done
  echo "$shown"
  return 1
}

start_and_wait

# A newer release: the dialog, and OK opens the download page.
reply '<html><body><VCHECK>1 4.08.0012 http://127.0.0.1:1/download/kalvora.html</VCHECK></body></html>'
shown=$(check)
case "$shown" in
  *"A newer version of this software is available!"*"Your version:"*"4.7.0000"*"New version:"*"4.8.0012"*"Select OK to proceed"*) ;;
  *) fail "newer release: \"$shown\"" ;;
esac
screenshot version-check-newer
request=$(head -1 "$srv/requests" 2>/dev/null)
[ "$(echo "$request" | cut -f1)" = "/vcheck/kalvora4.asp?4,07,0000." ] || fail "request path: \"$request\""
[ "$(echo "$request" | cut -f2)" = "Kalvora" ] || fail "agent: \"$request\""
echo "$request" | cut -f3,4 | grep -qi "no-cache" || fail "the request may be answered from a cache: \"$request\""
driver answer 1 >/dev/null
wait_for 1 opened_count || fail "OK did not open the download page"
[ "$(head -1 "$opened" 2>/dev/null)" = "http://127.0.0.1:1/download/kalvora.html" ] ||
  fail "the browser got \"$(head -1 "$opened" 2>/dev/null)\""

# Cancel opens nothing.
check >/dev/null
driver answer 2 >/dev/null
sleep 1
[ "$(opened_count)" = 1 ] || fail "Cancel opened the page"

# The current release.
reply '<VCHECK>0 4.07.0000 http://127.0.0.1:1/</VCHECK>'
shown=$(check)
case "$shown" in
  *"You have the most current version of this software."*"Current version:"*"4.7.0000"*) ;;
  *) fail "current release: \"$shown\"" ;;
esac
screenshot version-check-current
driver answer 1 >/dev/null

# A reply without the tag, and one cut off inside it: the second message.
for r in '<html>Service Unavailable</html>' '<VCHECK>1 4.08.00'; do
  reply "$r"
  shown=$(check)
  case "$shown" in
    *"Could not access internet connection."*) ;;
    *) fail "reply \"$r\": \"$shown\"" ;;
  esac
  driver answer 1 >/dev/null
done
screenshot version-check-no-tag

# Addresses that are no web page: read as no newer release, nothing handed to the shell.
long="http://127.0.0.1/$(head -c 2100 /dev/zero | tr '\0' a)"
for address in 'file:///C:/windows/system32/winver.exe' 'javascript:alert(1)' '\\127.0.0.1\share\setup.exe' "$long" \
               'http://127.0.0.1/a" /c calc'; do
  reply "<VCHECK>1 4.08.0012 $address</VCHECK>"
  shown=$(check)
  case "$shown" in
    *"You have the most current version"*) ;;
    *) fail "address \"${address:0:40}\": \"$shown\"" ;;
  esac
  driver answer 1 >/dev/null
done
sleep 1
[ "$(opened_count)" = 1 ] || fail "an unsafe address reached the browser: $(tail -1 "$opened")"

# A server that takes the request and never answers: the check gives up by itself.
echo silent >"$srv/mode"
started=$(date +%s)
driver command KV4Frame $CMD_VERSION_CHECK >/dev/null
status=$(driver dialog 5000 2>/dev/null)
case "$status" in
  "Kalvora"*"Requesting current version information..."*) screenshot version-check-status ;;
  *) fail "no status window while waiting: \"$status\"" ;;
esac
shown=""
for _ in $(seq 1 120); do
  shown=$(driver dialog 500 2>/dev/null)
  case "$shown" in "Version Check"*) break ;; esac
  sleep 0.25
done
waited=$(($(date +%s) - started))
case "$shown" in
  *"An error occurred while attempting to access the internet."*) ;;
  *) fail "a silent server: \"$shown\" after $waited s" ;;
esac
echo "note: a server that never answers was given up after $waited s (timeout setting 3 s)"
[ "$waited" -le 30 ] || fail "the wait for a silent server took $waited s"
driver answer 1 >/dev/null
rm -f "$srv/mode"

# No server at all: nothing listens on the port any more.
stop_server
wait "$server_pid" 2>/dev/null
shown=$(check)
case "$shown" in
  *"An error occurred while attempting to access the internet."*) ;;
  *) fail "no server: \"$shown\"" ;;
esac
screenshot version-check-no-server
driver answer 1 >/dev/null

# Kalvora on the Internet: the chosen page opens in the browser.
driver command KV4Frame $CMD_INTERNET_SERVICES >/dev/null
shown=$(driver dialog 10000)
case "$shown" in
  "Kalvora on the Internet"*) ;;
  *) fail "no \"Kalvora on the Internet\" dialog: \"$shown\"" ;;
esac
screenshot internet-services
driver send dialog/#31112 $BM_CLICK >/dev/null
driver answer 1 >/dev/null
wait_for 2 opened_count || fail "Connect did not open the page"
[ "$(tail -1 "$opened" 2>/dev/null)" = "$service/support/" ] || fail "Connect opened \"$(tail -1 "$opened" 2>/dev/null)\""

close_and_wait
finish
