#include "personal/owner_notes.h"

#include "store/container.h"
#include "store/container_format.h"
#include "store/file_io.h"

namespace kv {
namespace {

// The notes file opened with the selector set for it; the selector is put back afterwards.
class NotesFile {
 public:
  NotesFile(int storeSelector, int mode, int callerCode) : previous_(DbStoreSelector()) {
    DbSelectStore(storeSelector);
    open_ = DbOpen(mode, 0, callerCode) != 0;
  }
  ~NotesFile() {
    if (open_) DbClose();
    DbSelectStore(previous_);
  }
  NotesFile(const NotesFile&) = delete;
  NotesFile& operator=(const NotesFile&) = delete;
  bool open() const { return open_; }

 private:
  int previous_;
  bool open_ = false;
};

}  // namespace

bool DeleteOwnerNote(int storeSelector, uint8_t type, uint16_t noteId, int callerCode) {
  if (noteId == 0 || !FileExists(NotesFilePath(storeSelector))) return true;
  NotesFile file(storeSelector, kDbModeWrite, callerCode);
  if (!file.open()) return false;
  DbRequest request;
  request.id = noteId;
  request.type = type;
  request.mode = kDbListing;
  return DbAccess(kDbDelete, request) != 0;
}

std::optional<std::string> ReadOwnerNote(int storeSelector, uint8_t type, uint16_t noteId, int callerCode) {
  if (noteId == 0 || !FileExists(NotesFilePath(storeSelector))) return std::nullopt;
  NotesFile file(storeSelector, kDbModeRead, callerCode);
  if (!file.open()) return std::nullopt;
  DbRequest request;
  request.id = noteId;
  request.type = type;
  if (!DbAccess(kDbRead, request)) return std::nullopt;
  return ParseNoteText(request.block);
}

}  // namespace kv
