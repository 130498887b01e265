#include "store/db_files.h"

#include "resources/strings.h"
#include "store/file_io.h"
#include "store/store_state.h"

namespace kv {

StoreState& Store() {
  static StoreState state;
  return state;
}

void SetDatabaseFolder(const std::string& folder) { Store().folder = folder; }
const std::string& DatabaseFolder() { return Store().folder; }

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

void ResetStore() { Store() = StoreState{}; }

}  // namespace kv
