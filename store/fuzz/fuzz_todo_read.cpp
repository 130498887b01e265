// Reads a to-do file from arbitrary bytes: the list and every item, and the verifier.
#include "store/fuzz/fuzz_support.h"
#include "store/todo_file.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::PrepareFile("ToDo.kvtd", data, size);
  std::vector<std::string> problems = VerifyDbFile(path, DbFileKind::ToDo);
  if (ToDoStoreOpen(kDbModeRead, 1201)) {
    std::vector<ToDoListed> list = ToDoListOrder();
    fuzz::Require(list.size() <= 0xFFFF, "a list no longer than the slots");
    for (const ToDoListed& l : list) ToDoReadItem(l.slot);
    ToDoStoreClose();
  }
  bool writable = ToDoStoreOpen(kDbModeWrite, 1203);
  if (writable) ToDoStoreClose();
  if (size > 0) fuzz::Require(writable == problems.empty(), "write access exactly for sound files");
  if (size > 0 && !problems.empty()) fuzz::Require(fuzz::FileBytes(path) == std::vector<uint8_t>(data, data + size), "faulty file untouched");
  return 0;
}
