// The "Kalvora Sound Setup" dialog's work: the eight alarm sounds loaded from the settings into
// a work list the dialog edits (descriptions typed, files browsed), and written back by OK.
// Cancel simply drops the list.
#pragma once

#include <array>
#include <string>

#include "personal/alarms.h"

namespace kv {

constexpr int kSoundDescriptionMax = 39;  // a description's characters
constexpr int kSoundPathMax = 127;        // a path's characters, as the setting is read back

struct SoundSetup {
  // A sound whose setting is missing has an empty description and the path "None": OK leaves
  // its setting missing.
  std::array<AlarmSound, kAlarmSounds> entries;
  int selected = 0;  // 0 ... 7
};

// The list's entry names: "Alarm 1" ... "Alarm 8".
std::string SoundEntryName(int index);
// The file part of a path (what the "Sound File" field shows); "None" stays "None".
std::string SoundFileTitle(const std::string& path);

SoundSetup LoadSoundSetup();
// The description field was left: its text (at most 39 characters) goes into the selection.
void SetSoundDescription(SoundSetup& setup, const std::string& text);
// A file was browsed for the selection: it takes the path, and the file's name without its
// extension becomes the description. False (nothing changed) when the path is too long to be
// read back from the setting.
bool SetSoundFile(SoundSetup& setup, const std::string& path);
// What "Test" plays: the selection's path, or empty when it is "None".
std::string SoundTestPath(const SoundSetup& setup);
// OK: every entry written, an entry whose path is "None" deleted.
void SaveSoundSetup(const SoundSetup& setup);

}  // namespace kv
