// Playing a wave file with PlaySoundA, from winmm.dll loaded out of the system folder when first
// needed rather than imported: Windows does not always take winmm.dll from the system folder,
// and an imported library is found before WinMain can restrict the search, so one planted beside
// the program would load.
#pragma once

#include <windows.h>

namespace kv {

// PlaySoundA(path, nullptr, flags); FALSE when the library or the sound is not there. A null
// path stops what is playing.
BOOL PlayWave(const char* path, DWORD flags);

// Plays a wave file once in the background; a missing or damaged file, or no sound device,
// gives the system's beep instead.
void PlayWaveOrBeep(const char* path);

}  // namespace kv
