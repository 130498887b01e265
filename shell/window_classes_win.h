// The window classes of the program: the frame, the desk windows and the panes and parts that
// live in them. A module that brings a window's contents puts its procedure into the table.
#pragma once

#include <windows.h>

namespace kv {

// Registers every class; false when one was refused (the start then ends).
bool RegisterWindowClasses(HINSTANCE instance);

}  // namespace kv
