// Checks of text that comes from outside the program (a phonebook number, an address received
// over the network, a path named in a configuration file) before it reaches a modem, the shell
// or the file system. Each check names what is wrong so the user sees a clear reason.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// --- dial strings --------------------------------------------------------------------------
// What may be sent after "ATD": digits, * # , ; ! @ W P T (either case), blanks, dashes,
// parentheses, dots and plus. Anything else (a carriage return, a letter, "&") could end the
// dial command and start another one on the modem.
constexpr size_t kMaxDialStringLength = 60;

// True when the number may be dialled. Otherwise *offending (when given) is the position of
// the first character that may not be sent, the length limit for an overlong number, or npos
// for an empty one.
bool IsSafeDialString(std::string_view number, size_t* offending = nullptr);
// The message that refuses the number, or "" when it may be dialled.
std::string DialStringRefusal(std::string_view number);

// --- download addresses --------------------------------------------------------------------
// An address the program may hand to the default browser: http:// or https:// (any case)
// followed by a host name, at most this long, in printable ASCII without blanks, quotes,
// backslashes or < > | ^ ` { }, and "%" only as the start of a %XX escape.
constexpr size_t kMaxDownloadAddressLength = 2048;

bool IsSafeDownloadAddress(std::string_view address, size_t* offending = nullptr);
std::string DownloadAddressRefusal(std::string_view address);

// --- paths named in files ------------------------------------------------------------------
enum class PathKind {
  Local,     // a path on this machine (or relative to a folder of it)
  Network,   // \\server\share\..., //server/..., \\?\UNC\...: opening it contacts another machine
  Unusable,  // cannot name a file: too long, forbidden characters, a device name
};
constexpr size_t kMaxPathLength = 259;

// Classifies a Windows path read from a file. For an unusable path *reason (when given) is the
// message that refuses it.
PathKind ClassifyPath(std::string_view path, std::string* reason = nullptr);
// True when a component of the path is a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9), with or
// without an extension.
bool NamesDevice(std::string_view path);

}  // namespace kv
