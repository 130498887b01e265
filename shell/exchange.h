// File > Import and File > Export: which exchange format a chosen file stands for, and the
// messages that report what was done. The files themselves are read and written by the
// personal layer (personal/ical.h, personal/contacts.h).
#pragma once

#include <string>
#include <vector>

#include "personal/ical.h"

namespace kv {

enum class ExchangeFormat { Unknown, Ical, VCard3, VCard4, Csv };

// The filters of the export dialog, in order (1-based as the dialog counts): iCalendar, vCard 3.0,
// vCard 4.0, CSV. A name's own extension decides; without a known one the chosen filter does.
// On import a ".vcf" is read whatever its version.
ExchangeFormat ExchangeFormatFor(const std::string& path, int filterIndex);

// "Line %d: %s" for the first `most` skipped lines, then "... and %d more.".
std::string SkippedLines(const std::vector<ExchangeSkip>& skipped, size_t most = 10);

}  // namespace kv
