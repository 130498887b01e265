// The Search window: a modeless dialog (template "Search", class "KVSearch") with the search
// text and its history, the two match options, "&Where..." for the areas and the date range,
// and the list of hits. Opening a hit is the program's business (the windows that show hits
// live in upper layers): the window works out what the hit needs (search_window.h) and hands
// that to the hook the shell installs, then collapses to its top strip beside the window that
// came forward. "Re&open" brings the full window back.
//
// Private messages it handles: kMsgRunSearch (1061) runs the search as "&Find" does;
// kMsgRunSearchAgain (1062) only refuses while a data access is in progress.
#pragma once

#include <windows.h>

#include <functional>

#include "personal/search_window.h"

namespace kv {

struct SearchWindowHooks {
  // Brings the hit's window forward with the hit selected; the window that came forward, or
  // nullptr when nothing could be shown.
  std::function<HWND(const SearchGoTo&)> openHit;
  // The top of the frame's MDI client area on the screen: where the collapsed window goes when
  // it cannot stand beside the hit's window.
  std::function<int()> clientTop;
  // The window is being destroyed ("&Close", Esc, or its owner going).
  std::function<void()> closed;
};

// Creates and shows the window, owned by `owner`; nullptr when it could not be made.
HWND CreateSearchWindow(HINSTANCE instance, HWND owner, SearchWindowHooks hooks);

}  // namespace kv
