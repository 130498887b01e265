#include "overlays/overlay_set.h"

#include <algorithm>
#include <cstring>

#include "resources/strings.h"
#include "base/messages.h"
#include "base/settings.h"
#include "base/bytes.h"
#include "base/file_io.h"

namespace kv {
namespace {

constexpr int kMsgErrorOpening = 21060;    // "Error opening file:"
constexpr int kMsgHeaderCheck = 21061;     // "File failed header check:"
constexpr int kMsgErrorCreating = 21062;   // "Error creating file:"
constexpr int kMsgReplace = 21063;         // "The filename already exisits.  Do you want to replace it?"
constexpr int kMsgDeleteEntry = 21065;     // "Delete this entry from disk?"
constexpr int kMsgDamaged = 21069;         // damaged file, events before the damage loaded

std::function<void()>& ChangedHook() {
  static std::function<void()> hook;
  return hook;
}

void Changed() {
  ++Overlays().generation;
  if (ChangedHook()) ChangedHook()();
}

// "Text:" two line breaks and the path, as a warning with a beep in a box titled "Kalvora".
void ReportFile(int id, const std::string& path) {
  ShowMessage(std::string(StringText(id)) + "\n\n" + path, MsgIcon::Warning);
}

// Loads a file's events into the list under `number`; the load result.
int LoadInto(int number, const std::string& path) {
  OverlaySetState& s = Overlays();
  OverlayImage image;
  int result = ReadOverlayFile(path, image);
  if (result == kOverlayCannotOpen || result == kOverlayBadHeader) return result;
  s.accents[static_cast<size_t>(number - 1)] = image.header.accent;
  s.events.reserve(s.events.size() + image.events.size());
  for (OverlayEvent& e : image.events) s.events.push_back(LoadedEvent{number, std::move(e)});
  return result;
}

void SortListForSave() {
  std::stable_sort(Overlays().events.begin(), Overlays().events.end(),
                   [](const LoadedEvent& a, const LoadedEvent& b) { return SaveOrderLess(a.event, b.event); });
}

std::vector<OverlayEvent> EventsOf(int number) {
  std::vector<OverlayEvent> out;
  for (const LoadedEvent& e : Overlays().events)
    if (e.overlay == number) out.push_back(e.event);
  return out;
}

bool ValidNumber(int number) { return number >= 1 && number <= OverlayCount(); }

// Writes an overlay file: the old header's reserved bytes are kept, an "L" file's default
// accent is cleared, the accent replaced when one is given.
bool WriteOverlay(const std::string& path, std::vector<OverlayEvent> events, const Accent* newAccent) {
  OverlayImage image;
  std::vector<uint8_t> old;
  if (ReadWholeFile(path, old, kOverlayHeaderSize) && old.size() == kOverlayHeaderSize) {
    ParseOverlayHeader(old.data(), image.header);
    if (image.header.magic[3] == 'L') image.header.accent = Accent{};
  }
  image.header.magic = {'K', 'O', 'V', '6'};
  image.header.format = kOverlayFormat;
  if (newAccent) image.header.accent = *newAccent;
  SortForSave(events);
  image.events = std::move(events);
  return WriteFileReplacing(path, SerializeOverlay(image));
}

}  // namespace

OverlaySetState& Overlays() {
  static OverlaySetState state;
  return state;
}

void ResetOverlays() { Overlays() = OverlaySetState{}; }

void SetOverlaysChangedHook(std::function<void()> hook) { ChangedHook() = std::move(hook); }

int OverlayCount() { return static_cast<int>(Overlays().paths.size()); }

int AddOverlay(const std::string& path) {
  OverlaySetState& s = Overlays();
  if (OverlayCount() >= kMaxOverlays || path.empty() || path.size() > kMaxOverlayPath) return 0;
  s.paths.push_back(path);
  s.accents.push_back(Accent{});
  int number = OverlayCount();
  int result = LoadInto(number, path);
  if (result == kOverlayCannotOpen || result == kOverlayBadHeader) {
    s.paths.pop_back();
    s.accents.pop_back();
    ReportFile(result == kOverlayCannotOpen ? kMsgErrorOpening : kMsgHeaderCheck, path);
    return 0;
  }
  if (result == kOverlayBadRecord) ReportFile(kMsgDamaged, path);
  SortListForSave();
  Changed();
  return number;
}

bool RemoveOverlay(int number) {
  OverlaySetState& s = Overlays();
  if (!ValidNumber(number)) return false;
  s.paths.erase(s.paths.begin() + number - 1);
  s.accents.erase(s.accents.begin() + number - 1);
  // Later overlays move up one number.
  std::erase_if(s.events, [&](const LoadedEvent& e) { return e.overlay == number; });
  for (LoadedEvent& e : s.events)
    if (e.overlay > number) --e.overlay;
  Changed();
  return true;
}

bool MoveOverlay(int number, int direction) {
  OverlaySetState& s = Overlays();
  int other = number + direction;
  if ((direction != -1 && direction != 1) || !ValidNumber(number) || !ValidNumber(other)) return false;
  std::swap(s.paths[static_cast<size_t>(number - 1)], s.paths[static_cast<size_t>(other - 1)]);
  std::swap(s.accents[static_cast<size_t>(number - 1)], s.accents[static_cast<size_t>(other - 1)]);
  for (LoadedEvent& e : s.events) {
    if (e.overlay == number) e.overlay = other;
    else if (e.overlay == other) e.overlay = number;
  }
  // As if loaded in the new order: by overlay, then in the save order.
  std::stable_sort(s.events.begin(), s.events.end(),
                   [](const LoadedEvent& a, const LoadedEvent& b) { return a.overlay < b.overlay; });
  SortListForSave();
  Changed();
  return true;
}

void RemoveAllOverlays() {
  OverlaySetState& s = Overlays();
  s.paths.clear();
  s.accents.clear();
  s.events.clear();
  Changed();
}

void ReloadAllOverlays() {
  OverlaySetState& s = Overlays();
  s.events.clear();
  for (int n = 1; n <= OverlayCount(); ++n) LoadInto(n, s.paths[static_cast<size_t>(n - 1)]);
  SortListForSave();
  Changed();
}

std::string OverlayNameOfPath(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  std::string title = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = title.rfind('.');
  return dot == std::string::npos ? title : title.substr(0, dot);
}

std::string OverlayName(int number) {
  return ValidNumber(number) ? OverlayNameOfPath(Overlays().paths[static_cast<size_t>(number - 1)]) : std::string();
}

const Accent& OverlayAccent(int number) {
  static const Accent none;
  return ValidNumber(number) ? Overlays().accents[static_cast<size_t>(number - 1)] : none;
}

std::vector<size_t> OverlayEventPositions(int number, int order) {
  const OverlaySetState& s = Overlays();
  std::vector<size_t> out;
  for (size_t i = 0; i < s.events.size(); ++i)
    if (s.events[i].overlay == number) out.push_back(i);
  std::stable_sort(out.begin(), out.end(),
                   [&](size_t a, size_t b) { return ListOrderLess(s.events[a].event, s.events[b].event, order); });
  return out;
}

bool SaveOverlay(int number, const Accent* newAccent) {
  if (!ValidNumber(number)) return false;
  const std::string& path = Overlays().paths[static_cast<size_t>(number - 1)];
  if (!WriteOverlay(path, EventsOf(number), newAccent)) {
    ReportFile(kMsgErrorOpening, path);
    return false;
  }
  if (newAccent) Overlays().accents[static_cast<size_t>(number - 1)] = *newAccent;
  return true;
}

bool SaveNewOverlay(const std::string& path, const std::vector<OverlayEvent>& events, const Accent& accent) {
  if (FileExists(path)) {
    if (ShowMessage(std::string(StringText(kMsgReplace)), MsgIcon::Warning, MsgButtons::OkCancel) != MsgAnswer::Ok)
      return false;
  }
  OverlayImage image;
  image.header.accent = accent;
  image.events = events;
  SortForSave(image.events);
  if (!WriteFileReplacing(path, SerializeOverlay(image))) {
    ReportFile(kMsgErrorCreating, path);
    return false;
  }
  return true;
}

int NewOverlay(const std::string& path) {
  if (OverlayCount() >= kMaxOverlays) return 0;
  if (!SaveNewOverlay(path, {}, Accent{})) return 0;
  return AddOverlay(path);
}

namespace {

// Saves the overlay of a changed list and reloads the set.
bool SaveAndReload(int number) {
  bool ok = SaveOverlay(number);
  ReloadAllOverlays();
  return ok;
}

}  // namespace

bool AddEventToOverlay(int number, const OverlayEvent& e) {
  if (!ValidNumber(number)) return false;
  Overlays().events.push_back(LoadedEvent{number, e});
  return SaveAndReload(number);
}

bool ReplaceEvent(size_t position, const OverlayEvent& e) {
  OverlaySetState& s = Overlays();
  if (position >= s.events.size()) return false;
  s.events[position].event = e;
  return SaveAndReload(s.events[position].overlay);
}

namespace {

bool RemoveAt(size_t position) {
  OverlaySetState& s = Overlays();
  int number = s.events[position].overlay;
  s.events.erase(s.events.begin() + static_cast<long>(position));
  return SaveAndReload(number);
}

}  // namespace

bool DeleteEvent(size_t position) {
  if (position >= Overlays().events.size()) return false;
  if (ShowMessage(std::string(StringText(kMsgDeleteEntry)), MsgIcon::Question, MsgButtons::OkCancel) != MsgAnswer::Ok)
    return false;
  return RemoveAt(position);
}

void CopyEvent(size_t position) {
  OverlaySetState& s = Overlays();
  if (position < s.events.size()) s.clipboard = s.events[position];
}

bool CutEvent(size_t position) {
  if (position >= Overlays().events.size()) return false;
  CopyEvent(position);
  return DeleteEvent(position);
}

bool PasteEvent(int number) {
  OverlaySetState& s = Overlays();
  if (!s.clipboard || !ValidNumber(number)) return false;
  return AddEventToOverlay(number, s.clipboard->event);
}

bool SetOverlayAccent(int number, const Accent& accent) {
  if (!ValidNumber(number)) return false;
  bool ok = SaveOverlay(number, &accent);
  ReloadAllOverlays();
  return ok;
}

bool CanClearAccent(int number) {
  const Accent& a = OverlayAccent(number);
  return a.highlight != 0 || (a.flags & 0xFFE0) != 0;
}

bool ClearOverlayAccent(int number) { return SetOverlayAccent(number, Accent{}); }

int OverlayListOrder() {
  std::string value = RegReadSetting("Configuration", "OvlSort");
  if (value == "0") return kSortAlphabetical;
  if (value == "1") return kSortDescendingDate;
  return kSortAscendingDate;
}

void SetOverlayListOrder(int order) {
  if (order < 0 || order > 2) return;
  RegWriteSetting("Configuration", "OvlSort", std::to_string(order));
}

// ---- standard overlays ----------------------------------------------------------------------

const std::vector<StandardOverlay>& StandardOverlays() {
  static const std::vector<StandardOverlay> list = {
      {"USA_HDAY.DAT", "Holidays (USA).kov"},       {"FRA_HDAY.DAT", "Holidays (France).kov"},
      {"CAN_HDAY.DAT", "Holidays (Canada).kov"},    {"GBR_HDAY.DAT", "Holidays (UK).kov"},
      {"CHRSTIAN.DAT", "Holidays (Christian).kov"}, {"JEWISH.DAT", "Holidays (Jewish).kov"},
      {"SAMPLE.DAT", "Sample.kov"},
  };
  return list;
}

std::vector<std::string> StandardOverlayPaths(const std::string& dataFolder, HomeCountry country) {
  std::vector<std::string> names;
  switch (country) {
    case HomeCountry::Usa: names.push_back("Holidays (USA).kov"); break;
    case HomeCountry::France: names.push_back("Holidays (France).kov"); break;
    case HomeCountry::Canada: names.push_back("Holidays (Canada).kov"); break;
    case HomeCountry::Uk: names.push_back("Holidays (UK).kov"); break;
    case HomeCountry::None: break;
  }
  for (const char* name : {"Holidays (Christian).kov", "Holidays (Jewish).kov", "Sample.kov"}) names.push_back(name);
  std::vector<std::string> paths;
  for (const std::string& n : names) paths.push_back(JoinPath(JoinPath(dataFolder, "Overlays"), n));
  return paths;
}

bool PrepareSampleOverlay(const std::string& path, int month) {
  if (month < 1 || month > 12) return false;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, size_t{16} << 20) || bytes.size() < kOverlayHeaderSize) return false;
  if (std::memcmp(bytes.data(), "KOV", 3) != 0) return false;
  uint32_t count = ReadU32LE(bytes.data() + 28);
  size_t pos = kOverlayHeaderSize;
  std::vector<size_t> records;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - pos < kEventFixedSize + 1) return false;
    records.push_back(pos);
    pos += kEventFixedSize;
    const void* zero = std::memchr(bytes.data() + pos, 0, bytes.size() - pos);
    if (!zero) return false;
    size_t len = static_cast<size_t>(static_cast<const uint8_t*>(zero) - (bytes.data() + pos));
    if (len > 120) return false;
    pos += len + 1;
  }
  for (size_t r : records) {
    // Events defined by Jewish dates keep their Jewish month.
    if (!IsJewishKind(ReadU16LE(bytes.data() + r))) PutU16LE(bytes.data() + r + 4, static_cast<uint16_t>(month));
  }
  return WriteFileReplacing(path, bytes);
}

void SetUpStandardOverlays(const std::string& dataFolder, HomeCountry country, int currentMonth) {
  for (const std::string& path : StandardOverlayPaths(dataFolder, country)) {
    if (OverlayNameOfPath(path) == "Sample") PrepareSampleOverlay(path, currentMonth);
    AddOverlay(path);
  }
}

}  // namespace kv
