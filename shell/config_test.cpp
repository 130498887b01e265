#include "shell/config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/bytes.h"

namespace kv {
namespace {

ConfigImage DefaultImage() {
  DefaultConfigInputs in;
  in.screenWidth = 1280;
  in.screenHeight = 1024;
  in.shadowColour = 0x00808080;
  in.gridColour = 0x00000001;
  in.dataFolder = "C:\\Users\\Ann\\Documents\\My Calendars";
  in.zone = 35;
  return SerializeCalendarConfig(DefaultCalendarConfig(in));
}

std::string TextAt(const ConfigImage& image, size_t offset, size_t size) { return ReadFixedText(image.data() + offset, size); }

TEST(ConfigRecord, DefaultsSitAtTheirOffsets) {
  ConfigImage b = DefaultImage();
  EXPECT_EQ(std::memcmp(b.data(), "KVCAL\0", 6), 0);
  struct Field {
    size_t offset;
    int size;  // 1, 2 or 4 bytes
    long long value;
  };
  const Field fields[] = {
      {6, 2, 7},      {8, 1, 1},     {12, 4, 10},    {16, 4, 10},   {20, 4, 1260}, {24, 4, 1004},
      {28, 4, 0},     {100, 1, 0},   {106, 2, 0},    {108, 1, 0},   {114, 2, 0},   {116, 1, 14},
      {117, 1, 0},    {120, 4, 0x00FACDB4}, {124, 4, 0x00808080}, {128, 4, 1}, {132, 4, 0xFF},
      {140, 4, 0x00FFFFFF}, {200, 4, 0x00FFFFFF}, {272, 1, 1}, {273, 1, 0}, {275, 1, 0},
      {276, 1, 0},    {277, 1, 1},   {278, 2, 8},    {280, 1, 6},   {281, 1, 21},  {282, 1, 5},
      {283, 1, 15},   {284, 1, 0},   {285, 1, 0},    {287, 1, 1},   {288, 2, 1},   {290, 1, 0},
      {293, 1, 2},    {294, 1, 1},   {296, 1, 1},    {297, 1, 0},   {302, 1, 0},   {303, 1, 18},
      {305, 1, 0},    {306, 1, 0},   {307, 1, 1},    {564, 2, 0},   {590, 2, 27},  {692, 1, 35},
      {693, 1, 0},    {1102, 2, 16}, {1104, 2, 700}, {1107, 1, 0x20}, {1102 + 136, 2, 9},
      {1102 + 4 * 136, 2, 10}, {1102 + 4 * 136 + 2, 2, 400}, {1102 + 6 * 136, 2, 0}, {2190, 2, 0},
      {3550, 2, 720}, {3552, 2, 720}, {3554, 2, 720}, {3556, 2, 720}, {3550 + 9 * 64 + 6, 2, 720},
      {4446, 2, 0},
  };
  for (const Field& f : fields) {
    long long got = f.size == 1 ? b[f.offset] : f.size == 2 ? ReadU16LE(&b[f.offset]) : ReadU32LE(&b[f.offset]);
    EXPECT_EQ(got, f.value) << "offset " << f.offset;
  }
  EXPECT_EQ(TextAt(b, 308, 256), "To Do Archive.txt");
  EXPECT_EQ(TextAt(b, 846, 256), "C:\\Users\\Ann\\Documents\\My Calendars\\Databases\\Default");
  EXPECT_EQ(TextAt(b, 1102 + 39, 32), "Verdana");
  EXPECT_EQ(TextAt(b, 1102 + 136 + 39, 32), "Arial");
  EXPECT_EQ(TextAt(b, 592, 64), "");
  EXPECT_EQ(TextAt(b, 4190, 256), "");
  // Reserved areas and the whole location block stay zero.
  for (size_t off : {9, 10, 11, 118, 119, 136, 204, 271, 291, 292, 744, 845, 3278, 3549, 656, 700})
    EXPECT_EQ(b[off], 0) << "offset " << off;
}

TEST(ConfigRecord, EveryByteRoundTrips) {
  // A record full of arbitrary values, with clean text fields (a text reads up to its zero).
  std::mt19937 random(7);
  ConfigImage image;
  for (uint8_t& byte : image) byte = static_cast<uint8_t>(random());
  std::memcpy(image.data(), "KVCAL\0", 6);
  PutU16LE(&image[6], 7);
  const std::pair<size_t, size_t> texts[] = {{308, 256}, {566, 24}, {592, 64}, {846, 256}, {4190, 256}};
  for (auto [offset, size] : texts) PutFixedText(&image[offset], size, "text at " + std::to_string(offset));
  for (size_t slot = 0; slot < 16; ++slot) PutFixedText(&image[1102 + slot * 136 + 39], 32, "Face" + std::to_string(slot));
  for (size_t i = 0; i < 10; ++i) PutFixedText(&image[3550 + i * 64 + 10], 49, "Page &p");
  CalendarConfig c = ParseCalendarConfig(image);
  EXPECT_EQ(SerializeCalendarConfig(c), image);
  // Fields whose offsets the default record does not already show.
  EXPECT_EQ(c.printerFonts[7].face, "Face15");
  EXPECT_EQ(c.location.systemZone, image[693]);
  EXPECT_EQ(c.desk.phonebookPosition.y, ReadI16LE(&image[98]));
  EXPECT_EQ(c.pageLayouts[3].distance, ReadU16LE(&image[3550 + 3 * 64 + 60]));
}

TEST(ConfigRecord, NamedFieldsLandAtTheirOffsets) {
  CalendarConfig c;
  c.desk.todoState = 2;
  c.desk.phonebookState = 1;
  c.desk.activeWindow = 13;
  c.desk.zOrder = {3, 1, 2, 0, 0, 0};
  c.todoRemoveAfterDays = 0x0102;
  c.printOption = 9;
  c.location.latitude = -33.8688;
  c.location.longitude = 151.2093;
  c.phonebookLastName = "Quill";
  c.pageLayouts[9].isHeader = 1;
  c.pageLayouts[9].text = "&D";
  c.overlayCount = 3;
  ConfigImage b = SerializeCalendarConfig(c);
  EXPECT_EQ(b[113], 2);
  EXPECT_EQ(b[112], 1);
  EXPECT_EQ(ReadU16LE(&b[106]), 13);
  EXPECT_EQ(b[100], 3);
  EXPECT_EQ(b[101], 1);
  EXPECT_EQ(b[288], 2);
  EXPECT_EQ(b[289], 1);
  EXPECT_EQ(b[301], 9);
  EXPECT_EQ(ReadF64LE(&b[656]), -33.8688);
  EXPECT_EQ(ReadF64LE(&b[664]), 151.2093);
  EXPECT_EQ(TextAt(b, 566, 24), "Quill");
  EXPECT_EQ(b[3550 + 9 * 64 + 59], 1);
  EXPECT_EQ(TextAt(b, 3550 + 9 * 64 + 10, 49), "&D");
  EXPECT_EQ(ReadU16LE(&b[4446]), 3);
}

TEST(ConfigRecord, Version6Conversion) {
  ConfigImage b{};
  std::memcpy(b.data(), "KVCAL\0", 6);
  PutU16LE(&b[6], 6);
  PutI32LE(&b[12], 33);             // frame x: the placements keep their places
  PutI32LE(&b[76], 44);             // to-do x
  const uint8_t zOrder[5] = {3, 2, 1, 4, 5};
  std::memcpy(&b[92], zOrder, 5);
  b[97] = 2;                        // frame state
  b[98] = 13;                       // active: schedule, maximized
  b[100] = 1, b[101] = 0, b[102] = 7, b[103] = 1;  // phonebook, notes, schedule, to-do open?
  PutU16LE(&b[104], 120);           // phonebook x
  b[106] = 1;                       // phonebook list: people
  b[107] = 1, b[109] = 2, b[111] = 1, b[112] = 2, b[113] = 1;
  PutU16LE(&b[114], 4);             // view: day
  PutU16LE(&b[116], 96);            // phonebook y
  b[118] = 0xEE, b[119] = 0xEE;
  PutFixedText(&b[208], 64, "Sydney, Australia");
  PutF64LE(&b[232], -33.8688);
  PutF64LE(&b[240], 151.2093);
  b[232 + 36] = 61;
  b[277] = 1;                       // an option past the old location keeps its value
  ConvertVersion6Image(b);
  CalendarConfig c = ParseCalendarConfig(b);
  EXPECT_EQ(c.desk.frame.x, 33);
  EXPECT_EQ(c.desk.todo.x, 44);
  EXPECT_EQ(c.desk.mapPosition, (Position16{10, 10}));
  EXPECT_EQ(c.desk.phonebookPosition, (Position16{120, 96}));
  EXPECT_EQ(c.desk.zOrder, (std::array<uint8_t, 6>{3, 2, 1, 4, 5, 0}));
  EXPECT_EQ(c.desk.activeWindow, 13);
  EXPECT_EQ(c.desk.frameState, 2);
  EXPECT_EQ(c.desk.calendarState, 1);
  EXPECT_EQ(c.desk.notesState, 2);
  EXPECT_EQ(c.desk.scheduleState, 1);
  EXPECT_EQ(c.desk.phonebookState, 2);
  EXPECT_EQ(c.desk.todoState, 1);
  EXPECT_EQ(c.desk.view, 4);
  EXPECT_EQ(c.desk.phonebookPeople, 1);
  EXPECT_EQ(c.desk.openWindows, kOpenPhonebook | kOpenSchedule | kOpenToDo);
  EXPECT_EQ(c.desk.reserved118, (std::array<uint8_t, 2>{0, 0}));
  EXPECT_EQ(c.locationName, "Sydney, Australia");
  EXPECT_EQ(c.location.latitude, -33.8688);
  EXPECT_EQ(c.location.longitude, 151.2093);
  EXPECT_EQ(c.location.zone, 61);
  EXPECT_EQ(c.mapFlags, 27);
  EXPECT_EQ(c.sundayRed, 1);
  for (size_t off = 208; off < 272; ++off) EXPECT_EQ(b[off], 0) << "offset " << off;
}

TEST(ConfigRecord, LoadRules) {
  CalendarConfig c;
  c.customColours.fill(0x00FFFFFF);
  c.customColours[3] = 0x00123456;
  ApplyLoadRules(c, "D:\\Data");
  EXPECT_EQ(c.desk.view, kMonthView);
  EXPECT_EQ(c.databaseFolder, "D:\\Data\\Databases\\(default)");
  const uint32_t expected[16] = {0xFACDAF, 0xFAD7E6, 0xD9D7FA, 0x123456, 0xC3FAFA, 0xAFFAD2, 0xFFFFD2, 0xF0CDF0,
                                 0xFACDAF, 0xFAD7E6, 0xD9D7FA, 0xAFE6FA, 0xC3FAFA, 0xAFFAD2, 0xFFFFD2, 0xF0CDF0};
  for (size_t i = 0; i < 16; ++i) EXPECT_EQ(c.customColours[i], expected[i]) << i;
  EXPECT_EQ(c.screenFonts[0].face, "Verdana");
  EXPECT_EQ(c.screenFonts[2].pointSize, 8);
  EXPECT_EQ(c.screenFonts[6].pointSize, 0);  // beyond the built-in six: the fallback applies

  // Values a file set are kept.
  CalendarConfig d;
  d.desk.view = kYearView;
  d.databaseFolder = "E:\\Shared";
  d.screenFonts[0].pointSize = 12;
  d.screenFonts[0].face = "Tahoma";
  ApplyLoadRules(d, "D:\\Data");
  EXPECT_EQ(d.desk.view, kYearView);
  EXPECT_EQ(d.databaseFolder, "E:\\Shared");
  EXPECT_EQ(d.screenFonts[0].face, "Tahoma");
  EXPECT_EQ(d.screenFonts[1].pointSize, 0);
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(ConfigRecord, OverlayTail) {
  struct Case {
    std::string tail;
    size_t count;
    std::vector<std::string> names;
  };
  const std::string longName(260, 'x');
  const Case cases[] = {
      {"", 0, {}},
      {"A.kov\x1C" "B.kov\x1C" "C.kov\x1C", 2, {"A.kov", "B.kov"}},
      {"A.kov\x1C" "B.kov\x1C", 3, {"A.kov", "B.kov"}},
      {"A.kov\x1C" "B.k", 2, {"A.kov"}},               // cut off by the file's end
      {longName + "\x1C" "B.kov\x1C", 2, {"B.kov"}},    // a name too long for its slot
      {"\x1C" "B.kov\x1C", 2, {"B.kov"}},
      {std::string(259, 'y') + "\x1C", 1, {std::string(259, 'y')}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = Bytes(c.tail);
    EXPECT_EQ(SplitOverlayTail(bytes.data(), bytes.size(), c.count), c.names) << c.tail.substr(0, 20);
  }
  EXPECT_EQ(JoinOverlayTail({"C:\\O\\A.kov", "B.kov"}), Bytes("C:\\O\\A.kov\x1C" "B.kov\x1C"));
  EXPECT_TRUE(JoinOverlayTail({}).empty());
}

TEST(ConfigRecord, EffectiveFonts) {
  FontRecord empty;
  struct Case {
    int slot;
    bool printer;
    const char* face;
    int weight;
    int pitch;
  };
  const Case cases[] = {
      {0, false, "MS Sans Serif", 700, 0x20}, {1, false, "Small Fonts", 400, 0x20}, {3, false, "Small Fonts", 400, 0x20},
      {4, false, "MS Sans Serif", 400, 0x20}, {0, true, "Arial", 700, 0x20},        {2, true, "Times New Roman", 400, 16},
      {7, true, "Arial", 400, 0x20},
  };
  for (const Case& c : cases) {
    FontChoice f = EffectiveFont(empty, c.slot, c.printer);
    EXPECT_EQ(f.face, c.face) << c.slot << c.printer;
    EXPECT_EQ(f.weight, c.weight) << c.slot << c.printer;
    EXPECT_EQ(f.pitchAndFamily, c.pitch) << c.slot << c.printer;
    EXPECT_GT(f.pointSize, 0);
  }
  FontRecord set;
  set.pointSize = 11;
  set.weight = 700;
  set.italic = 1;
  set.face = "Georgia";
  FontChoice f = EffectiveFont(set, 2, true);
  EXPECT_EQ(f.face, "Georgia");
  EXPECT_EQ(f.pointSize, 11);
  EXPECT_TRUE(f.italic);
  EXPECT_EQ(FontPixelHeight(96, 9), 12);
  EXPECT_EQ(FontPixelHeight(96, 16), 21);
  EXPECT_EQ(FontPixelHeight(120, 10), 17);
}

}  // namespace
}  // namespace kv
