#include "store/db_messages.h"

#include "resources/strings.h"
#include "base/messages.h"
#include "store/store_state.h"

namespace kv {
namespace {

constexpr int kIdsCreateFailed = 1152;
constexpr int kIdsHeaderCheck = 1155;
constexpr int kIdsDataAccess = 23000;

void ShowFileMessage(int id, const std::string& path, bool beep) {
  UserMessage m;
  m.text = std::string(StringText(id)) + "\n\n" + path;
  m.beep = beep ? MsgBeep::Default : MsgBeep::None;
  ShowUserMessage(m);
}

}  // namespace

void ShowDataAccessError(int error, int subCode) {
  ShowMessage(FormatText(std::string(StringText(kIdsDataAccess)).c_str(), error, subCode), MsgIcon::Stop);
}

void ShowCreateFailed(const std::string& path, bool beep) { ShowFileMessage(kIdsCreateFailed, path, beep); }

void ShowHeaderCheckFailed(const std::string& path, bool beep) { ShowFileMessage(kIdsHeaderCheck, path, beep); }

void ShowDamagedOnce(const std::string& path, bool beep) {
  if (Store().damageReported.insert(path).second) ShowHeaderCheckFailed(path, beep);
}

}  // namespace kv
