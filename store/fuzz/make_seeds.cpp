// Writes the fuzz targets' seed corpus: real files made by the store, of each kind and shape
// (new, busy, grown, with holes and free slots), and operation inputs built on them.
// Usage: make_seeds CORPUS_FOLDER   (writes CORPUS_FOLDER/<target>/seed-*)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "store/container.h"
#include "store/container_format.h"
#include "store/fuzz/fuzz_support.h"
#include "store/phone_file.h"
#include "store/todo_file.h"

using namespace kv;

namespace {

std::string g_out;

void Save(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(g_out + "/" + target);
  std::FILE* f = std::fopen((g_out + "/" + target + "/" + name).c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
}

// An operation input: kind, file length, file, operations.
void SaveOps(const std::string& name, int kind, const std::vector<uint8_t>& file, const std::vector<uint8_t>& ops) {
  std::vector<uint8_t> input{static_cast<uint8_t>(kind), static_cast<uint8_t>(file.size()), static_cast<uint8_t>(file.size() >> 8)};
  input.insert(input.end(), file.begin(), file.end());
  input.insert(input.end(), ops.begin(), ops.end());
  Save("ops", name, input);
}

void Fresh() {
  ResetStore();
  SetDatabaseFolder(fuzz::Folder());
  for (const char* name : {"JAN-2020.kvdb", "ToDo.kvtd", "PhoneBk.kvpb"}) RemoveFile(JoinPath(fuzz::Folder(), name));
}

uint16_t Put(uint8_t type, int day, std::vector<uint8_t> record, uint16_t id = 0) {
  DbRequest r;
  r.id = id;
  r.type = type;
  r.chain = type == 3 || type == 5 ? 0 : MonthKey(2020, 1);
  r.day = static_cast<uint8_t>(day);
  r.block = std::move(record);
  r.mode = 1;
  DbAccess(kDbWrite, r);
  return r.id;
}

std::vector<uint8_t> Item(uint16_t length = 64) {
  std::vector<uint8_t> r(length, 0);
  PutU16LE(r.data(), length);
  r[2] = 4;
  PutFixedText(r.data() + 22, 40, "Meeting");
  return r;
}

std::vector<uint8_t> Month(int records, bool holes) {
  Fresh();
  DbOpen(kDbModeWrite, MonthKey(2020, 1), 1114);
  std::vector<uint16_t> ids;
  for (int n = 0; n < records; ++n) {
    ids.push_back(n % 3 ? Put(4, 1 + n % 7, Item(n % 11 ? 64 : 62))
                        : Put(1, 1 + n % 7, SerializeNoteRecord(1, std::string(static_cast<size_t>(n % 40), 'n'))));
  }
  if (holes) {
    for (size_t k = 0; k < ids.size(); k += 4) {
      DbRequest r;
      r.id = ids[k];
      r.type = k % 3 ? 4 : 1;
      r.chain = MonthKey(2020, 1);
      r.day = static_cast<uint8_t>(1 + k % 7);
      DbAccess(kDbDelete, r);
    }
  }
  DbClose();
  return fuzz::FileBytes(JoinPath(fuzz::Folder(), "JAN-2020.kvdb"));
}

std::vector<uint8_t> ToDo(int items, bool removals) {
  Fresh();
  ToDoItem item{};
  for (int n = 0; n < items; ++n) ToDoInsertItem(100, static_cast<MinuteKey>(1000 + (n * 37) % 50), item);
  if (removals) ToDoRemoveItem(2), ToDoRemoveItem(4);
  if (!items) ToDoStoreOpen(kDbModeWrite, 1203), ToDoStoreClose();
  return fuzz::FileBytes(JoinPath(fuzz::Folder(), "ToDo.kvtd"));
}

std::vector<uint8_t> Phone(int entries, bool deletions) {
  Fresh();
  for (int n = 0; n < entries; ++n) {
    PhoneEntry e{};
    PutFixedText(e.data() + 4, 20, "Name\x1c");
    PhoneEntryRef ref;
    PhoneStoreEntry(e, ref);
  }
  if (deletions && PhoneStoreOpen(kDbModeWrite, 1704)) PhoneDeleteEntry(2), PhoneDeleteEntry(3), PhoneStoreClose();
  if (!entries) PhoneStoreOpen(kDbModeWrite, 1704), PhoneStoreClose();
  return fuzz::FileBytes(JoinPath(fuzz::Folder(), "PhoneBk.kvpb"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds CORPUS_FOLDER\n");
    return 2;
  }
  g_out = argv[1];
  std::vector<uint8_t> empty = Month(0, false), busy = Month(24, true), grown = Month(110, true);
  Save("container", "seed-new", empty);
  Save("container", "seed-busy", busy);
  Save("container", "seed-grown", grown);
  Fresh();
  DbSelectStore(kStoreToDoNotes);
  DbOpen(kDbModeWrite, MonthKey(2020, 1), 1119);
  for (int n = 0; n < 40; ++n) Put(3, 0, SerializeNoteRecord(3, std::string(static_cast<size_t>(n), 't')));
  DbClose();
  Save("container", "seed-notes", fuzz::FileBytes(JoinPath(fuzz::Folder(), "JAN-2020.kvdb")));

  std::vector<uint8_t> todoNew = ToDo(0, false), todoBusy = ToDo(8, true), todoGrown = ToDo(62, true);
  Save("todo", "seed-new", todoNew);
  Save("todo", "seed-busy", todoBusy);
  Save("todo", "seed-grown", todoGrown);
  std::vector<uint8_t> phoneNew = Phone(0, false), phoneBusy = Phone(6, true);
  Save("phone", "seed-new", phoneNew);
  Save("phone", "seed-busy", phoneBusy);

  // Writes on several days, rewrites, deletes, a growth and a reopen.
  std::vector<uint8_t> containerOps = {0, 3, 4, 0, 200, 0, 0, 1, 9, 30, 0, 0, 2, 5, 0, 0, 1, 1, 2, 1, 40, 0, 3, 1, 0,
                                       2, 1, 1, 4, 3, 4, 5, 7, 0, 0, 20, 0, 0, 1, 0, 5, 9, 9, 0, 0, 1, 4, 20, 0, 7};
  SaveOps("seed-container-new", 0, empty, containerOps);
  SaveOps("seed-container-busy", 0, busy, containerOps);
  std::vector<uint8_t> todoOps = {0, 0, 1, 0, 0, 0, 9, 0, 0, 0, 1, 0, 1, 0, 0, 0, 5, 0, 0, 0, 1, 2, 2, 3, 1,
                                  0, 4, 1, 0, 0, 0, 0, 7, 0, 0, 0, 3, 5, 0, 5};
  SaveOps("seed-todo-new", 1, todoNew, todoOps);
  SaveOps("seed-todo-busy", 1, todoBusy, todoOps);
  std::vector<uint8_t> phoneOps = {0, 0, 0, 0, 0, 0, 2, 2, 0, 0, 1, 1, 1, 1, 0, 3, 3, 5, 0, 2, 0, 4, 0, 0};
  SaveOps("seed-phone-new", 2, phoneNew, phoneOps);
  SaveOps("seed-phone-busy", 2, phoneBusy, phoneOps);
  return 0;
}
