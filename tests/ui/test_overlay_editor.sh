#!/usr/bin/env bash
# The overlay dialogs in the running program: "Configure Overlays" (command 1207) makes a new
# overlay, refuses to replace it unasked and refuses a damaged file; "Edit Overlay Event" adds an
# event of each family (fixed date, weekday of the month, Easter, Jewish date, Yahrzeit with its
# observance choices, every N months), refuses bad values with their message and the focus on
# the field while nothing is saved, and gives one event an accent that the month shows; then the
# overlays are moved and removed. The overlay file is read back after every change.
source "$(dirname "$0")/lib.sh"
fresh_profile
CMD_OVERLAYS=1207
OVC_SET_ACCENT=18822 OVC_PROPERTIES=18823 OVP_SIZE=19303 OVP_EVENTS=19304
OVC_LIST=18801 OVC_NEW=18802 OVC_LOAD=18803 OVC_REMOVE=18804 OVC_UP=18806 OVC_EVENTS=18810 OVC_EVENT_NEW=18811
OVE_TEXT=18602 OVE_DATE=18604 OVE_REPEAT=18606 OVE_N=18611 OVE_OFFSET=18617 OVE_TIME=18621 OVE_WEIGHT=18626
OVE_HIGHLIGHT=18629 OVE_PATTERN=18632 OVE_SUNSET=18607
YO_DAY1=18703 YO_MONTH2=18705
WM_COMMAND=0x111 WM_NEXTDLGCTL=0x28 BM_CLICK=0xF5 CB_SETCURSEL=0x14E CBN_SELCHANGE=1
DLG=dialog
BAD_VALUE="Bad value entered at cursor position, please correct."
family="$kv_tmp/Family.kov"

dialog_caption() { driver dialog 0 2>/dev/null | head -1; }
wait_caption() { wait_for "$1" dialog_caption || { fail "no \"$1\" dialog: \"$(dialog_caption)\""; return 1; }; sleep 0.4; }
field() { driver text "$DLG" "$1"; }
focus_id() { driver focus "$DLG" | awk '{ print ($1 == 100 ? $2 : $1) }'; }
focus_on() {
  local h
  h=$(driver handle "$DLG/#$1") || { fail "no control $1"; return 1; }
  driver post "$DLG" $WM_NEXTDLGCTL "0x$h" 1 >/dev/null
  sleep 0.3
}
type_date() {  # type_date ID M/D/YYYY: typed into a date box, checked when the focus leaves it
  focus_on "$1"
  driver settext "$DLG/#$1" 100 "$2" >/dev/null
  focus_on $OVE_TEXT
}
choose() {  # choose COMBO LABEL: the line with that text, picked as in the list
  local i n
  # The list is rebuilt when the date box hands on the focus: read it again until it settles.
  for n in 1 2 3 4 5 6 7 8 9 10; do
    i=$(driver lines "$DLG" "$1" | grep -nxF -- "$2" | head -1 | cut -d: -f1)
    [ -n "$i" ] && break
    sleep 0.3
  done
  [ -n "$i" ] || { fail "no choice \"$2\" in $1: $(driver lines "$DLG" "$1" | tr '\n' '|')"; return 1; }
  driver send "$DLG/#$1" $CB_SETCURSEL $((i - 1)) 0 >/dev/null
  driver post "$DLG" $WM_COMMAND $(( CBN_SELCHANGE << 16 | $1 )) >/dev/null
  sleep 0.4
}
# OK pressed: the message that comes up, answered, and the field that has the focus then.
refused() {  # refused MESSAGE FOCUSED-ID
  local shown i
  driver answer 1 >/dev/null
  for i in $(seq 1 25); do
    shown=$(driver dialog 0 2>/dev/null)
    case "$shown" in "Edit Overlay Event"* | "Yahzeit Observance"* | "") sleep 0.2 ;; *) break ;; esac
  done
  case "$shown" in *"$1"*) ;; *) fail "expected the message \"$1\", saw \"$shown\"" ;; esac
  driver answer 1 >/dev/null
  sleep 0.5
  wait_for "$2" focus_id || fail "after \"$1\" the focus is on $(focus_id), not $2"
}
# The events of an overlay file: "kind month/day year param endYear endMonth flags highlight pattern text".
events() {
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
assert data[:4] == b'KOV6', data[:4]
count = struct.unpack_from('<I', data, 28)[0]
at = 40
for _ in range(count):
    kind, year, month, day, ey, em, ed, param, off, flags = struct.unpack_from('<HhHHhHHHhH', data, at)
    hl, aflags, icon, pattern = struct.unpack_from('<HHHH', data, at + 20)
    end = data.index(b'\0', at + 56)
    print(kind, f'{month}/{day}', year, param, ey, em, flags, hl, pattern, data[at + 56:end].decode('cp1252'))
    at = end + 1
EOF
}
count_events() { events "$family" | wc -l; }
new_event() {
  driver command "$DLG" $OVC_EVENT_NEW >/dev/null
  wait_caption "Edit Overlay Event"
}
ok_closes() {  # ok_closes WHAT: OK pressed, back in Configure Overlays
  driver answer 1 >/dev/null
  wait_caption "Configure Overlays" || fail "$1: the editor did not close"
}

KV_ENV="KALVORA_TEST_CLOCK=2026-12-07T09:00" start_and_wait
# The first use adds the standard overlays once the frame is up.
sleep 3

# ---- Configure Overlays: a new overlay, the replace question, a damaged file ----
driver command KV4Frame $CMD_OVERLAYS >/dev/null
wait_caption "Configure Overlays" || { close_and_wait; finish; }
before=$(driver lines "$DLG" $OVC_LIST | wc -l)
screenshot overlay-configure
driver command "$DLG" $OVC_NEW >/dev/null
wait_caption "New Overlay"
screenshot overlay-new-file
driver filename "$(winpath "$family")" >/dev/null || fail "the New Overlay file dialog did not take the name"
wait_caption "Configure Overlays"
wait_for 40 stat -c %s "$family" || fail "the new overlay is not an empty 40-byte file: $(stat -c %s "$family" 2>&1)"
[ "$(driver lines "$DLG" $OVC_LIST | tail -1)" = "Family" ] || fail "the new overlay is not listed last: $(driver lines "$DLG" $OVC_LIST | tr '\n' '|')"
driver command "$DLG" $OVC_NEW >/dev/null
wait_caption "New Overlay"
driver filename "$(winpath "$family")" >/dev/null
wait_caption "Kalvora"
shown=$(driver dialog 5000)
case "$shown" in *"The filename already exisits.  Do you want to replace it?"*) ;; *) fail "no replace question: $shown" ;; esac
driver answer 2 >/dev/null
wait_caption "Configure Overlays"
[ "$(driver lines "$DLG" $OVC_LIST | wc -l)" = $((before + 1)) ] || fail "a cancelled replace changed the list"
printf 'not an overlay' >"$kv_tmp/Damaged.kov"
driver command "$DLG" $OVC_LOAD >/dev/null
wait_caption "Load Overlay"
driver filename "$(winpath "$kv_tmp/Damaged.kov")" >/dev/null
wait_caption "Kalvora"
shown=$(driver dialog 5000)
case "$shown" in *"File failed header check:"*Damaged.kov*) ;; *) fail "a damaged file was not refused with its message: $shown" ;; esac
driver answer 1 >/dev/null
wait_caption "Configure Overlays"
driver lines "$DLG" $OVC_LIST | grep -x >/dev/null Damaged && fail "the damaged file was added"
driver select "$DLG" $OVC_LIST $before >/dev/null

# ---- a fixed date, refused three times first ----
new_event || { close_and_wait; finish; }
screenshot overlay-event-editor
refused "The entry requires a title/description." $OVE_TEXT
driver settext "$DLG" $OVE_TEXT "Anniversary dinner" >/dev/null
driver settext "$DLG" $OVE_OFFSET "-2" >/dev/null
refused "Offset value must be zero or greater." $OVE_OFFSET
driver settext "$DLG" $OVE_OFFSET "0" >/dev/null
driver settext "$DLG" $OVE_TIME "27:99" >/dev/null
refused "Bad or missing time entry." $OVE_TIME
driver settext "$DLG" $OVE_TIME "" >/dev/null
driver settext "$DLG" $OVE_WEIGHT "1000" >/dev/null
refused "Value for priority must be between 1 and 999." $OVE_WEIGHT
[ "$(count_events)" = 0 ] || fail "a refused event was saved"
[ "$(field $OVE_TEXT)" = "Anniversary dinner" ] || fail "the typed text was lost"
driver settext "$DLG" $OVE_WEIGHT "10" >/dev/null
choose $OVE_REPEAT "Every December 7th"
# The accent: highlighted, with a cross-hatched cell.
driver send "$DLG/#$OVE_HIGHLIGHT" $BM_CLICK 0 0 >/dev/null
choose $OVE_PATTERN "Diagonal Cross"
screenshot overlay-event-accent
ok_closes "a fixed date"
case "$(events "$family")" in "6 12/7 2026 0 0 0 8 1 7 Anniversary dinner") ;; *) fail "the fixed date was saved as: $(events "$family")" ;; esac

# ---- the nth weekday of the month ----
new_event
driver settext "$DLG" $OVE_TEXT "Book club" >/dev/null
choose $OVE_REPEAT "Every 1st Monday of month"
ok_closes "a weekday of the month"
events "$family" | grep -x >/dev/null "5 12/1 2026 1 0 0 8 0 0 Book club" || fail "the nth weekday: $(events "$family" | grep Book)"

# ---- Easter: the repeat list follows the date ----
new_event
driver settext "$DLG" $OVE_TEXT "Spring fair" >/dev/null
type_date $OVE_DATE "4/5/2027"
choose $OVE_REPEAT "Every 8 days after Easter"
ok_closes "an Easter-based event"
events "$family" | grep -x >/dev/null "12 4/5 2027 0 8 0 8 0 0 Spring fair" || fail "Easter: $(events "$family" | grep Spring)"

# ---- every N months: N is checked ----
new_event
driver settext "$DLG" $OVE_TEXT "Water filter" >/dev/null
choose $OVE_REPEAT "Every 'N...' months"
driver settext "$DLG" $OVE_N "0" >/dev/null
refused "Value for 'N' must be between 1 and 120." $OVE_N
driver settext "$DLG" $OVE_N "3" >/dev/null
ok_closes "every N months"
events "$family" | grep >/dev/null "^13 12/7 2026 9 " || fail "every 3 months: $(events "$family" | grep Water)"

# ---- a Jewish date: 7 December 2026 is 27 Kislev 5787 ----
new_event
driver settext "$DLG" $OVE_TEXT "Family gathering" >/dev/null
choose $OVE_REPEAT "Annual Date"
ok_closes "a Jewish date"
events "$family" | grep >/dev/null "^60 3/27 5787 " || fail "the Jewish date: $(events "$family" | grep gathering)"

# ---- Yahrzeit in Adar I (3 March 2027 is 24 Adar I 5787): the observance choices ----
new_event
driver settext "$DLG" $OVE_TEXT "Grandfather" >/dev/null
type_date $OVE_DATE "3/3/2027"
choose $OVE_REPEAT "Yahrzeit"
wait_caption "Yahzeit Observance" || { close_and_wait; finish; }
shown=$(driver dialog 0)
case "$shown" in *"The death occurred before sunset of the 24th day of Adar I in the year 5787."*) ;;
  *) fail "the observance dialog says: $shown" ;; esac
[ "$(driver text "$DLG" 18701)/$(driver text "$DLG" 18704)" = "Non-leap Years/Leap Years" ] ||
  fail "the observance cases are titled $(driver text "$DLG" 18701)/$(driver text "$DLG" 18704)"
screenshot overlay-yahrzeit-observance
driver settext "$DLG" $YO_DAY1 "31" >/dev/null
refused "$BAD_VALUE" $YO_DAY1
driver settext "$DLG" $YO_DAY1 "24" >/dev/null
driver answer 1 >/dev/null
wait_caption "Edit Overlay Event"
ok_closes "a Yahrzeit"
yahrzeit=$(events "$family" | grep Grandfather)
case "$yahrzeit" in "63 6/24 5787 2 "*) ;; *) fail "the Yahrzeit was saved as: $yahrzeit" ;; esac
[ "$(count_events)" = 6 ] || fail "six events were expected: $(events "$family")"
screenshot overlay-configure-events
driver lines "$DLG" $OVC_EVENTS | grep >/dev/null "Grandfather.*Yahrzeit" || fail "the event list does not show the Yahrzeit: $(driver lines "$DLG" $OVC_EVENTS | tr '\n' '|')"

# ---- order and unload ----
n=$(driver lines "$DLG" $OVC_LIST | wc -l)
driver select "$DLG" $OVC_LIST $((n - 1)) >/dev/null
driver command "$DLG" $OVC_UP >/dev/null
sleep 0.4
[ "$(driver lines "$DLG" $OVC_LIST | sed -n "$((n - 1))p")" = "Family" ] || fail "Move Up did not move Family: $(driver lines "$DLG" $OVC_LIST | tr '\n' '|')"

# ---- the overlay's default accent and its properties ----
driver select "$DLG" $OVC_LIST $((n - 2)) >/dev/null
driver command "$DLG" $OVC_SET_ACCENT >/dev/null
wait_caption "Default Accent" || fail "Set Accent... did not open its dialog"
driver post "$DLG/#$OVE_HIGHLIGHT" $BM_CLICK 0 0 >/dev/null
sleep 0.4
screenshot overlay-default-accent
driver answer 1 >/dev/null
wait_caption "Configure Overlays" || fail "the accent dialog did not close"
header_highlight() { python3 -c 'import struct,sys; print(struct.unpack_from("<H", open(sys.argv[1],"rb").read(), 8)[0])' "$family"; }
wait_for 1 header_highlight || fail "the default accent's highlight in the file header is $(header_highlight), want 1"
driver command "$DLG" $OVC_PROPERTIES >/dev/null
wait_caption "Overlay Properties" || fail "Properties... did not open its dialog"
[ "$(driver text "$DLG" $OVP_EVENTS)" = 6 ] || fail "the properties count $(driver text "$DLG" $OVP_EVENTS) events, want 6"
size=$(stat -c %s "$family")
[ "$(driver text "$DLG" $OVP_SIZE)" = "$size bytes" ] || fail "the properties give the size as \"$(driver text "$DLG" $OVP_SIZE)\", want \"$size bytes\""
screenshot overlay-properties
driver answer 2 >/dev/null
wait_caption "Configure Overlays" || fail "Overlay Properties did not close"
driver answer 2 >/dev/null
wait_for "" dialog_caption || fail "Configure Overlays did not close"

# The month shows the accent on the 7th (and the tab of the new overlay).
sleep 1
screenshot overlay-month-accent

driver command KV4Frame $CMD_OVERLAYS >/dev/null
wait_caption "Configure Overlays"
driver select "$DLG" $OVC_LIST $((n - 2)) >/dev/null
driver command "$DLG" $OVC_REMOVE >/dev/null
sleep 0.4
driver lines "$DLG" $OVC_LIST | grep -x >/dev/null Family && fail "Remove left Family in the list"
[ "$(driver lines "$DLG" $OVC_LIST | wc -l)" = $((n - 1)) ] || fail "Remove took more than one overlay"
[ -f "$family" ] || fail "Remove deleted the file"
driver answer 2 >/dev/null
wait_for "" dialog_caption || fail "Configure Overlays did not close: $(dialog_caption)"
screenshot overlay-closed
# The changed overlays changed the configuration: closing asks to save it; saved, it lists the
# overlays left open.
driver close KV4Frame >/dev/null
shown=$(driver dialog 10000)
case "$shown" in *"Save Calendar Configuration"*) ;; *) fail "closing did not ask to save the configuration: \"$shown\"" ;; esac
driver answer 6 >/dev/null
wait_exit "$kv_pid" 30 || fail "the program did not end after saving"
kv_pid=""
case "$(kvc "$data/default.kvc" 'tail()')" in
  *Family.kov*) fail "the saved configuration still lists the removed overlay" ;;
  *Sample.kov*) ;;
  *) fail "the saved configuration lists: $(kvc "$data/default.kvc" 'tail()')" ;;
esac
finish
