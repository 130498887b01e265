// kvtool: the command-line companion of Kalvora. Every command prints one JSON document.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/kvtool/registry.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// (after windows.h, which it needs)
#include <shellapi.h>

#include "base/system_library_win.h"
#endif

namespace kv::tool {

std::vector<RegisteredCommand>& Registry() {
  static std::vector<RegisteredCommand> commands;
  return commands;
}

namespace {

void PrintUsage(std::FILE* out) {
  std::vector<RegisteredCommand> sorted = Registry();
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  std::fprintf(out, "usage: kvtool COMMAND [ARGS]\n\ncommands:\n");
  for (const auto& c : sorted) std::fprintf(out, "  kvtool %s %s\n", c.name.c_str(), c.usage.c_str());
}

// The command named by the first two words, or else by the first.
const RegisteredCommand* Find(const std::vector<std::string>& words, size_t& used) {
  for (size_t n : {size_t{2}, size_t{1}}) {
    if (words.size() < n) continue;
    std::string name = words[0];
    if (n == 2) name += " " + words[1];
    for (const auto& c : Registry()) {
      if (c.name == name) {
        used = n;
        return &c;
      }
    }
  }
  return nullptr;
}

}  // namespace
}  // namespace kv::tool

int main(int argc, char** argv) {
  using namespace kv::tool;
#if defined(_WIN32)
  // A kvtool run from a folder of downloaded files must not load a library planted there.
  kv::RestrictLibrarySearchToSystem();
  // JSON lines end in "\n" on every system.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  std::vector<std::string> words(argv + 1, argv + argc);
#if defined(_WIN32)
  // Arguments are UTF-8 on every system: on Windows they are taken as the wide command line
  // and converted, not in the ANSI code page (which cannot hold every name).
  int wideCount = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wideCount)) {
    if (wideCount == argc) {
      for (int i = 1; i < wideCount; ++i) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(size > 0 ? static_cast<size_t>(size) : 1u, '\0');
        if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), size, nullptr, nullptr);
        utf8.resize(std::char_traits<char>::length(utf8.c_str()));
        words[static_cast<size_t>(i - 1)] = utf8;
      }
    }
    LocalFree(wide);
  }
#endif
  if (words.empty() || words[0] == "--help" || words[0] == "help") {
    PrintUsage(words.empty() ? stderr : stdout);
    return words.empty() ? 2 : 0;
  }
  size_t used = 0;
  const RegisteredCommand* command = Find(words, used);
  if (!command) {
    std::fprintf(stderr, "kvtool: unknown command \"%s\" (kvtool --help lists them)\n", words[0].c_str());
    return 2;
  }
  Args args(std::vector<std::string>(words.begin() + static_cast<long>(used), words.end()));
  try {
    command->handler(args);
    return 0;
  } catch (const UsageError& e) {
    std::fprintf(stderr, "kvtool %s: %s\nusage: kvtool %s %s\n", command->name.c_str(), e.what(),
                 command->name.c_str(), command->usage.c_str());
    return 2;
  } catch (const Failure& e) {
    std::fprintf(stderr, "kvtool %s: %s\n", command->name.c_str(), e.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kvtool %s: %s\n", command->name.c_str(), e.what());
    return 1;
  }
}
