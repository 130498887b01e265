#include "sky/world_map_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "base/dialog_win.h"
#include "base/messages.h"
#include "base/win_handles.h"
#include "calendar/clock.h"
#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "resources/command_ids.h"
#include "resources/map_window_dialog.h"
#include "resources/strings.h"
#include "sky/map_compose.h"
#include "sky/map_picture.h"
#include "sky/map_projection.h"
#include "sky/map_sky.h"
#include "sky/world_map_layout.h"
#include "sky/zones.h"

namespace kv {
namespace {

constexpr int kMapW = kMapWidth;
constexpr int kMapH = kMapHeight;
constexpr DWORD kTipStyle = WS_POPUP | WS_BORDER;
// The receiver's watchdog: no sentence for a while.
constexpr UINT_PTR kGpsSilenceTimer = 200;
// The receiver tells of a fix only when its status changes: while the map follows it, a timer
// looks for a moved position every second.
constexpr UINT_PTR kGpsFollowTimer = 201;
constexpr UINT kGpsFollowMs = 1000;

// A location of the list with the pixel of its marker.
struct MapPlace {
  LocationRecord record;
  int x = 0, y = 0;
  bool visible = false;
};

struct MapState {
  WorldMapHooks hooks;
  HWND host = nullptr, map = nullptr, tip = nullptr;
  std::unique_ptr<Dialog> bar;
  int barHeight = 0;

  LocationRecord mapLocation;       // the map location (the GPS position in GPS mode)
  double latitude = 0, longitude = 0;
  LocationRecord savedLocation;     // the last clicked location, back when GPS mode ends
  double savedLatitude = 0, savedLongitude = 0;
  MapSource source = MapSource::Location;

  std::vector<MapPlace> places;
  std::vector<MapMarker> markers;   // what the mouse can hit, as drawn
  MapSky sky;
  DateStamp ut;
  std::vector<uint32_t> shading;    // for the UT day `shadingDay`, the sub-solar meridian at x = 374
  DateStamp shadingDay;
  int shadingChoice = 0;
  MapPicture composed;
  MapArt art;
  bool gpsSilent = false;           // the receiver's watchdog fired since its last report
  int hit = -1;                     // the marker under the mouse
  bool tracking = false;
};

MapState& State() {
  static MapState state;
  return state;
}

WorldMapHooks& Hooks() { return State().hooks; }

uint16_t Options() { return Hooks().options ? Hooks().options() : static_cast<uint16_t>(kMapShowSun | kMapShowMoon); }

const ZoneRecord* SystemZone() { return FindZone(Hooks().systemZone ? Hooks().systemZone() : 0); }

std::string DateText(const DateStamp& d) { return FormatShortDate(d.month, d.day, d.year); }
std::string TimeText(const DateStamp& d) { return FormatTimeOfDay(d.hour * 60 + d.minute, Regional()); }

// The bytes of a bitmap resource (its DIB), empty when the program has none.
std::span<const uint8_t> BitmapBytes(int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  HGLOBAL data = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  if (!bytes) return {};
  return {bytes, SizeofResource(module, found)};
}

// A plain picture of one colour, standing in for artwork the program lacks, so that the window
// still shows the sky and the places.
MapPicture PlainPicture(int width, int height, uint32_t colour) {
  return {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), colour)};
}

void LoadArt(MapArt& art) {
  if (LoadMapArt(BitmapBytes, art)) return;
  MapPicture* slots[] = {&art.world, &art.sun, &art.moon, &art.location, &art.mapLocation};
  const int widths[] = {kMapPictureWidth, kMapSunSize, kMapSunSize * kMapMoonFrames, kMapMarkerSize, kMapMarkerSize};
  const int heights[] = {kMapPictureHeight, kMapSunSize, kMapSunSize, kMapMarkerSize, kMapMarkerSize};
  const uint32_t colours[] = {0xFF3C6E9E, 0xFFFFD700, 0xFFE0E0E0, 0xFFFFD040, 0xFFFFFFFF};
  for (int i = 0; i < 5; ++i) {
    MapPicture& slot = *slots[i];
    if (slot.width != widths[i] || slot.height != heights[i] ||
        slot.pixels.size() != static_cast<size_t>(widths[i]) * static_cast<size_t>(heights[i]))
      slot = PlainPicture(widths[i], heights[i], colours[i]);
  }
}

// ---- the map location and the locations ---------------------------------------------------

void SetMapLocation(const LocationRecord& record) {
  MapState& s = State();
  s.mapLocation = record;
  s.latitude = record.Latitude();
  s.longitude = record.Longitude();
}

void LoadPlaces() {
  MapState& s = State();
  s.places.clear();
  std::vector<LocationRecord> list;
  if (!Hooks().locationsFile) return;
  ReadLocations(Hooks().locationsFile(), &list);
  // Every location of the file is kept: the shipped list alone holds several hundred.
  for (LocationRecord& record : list) {
    MapPlace place;
    place.record = std::move(record);
    place.x = MapX(place.record.Longitude());
    place.y = MapY(place.record.Latitude());
    place.visible = MapVisible(place.y);
    s.places.push_back(std::move(place));
  }
}

// The point of reference has no marker of its own: the map location's marker shows it.
bool SamePlace(const LocationRecord& a, const LocationRecord& b) {
  // Within a second of arc or so: the configuration keeps decimal degrees, the list seconds.
  return a.name == b.name && std::fabs(a.Latitude() - b.Latitude()) < 0.001 &&
         std::fabs(a.Longitude() - b.Longitude()) < 0.001;
}

// ---- the sky and the picture ---------------------------------------------------------------

DateStamp UtNow() { return UtFromSystemLocal(CurrentClock().LocalNow(), SystemZone()); }

void Compose() {
  MapState& s = State();
  MapScene scene;
  scene.options = Options();
  if (MapSunlightChoice(scene.options) != 0 && !s.shading.empty()) {
    scene.shading = s.shading;
    scene.shadingShift = ShadingShift(s.sky.sun.x);
  }
  scene.sunX = s.sky.sun.x, scene.sunY = s.sky.sun.y;
  scene.moonX = s.sky.moon.x, scene.moonY = s.sky.moon.y;
  scene.moonFrame = s.sky.moonFrame;
  // The sun or moon off the map (beyond the latitudes it shows) is not drawn.
  if (!s.sky.sun.visible) scene.options = WithMapBit(scene.options, kMapShowSun, false);
  if (!s.sky.moon.visible) scene.options = WithMapBit(scene.options, kMapShowMoon, false);
  std::vector<MapLocationPixel> pixels;
  s.markers.clear();
  if (scene.options & kMapShowLocations) {
    LocationRecord point = Hooks().pointOfReference ? Hooks().pointOfReference() : LocationRecord{};
    for (size_t i = 0; i < s.places.size(); ++i) {
      const MapPlace& place = s.places[i];
      if (!place.visible) continue;
      s.markers.push_back({place.x, place.y, static_cast<int>(i)});
      pixels.push_back({place.x, place.y, SamePlace(place.record, point)});
    }
  }
  scene.locations = pixels;
  scene.mapLatitude = s.latitude;
  scene.mapX = MapX(s.longitude);
  scene.mapY = MapY(s.latitude);
  // The GPS marker comes first: a location under it (as a receiver in a listed city) does not
  // hide it from the mouse.
  if (s.source == MapSource::Gps && s.latitude != 90.0 && MapVisible(scene.mapY))
    s.markers.insert(s.markers.begin(), {scene.mapX, scene.mapY, kGpsMarker});
  ComposeMap(s.art, scene, s.composed);
}

void ComputeSky() {
  MapState& s = State();
  s.ut = UtNow();
  s.sky = ComputeMapSky(s.ut, s.latitude, s.longitude);
  int sunlight = MapSunlightChoice(Options());
  bool sameDay = s.shadingDay.year == s.ut.year && s.shadingDay.month == s.ut.month && s.shadingDay.day == s.ut.day;
  if (!sameDay || sunlight != s.shadingChoice) s.shading.clear();
  if (sunlight && s.shading.empty()) {
    HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    s.shading = BuildShading(s.ut, sunlight == 2 ? Sunlight::Detail : Sunlight::Basic);
    SetCursor(old);
    s.shadingDay = s.ut;
    s.shadingChoice = sunlight;
  }
}

// ---- the control bar -----------------------------------------------------------------------

void SetBarText(int id, const std::string& text) {
  if (State().bar) State().bar->SetText(id, text);
}

void UpdateBar() {
  MapState& s = State();
  if (!s.bar) return;
  bool gps = s.source == MapSource::Gps;
  int status = gps && Hooks().gpsStatus && !s.gpsSilent ? Hooks().gpsStatus() : 0;
  if (!gps) status = 2;
  int zone = gps && Hooks().gpsZone ? Hooks().gpsZone() : s.mapLocation.zone;
  const ZoneRecord* mapZone = FindZone(zone);
  DateStamp local = MapLocalTime(CurrentClock().LocalNow(), SystemZone(), mapZone);
  std::string name = gps ? std::string(StringText(32602)) : s.mapLocation.name;
  SetBarText(IDC_MAP_TITLE, MapGroupTitle(name, DateText(local), TimeText(local), s.source, status));
  const int sunIds[] = {IDC_MAP_SUN_RISE, IDC_MAP_SUN_TRANSIT, IDC_MAP_SUN_SET, IDC_MAP_SUN_AZIMUTH, IDC_MAP_SUN_ALTITUDE};
  const int moonIds[] = {IDC_MAP_MOON_RISE, IDC_MAP_MOON_TRANSIT, IDC_MAP_MOON_SET, IDC_MAP_MOON_AZIMUTH,
                         IDC_MAP_MOON_ALTITUDE};
  bool shown = MapBarFieldsShown(gps, status) && s.latitude != 90.0;
  float biasHours = mapZone ? static_cast<float>(mapZone->bias) / 60.0f : 0.0f;
  bool daylight = mapZone && IsDaylightAt(*mapZone, local);
  for (int body = 0; body < 2; ++body) {
    MapBodyKind kind = body ? MapBodyKind::Moon : MapBodyKind::Sun;
    const int* ids = body ? moonIds : sunIds;
    std::string texts[5];
    if (shown) {
      MapRiseTransitSet times = MapRiseTransitSetAt(kind, local, s.latitude, s.longitude, biasHours, daylight);
      auto timeText = [&](int minutes) {
        return times.never ? std::string(StringText(32600)) : FormatTimeOfDay(minutes % 1440, Regional());
      };
      texts[0] = timeText(times.rise);
      texts[1] = timeText(times.transit);
      texts[2] = timeText(times.set);
      MapAngleTexts angles = MapBodyAngleTexts(body ? s.sky.moon : s.sky.sun, kind);
      texts[3] = angles.azimuth;
      texts[4] = angles.altitude;
    }
    for (int i = 0; i < 5; ++i) SetBarText(ids[i], texts[i]);
  }
}

void Refresh(bool reloadLocations) {
  MapState& s = State();
  if (reloadLocations) LoadPlaces();
  if (s.source == MapSource::Gps && Hooks().gpsFix) {
    double lat = 90.0, lon = 0.0;
    Hooks().gpsFix(lat, lon);
    s.latitude = lat, s.longitude = lon;
  }
  ComputeSky();
  Compose();
  UpdateBar();
  if (s.map) InvalidateRect(s.map, nullptr, FALSE);
}

void EndGpsMode() {
  MapState& s = State();
  if (s.source != MapSource::Gps) return;
  if (Hooks().stopGps) Hooks().stopGps();
  if (s.host) KillTimer(s.host, kGpsFollowTimer);
  s.source = MapSource::Location;
  s.mapLocation = s.savedLocation;
  s.latitude = s.savedLatitude, s.longitude = s.savedLongitude;
  if (s.bar) {
    CheckRadioButton(s.bar->hwnd(), IDC_MAP_SOURCE_LOCATION, IDC_MAP_SOURCE_GPS, IDC_MAP_SOURCE_LOCATION);
  }
}

void StartGpsMode() {
  MapState& s = State();
  if (s.source == MapSource::Gps) return;
  bool started = Hooks().startGps && Hooks().startGps(s.host, s.host);
  if (!started) {
    if (s.bar) CheckRadioButton(s.bar->hwnd(), IDC_MAP_SOURCE_LOCATION, IDC_MAP_SOURCE_GPS, IDC_MAP_SOURCE_LOCATION);
    return;
  }
  s.savedLocation = s.mapLocation;
  s.savedLatitude = s.latitude, s.savedLongitude = s.longitude;
  s.source = MapSource::Gps;
  s.gpsSilent = false;
  s.mapLocation.name = std::string(StringText(32602));
  s.latitude = 90.0, s.longitude = 0.0;
  SetTimer(s.host, kGpsFollowTimer, kGpsFollowMs, nullptr);
  Refresh(false);
}

// The receiver's position moved since the map was drawn: draw it again.
void FollowGps() {
  MapState& s = State();
  if (s.source != MapSource::Gps || !Hooks().gpsFix) return;
  double lat = 90.0, lon = 0.0;
  Hooks().gpsFix(lat, lon);
  if (lat != s.latitude || lon != s.longitude) Refresh(false);
}

class MapBar : public Dialog {
 public:
  MapBar() : Dialog(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAP_BAR)) {}

 protected:
  bool OnInit() override {
    uint16_t options = Options();
    SetChecked(IDC_MAP_SHOW_SUN, options & kMapShowSun);
    SetChecked(IDC_MAP_SHOW_MOON, options & kMapShowMoon);
    SetChecked(IDC_MAP_SHOW_LOCATIONS, options & kMapShowLocations);
    int light = MapSunlightChoice(options);
    CheckRadioButton(hwnd(), IDC_MAP_LIGHT_NONE, IDC_MAP_LIGHT_DETAIL, IDC_MAP_LIGHT_NONE + light);
    CheckRadioButton(hwnd(), IDC_MAP_SOURCE_LOCATION, IDC_MAP_SOURCE_GPS, IDC_MAP_SOURCE_LOCATION);
    On(IDC_MAP_SHOW_SUN, [this](int) { ShowBit(IDC_MAP_SHOW_SUN, kMapShowSun); });
    On(IDC_MAP_SHOW_MOON, [this](int) { ShowBit(IDC_MAP_SHOW_MOON, kMapShowMoon); });
    On(IDC_MAP_SHOW_LOCATIONS, [this](int) { ShowBit(IDC_MAP_SHOW_LOCATIONS, kMapShowLocations); });
    for (int choice = 0; choice < 3; ++choice)
      On(IDC_MAP_LIGHT_NONE + choice, [this, choice](int code) {
        if (code == BN_CLICKED && Checked(IDC_MAP_LIGHT_NONE + choice)) Store(WithMapSunlight(Options(), choice));
      });
    On(IDC_MAP_SOURCE_LOCATION, [this](int code) {
      if (code != BN_CLICKED || !Checked(IDC_MAP_SOURCE_LOCATION)) return;
      EndGpsMode();
      Refresh(false);
    });
    On(IDC_MAP_SOURCE_GPS, [this](int code) {
      if (code == BN_CLICKED && Checked(IDC_MAP_SOURCE_GPS)) StartGpsMode();
    });
    On(IDC_MAP_LOCATIONS, [](int) {
      if (!Hooks().configureLocations) return;
      Hooks().configureLocations(State().host);
      Refresh(true);
    });
    On(IDC_MAP_HELP, [](int) {
      if (Hooks().showHelp) Hooks().showHelp(State().host);
    });
    return true;
  }
  // The bar lives in the window: Esc and Enter do not close it.
  bool OnCancel() override { return false; }
  bool OnOk() override { return false; }

 private:
  void ShowBit(int id, uint16_t bit) { Store(WithMapBit(Options(), bit, Checked(id))); }
  void Store(uint16_t options) {
    if (options == Options()) return;
    if (Hooks().setOptions) Hooks().setOptions(options);
    ComputeSky();
    Compose();
    if (State().map) InvalidateRect(State().map, nullptr, FALSE);
  }
};

// ---- the host ------------------------------------------------------------------------------

void CreateHostParts(HWND host) {
  MapState& s = State();
  s.host = host;
  s.source = MapSource::Location;
  s.hit = -1;
  s.shading.clear();
  s.shadingDay = {};
  LoadArt(s.art);
  LocationRecord point = Hooks().pointOfReference ? Hooks().pointOfReference() : LocationRecord{};
  SetMapLocation(point);
  s.savedLocation = point;
  s.savedLatitude = s.latitude, s.savedLongitude = s.longitude;
  LoadPlaces();
  s.map = CreateWindowExA(0, "KVMap", "", WS_CHILD | WS_VISIBLE, 0, 0, kMapW, kMapH, host, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  s.bar = std::make_unique<MapBar>();
  HWND bar = s.bar->CreateModeless(host);
  if (bar) {
    RECT r;
    GetWindowRect(bar, &r);
    s.barHeight = r.bottom - r.top;
    SetWindowPos(bar, nullptr, 0, kMapH, kMapW, s.barHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The host fits the map and the bar exactly.
  RECT want{0, 0, kMapW, kMapH + s.barHeight};
  AdjustWindowRectEx(&want, static_cast<DWORD>(GetWindowLongPtrA(host, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(host, GWL_EXSTYLE)));
  SetWindowPos(host, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Refresh(false);
}

void DestroyHostParts() {
  MapState& s = State();
  if (s.source == MapSource::Gps && Hooks().stopGps) Hooks().stopGps();
  if (s.host) KillTimer(s.host, kGpsFollowTimer);
  s.source = MapSource::Location;
  if (s.tip) DestroyWindow(s.tip);
  s.tip = nullptr;
  s.bar.reset();
  s.map = nullptr;
  s.host = nullptr;
  s.places.clear();
  s.markers.clear();
  s.shading.clear();
  s.composed = {};
  s.art = {};
}

// ---- the map control -----------------------------------------------------------------------

void HideTip() {
  MapState& s = State();
  s.hit = -1;
  if (s.tip) ShowWindow(s.tip, SW_HIDE);
}

std::string TipTextOf(const MapMarker& marker) {
  if (marker.target == kGpsMarker) return std::string(StringText(32602));
  const LocationRecord& record = State().places[static_cast<size_t>(marker.target)].record;
  DateStamp local = MapLocalTime(CurrentClock().LocalNow(), SystemZone(), FindZone(record.zone));
  return MapTipText(record.name, DateText(local), TimeText(local));
}

HFONT TipFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      return CreateFontIndirectA(&metrics.lfStatusFont);
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

void ShowTip(int hit, POINT cursor) {
  MapState& s = State();
  if (!s.tip) {
    s.tip = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "KVMapTip", "", kTipStyle, 0, 0, 0, 0, s.map,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!s.tip) return;
  }
  std::string text = TipTextOf(s.markers[static_cast<size_t>(hit)]);
  SetWindowTextA(s.tip, text.c_str());
  RECT measure{0, 0, kMapTipTextMax, 0};
  {
    WindowDC dc(s.tip);
    SelectedObject font(dc.get(), TipFont());
    DrawTextA(dc.get(), text.c_str(), -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  ClientToScreen(s.map, &cursor);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor);
  TipArea area{monitor.rcMonitor.left, monitor.rcMonitor.top, monitor.rcMonitor.right, monitor.rcMonitor.bottom};
  int border = 2 * GetSystemMetrics(SM_CXBORDER);
  TipBox box = PlaceMapTip(cursor.x, cursor.y, measure.right + border, measure.bottom + border, area);
  SetWindowPos(s.tip, HWND_TOPMOST, box.left, box.top, box.width, box.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(s.tip, nullptr, TRUE);
}

void OnMapMouseMove(HWND h, int x, int y) {
  MapState& s = State();
  if (!s.tracking) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, h, 0};
    s.tracking = TrackMouseEvent(&track);
  }
  int hit = HitTestMarkers(s.markers, x, y);
  if (hit < 0) {
    HideTip();
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return;
  }
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
  if (hit != s.hit || !s.tip || !IsWindowVisible(s.tip)) {
    s.hit = hit;
    ShowTip(hit, POINT{x, y});
  }
}

const MapMarker* MarkerAt(int x, int y) {
  MapState& s = State();
  int hit = HitTestMarkers(s.markers, x, y);
  return hit < 0 ? nullptr : &s.markers[static_cast<size_t>(hit)];
}

void OnMapClick(int x, int y) {
  const MapMarker* marker = MarkerAt(x, y);
  if (!marker || marker->target == kGpsMarker) return;
  LocationRecord record = State().places[static_cast<size_t>(marker->target)].record;
  EndGpsMode();
  SetMapLocation(record);
  HideTip();
  Refresh(false);
}

void AddLocationFromGps() {
  MapState& s = State();
  LocationRecord record;
  double lat = s.latitude, lon = s.longitude;
  record.south = lat < 0, record.west = lon < 0;
  Dms a = DecimalToDms(std::fabs(lat)), b = DecimalToDms(std::fabs(lon));
  record.latDegrees = a.degrees, record.latMinutes = a.minutes, record.latSeconds = a.seconds;
  record.lonDegrees = b.degrees, record.lonMinutes = b.minutes, record.lonSeconds = b.seconds;
  record.zone = Hooks().gpsZone ? Hooks().gpsZone() : (Hooks().systemZone ? Hooks().systemZone() : 0);
  HideTip();
  if (!Hooks().editNewLocation || !Hooks().editNewLocation(s.host, record)) return;
  std::string path = Hooks().locationsFile ? Hooks().locationsFile() : std::string();
  std::vector<LocationRecord> list;
  if (!ReadLocations(path, &list, LasVegasFix::Skip)) return;
  list.push_back(record);
  if (!WriteLocations(path, list)) return;
  EndGpsMode();
  SetMapLocation(record);
  Refresh(true);
}

void OnMapDoubleClick(int x, int y) {
  const MapMarker* marker = MarkerAt(x, y);
  if (!marker) return;
  if (marker->target == kGpsMarker) {
    AddLocationFromGps();
    return;
  }
  LocationRecord record = State().places[static_cast<size_t>(marker->target)].record;
  EndGpsMode();
  HideTip();
  UserMessage m;
  m.text = FormatText(std::string(StringText(1161)).c_str(), record.name.c_str());
  m.caption = std::string(StringText(IDS_PRODUCT_NAME));
  m.icon = MsgIcon::Question;
  m.beep = MsgBeep::Question;
  m.buttons = MsgButtons::OkCancel;
  if (ShowUserMessage(m) != MsgAnswer::Ok) return;
  if (Hooks().applyPointOfReference) Hooks().applyPointOfReference(record);
  SetMapLocation(record);
  Refresh(false);
}

void PaintMap(HWND h) {
  PaintDC dc(h);
  const std::vector<uint32_t>& pixels = State().composed.pixels;
  if (pixels.size() != static_cast<size_t>(kMapW) * kMapH) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kMapW;
  info.bmiHeader.biHeight = -kMapH;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc.get(), 0, 0, kMapW, kMapH, 0, 0, 0, kMapH, pixels.data(), &info, DIB_RGB_COLORS);
}

void PaintTip(HWND h) {
  PaintDC dc(h);
  RECT r;
  GetClientRect(h, &r);
  FillRect(dc.get(), &r, GetSysColorBrush(COLOR_INFOBK));
  char text[512];
  GetWindowTextA(h, text, sizeof text);
  SelectedObject font(dc.get(), TipFont());
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), GetSysColor(COLOR_INFOTEXT));
  RECT inner{r.left + 4, r.top + 2, r.right - 4, r.bottom - 2};
  DrawTextA(dc.get(), text, -1, &inner, DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace

void SetWorldMapHooks(WorldMapHooks hooks) { State().hooks = std::move(hooks); }

HWND WorldMapBar() { return State().bar ? State().bar->hwnd() : nullptr; }

bool WorldMapHostMessage(HWND host, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  (void)lp;
  result = 0;
  switch (msg) {
    case WM_CREATE: CreateHostParts(host); return false;  // the desk records it too
    case WM_DESTROY: DestroyHostParts(); return false;
    case kMsgMapRefresh: Refresh(wp == 1); return true;
    case kMsgGpsFound:
      State().gpsSilent = false;
      Refresh(false);
      return true;
    case kMsgGpsActive:
      State().gpsSilent = false;
      UpdateBar();
      return true;
    case kMsgGpsNoData: UpdateBar(); return true;
    case WM_TIMER:
      if (wp == kGpsFollowTimer) {
        FollowGps();
        return true;
      }
      if (wp != kGpsSilenceTimer) return false;
      State().gpsSilent = true;
      UpdateBar();
      return true;
    case WM_SETFOCUS:
      if (HWND bar = WorldMapBar()) SetFocus(GetNextDlgTabItem(bar, nullptr, FALSE));
      return true;
    default: return false;
  }
}

LRESULT CALLBACK WorldMapControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    switch (msg) {
      case WM_PAINT: PaintMap(h); return 0;
      case WM_ERASEBKGND: return 1;
      case WM_MOUSEMOVE: OnMapMouseMove(h, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
      case WM_MOUSELEAVE:
        State().tracking = false;
        HideTip();
        return 0;
      case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && State().hit >= 0) {
          SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
          return TRUE;
        }
        break;
      case WM_LBUTTONUP: OnMapClick(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
      case WM_LBUTTONDBLCLK: OnMapDoubleClick(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
      case kMsgMapRefresh: Refresh(wp == 1); return 0;
      default: break;
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

LRESULT CALLBACK WorldMapTipProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    switch (msg) {
      case WM_PAINT: PaintTip(h); return 0;
      case WM_NCHITTEST: return HTTRANSPARENT;
      default: break;
    }
  } catch (...) {
    return 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace kv
