#include "print/print_job_win.h"

#include <memory>

#include "base/canvas_gdi_win.h"
#include "resources/print_dialog.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kTwipsPerInch = 1440;

struct JobState {
  HWND status = nullptr;
  bool cancelled = false;
};
JobState g_job;

INT_PTR CALLBACK StatusProc(HWND, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    // Any command in the status window (its button, Esc, Enter) cancels the job.
    case WM_COMMAND: g_job.cancelled = true; return TRUE;
    case WM_CLOSE: return TRUE;
  }
  return FALSE;
}

// Hands waiting messages on while the job runs; false once the user has cancelled.
BOOL CALLBACK AbortProc(HDC, int) {
  MSG msg;
  while (!g_job.cancelled && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!g_job.status || !IsDialogMessageA(g_job.status, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return !g_job.cancelled;
}

// Pages on the printer: twips with y growing downwards, the origin at the printable area's top
// left corner, so the portable job's coordinates need no flipping.
class PrinterTarget final : public PageTarget {
 public:
  PrinterTarget(HDC dc, PrintKind kind, const PrintSources& sources) : dc_(dc), kind_(kind), sources_(sources) {}

  Canvas* BeginPage() override {
    if (StartPage(dc_) <= 0) return nullptr;
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowOrgEx(dc_, 0, 0, nullptr);
    SetWindowExtEx(dc_, kTwipsPerInch, kTwipsPerInch, nullptr);
    SetViewportOrgEx(dc_, 0, 0, nullptr);
    SetViewportExtEx(dc_, GetDeviceCaps(dc_, LOGPIXELSX), GetDeviceCaps(dc_, LOGPIXELSY), nullptr);
    canvas_ = std::make_unique<GdiCanvas>(dc_);
    canvas_->SetUnitsPerInch(kTwipsPerInch);
    ApplyPrintFonts(*canvas_, kind_, sources_.fonts);
    return canvas_.get();
  }
  bool EndPage() override {
    canvas_.reset();
    return ::EndPage(dc_) > 0;
  }
  bool Cancelled() override { return !AbortProc(dc_, 0); }
  void Status(const std::string& text) override {
    if (g_job.status) SetDlgItemTextA(g_job.status, IDC_PRINT_STATUS_TEXT, text.c_str());
    AbortProc(dc_, 0);
  }

 private:
  HDC dc_;
  PrintKind kind_;
  const PrintSources& sources_;
  std::unique_ptr<GdiCanvas> canvas_;
};

void OpenStatusWindow(const PrinterJob& job) {
  g_job.status = CreateDialogParamA(job.instance, MAKEINTRESOURCEA(IDD_PRINT_STATUS), job.frame, StatusProc, 0);
  if (!g_job.status) return;
  EnableMenuItem(GetSystemMenu(g_job.status, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  SetDlgItemTextA(g_job.status, IDC_PRINT_STATUS_TEXT, std::string(StringText(1696)).c_str());
  ShowWindow(g_job.status, SW_SHOW);
  UpdateWindow(g_job.status);
}

}  // namespace

PaperMetrics PrinterPaper(HDC dc) {
  return PaperFromDevice(GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT),
                         GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
                         GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY));
}

HWND PrintStatusWindow() { return g_job.status; }

PrintOutcome RunPrinterJob(PrinterJob job) {
  g_job = {};
  if (job.frame) EnableWindow(job.frame, FALSE);
  OpenStatusWindow(job);
  SetAbortProc(job.dc, AbortProc);

  PrintOutcome outcome = PrintOutcome::Failed;
  const std::string name = DocumentName(job.kind, job.range, job.sources);
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = name.c_str();
  if (StartDocA(job.dc, &doc) > 0) {
    const PageGeometry geometry = ComputePageGeometry(PrinterPaper(job.dc), job.layout, job.kind);
    PrinterTarget target(job.dc, job.kind, job.sources);
    outcome = geometry.content.Empty() ? PrintOutcome::Failed
                                       : RunPrintJob(job.kind, job.range, job.sources, job.layout, geometry, target);
    if (g_job.cancelled) outcome = PrintOutcome::Cancelled;
    if (outcome == PrintOutcome::Printed) {
      if (EndDoc(job.dc) <= 0) outcome = PrintOutcome::Failed;
    } else {
      AbortDoc(job.dc);
    }
  }

  DeleteDC(job.dc);
  if (job.frame) EnableWindow(job.frame, TRUE);
  if (g_job.status) DestroyWindow(g_job.status);
  g_job = {};
  return outcome;
}

}  // namespace kv
