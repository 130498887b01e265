#include "shell/print_setup_win.h"

#include <windows.h>

#include <algorithm>

#include "base/command_table.h"
#include "base/dialog_win.h"
#include "base/messages.h"
#include "overlays/day_assembly.h"
#include "print/metafile_output_win.h"
#include "print/page_units.h"
#include "print/print_dialog_win.h"
#include "print/print_job_win.h"
#include "print/print_range.h"
#include "print/print_sources.h"
#include "resources/command_ids.h"
#include "resources/print_dialog.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "shell/desk_win.h"
#include "shell/file_dialogs_win.h"
#include "shell/print_settings.h"
#include "views/calendar_panes_win.h"
#include "views/calendar_state.h"

namespace kv {
namespace {

enum PrintKindNumber { kKindYear = 0, kKindMonth = 1, kKindDay = 3, kKindNotes = 4, kKindSchedule = 5,
                       kKindToDo = 6, kKindPhone = 7 };

// The kind last chosen: it stays when the active window prints nothing of its own.
int g_kind = kKindMonth;

uint8_t ActiveDesk() {
  HWND active = reinterpret_cast<HWND>(SendMessageA(App().mdiClient, WM_MDIGETACTIVE, 0, 0));
  return active ? DeskCodeOf(active) : 0;
}

// The kind of the active window, or the last one when it prints nothing of its own.
int KindOfActive() {
  int kind = g_kind;
  switch (ActiveDesk()) {
    case kDeskCalendar: {
      const uint16_t view = Config().desk.view;
      kind = view == kYearView ? kKindYear : view == kDayView ? kKindDay : kKindMonth;
      break;
    }
    case kDeskNotes: kind = kKindNotes; break;
    case kDeskSchedule: kind = kKindSchedule; break;
    case kDeskToDo: kind = kKindToDo; break;
    case kDeskPhonebook: kind = kKindPhone; break;
    default: break;
  }
  return kind;
}

int ChooseKind() { return g_kind = KindOfActive(); }

// Every kind prints: the year, month and day views, notes, schedule, to-do and phonebook.
bool KindPrints(int kind) { return kind != 2 && kind >= kKindYear && kind <= kKindPhone; }

// "Year", "Month", "Day", "Notes", "Schedule", "To Do", "Phonebook": kinds 0, 1, 3 ... 7.
std::string KindName(int kind) { return std::string(StringText(kind <= kKindMonth ? 33005 + kind : 33004 + kind)); }

// The calendar's date as the range boxes first show it.
std::string CurrentRangeText(RangeFormat format) {
  const DateStamp& d = Calendar().date;
  return FormatRangeValue(format, RangeValue{d.year, d.month, d.day});
}

DateStamp StampOf(const RangeValue& v) {
  DateStamp d;
  d.year = v.year;
  d.month = static_cast<uint16_t>(v.month);
  d.day = static_cast<uint16_t>(v.day);
  return d;
}

void ReportOutcome(PrintOutcome outcome) {
  if (outcome == PrintOutcome::Cancelled) ShowMessage(std::string(StringText(1700)), MsgIcon::Information);
  else if (outcome == PrintOutcome::Failed) ShowMessage(std::string(StringText(1701)), MsgIcon::Warning);
}

// The jobs draw with the calendar's own day assembly: afterwards it is the shown month's again.
void RestoreCalendar(const CalendarState& saved) {
  SelectGregorianDate(saved.date);
  RecomputeDisplayedMonths(Calendar().year, Calendar().month);
  CalendarDateChanged();
}

// The calendar's options for paper. The range is asked for in Gregorian years and months.
PrintSources SourcesForJob() {
  ViewOptions options = Calendar().options;
  options.jewishPrimary = false;
  return ConfiguredPrintSources(Config(), options);
}

void Print() {
  const int kind = ChooseKind();
  if (!KindPrints(kind)) return;
  HCURSOR cursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const PageLayout& layout = Config().pageLayouts[static_cast<size_t>(kind)];
  PrintSources sources = SourcesForJob();
  FillPrintSourcesFromStores(sources, true);
  if (kind == kKindPhone && sources.phonebook.empty()) {
    SetCursor(cursor);
    ShowMessage(std::string(StringText(1280)), MsgIcon::Stop);
    return;
  }
  PrintDialogRequest request;
  for (const PrintPhoneEntry& entry : sources.phonebook) request.entries.push_back(entry.heading.substr(0, entry.heading.find('\n')));
  request.kind = kind;
  request.title = FormatText("%s %s", StringText(33000).data(), KindName(kind).c_str());
  request.format = RangeFormatOfKind(kind);
  request.from = request.to = CurrentRangeText(request.format);
  request.landscape = layout.landscape != 0;
  request.binderStyle = (Config().printLayout & 8) != 0;
  request.binderLayout = static_cast<uint8_t>(Config().printLayout & 7);
  request.binderPaper = Config().printOption;
  SetCursor(cursor);
  std::optional<PrintDialogAnswer> answer = RunPrintDialog(App().frame, App().instance, request);
  if (!answer) return;
  if (kind == kKindDay) {
    Config().printLayout = static_cast<uint8_t>((answer->binderLayout & 7) | (answer->binderStyle ? 8 : 0));
    Config().printOption = answer->binderPaper;
    SetConfigDirty();
  }
  if (!answer->dc) {
    ShowMessage(std::string(StringText(1702)), MsgIcon::Stop);
    return;
  }
  const CalendarState saved = Calendar();
  PrinterJob job;
  job.dc = answer->dc;
  job.frame = App().frame;
  job.instance = App().instance;
  job.kind = static_cast<PrintKind>(kind);
  job.range.from = StampOf(answer->range.from);
  job.range.to = StampOf(answer->range.to);
  job.range.firstEntry = answer->firstEntry;
  job.range.lastEntry = answer->lastEntry;
  if (kind == kKindDay) {
    sources.binderStyle = answer->binderStyle;
    sources.binderA4 = answer->binderPaper == 1;
    sources.binderLayout = static_cast<BinderLayout>(std::min(answer->binderLayout & 7, 2));
  }
  job.sources = std::move(sources);
  job.layout = layout;
  const PrintOutcome outcome = RunPrinterJob(std::move(job));
  RestoreCalendar(saved);
  SetForegroundWindow(App().frame);
  ReportOutcome(outcome);
}

// The page is measured on the printer; a Letter sheet when there is none.
PaperMetrics MetafilePaper(bool landscape) {
  if (HDC dc = SessionPrinterDc(landscape)) {
    PaperMetrics paper = PrinterPaper(dc);
    DeleteDC(dc);
    if (paper.width > 0 && paper.height > 0) return paper;
  }
  return LetterPaper(landscape);
}

void OutputMetafile(bool toClipboard) {
  const uint16_t view = Config().desk.view;
  if (view != kYearView && view != kMonthView) return;
  const PrintKind kind = view == kYearView ? PrintKind::Year : PrintKind::Month;
  const PageLayout& layout = Config().pageLayouts[static_cast<size_t>(kind)];
  std::optional<std::string> path;
  if (!toClipboard) {
    path = ChooseFile(kSaveMetafile, App().frame);
    if (!path) return;
  }
  HCURSOR cursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const CalendarState saved = Calendar();
  CalendarMetafile metafile = DrawCalendarMetafile(kind, saved.date.year, saved.date.month,
                                                   MetafilePaper(layout.landscape != 0), layout, SourcesForJob());
  RestoreCalendar(saved);
  const bool ok = toClipboard ? PutMetafileOnClipboard(App().frame, metafile) : WriteMetafileFile(*path, metafile);
  SetCursor(cursor);
  if (!ok) ShowMessage(std::string(StringText(1701)), MsgIcon::Warning);
}

// --- Page Layout ----------------------------------------------------------------------------

bool MetricMeasure() {
  char value[4] = "0";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, value, sizeof value);
  return value[0] == '0';
}

class PageLayoutDialog final : public Dialog {
 public:
  PageLayoutDialog(HINSTANCE instance, PageLayout& layout, bool monthKind)
      : Dialog(instance, MAKEINTRESOURCEA(IDD_PAGE_LAYOUT)), layout_(layout), month_(monthKind), metric_(MetricMeasure()) {}

 protected:
  bool OnInit() override {
    const char* unit = StringText(metric_ ? 33013 : 33012).data();
    SetText(IDC_LAYOUT_DISTANCE_UNIT, unit);
    SetText(IDC_LAYOUT_MARGINS, FormatText(StringText(33015).data(), unit));
    CheckRadioButton(hwnd(), IDC_LAYOUT_HEADER, IDC_LAYOUT_FOOTER, layout_.isHeader ? IDC_LAYOUT_HEADER : IDC_LAYOUT_FOOTER);
    CheckRadioButton(hwnd(), IDC_LAYOUT_PORTRAIT, IDC_LAYOUT_LANDSCAPE, layout_.landscape ? IDC_LAYOUT_LANDSCAPE : IDC_LAYOUT_PORTRAIT);
    SendDlgItemMessageA(hwnd(), IDC_LAYOUT_TEXT, EM_LIMITTEXT, 48, 0);
    SetText(IDC_LAYOUT_TEXT, layout_.text);
    SetText(IDC_LAYOUT_DISTANCE, FormatPageMeasure(layout_.distance, metric_));
    SetText(IDC_LAYOUT_TOP, FormatPageMeasure(layout_.topMargin, metric_));
    SetText(IDC_LAYOUT_BOTTOM, FormatPageMeasure(layout_.bottomMargin, metric_));
    SetText(IDC_LAYOUT_LEFT, FormatPageMeasure(layout_.leftMargin, metric_));
    SetText(IDC_LAYOUT_RIGHT, FormatPageMeasure(layout_.rightMargin, metric_));
    SetChecked(IDC_LAYOUT_SIZE_TO_MARGINS, layout_.sizeToMargins != 0);
    Enable(IDC_LAYOUT_SIZE_TO_MARGINS, month_);
    On(IDC_LAYOUT_HEADER, [this](int) { ShowDistanceLabel(); });
    On(IDC_LAYOUT_FOOTER, [this](int) { ShowDistanceLabel(); });
    ShowDistanceLabel();
    return true;
  }

  bool OnOk() override {
    const int boxes[] = {IDC_LAYOUT_DISTANCE, IDC_LAYOUT_TOP, IDC_LAYOUT_BOTTOM, IDC_LAYOUT_LEFT, IDC_LAYOUT_RIGHT};
    int twips[5] = {};
    for (size_t i = 0; i < 5; ++i) {
      auto value = ParsePageMeasure(Text(boxes[i]), metric_);
      if (!value) {
        ShowMessage(FormatText(StringText(33014).data(), FormatPageMeasure(kLargestPageMeasure, metric_).c_str(),
                               StringText(metric_ ? 33013 : 33012).data()),
                    MsgIcon::Warning);
        FocusOn(boxes[i]);
        return false;
      }
      twips[i] = *value;
    }
    layout_.isHeader = Checked(IDC_LAYOUT_HEADER) ? 1 : 0;
    layout_.landscape = Checked(IDC_LAYOUT_LANDSCAPE) ? 1 : 0;
    layout_.text = Text(IDC_LAYOUT_TEXT).substr(0, 48);
    layout_.distance = static_cast<uint16_t>(twips[0]);
    layout_.topMargin = static_cast<uint16_t>(twips[1]);
    layout_.bottomMargin = static_cast<uint16_t>(twips[2]);
    layout_.leftMargin = static_cast<uint16_t>(twips[3]);
    layout_.rightMargin = static_cast<uint16_t>(twips[4]);
    if (month_) layout_.sizeToMargins = Checked(IDC_LAYOUT_SIZE_TO_MARGINS) ? 1 : 0;
    return true;
  }

 private:
  void ShowDistanceLabel() {
    const int where = Checked(IDC_LAYOUT_FOOTER) ? 33003 : 33002;
    SetText(IDC_LAYOUT_DISTANCE_LABEL, FormatText(StringText(33004).data(), StringText(where).data()));
  }

  PageLayout& layout_;
  bool month_;
  bool metric_;
};

void EditPageLayout() {
  const int kind = ChooseKind();
  PageLayout layout = Config().pageLayouts[static_cast<size_t>(kind)];
  PageLayoutDialog dialog(App().instance, layout, kind == kKindMonth);
  if (dialog.RunModal(App().frame) != IDOK) return;
  Config().pageLayouts[static_cast<size_t>(kind)] = layout;
  SetConfigDirty();
}

bool OnCommand(int command, bool run) {
  switch (command) {
    case CMD_PAGE_LAYOUT:
      if (run) EditPageLayout();
      return true;
    case CMD_PRINT: {
      if (!run) return KindPrints(KindOfActive());
      Print();
      return true;
    }
    case CMD_METAFILE_CLIPBOARD:
    case CMD_METAFILE_DISK:
      if (run) OutputMetafile(command == CMD_METAFILE_CLIPBOARD);
      return true;
  }
  return false;
}

}  // namespace

void InstallPrinting() { SetCommandHandler(CommandOwner::Printing, OnCommand); }

}  // namespace kv
