// The overlay file: a 40-byte header ("KOV6", format 6, the overlay's default accent, the event
// count) followed by the events, each its 56-byte fixed part and its description with one
// terminating zero. Reading never trusts the file: a short file, an absurd count, a description
// without its zero or a garbage header load what is valid and never read out of bounds.
//
// Older files (first three bytes "KOV", or "QOV" of the predecessor product, and a zero fourth
// byte) have a 14-byte header and 17-, 21- or 27-byte events (formats 3 and lower, 4, 5); they
// are converted in place, through a temporary file, before loading.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "overlays/overlay_event.h"
#include "base/file_io.h"

namespace kv {

constexpr size_t kOverlayHeaderSize = 40;
constexpr uint32_t kOverlayFormat = 6;
inline constexpr char kOverlayMagic[4] = {'K', 'O', 'V', '6'};
inline constexpr char kPredecessorMagic[3] = {'Q', 'O', 'V'};

struct OverlayHeader {
  std::array<char, 4> magic = {'K', 'O', 'V', '6'};
  uint32_t format = kOverlayFormat;
  Accent accent;
  uint32_t count = 0;
  std::array<uint8_t, 8> reserved{};
  friend bool operator==(const OverlayHeader&, const OverlayHeader&) = default;
};

void ParseOverlayHeader(const uint8_t* p, OverlayHeader& h);
void SerializeOverlayHeader(const OverlayHeader& h, uint8_t* p);

struct OverlayImage {
  OverlayHeader header;
  std::vector<OverlayEvent> events;
};

// Results of reading a file.
enum OverlayLoadResult : int { kOverlayLoaded = 0, kOverlayBadRecord = -1, kOverlayBadHeader = 2, kOverlayCannotOpen = 3 };

// Events from a current-format image in memory: kOverlayLoaded, or kOverlayBadRecord with the
// events before the damage (a missing or partial record, a description that runs on for 120
// bytes without its zero: that event is kept, cut to 119 characters, and reading stops).
// kOverlayBadHeader when there is no whole header.
int ParseOverlayBytes(const uint8_t* data, size_t size, OverlayImage& out);
// The file's bytes: the header with the count of events given, then the events.
std::vector<uint8_t> SerializeOverlay(const OverlayImage& image);
size_t SerializedOverlaySize(const OverlayImage& image);

// An older file's bytes: true when the first four bytes say so.
bool IsOlderOverlay(const uint8_t* data, size_t size);
// The format-6 image of an older file; false when it cannot be converted (another magic, an
// unknown format, no whole header). Events after a damaged one are dropped.
bool ConvertOlderOverlay(const uint8_t* data, size_t size, int homeZone, std::vector<uint8_t>& out);
// Converts a file in place through a temporary file.
bool ConvertOlderOverlayFile(const std::string& path);

// Reads a file: header check, conversion of an older file, events.
int ReadOverlayFile(const std::string& path, OverlayImage& out);


// ---- orders -----------------------------------------------------------------------------

enum OverlaySortOrder : int { kSortAlphabetical = 0, kSortDescendingDate = 1, kSortAscendingDate = 2 };

// The system-style string comparison of descriptions: letters compare without regard to case
// first, and a lower-case letter comes before its capital when the texts differ only in case.
int CompareDescriptions(std::string_view a, std::string_view b);
// Strict-weak "a before b" of the three list orders and of the save order (ranged events and
// kind 12 first, then ascending month and day).
bool ListOrderLess(const OverlayEvent& a, const OverlayEvent& b, int order);
bool SaveOrderLess(const OverlayEvent& a, const OverlayEvent& b);
void SortForSave(std::vector<OverlayEvent>& events);

// A line of the event list: in the date orders "%d%c%02d " (month, date separator, day) first;
// birthdays, anniversaries and Yahrzeit as the possessive of the description and the word.
std::string OverlayListLine(const OverlayEvent& e, int order);

}  // namespace kv
