#include "resources/strings.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace kv {
namespace {

struct Row {
  int id;
  std::string_view text;
};

// sizeof keeps texts that hold a NUL (file dialog filters) whole.
#define STR(number, literal) Row{number, std::string_view(literal, sizeof(literal) - 1)},
constexpr Row kRows[] = {
#include "resources/strings.def"
};
#undef STR

// Lookups search the table, so its rows must stay in ascending order with no number twice; a
// merge that appends a block in the wrong place fails here rather than losing texts at run time.
constexpr bool RowsAscend() {
  for (size_t i = 1; i < std::size(kRows); ++i)
    if (kRows[i - 1].id >= kRows[i].id) return false;
  return true;
}
static_assert(RowsAscend(), "strings.def rows must be in ascending order, each number once");

const Row* Find(int id) {
  const Row* end = std::end(kRows);
  const Row* it = std::lower_bound(std::begin(kRows), end, id,
                                   [](const Row& row, int wanted) { return row.id < wanted; });
  return (it != end && it->id == id) ? it : nullptr;
}

}  // namespace

std::string_view StringText(int id) {
  const Row* row = Find(id);
  return row ? row->text : std::string_view();
}

bool HasString(int id) { return Find(id) != nullptr; }

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(needed));
  }
  va_end(args);
  return out;
}


}  // namespace kv
