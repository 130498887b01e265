#include "base/text_encoding.h"

namespace kv {
namespace {

// Characters 0x80-0x9F; 0 marks the five positions without one.
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

uint32_t UnicodeOfAnsi(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte; }

int AnsiOfUnicode(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int k = 0; k < 32; ++k)
    if (kHigh[k] && kHigh[k] == cp) return 0x80 + k;
  return -1;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool DecodeUtf8(std::string_view s, size_t& i, uint32_t& cp) {
  auto c = static_cast<unsigned char>(s[i]);
  size_t len = 1;
  if (c < 0x80) cp = c;
  else if ((c & 0xE0) == 0xC0) len = 2, cp = c & 0x1F;
  else if ((c & 0xF0) == 0xE0) len = 3, cp = c & 0x0F;
  else if ((c & 0xF8) == 0xF0) len = 4, cp = c & 0x07;
  else return false;
  if (i + len > s.size()) return false;
  for (size_t k = 1; k < len; ++k) {
    auto next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (next & 0x3F);
  }
  i += len;
  return true;
}

std::string Utf8FromAnsi(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char ch : ansi) {
    auto c = static_cast<unsigned char>(ch);
    uint32_t cp = UnicodeOfAnsi(c);
    AppendUtf8(out, cp ? cp : c);
  }
  return out;
}

std::string AnsiFromUtf8(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    uint32_t cp = 0;
    if (!DecodeUtf8(utf8, i, cp)) {
      out += '?';
      ++i;
      continue;
    }
    int ansi = AnsiOfUnicode(cp);
    out += ansi < 0 ? '?' : static_cast<char>(ansi);
  }
  return out;
}

}  // namespace kv
