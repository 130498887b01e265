// The Win32 side under Wine: the table resource against the compiled-in copy, and the real
// registry's zones merged into the program's zone file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/messages.h"
#include "sky/astro.h"
#include "sky/sky_win.h"
#include "sky/zones.h"
#include "base/file_io.h"

namespace kv {
namespace {

TEST(SkyWin, ResourceTableEqualsCompiledTable) {
  const uint8_t* resource = LockVsop87Resource();
  ASSERT_NE(resource, nullptr);
  EXPECT_EQ(std::memcmp(resource, CompiledVsop87EarthTable(), kVsop87Bytes), 0);
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(40), MAKEINTRESOURCEA(300));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(SizeofResource(nullptr, found), static_cast<DWORD>(kVsop87Bytes));

  // The positions come out the same from either copy.
  SkyPosition compiled = SunPosition(0.24);
  SetVsop87Source(LockVsop87Resource);
  SkyPosition fromResource = SunPosition(0.24);
  SetVsop87Source(nullptr);
  EXPECT_EQ(compiled.longitude, fromResource.longitude);
  EXPECT_EQ(compiled.distance, fromResource.distance);
}

TEST(SkyWin, RegistryHoldsTheZonesWithTheirRules) {
  RegistryOsZones registry;
  std::vector<ZoneKeyData> keys;
  bool nt = false;
  ASSERT_TRUE(registry.ReadZoneKeys(&keys, &nt));
  EXPECT_TRUE(nt);
  EXPECT_GT(keys.size(), 100u);
  const ZoneKeyData* pacific = nullptr;
  for (const ZoneKeyData& k : keys)
    if (k.keyName == "Pacific Standard Time") pacific = &k;
  ASSERT_NE(pacific, nullptr);
  EXPECT_TRUE(pacific->hasTzi);
  EXPECT_EQ(pacific->bias, 480);
  EXPECT_EQ(pacific->daylightDate.month, 3);
  EXPECT_EQ(pacific->standardDate.month, 11);
  EXPECT_FALSE(pacific->standardName.empty());
  EXPECT_GE(registry.Version().major, 5);
}

TEST(SkyWin, ZoneFileMergedWithTheRegistry) {
  RegistryOsZones registry;
  SetOsZoneSource(&registry);
  ASSERT_TRUE(LoadZoneTable(RunningProgramFolder() + "\\KVTZX.DAT"));
  const ZoneRecord* pacific = FindZone(36);
  ASSERT_NE(pacific, nullptr);
  EXPECT_EQ(pacific->keyName, "Pacific Standard Time");
  EXPECT_EQ(pacific->bias, 480);
  EXPECT_EQ(pacific->daylightDate, (ZoneDate{3, 0, 2, 120}));
  EXPECT_EQ(pacific->standardDate, (ZoneDate{11, 0, 1, 120}));
  EXPECT_EQ(pacific->flag, 0);

  // Every zone the registry knows by one of the file's names takes its texts.
  std::vector<ZoneKeyData> keys;
  bool nt = true;
  registry.ReadZoneKeys(&keys, &nt);
  int matched = 0;
  for (const ZoneKeyData& k : keys) {
    for (const ZoneRecord& z : ZoneTable()) {
      if (_stricmp(z.keyName.c_str(), k.keyName.c_str()) != 0) continue;
      ++matched;
      EXPECT_EQ(z.display, k.display) << k.keyName;
      EXPECT_EQ(z.standardName, k.standardName) << k.keyName;
      if (k.hasTzi) {
        EXPECT_EQ(z.bias, k.bias) << k.keyName;
      }
    }
  }
  EXPECT_GT(matched, 80);

  // The system's zone is one of them, or the user is told which name was not found.
  ScriptedMessages messages;
  ScopedMessageSink scope(messages);
  int id = DetectSystemZone();
  if (id == 0) {
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Error!");
    EXPECT_EQ(messages.Shown()[0].text.rfind("Unable to locate time zone in system registry: >", 0), 0u);
  } else {
    EXPECT_NE(FindZone(id), nullptr);
    EXPECT_TRUE(messages.Shown().empty());
  }
  ResetZones();
}

}  // namespace
}  // namespace kv
