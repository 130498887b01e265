#include "personal/notes_window_win.h"

#include <string>

#include "base/canvas_gdi_win.h"
#include "base/win_handles.h"
#include "base/window_kit_win.h"
#include "personal/notes_window.h"
#include "resources/command_ids.h"

namespace kv {
namespace {

constexpr int kEditId = 1;
constexpr int kScrollId = 2;
constexpr int kLeftMargin = 4;             // the edit field's text starts this far in
constexpr int kNoteTextMax = 0xFFFF - 12;  // a note record's length is 16-bit

HFONT g_font = nullptr;
HWND g_window = nullptr;

HFONT NotesFont() { return g_font ? g_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// The Win32 edit control as the notes logic sees it.
class EditField final : public NotesEditField {
 public:
  explicit EditField(HWND edit) : edit_(edit) {}
  std::string Text() const override {
    int length = GetWindowTextLengthA(edit_);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    int got = GetWindowTextA(edit_, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
  }
  bool Modified() const override { return SendMessageA(edit_, EM_GETMODIFY, 0, 0) != 0; }
  void Load(const std::string& text) override {
    SetWindowTextA(edit_, text.c_str());
    MarkSaved();
  }
  void MarkSaved() override {
    SendMessageA(edit_, EM_SETMODIFY, FALSE, 0);
    SendMessageA(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
  }

 private:
  HWND edit_;
};

struct NotesWindowData {
  HWND edit = nullptr;
  HWND bar = nullptr;
  int lineHeight = 16;
  NotesLayout layout;
  // Set while a note is being saved or loaded: the message box of a failed save takes the focus
  // from the edit field, which must not start another save.
  bool busy = false;
};

NotesWindowData* DataOf(HWND h) { return StateOf<NotesWindowData>(h); }

int LineHeightOf(HWND edit) {
  WindowDC dc(edit);
  SelectedObject font(dc.get(), NotesFont());
  TEXTMETRICA tm{};
  return GetTextMetricsA(dc.get(), &tm) && tm.tmHeight > 0 ? tm.tmHeight : 16;
}

void UpdateScrollBar(const NotesWindowData& d) {
  int lines = static_cast<int>(SendMessageA(d.edit, EM_GETLINECOUNT, 0, 0));
  int first = static_cast<int>(SendMessageA(d.edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  NotesScroll s = NotesScrollFor(lines, first, d.layout.format.Height(), d.lineHeight);
  SetScrollRange(d.bar, SB_CTL, 0, 100, FALSE);
  SetScrollPos(d.bar, SB_CTL, s.position, TRUE);
  ShowWindow(d.bar, s.shown ? SW_SHOWNA : SW_HIDE);
}

void InvalidateTitle(HWND h, const NotesWindowData& d) {
  if (IsIconic(h)) return;
  RECT strip;
  GetClientRect(h, &strip);
  strip.bottom = d.layout.stripHeight;
  InvalidateRect(h, &strip, TRUE);
}

void LayOut(HWND h, NotesWindowData& d) {
  RECT client;
  GetClientRect(h, &client);
  d.layout = LayOutNotesWindow(client.right, client.bottom, d.lineHeight, GetSystemMetrics(SM_CXVSCROLL), kLeftMargin);
  const NotesLayout& l = d.layout;
  MoveWindow(d.edit, l.edit.left, l.edit.top, l.edit.Width(), l.edit.Height(), TRUE);
  MoveWindow(d.bar, l.scrollBar.left, l.scrollBar.top, l.scrollBar.Width(), l.scrollBar.Height(), TRUE);
  RECT format{l.format.left, l.format.top, l.format.right, l.format.bottom};
  SendMessageA(d.edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
  // After a resize the text starts again at its first line.
  int first = static_cast<int>(SendMessageA(d.edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  if (first > 0) SendMessageA(d.edit, EM_LINESCROLL, 0, -first);
  UpdateScrollBar(d);
  InvalidateTitle(h, d);
}

// Saves a modified note; false when that failed (the text stays, still modified).
bool Save(NotesWindowData& d) {
  if (d.busy) return false;
  d.busy = true;
  EditField field(d.edit);
  bool ok = NotesSaveField(field);
  d.busy = false;
  return ok;
}

void Show(HWND h, NotesWindowData& d, bool followDate, const NoteContext& next = {}) {
  if (d.busy) return;
  d.busy = true;
  EditField field(d.edit);
  if (followDate) NotesFollowSelectedDate(field);
  else NotesShowContext(next, field);
  d.busy = false;
  InvalidateTitle(h, d);
  UpdateScrollBar(d);
}

void Paint(HWND h, const NotesWindowData& d) {
  PaintDC dc(h);
  RECT client;
  GetClientRect(h, &client);
  GdiCanvas canvas(dc.get());
  canvas.SetFont(FontRole::Dialog, FontSpecOf(NotesFont()));
  canvas.FillRect({0, 0, client.right, d.layout.stripHeight}, SystemColour(COLOR_WINDOW));
  auto measure = [&canvas](std::string_view text) { return canvas.MeasureText(FontRole::Dialog, text).cx; };
  NotesTitle title = NotesTitleFor(NotesWindow().context, client.right, measure);
  PaintNotesTitle(canvas, FontRole::Dialog, title, client.right, kLeftMargin, SystemColour(COLOR_WINDOWTEXT),
                  SystemColour(COLOR_BTNSHADOW));
}

// Line and page requests scroll the text; dragging the box scrolls it to the matching line.
void Scroll(NotesWindowData& d, int request, int position) {
  switch (request) {
    case SB_LINEUP:
    case SB_LINEDOWN:
    case SB_PAGEUP:
    case SB_PAGEDOWN: SendMessageA(d.edit, EM_SCROLL, static_cast<WPARAM>(request), 0); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      int lines = static_cast<int>(SendMessageA(d.edit, EM_GETLINECOUNT, 0, 0));
      int first = static_cast<int>(SendMessageA(d.edit, EM_GETFIRSTVISIBLELINE, 0, 0));
      NotesScroll s = NotesScrollFor(lines, first, d.layout.format.Height(), d.lineHeight);
      int target = position * (lines - s.visibleLines) / 100;
      SendMessageA(d.edit, EM_LINESCROLL, 0, target - first);
      break;
    }
    default: return;
  }
  UpdateScrollBar(d);
}

void Create(HWND h) {
  auto* d = new NotesWindowData;
  SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
  g_window = h;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(h, GWLP_HINSTANCE));
  d->edit = CreateWindowExA(0, "EDIT", "",
                            WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN, 0, 0,
                            0, 0, h, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
  d->bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, 0, 0, 0, 0, h,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScrollId)), instance, nullptr);
  SendMessageA(d->edit, WM_SETFONT, reinterpret_cast<WPARAM>(NotesFont()), FALSE);
  SendMessageA(d->edit, EM_SETLIMITTEXT, kNoteTextMax, 0);
  d->lineHeight = LineHeightOf(d->edit);
  // A new window starts with the calendar's selected day.
  NotesWindow() = NotesWindowState();
  Show(h, *d, true);
}

void Destroy(HWND h) {
  NotesWindowData* d = DataOf(h);
  if (!d) return;
  // Closed without WM_CLOSE (another configuration opened, the program ending): the last chance
  // to keep a modified note.
  Save(*d);
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  delete d;
  if (g_window == h) g_window = nullptr;
  NotesWindow() = NotesWindowState();
}

bool Handle(HWND h, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (message == WM_CREATE) {
    Create(h);
    return false;
  }
  NotesWindowData* d = DataOf(h);
  if (!d) return false;
  result = 0;
  switch (message) {
    case WM_SIZE: LayOut(h, *d); return false;
    case WM_PAINT: Paint(h, *d); return true;
    case WM_SETFOCUS: SetFocus(d->edit); return true;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lp) == h) SetFocus(d->edit);
      return false;
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lp) != d->bar) return false;
      Scroll(*d, LOWORD(wp), HIWORD(wp));
      return true;
    case WM_COMMAND:
      if (LOWORD(wp) != kEditId) return false;
      if (HIWORD(wp) == EN_KILLFOCUS) Save(*d);
      else if (HIWORD(wp) == EN_CHANGE || HIWORD(wp) == EN_VSCROLL || HIWORD(wp) == EN_UPDATE) UpdateScrollBar(*d);
      return true;
    case WM_CLOSE: return !Save(*d);  // a failed save keeps the window open
    case WM_QUERYENDSESSION: result = Save(*d) ? TRUE : FALSE; return true;
    case WM_DESTROY: Destroy(h); return false;
    case kMsgNotesContext: Show(h, *d, false, UnpackNoteContext(static_cast<uint64_t>(wp), static_cast<uint64_t>(lp))); return true;
    case kMsgSelectedDateChanged: Show(h, *d, true); return true;
    default: return false;
  }
}

}  // namespace

bool NotesWindowMessage(HWND window, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
  return Guarded<bool>(window, message, false, [&] { return Handle(window, message, wp, lp, result); });
}

bool NotesWindowHasText() {
  NotesWindowData* d = g_window ? DataOf(g_window) : nullptr;
  return d && GetWindowTextLengthA(d->edit) > 0;
}

void SendNoteContext(HWND notes, const NoteContext& context) {
  if (!notes) return;
  NotesContextParams p = PackNoteContext(context);
  SendMessageA(notes, kMsgNotesContext, static_cast<WPARAM>(p.first), static_cast<LPARAM>(p.second));
}

void PostNoteContext(HWND notes, const NoteContext& context) {
  if (!notes) return;
  NotesContextParams p = PackNoteContext(context);
  PostMessageA(notes, kMsgNotesContext, static_cast<WPARAM>(p.first), static_cast<LPARAM>(p.second));
}

void NotesWindowSelectAt(uint32_t offset) {
  NotesWindowData* d = g_window ? DataOf(g_window) : nullptr;
  if (!d) return;
  auto length = static_cast<uint32_t>(GetWindowTextLengthA(d->edit));
  WPARAM at = offset < length ? offset : length;
  SendMessageA(d->edit, EM_SETSEL, at, static_cast<LPARAM>(at));
  SendMessageA(d->edit, EM_SCROLLCARET, 0, 0);
  UpdateScrollBar(*d);
}

void SetNotesWindowFont(HFONT font) {
  g_font = font;
  if (!g_window) return;
  if (NotesWindowData* d = DataOf(g_window)) {
    SendMessageA(d->edit, WM_SETFONT, reinterpret_cast<WPARAM>(NotesFont()), TRUE);
    d->lineHeight = LineHeightOf(d->edit);
    LayOut(g_window, *d);
  }
}

}  // namespace kv
