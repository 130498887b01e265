#include "store/db_files.h"

#include "resources/strings.h"
#include "store/db_messages.h"
#include "base/file_io.h"
#include "store/store_journal.h"
#include "store/store_state.h"

namespace kv {

StoreState& Store() {
  static StoreState state;
  return state;
}

void SetDatabaseFolder(const std::string& folder) { Store().folder = folder; }
const std::string& DatabaseFolder() { return Store().folder; }

namespace {

// A new store file appears whole or not at all: its header goes to a file beside it, is flushed,
// and that file takes the store's name. An empty file (a creation cut short by an older
// program) is replaced.
bool CreateStoreFile(const std::string& path, const std::vector<uint8_t>& header) {
  std::string temp = path + "-new";
  if (FileExists(temp) && !RemoveFile(temp)) return false;
  BinaryFile file;
  bool ok = file.Create(temp) && file.WriteAt(0, header.data(), header.size()) && file.Flush();
  file.Close();
  if (ok && FileExists(path)) ok = RemoveFile(path);
  ok = ok && RenameNewFile(temp, path) && FlushFolder(FolderOfPath(path));
  if (!ok) RemoveFile(temp);
  return ok;
}

}  // namespace

bool OpenStoreFile(int mode, const std::string& path, const std::vector<uint8_t>& newHeader, bool beep,
                   BinaryFile* file, int64_t* size, bool* fresh) {
  *fresh = false;
  if ((mode != kDbModeRead && mode != kDbModeWrite) || path.empty()) return false;
  // A session that a crash interrupted is undone first, whoever opens the file next.
  if (!RecoverStoreJournal(path)) return false;
  bool exists = FileExists(path);
  if (exists && !file->Open(path, mode == kDbModeWrite ? BinaryFile::Access::ReadWrite : BinaryFile::Access::Read))
    return false;
  *size = exists ? file->Size() : 0;
  if (*size < 0) return false;
  if (*size > 0) return true;
  if (mode == kDbModeRead) return false;
  file->Close();
  if (!CreateStoreFile(path, newHeader) || !file->Open(path, BinaryFile::Access::ReadWrite)) {
    file->Close();
    ShowCreateFailed(path, beep);
    return false;
  }
  *size = static_cast<int64_t>(newHeader.size());
  *fresh = true;
  return true;
}

void DbSelectStore(int selector) { Store().storeSelector = selector; }
int DbStoreSelector() { return Store().storeSelector; }

std::string MonthFileName(uint32_t monthKey) {
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  uint32_t month = monthKey & 0xFFFF;
  uint32_t year = monthKey >> 16;
  if (month < 1 || month > 12 || year < 1 || year > 9999) return {};
  return FormatText("%s-%4d.kvdb", kMonths[month - 1], static_cast<int>(year));
}

std::string MonthFilePath(uint32_t monthKey) {
  std::string name = MonthFileName(monthKey);
  return name.empty() ? name : JoinPath(Store().folder, name);
}

std::string NotesFilePath(int storeSelector) {
  if (storeSelector == kStoreToDoNotes) return JoinPath(Store().folder, "ToDo.kvdb");
  if (storeSelector == kStorePhoneNotes) return JoinPath(Store().folder, "PhoneBk.kvdb");
  return {};
}

std::string ToDoFilePath() { return JoinPath(Store().folder, "ToDo.kvtd"); }
std::string PhoneFilePath() { return JoinPath(Store().folder, FormatText("%s.kvpb", "PhoneBk")); }

void SetComputerZoneSource(ComputerZoneSource source) { Store().computerZone = std::move(source); }

int ComputerZoneIndex() {
  const ComputerZoneSource& source = Store().computerZone;
  return source ? source() : 0;
}

void ResetStore() {
  StoreState& s = Store();
  // Open write sessions end as a close ends them.
  EndStoreSession(s.container.file, s.container.journal, s.container.damaged);
  EndStoreSession(s.todo.file, s.todo.journal, s.todo.damaged);
  EndStoreSession(s.phone.file, s.phone.journal, s.phone.damaged);
  s = StoreState{};
}

}  // namespace kv
