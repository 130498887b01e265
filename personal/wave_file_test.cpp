#include "personal/wave_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/settings.h"
#include "personal/alarms.h"

namespace kv {
namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Chunk(Bytes& b, const char* id, const Bytes& body) {
  b.insert(b.end(), id, id + 4);
  Put32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() & 1) b.push_back(0);
}
Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t length = 16) {
  Bytes f;
  Put16(f, tag);
  Put16(f, channels);
  Put32(f, rate);
  Put32(f, rate * channels * bits / 8);
  Put16(f, static_cast<uint16_t>(channels * bits / 8));
  Put16(f, bits);
  f.resize(length, 0);
  return f;
}
// A RIFF WAVE image of the given chunks, its RIFF size right.
Bytes Wave(const std::vector<std::pair<const char*, Bytes>>& chunks) {
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const auto& [id, body] : chunks) Chunk(b, id, body);
  PutU32LE(b.data() + 4, static_cast<uint32_t>(b.size() - 8));
  return b;
}
std::optional<WaveFormat> Read(const Bytes& b) {
  return ReadWaveFormat(b.size(), [&b](uint64_t offset, uint8_t* out, size_t n) {
    if (offset + n > b.size()) return false;
    std::memcpy(out, b.data() + offset, n);
    return true;
  });
}

TEST(WaveFiles, PlayableFilesAreToldFromDamagedOnes) {
  Bytes sound(4410, 0x11);
  Bytes good = Wave({{"fmt ", Fmt(1, 1, 22050, 16)}, {"data", sound}});
  Bytes cut = good;
  cut.resize(cut.size() - 100);
  Bytes notRiff = good;
  notRiff[0] = 'X';
  Bytes notWave = good;
  notWave[8] = 'A';
  Bytes wrongBits = Wave({{"fmt ", Fmt(1, 1, 22050, 12)}, {"data", sound}});
  struct Case {
    const char* name;
    Bytes image;
    bool playable;
  } cases[] = {
      {"PCM mono 16-bit", good, true},
      {"an odd LIST chunk first, padded", Wave({{"LIST", Bytes(7, 'x')}, {"fmt ", Fmt(1, 2, 44100, 8)}, {"data", sound}}), true},
      {"a longer format chunk (extensible)", Wave({{"fmt ", Fmt(0xFFFE, 1, 48000, 24, 40)}, {"data", sound}}), true},
      {"ADPCM, which the system decodes", Wave({{"fmt ", Fmt(2, 1, 22050, 4, 20)}, {"data", sound}}), true},
      {"cut short", cut, false},
      {"not RIFF", notRiff, false},
      {"RIFF but not WAVE", notWave, false},
      {"no data chunk", Wave({{"fmt ", Fmt(1, 1, 22050, 16)}}), false},
      {"data before the format", Wave({{"data", sound}, {"fmt ", Fmt(1, 1, 22050, 16)}}), false},
      {"empty data", Wave({{"fmt ", Fmt(1, 1, 22050, 16)}, {"data", {}}}), false},
      {"format chunk too short", Wave({{"fmt ", Fmt(1, 1, 22050, 16, 12)}, {"data", sound}}), false},
      {"no channels", Wave({{"fmt ", Fmt(1, 0, 22050, 16)}, {"data", sound}}), false},
      {"rate 0", Wave({{"fmt ", Fmt(1, 1, 0, 16)}, {"data", sound}}), false},
      {"PCM of 12 bits", wrongBits, false},
      {"only the header", Bytes(good.begin(), good.begin() + 12), false},
      {"nothing", Bytes(), false},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.image).has_value(), c.playable) << c.name;

  auto format = Read(good);
  ASSERT_TRUE(format);
  EXPECT_EQ(format->tag, 1);
  EXPECT_EQ(format->channels, 1);
  EXPECT_EQ(format->rate, 22050u);
  EXPECT_EQ(format->bits, 16);
  EXPECT_EQ(format->dataBytes, 4410u);
}

TEST(WaveFiles, ReadsAFileAndRefusesAMissingOne) {
  auto path = std::filesystem::temp_directory_path() / "kv-wave-test.wav";
  Bytes image = Wave({{"fmt ", Fmt(1, 1, 22050, 16)}, {"data", Bytes(100, 1)}});
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                               static_cast<std::streamsize>(image.size()));
  EXPECT_TRUE(ReadWaveFile(path.string()));
  std::filesystem::remove(path);
  EXPECT_FALSE(ReadWaveFile(path.string()));
  EXPECT_FALSE(ReadWaveFile(""));
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// The sounds the build ships in the program folder are the very files the default settings
// point at, and each is a playable PCM wave.
TEST(WaveFiles, TheShippedSoundsAreTheDefaultsAndPlayable) {
  MemorySettings settings;
  SetSettingsStore(&settings);
  AlarmDefaultSounds(RunningProgramFolder());
  for (int i = 1; i <= kAlarmSounds; ++i) {
    std::string path = AlarmSoundPath(i);
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    auto format = ReadWaveFile(path);
    ASSERT_TRUE(format) << path;
    EXPECT_EQ(format->tag, 1) << path;
    EXPECT_EQ(format->channels, 1) << path;
    EXPECT_EQ(format->bits, 16) << path;
    EXPECT_EQ(format->rate, 22050u) << path;
    double seconds = format->dataBytes / 2.0 / format->rate;
    EXPECT_GE(seconds, 1.0) << path;
    EXPECT_LE(seconds, 3.0) << path;
  }
  SetSettingsStore(nullptr);
}

}  // namespace
}  // namespace kv
