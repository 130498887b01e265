// The file operations start-up and the configuration need, behind one small interface so that
// the decisions about the data folder can be tested without a disk. Paths are Windows paths
// (backslashes); the Windows program installs the real implementation.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool FolderExists(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Creates one folder (its parent must exist); true when it exists afterwards.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Copies a file; never overwrites: false when `to` exists or `from` cannot be read.
  virtual bool CopyNew(const std::string& from, const std::string& to) = 0;
  // Moves a file or a folder; false when `to` exists.
  virtual bool Move(const std::string& from, const std::string& to) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual std::optional<std::vector<uint8_t>> ReadAll(const std::string& path) = 0;
  // Replaces the file's contents whole; on failure the previous contents stay.
  virtual bool WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
};

// The file system in use; an empty in-memory one until the program installs its own.
void SetFileSystem(FileSystem* fs);
FileSystem& CurrentFileSystem();

// On a double-byte code page a backslash byte can be the second half of a character; the
// program installs the lead-byte test of the system's code page (none: single-byte text).
void SetLeadByteTest(bool (*isLeadByte)(unsigned char));
// Position of the last backslash that is a character of its own; npos when there is none.
size_t LastBackslash(std::string_view path);

// "a\b" of a folder and a name. The shell keeps Windows path rules in the native build too, so
// its start-up logic is tested on the very strings it meets on Windows.
std::string JoinWindowsPath(std::string_view folder, std::string_view name);
// The folder part of a path (up to the last backslash), and the file part after it.
std::string FolderOf(std::string_view path);
std::string FileNameOf(std::string_view path);

// Files and folders in memory, for tests. Names compare without regard to case, as on
// Windows; a file or folder needs its parent folder, except at a drive root ("C:").
class MemoryFileSystem : public FileSystem {
 public:
  bool FolderExists(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool CopyNew(const std::string& from, const std::string& to) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool RemoveFile(const std::string& path) override;
  std::optional<std::vector<uint8_t>> ReadAll(const std::string& path) override;
  bool WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) override;

  // Test helpers: make a folder with all its parents; put a file (and its folders).
  void AddFolders(const std::string& path);
  void AddFile(const std::string& path, std::string_view contents);
  std::string Text(const std::string& path);
  // When set, every write fails (a full or read-only disk).
  void SetWritesFail(bool fail) { writesFail_ = fail; }
  // Every path held, in order, for assertions.
  std::vector<std::string> Listing() const;

 private:
  static std::string Key(std::string_view path);
  bool ParentExists(const std::string& key) const;

  std::set<std::string> folders_;
  std::map<std::string, std::vector<uint8_t>> files_;
  std::map<std::string, std::string> names_;  // key → path as given
  bool writesFail_ = false;
};

}  // namespace kv
