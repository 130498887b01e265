// Unbuffered binary file access at explicit offsets, the same on Linux and Windows. Paths are
// narrow strings, which Windows reads in the ANSI code page (Windows-1252 here), as the program's
// texts are. Every read and write states its offset, so no stream position can drift.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class BinaryFile;

// Sees every write of a file before it reaches the disk: the store's rollback journal saves the
// bytes a write will overwrite. False stops the write.
class WriteGuard {
 public:
  virtual ~WriteGuard() = default;
  virtual bool BeforeWrite(BinaryFile& file, uint64_t offset, size_t n) = 0;
};

class BinaryFile {
 public:
  enum class Access { Read, ReadWrite };

  BinaryFile() = default;
  ~BinaryFile();
  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // Opens an existing file; false when it does not exist or cannot be opened so.
  bool Open(const std::string& path, Access access);
  // Creates a new, empty file for reading and writing; false when the file already exists
  // (an existing file is never truncated) or cannot be made.
  bool Create(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // The current size in bytes; -1 when it cannot be told.
  int64_t Size() const;
  // Exactly n bytes at the offset, or false (a short read is a failure).
  bool ReadAt(uint64_t offset, void* buffer, size_t n) const;
  // Exactly n bytes at the offset, extending the file as needed, or false.
  bool WriteAt(uint64_t offset, const void* data, size_t n);
  // Cuts the file to `size` bytes (or extends it with zeros).
  bool Truncate(uint64_t size);
  // Returns once everything written so far is on the disk itself (fsync; FlushFileBuffers on
  // Windows), so that a power loss cannot undo it or put later writes before it.
  bool Flush();

  // The guard every write passes first; none by default. It moves with the file.
  void SetWriteGuard(WriteGuard* guard) { guard_ = guard; }

 private:
  int fd_ = -1;
  WriteGuard* guard_ = nullptr;
};

// Makes the creations, renames and removals of files in a folder durable (a folder's entries are
// flushed apart from the files' bytes on Linux; Windows needs nothing here).
bool FlushFolder(const std::string& folder);
// The folder part of a path ("." when it has none).
std::string FolderOfPath(const std::string& path);
// Renames a file to a name that does not exist yet.
bool RenameNewFile(const std::string& from, const std::string& to);

// For tests: a crash at a chosen change of the disk. Every change made through this file
// (a write, truncation, creation, rename or removal) counts one; change number `crashAt`
// (1-based) does not happen, or with `torn` only the first half of its bytes are written, and
// neither does anything after it, as if the process had died there with the disk keeping what
// had reached it. Flushes are only counted while a plan is set (the plan is the disk's model).
struct CrashPlan {
  uint64_t crashAt = UINT64_MAX;
  bool torn = false;
  uint64_t changes = 0;   // changes seen so far
  bool crashed = false;
};
// Installs a plan (nullptr: none).
void SetCrashPlan(CrashPlan* plan);
// For tests that do not look at durability: flushes return at once (the bytes still reach the
// file, as they do without a power loss). On by default.
void SetFlushesReachDisk(bool on);

// Moves the bytes [from, to) of a file up by `by` bytes, from the end backwards through one
// buffer (the tail piece first, then whole pieces), so that no byte is overwritten before it has
// been read. `wroteAny` tells whether the file was changed before a failure.
constexpr size_t kMoveBufferSize = 64 * 1024;
bool MoveRegionUp(BinaryFile& file, uint64_t from, uint64_t to, uint64_t by, bool& wroteAny);

// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);

// A whole file (at most `limit` bytes of it); false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit);
bool ReadWholeFile(const std::string& path, std::string* contents);

// Writes a whole file through a temporary file beside it, so that a failure leaves the old file
// as it was. False when it cannot be written.
bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes);

// The folder of the running executable: the program's data files (zone and location lists,
// overlay masters) lie beside it. "." when it cannot be told.
std::string RunningProgramFolder();

// Folder and name joined with the platform's separator (none added when the folder already ends
// with one, nothing when the folder is empty).
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace kv
