// Opens a fuzzed file of one of the three kinds and runs fuzzed operations on it. A file the
// store will write must stay sound through every operation and keep every record it was given;
// a file it refuses must stay as it was. Crashes come at fuzzed points: the disk then keeps
// what reached it, the store is opened again, and the file must be sound and hold exactly what
// it held when the interrupted write session began.
//
// Input: a kind byte (container, to-do, phonebook), a 16-bit file length, the file, then the
// operations, each an opcode byte and its arguments (missing bytes read as zero).
#include <map>
#include <optional>
#include <tuple>

#include "base/bytes.h"
#include "store/container.h"
#include "store/container_format.h"
#include "store/fuzz/fuzz_support.h"
#include "store/phone_file.h"
#include "store/store_journal.h"
#include "store/todo_file.h"

using namespace kv;

namespace {

struct Input {
  const uint8_t* data;
  size_t size, at = 0;
  bool More() const { return at < size; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  uint16_t U16() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
  uint32_t U32() { return U16() | static_cast<uint32_t>(U16()) << 16; }
};

constexpr uint32_t kKey = MonthKey(2020, 1);
constexpr int kMaxOps = 200;

struct Held {
  DbRequest where;
  std::vector<uint8_t> bytes;
};

// A crash armed by the input: it comes at one of the next 64 changes of the disk.
struct Crash {
  CrashPlan plan;
  bool armed = false;
  void Arm(Input& in) {
    if (armed) return;
    plan = CrashPlan{1 + in.Byte() % 64u, (in.Byte() & 1) != 0};
    SetCrashPlan(&plan);
    armed = true;
  }
  // After an operation: true when the crash came. The process "dies": the store forgets
  // everything, the plan goes, and the file must be sound once the next opening has undone
  // the interrupted session.
  bool Came(const std::string& path, DbFileKind kind, int reopenedFor) {
    if (!armed || !plan.crashed) return false;
    ResetStore();
    SetCrashPlan(nullptr);
    armed = false;
    SetDatabaseFolder(fuzz::Folder());
    bool reopened = kind == DbFileKind::Container ? DbOpen(kDbModeRead, kKey, 1122) && DbClose()
                    : kind == DbFileKind::ToDo    ? ToDoStoreOpen(kDbModeRead, 1201) && ToDoStoreClose()
                                                  : PhoneStoreOpen(kDbModeRead, 1703) && PhoneStoreClose();
    fuzz::Require(reopened || reopenedFor == 0, "the file reopens after a crash");
    fuzz::Require(!FileExists(StoreJournalPath(path)), "the journal is gone after reopening");
    for (const std::string& p : VerifyDbFile(path, kind)) std::fprintf(stderr, "%s\n", p.c_str());
    fuzz::Require(VerifyDbFile(path, kind).empty(), "the file is sound after a crash");
    return true;
  }
  void Disarm() {
    SetCrashPlan(nullptr);
    armed = false;
  }
};

std::vector<std::tuple<uint16_t, uint32_t, uint32_t, ToDoItem>> ToDoSnapshot() {
  std::vector<std::tuple<uint16_t, uint32_t, uint32_t, ToDoItem>> list;
  if (!ToDoStoreOpen(kDbModeRead, 1201)) return list;
  for (const ToDoListed& l : ToDoListOrder()) {
    std::optional<ToDoItem> item = ToDoReadItem(l.slot);
    list.emplace_back(l.slot, l.activate, l.sortKey, item ? *item : ToDoItem{});
  }
  ToDoStoreClose();
  return list;
}

std::vector<std::pair<uint16_t, PhoneEntry>> PhoneSnapshot() {
  std::vector<PhoneLoaded> entries;
  if (PhoneStoreOpen(kDbModeRead, 1703)) {
    PhoneLoadEntries(entries);
    PhoneStoreClose();
  }
  std::vector<std::pair<uint16_t, PhoneEntry>> list;
  for (const PhoneLoaded& e : entries) list.emplace_back(e.slot, e.entry);
  return list;
}

DbRequest Where(uint8_t type, uint8_t day) {
  DbRequest r;
  r.type = type;
  bool byId = type == kDbTypeToDoNote || type == kDbTypePhoneNote;
  r.chain = byId ? 0 : kKey;
  r.day = byId ? 0 : day;
  return r;
}

std::vector<uint8_t> Record(Input& in, uint8_t type) {
  if (type == kDbTypeSchedItem) {
    std::vector<uint8_t> r(in.Byte() & 1 ? 62 : 64, in.Byte());
    PutU16LE(r.data(), static_cast<uint16_t>(r.size()));
    r[2] = type;
    return r;
  }
  return SerializeNoteRecord(type, std::string(in.U16() % 700, static_cast<char>('a' + in.Byte() % 26)));
}

void ContainerOps(Input& in, const std::string& path) {
  // The file was opened for writing before the first operation: that session holds nothing yet.
  std::map<uint16_t, Held> held;
  std::map<uint16_t, Held> heldAtOpen;   // what the file held when the write session began
  Crash crash;
  int grown = 0;
  auto any = [&held](Input& in) { auto it = held.begin(); std::advance(it, in.Byte() % held.size()); return it; };
  for (int n = 0; n < kMaxOps && in.More(); ++n) {
    if (crash.Came(path, DbFileKind::Container, 1)) {
      held = heldAtOpen;
      fuzz::Require(DbOpen(kDbModeWrite, kKey, 1114), "a sound file reopens for writing after a crash");
    }
    switch (in.Byte() % 8) {
      case 0: {
        uint8_t type = static_cast<uint8_t>(1 + in.Byte() % 5);
        DbRequest r = Where(type, static_cast<uint8_t>(1 + in.Byte() % 31));
        std::vector<uint8_t> bytes = Record(in, type);
        r.block = bytes;
        r.mode = in.Byte();
        if (DbAccess(kDbWrite, r)) {
          fuzz::Require(!held.count(r.id), "new ids are new");
          held[r.id] = {Where(type, r.day), bytes};
        }
        break;
      }
      case 1: {
        if (held.empty()) break;
        auto it = any(in);
        DbRequest r = it->second.where;
        r.id = it->first;
        std::vector<uint8_t> bytes = Record(in, r.type);
        r.block = bytes;
        if (!DbAccess(kDbWrite, r)) break;
        Held moved{it->second.where, bytes};
        fuzz::Require(r.id == it->first || bytes.size() != it->second.bytes.size(), "same length keeps the id");
        held.erase(it);
        held[r.id] = moved;
        break;
      }
      case 2:
      case 3: {
        bool known = !held.empty() && in.Byte() % 2;
        auto it = known ? any(in) : held.end();
        DbRequest r = known ? it->second.where : Where(static_cast<uint8_t>(1 + in.Byte() % 5), 1 + in.Byte() % 31);
        r.id = known ? it->first : in.U16();
        if (!known && (r.id == 0 || held.count(r.id))) break;   // id 0 would take the first record
        bool deleted = DbAccess(kDbDelete, r);
        if (crash.armed && crash.plan.crashed) break;   // the process died in the deletion
        fuzz::Require(deleted, "deleting succeeds");
        if (known) held.erase(it);
        break;
      }
      case 4: {
        DbRequest r = Where(static_cast<uint8_t>(1 + in.Byte() % 5), 1 + in.Byte() % 31);
        for (int k = 0; k < 70000 && DbAccess(kDbFind, r); ++k) r.mode = kDbFindNext;
        break;
      }
      case 5:
        if (grown++ < 3) DbGrow();   // a few growths are enough to move data about
        break;
      case 6:
        DbClose();
        if (crash.armed && crash.plan.crashed) break;
        heldAtOpen = held;
        if (!DbOpen(kDbModeWrite, kKey, 1114)) {
          for (const std::string& p : VerifyDbFile(path, DbFileKind::Container)) std::fprintf(stderr, "%s\n", p.c_str());
          fuzz::Require(false, "a sound file reopens for writing");
        }
        break;
      default:
        crash.Arm(in);
        break;
    }
  }
  DbClose();
  if (crash.Came(path, DbFileKind::Container, 1)) held = heldAtOpen;
  crash.Disarm();
  fuzz::Require(VerifyDbFile(path, DbFileKind::Container).empty(), "the container stays sound");
  fuzz::Require(DbOpen(kDbModeRead, kKey, 1122), "the container reopens");
  for (const auto& [id, h] : held) {
    DbRequest r = h.where;
    r.id = id;
    fuzz::Require(DbAccess(kDbRead, r), "every record written is there");
    std::vector<uint8_t> want = h.bytes;
    if (want.size() < 64 && want[2] == kDbTypeSchedItem) want.resize(64, 0);
    fuzz::Require(r.block == want, "every record reads back as written");
  }
  DbClose();
}

void ToDoOps(Input& in, const std::string& path) {
  Crash crash;
  for (int n = 0; n < kMaxOps && in.More(); ++n) {
    ToDoItem item{};
    item[19] = in.Byte();
    // Every operation is a write session of its own: a crash in it leaves the list as before.
    auto before = crash.armed ? ToDoSnapshot() : decltype(ToDoSnapshot()){};
    uint8_t op = in.Byte() % 7;
    if (op == 6) {
      crash.Arm(in);
      continue;
    }
    switch (op) {
      case 0: ToDoInsertItem(in.U32(), in.U32(), item); break;
      case 1: ToDoInsertItem(in.U32(), in.U32(), item, static_cast<uint16_t>(in.Byte() % 130)); break;
      case 2: ToDoRemoveItem(static_cast<uint16_t>(in.Byte() % 130)); break;
      case 3: ToDoToggleDone(static_cast<uint16_t>(in.Byte() % 130), MakeMinuteKey(2026, 3, 1, 12, 0)); break;
      case 4:
        if (ToDoStoreOpen(kDbModeRead, 1201)) {
          for (const ToDoListed& l : ToDoListOrder()) fuzz::Require(ToDoReadItem(l.slot).has_value(), "listed items read");
          ToDoStoreClose();
        }
        break;
      default:
        if (ToDoStoreOpen(kDbModeWrite, 1206)) {
          ToDoStoreGrow();
          ToDoWriteItem(item, static_cast<uint16_t>(in.Byte() % 130));
          ToDoStoreClose();
        }
        break;
    }
    if (crash.Came(path, DbFileKind::ToDo, 1)) fuzz::Require(ToDoSnapshot() == before, "a crashed to-do operation is undone");
  }
  crash.Disarm();
  fuzz::Require(VerifyDbFile(path, DbFileKind::ToDo).empty(), "the to-do file stays sound");
}

void PhoneOps(Input& in, const std::string& path) {
  std::vector<PhoneEntryRef> refs;
  Crash crash;
  for (int n = 0; n < kMaxOps && in.More(); ++n) {
    PhoneEntry entry{};
    entry[4] = in.Byte();
    auto before = crash.armed ? PhoneSnapshot() : decltype(PhoneSnapshot()){};
    uint8_t op = in.Byte() % 6;
    if (op == 5) {
      crash.Arm(in);
      continue;
    }
    switch (op) {
      case 0: {
        PhoneEntryRef ref;
        if (PhoneStoreEntry(entry, ref)) refs.push_back(ref);
        break;
      }
      case 1: {
        PhoneEntryRef ref;
        ref.slot = static_cast<uint16_t>(in.Byte() % 40);
        ref.id = static_cast<int16_t>(in.Byte() % 40);
        if (!refs.empty() && in.Byte() % 2) ref = refs[in.Byte() % refs.size()];
        PhoneStoreEntry(entry, ref);
        break;
      }
      case 2:
        if (PhoneStoreOpen(kDbModeWrite, 1704)) {
          PhoneDeleteEntry(static_cast<uint16_t>(in.Byte() % 40));
          PhoneStoreClose();
        }
        break;
      case 3:
        if (PhoneStoreOpen(kDbModeWrite, 1705)) {
          PutI16LE(entry.data(), static_cast<int16_t>(in.U16()));
          PhoneWriteEntry(entry, static_cast<uint16_t>(in.Byte() % 40));
          PhoneStoreClose();
        }
        break;
      default:
        if (PhoneStoreOpen(kDbModeRead, 1703)) {
          std::vector<PhoneLoaded> entries;
          PhoneLoadEntries(entries);
          PhoneStoreClose();
        }
        break;
    }
    if (crash.Came(path, DbFileKind::Phone, 1)) {
      fuzz::Require(PhoneSnapshot() == before, "a crashed phonebook operation is undone");
      refs.clear();   // the ids handed out in the undone session are gone
    }
  }
  crash.Disarm();
  fuzz::Require(VerifyDbFile(path, DbFileKind::Phone).empty(), "the phonebook stays sound");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  int kind = in.Byte() % 3;
  size_t length = std::min<size_t>(in.U16(), size - std::min(size, in.at));
  const uint8_t* file = data + in.at;
  in.at += length;
  const char* names[] = {"JAN-2020.kvdb", "ToDo.kvtd", "PhoneBk.kvpb"};
  std::string path = fuzz::PrepareFile(names[kind], file, length);
  std::vector<uint8_t> original(file, file + length);
  bool writable = kind == 0   ? DbOpen(kDbModeWrite, kKey, 1114) && DbClose()
                  : kind == 1 ? ToDoStoreOpen(kDbModeWrite, 1203) && ToDoStoreClose()
                              : PhoneStoreOpen(kDbModeWrite, 1704) && PhoneStoreClose();
  if (!writable) {
    fuzz::Require(fuzz::FileBytes(path) == original, "a refused file stays as it was");
    return 0;
  }
  if (kind == 0) {
    fuzz::Require(DbOpen(kDbModeWrite, kKey, 1114), "a sound file reopens for writing");
    ContainerOps(in, path);
  } else if (kind == 1) {
    ToDoOps(in, path);
  } else {
    PhoneOps(in, path);
  }
  return 0;
}
