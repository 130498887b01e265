// Shared by the store's tests: a fresh database folder per test, recorded messages, and small
// helpers for records, requests and file bytes.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/bytes.h"
#include "store/container.h"
#include "store/container_format.h"
#include "store/db_files.h"
#include "store/db_verify.h"
#include "base/file_io.h"

namespace kv::test {

inline std::string MakeTempFolder() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("kvstore-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir);
  return dir.string();
}

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  BinaryFile file;
  if (!file.Open(path, BinaryFile::Access::Read)) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) return {};
  return bytes;
}

inline void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  RemoveFile(path);
  BinaryFile file;
  ASSERT_TRUE(file.Create(path));
  if (!bytes.empty()) {
    ASSERT_TRUE(file.WriteAt(0, bytes.data(), bytes.size()));
  }
}

// A 64-byte schedule item record with a title (or `length` bytes for the old 62-byte form).
inline std::vector<uint8_t> SchedRecord(const std::string& title, uint16_t length = kSchedItemSize) {
  std::vector<uint8_t> r(length, 0);
  PutU16LE(r.data(), length);
  r[2] = kDbTypeSchedItem;
  PutFixedText(r.data() + 22, 40, title);
  return r;
}

inline DbRequest DayRequest(uint32_t monthKey, int day, uint8_t type, uint16_t id = 0) {
  DbRequest r;
  r.id = id;
  r.chain = monthKey;
  r.day = static_cast<uint8_t>(day);
  r.type = type;
  return r;
}

inline DbRequest IdRequest(uint8_t type, uint16_t id = 0) {
  DbRequest r;
  r.id = id;
  r.type = type;
  return r;
}

// Writes a record through the open container; the id assigned, 0 on failure.
inline uint16_t Put(DbRequest r, std::vector<uint8_t> record, uint8_t flag = 0) {
  r.block = std::move(record);
  r.mode = flag;
  return DbAccess(kDbWrite, r) ? r.id : 0;
}

// Ids of a day's records of a type, by find and find-next, in chain order.
inline std::vector<uint16_t> ListDay(uint32_t monthKey, int day, uint8_t type) {
  std::vector<uint16_t> ids;
  DbRequest r = DayRequest(monthKey, day, type);
  for (bool found = DbAccess(kDbFind, r); found; found = DbAccess(kDbFind, r)) {
    ids.push_back(r.id);
    r.mode = kDbFindNext;
  }
  return ids;
}

// Edits a record in place: parses it at `at`, lets `change` alter the fields, writes it back.
template <typename Parse, typename Serialize, typename Change>
void Patch(uint8_t* at, Parse parse, Serialize serialize, Change change) {
  auto fields = parse(at);
  change(fields);
  serialize(fields, at);
}

inline DbSlot SlotOf(const std::vector<uint8_t>& file, uint32_t index) {
  return ParseDbSlot(file.data() + DbSlotOffset(index));
}
inline DbHeaderFields FieldsOf(const std::vector<uint8_t>& file) { return ParseDbHeaderFields(file.data()); }

// A fresh, empty database folder and recorded messages for each test.
class StoreTest : public testing::Test {
 protected:
  void SetUp() override {
    SetFlushesReachDisk(false);   // durability is the crash tests' subject, with their own disk model
    folder = MakeTempFolder();
    ResetStore();
    SetDatabaseFolder(folder);
  }
  // Every database file a test leaves behind must pass verification, unless the test damaged it
  // on purpose and says so.
  void TearDown() override {
    ResetStore();
    if (filesMustVerify) {
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string path = entry.path().string();
        if (DbFileKindOf(path) != DbFileKind::Unknown) {
          EXPECT_EQ(Verify(path), std::vector<std::string>{}) << path;
        }
      }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    SetFlushesReachDisk(true);
  }
  // A new session on the same folder, as after restarting the program.
  void Restart() {
    ResetStore();
    SetDatabaseFolder(folder);
    messages.Clear();
  }
  std::vector<std::string> Verify(const std::string& path) { return VerifyDbFile(path, DbFileKindOf(path)); }

  std::string folder;
  bool filesMustVerify = true;
  ScriptedMessages messages;
  ScopedMessageSink scope{messages};
};

}  // namespace kv::test
