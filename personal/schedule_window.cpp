#include "personal/schedule_window.h"

#include <algorithm>
#include <utility>

#include "calendar/date_format.h"
#include "personal/schedule_dialog.h"
#include "store/db_files.h"

namespace kv {
namespace {

constexpr int kLabelPad = 4;     // room left and right of a time label
constexpr int kBarWidth = 5;     // the summary bar's column
constexpr int kItemsMargin = 3;  // between the bar and the items, and at the right edge

ScheduleWindowHooks& Hooks() {
  static ScheduleWindowHooks hooks;
  return hooks;
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int CeilDiv(int a, int b) { return -FloorDiv(-a, b); }

bool ValidIncrement(int increment) {
  const std::vector<int>& steps = SchedIncrements();
  return std::find(steps.begin(), steps.end(), increment) != steps.end();
}

bool SameDate(const DateStamp& a, const DateStamp& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

DateStamp DateOnly(int32_t year, int month, int day) {
  DateStamp d;
  d.year = year;
  d.month = static_cast<uint16_t>(month);
  d.day = static_cast<uint16_t>(day);
  return d;
}

// The part of an item inside the shown day, or false when it does not reach into it.
bool ShownSpan(const SchedItem& item, int& start, int& end) {
  int s = item.record.start, e = item.record.end;
  if (e > s ? (e <= 0 || s >= kMinutesPerDay) : (s < 0 || s >= kMinutesPerDay)) return false;
  start = std::max(s, 0);
  end = std::clamp(e, start, kMinutesPerDay);
  return true;
}

// A small sheet of paper with a folded corner: the item has a note.
void DrawNoteSymbol(Canvas& canvas, Point at, int size, Colour ink) {
  Rect sheet{at.x, at.y, at.x + std::max(4, size * 3 / 4), at.y + size};
  canvas.FillRect(sheet, MakeColour(255, 255, 255));
  canvas.FrameRect(sheet, Pen{ink, 1});
  int fold = std::max(2, size / 4);
  Point corner[] = {{sheet.right - fold - 1, sheet.top}, {sheet.right - 1, sheet.top + fold},
                    {sheet.right - fold - 1, sheet.top + fold}};
  canvas.DrawPolygon(corner, Pen{ink, 1}, SolidBrush(MakeColour(220, 220, 220)));
  for (int y = sheet.top + fold + 2; y < sheet.bottom - 2; y += 3)
    canvas.DrawLine({sheet.left + 2, y}, {sheet.right - 2, y}, Pen{ink, 1});
}

}  // namespace

// ---- settings ------------------------------------------------------------------------------

ScheduleGridSettings SaneGridSettings(const ScheduleGridSettings& in) {
  ScheduleGridSettings s = in;
  ScheduleGridSettings fresh;
  if (!ValidIncrement(s.increment)) s.increment = fresh.increment;
  auto hour = [](int h, int fallback) { return h >= 0 && h <= 23 ? h : fallback; };
  s.initialHour = hour(s.initialHour, fresh.initialHour);
  s.summaryStartHour = hour(s.summaryStartHour, fresh.summaryStartHour);
  s.summaryEndHour = hour(s.summaryEndHour, fresh.summaryEndHour);
  if (s.summaryEndHour < s.summaryStartHour) s.summaryEndHour = s.summaryStartHour;
  return s;
}

void SetScheduleWindowHooks(ScheduleWindowHooks hooks) { Hooks() = std::move(hooks); }

namespace {

// The settings from the hook, made sane.
ScheduleGridSettings CurrentGridSettings() {
  return SaneGridSettings(Hooks().settings ? Hooks().settings() : ScheduleGridSettings{});
}

}  // namespace

// ---- geometry ----------------------------------------------------------------------------

int ScheduleGrid::VisibleRows() const { return std::max(1, rowHeight > 0 ? height / rowHeight : 1); }
int ScheduleGrid::MaxFirstRow() const { return std::max(0, rows - VisibleRows()); }

ScheduleGrid LayOutScheduleGrid(const Canvas& canvas, const ScheduleGridSettings& settings,
                                const RegionalSettings& regional, int width, int height) {
  ScheduleGridSettings s = SaneGridSettings(settings);
  ScheduleGrid g;
  g.increment = s.increment;
  g.rows = kMinutesPerDay / s.increment;
  int line = std::max({canvas.LineHeight(kScheduleLabelFont), canvas.LineHeight(kScheduleHourFont),
                       canvas.LineHeight(kScheduleItemFont)});
  g.rowHeight = std::max(line, 8) + 3;
  const std::string& designator =
      canvas.TextWidth(kScheduleHourFont, regional.afternoon) > canvas.TextWidth(kScheduleHourFont, regional.morning)
          ? regional.afternoon
          : regional.morning;
  std::string widest = std::string("24") + regional.timeSeparator + "00 " + designator;
  g.labelWidth = std::max(canvas.TextWidth(kScheduleHourFont, widest), canvas.TextWidth(kScheduleLabelFont, widest)) +
                 2 * kLabelPad;
  g.barLeft = g.labelWidth + 1;
  g.barWidth = kBarWidth;
  g.itemsLeft = g.barLeft + g.barWidth + kItemsMargin;
  g.width = std::max(width, 0);
  g.height = std::max(height, 0);
  g.summaryStartRow = s.summaryStartHour * 60 / s.increment;
  g.summaryEndRow = s.summaryEndHour * 60 / s.increment;
  g.firstRow = std::min(s.initialHour * 60 / s.increment, g.MaxFirstRow());
  return g;
}

bool ScrollScheduleGrid(ScheduleGrid& grid, int firstRow) {
  int row = std::clamp(firstRow, 0, grid.MaxFirstRow());
  if (row == grid.firstRow) return false;
  grid.firstRow = row;
  return true;
}

// ---- picking times -------------------------------------------------------------------------

int MinuteAtOffset(const ScheduleGrid& grid, int y) {
  int rowHeight = std::max(grid.rowHeight, 1);
  int minute = FloorDiv(y * grid.increment, rowHeight) + grid.FirstMinute();
  return FloorDiv(minute, 5) * 5;
}

PickedTime PickTime(const ScheduleGrid& grid, int y) {
  int minute = MinuteAtOffset(grid, y);
  PickedTime p;
  p.dayOffset = FloorDiv(minute, kMinutesPerDay);
  p.minute = minute - p.dayOffset * kMinutesPerDay;
  // A drag held far outside the pane still moves by one day only.
  if (p.dayOffset < -1) p = {-1, 0};
  if (p.dayOffset > 1) p = {1, kMinutesPerDay - 5};
  return p;
}

MinuteRange DragRange(int fromMinute, int toMinute) {
  int a = std::clamp(fromMinute, 0, kMinutesPerDay), b = std::clamp(toMinute, 0, kMinutesPerDay);
  return {std::min(a, b), std::max(a, b)};
}

// ---- items -------------------------------------------------------------------------------------

std::vector<ScheduleItemBox> LayOutScheduleItems(const ScheduleGrid& grid, const SchedDayList& list) {
  struct Span {
    int index, top, bottom, column;
  };
  std::vector<Span> spans;
  for (size_t i = 0; i < list.items.size(); ++i) {
    int start = 0, end = 0;
    if (!ShownSpan(list.items[i], start, end)) continue;
    int top = std::min(start / grid.increment, grid.rows - 1);
    int bottom = std::clamp(CeilDiv(end, grid.increment), top + 1, grid.rows);
    spans.push_back({static_cast<int>(i), top, bottom, 0});
  }
  // Starts within the day keep the list's order; items from the day before all start at row 0.
  std::stable_sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.top < b.top; });

  std::vector<ScheduleItemBox> boxes;
  int itemsWidth = std::max(grid.width - grid.itemsLeft - kItemsMargin, 12);
  size_t clusterBegin = 0;
  std::vector<int> columnEnds;  // the bottom row of each column of the current cluster
  int clusterBottom = 0;
  auto closeCluster = [&](size_t end) {
    int columns = std::max<int>(1, static_cast<int>(columnEnds.size()));
    int columnWidth = std::max(itemsWidth / columns, 4);
    for (size_t k = clusterBegin; k < end; ++k) {
      const Span& s = spans[k];
      ScheduleItemBox box;
      box.index = s.index;
      box.row = s.top;
      int left = grid.itemsLeft + s.column * columnWidth;
      box.rect = {left, grid.RowTop(s.top) + 1, left + columnWidth - 2, grid.RowTop(s.bottom)};
      const SchedItem& item = list.items[static_cast<size_t>(s.index)];
      box.fromDayBefore = item.record.start < 0;
      box.intoDayAfter = item.record.end > kMinutesPerDay;
      boxes.push_back(box);
    }
    columnEnds.clear();
    clusterBegin = end;
  };
  for (size_t k = 0; k < spans.size(); ++k) {
    Span& s = spans[k];
    if (k > clusterBegin && s.top >= clusterBottom) closeCluster(k);
    if (k == clusterBegin) clusterBottom = 0;
    auto slot = std::find_if(columnEnds.begin(), columnEnds.end(), [&](int e) { return e <= s.top; });
    if (slot == columnEnds.end()) {
      s.column = static_cast<int>(columnEnds.size());
      columnEnds.push_back(s.bottom);
    } else {
      s.column = static_cast<int>(slot - columnEnds.begin());
      *slot = s.bottom;
    }
    clusterBottom = std::max(clusterBottom, s.bottom);
  }
  closeCluster(spans.size());
  return boxes;
}

int ScheduleItemAt(const std::vector<ScheduleItemBox>& boxes, Point at) {
  for (const ScheduleItemBox& b : boxes)
    if (b.rect.Contains(at)) return b.index;
  return -1;
}

// ---- painting ------------------------------------------------------------------------------

std::string ScheduleItemTimes(const SchedItem& item, const RegionalSettings& regional) {
  std::string text = FormatTimeOfDay(MinuteOfDay(item.record.start), regional);
  if (item.record.end != item.record.start) text += " - " + FormatTimeOfDay(MinuteOfDay(item.record.end), regional);
  return text;
}

void PaintScheduleGrid(Canvas& canvas, const ScheduleGrid& g, const SchedDayList& list,
                       const std::vector<ScheduleItemBox>& boxes, const ScheduleChoice& choice,
                       const ScheduleColours& c, const RegionalSettings& regional) {
  canvas.FillRect({0, 0, g.width, g.height}, c.window);
  canvas.FillRect({0, 0, g.labelWidth, g.height}, c.labelBack);
  int rowHeight = std::max(g.rowHeight, 1);
  auto minuteY = [&](int minute) { return FloorDiv((minute - g.FirstMinute()) * rowHeight, g.increment); };

  // The picked time (its row) or range, behind the lines.
  if (choice.pickStart >= 0) {
    int top = choice.pickEnd > choice.pickStart ? minuteY(choice.pickStart) : g.RowTop(choice.pickStart / g.increment);
    int bottom = choice.pickEnd > choice.pickStart ? minuteY(choice.pickEnd)
                                                    : g.RowTop(choice.pickStart / g.increment + 1);
    Rect picked = Intersect({g.barLeft + g.barWidth, top, g.width, bottom}, {0, 0, g.width, g.height});
    if (!picked.Empty()) canvas.FillRect(picked, c.picked);
  }

  int last = std::min(g.rows, g.firstRow + CeilDiv(g.height, rowHeight));
  for (int row = std::max(g.firstRow, 0); row < last; ++row) {
    int y = g.RowTop(row), minute = row * g.increment;
    bool hour = minute % 60 == 0;
    canvas.DrawLine({hour ? 0 : g.labelWidth, y}, {g.width, y}, Pen{hour ? c.hourLine : c.rowLine, 1});
    Rect label{kLabelPad, y, g.labelWidth - kLabelPad, y + rowHeight};
    canvas.DrawTextInRect(hour ? kScheduleHourFont : kScheduleLabelFont, label, FormatTimeOfDay(minute, regional),
                          hour ? c.text : c.minorText, kTextRight | kTextVCentre | kTextSingleLine);
    if (row >= g.summaryStartRow && row < g.summaryEndRow)
      canvas.FillRect({g.barLeft, y, g.barLeft + g.barWidth, y + rowHeight}, c.summary);
  }
  canvas.DrawLine({g.labelWidth, 0}, {g.labelWidth, g.height}, Pen{c.hourLine, 1});

  int line = canvas.LineHeight(kScheduleItemFont);
  for (const ScheduleItemBox& box : boxes) {
    if (box.rect.bottom <= 0 || box.rect.top >= g.height || box.index < 0 ||
        static_cast<size_t>(box.index) >= list.items.size())
      continue;
    const SchedItem& item = list.items[static_cast<size_t>(box.index)];
    bool selected = box.index == choice.selected;
    Colour ink = selected ? c.selectionText : c.text;
    canvas.FillRect(box.rect, selected ? c.selection : c.itemFill);
    canvas.FrameRect(box.rect, Pen{selected ? c.selection : c.itemFrame, 1});
    Rect text{box.rect.left + 3, box.rect.top + 1, box.rect.right - 3, box.rect.bottom - 1};
    if (item.record.noteId != 0) {
      int size = std::clamp(rowHeight - 4, 6, 14);
      int x = text.right - std::max(4, size * 3 / 4);
      if (x > text.left + 8) {
        DrawNoteSymbol(canvas, {x, box.rect.top + std::max(2, (std::min(rowHeight, box.rect.Height()) - size) / 2)},
                       size, selected ? c.text : c.itemFrame);
        text.right = x - 3;
      }
    }
    std::string words = ScheduleItemTimes(item, regional) + "  " + item.record.title;
    unsigned format = text.Height() >= 2 * line ? kTextWordBreak : kTextSingleLine | kTextEndEllipsis | kTextVCentre;
    if (!text.Empty()) canvas.DrawTextInRect(kScheduleItemFont, text, words, ink, format);
  }
}

int ScheduleHeaderHeight(const Canvas& canvas) { return canvas.LineHeight(kScheduleHeaderFont) + 8; }

void PaintScheduleHeader(Canvas& canvas, int width, const DateStamp& day, const ScheduleColours& c) {
  int height = ScheduleHeaderHeight(canvas);
  canvas.FillRect({0, 0, width, height}, c.labelBack);
  if (IsValidDate(day.month, day.day, day.year))
    canvas.DrawTextInRect(kScheduleHeaderFont, {4, 0, width - 4, height - 1}, FormatLongDate(day.month, day.day, day.year),
                          c.text, kTextCentre | kTextVCentre | kTextSingleLine | kTextEndEllipsis);
  canvas.DrawLine({0, height - 1}, {width, height - 1}, Pen{c.hourLine, 1});
}

// ---- the window's state --------------------------------------------------------------------

const SchedItem* ScheduleWindowModel::SelectedItem() const {
  if (choice_.selected < 0 || static_cast<size_t>(choice_.selected) >= list_.items.size()) return nullptr;
  return &list_.items[static_cast<size_t>(choice_.selected)];
}

void ScheduleWindowModel::LayOut(const Canvas& canvas, const RegionalSettings& regional, int width, int height) {
  ScheduleGridSettings settings = CurrentGridSettings();
  ScheduleGrid grid = LayOutScheduleGrid(canvas, settings, regional, width, height);
  if (laidOut_ && settings == settings_) grid.firstRow = std::clamp(grid_.firstRow, 0, grid.MaxFirstRow());
  settings_ = settings;
  grid_ = grid;
  laidOut_ = true;
  Relayout();
}

void ScheduleWindowModel::Relayout() { boxes_ = LayOutScheduleItems(grid_, list_); }

void ScheduleWindowModel::Select(int index) {
  const SchedItem* item =
      index >= 0 && static_cast<size_t>(index) < list_.items.size() ? &list_.items[static_cast<size_t>(index)] : nullptr;
  uint16_t id = item ? item->id : 0;
  DateStamp date = item ? DateOnly(item->year, item->month, item->day) : DateStamp{};
  if (id != selectedId_ || !SameDate(date, selectedDate_)) noteNews_ = true;
  selectedId_ = id;
  selectedDate_ = date;
  choice_.selected = item ? index : -1;
}

bool ScheduleWindowModel::Show(const DateStamp& day) { return Load(day, true); }

bool ScheduleWindowModel::Load(const DateStamp& day, bool reload) {
  if (!IsValidDate(day.month, day.day, day.year)) return false;
  bool same = SameDate(day, day_);
  SchedLoadDay(day.day, MonthKey(day.year, day.month), 0, reload);
  list_ = SchedDay();
  day_ = DateOnly(day.year, day.month, day.day);
  int found = -1;
  if (same && selectedId_ != 0) {
    for (size_t i = 0; i < list_.items.size(); ++i) {
      const SchedItem& it = list_.items[i];
      if (it.id == selectedId_ && SameDate(DateOnly(it.year, it.month, it.day), selectedDate_)) found = static_cast<int>(i);
    }
  }
  if (!same) {
    choice_ = ScheduleChoice();
    dragging_ = false;
    if (laidOut_) grid_.firstRow = std::min(settings_.initialHour * 60 / grid_.increment, grid_.MaxFirstRow());
  }
  Select(found);
  Relayout();
  return true;
}

bool ScheduleWindowModel::SelectStoredItem(uint16_t id) {
  for (size_t i = 0; i < list_.items.size(); ++i) {
    const SchedItem& it = list_.items[i];
    if (it.id != id || !SameDate(DateOnly(it.year, it.month, it.day), day_)) continue;
    Select(static_cast<int>(i));
    if (grid_.increment > 0) {
      int row = std::max(0, static_cast<int>(it.record.start)) / grid_.increment;
      if (row < grid_.firstRow || row >= grid_.firstRow + grid_.VisibleRows())
        grid_.firstRow = std::min(row, grid_.MaxFirstRow());
    }
    Relayout();
    return true;
  }
  return false;
}

bool ScheduleWindowModel::FollowSelectedDate() {
  if (!Hooks().selectedDate) return false;
  return Show(Hooks().selectedDate());
}

// The store has already read its day list again after the change; it is read here only when
// that list is of another day.
void ScheduleWindowModel::Reload() {
  if (day_.year != 0) Load(day_, false);
}

void ScheduleWindowModel::SwitchDay(int offset) {
  DateStamp next = AddDays(day_.month, day_.day, day_.year, offset);
  int keep = grid_.firstRow;
  if (!Show(next)) return;
  grid_.firstRow = std::clamp(keep, 0, grid_.MaxFirstRow());
}

void ScheduleWindowModel::Press(Point at) {
  dragging_ = false;
  if (!laidOut_ || day_.year == 0) return;
  int index = ScheduleItemAt(boxes_, at);
  if (index >= 0) {
    Select(index);
    choice_.pickStart = choice_.pickEnd = -1;
    return;
  }
  PickedTime picked = PickTime(grid_, at.y);
  if (picked.dayOffset != 0) {
    DateStamp before = day_;
    SwitchDay(picked.dayOffset);
    if (SameDate(before, day_)) return;  // no day before 1 January of year 1
  }
  Select(-1);
  choice_.pickStart = picked.minute;
  choice_.pickEnd = -1;
  // The picked row stays in view on the new day.
  int row = picked.minute / grid_.increment;
  if (row < grid_.firstRow) grid_.firstRow = row;
  else if (row >= grid_.firstRow + grid_.VisibleRows()) grid_.firstRow = std::min(row - grid_.VisibleRows() + 1, grid_.MaxFirstRow());
  Relayout();
  dragging_ = picked.dayOffset == 0;
  dragFromMinute_ = picked.minute;
}

void ScheduleWindowModel::DragTo(Point at) {
  if (!dragging_) return;
  MinuteRange range = DragRange(dragFromMinute_, MinuteAtOffset(grid_, at.y));
  if (range.Empty()) {
    choice_.pickStart = std::min(dragFromMinute_, kMinutesPerDay - 5);
    choice_.pickEnd = -1;
  } else {
    choice_.pickStart = range.start;
    choice_.pickEnd = range.end;
  }
}

void ScheduleWindowModel::Release() { dragging_ = false; }

int ScheduleWindowModel::BaseRow() const {
  if (choice_.pickStart >= 0) return choice_.pickStart / grid_.increment;
  for (const ScheduleItemBox& b : boxes_)
    if (b.index == choice_.selected) return b.row;
  return grid_.firstRow;
}

void ScheduleWindowModel::Scroll(int code, int thumbRow) {
  if (!laidOut_) return;
  if (code == kSchedThumb) {
    if (ScrollScheduleGrid(grid_, thumbRow)) Relayout();
    return;
  }
  int visible = grid_.VisibleRows();
  int row = BaseRow(), first = grid_.firstRow;
  switch (code) {
    case kSchedLineUp: row -= 1, first -= 1; break;
    case kSchedLineDown: row += 1, first += 1; break;
    case kSchedPageUp: row -= visible, first -= visible; break;
    case kSchedPageDown: row += visible, first += visible; break;
    case kSchedTop: row = 0, first = 0; break;
    case kSchedBottom: row = grid_.rows - 1, first = grid_.MaxFirstRow(); break;
    default: return;
  }
  row = std::clamp(row, 0, grid_.rows - 1);
  first = std::clamp(first, 0, grid_.MaxFirstRow());
  if (row < first) first = row;
  if (row >= first + visible) first = std::min(row - visible + 1, grid_.MaxFirstRow());
  grid_.firstRow = first;
  Relayout();
  choice_.pickStart = row * grid_.increment;
  choice_.pickEnd = -1;
  int found = -1;
  for (const ScheduleItemBox& b : boxes_)
    if (b.row == row && (found < 0 || b.index < found)) found = b.index;
  Select(found);
}

bool ScheduleWindowModel::Open() const {
  if (const SchedItem* item = SelectedItem()) {
    if (!Hooks().openItem) return false;
    Hooks().openItem(DateOnly(item->year, item->month, item->day), item->id);
    return true;
  }
  if (!Hooks().newItem || day_.year == 0) return false;
  int start = choice_.pickStart, end = choice_.pickStart >= 0 ? choice_.pickEnd : -1;
  Hooks().newItem(day_, start, end);
  return true;
}

NoteContext ScheduleWindowModel::SelectionNoteContext() const {
  if (const SchedItem* item = SelectedItem())
    return ScheduleNoteContext(item->year, item->month, item->day, item->id, item->record.noteId);
  return DayNoteContext(day_.year, day_.month, day_.day);
}

bool ScheduleWindowModel::TakeNoteNews() { return std::exchange(noteNews_, false); }

std::string ScheduleWindowModel::StatusText(const RegionalSettings& regional) const {
  if (!IsValidDate(day_.month, day_.day, day_.year)) return {};
  std::string text = FormatLongDate(day_.month, day_.day, day_.year);
  if (const SchedItem* item = SelectedItem()) {
    text += ": " + ScheduleItemTimes(*item, regional) + " " + item->record.title;
  } else if (choice_.pickStart >= 0) {
    text += ": " + FormatTimeOfDay(MinuteOfDay(choice_.pickStart), regional);
    if (choice_.pickEnd > choice_.pickStart) text += " - " + FormatTimeOfDay(MinuteOfDay(choice_.pickEnd), regional);
  }
  return text;
}

}  // namespace kv
