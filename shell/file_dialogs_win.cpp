#include "shell/file_dialogs_win.h"

#include <commdlg.h>

namespace kv {

std::optional<std::string> ChooseFile(int kind, HWND owner, const FileRequest& request) {
  FileDialogSpec spec = FileDialogFor(kind, request);
  char path[MAX_PATH] = "";
  lstrcpynA(path, spec.fileName.c_str(), MAX_PATH);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = spec.filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = spec.initialFolder.empty() ? nullptr : spec.initialFolder.c_str();
  ofn.lpstrDefExt = spec.defaultExtension.empty() ? nullptr : spec.defaultExtension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
              (spec.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  BOOL chosen = spec.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!chosen) return std::nullopt;
  if (kind == kOpenOverlay) RememberOverlayFolder(path);
  return std::string(path);
}

}  // namespace kv
