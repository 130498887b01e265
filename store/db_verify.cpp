#include "store/db_verify.h"

#include <algorithm>
#include <cctype>

#include "store/container_format.h"
#include "base/file_io.h"
#include "store/phone_format.h"
#include "store/todo_format.h"

namespace kv {
namespace {

std::vector<std::string> VerifyContainer(const BinaryFile& file, uint64_t size) {
  std::vector<uint8_t> first(static_cast<size_t>(std::min<uint64_t>(size, kDbBlock)));
  if (!file.ReadAt(0, first.data(), first.size())) return {"the file cannot be read"};
  ContainerHeaderLook look = LookAtContainerHeader(first, size);
  if (look.headerBytes == 0) return {look.problem};
  std::vector<uint8_t> header(look.headerBytes);
  if (!file.ReadAt(0, header.data(), header.size())) return {"the header cannot be read"};
  ContainerCheck check = CheckContainer(header, size, [&file](uint64_t offset, uint8_t* buffer, size_t n) {
    return file.ReadAt(offset, buffer, n);
  });
  return ProblemReport(check.problems, check.problemCount);
}

std::vector<std::string> VerifyToDo(const BinaryFile& file, uint64_t size) {
  std::vector<uint8_t> first(static_cast<size_t>(std::min<uint64_t>(size, kToDoNewFileSize)));
  if (!file.ReadAt(0, first.data(), first.size())) return {"the file cannot be read"};
  ToDoHeaderLook look = LookAtToDoHeader(first, size);
  if (look.headerBytes == 0) return {look.problem};
  std::vector<uint8_t> header(look.headerBytes);
  if (!file.ReadAt(0, header.data(), header.size())) return {"the header cannot be read"};
  ToDoCheck check = CheckToDo(header, size);
  return ProblemReport(check.problems, check.problemCount);
}

std::vector<std::string> VerifyPhone(const BinaryFile& file, uint64_t size) {
  std::vector<uint8_t> first(static_cast<size_t>(std::min<uint64_t>(size, kPhoneHeaderSize)));
  if (!file.ReadAt(0, first.data(), first.size())) return {"the file cannot be read"};
  std::string problem = LookAtPhoneHeader(first, size);
  if (!problem.empty()) return {problem};
  PhoneHeaderFields h = ParsePhoneHeader(first.data());
  std::vector<uint8_t> slots(size_t{kPhoneEntrySize} * PhoneSlotsInFile(h, size));
  if (!slots.empty() && !file.ReadAt(kPhoneHeaderSize, slots.data(), slots.size())) return {"the entries cannot be read"};
  PhoneCheck check = CheckPhone(h, slots, size);
  return ProblemReport(check.problems, check.problemCount);
}

}  // namespace

DbFileKind DbFileKindOf(const std::string& path) {
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) return DbFileKind::Unknown;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  if (ext == "kvdb") return DbFileKind::Container;
  if (ext == "kvtd") return DbFileKind::ToDo;
  if (ext == "kvpb") return DbFileKind::Phone;
  return DbFileKind::Unknown;
}

std::vector<std::string> VerifyDbFile(const std::string& path, DbFileKind kind) {
  BinaryFile file;
  if (!file.Open(path, BinaryFile::Access::Read)) return {"the file cannot be opened"};
  int64_t size = file.Size();
  if (size < 0) return {"the file's size cannot be told"};
  switch (kind) {
    case DbFileKind::Container: return VerifyContainer(file, static_cast<uint64_t>(size));
    case DbFileKind::ToDo: return VerifyToDo(file, static_cast<uint64_t>(size));
    case DbFileKind::Phone: return VerifyPhone(file, static_cast<uint64_t>(size));
    default: return {"the kind of the file is not known"};
  }
}

}  // namespace kv
