#!/usr/bin/env bash
# CTest fixture of the printing tests: `setup` makes sure a CUPS scheduler runs (starting
# cupsd when none does; as root, as in CI) and that the PDF queue KalvoraPDF exists and is the
# default printer; `cleanup` stops the scheduler again if setup started it. The PDFs land in
# the home folder of the user who prints, in PDF/ (cups-pdf's "Out ${HOME}/PDF").
# Wine reads the CUPS queues whenever a program loads its spooler, so the fixture only has to
# run before the tests, not before the Wine prefix is made.
set -u
: "${KV_CUPS_STATE:?}"

running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

case "${1:-}" in
  setup)
    rm -f "$KV_CUPS_STATE"
    if ! running; then
      command -v cupsd >/dev/null || { echo "cupsd is not installed"; exit 1; }
      cupsd || { echo "cupsd did not start"; exit 1; }
      echo started >"$KV_CUPS_STATE"
      for _ in $(seq 1 100); do running && break; sleep 0.1; done
      running || { echo "the CUPS scheduler did not come up"; exit 1; }
    fi
    if ! lpstat -p KalvoraPDF >/dev/null 2>&1; then
      lpadmin -p KalvoraPDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null ||
        { echo "the PDF queue could not be added"; exit 1; }
    fi
    cupsenable KalvoraPDF 2>/dev/null; cupsaccept KalvoraPDF 2>/dev/null
    lpadmin -d KalvoraPDF || { echo "the PDF queue could not be made the default"; exit 1; }
    echo "CUPS queue KalvoraPDF ready; PDFs go to $(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
    ;;
  cleanup)
    if [ -f "$KV_CUPS_STATE" ]; then
      pid=$(pgrep -x -o cupsd || true)
      [ -n "$pid" ] && kill "$pid" 2>/dev/null
      rm -f "$KV_CUPS_STATE"
    fi
    ;;
  *)
    echo "usage: $0 setup|cleanup"; exit 2 ;;
esac
