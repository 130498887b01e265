#include "base/untrusted_text.h"

#include <array>
#include <cstring>

#include "resources/strings.h"

namespace kv {
namespace {

constexpr size_t npos = std::string_view::npos;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'f'); }
bool IsLetter(char c) { return Lower(c) >= 'a' && Lower(c) <= 'z'; }

// A character as the user can read it in a message: itself when printable, its code otherwise.
std::string Describe(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 0x20 && u != 0x7F) {
    std::string quoted(3, '"');
    quoted[1] = c;
    return quoted;
  }
  return FormatText("(code %u)", static_cast<unsigned>(u));
}

// The text itself for a message, cut short and with control characters shown as "?".
std::string Quote(std::string_view text) {
  constexpr size_t kShown = 80;
  std::string shown;
  for (size_t i = 0; i < text.size() && i < kShown; ++i) {
    auto u = static_cast<unsigned char>(text[i]);
    shown += u < 0x20 || u == 0x7F ? '?' : text[i];
  }
  if (text.size() > kShown) shown += "...";
  return shown;
}

bool IsDialCharacter(char c) {
  if (IsDigit(c)) return true;
  return std::strchr("*#,;!@WPTwpt -().+", c) != nullptr && c != '\0';
}

}  // namespace

// --- dial strings --------------------------------------------------------------------------

bool IsSafeDialString(std::string_view number, size_t* offending) {
  size_t at = npos;
  if (number.empty()) {
    at = npos;
  } else {
    for (size_t i = 0; i < number.size() && i < kMaxDialStringLength; ++i)
      if (!IsDialCharacter(number[i])) {
        at = i;
        break;
      }
    if (at == npos && number.size() <= kMaxDialStringLength) return true;
    if (at == npos) at = kMaxDialStringLength;
  }
  if (offending) *offending = at;
  return false;
}

std::string DialStringRefusal(std::string_view number) {
  size_t at = 0;
  if (IsSafeDialString(number, &at)) return {};
  if (number.empty()) return std::string(StringText(19100));
  if (at == kMaxDialStringLength && number.size() > kMaxDialStringLength)
    return FormatText(std::string(StringText(19101)).c_str(), Quote(number).c_str(),
                      static_cast<int>(kMaxDialStringLength));
  return FormatText(std::string(StringText(19102)).c_str(), Quote(number).c_str(), Describe(number[at]).c_str(),
                    static_cast<int>(at + 1));
}

// --- download addresses --------------------------------------------------------------------

bool IsSafeDownloadAddress(std::string_view address, size_t* offending) {
  auto refuse = [offending](size_t at) {
    if (offending) *offending = at;
    return false;
  };
  if (address.empty()) return refuse(npos);
  if (address.size() > kMaxDownloadAddressLength) return refuse(kMaxDownloadAddressLength);
  size_t start = StartsWithNoCase(address, "http://") ? 7 : StartsWithNoCase(address, "https://") ? 8 : 0;
  if (start == 0) return refuse(0);
  // Every character: printable ASCII that neither the shell nor a browser's command line can
  // read as a quote, an escape, a redirection or a second argument.
  for (size_t i = 0; i < address.size(); ++i) {
    auto u = static_cast<unsigned char>(address[i]);
    if (u <= 0x20 || u >= 0x7F || std::strchr("\"'\\<>|^`{}", address[i])) return refuse(i);
    if (address[i] == '%' && (i + 2 >= address.size() || !IsHex(address[i + 1]) || !IsHex(address[i + 2])))
      return refuse(i);
  }
  // The host: letters, digits, dots and dashes (or a bracketed IPv6 address), then an optional
  // port. No user name ("http://trusted@elsewhere") and never empty ("http:///file").
  size_t end = address.find_first_of("/?#", start);
  if (end == npos) end = address.size();
  std::string_view authority = address.substr(start, end - start);
  if (authority.empty()) return refuse(start);
  size_t i = 0;
  if (authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == npos || close == 1) return refuse(start);
    for (i = 1; i < close; ++i)
      if (!IsHex(authority[i]) && authority[i] != ':' && authority[i] != '.') return refuse(start + i);
    i = close + 1;
  } else {
    for (; i < authority.size() && authority[i] != ':'; ++i)
      if (!IsLetter(authority[i]) && !IsDigit(authority[i]) && authority[i] != '.' && authority[i] != '-')
        return refuse(start + i);
    if (i == 0) return refuse(start);
  }
  if (i < authority.size()) {
    if (authority[i] != ':' || i + 1 == authority.size() || authority.size() - i - 1 > 5) return refuse(start + i);
    for (size_t p = i + 1; p < authority.size(); ++p)
      if (!IsDigit(authority[p])) return refuse(start + p);
  }
  return true;
}

std::string DownloadAddressRefusal(std::string_view address) {
  size_t at = 0;
  if (IsSafeDownloadAddress(address, &at)) return {};
  if (address.size() > kMaxDownloadAddressLength)
    return FormatText(std::string(StringText(19111)).c_str(), static_cast<int>(kMaxDownloadAddressLength));
  if (at == npos || at == 0) return FormatText(std::string(StringText(19110)).c_str(), Quote(address).c_str());
  return FormatText(std::string(StringText(19112)).c_str(), Quote(address).c_str(), Describe(address[at]).c_str(),
                    static_cast<int>(at + 1));
}

// --- paths ---------------------------------------------------------------------------------

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// The reserved device names Windows opens whatever folder and extension they come with.
bool IsDeviceComponent(std::string_view component) {
  std::string_view base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  if (base.size() == 3) {
    for (const char* name : {"con", "prn", "aux", "nul"})
      if (StartsWithNoCase(base, name)) return true;
  } else if (base.size() == 4 && (StartsWithNoCase(base, "com") || StartsWithNoCase(base, "lpt"))) {
    char n = base[3];
    // 1-9, and the superscript digits Windows also treats as port numbers.
    return (n >= '1' && n <= '9') || n == '\xB9' || n == '\xB2' || n == '\xB3';
  }
  return false;
}

}  // namespace

bool NamesDevice(std::string_view path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSlash(path[end])) ++end;
    std::string_view component = path.substr(start, end - start);
    // "C:NUL" is the device too: look past a drive.
    if (start == 0 && component.size() >= 2 && component[1] == ':') component.remove_prefix(2);
    if (IsDeviceComponent(component)) return true;
    start = end + 1;
  }
  return false;
}

PathKind ClassifyPath(std::string_view path, std::string* reason) {
  auto unusable = [&](int message, std::string detail = {}) {
    if (reason)
      *reason = detail.empty() ? FormatText(std::string(StringText(message)).c_str(), Quote(path).c_str())
                               : FormatText(std::string(StringText(message)).c_str(), Quote(path).c_str(), detail.c_str());
    return PathKind::Unusable;
  };
  if (path.empty()) return unusable(19121);
  if (path.size() > kMaxPathLength) return unusable(19120, std::to_string(kMaxPathLength));

  PathKind kind = PathKind::Local;
  std::string_view rest = path;
  // The \\?\ and \\.\ prefixes: \\?\UNC\server\share is a network path, \\?\C:\... a local
  // one; anything else behind them (devices, pipes, volumes by GUID) is not a file to open.
  if (path.size() >= 4 && IsSlash(path[0]) && IsSlash(path[1]) && (path[2] == '?' || path[2] == '.') &&
      IsSlash(path[3])) {
    rest = path.substr(4);
    if (StartsWithNoCase(rest, "UNC") && rest.size() > 3 && IsSlash(rest[3])) {
      kind = PathKind::Network;
      rest = rest.substr(4);
    } else if (rest.size() >= 3 && IsLetter(rest[0]) && rest[1] == ':' && IsSlash(rest[2])) {
      kind = PathKind::Local;
    } else {
      return unusable(19122);
    }
  } else if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) {
    kind = PathKind::Network;
    rest = path.substr(2);
  }
  if (kind == PathKind::Network) {
    // A server and a share, at least: "\\" alone or "\\server" names nothing to open.
    size_t server = 0;
    while (server < rest.size() && !IsSlash(rest[server])) ++server;
    if (server == 0 || server + 1 >= rest.size()) return unusable(19122);
  }
  for (size_t i = 0; i < rest.size(); ++i) {
    auto u = static_cast<unsigned char>(rest[i]);
    bool drive = i == 1 && kind == PathKind::Local && IsLetter(rest[0]);
    if (u < 0x20 || u == 0x7F || std::strchr("<>\"|?*", rest[i]) || (rest[i] == ':' && !drive))
      return unusable(19123, Describe(rest[i]));
  }
  if (NamesDevice(rest)) return unusable(19124);
  return kind;
}

}  // namespace kv
