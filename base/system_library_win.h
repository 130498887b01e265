// Libraries loaded at run time come only from the system folder. A program started from a
// downloads folder must not pick up a dwmapi.dll or uxtheme.dll that arrived beside it.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

// Restricts the search of every later library load of the process (including those the
// system libraries make themselves) to the system folder. Call first thing in WinMain / main.
// Windows without the function (Windows 7 before its loader update) keeps its default order;
// LoadSystemLibrary still loads by full system path there.
inline void RestrictLibrarySearchToSystem() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto set = kernel ? reinterpret_cast<SetDirectories>(
                          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                    : nullptr;
  if (set && set(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // An older loader: at least take the current folder out of its search.
  SetDllDirectoryA("");
}

// Loads a system library by its bare name from the system folder only; nullptr when absent.
inline HMODULE LoadSystemLibrary(const char* name) {
  HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
  // A loader that does not know the flag: name the file in the system folder outright.
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::string path = std::string(folder, length) + "\\" + name;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace kv
