// The version check's exchange with the maker's web service: the request it sends and the
// reading of the reply. The reply comes from the network, so every position is checked
// against its length before it is read: a short or cut-off reply reads as "no tag".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// At most this much of a reply is read.
constexpr size_t kMaxVersionReply = 4096;

// The service used when the user's settings name none.
inline constexpr const char* kDefaultVersionService = "http://www.kalvora.com";

struct VersionReply {
  bool tag = false;    // "<VCHECK>" ... "</VCHECK>" with every field present
  bool newer = false;  // the service says a newer release exists and gave a usable address
  int major = 0, minor = 0, build = 0;
  std::string address;  // the download page, set only when `newer`
};

// Reads a reply. The answer lies between "<VCHECK>" and "</VCHECK>"; counted from the "<" of
// the opening tag, position 8 is the flag ("1": newer), 10 the major digit, 12-13 the minor
// and 15-18 the build digits, and from 20 to the closing tag the download address. A reply
// without both tags, too short to hold every field, or with a non-digit where a digit
// belongs has no tag. A newer release needs the flag "1" and an http:// or https:// address
// that may be handed to the browser; anything else reads as no newer release.
VersionReply ParseVersionReply(std::string_view reply);

// "%d.%d.%.4d", as the dialogs show a version.
std::string VersionText(int major, int minor, int build);
// The path and query of the request: "/vcheck/kalvora4.asp?4,07,0000.".
std::string VersionRequestPath();
// The service's address (scheme and host, a trailing "/" allowed) with the request's path.
std::string VersionRequestAddress(std::string_view service);

}  // namespace kv
