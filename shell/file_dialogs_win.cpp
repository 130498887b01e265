#include "shell/file_dialogs_win.h"

#include <commdlg.h>

namespace kv {

std::optional<std::string> ChooseFile(int kind, HWND owner, const FileRequest& request) {
  FileDialogSetup setup = FileDialogFor(kind, request);
  char path[MAX_PATH] = "";
  lstrcpynA(path, setup.fileName.c_str(), MAX_PATH);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = setup.filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = setup.initialFolder.empty() ? nullptr : setup.initialFolder.c_str();
  ofn.lpstrDefExt = setup.defaultExtension.empty() ? nullptr : setup.defaultExtension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
              (setup.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  BOOL chosen = setup.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) return std::nullopt;
  if (kind == kOpenOverlay) RememberOverlayFolder(path);
  return std::string(path);
}

}  // namespace kv
