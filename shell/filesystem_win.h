// The disk and the registry as start-up and the configuration see them.
#pragma once

#include "base/filesystem.h"
#include "shell/startup.h"

namespace kv {

class Win32FileSystem : public FileSystem {
 public:
  bool FolderExists(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool CopyNew(const std::string& from, const std::string& to) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;
  std::optional<std::vector<uint8_t>> ReadAll(const std::string& path) override;
  // Writes a temporary file beside the target and moves it over the target, so that a full
  // disk or a failed write never leaves half a file behind.
  bool WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) override;
};

// Keys under HKEY_CURRENT_USER.
class Win32RegistryTree : public RegistryTree {
 public:
  bool KeyExists(const std::string& path) override;
  bool CreateKey(const std::string& path) override;
  bool CopyTree(const std::string& from, const std::string& to) override;
};

}  // namespace kv
