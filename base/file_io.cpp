#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

#if defined(_WIN32)
#include <io.h>
// The one Win32 call of the core, declared here so that the core stays free of <windows.h>.
extern "C" __declspec(dllimport) unsigned long __stdcall GetModuleFileNameA(void* module, char* name,
                                                                          unsigned long size);
#else
#include <unistd.h>
#endif

namespace kv {
namespace {

#if defined(_WIN32)
constexpr int kBinary = _O_BINARY;
int SysOpen(const char* path, int flags, int perm) { return _open(path, flags | kBinary, perm); }
int SysClose(int fd) { return _close(fd); }
constexpr int kPerm = _S_IREAD | _S_IWRITE;
constexpr char kSeparator = '\\';

// The C runtime of Windows has no positioned read or write; a seek before each transfer
// gives the same result for this single-threaded use.
long long SysRead(int fd, void* buf, size_t n, uint64_t off) {
  if (_lseeki64(fd, static_cast<long long>(off), SEEK_SET) < 0) return -1;
  return _read(fd, buf, static_cast<unsigned>(n));
}
long long SysWrite(int fd, const void* buf, size_t n, uint64_t off) {
  if (_lseeki64(fd, static_cast<long long>(off), SEEK_SET) < 0) return -1;
  return _write(fd, buf, static_cast<unsigned>(n));
}
int64_t SysSize(int fd) {
  struct _stati64 st;
  return _fstati64(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}
bool IsRegular(const std::string& path) {
  struct _stati64 st;
  return _stati64(path.c_str(), &st) == 0 && (st.st_mode & _S_IFREG);
}
// _commit is FlushFileBuffers on the file's handle.
bool SysFlush(int fd) { return _commit(fd) == 0; }
bool SysTruncate(int fd, uint64_t size) { return _chsize_s(fd, static_cast<long long>(size)) == 0; }
// NTFS keeps its folder entries in its own journal: nothing to flush.
bool SysFlushFolder(const std::string&) { return true; }
#else
int SysOpen(const char* path, int flags, int perm) { return ::open(path, flags | O_CLOEXEC, perm); }
int SysClose(int fd) { return ::close(fd); }
constexpr int kPerm = 0666;
constexpr char kSeparator = '/';

long long SysRead(int fd, void* buf, size_t n, uint64_t off) {
  return ::pread(fd, buf, n, static_cast<off_t>(off));
}
long long SysWrite(int fd, const void* buf, size_t n, uint64_t off) {
  return ::pwrite(fd, buf, n, static_cast<off_t>(off));
}
int64_t SysSize(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}
bool IsRegular(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
bool SysFlush(int fd) { return ::fsync(fd) == 0; }
bool SysTruncate(int fd, uint64_t size) { return ::ftruncate(fd, static_cast<off_t>(size)) == 0; }
bool SysFlushFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}
#endif

// Transfers are split so that one call never exceeds what a 32-bit count can carry.
constexpr size_t kMaxChunk = size_t{1} << 30;

CrashPlan* g_crashPlan = nullptr;
bool g_flushes = true;

// How many of a change's n bytes reach the disk under the crash plan.
size_t Allowed(size_t n) {
  CrashPlan* plan = g_crashPlan;
  if (!plan) return n;
  if (plan->crashed) return 0;
  if (++plan->changes < plan->crashAt) return n;
  plan->crashed = true;
  return plan->torn ? n / 2 : 0;
}

// A change without bytes (creation, rename, removal, truncation) happens whole or not at all.
bool ChangeAllowed() { return Allowed(2) == 2; }

}  // namespace

void SetCrashPlan(CrashPlan* plan) { g_crashPlan = plan; }
void SetFlushesReachDisk(bool on) { g_flushes = on; }

BinaryFile::~BinaryFile() { Close(); }

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : fd_(other.fd_), guard_(other.guard_) {
  other.fd_ = -1;
  other.guard_ = nullptr;
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    guard_ = other.guard_;
    other.fd_ = -1;
    other.guard_ = nullptr;
  }
  return *this;
}

bool BinaryFile::Open(const std::string& path, Access access) {
  Close();
  if (!IsRegular(path)) return false;
  fd_ = SysOpen(path.c_str(), access == Access::Read ? O_RDONLY : O_RDWR, 0);
  return fd_ >= 0;
}

bool BinaryFile::Create(const std::string& path) {
  Close();
  if (!ChangeAllowed()) return false;
  fd_ = SysOpen(path.c_str(), O_RDWR | O_CREAT | O_EXCL, kPerm);
  return fd_ >= 0;
}

void BinaryFile::Close() {
  if (fd_ >= 0) SysClose(fd_);
  fd_ = -1;
}

int64_t BinaryFile::Size() const { return fd_ >= 0 ? SysSize(fd_) : -1; }

bool BinaryFile::ReadAt(uint64_t offset, void* buffer, size_t n) const {
  if (fd_ < 0) return false;
  auto* out = static_cast<uint8_t*>(buffer);
  while (n > 0) {
    size_t chunk = n < kMaxChunk ? n : kMaxChunk;
    long long got = SysRead(fd_, out, chunk, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got, offset += static_cast<uint64_t>(got), n -= static_cast<size_t>(got);
  }
  return true;
}

bool BinaryFile::WriteAt(uint64_t offset, const void* data, size_t n) {
  if (fd_ < 0) return false;
  if (guard_ && !guard_->BeforeWrite(*this, offset, n)) return false;
  size_t allowed = Allowed(n);
  bool whole = allowed == n;
  n = allowed;
  auto* in = static_cast<const uint8_t*>(data);
  while (n > 0) {
    size_t chunk = n < kMaxChunk ? n : kMaxChunk;
    long long put = SysWrite(fd_, in, chunk, offset);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    in += put, offset += static_cast<uint64_t>(put), n -= static_cast<size_t>(put);
  }
  return whole;
}

bool BinaryFile::Truncate(uint64_t size) { return fd_ >= 0 && ChangeAllowed() && SysTruncate(fd_, size); }

bool BinaryFile::Flush() {
  if (fd_ < 0) return false;
  if (g_crashPlan) return !g_crashPlan->crashed;
  return !g_flushes || SysFlush(fd_);
}

bool FlushFolder(const std::string& folder) {
  if (g_crashPlan) return !g_crashPlan->crashed;
  return !g_flushes || SysFlushFolder(folder);
}

std::string FolderOfPath(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

bool RenameNewFile(const std::string& from, const std::string& to) {
  return ChangeAllowed() && std::rename(from.c_str(), to.c_str()) == 0;
}

bool MoveRegionUp(BinaryFile& file, uint64_t from, uint64_t to, uint64_t by, bool& wroteAny) {
  std::vector<uint8_t> buffer(kMoveBufferSize);
  uint64_t whole = from + kMoveBufferSize * ((to - from) / kMoveBufferSize);
  if (whole < to) {
    size_t n = static_cast<size_t>(to - whole);
    if (!file.ReadAt(whole, buffer.data(), n)) return false;
    wroteAny = true;
    if (!file.WriteAt(whole + by, buffer.data(), n)) return false;
  }
  for (uint64_t pos = whole; pos > from;) {
    pos -= kMoveBufferSize;
    if (!file.ReadAt(pos, buffer.data(), kMoveBufferSize)) return false;
    wroteAny = true;
    if (!file.WriteAt(pos + by, buffer.data(), kMoveBufferSize)) return false;
  }
  return true;
}

bool FileExists(const std::string& path) { return IsRegular(path); }

bool RemoveFile(const std::string& path) { return ChangeAllowed() && std::remove(path.c_str()) == 0; }

std::string RunningProgramFolder() {
  char buffer[4096];
#if defined(_WIN32)
  unsigned long n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n < sizeof buffer ? n : 0);
#else
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
#endif
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += kSeparator;
  path += name;
  return path;
}

// Paths are the program's own (Windows-1252) texts: the C library's narrow functions take them
// as they stand on every system.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  constexpr size_t kChunk = 65536;
  bool ok = true;
  while (bytes.size() < limit) {
    size_t want = std::min(kChunk, limit - bytes.size());
    size_t at = bytes.size();
    bytes.resize(at + want);
    size_t got = std::fread(bytes.data() + at, 1, want, f);
    bytes.resize(at + got);
    if (got < want) {
      ok = !std::ferror(f);
      break;
    }
  }
  std::fclose(f);
  return ok;
}

namespace {

// A new file with the bytes, flushed to the disk before it is closed: a rename that puts it in
// place of another file must never reach the disk before its contents do.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  BinaryFile file;
  if (!file.Create(path)) return false;
  bool ok = (bytes.empty() || file.WriteAt(0, bytes.data(), bytes.size())) && file.Flush();
  file.Close();
  if (!ok) std::remove(path.c_str());
  return ok;
}

bool Rename(const std::string& from, const std::string& to) {
  return ChangeAllowed() && std::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyBytes(const std::string& from, const std::string& to) {
  std::vector<uint8_t> bytes;
  return ReadWholeFile(from, bytes, SIZE_MAX) && WriteBytes(to, bytes);
}

// Moves `from` over `to`. Where a rename does not replace an existing file (Windows), the old
// file steps aside first and comes back when the move fails; across volumes the bytes are
// copied.
bool MoveOver(const std::string& from, const std::string& to) {
  if (Rename(from, to)) return true;
  if (g_crashPlan && g_crashPlan->crashed) return false;
  std::string aside = to + ".kvold";
  bool hadOld = FileExists(to);
  if (hadOld) {
    std::remove(aside.c_str());
    if (!Rename(to, aside)) aside.clear();
  }
  bool ok = Rename(from, to) || CopyBytes(from, to);
  if (ok) {
    if (hadOld && !aside.empty()) std::remove(aside.c_str());
  } else if (hadOld && !aside.empty()) {
    std::remove(to.c_str());
    std::rename(aside.c_str(), to.c_str());
  }
  std::remove(from.c_str());
  return ok;
}

// A name for a temporary file in a folder, with the two-letter prefix of the program.
std::string TemporaryName(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  auto stamp = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  char sep = folder.find('\\') != std::string::npos ? '\\' : '/';
  for (;;) {
    unsigned n = (stamp + counter++ * 7919u) & 0xFFFFu;
    char name[16];
    std::snprintf(name, sizeof name, "KV%04X.tmp", n);
    std::string p = folder;
    if (!p.empty() && p.back() != '/' && p.back() != '\\') p += sep;
    p += name;
    if (!FileExists(p)) return p;
  }
}

}  // namespace

bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string folder = FolderOfPath(path);
  std::string temp = TemporaryName(folder);
  if (!WriteBytes(temp, bytes)) return false;
  if (!MoveOver(temp, path)) return false;
  FlushFolder(folder);
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* contents) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  contents->clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) contents->append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace kv
