#!/usr/bin/env bash
# The modem dialer in the running program, against a fake Hayes modem on a pty that the Wine
# prefix maps to COM7: numbers dialled from the phonebook in each mode with the exact bytes the
# modem got (SmartDial with area code and prefixes, tone and pulse, the speaker settings), each
# failure text, redial, kvtool's call without the window, a modem that never answers, the modem
# unplugged in the middle of a call, and a number with a carriage return that never reaches the
# modem. Screenshots of the dialer window, the preview and both configuration pages.
source "$(dirname "$0")/lib.sh"
fresh_profile
PB=KV4Frame/MDIDialogClass
NAMES=17004 PEOPLE=17002 DIAL1=17040
REDIAL=29505 STATUS=29503 PREVIEW_NUMBER=29511 TABS=29521
VK_F7=0x76
CMD_PHONE_DIALING=1206

# ---- the fake modem on COM7 --------------------------------------------------------------------
modem_dir="$kv_tmp/modem"
mkdir -p "$modem_dir"
link="$modem_dir/com7"
mlog="$modem_dir/modem.log"
control="$modem_dir/modem.json"
modem_pid=""
start_modem() {
  : >"$mlog"
  python3 "$(dirname "$0")/../fake_modem.py" --link "$link" --log "$mlog" --control "$control" >"$modem_dir/out" 2>&1 &
  modem_pid=$!
  wait_for ready cat "$modem_dir/out" || fail "the fake modem did not start"
}
stop_modem() { if [ -n "$modem_pid" ]; then kill "$modem_pid" 2>/dev/null; wait "$modem_pid" 2>/dev/null; modem_pid=""; fi; }
modem() { echo "$1" >"$control"; }
# What the modem received since the last call of this, with CR shown as "|".
received() { tr '\r' '|' <"$mlog"; : >"$mlog"; }
trap 'stop_modem; cleanup_kalvora' EXIT

wine_reg add 'HKLM\Software\Wine\Ports' /v COM7 /d "$link" /f
# The prefix's device links are made from that key when Wine starts; this prefix's server runs
# already, so the link is made the same way here.
ln -sfn "$link" "${KV_WINEPREFIX:?}/dosdevices/com7"
modem '{}'
start_modem

# ---- the phonebook's numbers -------------------------------------------------------------------
db="$data/Databases/Default"
mkdir -p "$db"
kvtool() { "$KV_RUNNER" "$KV_BIN/kvtool.exe" "$@" 2>&1 | tr -d '\r'; }
add() { kvtool phone add --db "$(winpath "$db")" --category Test --last "$1" --first X --phone "$2:Home" >/dev/null; }
add Aaron "(555) 123-4567"       # default mode (DialAction)
add Baker "212-555-0199*"        # SmartDial, another area code
add Clark "555 0101!"            # exactly as entered
add Davis "555-0188?"            # preview
add Evans $'555\r0199!'          # a carriage return inside
add Foley "(555) 222-3333*"      # SmartDial, the local area code

set_setting Dialer Port COM7
set_setting Dialer DialType T
set_setting Dialer SpeakerVol 2
set_setting Dialer CallProgress 4
set_setting Dialer AreaCode 555
set_setting Dialer LDAccess 1
set_setting Dialer DialPrefix 9

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
driver key KV4Frame $VK_F7 >/dev/null
wait_for 1 eval 'desk_line MDIDialogClass | wc -l' || fail "F7 did not open the phonebook"
driver command "$PB" $PEOPLE >/dev/null
sleep 0.5
pick() {   # selects the entry on this line of the people list
  driver select "$PB" $NAMES "$1" >/dev/null
  sleep 0.3
}
# The dialog box that is up: its caption and static texts as one line.
box() {
  local i
  for i in $(seq 1 25); do
    [ -n "$(driver dialog 500 | head -1)" ] && break
    sleep 0.2
  done
  driver dialog 1000 | paste -sd '|'
}
status() { driver text dialog $STATUS; }

# ---- SmartDial with the area code: the whole call ----------------------------------------------
modem '{"dial": "OK"}'
pick 5   # Foley
driver command "$PB" $DIAL1 >/dev/null
wait_for "Kalvora Dialer" eval 'driver dialog 1000 | head -1' || fail "the dialer window did not open"
wait_for "Please pickup the phone." eval "driver dialog 1000 | grep -x 'Please pickup the phone.'" ||
  fail "no pick-up state: $(box)"
[ "$(status)" = "Dialing: 9,222-3333" ] || fail "status line: $(status)"
screenshot dialer_pickup
driver answer 1 >/dev/null   # OK: hang up
driver gone '#32770' 5000 >/dev/null || fail "the dialer window stayed"
sleep 1.5
got=$(received)
[ "$got" = "AT|ATE0 S0=0 Q0 X4 M1 L2|ATDT9,222-3333;|ATH|" ] || fail "SmartDial local bytes: $got"

# ---- SmartDial, another area code; pulse, speaker off, no dial-tone wait; BUSY and redial -------
set_setting Dialer DialType P
set_setting Dialer SpeakerVol 0
set_setting Dialer CallProgress 3
modem '{"dial": "BUSY"}'
pick 1   # Baker
driver command "$PB" $DIAL1 >/dev/null
wait_for "The number is busy." status || fail "BUSY: $(box)"
screenshot dialer_busy
modem '{"dial": "NO CARRIER", "numeric": true}'
driver command dialog $REDIAL >/dev/null
wait_for "The call was not answered." status || fail "NO CARRIER (numeric) on redial: $(box)"
driver answer 2 >/dev/null   # Cancel
driver gone '#32770' 5000 >/dev/null || fail "the dialer window stayed after Cancel"
sleep 1.5
got=$(received)
[ "$got" = "AT|ATE0 S0=0 Q0 X3 M0|ATDP9,1-212-555-0199;|ATDP9,1-212-555-0199;|" ] || fail "SmartDial long-distance bytes: $got"

# ---- exactly as entered; NO DIALTONE after noise and echo --------------------------------------
set_setting Dialer DialType T
set_setting Dialer SpeakerVol 3
set_setting Dialer CallProgress 4
modem '{"dial": "NO DIALTONE", "echo": true, "noise": true}'
pick 2   # Clark
driver command "$PB" $DIAL1 >/dev/null
wait_for "No dial tone." status || fail "NO DIALTONE: $(box)"
driver answer 2 >/dev/null
driver gone '#32770' 5000 >/dev/null
sleep 1.5
got=$(received)
[ "$got" = "AT|ATE0 S0=0 Q0 X4 M1 L3|ATDT555 0101;|" ] || fail "exact bytes: $got"

# ---- the default mode (DialAction 3: preview), edited to a number of the user's own -----------
set_setting Dialer DialAction 3
modem '{"dial": "OK"}'
pick 0   # Aaron
driver command "$PB" $DIAL1 >/dev/null
wait_for "Dial Preview" eval 'driver dialog 1000 | head -1' || fail "no preview: $(box)"
[ "$(driver text dialog $PREVIEW_NUMBER)" = "(555) 123-4567" ] || fail "preview shows: $(driver text dialog $PREVIEW_NUMBER)"
driver command dialog 29513 >/dev/null   # SmartDial Number
sleep 0.3
[ "$(driver text dialog $PREVIEW_NUMBER)" = "9,123-4567" ] || fail "SmartDial preview: $(driver text dialog $PREVIEW_NUMBER)"
screenshot dial_preview
driver settext dialog $PREVIEW_NUMBER "*70,555-9876" >/dev/null
driver answer 1 >/dev/null   # Dial
wait_for "Please pickup the phone." eval "driver dialog 1000 | grep -x 'Please pickup the phone.'" || fail "preview call: $(box)"
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null
sleep 1.5
got=$(received)
[ "$got" = "AT|ATE0 S0=0 Q0 X4 M1 L3|ATDT*70,555-9876;|ATH|" ] || fail "preview bytes: $got"
set_setting Dialer DialAction 2

# ---- a carriage return inside the number never reaches the modem -----------------------------
pick 4   # Evans
driver command "$PB" $DIAL1 >/dev/null
msg=$(box)
case "$msg" in
  "Kalvora|The number \"555?0199\" cannot be dialled: the character "*) ;;
  *) fail "the number with a carriage return: $msg" ;;
esac
driver answer 1 >/dev/null
sleep 1
[ -z "$(received)" ] || fail "bytes reached the modem for a refused number"

# ---- a modem that never answers: AT times out into the window, the init times out ------------
modem '{"at": "none", "init": "none"}'
pick 2
driver command "$PB" $DIAL1 >/dev/null
wait_for "Kalvora Dialer" eval 'driver dialog 1000 | head -1' || fail "a quiet modem got no dialer window"
wait_for "Kalvora|An error was received initializing the modem." box || fail "init time-out: $(box)"
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null || fail "the dialer window stayed after the init error"
got=$(received)
[ "$got" = "AT|ATE0 S0=0 Q0 X4 M1 L3|" ] || fail "quiet modem bytes: $got"

# ---- kvtool dial: the same call sequence without the window ----------------------------------
modem '{"dial": "BUSY", "numeric": true}'
"$KV_RUNNER" "$KV_BIN/kvtool.exe" dial --port COM7 5550101 --timeout 8 >"$modem_dir/kvtool.out" 2>&1
out=$(tr -d '\r' <"$modem_dir/kvtool.out" | paste -sd ' ')
case "$out" in
  *'{"sent":"AT"}'*'{"result":"OK"}'*'{"sent":"ATD5550101;"}'*'{"result":"BUSY"}'*'"outcome":"failed"'*) ;;
  *) fail "kvtool dial: $out" ;;
esac
: >"$mlog"

# ---- the modem unplugged in the middle of a call ---------------------------------------------
modem '{"dial": "none"}'
pick 2
driver command "$PB" $DIAL1 >/dev/null
wait_for "Dialing: 555 0101" status || fail "no dialling before the unplug: $(box)"
screenshot dialer_dialing
stop_modem
sleep 2
driver answer 2 >/dev/null   # Cancel: hangs up into nothing
driver gone '#32770' 5000 >/dev/null || fail "the dialer window hung after the modem went"
sleep 2
# The port is free again: the modem back, a new call goes through.
start_modem
modem '{"dial": "OK"}'
driver command "$PB" $DIAL1 >/dev/null
wait_for "Please pickup the phone." eval "driver dialog 1000 | grep -x 'Please pickup the phone.'" ||
  fail "no call after the modem came back: $(box)"
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null

# ---- Configure > Phone dialing: both pages ---------------------------------------------------
driver command KV4Frame $CMD_PHONE_DIALING >/dev/null
wait_for "Dialing Configuration" eval 'driver dialog 1000 | head -1' || fail "no configuration dialog"
[ "$(driver text dialog 29527)" = "9" ] || fail "dial-out prefix shown: $(driver text dialog 29527)"
screenshot dialing_page
driver send dialog/#$TABS 0x1330 1 >/dev/null   # TCM_SETCURFOCUS: the modem page, as a click does
sleep 0.5
# The prefix's own ports (COM1 on the machine's serial device) may be listed beside COM7.
driver lines dialog 29532 | grep -qx COM7 || fail "ports listed: $(driver lines dialog 29532 | paste -sd '|')"
[ "$(driver selection dialog 29532 | cut -f2)" = "COM7" ] || fail "port selected: $(driver selection dialog 29532)"
screenshot modem_page
driver select dialog 29534 1 >/dev/null      # Pulse
driver settext dialog 29525 "212" >/dev/null  # area code (on the hidden page, still read)
driver answer 1 >/dev/null
driver gone '#32770' 5000 >/dev/null
[ "$(setting Dialer DialType)" = "P" ] || fail "DialType written: $(setting Dialer DialType)"
[ "$(setting Dialer AreaCode)" = "212" ] || fail "AreaCode written: $(setting Dialer AreaCode)"
[ "$(setting Dialer Port)" = "COM7" ] || fail "Port written: $(setting Dialer Port)"

close_and_wait
finish
