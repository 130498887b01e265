// What every window and dialog of the program starts from: its state in GWLP_USERDATA and an
// exception barrier around its procedure. A window class's state type is a struct with
//   explicit State(HWND window, const CREATESTRUCTA& create);
//   LRESULT Handle(HWND window, UINT message, WPARAM wp, LPARAM lp);   // a switch of On... calls
// and its class is registered with StatefulWindowProc<State>. The state is made at WM_NCCREATE
// and deleted after WM_NCDESTROY; an exception thrown while handling a message becomes a
// message box and the window stays usable: it never unwinds into Windows.
#pragma once

#include <windows.h>

#include <exception>
#include <utility>

namespace kv {

// The state attached to a window (nullptr before WM_NCCREATE and after WM_NCDESTROY).
template <class State>
State* StateOf(HWND window) {
  return reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Tells the user that an action failed with an exception; a message whose painting failed is
// validated so it does not come back at once. Never throws; never shows two boxes at a time.
void ReportWindowException(HWND window, UINT message, const char* what) noexcept;

// Runs `body` (returning LRESULT or INT_PTR) behind the barrier; `fallback` is the result when
// it threw.
template <class Result, class Body>
Result Guarded(HWND window, UINT message, Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& e) {
    ReportWindowException(window, message, e.what());
  } catch (...) {
    ReportWindowException(window, message, nullptr);
  }
  return fallback;
}

// The window procedure of a class whose state is State (see above). Messages before WM_NCCREATE
// and after the state is gone go to the default procedure `Default` (DefWindowProcA, or
// DefMDIChildProcA for MDI children).
template <class State, LRESULT(WINAPI* Default)(HWND, UINT, WPARAM, LPARAM) = DefWindowProcA>
LRESULT CALLBACK StatefulWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
    State* made = Guarded<State*>(window, message, nullptr, [&] { return new State(window, *create); });
    if (!made) return FALSE;  // the window is not created
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
  }
  State* state = StateOf<State>(window);
  if (!state) return Default(window, message, wp, lp);
  LRESULT result = Guarded<LRESULT>(window, message, 0, [&] { return state->Handle(window, message, wp, lp); });
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete state;
  }
  return result;
}

}  // namespace kv
