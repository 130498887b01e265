// System functions the program uses where the system has them: each pointer may stay empty and
// every user tests it.
#pragma once

#include <windows.h>

namespace kv {

struct OptionalLibraries {
  DWORD major = 0;  // Windows version
  DWORD minor = 0;
  // dwmapi (version 6 and later)
  HRESULT(WINAPI* DwmExtendFrameIntoClientArea)(HWND, const void*) = nullptr;
  HRESULT(WINAPI* DwmEnableBlurBehindWindow)(HWND, const void*) = nullptr;
  // shlwapi, uxtheme, comdlg32 (version 5 and later)
  BOOL(WINAPI* PathUnExpandEnvStringsA)(LPCSTR, LPSTR, UINT) = nullptr;
  HRESULT(WINAPI* EnableThemeDialogTexture)(HWND, DWORD) = nullptr;
  HANDLE(WINAPI* OpenThemeData)(HWND, LPCWSTR) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HANDLE) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(HANDLE, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* DrawThemeTextEx)(HANDLE, HDC, int, int, LPCWSTR, int, DWORD, RECT*, const void*) = nullptr;
  BOOL(WINAPI* IsCompositionActive)() = nullptr;
  HBRUSH(WINAPI* GetThemeSysColorBrush)(HANDLE, int) = nullptr;
  BOOL(WINAPI* PrintDlgExA)(void*) = nullptr;
  // msimg32 (version 4 and later)
  BOOL(WINAPI* AlphaBlend)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION) = nullptr;
};

// Reads the Windows version and loads what it offers. Call once at start.
void LoadOptionalLibraries();
const OptionalLibraries& Libraries();

// False when the program cannot run here: a system older than version 4, or no AlphaBlend.
bool SystemSupported();

}  // namespace kv
