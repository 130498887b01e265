// kvdriver: drives kalvora.exe in UI tests. Runs in the same Wine prefix as the program, finds
// its windows by class, reads their texts and sends them messages and commands.
//
//   kvdriver wait CLASS [TIMEOUT_MS]        wait until a top-level window of CLASS exists
//   kvdriver gone CLASS [TIMEOUT_MS]        wait until no top-level window of CLASS is left
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
//
// Exit code 0 on success, 1 when the window is not found or a wait timed out, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND FindTop(const char* cls) { return FindWindowA(cls, nullptr); }

HWND Require(const char* cls) {
  HWND h = FindTop(cls);
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

int Usage() {
  std::fprintf(stderr, "usage: kvdriver wait|gone|count|caption|children|find|post|send|command|close|rect ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string verb = argv[1];
  if (verb == "foreground") {
    char cls[256] = "";
    GetClassNameA(GetForegroundWindow(), cls, sizeof cls);
    std::printf("%s\n", cls);
    return 0;
  }
  if (argc < 3) return Usage();
  const char* cls = argv[2];
  DWORD timeout = argc > 3 ? static_cast<DWORD>(Number(argv[3])) : 15000;
  if (verb == "wait") return Wait(cls, timeout, true);
  if (verb == "gone") return Wait(cls, timeout, false);
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
  } else if (verb == "rect") {
    RECT r;
    GetWindowRect(h, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  } else {
    return Usage();
  }
  return 0;
}
