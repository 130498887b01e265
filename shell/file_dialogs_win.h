// The common file dialog for each kind of file the program opens or saves.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "shell/configuration.h"

namespace kv {

// Shows the dialog of `kind` (1-6) owned by `owner`; the chosen path, or nothing when the
// user cancelled. Open kinds need an existing file; save kinds ask before overwriting.
std::optional<std::string> ChooseFile(int kind, HWND owner, const FileRequest& request = {});

}  // namespace kv
