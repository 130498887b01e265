#include "shell/exchange.h"

#include <cctype>

#include "resources/strings.h"

namespace kv {

ExchangeFormat ExchangeFormatFor(const std::string& path, int filterIndex) {
  size_t dot = path.find_last_of(".\\/");
  std::string extension;
  if (dot != std::string::npos && path[dot] == '.')
    for (char c : path.substr(dot + 1)) extension.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  if (extension == "ics" || extension == "ical" || extension == "ifb") return ExchangeFormat::Ical;
  if (extension == "csv") return ExchangeFormat::Csv;
  if (extension == "vcf" || extension == "vcard")
    return filterIndex == 3 ? ExchangeFormat::VCard4 : ExchangeFormat::VCard3;
  if (!extension.empty()) return ExchangeFormat::Unknown;
  switch (filterIndex) {
    case 1: return ExchangeFormat::Ical;
    case 2: return ExchangeFormat::VCard3;
    case 3: return ExchangeFormat::VCard4;
    case 4: return ExchangeFormat::Csv;
    default: return ExchangeFormat::Unknown;
  }
}

std::string SkippedLines(const std::vector<ExchangeSkip>& skipped, size_t most) {
  std::string text;
  for (size_t i = 0; i < skipped.size() && i < most; ++i) {
    if (!text.empty()) text += '\n';
    text += FormatText(std::string(StringText(25229)).c_str(), skipped[i].line, skipped[i].why.c_str());
  }
  if (skipped.size() > most)
    text += '\n' + FormatText(std::string(StringText(25230)).c_str(), static_cast<int>(skipped.size() - most));
  return text;
}

}  // namespace kv
