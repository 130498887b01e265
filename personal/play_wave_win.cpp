#include "personal/play_wave_win.h"

#include <mmsystem.h>

#include "base/system_library_win.h"
#include "personal/wave_file.h"

namespace kv {

BOOL PlayWave(const char* path, DWORD flags) {
  using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  static PlaySoundFunction play = [] {
    HMODULE winmm = LoadSystemLibrary("winmm.dll");
    return winmm ? reinterpret_cast<PlaySoundFunction>(reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundA")))
                 : nullptr;
  }();
  return play ? play(path, nullptr, flags) : FALSE;
}

void PlayWaveOrBeep(const char* path) {
  // Played in the background, a damaged file would fail unseen: its structure is looked at first.
  bool usable = path && *path && ReadWaveFile(path);
  if (!usable || !PlayWave(path, SND_FILENAME | SND_ASYNC | SND_NODEFAULT)) MessageBeep(MB_ICONEXCLAMATION);
}

}  // namespace kv
