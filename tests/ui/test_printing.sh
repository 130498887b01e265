#!/usr/bin/env bash
# Printing to a real printer: the CUPS queue KalvoraPDF (the "cups" fixture) turns each job into
# a PDF, which is read back with poppler's tools. Page Layout sets a header with the page code;
# the print dialog refuses a bad range with the focus on the failing box and steps its boxes
# with the small scroll bars; a November-February month range prints four pages in order, a
# year of months twelve; a landscape month keeps the 11 : 8 shape; cancelling in the status
# window ends the job with no PDF; a month page goes to a placeable metafile on disk and to the
# clipboard as a metafile picture.
source "$(dirname "$0")/lib.sh"
fresh_profile
command -v pdfinfo >/dev/null || { echo "poppler-utils missing"; exit 1; }

pdf_dir="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
mkdir -p "$pdf_dir"
shots="$KV_BUILD/screenshots"
mkdir -p "$shots"
marker="$kv_tmp/marker"
# The PDF of the next job: waits until a new one is complete in the queue's folder.
new_pdf() {  # new_pdf SECONDS
  local i f
  for i in $(seq 1 $(($1 * 5))); do
    f=$(find "$pdf_dir" -name '*.pdf' -newer "$marker" 2>/dev/null | head -1)
    if [ -n "$f" ] && [ -z "$(lpstat -o KalvoraPDF 2>/dev/null)" ] && pdfinfo "$f" >/dev/null 2>&1; then
      echo "$f"
      return 0
    fi
    sleep 0.2
  done
  return 1
}
pages() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
title() { pdfinfo "$1" | sed -n 's/^Title: *//p'; }
page_text() { pdftotext -f "$2" -l "$2" -layout "$1" - 2>/dev/null; }
squeezed() { page_text "$1" "$2" | tr -d ' \n' | tr '[:lower:]' '[:upper:]'; }
dialog_caption() { driver dialog 10000 | head -1; }
click() { driver send "dialog/#$1" 0x00F5 0 0 >/dev/null; }   # BM_CLICK
gone_dialog() {  # waits until no dialog box is up
  local i
  for i in $(seq 1 40); do driver dialog 200 >/dev/null 2>&1 || return 0; sleep 0.25; done
  return 1
}
# Starts the print command and fills the range boxes; leaves the dialog up.
open_print() {  # open_print FROM TO
  driver command KV4Frame 1007 >/dev/null
  [ "$(dialog_caption)" = "$3" ] || fail "the print dialog is not \"$3\": $(dialog_caption)"
  driver settext dialog 33112 "$1" >/dev/null
  driver settext dialog 33115 "$2" >/dev/null
}

start_and_wait
driver command KV4Frame 1302 >/dev/null

# --- Page Layout: a header with the page code and a doubled ampersand ---------------------------
driver command KV4Frame 1005 >/dev/null
[ "$(dialog_caption)" = "Page Layout" ] || fail "no Page Layout dialog"
click 33130
driver settext dialog 33135 'Page &p && more' >/dev/null
driver settext dialog 33133 0.4 >/dev/null
case "$(driver dialog 2000)" in
  *"Distance from top:"*) ;;
  *) fail "the distance label does not name the top edge for a header" ;;
esac
screenshot print-page-layout
driver answer 1 >/dev/null
gone_dialog || fail "Page Layout did not close"

# --- The print dialog: stepping, a refused range, then November to February ----------------------
open_print 10/2026 2/2027 "Print Month"
bar="0x$(driver handle dialog/#33113)"
driver send dialog 0x0115 0 "$bar" >/dev/null        # WM_VSCROLL, SB_LINEUP: one month later
[ "$(driver text dialog 33112)" = "11/2026" ] || fail "the scroll bar did not step From: $(driver text dialog 33112)"
driver settext dialog 33115 "13/2026" >/dev/null
driver answer 1 >/dev/null
sleep 1
case "$(driver dialog 5000)" in
  *"Invalid date or range!"*) screenshot print-invalid-range ;;
  *) fail "an unreadable To was not refused" ;;
esac
driver answer 1 >/dev/null
sleep 1
[ "$(dialog_caption)" = "Print Month" ] || fail "the print dialog closed on a refused range"
focus_id() { driver focus 2>/dev/null | cut -d' ' -f1; }
wait_for 33115 focus_id || fail "the focus is not on the failing To box: $(focus_id)"
driver settext dialog 33115 "2/2027" >/dev/null
screenshot print-dialog
touch "$marker"; sleep 1
driver answer 1 >/dev/null
pdf=$(new_pdf 60) || fail "no PDF for the November-February job"
if [ -n "$pdf" ]; then
  [ "$(pages "$pdf")" = 4 ] || fail "November-February gave $(pages "$pdf") pages"
  [ "$(title "$pdf")" = "Kalvora: 11/2026 - 2/2027" ] || fail "document title: $(title "$pdf")"
  months=(NOVEMBER DECEMBER JANUARY FEBRUARY)
  for p in 1 2 3 4; do
    squeezed "$pdf" $p | grep -q "${months[$((p - 1))]}" || fail "page $p is not ${months[$((p - 1))]}"
    page_text "$pdf" $p | grep -q "Page $p && more" || fail "page $p has no header \"Page $p && more\""
  done
  page_text "$pdf" 2 | grep -q "Christmas Day" || fail "the December page lacks its holidays"
  pdftoppm -f 2 -l 2 -r 60 -png "$pdf" "$shots/print-month-december" 2>/dev/null
fi
gone_dialog || fail "a dialog stayed up after printing: $(driver dialog 500)"

# --- Twelve months ---------------------------------------------------------------------------------
open_print 1/2026 12/2026 "Print Month"
touch "$marker"; sleep 1
start=$(date +%s.%N)
driver answer 1 >/dev/null
pdf=$(new_pdf 120) || fail "no PDF for the twelve-month job"
end=$(date +%s.%N)
echo "measure: twelve-month job to PDF in $(python3 -c "print(round($end - $start, 2))") s"
[ -n "$pdf" ] && { [ "$(pages "$pdf")" = 12 ] || fail "twelve months gave $(pages "$pdf") pages"; }

# --- The month sheet keeps 11 : 8 on landscape paper -----------------------------------------------
# With 1.5 in. margins above and below, a sheet filling the margins would be about 20 : 11.
# The grid's extent on the page (dark pixels below the header band), as width / height * 1000.
sheet_ratio() {
  pdftoppm -f 1 -l 1 -r 50 -gray "$1" "$kv_tmp/ratio" 2>/dev/null
  python3 - "$kv_tmp"/ratio*.pgm <<'PY'
import re, sys
data = open(sys.argv[1], "rb").read()
m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+\d+\s", data)
w, h = int(m.group(1)), int(m.group(2))
px = data[m.end():m.end() + w * h]
top_band = 50  # the header line lies within the first inch; the content starts below it
xs, ys = [], []
for y in range(top_band, h):
    row = px[y * w:(y + 1) * w]
    for x in range(w):
        if row[x] < 200:
            xs.append(x); ys.append(y)
print(int((max(xs) - min(xs) + 1) * 1000 / (max(ys) - min(ys) + 1)) if xs else 0)
PY
}
driver command KV4Frame 1005 >/dev/null
[ "$(dialog_caption)" = "Page Layout" ] || fail "no Page Layout dialog the second time"
click 33137
driver settext dialog 33139 1.5 >/dev/null
driver settext dialog 33140 1.5 >/dev/null
driver answer 1 >/dev/null
gone_dialog
open_print 3/2026 3/2026 "Print Month"
touch "$marker"; sleep 1
driver answer 1 >/dev/null
pdf=$(new_pdf 60) || fail "no PDF for the landscape month"
if [ -n "$pdf" ]; then
  size=$(pdfinfo "$pdf" | sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\).*/\1 \2/p')
  read -r pw ph <<<"$size"
  rot=$(pdfinfo "$pdf" | awk '/^Page rot:/ { print $3 }')
  if [ "${rot:-0}" = 90 ] || [ "${rot:-0}" = 270 ]; then read -r ph pw <<<"$size"; fi
  [ "${pw%.*}" -gt "${ph%.*}" ] || fail "the landscape page is not wider than high: $size, rotated ${rot:-0}"
  ratio=$(sheet_ratio "$pdf")
  [ "$ratio" -ge 1300 ] && [ "$ratio" -le 1450 ] || fail "the landscape month sheet is not 11 : 8: $ratio / 1000"
  pdftoppm -f 1 -l 1 -r 40 -png "$pdf" "$shots/print-month-landscape" 2>/dev/null
fi

# --- Cancelling in the status window ---------------------------------------------------------------
open_print 1/2026 12/2026 "Print Month"
touch "$marker"; sleep 1
driver answer 1 >/dev/null
caught=""
for i in $(seq 1 100); do
  case "$(driver dialog 200 2>/dev/null)" in
    Kalvora*Sending*|Kalvora*Initializing*) caught=1; break ;;
  esac
done
if [ -n "$caught" ]; then
  screenshot print-status
  driver answer 2 >/dev/null
  case "$(driver dialog 15000)" in
    *"Print job cancelled by request."*) ;;
    *) fail "no cancel message: $(driver dialog 500)" ;;
  esac
  driver answer 1 >/dev/null
  sleep 3
  [ -z "$(find "$pdf_dir" -name '*.pdf' -newer "$marker")" ] || fail "a cancelled job still gave a PDF"
else
  fail "the status window was never seen"
fi
gone_dialog

# --- Each other kind prints once through the dialog --------------------------------------------
# print_kind "WINDOW COMMANDS" CAPTION DOCUMENT [FROM TO]
print_kind() {
  local c
  for c in $1; do driver command KV4Frame "$c" >/dev/null; sleep 1; done
  driver command KV4Frame 1007 >/dev/null
  [ "$(dialog_caption)" = "$2" ] || { fail "the print dialog is not \"$2\": $(dialog_caption)"; gone_dialog; return; }
  if [ $# -ge 5 ]; then
    driver settext dialog 33112 "$4" >/dev/null
    driver settext dialog 33115 "$5" >/dev/null
  fi
  if [ "$2" = "Print Day" ]; then
    click 33120                                       # Binder: Lay&out... is enabled
    screenshot print-dialog-day
    driver command dialog 33122 >/dev/null
    sleep 1
    case "$(driver dialog 5000)" in
      "Day Binder Layout"*) screenshot print-binder-layout; driver answer 2 >/dev/null; sleep 2 ;;
      *) fail "Lay&out... did not open Day Binder Layout" ;;
    esac
    click 33121                                       # back to the standard list
  fi
  touch "$marker"; sleep 1
  driver answer 1 >/dev/null
  local made
  made=$(new_pdf 60) || { fail "no PDF for $2"; gone_dialog; return; }
  [ "$(title "$made")" = "$3" ] || fail "$2: document title $(title "$made")"
  [ "$(pages "$made")" -ge 1 ] || fail "$2: no pages"
  gone_dialog || fail "$2: a dialog stayed up: $(driver dialog 500 | tr '\n' ' ')"
}
print_kind 1502 "Print Schedule" "Kalvora Schedule: 12/7/2026-12/9/2026" 12/7/2026 12/9/2026
print_kind 1503 "Print To Do" "Kalvora: To Do"
print_kind 1505 "Print Notes" "Kalvora Notes: 12/7/2026" 12/7/2026 12/7/2026
print_kind "1501 1303" "Print Day" "Kalvora: 12/7/2026-12/8/2026" 12/7/2026 12/8/2026
# An empty phonebook has nothing to print.
driver command KV4Frame 1504 >/dev/null; sleep 1
driver command KV4Frame 1007 >/dev/null
case "$(driver dialog 5000)" in
  *"No entries to print!"*) driver answer 1 >/dev/null; gone_dialog ;;
  *) fail "printing an empty phonebook did not say \"No entries to print!\""; gone_dialog ;;
esac
driver command KV4Frame 1501 >/dev/null; sleep 1
driver command KV4Frame 1302 >/dev/null; sleep 1

# --- kvtool.exe prints a year range through the same job, without dialogs -------------------------
touch "$marker"; sleep 1
out=$("$KV_RUNNER" "$KV_BIN/kvtool.exe" print year --from 2026 --to 2027 --printer KalvoraPDF 2>&1 | tr -d '\r')
[ "$out" = '{"document":"Kalvora: 2026 - 2027","pages":2}' ] || fail "kvtool print year: $out"
pdf=$(new_pdf 60) || fail "no PDF for kvtool's year job"
if [ -n "$pdf" ]; then
  [ "$(pages "$pdf")" = 2 ] || fail "two years gave $(pages "$pdf") pages"
  [ "$(title "$pdf")" = "Kalvora: 2026 - 2027" ] || fail "year document title: $(title "$pdf")"
  page_text "$pdf" 2 | grep -q "2027" || fail "the second year page does not show 2027"
  pdftoppm -f 1 -l 1 -r 40 -png "$pdf" "$shots/print-year" 2>/dev/null
fi
out=$("$KV_RUNNER" "$KV_BIN/kvtool.exe" print month --from 3/2026 --to 2/2026 2>&1 | tr -d '\r')
case "$out" in *"Invalid date or range!"*) ;; *) fail "kvtool print took a backward range: $out" ;; esac

# --- A month page as a metafile on disk and on the clipboard ---------------------------------------
# check_metafile FILE placeable|standard: the header (with the placeable one's key, bounds and
# checksum) and a record walk that ends on the end record, with text drawn on the way.
check_metafile() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
b = open(sys.argv[1], "rb").read()
at = 0
if sys.argv[2] == "placeable":
    key, hmf, l, t, r, bt, inch, res, chk = struct.unpack_from("<IHhhhhHIH", b, 0)
    assert key == 0x9AC6CDD7, "key"
    x = 0
    for w in struct.unpack_from("<10H", b, 0):
        x ^= w
    assert x == chk, "checksum"
    assert inch == 1000 and r > l and bt > t, "bounds"
    at = 22
typ, hsize, ver, size = struct.unpack_from("<HHHI", b, at)
assert typ in (1, 2) and hsize == 9 and size * 2 == len(b) - at, "metafile header"
base, at, texts = at, at + 18, 0
while True:
    n, fn = struct.unpack_from("<IH", b, at)
    if fn == 0:
        break
    assert n >= 3, "record size"
    texts += fn in (0x0521, 0x0A32)
    at += n * 2
assert at + 6 == len(b) and texts > 0, "records"
PY
}
wmf="$kv_tmp/month.wmf"
driver command KV4Frame 1011 >/dev/null
sleep 1
driver filename "$(winpath "$wmf")" >/dev/null || fail "the metafile file dialog did not take the name"
for i in $(seq 1 50); do [ -s "$wmf" ] && break; sleep 0.2; done
if [ -s "$wmf" ]; then
  check_metafile "$wmf" placeable || fail "the metafile is not a sound placeable metafile"
  if command -v wmf2svg >/dev/null; then
    wmf2svg -o "$kv_tmp/month.svg" "$wmf" >/dev/null 2>&1 && grep -q "<svg" "$kv_tmp/month.svg" ||
      fail "wmf2svg could not read the metafile"
  fi
else
  fail "no metafile was written"
fi
gone_dialog || fail "a dialog stayed up after the metafile: $(driver dialog 500)"
# Output to Clipboard: a metafile picture in the anisotropic mode, sized in 0.01 mm as the page
# (the month's 11 : 8 shape within a few per cent), whose metafile is the page's drawing.
driver command KV4Frame 1010 >/dev/null
clip=""
for i in $(seq 1 25); do
  clip=$(driver clipboard "$(winpath "$kv_tmp/clip.wmf")" 2>&1) && break
  sleep 0.2
done
clip=$(echo "$clip" | tr -d '\r')
case "$clip" in
  "metafilepict 8 "*)
    set -- $clip
    [ "$3" -gt 5000 ] && [ "$4" -gt 5000 ] || fail "the clipboard picture's extents are $3 x $4 (0.01 mm)"
    ratio=$(( $3 * 1000 / $4 ))
    [ "$ratio" -ge 1300 ] && [ "$ratio" -le 1450 ] || fail "the clipboard month is not 11 : 8: $ratio / 1000"
    check_metafile "$kv_tmp/clip.wmf" standard || fail "the clipboard's metafile is not sound"
    ;;
  *) fail "Output to Clipboard left no metafile picture on the clipboard: $clip" ;;
esac
gone_dialog || fail "a dialog stayed up after the metafile: $(driver dialog 500)"
screenshot print-end
# The layouts changed the configuration: closing asks whether to save it; this test does not.
driver close KV4Frame >/dev/null
case "$(driver dialog 10000)" in
  *"Save Calendar Configuration"*) driver answer 7 >/dev/null ;;
  *) fail "closing with changed page layouts did not ask to save the configuration" ;;
esac
if ! wait_exit "$kv_pid" 20; then
  screenshot print-closing
  fail "the program did not end within 20 s of WM_CLOSE: $(driver dialog 500 | tr '\n' ' ')"
fi
kv_pid=""
finish
