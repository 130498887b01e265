// Margins and distances of a page layout are kept in twips and shown to the user in inches, or
// in centimetres (567 twips each) where the system measures in metric.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kv {

inline constexpr int kTwipsPerInchUnit = 1440;
inline constexpr int kTwipsPerCentimetre = 567;
// The largest measure a layout accepts: 22 inches, beyond any paper the program prints on.
inline constexpr int kLargestPageMeasure = 22 * 1440;

// "0.50" (inches) or "1.27" (centimetres): two decimals.
std::string FormatPageMeasure(int twips, bool metric);

// A number with an optional decimal point ("1", "0.5", ".75", "1,5" with a decimal comma),
// blanks around it allowed; nothing when unreadable, negative or above the largest measure.
std::optional<int> ParsePageMeasure(std::string_view text, bool metric);

}  // namespace kv
