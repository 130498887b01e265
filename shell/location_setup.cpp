#include "shell/location_setup.h"

#include <utility>

#include "resources/strings.h"

namespace kv {
namespace {

constexpr int kNoLocationSuffix = 1187;
constexpr int kNeedName = 28503;
constexpr int kNeedZone = 28504;
constexpr int kStepLines[kWelcomeSteps] = {28506, 28507, 28508};
constexpr int kMarkDone = 28509;
constexpr int kMarkSkipped = 28510;

}  // namespace

void LocationList::Load(std::vector<LocationRecord> list, const std::string& current) {
  records = std::move(list);
  shown.clear();
  selected = 0;
  listChanged = choiceChanged = false;
  for (size_t i = 0; i < records.size(); ++i) {
    shown.push_back(static_cast<int>(i));
    if (selected == 0 && !current.empty() && records[i].name == current) selected = static_cast<int>(shown.size());
  }
}

const LocationRecord* LocationList::Selected() const {
  if (selected <= 0 || selected > static_cast<int>(shown.size())) return nullptr;
  return &records[static_cast<size_t>(shown[static_cast<size_t>(selected - 1)])];
}

void LocationList::Choose(int entry) {
  if (entry < 0 || entry > static_cast<int>(shown.size())) entry = 0;
  if (entry != selected) choiceChanged = true;
  selected = entry;
}

int LocationList::Add(const LocationRecord& record) {
  records.push_back(record);
  shown.push_back(static_cast<int>(records.size() - 1));
  selected = static_cast<int>(shown.size());
  listChanged = choiceChanged = true;
  return selected;
}

void LocationList::Replace(const LocationRecord& record) {
  if (selected <= 0 || selected > static_cast<int>(shown.size())) return;
  records[static_cast<size_t>(shown[static_cast<size_t>(selected - 1)])] = record;
  listChanged = choiceChanged = true;
}

void LocationList::Remove() {
  if (selected <= 0 || selected > static_cast<int>(shown.size())) return;
  records[static_cast<size_t>(shown[static_cast<size_t>(selected - 1)])].zone = -1;
  shown.erase(shown.begin() + (selected - 1));
  selected = 0;
  listChanged = true;
}

std::vector<std::string> LocationList::Names() const {
  std::vector<std::string> names;
  for (int i : shown) names.push_back(records[static_cast<size_t>(i)].name);
  return names;
}

LocationOutcome FinishLocationList(const LocationList& list, bool fromMenu) {
  LocationOutcome out;
  out.writeFile = list.listChanged;
  if (fromMenu && list.choiceChanged) {
    out.changePoint = true;
    if (const LocationRecord* r = list.Selected()) out.point = *r;
  }
  return out;
}

bool LocationCancelAllowed(const CalendarConfig& config) { return config.location.zone != 0; }

void StorePointOfReference(CalendarConfig& config, const LocationRecord* record) {
  if (!record) {
    config.locationName.clear();
    return;
  }
  config.locationName = record->name.substr(0, kLocationNameMax);
  config.location.latitude = record->Latitude();
  config.location.longitude = record->Longitude();
  // The configuration keeps the zone in one byte; the zone table's identifiers fit in it.
  config.location.zone = static_cast<uint8_t>(record->zone > 0 && record->zone < 256 ? record->zone : 0);
}

std::vector<const ZoneRecord*> PickableZones(const std::vector<ZoneRecord>& table) {
  std::vector<const ZoneRecord*> zones;
  for (const ZoneRecord& z : table)
    if (z.flag == 0) zones.push_back(&z);
  return zones;
}

int PickableZoneIndex(const std::vector<const ZoneRecord*>& zones, int id) {
  for (size_t i = 0; i < zones.size(); ++i)
    if (zones[i]->id == id) return static_cast<int>(i);
  return -1;
}

int CheckLocationName(const std::string& name) {
  return name.find_first_not_of(" \t") == std::string::npos ? kNeedName : 0;
}

int CheckLocationZone(int zone) { return zone > 0 ? 0 : kNeedZone; }

std::string DateTimeControlPanelCommand(const std::string& systemFolder) {
  return FormatText("%s\\control.exe", systemFolder.c_str()) + " timedate.cpl,,1";
}

void RecordWelcomeStep(WelcomeProgress& progress, bool available, bool done, bool hasLocation, CalendarConfig& config) {
  if (progress.Finished()) return;
  int step = progress.next++;
  progress.marks[static_cast<size_t>(step)] = available && done ? WelcomeMark::Done : WelcomeMark::Skipped;
  if (step != 0) return;
  progress.noLocation = !hasLocation;
  if (hasLocation) {
    config.moonPhases = 2;     // quarter phases with moon icons
    config.sunMoonHidden = 0;  // the day view's sun and moon box shown
  }
}

std::string WelcomeStepLine(const WelcomeProgress& progress, int step) {
  if (step < 0 || step >= kWelcomeSteps) return {};
  std::string line(StringText(kStepLines[step]));
  if (step == 0 && progress.noLocation && progress.marks[0] != WelcomeMark::Pending) line += StringText(kNoLocationSuffix);
  return line;
}

std::string WelcomeMarkText(WelcomeMark mark) {
  switch (mark) {
    case WelcomeMark::Done: return std::string(StringText(kMarkDone));
    case WelcomeMark::Skipped: return std::string(StringText(kMarkSkipped));
    default: return {};
  }
}

}  // namespace kv
