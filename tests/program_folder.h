// The folder of the running test program: the build places the program's data files (zone
// and location lists, overlay masters) beside it, as in an installed program folder.
#pragma once

#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kv::test {

inline std::string ProgramFolder() {
  char buffer[4096];
#if defined(_WIN32)
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n);
#else
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "";
#endif
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? "." : path.substr(0, cut);
}

}  // namespace kv::test
