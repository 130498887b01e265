#include "shell/desk.h"

#include <algorithm>

namespace kv {

uint8_t OpenBitOf(DeskCode code) {
  switch (code) {
    case kDeskPhonebook: return kOpenPhonebook;
    case kDeskNotes: return kOpenNotes;
    case kDeskSchedule: return kOpenSchedule;
    case kDeskToDo: return kOpenToDo;
    case kDeskMap: return kOpenMap;
    default: return 0;
  }
}

void RecordDesk(CalendarConfig& config, const std::vector<uint8_t>& topFirst, uint8_t activeCode,
                bool activeMaximized) {
  size_t n = 0;
  for (uint8_t code : topFirst) {
    if (code < kDeskCalendar || code > kDeskMap) continue;
    if (n == config.desk.zOrder.size()) break;
    config.desk.zOrder[n++] = code;
  }
  // A shorter list ends with zeros: no code of an earlier desk may linger behind it.
  for (; n < config.desk.zOrder.size(); ++n) config.desk.zOrder[n] = 0;
  bool known = activeCode >= kDeskCalendar && activeCode <= kDeskMap;
  config.desk.activeWindow = static_cast<uint16_t>(known ? activeCode + (activeMaximized ? 10 : 0) : 0);
}

std::vector<DeskCode> SavedZOrder(const DeskLayout& desk) {
  std::vector<DeskCode> order;
  for (uint8_t code : desk.zOrder) {
    if (code == 0) break;
    if (code <= kDeskMap && std::find(order.begin(), order.end(), code) == order.end())
      order.push_back(static_cast<DeskCode>(code));
  }
  return order;
}

ArrangeResult ArrangeAll(const ArrangeInput& in) {
  ArrangeResult out;
  const std::pair<DeskCode, ToolWindowState> candidates[] = {
      {kDeskSchedule, in.schedule}, {kDeskNotes, in.notes}, {kDeskToDo, in.todo}};
  std::vector<DeskCode> stacked;
  for (const auto& [code, state] : candidates)
    if (state.open && !state.minimized) stacked.push_back(code);
  int columnWidth = 0;
  if (!stacked.empty()) {
    int n = static_cast<int>(stacked.size());
    columnWidth = in.clientWidth / 4;
    int x = in.clientWidth - columnWidth;
    int height = in.clientHeight / n;
    for (int i = 0; i < n; ++i) out.stacked.push_back({stacked[static_cast<size_t>(i)], {x, i * height, columnWidth, height}});
  }
  out.calendar = {0, 0, in.clientWidth - columnWidth, in.clientHeight};
  if (in.phonebook.open && !in.phonebook.minimized) {
    int x = ((in.clientWidth - in.phonebookWidth) / 2 + 4);
    // Rounded down to a multiple of 8; a phonebook wider than the client starts at 0.
    x = x < 0 ? 0 : x / 8 * 8;
    int y = std::max((in.clientHeight - in.phonebookHeight) / 2, 0);
    out.phonebookPosition = std::make_pair(x, y);
  }
  return out;
}

ResetDeskPlan PlanResetDesk(const DeskLayout& saved, uint8_t openNow) {
  ResetDeskPlan plan;
  const DeskCode tools[] = {kDeskSchedule, kDeskNotes, kDeskToDo, kDeskPhonebook, kDeskMap};
  for (DeskCode code : tools) {
    uint8_t bit = OpenBitOf(code);
    if ((openNow & bit) && !(saved.openWindows & bit)) plan.close.push_back(code);
  }
  for (DeskCode code : tools)
    if (saved.openWindows & OpenBitOf(code)) plan.open.push_back(code);
  for (DeskCode code : SavedZOrder(saved)) {
    // Only windows that will be open take part in the stacking.
    if (code == kDeskCalendar || (saved.openWindows & OpenBitOf(code))) plan.zOrder.push_back(code);
  }
  int code = saved.activeWindow % 10;
  if (code >= kDeskCalendar && code <= kDeskMap &&
      (code == kDeskCalendar || (saved.openWindows & OpenBitOf(static_cast<DeskCode>(code))))) {
    plan.active = static_cast<DeskCode>(code);
    plan.activeSaved = true;
    plan.maximizeActive = saved.activeWindow >= 11;
  }
  return plan;
}

bool LiesOnScreen(const Placement& p, const ScreenArea& s) {
  return p.width > 0 && p.height > 0 && p.x >= s.left && p.y >= s.top &&
         static_cast<long long>(p.x) + p.width <= s.right && static_cast<long long>(p.y) + p.height <= s.bottom;
}

Placement FrameStartPlacement(const Placement& stored, const ScreenArea& screen, const ScreenArea& workArea) {
  if (LiesOnScreen(stored, screen)) return stored;
  return {workArea.left, workArea.top, workArea.right - workArea.left, workArea.bottom - workArea.top};
}

bool ScreenFitsMap(int screenWidth, int screenHeight) { return screenWidth >= 800 && screenHeight >= 538; }

int CellIconSize(int screenWidth) { return screenWidth <= 820 ? 16 : screenWidth <= 1024 ? 24 : 32; }

}  // namespace kv
