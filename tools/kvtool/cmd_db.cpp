// kvtool commands over the database files: inspection and verification of containers, to-do
// files and phonebooks (the kind told by the extension .kvdb, .kvtd, .kvpb), and thin wrappers
// over the container's requests for tests and repairs.
#include <algorithm>
#include <cstdio>

#include "base/messages.h"
#include "base/bytes.h"
#include "store/container.h"
#include "store/container_format.h"
#include "store/db_verify.h"
#include "base/file_io.h"
#include "store/phone_format.h"
#include "store/store_journal.h"
#include "store/todo_format.h"
#include "tools/kvtool/cli.h"

namespace kv::tool {
namespace {

constexpr int kCallerTool = 1990;

// Collects what the store would show the user, to pass it on as the command's error or warning.
class CollectedMessages : public MessageSink {
 public:
  MsgAnswer Show(const UserMessage& message) override {
    // One line: a blank line becomes a blank, any other line end too.
    std::string text;
    for (size_t i = 0; i < message.text.size(); ++i) {
      char c = message.text[i];
      if (c == '\n' && i + 1 < message.text.size() && message.text[i + 1] == '\n') ++i;
      text += c == '\n' ? ' ' : c;
    }
    texts_.push_back(text);
    return DefaultAnswer(message.buttons, message.defaultButton);
  }
  std::string Joined() const {
    std::string all;
    for (const std::string& t : texts_) all += (all.empty() ? "" : "; ") + t;
    return all;
  }
  void Warn() const {
    for (const std::string& t : texts_) std::fprintf(stderr, "kvtool: %s\n", t.c_str());
  }

 private:
  std::vector<std::string> texts_;
};

std::vector<uint8_t> ReadFile(const std::string& path, uint64_t limit) {
  BinaryFile file;
  if (!file.Open(path, BinaryFile::Access::Read)) throw Failure("cannot open " + path);
  int64_t size = file.Size();
  std::vector<uint8_t> bytes(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(std::max<int64_t>(size, 0)), limit)));
  if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) throw Failure("cannot read " + path);
  return bytes;
}

bool HasMagic(const std::vector<uint8_t>& bytes, size_t least) {
  return bytes.size() >= least && std::equal(kDbMagic, kDbMagic + sizeof kDbMagic, bytes.begin());
}

Json ContainerInfo(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path, kDbFieldsSize + kDbSlotSize * 0xFFFFu);
  if (!HasMagic(bytes, kDbFieldsSize)) throw Failure(path + " is not a container (no \"ORBDB\" header)");
  DbHeaderFields h = ParseDbHeaderFields(bytes.data());
  Json out;
  out["kind"] = "container";
  out["version"] = h.version;
  out["capacity"] = h.capacity;
  out["slots_in_use"] = h.slotsInUse;
  out["free_head"] = h.freeHead;
  out["last_id"] = h.lastId;
  out["end_of_data"] = h.endOfData;
  out["growths"] = h.growths;
  out["slots"] = Json::array();
  uint32_t shown = std::min<uint32_t>(h.capacity, static_cast<uint32_t>((bytes.size() - kDbFieldsSize) / kDbSlotSize));
  for (uint32_t i = 0; i < shown; ++i) {
    DbSlot s = ParseDbSlot(bytes.data() + DbSlotOffset(i));
    if (s.type == kDbTypeEmpty) continue;
    out["slots"].push_back(Json{{"index", i}, {"id", s.id}, {"length", s.length}, {"offset", s.offset},
                                {"next", s.next}, {"type", s.type}, {"flag", s.flag}});
  }
  return out;
}

Json ToDoInfo(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path, ToDoHeaderSize(0xFFFF));
  if (!HasMagic(bytes, kToDoFieldsSize)) throw Failure(path + " is not a to-do file (no \"ORBDB\" header)");
  ToDoHeaderFields h = ParseToDoHeaderFields(bytes.data());
  Json out{{"kind", "todo"}, {"count", h.count}, {"capacity", h.capacity}, {"head", h.head}, {"slots", Json::array()}};
  uint32_t shown = std::min<uint32_t>(h.capacity, static_cast<uint32_t>((bytes.size() - kToDoFieldsSize) / kToDoSlotSize));
  for (uint32_t s = 1; s <= shown; ++s) {
    ToDoSlot slot = ParseToDoSlot(bytes.data() + ToDoSlotOffset(s));
    if (slot.sortKey == 0) continue;
    out["slots"].push_back(Json{{"slot", s}, {"activate", slot.activate}, {"sort", slot.sortKey}, {"next", slot.next},
                                {"prev", slot.prev}});
  }
  return out;
}

Json PhoneInfo(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path, PhoneSlotOffset(kPhoneMaxEntries + 1));
  if (!HasMagic(bytes, kPhoneHeaderSize)) throw Failure(path + " is not a phonebook (no \"ORBDB\" header)");
  PhoneHeaderFields h = ParsePhoneHeader(bytes.data());
  Json out{{"kind", "phonebook"}, {"count", h.count},        {"next_slot", h.nextSlot},
           {"next_id", h.nextId}, {"free_head", h.freeHead}, {"entries", Json::array()}};
  uint16_t inFile = PhoneSlotsInFile(h, bytes.size());
  for (uint32_t s = 1; s <= inFile; ++s) {
    const uint8_t* p = bytes.data() + PhoneSlotOffset(s);
    if (ReadI16LE(p) <= 0) continue;
    out["entries"].push_back(Json{{"slot", s}, {"id", ReadI16LE(p)}, {"note", ReadU16LE(p + 2)}});
  }
  return out;
}

DbFileKind KindOf(const std::string& path) {
  DbFileKind kind = DbFileKindOf(path);
  if (kind == DbFileKind::Unknown) throw UsageError("the file name must end in .kvdb, .kvtd or .kvpb: " + path);
  return kind;
}

// A session a crash interrupted is undone before the file is looked at, as the program does when
// it opens the file.
void RecoverFile(const std::string& path) {
  if (!RecoverStoreJournal(path)) throw Failure("cannot restore " + path + " from " + StoreJournalPath(path));
}

std::string ContainerPath(Args& args) {
  std::string path = args.Positional("file");
  if (KindOf(path) != DbFileKind::Container) throw UsageError("records can only be reached in a container (.kvdb)");
  return path;
}

uint8_t ParseType(Args& args) {
  std::optional<std::string> type = args.Option("type");
  if (!type) throw UsageError("--type is required");
  return static_cast<uint8_t>(ParseInteger(*type, "type", 1, 14));
}

// The request's chain: --monthkey K --day D, or --chain-by-id.
DbRequest ChainRequest(Args& args) {
  DbRequest r;
  r.type = ParseType(args);
  std::optional<std::string> key = args.Option("monthkey");
  std::optional<std::string> day = args.Option("day");
  bool byId = args.Flag("chain-by-id");
  if (byId == (key.has_value() || day.has_value())) throw UsageError("give either --monthkey and --day, or --chain-by-id");
  if (!byId) {
    if (!key || !day) throw UsageError("--monthkey and --day go together");
    r.chain = static_cast<uint32_t>(ParseInteger(*key, "month key", 1, 0xFFFFFFFFLL));
    r.day = static_cast<uint8_t>(ParseInteger(*day, "day", 1, 31));
  }
  return r;
}

uint16_t ParseId(Args& args, bool required) {
  std::optional<std::string> id = args.Option("id");
  if (!id) {
    if (required) throw UsageError("--id is required");
    return 0;
  }
  return static_cast<uint16_t>(ParseInteger(*id, "id", required ? 1 : 0, 0xFFFF));
}

std::vector<uint8_t> ParseHex(const std::string& text) {
  auto digit = [](char ch) -> int {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
  };
  if (text.size() % 2 != 0) throw UsageError("--hex needs an even number of hex digits");
  std::vector<uint8_t> bytes;
  for (size_t k = 0; k < text.size(); k += 2) {
    int high = digit(text[k]), low = digit(text[k + 1]);
    if (high < 0 || low < 0) throw UsageError("--hex holds a character that is not a hex digit");
    bytes.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) out += kDigits[b >> 4], out += kDigits[b & 15];
  return out;
}

// Opens the container for one command and closes it again, passing on what it would show.
class OpenContainer {
 public:
  OpenContainer(const std::string& path, int mode) : scope_(messages_) {
    if (mode == kDbModeRead && !FileExists(path)) throw Failure("cannot open " + path);
    if (!DbOpenFile(mode, path, kCallerTool)) {
      std::string why = messages_.Joined();
      throw Failure(why.empty() ? "cannot open " + path : why);
    }
  }
  ~OpenContainer() {
    if (DbIsOpen()) DbClose();
  }
  void Fail(const std::string& what) {
    std::string why = messages_.Joined();
    throw Failure(why.empty() ? what : what + ": " + why);
  }
  void Warn() const { messages_.Warn(); }

 private:
  CollectedMessages messages_;
  ScopedMessageSink scope_;
};

Command info("db info", "FILE", [](Args& args) {
  std::string path = args.Positional("file");
  args.Done();
  DbFileKind kind = KindOf(path);
  RecoverFile(path);
  switch (kind) {
    case DbFileKind::Container: Emit(ContainerInfo(path)); break;
    case DbFileKind::ToDo: Emit(ToDoInfo(path)); break;
    default: Emit(PhoneInfo(path)); break;
  }
});

Command verify("db verify", "FILE", [](Args& args) {
  std::string path = args.Positional("file");
  args.Done();
  DbFileKind kind = KindOf(path);
  RecoverFile(path);
  std::vector<std::string> problems = VerifyDbFile(path, kind);
  Json list = Json::array();
  for (const std::string& p : problems) list.push_back(Utf8FromAnsi(p));
  Emit(Json{{"ok", problems.empty()}, {"problems", list}});
  if (!problems.empty()) throw Failure(std::to_string(problems.size()) + " problem(s) found");
});

Command put("db put", "FILE --type T (--monthkey K --day D | --chain-by-id) [--id N] [--flag F] --hex BYTES",
            [](Args& args) {
              DbRequest r = ChainRequest(args);
              r.id = ParseId(args, false);
              std::optional<std::string> flag = args.Option("flag");
              r.mode = flag ? static_cast<uint16_t>(ParseInteger(*flag, "flag", 0, 255)) : 0;
              std::optional<std::string> hex = args.Option("hex");
              if (!hex) throw UsageError("--hex is required");
              r.block = ParseHex(*hex);
              std::string path = ContainerPath(args);
              args.Done();
              if (r.block.size() < 3 || ReadU16LE(r.block.data()) != r.block.size())
                throw UsageError("the record's first two bytes must give its length (" + std::to_string(r.block.size()) +
                                 " bytes, little-endian)");
              if (r.block[2] != r.type) throw UsageError("the record's third byte must be its type " + std::to_string(r.type));
              OpenContainer open(path, kDbModeWrite);
              if (!DbAccess(kDbWrite, r)) open.Fail("the record was not written");
              Emit(Json{{"id", r.id}});
            });

Command get("db get", "FILE --type T (--monthkey K --day D | --chain-by-id) --id N", [](Args& args) {
  DbRequest r = ChainRequest(args);
  r.id = ParseId(args, true);
  std::string path = ContainerPath(args);
  args.Done();
  OpenContainer open(path, kDbModeRead);
  if (!DbAccess(kDbRead, r)) open.Fail("no record of type " + std::to_string(r.type) + " with id " + std::to_string(r.id));
  open.Warn();
  Json out{{"id", r.id}, {"flag", r.mode & 0xFF}, {"length", ReadU16LE(r.block.data())}, {"hex", Hex(r.block)}};
  if (r.type != kDbTypeSchedItem)
    if (std::optional<std::string> text = ParseNoteText(r.block)) out["text"] = Utf8FromAnsi(*text);
  Emit(out);
});

Command del("db del", "FILE --type T (--monthkey K --day D | --chain-by-id) --id N", [](Args& args) {
  DbRequest r = ChainRequest(args);
  r.id = ParseId(args, true);
  std::string path = ContainerPath(args);
  args.Done();
  OpenContainer open(path, kDbModeWrite);
  DbRequest find = r;
  bool present = DbAccess(kDbFind, find) != 0;
  r.mode = kDbListing;
  if (!DbAccess(kDbDelete, r)) open.Fail("the record was not deleted");
  Emit(Json{{"id", r.id}, {"deleted", present}});
});

Command list("db list", "FILE --type T [--day D]", [](Args& args) {
  uint8_t type = ParseType(args);
  std::optional<std::string> dayText = args.Option("day");
  int day = dayText ? static_cast<int>(ParseInteger(*dayText, "day", 1, 31)) : 0;
  std::string path = ContainerPath(args);
  args.Done();
  OpenContainer open(path, kDbModeRead);
  Json records = Json::array();
  for (int d = day ? day : 1; d <= (day ? day : 31); ++d) {
    // Chain d - 1 is the day's chain in a month file and the chain of ids d - 1 mod 31 in a
    // notes file; any non-zero chain selector names it.
    DbRequest r;
    r.chain = 1;
    r.day = static_cast<uint8_t>(d);
    r.type = type;
    for (bool found = DbAccess(kDbRead, r); found; found = DbAccess(kDbRead, r)) {
      records.push_back(Json{{"chain", d - 1}, {"id", r.id}, {"flag", r.mode & 0xFF}, {"length", ReadU16LE(r.block.data())}});
      r.mode = kDbFindNext;
    }
  }
  open.Warn();
  Emit(Json{{"records", records}});
});

}  // namespace
}  // namespace kv::tool
