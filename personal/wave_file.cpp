#include "personal/wave_file.h"

#include <array>

#include "base/bytes.h"
#include "base/file_io.h"

namespace kv {

std::optional<WaveFormat> ReadWaveFormat(uint64_t size, const WaveReader& read) {
  std::array<uint8_t, 16> b{};
  if (size < 12 || !read(0, b.data(), 12)) return std::nullopt;
  if (std::string_view(reinterpret_cast<const char*>(b.data()), 4) != "RIFF" ||
      std::string_view(reinterpret_cast<const char*>(b.data() + 8), 4) != "WAVE")
    return std::nullopt;
  // The RIFF size may be a little off in files other programs wrote; the chunks must fit the file.
  WaveFormat format;
  bool haveFormat = false;
  for (uint64_t at = 12; at + 8 <= size;) {
    if (!read(at, b.data(), 8)) return std::nullopt;
    std::string_view id(reinterpret_cast<const char*>(b.data()), 4);
    uint64_t length = ReadU32LE(b.data() + 4);
    uint64_t body = at + 8;
    if (body + length > size) return std::nullopt;  // cut short
    if (id == "fmt ") {
      if (length < 16 || !read(body, b.data(), 16)) return std::nullopt;
      format.tag = ReadU16LE(b.data());
      format.channels = ReadU16LE(b.data() + 2);
      format.rate = ReadU32LE(b.data() + 4);
      format.bits = ReadU16LE(b.data() + 14);
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat || length == 0) return std::nullopt;
      format.dataBytes = static_cast<uint32_t>(length);
      break;
    }
    at = body + length + (length & 1);
  }
  if (!haveFormat || format.dataBytes == 0) return std::nullopt;
  if (format.channels == 0 || format.rate == 0 || format.rate > 384000 || format.tag == 0) return std::nullopt;
  if (format.tag == 1 && format.bits != 8 && format.bits != 16 && format.bits != 24 && format.bits != 32)
    return std::nullopt;
  return format;
}

std::optional<WaveFormat> ReadWaveFile(const std::string& path) {
  BinaryFile file;
  if (path.empty() || !file.Open(path, BinaryFile::Access::Read)) return std::nullopt;
  int64_t size = file.Size();
  if (size < 0) return std::nullopt;
  return ReadWaveFormat(static_cast<uint64_t>(size),
                        [&file](uint64_t offset, uint8_t* out, size_t n) { return file.ReadAt(offset, out, n); });
}

}  // namespace kv
