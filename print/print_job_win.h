// A print job on a printer device context: the page target in twips (y down from the printable
// area's top left) over the printer, the modeless status window, and the abort procedure that
// keeps the program responsive and lets the user cancel. What is printed on each page is the
// portable job's.
#pragma once

#include <windows.h>

#include <string>

#include "print/page_layout.h"
#include "print/print_job.h"

namespace kv {

struct PrinterJob {
  HDC dc = nullptr;              // taken over: deleted when the job ends
  HWND frame = nullptr;          // disabled while the job runs
  HINSTANCE instance = nullptr;  // holds the status window's template
  PrintKind kind = PrintKind::Month;
  PrintRange range;
  PrintSources sources;
  PageLayout layout;
};

PrintOutcome RunPrinterJob(PrinterJob job);

// The paper of a printer device context, in twips.
PaperMetrics PrinterPaper(HDC dc);

// The status window of the running job; null when none runs.
HWND PrintStatusWindow();

}  // namespace kv
