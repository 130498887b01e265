#include "personal/todo_window_win.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "base/canvas_gdi_win.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "calendar/clock.h"
#include "personal/notes_window.h"
#include "personal/notes_window_win.h"
#include "personal/todo_window.h"
#include "resources/command_ids.h"
#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kFirstRowId = 801;
constexpr FontRole kRole = FontRole::Dialog;
constexpr int kStrViewMenu = 25505;
constexpr int kStrMenuNew = 25506;
constexpr int kStrMenuEdit = 25507;
constexpr int kStrMenuCheck = 25508;
constexpr int kStrMenuRemove = 25509;

ToDoWindowHooks g_hooks;
HWND g_window = nullptr;

struct ToDoWindowData {
  std::vector<ToDoEntry> entries;
  int selected = -1;
  int top = 0;
  std::vector<HWND> rows;
  ToDoWindowLayout window;
  ToDoRowLayout row;
  bool focused = false;
  bool busy = false;        // a dialog or question of the window is up
  HMENU viewMenu = nullptr; // the "&View" popup it lends the frame's menu
};

ToDoWindowData* DataOf(HWND h) { return StateOf<ToDoWindowData>(h); }

HFONT RowFont() {
  HFONT font = g_hooks.font ? g_hooks.font() : nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

ToDoSettings Settings() { return g_hooks.settings ? g_hooks.settings() : ToDoSettings{}; }

ToDoColours Colours(bool focused) {
  ToDoColours c;
  c.window = SystemColour(COLOR_WINDOW);
  c.text = SystemColour(COLOR_WINDOWTEXT);
  c.grey = SystemColour(COLOR_GRAYTEXT);
  c.face = SystemColour(COLOR_BTNFACE);
  // The selection is a light band of the highlight colour, so that a red digit stays readable.
  Colour h = SystemColour(focused ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
  Colour w = c.window;
  auto mix = [](int a, int b) { return (a + 3 * b) / 4; };
  c.selection = MakeColour(mix(RedOf(h), RedOf(w)), mix(GreenOf(h), GreenOf(w)), mix(BlueOf(h), BlueOf(w)));
  return c;
}

MinuteKey Now() { return MakeMinuteKey(CurrentDateTime().stamp); }

// ---- the notes window ---------------------------------------------------------------------------

int Count(const ToDoWindowData& d) { return static_cast<int>(d.entries.size()); }

const ToDoEntry* Selected(const ToDoWindowData& d) {
  return d.selected >= 0 && d.selected < Count(d) ? &d.entries[static_cast<size_t>(d.selected)] : nullptr;
}

// The notes window shows the selected item's note, or the calendar's day when none is selected.
void TellNotes(const ToDoWindowData& d) {
  HWND notes = g_hooks.notesWindow ? g_hooks.notesWindow() : nullptr;
  if (!notes) return;
  const ToDoEntry* e = Selected(d);
  SendNoteContext(notes, e ? ToDoNoteContext(e->slot, e->item.noteId) : DayNoteContext(0, 0, 0));
}

// ---- the View menu in the frame's menu ------------------------------------------------------------

HMENU FrameMenu(HWND h) {
  HWND client = GetParent(h);
  HWND frame = client ? GetParent(client) : nullptr;
  return frame ? GetMenu(frame) : nullptr;
}

void DrawFrameMenu(HWND h) {
  HWND client = GetParent(h);
  if (HWND frame = client ? GetParent(client) : nullptr) DrawMenuBar(frame);
}

int PositionOf(HMENU menu, HMENU popup) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
    if (GetSubMenu(menu, i) == popup) return i;
  return -1;
}

void UpdateViewMenu(const ToDoWindowData& d) {
  if (!d.viewMenu) return;
  CheckMenuRadioItem(d.viewMenu, CMD_TODO_VIEW_PENDING, CMD_TODO_VIEW_ALL,
                     Settings().viewAll ? CMD_TODO_VIEW_ALL : CMD_TODO_VIEW_PENDING, MF_BYCOMMAND);
  UINT item = d.selected >= 0 ? MF_ENABLED : MF_GRAYED;
  for (UINT id : {CMD_TODO_EDIT, CMD_TODO_CHECK, CMD_TODO_REMOVE}) EnableMenuItem(d.viewMenu, id, MF_BYCOMMAND | item);
}

void InsertViewMenu(HWND h, ToDoWindowData& d) {
  HMENU menu = FrameMenu(h);
  if (!menu || !d.viewMenu || PositionOf(menu, d.viewMenu) >= 0) return;
  // It goes in front of the Window menu (found by its first item, wherever a maximized
  // child's system menu has moved it).
  int at = -1;
  for (int i = 0, n = GetMenuItemCount(menu); i < n && at < 0; ++i)
    if (HMENU sub = GetSubMenu(menu, i); sub && GetMenuState(sub, CMD_WINDOW_CALENDAR, MF_BYCOMMAND) != UINT(-1)) at = i;
  std::string title(StringText(kStrViewMenu));
  InsertMenuA(menu, static_cast<UINT>(at), (at < 0 ? 0 : MF_BYPOSITION) | MF_POPUP | MF_STRING,
              reinterpret_cast<UINT_PTR>(d.viewMenu), title.c_str());
  UpdateViewMenu(d);
  DrawFrameMenu(h);
}

void RemoveViewMenu(HWND h, ToDoWindowData& d) {
  HMENU menu = FrameMenu(h);
  int at = menu && d.viewMenu ? PositionOf(menu, d.viewMenu) : -1;
  if (at < 0) return;
  RemoveMenu(menu, static_cast<UINT>(at), MF_BYPOSITION);
  DrawFrameMenu(h);
}

HMENU MakeViewMenu() {
  HMENU m = CreatePopupMenu();
  auto add = [m](UINT id, int text) { AppendMenuA(m, MF_STRING, id, std::string(StringText(text)).c_str()); };
  add(CMD_TODO_VIEW_PENDING, CMD_TODO_VIEW_PENDING);
  add(CMD_TODO_VIEW_ALL, CMD_TODO_VIEW_ALL);
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  add(CMD_TODO_NEW, kStrMenuNew);
  add(CMD_TODO_EDIT, kStrMenuEdit);
  add(CMD_TODO_CHECK, kStrMenuCheck);
  add(CMD_TODO_REMOVE, kStrMenuRemove);
  return m;
}

// ---- rows and scrolling -------------------------------------------------------------------------


void UpdateScrollBar(HWND h, const ToDoWindowData& d) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, Count(d) - 1);
  si.nPage = static_cast<UINT>(std::max(1, d.window.visibleRows));
  si.nPos = d.top;
  SetScrollInfo(h, SB_VERT, &si, TRUE);
}

// Shows the rows that have an entry (the row's text is the item's, for whoever reads windows)
// and repaints them.
void RefreshRows(ToDoWindowData& d) {
  for (size_t r = 0; r < d.rows.size(); ++r) {
    int i = d.top + static_cast<int>(r);
    bool shown = i < Count(d);
    SetWindowTextA(d.rows[r], shown ? d.entries[static_cast<size_t>(i)].item.text.c_str() : "");
    ShowWindow(d.rows[r], shown ? SW_SHOWNA : SW_HIDE);
    if (shown) InvalidateRect(d.rows[r], nullptr, FALSE);
  }
}

void RepaintEntry(ToDoWindowData& d, int index) {
  int r = index - d.top;
  if (r >= 0 && r < static_cast<int>(d.rows.size())) InvalidateRect(d.rows[static_cast<size_t>(r)], nullptr, FALSE);
}

void LayOut(HWND h, ToDoWindowData& d) {
  RECT client;
  GetClientRect(h, &client);
  {
    WindowDC dc(h);
    GdiCanvas canvas(dc.get());
    canvas.SetFont(kRole, FontSpecOf(RowFont()));
    d.window = LayOutToDoWindow(canvas, kRole, client.right, client.bottom);
    d.row = LayOutToDoRow(canvas, kRole, client.right);
  }
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
  size_t wanted = static_cast<size_t>(d.window.visibleRows);
  while (d.rows.size() < wanted) {
    int id = kFirstRowId + static_cast<int>(d.rows.size());
    // Owner-drawn statics: the window draws them and, as they let the mouse through, hears
    // every click itself.
    d.rows.push_back(CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_OWNERDRAW, 0, 0, 0, 0, h,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr));
  }
  while (d.rows.size() > wanted) {
    DestroyWindow(d.rows.back());
    d.rows.pop_back();
  }
  for (size_t r = 0; r < d.rows.size(); ++r) {
    Rect rr = d.window.RowRect(static_cast<int>(r));
    MoveWindow(d.rows[r], rr.left, rr.top, rr.Width(), rr.Height(), FALSE);
  }
  d.top = ToDoTopFor(d.top, d.selected, Count(d), d.window.visibleRows);
  UpdateScrollBar(h, d);
  RefreshRows(d);
  InvalidateRect(h, nullptr, TRUE);
}

void ScrollTo(HWND h, ToDoWindowData& d, int top) {
  int lastTop = std::max(0, Count(d) - std::max(1, d.window.visibleRows));
  top = std::clamp(top, 0, lastTop);
  if (top == d.top) return;
  d.top = top;
  UpdateScrollBar(h, d);
  RefreshRows(d);
}

void Select(HWND h, ToDoWindowData& d, int index, bool tellNotes = true) {
  int count = Count(d);
  index = count == 0 ? -1 : std::clamp(index, -1, count - 1);
  int old = d.selected;
  d.selected = index;
  int top = ToDoTopFor(d.top, index, count, d.window.visibleRows);
  if (top != d.top) {
    ScrollTo(h, d, top);
  } else {
    RepaintEntry(d, old);
    RepaintEntry(d, index);
  }
  UpdateViewMenu(d);
  if (tellNotes && old != index) TellNotes(d);
}

// Reads the list for the current view, keeping the selection on the item (or the place) it had.
void Load(HWND h, ToDoWindowData& d, uint16_t selectSlot = 0) {
  uint16_t slot = selectSlot;
  if (!slot && d.selected >= 0 && d.selected < Count(d)) slot = d.entries[static_cast<size_t>(d.selected)].slot;
  int oldIndex = d.selected;
  ToDoLoad(d.entries, Settings());
  d.selected = ToDoSelectionAfterReload(d.entries, slot, oldIndex);
  d.top = ToDoTopFor(d.top, d.selected, Count(d), d.window.visibleRows);
  UpdateScrollBar(h, d);
  RefreshRows(d);
  UpdateViewMenu(d);
  InvalidateRect(h, nullptr, TRUE);
}

void Changed() {
  if (g_hooks.itemsChanged) g_hooks.itemsChanged();
}

// ---- painting -----------------------------------------------------------------------------------

void Paint(HWND h, const ToDoWindowData& d) {
  PaintDC dc(h);
  RECT client;
  GetClientRect(h, &client);
  GdiCanvas canvas(dc.get());
  canvas.SetFont(kRole, FontSpecOf(RowFont()));
  ToDoColours c = Colours(d.focused);
  PaintToDoHeader(canvas, kRole, d.row, client.right, d.window.headerHeight, c);
  if (d.entries.empty()) PaintToDoEmpty(canvas, kRole, {0, d.window.headerHeight, client.right, client.bottom}, c);
}

void DrawRow(const ToDoWindowData& d, const DRAWITEMSTRUCT& di) {
  int r = static_cast<int>(di.CtlID) - kFirstRowId;
  int i = d.top + r;
  RECT rc = di.rcItem;
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return;
  // Drawn off screen and copied in one piece, so that a row never flickers.
  MemoryDC memory(di.hDC);
  GdiBitmap bitmap(CreateCompatibleBitmap(di.hDC, width, height));
  if (!memory || !bitmap.get()) return;
  SelectedObject picture(memory.get(), bitmap.get());
  {
    GdiCanvas canvas(memory.get());
    canvas.SetFont(kRole, FontSpecOf(RowFont()));
    ToDoColours c = Colours(d.focused);
    Rect row{0, 0, width, height};
    if (i >= 0 && i < Count(d)) {
      ToDoRowText text = ToDoRowTextFor(d.entries[static_cast<size_t>(i)], Now());
      PaintToDoRow(canvas, kRole, d.row, row, text, i == d.selected, d.focused, c);
    } else {
      canvas.FillRect(row, c.window);
    }
  }
  BitBlt(di.hDC, rc.left, rc.top, width, height, memory.get(), 0, 0, SRCCOPY);
}

// ---- the actions --------------------------------------------------------------------------------

// Runs a dialog or question of the window; a second one waits until the first is answered.
template <typename Body>
void Busy(ToDoWindowData& d, Body&& body) {
  if (d.busy) return;
  d.busy = true;
  body();
  d.busy = false;
}

void Edit(HWND h, ToDoWindowData& d, const ToDoEntry* entry) {
  Busy(d, [&] {
    DateStamp required = g_hooks.selectedDate ? g_hooks.selectedDate() : CurrentDateTime().stamp;
    ToDoEntry copy = entry ? *entry : ToDoEntry{};
    ToDoDialogOutcome out = RunToDoItemDialog(h, entry ? &copy : nullptr, required, Settings(), g_hooks.chooseZone);
    if (out.end == ToDoDialogEnd::Cancelled) return;
    Load(h, d, out.end == ToDoDialogEnd::Saved ? out.slot : 0);
    TellNotes(d);
    Changed();
  });
}

void Toggle(ToDoWindowData& d, int index) {
  if (index < 0 || index >= Count(d)) return;
  Busy(d, [&] {
    // Worked on a copy: the list may be read again while the question is up.
    ToDoEntry entry = d.entries[static_cast<size_t>(index)];
    if (!ToDoToggle(entry)) return;
    int now = ToDoIndexOfSlot(d.entries, entry.slot);
    if (now >= 0) {
      d.entries[static_cast<size_t>(now)] = entry;
      RepaintEntry(d, now);
    }
    Changed();
  });
}

void Remove(HWND h, ToDoWindowData& d) {
  const ToDoEntry* entry = Selected(d);
  if (!entry) return;
  Busy(d, [&] {
    ToDoEntry item = *entry;
    // The notes window leaves the item's note first (keeping what was typed there), so that
    // nothing is written into the slot once it is freed.
    SendNoteContext(g_hooks.notesWindow ? g_hooks.notesWindow() : nullptr, DayNoteContext(0, 0, 0));
    if (!ToDoRemove(item, true, Settings())) {
      TellNotes(d);
      return;
    }
    Load(h, d);
    TellNotes(d);
    Changed();
  });
}

void ChooseView(HWND h, ToDoWindowData& d, bool all) {
  if (Settings().viewAll == all) return;
  if (g_hooks.viewChosen) g_hooks.viewChosen(all);
  Load(h, d);
  TellNotes(d);
}

bool OnCommand(HWND h, ToDoWindowData& d, int id) {
  switch (id) {
    case CMD_TODO_VIEW_PENDING: ChooseView(h, d, false); return true;
    case CMD_TODO_VIEW_ALL: ChooseView(h, d, true); return true;
    case CMD_TODO_NEW: Edit(h, d, nullptr); return true;
    case CMD_TODO_EDIT:
      if (const ToDoEntry* e = Selected(d)) Edit(h, d, e);
      return true;
    case CMD_TODO_CHECK: Toggle(d, d.selected); return true;
    case CMD_TODO_REMOVE: Remove(h, d); return true;
    default: return false;
  }
}

bool OnKey(HWND h, ToDoWindowData& d, WPARAM vk) {
  ToDoMove move;
  switch (vk) {
    case VK_UP: move = ToDoMove::Up; break;
    case VK_DOWN: move = ToDoMove::Down; break;
    case VK_PRIOR: move = ToDoMove::PageUp; break;
    case VK_NEXT: move = ToDoMove::PageDown; break;
    case VK_HOME: move = ToDoMove::Home; break;
    case VK_END: move = ToDoMove::End; break;
    case VK_RETURN: return OnCommand(h, d, CMD_TODO_EDIT);
    case VK_SPACE: return OnCommand(h, d, CMD_TODO_CHECK);
    case VK_DELETE: return OnCommand(h, d, CMD_TODO_REMOVE);
    case VK_INSERT: return OnCommand(h, d, CMD_TODO_NEW);
    default: return false;
  }
  Select(h, d, ToDoMoveSelection(d.selected, Count(d), d.window.visibleRows, move));
  return true;
}

void OnMouse(HWND h, ToDoWindowData& d, LPARAM lp, bool dbl) {
  SetFocus(h);
  Point at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  ToDoHit hit = ToDoHitTest(d.window, d.row, d.top, Count(d), at);
  if (hit.entry < 0) return;
  Select(h, d, hit.entry);
  if (hit.check) Toggle(d, hit.entry);
  else if (dbl) OnCommand(h, d, CMD_TODO_EDIT);
}

void OnScroll(HWND h, ToDoWindowData& d, int request) {
  int page = std::max(1, d.window.visibleRows - 1);
  int top = d.top;
  switch (request) {
    case SB_LINEUP: top -= 1; break;
    case SB_LINEDOWN: top += 1; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = Count(d); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(h, SB_VERT, &si);
      top = si.nTrackPos;
      break;
    }
    default: return;
  }
  ScrollTo(h, d, top);
}

// Focus changes redraw the selection; coming back also rereads the selected item, whose note
// the notes window may have just written.
void OnFocus(ToDoWindowData& d, bool gained) {
  d.focused = gained;
  if (gained && d.selected >= 0 && d.selected < Count(d)) {
    ToDoRefreshEntry(d.entries, d.entries[static_cast<size_t>(d.selected)].slot);
  }
  RepaintEntry(d, d.selected);
}

void Create(HWND h) {
  auto* d = new ToDoWindowData;
  SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
  g_window = h;
  d->viewMenu = MakeViewMenu();
  LayOut(h, *d);
  Load(h, *d);
  if (!d->entries.empty()) d->selected = 0;
  UpdateViewMenu(*d);
}

void Destroy(HWND h) {
  ToDoWindowData* d = DataOf(h);
  if (!d) return;
  RemoveViewMenu(h, *d);
  if (d->viewMenu) DestroyMenu(d->viewMenu);
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  delete d;
  if (g_window == h) g_window = nullptr;
}

void OnActivate(HWND h, ToDoWindowData& d, WPARAM wp, LPARAM lp) {
  if (reinterpret_cast<HWND>(lp) == h) {
    InsertViewMenu(h, d);
    TellNotes(d);
  } else if (reinterpret_cast<HWND>(wp) == h) {
    RemoveViewMenu(h, d);
  }
}

bool Handle(HWND h, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message == WM_CREATE) {
    Create(h);
    return false;
  }
  ToDoWindowData* d = DataOf(h);
  if (!d) return false;
  result = 0;
  switch (message) {
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) LayOut(h, *d);
      return false;
    case WM_PAINT: Paint(h, *d); return true;
    case WM_DRAWITEM: DrawRow(*d, *reinterpret_cast<const DRAWITEMSTRUCT*>(lp)); result = TRUE; return true;
    case WM_SETFOCUS: OnFocus(*d, true); return true;
    case WM_KILLFOCUS: OnFocus(*d, false); return true;
    case WM_MDIACTIVATE: OnActivate(h, *d, wp, lp); return false;
    case WM_KEYDOWN: return OnKey(h, *d, wp);
    case WM_LBUTTONDOWN: OnMouse(h, *d, lp, false); return true;
    case WM_LBUTTONDBLCLK: OnMouse(h, *d, lp, true); return true;
    case WM_VSCROLL: OnScroll(h, *d, LOWORD(wp)); return true;
    case WM_MOUSEWHEEL: ScrollTo(h, *d, d->top - 3 * GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA); return true;
    case WM_COMMAND: return lp == 0 && OnCommand(h, *d, LOWORD(wp));
    case WM_DESTROY: Destroy(h); return false;
    default: return false;
  }
}

}  // namespace

void SetToDoWindowHooks(ToDoWindowHooks hooks) { g_hooks = std::move(hooks); }

bool ToDoWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  return Guarded<bool>(window, message, false, [&] { return Handle(window, message, wp, lp, result); });
}

bool ToDoWindowCommandAvailable(int command) {
  ToDoWindowData* d = g_window ? DataOf(g_window) : nullptr;
  if (!d) return false;
  switch (command) {
    case CMD_TODO_VIEW_PENDING:
    case CMD_TODO_VIEW_ALL:
    case CMD_TODO_NEW: return true;
    case CMD_TODO_EDIT:
    case CMD_TODO_CHECK:
    case CMD_TODO_REMOVE: return Selected(*d) != nullptr;
    default: return false;
  }
}

void RunToDoWindowCommand(int command) {
  if (g_window) SendMessageA(g_window, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void ReloadToDoWindow() {
  ToDoWindowData* d = g_window ? DataOf(g_window) : nullptr;
  if (!d) return;
  LayOut(g_window, *d);
  Load(g_window, *d);
}

bool SelectToDoItem(uint16_t slot) {
  ToDoWindowData* d = g_window ? DataOf(g_window) : nullptr;
  if (!d) return false;
  int index = ToDoIndexOfSlot(d->entries, slot);
  if (index < 0) return false;
  Select(g_window, *d, index);
  return true;
}

bool EditToDoItem(uint16_t slot) {
  ToDoWindowData* d = g_window ? DataOf(g_window) : nullptr;
  if (!d) return false;
  if (SelectToDoItem(slot)) {
    Edit(g_window, *d, Selected(*d));
    return true;
  }
  // Not in this view (not active yet, or a hidden completed item): found in the whole list,
  // which is read without removing anything.
  ToDoSettings all = Settings();
  all.viewAll = true;
  all.removeAfterDays = INT_MAX;
  all.logRemoved = false;
  std::vector<ToDoEntry> entries;
  ToDoLoad(entries, all);
  int index = ToDoIndexOfSlot(entries, slot);
  if (index < 0) return false;
  Edit(g_window, *d, &entries[static_cast<size_t>(index)]);
  return true;
}

}  // namespace kv
