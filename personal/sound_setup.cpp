#include "personal/sound_setup.h"

#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kNoneText = 1117;
constexpr int kAlarmText = 25460;

AlarmSound& Selected(SoundSetup& s) { return s.entries[static_cast<size_t>(s.selected % kAlarmSounds)]; }
const AlarmSound& Selected(const SoundSetup& s) { return s.entries[static_cast<size_t>(s.selected % kAlarmSounds)]; }

}  // namespace

std::string SoundEntryName(int index) { return std::string(StringText(kAlarmText)) + " " + std::to_string(index); }

std::string SoundFileTitle(const std::string& path) {
  size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

SoundSetup LoadSoundSetup() {
  SoundSetup setup;
  for (int i = 0; i < kAlarmSounds; ++i) {
    AlarmSound& entry = setup.entries[static_cast<size_t>(i)];
    if (!AlarmSoundName(i + 1, entry)) entry = {std::string(), std::string(StringText(kNoneText))};
  }
  return setup;
}

void SetSoundDescription(SoundSetup& setup, const std::string& text) {
  Selected(setup).description = text.substr(0, kSoundDescriptionMax);
}

bool SetSoundFile(SoundSetup& setup, const std::string& path) {
  if (path.empty() || path.size() > static_cast<size_t>(kSoundPathMax)) return false;
  std::string title = SoundFileTitle(path);
  size_t dot = title.rfind('.');
  if (dot != std::string::npos && dot > 0) title.resize(dot);
  AlarmSound& entry = Selected(setup);
  entry.path = path;
  entry.description = title.substr(0, kSoundDescriptionMax);
  return true;
}

std::string SoundTestPath(const SoundSetup& setup) {
  const AlarmSound& entry = Selected(setup);
  return entry.path == StringText(kNoneText) ? std::string() : entry.path;
}

void SaveSoundSetup(const SoundSetup& setup) { AlarmSaveSounds(setup.entries); }

}  // namespace kv
