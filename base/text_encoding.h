// The program's texts are single-byte Windows-1252, as stored in its files and shown by the
// ANSI functions of Windows; tools and text sources speak UTF-8. These convert between the two.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// The Unicode code point of a Windows-1252 byte; 0 for the five bytes of 0x80-0x9F that have
// none.
uint32_t UnicodeOfAnsi(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when it has none.
int AnsiOfUnicode(uint32_t codePoint);

void AppendUtf8(std::string& out, uint32_t codePoint);

// Reads one UTF-8 sequence at `i`, moving `i` past it; false when the bytes there are not UTF-8.
bool DecodeUtf8(std::string_view text, size_t& i, uint32_t& codePoint);

// Windows-1252 → UTF-8; the five unassigned bytes stand for the code points of the same value.
std::string Utf8FromAnsi(std::string_view ansi);

// UTF-8 → Windows-1252; characters it cannot hold, and bytes that are not UTF-8, become '?'.
std::string AnsiFromUtf8(std::string_view utf8);

}  // namespace kv
