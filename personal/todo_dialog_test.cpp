#include "personal/todo_dialog.h"

#include <gtest/gtest.h>

#include "calendar/clock.h"
#include "resources/strings.h"
#include "sky/zones.h"
#include "store/store_test_support.h"

namespace kv {
namespace {

DateStamp Date(int y, int m, int d) { return DateStamp{y, static_cast<uint16_t>(m), static_cast<uint16_t>(d), 0, 0}; }

TEST(ToDoDialog, ControlsBecomeTheFormThatIsChecked) {
  struct Case {
    const char* name;
    std::optional<DateStamp> activate, required;
    int timeBox;
    bool activateValid, requiredValid;
    int time;
  } cases[] = {
      {"all set", Date(2026, 12, 1), Date(2026, 12, 9), 600, true, true, 600},
      {"empty time box", Date(2026, 12, 1), Date(2026, 12, 9), kToDoTimeBoxEmpty, true, true, kToDoNoTime},
      {"time box holds no time", Date(2026, 12, 1), Date(2026, 12, 9), kToDoTimeBoxInvalid, true, true, -1},
      {"time out of range", Date(2026, 12, 1), Date(2026, 12, 9), 1440, true, true, -1},
      {"no activate date", std::nullopt, Date(2026, 12, 9), 0, false, true, 0},
      {"no required date", Date(2026, 12, 1), std::nullopt, 1439, true, false, 1439},
  };
  for (const Case& c : cases) {
    ToDoDialogFields f;
    f.text = "Renew passport";
    f.activate = c.activate;
    f.required = c.required;
    f.timeBox = c.timeBox;
    f.priority = 2;
    f.zone = 4;
    ToDoForm form = ToDoFormFromFields(f);
    EXPECT_EQ(IsValidDate(form.activate.month, form.activate.day, form.activate.year), c.activateValid) << c.name;
    EXPECT_EQ(IsValidDate(form.required.month, form.required.day, form.required.year), c.requiredValid) << c.name;
    EXPECT_EQ(form.timeOfDay, c.time) << c.name;
    EXPECT_EQ(form.priority, 2) << c.name;
    EXPECT_EQ(form.zone, 4) << c.name;
    EXPECT_EQ(form.text, "Renew passport") << c.name;
  }
}

TEST(ToDoDialog, ShownValuesAndTheZoneButton) {
  ToDoForm form;
  form.timeOfDay = kToDoNoTime;
  ToDoDialogShown s = ToDoDialogShownFor(form, false, true);
  EXPECT_EQ(StringText(s.titleId), "Create To-Do Item");
  EXPECT_EQ(s.timeBox, kToDoTimeBoxEmpty);  // 23:59 shows as no time
  EXPECT_FALSE(s.zoneEnabled);              // nothing to pick a zone for
  EXPECT_FALSE(s.removeEnabled);
  form.timeOfDay = 0;
  s = ToDoDialogShownFor(form, true, true);
  EXPECT_EQ(StringText(s.titleId), "Edit To-Do Item");
  EXPECT_EQ(s.timeBox, 0);
  EXPECT_TRUE(s.zoneEnabled);
  EXPECT_TRUE(s.removeEnabled);
  EXPECT_FALSE(ToDoDialogShownFor(form, true, false).zoneEnabled);  // no way to pick one
  EXPECT_FALSE(ToDoZoneButtonEnabled(kToDoTimeBoxInvalid, true));
  EXPECT_FALSE(ToDoZoneButtonEnabled(kToDoTimeBoxEmpty, true));
  EXPECT_TRUE(ToDoZoneButtonEnabled(1438, true));
}

TEST(ToDoDialog, ZoneNamesComeFromTheTable) {
  ZoneRecord z;
  z.id = 7;
  z.display = "(GMT+01:00) Paris";
  SetZoneTable({z});
  EXPECT_EQ(ToDoZoneName(7), "(GMT+01:00) Paris");
  EXPECT_EQ(ToDoZoneName(9), "Time zone 9");
  SetZoneTable({});
}

class ToDoOptions : public test::StoreTest {
 protected:
  ToDoSettings settings;
  ToDoOptionsFields Fields() { return ToDoOptionsFieldsFor(settings); }
};

TEST_F(ToDoOptions, DaysMustBeZeroToThreeDigits) {
  struct Case {
    const char* typed;
    bool ok;
    int days;
  } cases[] = {{"0", true, 0}, {"999", true, 999}, {" 14 ", true, 14}, {"007", true, 7},
               {"", false, 1},  {"1000", false, 1}, {"-1", false, 1},  {"3d", false, 1}};
  for (const Case& c : cases) {
    settings = ToDoSettings{};
    messages.Clear();
    ToDoOptionsFields f = Fields();
    f.removeAfterDays = c.typed;
    f.sortByPriority = true;
    EXPECT_EQ(ToDoApplyOptions(f, settings), c.ok ? ToDoOptionsField::None : ToDoOptionsField::Days) << c.typed;
    EXPECT_EQ(settings.removeAfterDays, c.days) << c.typed;
    EXPECT_EQ(settings.sortByPriority, c.ok) << c.typed << ": a refused page changes nothing";
    EXPECT_EQ(messages.Shown().size(), c.ok ? 0u : 1u) << c.typed;
  }
}

TEST_F(ToDoOptions, ArchiveNamesAreCheckedWhenNew) {
  ToDoOptionsFields f = Fields();
  f.archiveName = "sub\\log.txt";
  EXPECT_EQ(ToDoApplyOptions(f, settings), ToDoOptionsField::ArchiveName);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0], "Invalid filename entered.");
  EXPECT_EQ(settings.archiveName, "To Do Archive.txt");

  // An existing file is used only when the user agrees.
  test::WriteAll(JoinPath(folder, "Old log.txt"), {'x'});
  messages.Clear();
  messages.Answer(MsgAnswer::No);
  f.archiveName = "Old log.txt";
  EXPECT_EQ(ToDoApplyOptions(f, settings), ToDoOptionsField::ArchiveName);
  messages.Answer(MsgAnswer::Yes);
  EXPECT_EQ(ToDoApplyOptions(f, settings), ToDoOptionsField::None);
  EXPECT_EQ(settings.archiveName, "Old log.txt");
  // The same name again is not asked about.
  messages.Clear();
  f.logNotes = false;
  EXPECT_EQ(ToDoApplyOptions(f, settings), ToDoOptionsField::None);
  EXPECT_TRUE(messages.Shown().empty());
  EXPECT_FALSE(settings.logNotes);
}

TEST_F(ToDoOptions, AnUnusableNameMattersOnlyWhileLogging) {
  settings.archiveName = "a/b.txt";  // from a damaged configuration
  ToDoOptionsFields f = Fields();
  f.logRemoved = false;
  EXPECT_EQ(ToDoApplyOptions(f, settings), ToDoOptionsField::None);
  f.logRemoved = true;
  EXPECT_EQ(ToDoApplyOptions(f, settings), ToDoOptionsField::ArchiveName);
  EXPECT_FALSE(settings.logRemoved);
}

}  // namespace
}  // namespace kv
