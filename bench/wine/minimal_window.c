/* The yardstick of the start-up benchmark: the least a Win32 program does to put a painted
   window on the screen (a class, a window with a line of text, a message loop). */
#include <windows.h>

static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    TextOutA(dc, 10, 10, "Minimal", 7);
    EndPaint(h, &ps);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)previous;
  (void)commandLine;
  WNDCLASSA wc = {0};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  wc.lpszClassName = "KVMinimalFrame";
  if (!RegisterClassA(&wc)) return 1;
  HWND frame = CreateWindowA("KVMinimalFrame", "Minimal", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 480,
                             NULL, NULL, instance, NULL);
  wc.lpszClassName = "KVMinimalView";
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
  if (!frame || !RegisterClassA(&wc)) return 1;
  CreateWindowA("KVMinimalView", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400, frame, NULL, instance, NULL);
  ShowWindow(frame, show);
  UpdateWindow(frame);
  MSG m;
  while (GetMessageA(&m, NULL, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
