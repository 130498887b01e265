// A look at a wave file before it is played: alarm sounds are files the user may have moved,
// cut short or replaced with something else, and such a file must give the system's beep rather
// than silence or an error. Only the RIFF structure is checked, not the sound itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kv {

struct WaveFormat {
  uint16_t tag = 0;        // 1 = PCM
  uint16_t channels = 0;
  uint32_t rate = 0;       // frames per second
  uint16_t bits = 0;       // per sample
  uint32_t dataBytes = 0;  // the sound data
};

// Reads `n` bytes at an offset of the file; false when it cannot.
using WaveReader = std::function<bool(uint64_t offset, uint8_t* out, size_t n)>;

// The format of a RIFF WAVE file of `size` bytes: its "fmt " chunk (PCM with 8, 16, 24 or 32
// bits, or a compressed format the system may know) and a non-empty "data" chunk that lies
// within the file. Nothing when the file is not such a file or is cut short.
std::optional<WaveFormat> ReadWaveFormat(uint64_t size, const WaveReader& read);
std::optional<WaveFormat> ReadWaveFile(const std::string& path);

}  // namespace kv
