#include "shell/config.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"

namespace kv {
namespace {

constexpr char kMagic[6] = {'K', 'V', 'C', 'A', 'L', '\0'};
constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kPalette[8] = {0xFACDAF, 0xFAD7E6, 0xD9D7FA, 0xAFE6FA, 0xC3FAFA, 0xAFFAD2, 0xFFFFD2, 0xF0CDF0};
constexpr uint16_t kDefaultMargin = 720;  // twips: half an inch

// Offsets of the fields inside the 4448-byte image.
enum : size_t {
  kOffVersion = 6,
  kOffFirstUse = 8,
  kOffFrame = 12,
  kOffCalendar = 28,
  kOffNotes = 44,
  kOffSchedule = 60,
  kOffToDo = 76,
  kOffMapPosition = 92,
  kOffPhonebookPosition = 96,
  kOffZOrder = 100,
  kOffActive = 106,
  kOffStates = 108,
  kOffView = 114,
  kOffOpenWindows = 116,
  kOffPhonebookPeople = 117,
  kOffColours = 120,
  kOffCustomColours = 140,
  kOffOptions = 272,
  kOffTodoLogFile = 308,
  kOffPhonebookLast = 564,
  kOffMapFlags = 590,
  kOffLocationName = 592,
  kOffLocation = 656,
  kOffDatabaseFolder = 846,
  kOffScreenFonts = 1102,
  kOffPrinterFonts = 2190,
  kOffPageLayouts = 3550,
  kOffSelectedOverlay = 4190,
  kOffOverlayCount = 4446,
};

template <size_t N>
void ReadBytes(const uint8_t* p, std::array<uint8_t, N>& out) {
  std::memcpy(out.data(), p, N);
}
template <size_t N>
void PutBytes(uint8_t* p, const std::array<uint8_t, N>& in) {
  std::memcpy(p, in.data(), N);
}

Placement ReadPlacement(const uint8_t* p) {
  return {ReadI32LE(p), ReadI32LE(p + 4), ReadI32LE(p + 8), ReadI32LE(p + 12)};
}
void PutPlacement(uint8_t* p, const Placement& v) {
  PutI32LE(p, v.x), PutI32LE(p + 4, v.y), PutI32LE(p + 8, v.width), PutI32LE(p + 12, v.height);
}
Position16 ReadPosition(const uint8_t* p) { return {ReadI16LE(p), ReadI16LE(p + 2)}; }
void PutPosition(uint8_t* p, const Position16& v) { PutI16LE(p, v.x), PutI16LE(p + 2, v.y); }

FontRecord ReadFont(const uint8_t* p) {
  FontRecord f;
  ReadBytes(p, f.kept);
  f.pointSize = ReadU16LE(p);
  f.weight = ReadU16LE(p + 2);
  f.charSet = p[4];
  f.pitchAndFamily = p[5];
  f.italic = p[6];
  f.face = ReadFixedText(p + 39, 32);
  return f;
}
void PutFont(uint8_t* p, const FontRecord& f) {
  PutBytes(p, f.kept);
  PutU16LE(p, f.pointSize);
  PutU16LE(p + 2, f.weight);
  p[4] = f.charSet;
  p[5] = f.pitchAndFamily;
  p[6] = f.italic;
  PutFixedText(p + 39, 32, f.face);
}

PageLayout ReadLayout(const uint8_t* p) { return ParsePageLayout(p); }
void PutLayout(uint8_t* p, const PageLayout& l) { PutPageLayout(p, l); }

ConfigLocation ReadLocation(const uint8_t* p) {
  ConfigLocation r;
  ReadBytes(p, r.kept);
  r.latitude = ReadF64LE(p);
  r.longitude = ReadF64LE(p + 8);
  r.zone = p[36];
  r.systemZone = p[37];
  return r;
}
void PutLocation(uint8_t* p, const ConfigLocation& r) {
  PutBytes(p, r.kept);
  PutF64LE(p, r.latitude);
  PutF64LE(p + 8, r.longitude);
  p[36] = r.zone;
  p[37] = r.systemZone;
}

// The single-byte options from offset 272 to 307, in file order. Two-byte fields sit between
// them and are handled on their own.
struct ByteOption {
  size_t offset;
  uint8_t CalendarConfig::*field;
};
constexpr ByteOption kByteOptions[] = {
    {272, &CalendarConfig::showAdjacentMonths}, {273, &CalendarConfig::weekStart},
    {274, &CalendarConfig::calendarSystem},     {275, &CalendarConfig::moonPhases},
    {276, &CalendarConfig::saturdayRed},        {277, &CalendarConfig::sundayRed},
    {280, &CalendarConfig::summaryStartHour},   {281, &CalendarConfig::summaryEndHour},
    {282, &CalendarConfig::alarmLead},          {283, &CalendarConfig::schedulerIncrement},
    {284, &CalendarConfig::displayOnMonth},     {285, &CalendarConfig::todoSortByPriority},
    {286, &CalendarConfig::todoView},           {287, &CalendarConfig::todoLog},
    {290, &CalendarConfig::todoViewPending},    {293, &CalendarConfig::timeChanges},
    {294, &CalendarConfig::notesIndicator},     {295, &CalendarConfig::alarmChoice},
    {296, &CalendarConfig::sunMoonHidden},      {297, &CalendarConfig::calendarMode},
    {298, &CalendarConfig::julianDay},          {299, &CalendarConfig::weekNumbers},
    {300, &CalendarConfig::printLayout},        {301, &CalendarConfig::printOption},
    {302, &CalendarConfig::candleLighting},     {303, &CalendarConfig::candleMinutes},
    {304, &CalendarConfig::havdalah},           {305, &CalendarConfig::havdalahMinutes},
    {306, &CalendarConfig::overlayTabsHidden},  {307, &CalendarConfig::todoLogNotes},
};

constexpr uint8_t DeskLayout::*kSizeStates[6] = {
    &DeskLayout::frameState,    &DeskLayout::calendarState,  &DeskLayout::notesState,
    &DeskLayout::scheduleState, &DeskLayout::phonebookState, &DeskLayout::todoState,
};

FontRecord MakeFont(const char* face, uint16_t size, uint16_t weight) {
  FontRecord f;
  f.pointSize = size;
  f.weight = weight;
  f.pitchAndFamily = 0x20;
  f.face = face;
  return f;
}

}  // namespace

Placement* DeskLayout::PlacementOf(uint8_t code) {
  return const_cast<Placement*>(static_cast<const DeskLayout*>(this)->PlacementOf(code));
}
const Placement* DeskLayout::PlacementOf(uint8_t code) const {
  switch (code) {
    case kDeskCalendar: return &calendar;
    case kDeskNotes: return &notes;
    case kDeskSchedule: return &schedule;
    case kDeskToDo: return &todo;
    default: return nullptr;
  }
}

Position16* DeskLayout::PositionOf(uint8_t code) {
  return const_cast<Position16*>(static_cast<const DeskLayout*>(this)->PositionOf(code));
}
const Position16* DeskLayout::PositionOf(uint8_t code) const {
  return code == kDeskPhonebook ? &phonebookPosition : code == kDeskMap ? &mapPosition : nullptr;
}

uint8_t* DeskLayout::SizeStateOf(uint8_t code) {
  return const_cast<uint8_t*>(static_cast<const DeskLayout*>(this)->SizeStateOf(code));
}
const uint8_t* DeskLayout::SizeStateOf(uint8_t code) const {
  switch (code) {
    case kDeskCalendar: return &calendarState;
    case kDeskNotes: return &notesState;
    case kDeskSchedule: return &scheduleState;
    case kDeskToDo: return &todoState;
    case kDeskPhonebook: return &phonebookState;
    default: return nullptr;
  }
}
uint8_t DeskLayout::SavedSizeState(uint8_t code) const {
  const uint8_t* state = SizeStateOf(code);
  return state ? *state : uint8_t{kRestored};
}

CalendarConfig ParseCalendarConfig(const ConfigImage& image) {
  const uint8_t* p = image.data();
  CalendarConfig c;
  c.version = ReadU16LE(p + kOffVersion);
  c.firstUse = p[kOffFirstUse];
  ReadBytes(p + 9, c.reserved9);
  c.desk.frame = ReadPlacement(p + kOffFrame);
  c.desk.calendar = ReadPlacement(p + kOffCalendar);
  c.desk.notes = ReadPlacement(p + kOffNotes);
  c.desk.schedule = ReadPlacement(p + kOffSchedule);
  c.desk.todo = ReadPlacement(p + kOffToDo);
  c.desk.mapPosition = ReadPosition(p + kOffMapPosition);
  c.desk.phonebookPosition = ReadPosition(p + kOffPhonebookPosition);
  ReadBytes(p + kOffZOrder, c.desk.zOrder);
  c.desk.activeWindow = ReadU16LE(p + kOffActive);
  for (size_t i = 0; i < 6; ++i) c.desk.*kSizeStates[i] = p[kOffStates + i];
  c.desk.view = ReadU16LE(p + kOffView);
  c.desk.openWindows = p[kOffOpenWindows];
  c.desk.phonebookPeople = p[kOffPhonebookPeople];
  ReadBytes(p + 118, c.desk.reserved118);
  c.themeColour = ReadU32LE(p + kOffColours);
  c.shadowColour = ReadU32LE(p + kOffColours + 4);
  c.gridColour = ReadU32LE(p + kOffColours + 8);
  c.highlightColour = ReadU32LE(p + kOffColours + 12);
  ReadBytes(p + 136, c.reserved136);
  for (size_t i = 0; i < 16; ++i) c.customColours[i] = ReadU32LE(p + kOffCustomColours + 4 * i);
  ReadBytes(p + 204, c.reserved204);
  for (const ByteOption& o : kByteOptions) c.*o.field = p[o.offset];
  c.schedulerHour = ReadU16LE(p + 278);
  c.todoRemoveAfterDays = ReadU16LE(p + 288);
  ReadBytes(p + 291, c.reserved291);
  c.todoLogFile = ReadFixedText(p + kOffTodoLogFile, 256);
  c.phonebookLastId = ReadU16LE(p + kOffPhonebookLast);
  c.phonebookLastName = ReadFixedText(p + kOffPhonebookLast + 2, 24);
  c.mapFlags = ReadU16LE(p + kOffMapFlags);
  c.locationName = ReadFixedText(p + kOffLocationName, 64);
  c.location = ReadLocation(p + kOffLocation);
  ReadBytes(p + 744, c.reserved744);
  c.databaseFolder = ReadFixedText(p + kOffDatabaseFolder, 256);
  for (size_t i = 0; i < 8; ++i) {
    c.screenFonts[i] = ReadFont(p + kOffScreenFonts + i * kFontRecordSize);
    c.printerFonts[i] = ReadFont(p + kOffPrinterFonts + i * kFontRecordSize);
  }
  ReadBytes(p + 3278, c.reserved3278);
  for (size_t i = 0; i < 10; ++i) c.pageLayouts[i] = ReadLayout(p + kOffPageLayouts + i * kPageLayoutSize);
  c.selectedOverlay = ReadFixedText(p + kOffSelectedOverlay, 256);
  c.overlayCount = ReadU16LE(p + kOffOverlayCount);
  return c;
}

ConfigImage SerializeCalendarConfig(const CalendarConfig& c) {
  ConfigImage image{};
  uint8_t* p = image.data();
  std::memcpy(p, kMagic, sizeof kMagic);
  PutU16LE(p + kOffVersion, kConfigVersion);
  p[kOffFirstUse] = c.firstUse;
  PutBytes(p + 9, c.reserved9);
  PutPlacement(p + kOffFrame, c.desk.frame);
  PutPlacement(p + kOffCalendar, c.desk.calendar);
  PutPlacement(p + kOffNotes, c.desk.notes);
  PutPlacement(p + kOffSchedule, c.desk.schedule);
  PutPlacement(p + kOffToDo, c.desk.todo);
  PutPosition(p + kOffMapPosition, c.desk.mapPosition);
  PutPosition(p + kOffPhonebookPosition, c.desk.phonebookPosition);
  PutBytes(p + kOffZOrder, c.desk.zOrder);
  PutU16LE(p + kOffActive, c.desk.activeWindow);
  for (size_t i = 0; i < 6; ++i) p[kOffStates + i] = c.desk.*kSizeStates[i];
  PutU16LE(p + kOffView, c.desk.view);
  p[kOffOpenWindows] = c.desk.openWindows;
  p[kOffPhonebookPeople] = c.desk.phonebookPeople;
  PutBytes(p + 118, c.desk.reserved118);
  PutU32LE(p + kOffColours, c.themeColour);
  PutU32LE(p + kOffColours + 4, c.shadowColour);
  PutU32LE(p + kOffColours + 8, c.gridColour);
  PutU32LE(p + kOffColours + 12, c.highlightColour);
  PutBytes(p + 136, c.reserved136);
  for (size_t i = 0; i < 16; ++i) PutU32LE(p + kOffCustomColours + 4 * i, c.customColours[i]);
  PutBytes(p + 204, c.reserved204);
  for (const ByteOption& o : kByteOptions) p[o.offset] = c.*o.field;
  PutU16LE(p + 278, c.schedulerHour);
  PutU16LE(p + 288, c.todoRemoveAfterDays);
  PutBytes(p + 291, c.reserved291);
  PutFixedText(p + kOffTodoLogFile, 256, c.todoLogFile);
  PutU16LE(p + kOffPhonebookLast, c.phonebookLastId);
  PutFixedText(p + kOffPhonebookLast + 2, 24, c.phonebookLastName);
  PutU16LE(p + kOffMapFlags, c.mapFlags);
  PutFixedText(p + kOffLocationName, 64, c.locationName);
  PutLocation(p + kOffLocation, c.location);
  PutBytes(p + 744, c.reserved744);
  PutFixedText(p + kOffDatabaseFolder, 256, c.databaseFolder);
  for (size_t i = 0; i < 8; ++i) {
    PutFont(p + kOffScreenFonts + i * kFontRecordSize, c.screenFonts[i]);
    PutFont(p + kOffPrinterFonts + i * kFontRecordSize, c.printerFonts[i]);
  }
  PutBytes(p + 3278, c.reserved3278);
  for (size_t i = 0; i < 10; ++i) PutLayout(p + kOffPageLayouts + i * kPageLayoutSize, c.pageLayouts[i]);
  PutFixedText(p + kOffSelectedOverlay, 256, c.selectedOverlay);
  PutU16LE(p + kOffOverlayCount, c.overlayCount);
  return image;
}

bool HasConfigHeader(const uint8_t* bytes, size_t size) {
  return size >= 10 && std::memcmp(bytes, kMagic, sizeof kMagic) == 0 && ConfigVersionOf(bytes) >= kOldestConfigVersion;
}

uint16_t ConfigVersionOf(const uint8_t* bytes) { return ReadU16LE(bytes + kOffVersion); }

void ConvertVersion6Image(ConfigImage& image) {
  uint8_t* p = image.data();
  // Every old value is taken before the block is rewritten: old and new places overlap.
  const ConfigImage old = image;
  const uint8_t* o = old.data();
  PutPosition(p + kOffMapPosition, {10, 10});
  PutI16LE(p + kOffPhonebookPosition, static_cast<int16_t>(ReadU16LE(o + 104)));
  PutI16LE(p + kOffPhonebookPosition + 2, static_cast<int16_t>(ReadU16LE(o + 116)));
  std::memcpy(p + kOffZOrder, o + 92, 5);
  p[kOffZOrder + 5] = 0;
  PutU16LE(p + kOffActive, o[98]);
  p[kOffStates] = o[97];
  const size_t oldStates[5] = {107, 109, 111, 112, 113};
  for (size_t i = 0; i < 5; ++i) p[kOffStates + 1 + i] = o[oldStates[i]];
  PutU16LE(p + kOffView, ReadU16LE(o + 114));
  p[kOffPhonebookPeople] = o[106];
  uint8_t open = 0;
  for (int bit = 0; bit < 4; ++bit)
    if (o[100 + bit]) open |= static_cast<uint8_t>(1 << bit);
  p[kOffOpenWindows] = open;
  p[118] = p[119] = 0;  // reserved in version 7; held the old block's leftovers
  std::memcpy(p + kOffLocationName, o + 208, 64);
  std::memcpy(p + kOffLocation, o + 232, kLocationRecordSize);
  std::memset(p + 208, 0, 272 - 208);
  PutU16LE(p + kOffMapFlags, 27);
}

std::string DefaultDatabaseFolder(const std::string& dataFolder) { return dataFolder + "\\Databases\\Default"; }
std::string FallbackDatabaseFolder(const std::string& dataFolder) { return dataFolder + "\\Databases\\(default)"; }

CalendarConfig DefaultCalendarConfig(const DefaultConfigInputs& in) {
  CalendarConfig c;
  c.firstUse = 1;
  c.desk.frame = {10, 10, in.screenWidth - 20, in.screenHeight - 20};
  c.desk.openWindows = kOpenNotes | kOpenSchedule | kOpenToDo;
  c.themeColour = 0x00FACDB4;
  c.shadowColour = in.shadowColour;
  c.gridColour = in.gridColour;
  c.highlightColour = 0x000000FF;
  c.customColours.fill(kWhite);
  c.showAdjacentMonths = 1;
  c.sundayRed = 1;
  c.schedulerHour = 8;
  c.summaryStartHour = 6;
  c.summaryEndHour = 21;
  c.alarmLead = 5;
  c.schedulerIncrement = 15;
  c.todoLog = 1;
  c.todoRemoveAfterDays = 1;
  c.timeChanges = 2;
  c.notesIndicator = 1;
  c.sunMoonHidden = 1;
  c.candleMinutes = 18;
  c.todoLogNotes = 1;
  c.todoLogFile = "To Do Archive.txt";
  c.mapFlags = 27;
  c.location.zone = in.zone;
  c.databaseFolder = DefaultDatabaseFolder(in.dataFolder);
  FillDefaultScreenFonts(c);
  for (PageLayout& l : c.pageLayouts) l.topMargin = l.leftMargin = l.rightMargin = l.bottomMargin = kDefaultMargin;
  return c;
}

void FillCustomColours(CalendarConfig& config) {
  for (size_t i = 0; i < config.customColours.size(); ++i)
    if (config.customColours[i] == kWhite) config.customColours[i] = kPalette[i % 8];
}

void FillDefaultScreenFonts(CalendarConfig& config) {
  if (config.screenFonts[0].pointSize != 0) return;
  config.screenFonts[0] = MakeFont("Verdana", 16, 700);
  config.screenFonts[1] = MakeFont("Arial", 9, 700);
  config.screenFonts[2] = MakeFont("Arial", 8, 700);
  config.screenFonts[3] = MakeFont("Arial", 9, 700);
  config.screenFonts[4] = MakeFont("Arial", 10, 400);
  config.screenFonts[5] = MakeFont("Arial", 9, 400);
}

void ApplyLoadRules(CalendarConfig& config, const std::string& dataFolder) {
  if (config.desk.view == 0) config.desk.view = kMonthView;
  if (config.databaseFolder.empty()) config.databaseFolder = FallbackDatabaseFolder(dataFolder);
  FillCustomColours(config);
  FillDefaultScreenFonts(config);
}

std::vector<std::string> SplitOverlayTail(const uint8_t* bytes, size_t size, size_t count) {
  std::vector<std::string> names;
  size_t start = 0;
  while (names.size() < count && start < size) {
    const void* sep = std::memchr(bytes + start, kTailSeparator, size - start);
    if (!sep) break;  // a name cut off by the file's end
    size_t end = static_cast<size_t>(static_cast<const uint8_t*>(sep) - bytes);
    size_t length = end - start;
    if (length <= kOverlayNameMax)
      names.emplace_back(reinterpret_cast<const char*>(bytes + start), length);
    else
      names.emplace_back();  // keeps the count of names in step; dropped below
    start = end + 1;
  }
  names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
  return names;
}

std::vector<uint8_t> JoinOverlayTail(const std::vector<std::string>& names) {
  std::vector<uint8_t> tail;
  for (const std::string& name : names) {
    size_t n = std::min(name.size(), kOverlayNameMax);
    tail.insert(tail.end(), name.begin(), name.begin() + static_cast<long>(n));
    tail.push_back(kTailSeparator);
  }
  return tail;
}

FontChoice EffectiveFont(const FontRecord& record, int slot, bool printer) {
  FontChoice f;
  if (record.pointSize != 0) {
    f.face = record.face;
    f.pointSize = record.pointSize;
    f.weight = record.weight;
    f.italic = record.italic != 0;
    f.charSet = record.charSet;
    f.pitchAndFamily = record.pitchAndFamily;
    return f;
  }
  // The built-in fallbacks: a serif (printer) or the small system face (screen) for the cell
  // slots 1-3, the plain face elsewhere; each slot has its own fixed size.
  static constexpr int kScreenPoints[8] = {16, 7, 7, 7, 8, 8, 8, 8};
  static constexpr int kPrinterPoints[8] = {16, 9, 8, 9, 10, 9, 10, 8};
  bool cellSlot = slot >= 1 && slot <= 3;
  int index = std::clamp(slot, 0, 7);
  if (printer) {
    f.face = cellSlot ? "Times New Roman" : "Arial";
    f.pitchAndFamily = cellSlot ? 16 : 0x20;
    f.pointSize = kPrinterPoints[index];
  } else {
    f.face = cellSlot ? "Small Fonts" : "MS Sans Serif";
    f.pitchAndFamily = 0x20;
    f.pointSize = kScreenPoints[index];
  }
  f.weight = slot == 0 ? 700 : 400;
  return f;
}

int FontPixelHeight(int pixelsPerInch, int pointSize) { return (pixelsPerInch * pointSize + 36) / 72; }

}  // namespace kv
