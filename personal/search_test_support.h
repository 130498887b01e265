// Shared by the search's tests: dates in one call and results as one line of text.
#pragma once

#include <string>
#include <vector>

#include "personal/search.h"
#include "resources/strings.h"

namespace kv::test {

inline DateStamp D(int y, int m, int d, int h = 0, int mi = 0) {
  return DateStamp{y, static_cast<uint16_t>(m), static_cast<uint16_t>(d), static_cast<uint16_t>(h),
                   static_cast<uint16_t>(mi)};
}

// "type/date/item/offset/description|" for each result.
inline std::string SearchHits(const std::vector<SearchResult>& results) {
  std::string s;
  for (const SearchResult& r : results)
    s += FormatText("%u/%d-%d-%d/%u/%u/", r.type, r.date.year, r.date.month, r.date.day, r.item, r.offset) +
         r.description + "|";
  return s;
}

}  // namespace kv::test
