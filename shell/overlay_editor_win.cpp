#include "shell/overlay_editor_win.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "base/win_handles.h"
#include "calendar/jewish.h"
#include "calendar/jewish_observance.h"
#include "overlays/event_editor.h"
#include "overlays/overlay_dialogs.h"
#include "overlays/overlay_rules.h"
#include "overlays/overlay_set.h"
#include "resources/command_ids.h"
#include "resources/overlays_dialog.h"
#include "resources/strings.h"
#include "shell/configuration.h"
#include "views/calendar_state.h"

namespace kv {
namespace {

constexpr int kMsgBadValue = 20139;   // "Bad value entered at cursor position, please correct."
constexpr int kMsgNoOverlay = 28011;  // no overlay to hold a new event
constexpr int kSampleText = 28010;    // "Sample Text"
constexpr int kPropertiesBytes = 28012, kPropertiesKilobytes = 28013, kPropertiesWhen = 28014;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }
std::string Str(int id) { return std::string(StringText(id)); }

bool JewishMode() { return Config().calendarSystem == 2; }

// ---- "Weekends" ---------------------------------------------------------------------------

class WeekendsDialog : public Dialog {
 public:
  explicit WeekendsDialog(int rule) : Dialog(Instance(), MAKEINTRESOURCEA(IDD_WEEKENDS)), rule_(rule) {}
  int rule() const { return rule_; }

 protected:
  bool OnInit() override {
    SetChecked(IDC_WE_RULE + (rule_ & 3), true);
    return true;
  }
  bool OnOk() override {
    for (int r = 0; r < 4; ++r)
      if (Checked(IDC_WE_RULE + r)) rule_ = r;
    return true;
  }

 private:
  int rule_;
};

// ---- "Floating Event" ---------------------------------------------------------------------

class FloatingDialog : public Dialog {
 public:
  explicit FloatingDialog(const DateStamp& date) : Dialog(Instance(), MAKEINTRESOURCEA(IDD_FLOATING_EVENT)), form_(MakeFloatingForm(date)) {}
  int startDay() const { return startDay_; }

 protected:
  bool OnInit() override {
    SetText(IDC_FE_TITLE, form_.title);
    SetText(IDC_FE_FOLLOWING, form_.following);
    for (const FloatingOffer& o : form_.offers) {
      AddLine(IDC_FE_LIST, o.dayLabel);
      AddLine(IDC_FE_LIST, o.weekdayLabel);
    }
    if (!form_.offers.empty()) Select(IDC_FE_LIST, 0);
    On(IDC_FE_LIST, [this](int code) {
      if (code == LBN_DBLCLK && OnOk()) End(IDOK);
    });
    return true;
  }
  bool OnOk() override {
    int line = Selection(IDC_FE_LIST);
    if (line < 0 || static_cast<size_t>(line / 2) >= form_.offers.size()) return false;
    startDay_ = form_.offers[static_cast<size_t>(line / 2)].startDay;
    return true;
  }

 private:
  FloatingForm form_;
  int startDay_ = 0;
};

// ---- "Yahzeit Observance" -----------------------------------------------------------------

class YahrzeitDialog : public Dialog {
 public:
  YahrzeitDialog(const JewishDate& death, bool afterSunset)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_YAHRZEIT_OBSERVANCE)), death_(death), form_(MakeYahrzeitObservanceForm(death, afterSunset)) {}
  const YahrzeitObservanceForm& form() const { return form_; }

 protected:
  bool OnInit() override {
    for (int c = 0; c < 2; ++c) {
      const YahrzeitCase& yc = form_.cases[c];
      SetText(c ? IDC_YO_CASE2 : IDC_YO_CASE1, yc.title);
      int combo = c ? IDC_YO_MONTH2 : IDC_YO_MONTH1;
      for (size_t i = 0; i < yc.months.size(); ++i) {
        AddLine(combo, i < yc.monthNames.size() ? yc.monthNames[i] : std::to_string(yc.months[i]));
        if (yc.months[i] == yc.month) Select(combo, static_cast<int>(i));
      }
      SetInt(c ? IDC_YO_DAY2 : IDC_YO_DAY1, yc.day);
    }
    SetText(IDC_YO_DEATH, form_.deathSentence);
    SetText(IDC_YO_MONTHS, form_.monthSentence);
    return true;
  }
  bool OnOk() override {
    YahrzeitObservanceForm chosen = form_;
    for (int c = 0; c < 2; ++c) {
      YahrzeitCase& yc = chosen.cases[c];
      int pick = Selection(c ? IDC_YO_MONTH2 : IDC_YO_MONTH1);
      if (pick >= 0 && static_cast<size_t>(pick) < yc.months.size()) yc.month = yc.months[static_cast<size_t>(pick)];
      yc.day = Int(c ? IDC_YO_DAY2 : IDC_YO_DAY1).value_or(0);
    }
    int bad = CheckYahrzeitObservance(chosen, death_);
    if (bad >= 0) {
      FocusOn(bad ? IDC_YO_DAY2 : IDC_YO_DAY1);
      return false;
    }
    form_ = chosen;
    return true;
  }

 private:
  JewishDate death_;
  YahrzeitObservanceForm form_;
};

// ---- the accent controls -------------------------------------------------------------------

// The accent part of a dialog (highlight, cell pattern, text and pattern colours, Clear Accent
// and the "Sample Text" preview), shared by the event editor and an overlay's default accent.
class AccentEditor {
 public:
  using Route = std::function<void(int id, std::function<void(int code)>)>;
  AccentEditor(Dialog& dialog, Accent& accent) : d_(dialog), accent_(accent) {}

  // Fills the pattern list, takes over the preview's painting and routes the controls.
  void Install(const Route& on) {
    for (const std::string& name : AccentPatternNames()) d_.AddLine(IDC_OVE_PATTERN, name);
    HWND preview = d_.Item(IDC_ACCENT_PREVIEW);
    SetWindowLongPtrA(preview, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(preview, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AccentEditor::PreviewProc));
    on(IDC_OVE_HIGHLIGHT, [this](int) {
      accent_.highlight = d_.Checked(IDC_OVE_HIGHLIGHT) ? 1 : 0;
      Show();
    });
    on(IDC_OVE_PATTERN, [this](int code) {
      if (code != CBN_SELCHANGE) return;
      int p = d_.Selection(IDC_OVE_PATTERN);
      accent_.pattern = static_cast<uint16_t>(p > 0 ? p : 0);
      if (p > 0) accent_.flags |= kAccentPattern;
      else accent_.flags &= static_cast<uint16_t>(~kAccentPattern);
      Show();
    });
    on(IDC_OVE_TEXT_COLOUR, [this](int) { ChooseColour(accent_.textColour, kAccentTextColour); });
    on(IDC_OVE_PATTERN_COLOUR, [this](int) { ChooseColour(accent_.patternColour, kAccentPattern); });
    on(IDC_OVE_CLEAR_ACCENT, [this](int) {
      uint16_t keep = accent_.flags & kAccentNoGifts;
      accent_ = Accent{};
      accent_.flags = keep;
      Show();
    });
    Show();
  }

  void Show() {
    d_.SetChecked(IDC_OVE_HIGHLIGHT, accent_.highlight != 0);
    d_.Select(IDC_OVE_PATTERN, (accent_.flags & kAccentPattern) && accent_.pattern <= 7 ? accent_.pattern : 0);
    InvalidateRect(d_.Item(IDC_ACCENT_PREVIEW), nullptr, TRUE);
  }

 private:
  void ChooseColour(uint32_t& colour, uint16_t flag) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = d_.hwnd();
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&cc)) return;
    colour = cc.rgbResult;
    accent_.flags |= flag;
    if (flag == kAccentPattern && accent_.pattern == 0) accent_.pattern = 1;
    Show();
  }

  // What a day cell shows for the accent: the pattern in its colour, the day number in the
  // highlight colour when highlighted, and "Sample Text" in the text colour.
  void Paint(HWND preview) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(preview, &ps);
    RECT r;
    GetClientRect(preview, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    if ((accent_.flags & kAccentPattern) && accent_.pattern >= 1 && accent_.pattern <= 7) {
      HBRUSH brush = accent_.pattern == 1 ? CreateSolidBrush(accent_.patternColour)
                                          : CreateHatchBrush(accent_.pattern - 2, accent_.patternColour);
      FillRect(dc, &r, brush);
      DeleteObject(brush);
    }
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(d_.hwnd(), WM_GETFONT, 0, 0)));
    const ViewColours& colours = Calendar().options.colours;
    auto rgb = [](Colour c) { return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); };
    SetTextColor(dc, accent_.highlight ? rgb(colours.highlight) : GetSysColor(COLOR_WINDOWTEXT));
    RECT number = {r.left + 3, r.top + 2, r.right, r.bottom};
    DrawTextA(dc, "7", 1, &number, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, (accent_.flags & kAccentTextColour) ? accent_.textColour : GetSysColor(COLOR_WINDOWTEXT));
    std::string sample = Str(kSampleText);
    RECT line = {r.left + 3, r.top + (r.bottom - r.top) / 2, r.right - 2, r.bottom};
    DrawTextA(dc, sample.c_str(), static_cast<int>(sample.size()), &line, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(preview, &ps);
  }

  static LRESULT CALLBACK PreviewProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<AccentEditor*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (self && msg == WM_PAINT) {
      try {
        self->Paint(h);
      } catch (...) {
        ValidateRect(h, nullptr);
      }
      return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcA(h, msg, wp, lp);
  }

  Dialog& d_;
  Accent& accent_;
};

// ---- an overlay's default accent and properties ------------------------------------------

class OverlayAccentDialog : public Dialog {
 public:
  explicit OverlayAccentDialog(const Accent& accent)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_OVERLAY_ACCENT)), accent_(accent) {}
  const Accent& accent() const { return accent_; }

 protected:
  bool OnInit() override {
    editor_.Install([this](int id, std::function<void(int)> handler) { On(id, std::move(handler)); });
    return true;
  }

 private:
  Accent accent_;
  AccentEditor editor_{*this, accent_};
};

// A whole number with the user's thousands separator.
std::string GroupedNumber(uint64_t n) {
  std::string digits = std::to_string(n);
  char grouped[64] = "";
  NUMBERFMTA f{};
  char decimal[8] = ".", thousand[8] = ",";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousand, sizeof thousand);
  f.Grouping = 3;
  f.lpDecimalSep = decimal;
  f.lpThousandSep = thousand;
  if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits.c_str(), &f, grouped, sizeof grouped) > 0) return grouped;
  return digits;
}

// "512 bytes" under a kilobyte, else kilobytes with one decimal ("12.3 KB").
std::string FileSizeText(uint64_t bytes) {
  if (bytes < 1024) return FormatText(Str(kPropertiesBytes).c_str(), GroupedNumber(bytes).c_str());
  return FormatText(Str(kPropertiesKilobytes).c_str(), GroupedNumber(bytes / 1024).c_str(),
                    static_cast<int>((bytes % 1024) * 10 / 1024));
}

std::string FileTimeText(const FILETIME& stamp) {
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&stamp, &local) || !FileTimeToSystemTime(&local, &st)) return {};
  char date[80] = "", time[40] = "";
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
  return FormatText(Str(kPropertiesWhen).c_str(), date, time);
}

class OverlayPropertiesDialog : public Dialog {
 public:
  explicit OverlayPropertiesDialog(int number)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_OVERLAY_PROPERTIES)), number_(number) {}

 protected:
  bool OnInit() override {
    const std::string& path = Overlays().paths[static_cast<size_t>(number_ - 1)];
    SetText(IDC_OVP_NAME, OverlayName(number_));
    SetText(IDC_OVP_FILE, path);
    SetInt(IDC_OVP_EVENTS, static_cast<int>(OverlayEventPositions(number_, 0).size()));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
      uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      SetText(IDC_OVP_SIZE, FileSizeText(size));
      SetText(IDC_OVP_CREATED, FileTimeText(data.ftCreationTime));
      SetText(IDC_OVP_MODIFIED, FileTimeText(data.ftLastWriteTime));
    }
    return true;
  }

 private:
  int number_;
};

// ---- "Edit Overlay Event" -----------------------------------------------------------------

class EventDialog : public Dialog {
 public:
  // An existing event (`position` in the event list) or a new one on `day` for `overlay`.
  EventDialog(std::optional<size_t> position, const DateStamp& day, int overlay)
      : Dialog(Instance(), MAKEINTRESOURCEA(IDD_OVERLAY_EVENT)), position_(position), day_(day), overlay_(overlay) {
    if (position_) {
      const LoadedEvent& loaded = Overlays().events[*position_];
      event_ = loaded.event;
      overlay_ = loaded.overlay;
    } else {
      event_.kind = kKindOnce;
      event_.year = static_cast<int16_t>(day.year);
      event_.month = day.month;
      event_.day = day.day;
      event_.flags = kFlagBelowTimed;
      event_.weight = static_cast<int16_t>(kBelowWeightBase - 999);
    }
    accent_ = event_.accent;
  }

 protected:
  bool OnInit() override;
  bool OnOk() override;
  INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  int Kind() const {
    int pick = Selection(IDC_OVE_REPEAT);
    return pick >= 0 && static_cast<size_t>(pick) < choices_.size() ? choices_[static_cast<size_t>(pick)].kind : kind_;
  }
  std::optional<DateStamp> BoxDate(int id) const {
    DateStamp d{};
    if (!SendMessageA(Item(id), kMsgDateboxGet, 0, reinterpret_cast<LPARAM>(&d))) return std::nullopt;
    if (!IsValidDate(d.month, d.day, d.year)) return std::nullopt;
    return DateStamp{d.year, d.month, d.day};
  }
  void SetBoxDate(int id, const DateStamp& date) {
    DateStamp d = date;
    SendMessageA(Item(id), kMsgDateboxSet, 0, reinterpret_cast<LPARAM>(&d));
  }
  void FillRepeatList();
  void ShowFieldsOf(int kind);
  void KindChosen();
  bool AskYahrzeitObservance();

  std::optional<size_t> position_;
  DateStamp day_;
  int overlay_;
  OverlayEvent event_;
  Accent accent_;
  AccentEditor accentEditor_{*this, accent_};
  int kind_ = kKindOnce;
  DateStamp shown_{};               // the date the repeat list was built for
  std::vector<RepeatChoice> choices_;
  std::vector<int> overlayNumbers_;  // the "Default Overlay" lines
  int weekendRule_ = 0;
  int floatingDay_ = 0;
  uint16_t yahrzeitDays_ = 0, yahrzeitMonths_ = 0;
  DateStamp yahrzeitFor_{};          // the day the observance was chosen for
  bool yahrzeitSunset_ = false;
};

bool EventDialog::OnInit() {
  bool jewish = IsJewishKind(event_.kind);
  EventEditorValues v = EditorValuesOf(event_);
  kind_ = v.kind;
  weekendRule_ = v.weekendRule;
  yahrzeitDays_ = v.yahrzeitDays;
  yahrzeitMonths_ = v.yahrzeitMonths;
  DateStamp shown = v.date;
  if (jewish) shown = EditorDayOfJewishDate(v.kind, JewishDate{v.date.year, v.date.month, v.date.day}, v.jewishFlags, day_.year);
  else if (!IsValidDate(shown.month, shown.day, shown.year)) shown = day_;
  if (position_ && kind_ == kKindYahrzeit) yahrzeitFor_ = shown, yahrzeitSunset_ = (v.jewishFlags & kJewishAfterSunset) != 0;
  SetBoxDate(IDC_OVE_DATE, shown);
  DateStamp end = v.rangeEnd;
  if (jewish && v.rangeOn)
    end = EditorDayOfJewishDate(kKindJewishDate, JewishDate{end.year, end.month, end.day}, 0, day_.year);
  SetBoxDate(IDC_OVE_END, v.rangeOn && IsValidDate(end.month, end.day, end.year) ? end : shown);
  SetText(IDC_OVE_TEXT, v.text);
  SendDlgItemMessageA(hwnd(), IDC_OVE_TEXT, EM_LIMITTEXT, static_cast<WPARAM>(MaxDescriptionLength(kind_)), 0);
  for (int id : {IDC_OVE_N, IDC_OVE_OFFSET, IDC_OVE_WEIGHT}) SendDlgItemMessageA(hwnd(), id, EM_LIMITTEXT, 5, 0);
  SendDlgItemMessageA(hwnd(), IDC_OVE_TIME, EM_LIMITTEXT, 12, 0);
  EditorLayout layout = EditorLayoutFor(kind_, v.wedding);
  SetInt(IDC_OVE_N, kind_ == kKindJewishPeriod ? v.periodDays : (layout.nField && v.n >= 1 ? v.n : layout.nDefault));
  SetChecked(IDC_OVE_SUNSET, (v.jewishFlags & kJewishAfterSunset) != 0);
  SetChecked(IDC_OVE_WEDDING, v.wedding);
  SetChecked(IDC_OVE_GIFTS, v.gifts);
  SetChecked(IDC_OVE_RANGE, v.rangeOn);
  SetInt(IDC_OVE_OFFSET, v.offsetDays);
  SetChecked(v.offsetBefore ? IDC_OVE_BEFORE : IDC_OVE_AFTER, true);
  SetText(IDC_OVE_TIME, v.timeText);
  SetChecked(v.above ? IDC_OVE_ABOVE : IDC_OVE_BELOW, true);
  SetInt(IDC_OVE_WEIGHT, v.weight);
  SetText(IDC_OVE_WEIGHT_HELP, WeightHelpText(!v.timeText.empty()));
  // The repeat list: a category column and the label; the closed box shows the label alone.
  HDC dc = GetDC(hwnd());
  SendDlgItemMessageA(hwnd(), IDC_OVE_REPEAT, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 16);
  SendDlgItemMessageA(hwnd(), IDC_OVE_REPEAT, CB_SETITEMHEIGHT, 0, 16);
  ReleaseDC(hwnd(), dc);
  FillRepeatList();
  // The overlay a new event goes into; an existing one stays in its own.
  const OverlaySetState& set = Overlays();
  int chosen = overlay_;
  for (int n = 1; n <= OverlayCount(); ++n) {
    if (chosen == 0 && set.paths[static_cast<size_t>(n - 1)] == set.defaultOverlay) chosen = n;
    overlayNumbers_.push_back(n);
    AddLine(IDC_OVE_OVERLAY, OverlayName(n));
  }
  if (chosen == 0) chosen = 1;
  Select(IDC_OVE_OVERLAY, chosen - 1);
  Enable(IDC_OVE_OVERLAY, !position_);
  accentEditor_.Install([this](int id, std::function<void(int)> handler) { On(id, std::move(handler)); });
  ShowFieldsOf(kind_);

  On(IDC_OVE_REPEAT, [this](int code) {
    if (code == CBN_SELCHANGE) KindChosen();
  });
  On(IDC_OVE_DATE, [this](int) {
    std::optional<DateStamp> d = BoxDate(IDC_OVE_DATE);
    if (d && (d->year != shown_.year || d->month != shown_.month || d->day != shown_.day)) FillRepeatList();
  });
  On(IDC_OVE_N, [this](int code) {
    if (code == EN_KILLFOCUS) FillRepeatList();
  });
  On(IDC_OVE_WEDDING, [this](int) { ShowFieldsOf(Kind()); });
  On(IDC_OVE_RANGE, [this](int) { Enable(IDC_OVE_END, Checked(IDC_OVE_RANGE) || EditorLayoutFor(Kind()).range == RangeBox::Always); });
  On(IDC_OVE_TIME, [this](int code) {
    if (code == EN_CHANGE) SetText(IDC_OVE_WEIGHT_HELP, WeightHelpText(!Text(IDC_OVE_TIME).empty()));
  });
  On(IDC_OVE_WEEKENDS, [this](int) {
    WeekendsDialog d(weekendRule_);
    if (d.RunModal(hwnd()) == IDOK) weekendRule_ = d.rule();
  });
  On(IDC_OVE_FOLLOWING, [this](int) {
    std::optional<DateStamp> date = BoxDate(IDC_OVE_DATE);
    if (!date) return;
    FloatingDialog d(*date);
    if (d.RunModal(hwnd()) == IDOK) floatingDay_ = d.startDay();
  });
  return true;
}

void EventDialog::FillRepeatList() {
  std::optional<DateStamp> date = BoxDate(IDC_OVE_DATE);
  if (!date) return;
  shown_ = *date;
  int kind = Kind();
  RepeatOffer offer;
  offer.target = RepeatFor::Overlay;
  offer.gregorianKinds = !JewishMode();
  offer.jewishKinds = true;
  offer.n = Int(IDC_OVE_N).value_or(0);
  choices_ = Describe(*date, offer);
  ClearLines(IDC_OVE_REPEAT);
  int pick = 0;
  for (size_t i = 0; i < choices_.size(); ++i) {
    AddLine(IDC_OVE_REPEAT, choices_[i].label);
    if (choices_[i].kind == kind) pick = static_cast<int>(i);
  }
  Select(IDC_OVE_REPEAT, pick);
  if (!choices_.empty() && choices_[static_cast<size_t>(pick)].kind != kind) KindChosen();
}

void EventDialog::ShowFieldsOf(int kind) {
  EditorLayout l = EditorLayoutFor(kind, Checked(IDC_OVE_WEDDING));
  SetText(IDC_OVE_DATE_LABEL, Str(l.dateLabel));
  SetText(IDC_OVE_TEXT_LABEL, Str(l.textLabel));
  SendDlgItemMessageA(hwnd(), IDC_OVE_TEXT, EM_LIMITTEXT, static_cast<WPARAM>(MaxDescriptionLength(kind)), 0);
  bool nShown = l.nField || l.periodDays;
  SetText(IDC_OVE_N_LABEL, l.periodDays ? "&# Days:" : "'&N':");
  Show(IDC_OVE_N_LABEL, nShown);
  Show(IDC_OVE_N, nShown);
  Show(IDC_OVE_SUNSET, l.afterSunset);
  Show(IDC_OVE_WEDDING, l.anniversaryBoxes);
  Show(IDC_OVE_GIFTS, l.anniversaryBoxes);
  Enable(IDC_OVE_GIFTS, Checked(IDC_OVE_WEDDING));
  Show(IDC_OVE_FOLLOWING, l.floatingButton);
  Show(IDC_OVE_WEEKENDS, l.weekendsButton);
  Show(IDC_OVE_RANGE, l.range != RangeBox::None);
  Show(IDC_OVE_END, l.range != RangeBox::None);
  if (l.range == RangeBox::Always) SetChecked(IDC_OVE_RANGE, true);
  Enable(IDC_OVE_RANGE, l.range == RangeBox::Optional);
  Enable(IDC_OVE_END, l.range == RangeBox::Always || (l.range == RangeBox::Optional && Checked(IDC_OVE_RANGE)));
  for (int id : {IDC_OVE_OFFSET_LABEL, IDC_OVE_OFFSET, IDC_OVE_BEFORE, IDC_OVE_AFTER, IDC_OVE_TIME_LABEL, IDC_OVE_TIME})
    Enable(id, l.offsetAndTime);
  Enable(IDC_OVE_DATE, l.hasDate);
}

void EventDialog::KindChosen() {
  int kind = Kind();
  if (kind == kKindYahrzeit && kind_ != kKindYahrzeit && !AskYahrzeitObservance()) {
    // Cancelled: back to the kind that was chosen before.
    for (size_t i = 0; i < choices_.size(); ++i)
      if (choices_[i].kind == kind_) Select(IDC_OVE_REPEAT, static_cast<int>(i));
    return;
  }
  EditorLayout before = EditorLayoutFor(kind_);
  EditorLayout after = EditorLayoutFor(kind);
  if (after.nField && (!before.nField || before.nDefault != after.nDefault)) SetInt(IDC_OVE_N, after.nDefault);
  if (after.periodDays && !before.periodDays) SetInt(IDC_OVE_N, 1);
  kind_ = kind;
  ShowFieldsOf(kind);
}

// The observance choices for a Yahrzeit whose date does not come every year; true when none
// are needed or they were chosen.
bool EventDialog::AskYahrzeitObservance() {
  std::optional<DateStamp> date = BoxDate(IDC_OVE_DATE);
  if (!date) return false;
  bool sunset = Checked(IDC_OVE_SUNSET);
  StoredJewishDate death = JewishDateForEditor(kKindYahrzeit, *date, sunset);
  JewishDate actual = death.date;
  if (death.flags & kJewishInSecondAdar) actual.month = kAdarII;
  if (!NeedsYahrzeitObservance(actual)) return true;
  YahrzeitDialog dialog(actual, sunset);
  if (dialog.RunModal(hwnd()) != IDOK) return false;
  const YahrzeitObservanceForm& f = dialog.form();
  yahrzeitDays_ = PackYahrzeitDays(f.cases[0].day, f.cases[1].day);
  yahrzeitMonths_ = PackYahrzeitMonths(f.cases[0].month, f.cases[1].month);
  yahrzeitFor_ = *date;
  yahrzeitSunset_ = sunset;
  return true;
}

bool EventDialog::OnOk() {
  int kind = Kind();
  EditorLayout layout = EditorLayoutFor(kind, Checked(IDC_OVE_WEDDING));
  std::optional<DateStamp> date = BoxDate(IDC_OVE_DATE);
  if (!date && layout.hasDate) {
    ShowMessage(Str(kMsgBadValue));
    FocusOn(IDC_OVE_DATE);
    return false;
  }
  if (!date) date = day_;
  bool sunset = Checked(IDC_OVE_SUNSET) && layout.afterSunset;
  // A Yahrzeit whose date or sunset changed since the observance was chosen asks again.
  if (kind == kKindYahrzeit &&
      (yahrzeitFor_.year != date->year || yahrzeitFor_.month != date->month || yahrzeitFor_.day != date->day ||
       yahrzeitSunset_ != sunset)) {
    yahrzeitDays_ = yahrzeitMonths_ = 0;
    if (!AskYahrzeitObservance()) return false;
  }
  EventEditorValues v;
  v.kind = kind;
  v.date = *date;
  if (IsJewishKind(kind)) {
    StoredJewishDate j = JewishDateForEditor(kind, *date, sunset);
    v.date = DateStamp{j.date.year, static_cast<uint16_t>(j.date.month), static_cast<uint16_t>(j.date.day)};
    v.jewishFlags = j.flags;
    if (kind == kKindYahrzeit && yahrzeitMonths_ == 0) {
      JewishRule rule = JewishRuleOf(event_);
      rule.year = j.date.year, rule.month = j.date.month, rule.day = j.date.day, rule.flags = j.flags;
      FillYahrzeitAlternatives(rule);
      yahrzeitDays_ = PackYahrzeitDays(rule.altDay[0], rule.altDay[1]);
      yahrzeitMonths_ = PackYahrzeitMonths(rule.altMonth[0], rule.altMonth[1]);
    }
  }
  v.text = Text(IDC_OVE_TEXT);
  std::string offset = Text(IDC_OVE_OFFSET);
  v.offsetDays = offset.empty() ? 0 : Int(IDC_OVE_OFFSET).value_or(-1);
  v.offsetBefore = Checked(IDC_OVE_BEFORE);
  v.timeText = Text(IDC_OVE_TIME);
  v.n = Int(IDC_OVE_N).value_or(0);
  v.periodDays = std::max(1, Int(IDC_OVE_N).value_or(1));
  v.rangeOn = Checked(IDC_OVE_RANGE);
  std::optional<DateStamp> end = BoxDate(IDC_OVE_END);
  bool ranged = layout.range == RangeBox::Always || (layout.range == RangeBox::Optional && v.rangeOn);
  if (ranged && !end) {
    ShowMessage(Str(kMsgBadValue));
    FocusOn(IDC_OVE_END);
    return false;
  }
  if (end) v.rangeEnd = *end;
  if (end && IsJewishKind(kind)) {
    // A Jewish range ends on a Jewish date too.
    StoredJewishDate j = JewishDateForEditor(kKindJewishDate, *end, false);
    v.rangeEnd = DateStamp{j.date.year, static_cast<uint16_t>(j.date.month), static_cast<uint16_t>(j.date.day)};
  }
  v.above = Checked(IDC_OVE_ABOVE);
  v.weight = Int(IDC_OVE_WEIGHT).value_or(0);
  v.wedding = Checked(IDC_OVE_WEDDING);
  v.gifts = Checked(IDC_OVE_GIFTS);
  v.weekday = IsValidDate(date->month, date->day, date->year) ? Weekday(date->month, date->day, date->year) : 0;
  v.weekendRule = weekendRule_;
  v.yahrzeitDays = yahrzeitDays_;
  v.yahrzeitMonths = yahrzeitMonths_;

  OverlayEvent changed = event_;
  changed.accent = accent_;
  EditorField field = CheckEventEditor(v, changed, !position_);
  switch (field) {
    case EditorField::None: break;
    case EditorField::Text: FocusOn(IDC_OVE_TEXT); return false;
    case EditorField::Offset: FocusOn(IDC_OVE_OFFSET); return false;
    case EditorField::Time: FocusOn(IDC_OVE_TIME); return false;
    case EditorField::N: FocusOn(IDC_OVE_N); return false;
    case EditorField::EndDate: FocusOn(IDC_OVE_END); return false;
    case EditorField::Weight: FocusOn(IDC_OVE_WEIGHT); return false;
  }
  if (kind == kKindFloating && floatingDay_ > 0) changed.day = static_cast<uint16_t>(floatingDay_);
  if (position_) return ReplaceEvent(*position_, changed);
  int pick = Selection(IDC_OVE_OVERLAY);
  if (pick < 0 || static_cast<size_t>(pick) >= overlayNumbers_.size()) return false;
  int number = overlayNumbers_[static_cast<size_t>(pick)];
  if (!AddEventToOverlay(number, changed)) return false;
  Overlays().defaultOverlay = Overlays().paths[static_cast<size_t>(number - 1)];
  return true;
}

INT_PTR EventDialog::OnMessage(UINT message, WPARAM, LPARAM lp, bool& handled) {
  if (message != WM_DRAWITEM) return FALSE;
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
  if (item->CtlID != IDC_OVE_REPEAT) return FALSE;
  handled = true;
  bool selected = (item->itemState & ODS_SELECTED) != 0;
  FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item->itemID == static_cast<UINT>(-1) || item->itemID >= choices_.size()) return TRUE;
  const RepeatChoice& choice = choices_[item->itemID];
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT r = item->rcItem;
  r.left += 2;
  if (item->itemState & ODS_COMBOBOXEDIT) {
    std::string label = ChosenRepeatLabel(choice);
    DrawTextA(item->hDC, label.c_str(), static_cast<int>(label.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  } else {
    std::string column = RepeatCategoryColumnSample();
    SIZE size{};
    GetTextExtentPoint32A(item->hDC, column.c_str(), static_cast<int>(column.size()), &size);
    RECT cat = r;
    cat.right = r.left + size.cx;
    DrawTextA(item->hDC, choice.category.c_str(), static_cast<int>(choice.category.size()), &cat,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RECT label = r;
    label.left = cat.right;
    DrawTextA(item->hDC, choice.label.c_str(), static_cast<int>(choice.label.size()), &label,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
  return TRUE;
}

}  // namespace

bool RunOverlayEventEditor(HWND owner, size_t position, const DateStamp& day) {
  if (position >= Overlays().events.size()) return false;
  if (!CanEditInMode(Overlays().events[position].event, JewishMode())) return false;
  EventDialog dialog(position, day, 0);
  return dialog.RunModal(owner) == IDOK;
}

bool RunNewOverlayEvent(HWND owner, const DateStamp& day, int overlay) {
  if (OverlayCount() == 0) {
    ShowMessage(Str(kMsgNoOverlay));
    return false;
  }
  EventDialog dialog(std::nullopt, day, overlay);
  return dialog.RunModal(owner) == IDOK;
}

bool RunOverlayAccentDialog(HWND owner, int number) {
  if (number < 1 || number > OverlayCount()) return false;
  OverlayAccentDialog dialog(OverlayAccent(number));
  if (dialog.RunModal(owner) != IDOK) return false;
  return SetOverlayAccent(number, dialog.accent());
}

void RunOverlayProperties(HWND owner, int number) {
  if (number < 1 || number > OverlayCount()) return;
  OverlayPropertiesDialog(number).RunModal(owner);
}

}  // namespace kv
