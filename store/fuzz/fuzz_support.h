// Shared by the store's fuzz targets: a private database folder, a message sink that forgets,
// and checks that stop the run at once when a promise of the store is broken.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/messages.h"
#include "store/db_files.h"
#include "store/db_verify.h"
#include "base/file_io.h"

namespace kv::fuzz {

class ForgetMessages : public MessageSink {
 public:
  MsgAnswer Show(const UserMessage& message) override { return DefaultAnswer(message.buttons, message.defaultButton); }
};

// The folder every input's file goes into; one per process, made on first use and removed
// again when the run ends.
struct ScratchFolder {
  std::string path;
  ForgetMessages sink;
  ScratchFolder() {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kvfuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    path = dir.string();
    SetMessageSink(&sink);
    SetFlushesReachDisk(false);   // crashes are modelled by the crash plan, not the disk
  }
  ~ScratchFolder() {
    ResetStore();
    SetMessageSink(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

inline const std::string& Folder() {
  static const ScratchFolder folder;
  return folder.path;
}

// A fresh store whose folder holds exactly `bytes` under `name`; the file's path.
inline std::string PrepareFile(const std::string& name, const uint8_t* data, size_t size) {
  ResetStore();
  SetDatabaseFolder(Folder());
  std::string path = JoinPath(Folder(), name);
  RemoveFile(path);
  RemoveFile(path + "-journal");   // left by an earlier input's crash
  BinaryFile file;
  if (!file.Create(path) || (size && !file.WriteAt(0, data, size))) std::abort();
  return path;
}

inline std::vector<uint8_t> FileBytes(const std::string& path) {
  BinaryFile file;
  if (!file.Open(path, BinaryFile::Access::Read)) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) std::abort();
  return bytes;
}

inline void Require(bool promise, const char* what) {
  if (promise) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

}  // namespace kv::fuzz
