// Files the shell hands to the program: an overlay opened from Explorer (or named on the
// command line) is offered to the open configuration's overlay set; any other name on the
// command line is a configuration. A second start hands its overlay to the running program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

// The overlay file (extension ".kov" in any case) a command line names, without its quotes and
// surrounding blanks; nothing when the command line names something else or nothing at all.
std::optional<std::string> OverlayFileOfCommandLine(std::string_view commandLine);

enum class OverlayOpening {
  Added,        // the user said Yes and the overlay is in the set
  AlreadyOpen,  // the set holds it already; nothing was asked
  Declined,     // the user said No
  NotAdded,     // the set is full, the path too long or the file unreadable (the user was told)
};

// Asks whether to add the overlay at `path` to the open configuration's overlay set and, on
// Yes, adds it through the shell services and marks the configuration changed. An overlay
// the set already holds (compared without regard to case) is not asked about again.
OverlayOpening OpenOverlayFile(const std::string& path);

// The tag of the data a second start sends the running program with the path of an overlay.
inline constexpr uint32_t kHandedOverlayTag = 0x4B564F56;  // "KVOV"

// The path in data handed over by another process: the bytes up to the first NUL or the end,
// at most 259 of them; nothing when that is empty or longer.
std::optional<std::string> HandedOverlayPath(const void* data, size_t size);

}  // namespace kv
