// Explicit little-endian reading and writing of on-disk fields. Records are always serialised
// field by field with these, never by copying a struct.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kv {

inline uint8_t ReadU8(const uint8_t* p) { return p[0]; }
inline uint16_t ReadU16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline int16_t ReadI16LE(const uint8_t* p) { return static_cast<int16_t>(ReadU16LE(p)); }
inline uint32_t ReadU32LE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadI32LE(const uint8_t* p) { return static_cast<int32_t>(ReadU32LE(p)); }
inline uint64_t ReadU64LE(const uint8_t* p) {
  return static_cast<uint64_t>(ReadU32LE(p)) | (static_cast<uint64_t>(ReadU32LE(p + 4)) << 32);
}
inline double ReadF64LE(const uint8_t* p) {
  uint64_t bits = ReadU64LE(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
inline float ReadF32LE(const uint8_t* p) {
  uint32_t bits = ReadU32LE(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void PutU8(uint8_t* p, uint8_t v) { p[0] = v; }
inline void PutU16LE(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutI16LE(uint8_t* p, int16_t v) { PutU16LE(p, static_cast<uint16_t>(v)); }
inline void PutU32LE(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutI32LE(uint8_t* p, int32_t v) { PutU32LE(p, static_cast<uint32_t>(v)); }
inline void PutU64LE(uint8_t* p, uint64_t v) {
  PutU32LE(p, static_cast<uint32_t>(v));
  PutU32LE(p + 4, static_cast<uint32_t>(v >> 32));
}
inline void PutF64LE(uint8_t* p, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutU64LE(p, bits);
}
inline void PutF32LE(uint8_t* p, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutU32LE(p, bits);
}

// A zero-terminated text in a fixed field of `size` bytes: reading stops at the first zero or
// at the field's end, whichever comes first (a field without its zero never reads past itself).
inline std::string ReadFixedText(const uint8_t* p, size_t size) {
  const void* zero = std::memchr(p, 0, size);
  size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - p) : size;
  return std::string(reinterpret_cast<const char*>(p), length);
}

// Writes a text into a fixed field, cut to size - 1 bytes and zero-filled to the field's end.
inline void PutFixedText(uint8_t* p, size_t size, std::string_view text) {
  if (size == 0) return;
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(p, text.data(), n);
  std::memset(p + n, 0, size - n);
}

}  // namespace kv
