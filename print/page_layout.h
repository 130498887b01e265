// The page layout of one kind of printout: margins, orientation, the month's "size to margins"
// choice and the header or footer line. Ten of these 64-byte records sit in the calendar
// configuration, one per print kind; the configuration reads and writes them through the pair
// below so the byte image stays in one place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {

inline constexpr size_t kPageLayoutSize = 64;
inline constexpr size_t kPageLayoutTextSize = 49;  // the text field, its terminating zero included

// One page layout (a kind of printout). Margins and distance in twips.
struct PageLayout {
  uint16_t topMargin = 0;      // from the paper's top edge
  uint16_t leftMargin = 0;
  uint16_t rightMargin = 0;
  uint16_t bottomMargin = 0;
  uint8_t landscape = 0;       // 1 landscape, 0 portrait
  uint8_t sizeToMargins = 0;   // month pages: 1 fills the margins instead of keeping 11 : 8
  std::string text;            // header or footer, at most 48 characters
  uint8_t isHeader = 0;        // 1 header, 0 footer
  uint16_t distance = 0;       // of the header (footer) from the top (bottom) paper edge
  std::array<uint8_t, kPageLayoutSize> kept{};  // the record as read: bytes without a field stay
};

// The record from its 64 bytes at `p`, and back (bytes without a field come from `kept`).
PageLayout ParsePageLayout(const uint8_t* p);
void PutPageLayout(uint8_t* p, const PageLayout& layout);

}  // namespace kv
