#include "shell/filesystem_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "base/win_handles.h"

namespace kv {
namespace {

constexpr LONGLONG kMaxReadSize = 64LL << 20;  // nothing the program reads whole is larger

FileHandle OpenForReading(const std::string& path, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, flags, nullptr));
}

bool WriteWhole(HANDLE h, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written != chunk) return false;
    done += written;
  }
  return true;
}

}  // namespace

bool Win32FileSystem::FolderExists(const std::string& path) {
  // Backup semantics let CreateFileA open a folder.
  FileHandle h = OpenForReading(path, FILE_FLAG_BACKUP_SEMANTICS);
  if (!h) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(h.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) || (GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(path));
}

bool Win32FileSystem::CopyNew(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), TRUE) != 0;
}

bool Win32FileSystem::Move(const std::string& from, const std::string& to) {
  if (MoveFileA(from.c_str(), to.c_str())) return true;
  // A folder cannot be renamed onto another volume; the shell moves it file by file.
  if (GetLastError() != ERROR_NOT_SAME_DEVICE || !FolderExists(from) || FolderExists(to) || FileExists(to)) return false;
  std::string source = from + '\0', target = to + '\0';  // lists ending in a double zero
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_MOVE;
  op.pFrom = source.c_str();
  op.pTo = target.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
  return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

bool Win32FileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::optional<std::vector<uint8_t>> Win32FileSystem::ReadAll(const std::string& path) {
  FileHandle h = OpenForReading(path);
  if (!h) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h.get(), &size) || size.QuadPart > kMaxReadSize) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(h.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) return std::nullopt;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool Win32FileSystem::WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string folder = FolderOf(path);
  char temp[MAX_PATH];
  if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "KV", 0, temp)) return false;
  bool ok;
  {
    FileHandle h(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ok = h && WriteWhole(h.get(), bytes) && FlushFileBuffers(h.get());
  }
  ok = ok && MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temp);
  return ok;
}

bool Win32RegistryTree::KeyExists(const std::string& path) {
  RegKey key;
  return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool Win32RegistryTree::CreateKey(const std::string& path) {
  RegKey key;
  return RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                         key.put(), nullptr) == ERROR_SUCCESS;
}

bool Win32RegistryTree::CopyTree(const std::string& from, const std::string& to) {
  RegKey source, target;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, source.put()) != ERROR_SUCCESS) return false;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, to.c_str(), 0, KEY_ALL_ACCESS, target.put()) != ERROR_SUCCESS) return false;
  return SHCopyKeyA(source.get(), nullptr, target.get(), 0) == ERROR_SUCCESS;
}

}  // namespace kv
