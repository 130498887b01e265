// The print dialog: the system's print dialog with the program's own template and hook, which
// ask for the range of the printout ("From"/"To" in the range format of the kind, or the first
// and last phonebook entries) and, for days, the print style. The printer settings are kept for
// the session: the default printer's are taken once, without a dialog.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "print/print_range.h"

namespace kv {

struct PrintDialogRequest {
  int kind = 1;
  std::string title;                      // caption: "%s %s" of the print title and the kind's name
  RangeFormat format = RangeFormat::None;
  std::string from, to;                   // the boxes' first texts
  std::vector<std::string> entries;       // the phonebook's entries, in order
  bool landscape = false;                 // the kind's page orientation
  bool binderStyle = false;               // days: Binder (true) or Standard List
  uint8_t binderLayout = 0;               // 0 portrait, 1 landscape single, 2 landscape dual
  uint8_t binderPaper = 0;                // 0 Letter, 1 A4
};

struct PrintDialogAnswer {
  HDC dc = nullptr;                       // null: the printer could not be reached
  CheckedRange range;
  int firstEntry = 0, lastEntry = 0;
  bool binderStyle = false;
  uint8_t binderLayout = 0;
  uint8_t binderPaper = 0;
};

// Shows the dialog; nothing when the user cancels. The caller owns the answer's DC.
std::optional<PrintDialogAnswer> RunPrintDialog(HWND owner, HINSTANCE instance, const PrintDialogRequest& request);

// A DC of the session's printer (the default printer's settings the first time) without any
// dialog, in the orientation asked for; or of the named printer. Null when there is none.
HDC SessionPrinterDc(bool landscape, const std::string& printer = {});

// "Day Binder Layout": the layout (0 ... 2) and paper (0 Letter, 1 A4); false when cancelled.
bool RunBinderLayoutDialog(HWND owner, HINSTANCE instance, uint8_t& layout, uint8_t& paper);

}  // namespace kv
