#include "shell/version_reply.h"

#include <cstdio>

#include "base/untrusted_text.h"
#include "resources/command_ids.h"

namespace kv {
namespace {

constexpr std::string_view kOpenTag = "<VCHECK>";
constexpr std::string_view kCloseTag = "</VCHECK>";
// Offsets from the "<" of the opening tag.
constexpr size_t kFlagAt = 8, kMajorAt = 10, kMinorAt = 12, kBuildAt = 15, kAddressAt = 20;

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
  if (at > text.size() || count > text.size() - at) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

VersionReply ParseVersionReply(std::string_view reply) {
  VersionReply out;
  if (reply.size() > kMaxVersionReply) reply = reply.substr(0, kMaxVersionReply);
  size_t open = reply.find(kOpenTag);
  if (open == std::string_view::npos) return out;
  size_t close = reply.find(kCloseTag, open + kOpenTag.size());
  if (close == std::string_view::npos) return out;  // cut off before its end
  // The answer from the opening tag up to the closing one; every position is read from it.
  std::string_view answer = reply.substr(open, close - open);
  if (answer.size() <= kFlagAt) return out;
  char flag = answer[kFlagAt];
  VersionReply fields;
  if (!Digits(answer, kMajorAt, 1, fields.major) || !Digits(answer, kMinorAt, 2, fields.minor) ||
      !Digits(answer, kBuildAt, 4, fields.build))
    return out;
  fields.tag = true;
  std::string_view address = answer.size() > kAddressAt ? answer.substr(kAddressAt) : std::string_view();
  if (flag == '1' && (StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://")) &&
      IsSafeDownloadAddress(address)) {
    fields.newer = true;
    fields.address = std::string(address);
  }
  return fields;
}

std::string VersionText(int major, int minor, int build) {
  char text[48];
  std::snprintf(text, sizeof text, "%d.%d.%.4d", major, minor, build);
  return text;
}

std::string VersionRequestPath() {
  char version[32];
  std::snprintf(version, sizeof version, "%d,%.2d,%.4d.", KV_VERSION_MAJOR, KV_VERSION_MINOR,
                KV_VERSION_BUILD);
  return std::string("/vcheck/kalvora4.asp?") + version;
}

std::string VersionRequestAddress(std::string_view service) {
  while (!service.empty() && service.back() == '/') service.remove_suffix(1);
  return std::string(service) + VersionRequestPath();
}

}  // namespace kv
