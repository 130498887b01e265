// kvdriver: drives kalvora.exe in UI tests. Runs in the same Wine prefix as the program, finds
// its windows by class, reads their texts and sends them messages and commands.
//
//   kvdriver wait CLASS [TIMEOUT_MS]        wait until a top-level window of CLASS exists
//   kvdriver gone CLASS [TIMEOUT_MS]        wait until no top-level window of CLASS is left
//   kvdriver painted TOP/CHILD [TIMEOUT_MS] wait until a visible window CHILD of TOP exists and
//                                           has nothing left to paint (start-up timing)
//   kvdriver count CLASS                    print the number of top-level windows of CLASS
//   kvdriver caption CLASS                  print the window's caption
//   kvdriver children CLASS                 print "class<TAB>id<TAB>text" of every descendant
//   kvdriver find CLASS CHILDCLASS [TEXT]   print the handle of a matching descendant
//   kvdriver post CLASS MSG [WPARAM [LPARAM]]   post a message (numbers decimal or 0x hex)
//   kvdriver send CLASS MSG [WPARAM [LPARAM]]   send a message and print its result
//   kvdriver command CLASS ID               post WM_COMMAND with ID
//   kvdriver close CLASS                    post WM_CLOSE
//   kvdriver rect CLASS                     print "x y width height" of the window
//   kvdriver foreground                     print the class of the foreground window
//   kvdriver mdi CLASS                      print the MDI children of the window, top first:
//                                           "class x y width height state active" with the
//                                           place in the MDI client's coordinates and the
//                                           state "restored", "minimized", "maximized" or
//                                           "hidden"; active is 1 for the active child
//   kvdriver text CLASS ID                  print the text of the descendant with control ID
//                                           (also what an edit control holds)
//   kvdriver settext CLASS ID TEXT          put TEXT into the edit control with control ID as if
//                                           typed: the text replaced and marked modified
//   kvdriver key CLASS VK [ctrl]            post a key press (and release) to the window
//   kvdriver lines CLASS ID                 print the lines of the list or combo box with ID
//   kvdriver selection CLASS ID             print "INDEX<TAB>TEXT" of its selected line (-1)
//   kvdriver select CLASS ID INDEX          select a line as the user does (the parent is told)
//   kvdriver chars CLASS ID TEXT            type TEXT's characters into the control with ID
//   kvdriver input CLASS VK [alt]           type a key as the keyboard does (hooks see it)
//   kvdriver click CLASS X Y                post a left click at a point of the client area
//   kvdriver visible CLASS                  print 1 when the window is visible, else 0
//   kvdriver tbclick CLASS ID               click the toolbar button of command ID
//   kvdriver tbchecked CLASS ID             print 1 when that toolbar button is pressed
//   kvdriver clientsize CLASS CHILDCLASS    print "width height" of a descendant's client area
//   kvdriver dialog [TIMEOUT_MS]            wait for a dialog box of this desktop and print its
//                                           caption, then the texts of its static controls
//   kvdriver version FILE                   print the file version of a program
//   kvdriver hold [FILE]                    stay on the desktop until killed (the test fixture
//                                           keeps Wine's desktop process up with it); FILE is
//                                           made once the desktop is there
//   kvdriver clipboard FILE                 when the clipboard holds a metafile picture, print
//                                           "metafilepict MM XEXT YEXT" and write its metafile
//                                           (standard, not placeable) to FILE; else print the
//                                           formats it holds and exit 1
//   kvdriver focus                          print the control id of the focused control of the
//                                           dialog box that is up (0 when none)
//   kvdriver answer BUTTON                  press a button (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7)
//                                           of the dialog box that is up
//   kvdriver filename PATH                  type PATH into the file dialog that is up and press
//                                           its default button
//   kvdriver rows CLASS ID                  print the rows of the list view with control ID, one
//                                           line each, its columns separated by tabs
//   kvdriver rowclick CLASS ID ROW          click the first column of a row of that list view
//   kvdriver colclick CLASS ID COLUMN       click a column header of that list view
//
//   kvdriver handle CLASS                   print the window's handle (for WM_NEXTDLGCTL)
//   kvdriver move CLASS X Y WIDTH HEIGHT    move and size the window as the user would
//   kvdriver clipped CLASS [FACE POINTS]    check that the text of every visible static control,
//                                           button, check box, radio button and group box of the
//                                           window fits its control, measured in the dialog font
//                                           (FACE at POINTS, "MS Shell Dlg" 8 by default; POINTS
//                                           below zero is a height in pixels at 96 dpi) at the
//                                           screen's resolution, and that every control lies
//                                           inside its parent; prints one line per fault and
//                                           "N clipped", exit code 1 when any
//
// Wherever CLASS names a window to act on, TOP/CHILD names a descendant of class CHILD of the
// top-level window TOP, such as KV4Frame/KVNote, and TOP/#ID the descendant with control ID
// ID, such as dialog/#20013 (a dialog's date box, whose edit field is then its child 100).
//
// Exit code 0 on success, 1 when the window is not found or a wait timed out, 2 on bad usage.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND FindTop(const char* cls) { return FindWindowA(cls, nullptr); }

HWND FindDescendantOfClass(HWND top, const std::string& cls);
HWND DescendantById(HWND top, int id);

HWND FindDialog(DWORD timeout);

// CLASS names a top-level window, or TOP/CHILD a descendant of one (KV4Frame/KVNote); "dialog"
// names the visible dialog box.
HWND Require(const char* cls) {
  std::string name = cls;
  size_t slash = name.find('/');
  std::string top = slash == std::string::npos ? name : name.substr(0, slash);
  HWND h = top == "dialog" ? FindDialog(5000) : FindTop(top.c_str());
  std::string child = slash == std::string::npos ? std::string() : name.substr(slash + 1);
  if (h && !child.empty() && child[0] == '#') h = DescendantById(h, std::atoi(child.c_str() + 1));
  else if (h && slash != std::string::npos) h = FindDescendantOfClass(h, child);
  if (!h) {
    std::fprintf(stderr, "kvdriver: no window of class %s\n", cls);
    std::exit(1);
  }
  return h;
}

LONG_PTR Number(const char* text) { return static_cast<LONG_PTR>(std::strtoll(text, nullptr, 0)); }

struct CountState {
  std::string cls;
  int count = 0;
};

BOOL CALLBACK CountTop(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<CountState*>(lp);
  char cls[256];
  if (GetClassNameA(h, cls, sizeof cls) && s->cls == cls) ++s->count;
  return TRUE;
}

int CountWindows(const char* cls) {
  CountState s{cls};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&s));
  return s.count;
}

BOOL CALLBACK PrintChild(HWND h, LPARAM) {
  char cls[256] = "", text[1024] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, text, sizeof text);
  std::printf("%s\t%d\t%s\n", cls, GetDlgCtrlID(h), text);
  return TRUE;
}

struct FindState {
  std::string cls;
  const char* text;
  HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<FindState*>(lp);
  char cls[256] = "", text[1024] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, text, sizeof text);
  if (s->cls == cls && (!s->text || std::string(text) == s->text)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND FindDescendantOfClass(HWND top, const std::string& cls) {
  FindState s{cls, nullptr};
  EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

int Wait(const char* cls, DWORD timeout, bool present) {
  DWORD start = GetTickCount();
  for (;;) {
    bool exists = FindTop(cls) != nullptr;
    if (exists == present) return 0;
    if (GetTickCount() - start > timeout) {
      std::fprintf(stderr, "kvdriver: timed out waiting for %s %s\n", cls, present ? "to appear" : "to go");
      return 1;
    }
    Sleep(100);
  }
}

// Polls fast: the start-up benchmark measures with it.
int WaitPainted(const std::string& name, DWORD timeout) {
  size_t slash = name.find('/');
  if (slash == std::string::npos) return 2;
  DWORD start = GetTickCount();
  for (;;) {
    HWND top = FindTop(name.substr(0, slash).c_str());
    HWND h = top ? FindDescendantOfClass(top, name.substr(slash + 1)) : nullptr;
    if (h && IsWindowVisible(h) && !GetUpdateRect(h, nullptr, FALSE)) {
      DWORD_PTR ignored = 0;
      // The program's thread has come back to its message loop: the paint is done.
      if (SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored)) return 0;
    }
    if (GetTickCount() - start > timeout) {
      std::fprintf(stderr, "kvdriver: timed out waiting for %s to be painted\n", name.c_str());
      return 1;
    }
    Sleep(5);
  }
}

void Message(HWND h, bool send, int argc, char** argv) {
  UINT msg = static_cast<UINT>(Number(argv[3]));
  WPARAM wp = argc > 4 ? static_cast<WPARAM>(Number(argv[4])) : 0;
  LPARAM lp = argc > 5 ? static_cast<LPARAM>(Number(argv[5])) : 0;
  if (send) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(h, msg, wp, lp, SMTO_NORMAL, 10000, &result);
    std::printf("%lld\n", static_cast<long long>(result));
  } else {
    PostMessageA(h, msg, wp, lp);
  }
}

// --- clipped text ----------------------------------------------------------------------------

struct ClipCheck {
  HWND top;
  HDC dc;
  int dpi;
  int faults = 0;
};

std::string WithoutAmpersands(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

BOOL CALLBACK CheckClipped(HWND h, LPARAM lp) {
  auto& c = *reinterpret_cast<ClipCheck*>(lp);
  if (!IsWindowVisible(h)) return TRUE;
  char cls[64] = "", raw[1024] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, raw, sizeof raw);
  RECT client, outer, parent;
  GetClientRect(h, &client);
  GetWindowRect(h, &outer);
  HWND up = GetParent(h);
  GetClientRect(up, &parent);
  MapWindowPoints(up, nullptr, reinterpret_cast<POINT*>(&parent), 2);
  int id = GetDlgCtrlID(h);
  // A control reaching out of its parent is cut off by it (one pixel of slack for rounding).
  if (outer.left < parent.left - 1 || outer.top < parent.top - 1 || outer.right > parent.right + 1 ||
      outer.bottom > parent.bottom + 1) {
    std::printf("outside %d %s '%s'\n", id, cls, raw);
    ++c.faults;
  }
  std::string text = raw;
  bool isStatic = lstrcmpiA(cls, "Static") == 0, isButton = lstrcmpiA(cls, "Button") == 0;
  if (text.empty() || (!isStatic && !isButton)) return TRUE;
  LONG style = GetWindowLongA(h, GWL_STYLE);
  int width = client.right, height = client.bottom, need = 0, needHeight = 0;
  int checkBox = MulDiv(13, c.dpi, 96) + MulDiv(4, c.dpi, 96);
  if (isStatic) {
    UINT kind = style & SS_TYPEMASK;
    if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_LEFTNOWORDWRAP && kind != SS_SIMPLE)
      return TRUE;  // pictures, frames, owner-drawn
    UINT flags = DT_CALCRECT | (style & SS_NOPREFIX ? DT_NOPREFIX : 0);
    RECT r{0, 0, width, 0};
    if (kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE) {
      DrawTextA(c.dc, raw, -1, &r, flags | DT_SINGLELINE);
      need = r.right;
    } else {
      // Word-wrapped: the text must fit the height; a single word wider than the box is cut too.
      DrawTextA(c.dc, raw, -1, &r, flags | DT_WORDBREAK | DT_EDITCONTROL);
      needHeight = r.bottom;
      RECT widest{0, 0, 0, 0};
      std::string word;
      for (char ch : WithoutAmpersands(text) + " ") {
        if (ch == ' ' || ch == '\r' || ch == '\n') {
          if (!word.empty()) {
            RECT w{0, 0, 0, 0};
            DrawTextA(c.dc, word.c_str(), -1, &w, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            widest.right = std::max(widest.right, w.right);
          }
          word.clear();
        } else {
          word += ch;
        }
      }
      need = widest.right;
    }
  } else {
    UINT kind = style & BS_TYPEMASK;
    if (kind == BS_OWNERDRAW || (style & (BS_BITMAP | BS_ICON))) return TRUE;
    RECT r{0, 0, 0, 0};
    bool multiline = (style & BS_MULTILINE) != 0;
    if (multiline) {
      r.right = width;
      DrawTextA(c.dc, raw, -1, &r, DT_CALCRECT | DT_WORDBREAK);
      needHeight = r.bottom;
    } else {
      DrawTextA(c.dc, raw, -1, &r, DT_CALCRECT | DT_SINGLELINE);
      need = r.right;
      needHeight = r.bottom;
    }
    switch (kind) {
      case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
      case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
        if (!(style & BS_PUSHLIKE)) need += checkBox;
        break;
      case BS_GROUPBOX:
        need += MulDiv(16, c.dpi, 96);
        needHeight = 0;
        break;
      default:
        need += MulDiv(4, c.dpi, 96);  // the push button's edges
        break;
    }
    if (multiline) need = 0;
  }
  if (need > width || needHeight > height) {
    std::printf("clipped %d %s '%s' needs %dx%d has %dx%d\n", id, cls, raw, need, needHeight, width, height);
    ++c.faults;
  }
  return TRUE;
}

int CheckTexts(HWND h, const char* face, int points) {
  HDC dc = GetDC(h);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  // POINTS below zero: a pixel height on a 96 dpi screen (the frame's own buttons use one).
  int height = points > 0 ? -MulDiv(points, dpi, 72) : -MulDiv(-points, dpi, 96);
  HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  HGDIOBJ old = SelectObject(dc, font);
  ClipCheck c{h, dc, dpi};
  if (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) CheckClipped(h, reinterpret_cast<LPARAM>(&c));
  EnumChildWindows(h, CheckClipped, reinterpret_cast<LPARAM>(&c));
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(h, dc);
  std::printf("%d clipped\n", c.faults);
  return c.faults == 0 ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: kvdriver wait|gone|painted|count|caption|children|find|post|send|command|close|rect|mdi|text|key|"
               "tbclick|tbchecked|clientsize|dialog|answer|filename|settext|input|click|focus|visible|rows|rowclick|colclick|"
               "clipped|clipboard ...\n");
  return 2;
}

HWND FindDescendant(HWND top, const char* cls) { return FindWindowExA(top, nullptr, cls, nullptr); }

struct IdState {
  int id;
  HWND found = nullptr;
};

BOOL CALLBACK FindById(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<IdState*>(lp);
  if (GetDlgCtrlID(h) == s->id) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND DescendantById(HWND top, int id) {
  IdState s{id};
  EnumChildWindows(top, FindById, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// A list box or combo box: its lines, its selection, choosing a line, typed characters.
struct ListMessages {
  UINT count, text, length, getSel, setSel;
  WORD changed;
};
ListMessages ListMessagesOf(HWND h) {
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (_stricmp(cls, "ComboBox") == 0) return {CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETCURSEL, CB_SETCURSEL, CBN_SELCHANGE};
  return {LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN, LB_GETCURSEL, LB_SETCURSEL, LBN_SELCHANGE};
}
// Asked in UTF-16, which Wine carries across processes whole, and narrowed to the ANSI code page.
std::string ListLine(HWND h, const ListMessages& m, int i) {
  LRESULT length = SendMessageW(h, m.length, static_cast<WPARAM>(i), 0);
  if (length < 0) return {};
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(h, m.text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
  char text[1024] = "";
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
  return text;
}
int ListVerb(const std::string& verb, HWND h, int argc, char** argv) {
  ListMessages m = ListMessagesOf(h);
  if (verb == "lines") {
    int count = static_cast<int>(SendMessageA(h, m.count, 0, 0));
    for (int i = 0; i < count; ++i) std::printf("%s\n", ListLine(h, m, i).c_str());
  } else if (verb == "selection") {
    int i = static_cast<int>(SendMessageA(h, m.getSel, 0, 0));
    std::printf("%d\t%s\n", i, i >= 0 ? ListLine(h, m, i).c_str() : "");
  } else if (verb == "select" && argc > 4) {
    SendMessageA(h, m.setSel, static_cast<WPARAM>(Number(argv[4])), 0);
    SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), m.changed), reinterpret_cast<LPARAM>(h));
  } else if (verb == "chars" && argc > 4) {
    for (const char* c = argv[4]; *c; ++c) SendMessageA(h, WM_CHAR, static_cast<unsigned char>(*c), 1);
  } else {
    return 2;
  }
  return 0;
}

int ListMdi(HWND top) {
  HWND client = FindDescendant(top, "MDIClient");
  if (!client) return 1;
  HWND active = reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
  for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    char cls[256] = "";
    GetClassNameA(h, cls, sizeof cls);
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
    const char* state = !IsWindowVisible(h) ? "hidden" : IsIconic(h) ? "minimized" : IsZoomed(h) ? "maximized" : "restored";
    std::printf("%s %ld %ld %ld %ld %s %d\n", cls, r.left, r.top, r.right - r.left, r.bottom - r.top, state, h == active);
  }
  return 0;
}

void PressKey(HWND top, WORD vk, bool ctrl) {
  if (!ctrl) {
    PostMessageA(top, WM_KEYDOWN, vk, 1);
    PostMessageA(top, WM_KEYUP, vk, 0xC0000001);
    return;
  }
  // A key with Ctrl needs the real keyboard state: the window must be in front.
  SetForegroundWindow(top);
  Sleep(200);
  INPUT in[4]{};
  WORD keys[4] = {VK_CONTROL, vk, vk, VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i];
    in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, in, sizeof(INPUT));
}

// A key typed at the keyboard (optionally with Alt held), so that thread keyboard hooks see it:
// the window must be in front.
void TypeKey(HWND top, WORD vk, bool alt) {
  SetForegroundWindow(top);
  Sleep(200);
  INPUT in[4]{};
  WORD keys[4] = {VK_MENU, vk, vk, VK_MENU};
  int first = alt ? 0 : 1, last = alt ? 4 : 3;
  for (int i = first; i < last; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i];
    in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(static_cast<UINT>(last - first), in + first, sizeof(INPUT));
}

// The button's rectangle comes back through memory of the toolbar's own process.
int ClickToolbar(HWND top, int id) {
  HWND tb = FindDescendant(top, "ToolbarWindow32");
  if (!tb) return 1;
  LRESULT index = SendMessageA(tb, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0);
  if (index < 0) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(tb, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 1;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  RECT r{};
  SIZE_T got = 0;
  bool ok = remote && SendMessageA(tb, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &r, sizeof r, &got);
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  if (!ok) return 1;
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageA(tb, WM_MOUSEMOVE, 0, at);
  PostMessageA(tb, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tb, WM_LBUTTONUP, 0, at);
  return 0;
}

// Memory in the process of a window, for messages whose parameters point at structures.
class RemoteMemory {
 public:
  RemoteMemory(HWND h, SIZE_T size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) at_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  }
  ~RemoteMemory() {
    if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  char* at() const { return at_; }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
    SIZE_T done = 0;
    return at_ && WriteProcessMemory(process_, at_ + offset, data, size, &done) && done == size;
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) const {
    SIZE_T done = 0;
    return at_ && ReadProcessMemory(process_, at_ + offset, data, size, &done) && done == size;
  }

 private:
  HANDLE process_ = nullptr;
  char* at_ = nullptr;
};

int PrintListRows(HWND list) {
  constexpr SIZE_T kText = 512;
  RemoteMemory memory(list, sizeof(LVITEMA) + kText);
  if (!memory.at()) return 1;
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.iSubItem = column;
      item.pszText = memory.at() + sizeof(LVITEMA);
      item.cchTextMax = kText;
      char text[kText] = "";
      if (!memory.Write(0, &item, sizeof item) || !memory.Write(sizeof(LVITEMA), text, 1)) return 1;
      SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at()));
      memory.Read(sizeof(LVITEMA), text, kText);
      text[kText - 1] = '\0';
      std::printf("%s%s", column ? "\t" : "", text);
    }
    std::printf("\n");
  }
  return 0;
}

// Posts a left click at the middle of a rectangle the control gives through its own memory.
int ClickRemoteRect(HWND h, UINT message, WPARAM wp, LONG firstField) {
  RemoteMemory memory(h, sizeof(RECT));
  RECT r{firstField, 0, 0, 0};
  if (!memory.Write(0, &r, sizeof r)) return 1;
  if (!SendMessageA(h, message, wp, reinterpret_cast<LPARAM>(memory.at())) || !memory.Read(0, &r, sizeof r)) return 1;
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageA(h, WM_MOUSEMOVE, 0, at);
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(h, WM_LBUTTONUP, 0, at);
  return 0;
}

struct DialogState {
  HWND found = nullptr;
};

BOOL CALLBACK FindDialogWindow(HWND h, LPARAM lp) {
  char cls[64] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(h)) {
    reinterpret_cast<DialogState*>(lp)->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND FindDialog(DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    DialogState s;
    EnumWindows(FindDialogWindow, reinterpret_cast<LPARAM>(&s));
    if (s.found || GetTickCount() - start > timeout) return s.found;
    Sleep(100);
  }
}

BOOL CALLBACK PrintStatic(HWND h, LPARAM) {
  char cls[64] = "", text[2048] = "";
  GetClassNameA(h, cls, sizeof cls);
  GetWindowTextA(h, text, sizeof text);
  if (_stricmp(cls, "Static") == 0 && text[0]) std::printf("%s\n", text);
  return TRUE;
}

int ShowDialog(DWORD timeout) {
  HWND d = FindDialog(timeout);
  if (!d) {
    std::fprintf(stderr, "kvdriver: no dialog box\n");
    return 1;
  }
  char caption[512] = "";
  GetWindowTextA(d, caption, sizeof caption);
  std::printf("%s\n", caption);
  EnumChildWindows(d, PrintStatic, 0);
  return 0;
}

int PrintFocus() {
  HWND d = FindDialog(5000);
  if (!d) return 1;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(d, nullptr), &info)) return 1;
  std::printf("%d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
  return 0;
}

int Answer(int button) {
  HWND d = FindDialog(5000);
  if (!d) return 1;
  PostMessageA(d, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, button)));
  return 0;
}

// The file name box of the explorer-style dialog (a combo box, id 1148) or of the old one (an
// edit field, id 1152).
HWND FileNameField(HWND d) {
  HWND box = GetDlgItem(d, 1148);
  if (!box) box = GetDlgItem(d, 1152);
  if (!box) return nullptr;
  // The text goes into the edit field inside the combo box.
  char cls[64] = "";
  GetClassNameA(box, cls, sizeof cls);
  HWND edit = box;
  if (_stricmp(cls, "ComboBoxEx32") == 0) edit = reinterpret_cast<HWND>(SendMessageA(box, CBEM_GETEDITCONTROL, 0, 0));
  else if (_stricmp(cls, "ComboBox") == 0) edit = FindWindowExA(box, nullptr, "Edit", nullptr);
  return edit ? edit : box;
}

// Types the name and presses the default button until the dialog goes: a dialog still filling
// its fields may overwrite the first attempt.
int TypeFileName(const char* path) {
  for (int attempt = 0; attempt < 6; ++attempt) {
    HWND d = FindDialog(attempt == 0 ? 15000 : 500);
    if (!d) return attempt == 0 ? 1 : 0;
    Sleep(500);
    HWND field = FileNameField(d);
    if (!field) return 1;
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
    for (int i = 0; i < 20 && IsWindow(d) && IsWindowVisible(d); ++i) Sleep(100);
    if (!IsWindow(d) || !IsWindowVisible(d)) return 0;
  }
  return 1;
}

int PrintVersion(const char* file) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(file, &handle);
  if (!size) return 1;
  std::string data(size, '\0');
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(file, 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
    return 1;
  std::printf("%lu.%lu.%lu.%lu\n", info->dwFileVersionMS >> 16, info->dwFileVersionMS & 0xFFFF,
              info->dwFileVersionLS >> 16, info->dwFileVersionLS & 0xFFFF);
  return 0;
}

int SaveClipboardMetafile(const char* file) {
  bool opened = false;
  for (int attempt = 0; attempt < 20 && !(opened = OpenClipboard(nullptr)); ++attempt) Sleep(100);
  if (!opened) {
    std::fprintf(stderr, "the clipboard cannot be opened\n");
    return 1;
  }
  int result = 1;
  if (HANDLE block = GetClipboardData(CF_METAFILEPICT)) {
    if (auto* picture = static_cast<METAFILEPICT*>(GlobalLock(block))) {
      const UINT size = GetMetaFileBitsEx(picture->hMF, 0, nullptr);
      std::string bits(size, '\0');
      if (size && GetMetaFileBitsEx(picture->hMF, size, bits.data()) == size) {
        if (FILE* out = std::fopen(file, "wb")) {
          const bool written = std::fwrite(bits.data(), 1, size, out) == size;
          if (std::fclose(out) == 0 && written) {
            std::printf("metafilepict %ld %ld %ld\n", picture->mm, picture->xExt, picture->yExt);
            result = 0;
          }
        }
      }
      GlobalUnlock(block);
    }
  } else {
    std::printf("formats:");
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
      std::printf(" %u", format);
    std::printf("\n");
  }
  CloseClipboard();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  // Measure and place in the screen's real pixels, as the program (which is resolution aware) does.
  SetProcessDPIAware();
  if (argc < 2) return Usage();
  std::string verb = argv[1];
  if (verb == "foreground") {
    char cls[256] = "";
    GetClassNameA(GetForegroundWindow(), cls, sizeof cls);
    std::printf("%s\n", cls);
    return 0;
  }
  if (verb == "focus" && argc < 3) return PrintFocus();  // the dialog up; with a window: id and parent id
  if (verb == "dialog") return ShowDialog(argc > 2 ? static_cast<DWORD>(Number(argv[2])) : 15000);
  if (verb == "hold") {
    GetDesktopWindow();  // returns once Wine's desktop process is up
    if (argc > 2) {
      HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    }
    Sleep(INFINITE);
    return 0;
  }
  if (argc < 3) return Usage();
  if (verb == "answer") return Answer(static_cast<int>(Number(argv[2])));
  if (verb == "filename") return TypeFileName(argv[2]);
  if (verb == "version") return PrintVersion(argv[2]);
  if (verb == "clipboard" && argc > 2) return SaveClipboardMetafile(argv[2]);
  const char* cls = argv[2];
  DWORD timeout = argc > 3 ? static_cast<DWORD>(Number(argv[3])) : 15000;
  if (verb == "wait") return Wait(cls, timeout, true);
  if (verb == "gone") return Wait(cls, timeout, false);
  if (verb == "painted") return WaitPainted(cls, timeout);
  if (verb == "count") {
    std::printf("%d\n", CountWindows(cls));
    return 0;
  }
  HWND h = Require(cls);
  if (verb == "caption") {
    char text[1024] = "";
    GetWindowTextA(h, text, sizeof text);
    std::printf("%s\n", text);
  } else if (verb == "children") {
    EnumChildWindows(h, PrintChild, 0);
  } else if (verb == "find" && argc > 3) {
    FindState s{argv[3], argc > 4 ? argv[4] : nullptr};
    EnumChildWindows(h, FindChild, reinterpret_cast<LPARAM>(&s));
    if (!s.found) return 1;
    std::printf("%p\n", static_cast<void*>(s.found));
  } else if ((verb == "post" || verb == "send") && argc > 3) {
    Message(h, verb == "send", argc, argv);
  } else if (verb == "command" && argc > 3) {
    PostMessageA(h, WM_COMMAND, static_cast<WPARAM>(Number(argv[3])), 0);
  } else if (verb == "close") {
    PostMessageA(h, WM_CLOSE, 0, 0);
  } else if (verb == "move" && argc > 6) {
    SetWindowPos(h, nullptr, static_cast<int>(Number(argv[3])), static_cast<int>(Number(argv[4])),
                 static_cast<int>(Number(argv[5])), static_cast<int>(Number(argv[6])), SWP_NOZORDER);
  } else if (verb == "clipped") {
    return CheckTexts(h, argc > 4 ? argv[3] : "MS Shell Dlg", argc > 4 ? static_cast<int>(Number(argv[4])) : 8);
  } else if (verb == "mdi") {
    return ListMdi(h);
  } else if (verb == "text" && argc > 3) {
    HWND child = DescendantById(h, static_cast<int>(Number(argv[3])));
    if (!child) return 1;
    // Asked of the control itself: GetWindowText of another process's edit field gives only
    // the text it was created with.
    char text[1024] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
    std::printf("%s\n", text);
  } else if (verb == "settext" && argc > 4) {
    HWND child = DescendantById(h, static_cast<int>(Number(argv[3])));
    if (!child) return 1;
    SendMessageA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    SendMessageA(child, EM_SETMODIFY, TRUE, 0);
  } else if ((verb == "lines" || verb == "selection" || verb == "select" || verb == "chars") && argc > 3) {
    HWND child = DescendantById(h, static_cast<int>(Number(argv[3])));
    if (!child) return 1;
    if (ListVerb(verb, child, argc, argv)) return Usage();
  } else if (verb == "input" && argc > 3) {
    TypeKey(h, static_cast<WORD>(Number(argv[3])), argc > 4 && std::string(argv[4]) == "alt");
  } else if (verb == "click" && argc > 4) {
    // A left click at a point of the window's client area, as posted mouse messages.
    LPARAM at = MAKELPARAM(static_cast<int>(Number(argv[3])), static_cast<int>(Number(argv[4])));
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(h, WM_LBUTTONUP, 0, at);
  } else if (verb == "handle") {
    std::printf("%p\n", static_cast<void*>(h));
  } else if (verb == "focus") {
    // The control that has the keyboard focus in the window's thread: its id and its parent's
    // (a date box's edit field has id 100 inside the box).
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &info) || !info.hwndFocus) return 1;
    std::printf("%d %d\n", GetDlgCtrlID(info.hwndFocus), GetDlgCtrlID(GetParent(info.hwndFocus)));
  } else if (verb == "visible") {
    std::printf("%d\n", IsWindowVisible(h) ? 1 : 0);
  } else if (verb == "key" && argc > 3) {
    PressKey(h, static_cast<WORD>(Number(argv[3])), argc > 4 && std::string(argv[4]) == "ctrl");
  } else if (verb == "tbclick" && argc > 3) {
    return ClickToolbar(h, static_cast<int>(Number(argv[3])));
  } else if (verb == "tbchecked" && argc > 3) {
    HWND tb = FindDescendant(h, "ToolbarWindow32");
    if (!tb) return 1;
    std::printf("%d\n", SendMessageA(tb, TB_ISBUTTONCHECKED, static_cast<WPARAM>(Number(argv[3])), 0) ? 1 : 0);
  } else if (verb == "clientsize" && argc > 3) {
    HWND child = FindDescendant(h, argv[3]);
    if (!child) return 1;
    RECT r;
    GetClientRect(child, &r);
    std::printf("%ld %ld\n", r.right, r.bottom);
  } else if ((verb == "rows" || verb == "rowclick" || verb == "colclick") && argc > 3) {
    HWND list = DescendantById(h, static_cast<int>(Number(argv[3])));
    if (!list) return 1;
    if (verb == "rows") return PrintListRows(list);
    if (argc < 5) return Usage();
    auto index = static_cast<WPARAM>(Number(argv[4]));
    if (verb == "rowclick") return ClickRemoteRect(list, LVM_GETITEMRECT, index, LVIR_LABEL);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    return header ? ClickRemoteRect(header, HDM_GETITEMRECT, index, 0) : 1;
  } else if (verb == "rect") {
    RECT r;
    GetWindowRect(h, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  } else {
    return Usage();
  }
  return 0;
}
