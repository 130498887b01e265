#include "shell/open_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/messages.h"
#include "overlays/overlay_set.h"
#include "resources/strings.h"
#include "shell/configuration.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

constexpr int kAddOverlayQuestion = 33200;
constexpr int kOverlaySetFull = 33201;
constexpr int kOverlayPathTooLong = 33202;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

void Report(int id, const std::string& name) {
  ShowMessage(FormatText(std::string(StringText(id)).c_str(), name.c_str()), MsgIcon::Warning);
}

}  // namespace

std::optional<std::string> OverlayFileOfCommandLine(std::string_view line) {
  size_t start = line.find_first_not_of(" \t");
  line = start == std::string_view::npos ? std::string_view() : line.substr(start);
  if (!line.empty() && line.front() == '"') {
    line.remove_prefix(1);
    if (size_t quote = line.find('"'); quote != std::string_view::npos) line = line.substr(0, quote);
  }
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  size_t slash = line.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? line : line.substr(slash + 1);
  if (name.size() <= 4 || !SameName(name.substr(name.size() - 4), ".kov")) return std::nullopt;
  return std::string(line);
}

OverlayOpening OpenOverlayFile(const std::string& path) {
  std::vector<std::string> open = Services().OverlayNames();
  if (std::any_of(open.begin(), open.end(), [&](const std::string& p) { return SameName(p, path); }))
    return OverlayOpening::AlreadyOpen;
  std::string name = OverlayNameOfPath(path);
  if (path.size() > kMaxOverlayPath) {
    Report(kOverlayPathTooLong, path);
    return OverlayOpening::NotAdded;
  }
  if (open.size() >= static_cast<size_t>(kMaxOverlays)) {
    Report(kOverlaySetFull, name);
    return OverlayOpening::NotAdded;
  }
  UserMessage question;
  question.text = FormatText(std::string(StringText(kAddOverlayQuestion)).c_str(), name.c_str(), path.c_str());
  question.caption = std::string(StringText(IDS_PRODUCT_NAME));
  question.icon = MsgIcon::Question;
  question.beep = MsgBeep::Question;
  question.buttons = MsgButtons::YesNo;
  question.owner = MsgOwner::Frame;
  if (ShowUserMessage(question) != MsgAnswer::Yes) return OverlayOpening::Declined;
  // The overlay module reports a file it cannot open or whose header is wrong, and keeps the
  // events before any damage.
  if (!Services().AddOverlay(path)) return OverlayOpening::NotAdded;
  Services().RebuildOverlayOrder();
  SetConfigDirty();
  return OverlayOpening::Added;
}

std::optional<std::string> HandedOverlayPath(const void* data, size_t size) {
  if (!data || size == 0) return std::nullopt;
  const char* bytes = static_cast<const char*>(data);
  size_t length = static_cast<size_t>(std::find(bytes, bytes + size, '\0') - bytes);
  if (length == 0 || length > kMaxOverlayPath) return std::nullopt;
  return std::string(bytes, length);
}

}  // namespace kv
