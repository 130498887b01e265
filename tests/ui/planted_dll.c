/* A stand-in for a library planted beside a downloaded program: it exports nothing and, when
   something loads it, writes the file named by KV_PLANTED_MARKER (with its own file name), so a
   test can tell whether the program picked it up. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    char marker[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KV_PLANTED_MARKER", marker, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      HANDLE file = CreateFileA(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
      if (file != INVALID_HANDLE_VALUE) {
        char name[MAX_PATH];
        DWORD size = GetModuleFileNameA(self, name, MAX_PATH - 2);
        DWORD written = 0;
        name[size++] = '\r';
        name[size++] = '\n';
        WriteFile(file, name, size, &written, NULL);
        CloseHandle(file);
      }
    }
  }
  return TRUE;
}
