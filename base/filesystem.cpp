#include "base/filesystem.h"

#include <algorithm>
#include <cctype>

namespace kv {
namespace {

struct FileSystemState {
  MemoryFileSystem fallback;
  FileSystem* fs = nullptr;
  bool (*isLeadByte)(unsigned char) = nullptr;
};

FileSystemState& State() {
  static FileSystemState state;
  return state;
}

}  // namespace

void SetFileSystem(FileSystem* fs) { State().fs = fs; }

FileSystem& CurrentFileSystem() {
  FileSystemState& s = State();
  return s.fs ? *s.fs : s.fallback;
}

void SetLeadByteTest(bool (*isLeadByte)(unsigned char)) { State().isLeadByte = isLeadByte; }

size_t LastBackslash(std::string_view path) {
  auto isLead = State().isLeadByte;
  if (!isLead) return path.find_last_of('\\');
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (isLead(static_cast<unsigned char>(path[i]))) ++i;  // skip the trail byte
    else if (path[i] == '\\') last = i;
  }
  return last;
}

std::string JoinWindowsPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

std::string FolderOf(std::string_view path) {
  size_t slash = LastBackslash(path);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FileNameOf(std::string_view path) {
  size_t slash = LastBackslash(path);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string MemoryFileSystem::Key(std::string_view path) {
  std::string key(path);
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

bool MemoryFileSystem::ParentExists(const std::string& key) const {
  std::string parent = FolderOf(key);
  if (parent.empty()) return false;
  if (parent.size() == 2 && parent[1] == ':') return true;  // a drive root
  return folders_.count(parent) != 0;
}

bool MemoryFileSystem::FolderExists(const std::string& path) {
  std::string key = Key(path);
  return folders_.count(key) != 0 || (key.size() == 2 && key[1] == ':');
}

bool MemoryFileSystem::FileExists(const std::string& path) { return files_.count(Key(path)) != 0; }

bool MemoryFileSystem::CreateFolder(const std::string& path) {
  std::string key = Key(path);
  if (folders_.count(key)) return true;
  if (writesFail_ || files_.count(key) || !ParentExists(key)) return false;
  folders_.insert(key);
  names_[key] = path;
  return true;
}

bool MemoryFileSystem::CopyNew(const std::string& from, const std::string& to) {
  auto it = files_.find(Key(from));
  std::string key = Key(to);
  if (it == files_.end() || writesFail_ || files_.count(key) || folders_.count(key) || !ParentExists(key)) return false;
  files_[key] = it->second;
  names_[key] = to;
  return true;
}

bool MemoryFileSystem::Move(const std::string& from, const std::string& to) {
  std::string src = Key(from), dst = Key(to);
  if (writesFail_ || files_.count(dst) || folders_.count(dst) || !ParentExists(dst)) return false;
  if (auto it = files_.find(src); it != files_.end()) {
    files_[dst] = std::move(it->second);
    files_.erase(it);
    names_[dst] = to;
    names_.erase(src);
    return true;
  }
  if (!folders_.count(src)) return false;
  // A folder moves with everything below it.
  std::string prefix = src + "\\";
  std::set<std::string> folders;
  for (const std::string& f : folders_)
    folders.insert(f == src ? dst : f.rfind(prefix, 0) == 0 ? dst + f.substr(src.size()) : f);
  std::map<std::string, std::vector<uint8_t>> files;
  for (auto& [k, v] : files_) files[k.rfind(prefix, 0) == 0 ? dst + k.substr(src.size()) : k] = std::move(v);
  std::map<std::string, std::string> names;
  for (auto& [k, v] : names_) {
    if (k == src) names[dst] = to;
    else if (k.rfind(prefix, 0) == 0) names[dst + k.substr(src.size())] = to + v.substr(src.size());
    else names[k] = v;
  }
  folders_ = std::move(folders), files_ = std::move(files), names_ = std::move(names);
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  if (writesFail_) return false;
  names_.erase(Key(path));
  return files_.erase(Key(path)) != 0;
}

std::optional<std::vector<uint8_t>> MemoryFileSystem::ReadAll(const std::string& path) {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

bool MemoryFileSystem::WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string key = Key(path);
  if (writesFail_ || folders_.count(key) || !ParentExists(key)) return false;
  files_[key] = bytes;
  names_[key] = path;
  return true;
}

void MemoryFileSystem::AddFolders(const std::string& path) {
  std::string key = Key(path);
  for (size_t pos = key.find('\\'); pos != std::string::npos; pos = key.find('\\', pos + 1)) {
    std::string part = key.substr(0, pos);
    if (!(part.size() == 2 && part[1] == ':')) folders_.insert(part), names_.emplace(part, path.substr(0, pos));
  }
  folders_.insert(key);
  names_[key] = path;
}

void MemoryFileSystem::AddFile(const std::string& path, std::string_view contents) {
  AddFolders(FolderOf(path));
  files_[Key(path)] = std::vector<uint8_t>(contents.begin(), contents.end());
  names_[Key(path)] = path;
}

std::string MemoryFileSystem::Text(const std::string& path) {
  auto it = files_.find(Key(path));
  return it == files_.end() ? std::string() : std::string(it->second.begin(), it->second.end());
}

std::vector<std::string> MemoryFileSystem::Listing() const {
  std::vector<std::string> out;
  for (const auto& [key, name] : names_) out.push_back((folders_.count(key) ? "d " : "f ") + name);
  return out;
}

}  // namespace kv
