#include "print/print_job.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/canvas_record.h"
#include "calendar/jewish.h"
#include "overlays/day_assembly.h"
#include "views/calendar_state.h"

namespace kv {
namespace {

// Pages recorded in twips; cancels after a given number of pages when asked to.
class RecordingTarget final : public PageTarget {
 public:
  Canvas* BeginPage() override {
    ++begun;
    pages.push_back(std::make_unique<RecordingCanvas>(1440));
    return pages.back().get();
  }
  bool EndPage() override {
    ++ended;
    return true;
  }
  bool Cancelled() override { return cancelAfter >= 0 && ended >= cancelAfter; }
  void Status(const std::string& text) override { statuses.push_back(text); }

  std::vector<std::unique_ptr<RecordingCanvas>> pages;
  std::vector<std::string> statuses;
  int begun = 0, ended = 0, cancelAfter = -1;
};

PageLayout Layout(const std::string& text = "", bool header = false) {
  PageLayout l;
  l.topMargin = l.leftMargin = l.rightMargin = l.bottomMargin = 720;
  l.text = text;
  l.isHeader = header ? 1 : 0;
  l.distance = 360;
  return l;
}

const PaperMetrics kLetter{12240, 15840, 0, 0};

DateStamp Day(int year, int month, int day) { return DateStamp{year, static_cast<uint16_t>(month), static_cast<uint16_t>(day), 0, 0}; }

PrintRange Range(DateStamp from, DateStamp to) {
  PrintRange r;
  r.from = from, r.to = to;
  return r;
}

class PrintJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAssembly();
    ResetCalendarState();
    sources.now = DateStamp{2027, 3, 1, 14, 5};
  }
  void TearDown() override { ResetAssembly(); }

  PrintOutcome Run(PrintKind kind, const PrintRange& range, const PageLayout& layout = Layout()) {
    geometry = ComputePageGeometry(kLetter, layout, kind);
    return RunPrintJob(kind, range, sources, layout, geometry, target);
  }
  bool PageHas(size_t page, const std::string& text) const {
    return page < target.pages.size() && target.pages[page]->FindText(text) != nullptr;
  }

  PrintSources sources;
  PageGeometry geometry;
  RecordingTarget target;
};

// ---- header and footer codes ----------------------------------------------------------------

TEST(HeaderTextTest, CodesAndTheAmpersandRule) {
  RegionalSettings regional;
  DateStamp now{2027, 3, 9, 14, 5};
  struct Case {
    const char* text;
    int page;
    const char* expected;
  } cases[] = {
      {"Page &p", 1, "Page 1"},
      {"Page &p", 2, "Page 2"},
      {"Page &p", 3, "Page 3"},
      {"Smith && Sons", 1, "Smith && Sons"},
      {"&&p", 4, "&4"},             // the first "&" stays, the second starts a code
      {"Total &", 1, "Total &"},    // a trailing ampersand stays
      {"&", 1, "&"},
      {"&x&P", 1, "&x&P"},          // unknown codes (and the wrong case) stay as they are
      {"&d", 1, "3/9/27"},
      {"&D", 1, "Tuesday, March 9, 2027"},
      {"&t", 1, "2:05 PM"},
      {"", 1, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandHeaderText(c.text, c.page, now, regional), c.expected) << c.text;
}

TEST(PageLayoutRecordTest, RoundTripsItsBytesAndKeepsTheUnnamedOnes) {
  std::array<uint8_t, kPageLayoutSize> image{};
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(0xA0 + i);
  const char text[] = "Page &p of my calendar";
  std::copy(text, text + sizeof text, image.begin() + 10);
  PageLayout l = ParsePageLayout(image.data());
  EXPECT_EQ(l.topMargin, 0xA1A0);
  EXPECT_EQ(l.bottomMargin, 0xA7A6);
  EXPECT_EQ(l.landscape, 0xA8);
  EXPECT_EQ(l.text, "Page &p of my calendar");
  EXPECT_EQ(l.isHeader, 0xA0 + 59);
  EXPECT_EQ(l.distance, 0xDDDC);  // bytes 60 and 61: 0xDC, 0xDD
  std::array<uint8_t, kPageLayoutSize> back{};
  PutPageLayout(back.data(), l);
  // The text field is written zero-filled to its end.
  for (size_t i = 10 + sizeof text; i < 59; ++i) image[i] = 0;
  EXPECT_EQ(back, image);
}

// ---- page geometry ------------------------------------------------------------------------

TEST(PageGeometryTest, MonthPagesKeepElevenToEight) {
  struct Case {
    PaperMetrics paper;
    bool sizeToMargins;
    int width, height;
  } cases[] = {
      {{12240, 15840, 0, 0}, false, 10795, 7850},   // portrait Letter: the width decides
      {{15840, 12240, 0, 0}, false, 14395, 10469},  // landscape Letter: still the width
      {{30000, 12240, 0, 0}, false, 14843, 10795},  // very wide paper: the height decides
      {{15840, 12240, 0, 0}, true, 14395, 10795},   // sized to the margins
  };
  for (const Case& c : cases) {
    PageLayout l = Layout();
    l.sizeToMargins = c.sizeToMargins;
    PageGeometry g = ComputePageGeometry(c.paper, l, PrintKind::Month);
    EXPECT_EQ(g.content.Width(), c.width);
    EXPECT_EQ(g.content.Height(), c.height);
    if (!c.sizeToMargins) {
      EXPECT_LE(g.content.Width(), c.paper.width - 1445);
      EXPECT_NEAR(g.content.Width() * 8.0 / g.content.Height(), 11.0, 0.01);
    }
  }
  // Other kinds fill the margins.
  PageGeometry year = ComputePageGeometry(kLetter, Layout(), PrintKind::Year);
  EXPECT_EQ(year.content, (Rect{720, 720, 720 + 10795, 720 + 14395}));
}

TEST(PageGeometryTest, OffsetsAndTheHeaderOrFooterLine) {
  PaperMetrics paper = PaperFromDevice(5100, 6600, 75, 60, 600, 600);  // Letter at 600 dpi
  EXPECT_EQ(paper.width, 12240);
  EXPECT_EQ(paper.height, 15840);
  EXPECT_EQ(paper.offsetX, 180);
  EXPECT_EQ(paper.offsetY, 144);
  PageGeometry header = ComputePageGeometry(paper, Layout("x", true), PrintKind::Notes);
  EXPECT_EQ(header.content.left, 720 - 180);
  EXPECT_EQ(header.content.top, 720 - 144);
  EXPECT_EQ(header.headerTop, 360 - 144);
  EXPECT_TRUE(header.header);
  PageGeometry footer = ComputePageGeometry(paper, Layout("x", false), PrintKind::Notes);
  EXPECT_EQ(footer.headerTop, 15840 - 144 - 360);
  EXPECT_EQ(footer.headerLeft, 720 - 180);
  EXPECT_EQ(footer.headerRight, 12240 - 720 - 180);
  // Margins wider than the paper leave an empty content area, not a negative one.
  PageLayout huge = Layout();
  huge.leftMargin = huge.rightMargin = 9000;
  EXPECT_TRUE(ComputePageGeometry(kLetter, huge, PrintKind::Month).content.Empty());
}

// ---- ranges -------------------------------------------------------------------------------

TEST(PrintRangeTest, BackwardAndImpossibleRangesAreRefusedAtTheFailingBox) {
  struct Case {
    PrintKind kind;
    DateStamp from, to;
    bool jewish;
    int failing;
  } cases[] = {
      {PrintKind::Year, Day(2027, 1, 1), Day(2027, 1, 1), false, 0},
      {PrintKind::Year, Day(2028, 1, 1), Day(2027, 1, 1), false, 2},
      {PrintKind::Year, Day(1200, 1, 1), Day(2027, 1, 1), false, 1},
      {PrintKind::Month, Day(2026, 11, 1), Day(2027, 2, 1), false, 0},
      {PrintKind::Month, Day(2027, 5, 1), Day(2027, 4, 1), false, 2},
      {PrintKind::Month, Day(5784, 13, 1), Day(5784, 7, 1), true, 0},   // Adar II comes before Nisan
      {PrintKind::Month, Day(5784, 7, 1), Day(5784, 13, 1), true, 2},
      {PrintKind::Month, Day(5785, 13, 1), Day(5785, 13, 1), true, 1},  // a common year has no Adar II
      {PrintKind::Day, Day(2027, 3, 5), Day(2027, 3, 4), false, 2},
      {PrintKind::Schedule, Day(2027, 2, 30), Day(2027, 3, 4), false, 1},
      {PrintKind::Notes, Day(2027, 12, 31), Day(2028, 1, 1), false, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckPrintRange(c.kind, Range(c.from, c.to), c.jewish), c.failing)
        << PrintKindName(c.kind) << " " << c.from.year << "/" << c.from.month;

  PrintRange phone;
  phone.firstEntry = 3, phone.lastEntry = 1;
  EXPECT_EQ(CheckPrintRange(PrintKind::Phone, phone, false, 5), 2);
  phone.firstEntry = 0, phone.lastEntry = 4;
  EXPECT_EQ(CheckPrintRange(PrintKind::Phone, phone, false, 5), 0);
  EXPECT_EQ(CheckPrintRange(PrintKind::Phone, phone, false, 0), 1);  // nothing to print
}

TEST(PrintRangeTest, DialogTextsReadBackAndStep) {
  EXPECT_EQ(PrintRangeText(PrintKind::Month, Day(2027, 3, 1)), "3/2027");
  EXPECT_EQ(PrintRangeText(PrintKind::Day, Day(2027, 3, 9)), "3/9/2027");
  struct Case {
    PrintKind kind;
    const char* text;
    bool ok;
  } cases[] = {
      {PrintKind::Year, "2027", true},   {PrintKind::Year, "20x7", false},   {PrintKind::Year, "", false},
      {PrintKind::Month, "12/2027", true}, {PrintKind::Month, "13/2027", false}, {PrintKind::Month, "3/", false},
      {PrintKind::Day, "2/29/2028", true}, {PrintKind::Day, "2/29/2027", false}, {PrintKind::Day, "1/2", false},
      {PrintKind::Day, "1//2027", false},  {PrintKind::Day, "99999999/1/1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ParsePrintRangeText(c.kind, c.text, false).has_value(), c.ok) << c.text;
  EXPECT_EQ(StepPrintRange(PrintKind::Month, Day(2026, 12, 1), 1, false), Day(2027, 1, 1));
  EXPECT_EQ(StepPrintRange(PrintKind::Day, Day(2027, 2, 28), 1, false), Day(2027, 3, 1));
}

TEST(PrintNamesTest, DocumentNamesAndStatusTexts) {
  PrintSources s;
  EXPECT_EQ(DocumentName(PrintKind::Year, Range(Day(2027, 1, 1), Day(2027, 1, 1)), s), "Kalvora: 2027");
  EXPECT_EQ(DocumentName(PrintKind::Year, Range(Day(2027, 1, 1), Day(2029, 1, 1)), s), "Kalvora: 2027 - 2029");
  EXPECT_EQ(DocumentName(PrintKind::Month, Range(Day(2026, 11, 1), Day(2027, 2, 1)), s), "Kalvora: 11/2026 - 2/2027");
  EXPECT_EQ(DocumentName(PrintKind::Day, Range(Day(2027, 3, 1), Day(2027, 3, 5)), s), "Kalvora: 3/1/2027-3/5/2027");
  EXPECT_EQ(DocumentName(PrintKind::Schedule, Range(Day(2027, 3, 1), Day(2027, 3, 1)), s), "Kalvora Schedule: 3/1/2027");
  EXPECT_EQ(DocumentName(PrintKind::Notes, Range(Day(2027, 3, 1), Day(2027, 3, 2)), s), "Kalvora Notes: 3/1/2027-3/2/2027");
  s.generalNotes = false;
  EXPECT_EQ(DocumentName(PrintKind::Notes, PrintRange{}, s), "Kalvora: Notes");
  EXPECT_EQ(DocumentName(PrintKind::ToDo, PrintRange{}, s), "Kalvora: To Do");
  EXPECT_EQ(DocumentName(PrintKind::Phone, PrintRange{}, s), "Kalvora: Phonebook");
  EXPECT_EQ(StatusText(PrintKind::Year, 2027), "Sending 2027 to printer...");
  EXPECT_EQ(StatusText(PrintKind::Month, 2027, 3), "Sending March 2027 to printer...");
  EXPECT_EQ(StatusText(PrintKind::ToDo, 0), "Sending output to printer...");
}

// ---- the job --------------------------------------------------------------------------------

TEST_F(PrintJobTest, AMonthRangeAcrossTheYearEndPrintsOnePageEachInOrder) {
  ASSERT_EQ(Run(PrintKind::Month, Range(Day(2026, 11, 1), Day(2027, 2, 1)), Layout("Page &p")), PrintOutcome::Printed);
  ASSERT_EQ(target.pages.size(), 4u);
  const char* titles[] = {"N O V E M B E R", "D E C E M B E R", "J A N U A R Y", "F E B R U A R Y"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_TRUE(PageHas(i, titles[i])) << i;
    EXPECT_TRUE(PageHas(i, "Page " + std::to_string(i + 1))) << i;
  }
  EXPECT_EQ(target.statuses.front(), "Sending November 2026 to printer...");
  EXPECT_EQ(target.statuses.back(), "Sending February 2027 to printer...");
}

TEST_F(PrintJobTest, TheMonthGridIsRuledVisiblyOnPaper) {
  // On a printer in twips a one-unit line is 1/1440 inch: invisible on paper. And a wider line
  // drawn before the cells would be covered by their white backgrounds but for its middle.
  ASSERT_EQ(Run(PrintKind::Month, Range(Day(2027, 3, 1), Day(2027, 3, 1))), PrintOutcome::Printed);
  ASSERT_EQ(target.pages.size(), 1u);
  const std::vector<CanvasCall>& calls = target.pages[0]->Calls();
  size_t lastWhiteFill = 0;
  for (size_t i = 0; i < calls.size(); ++i)
    if (calls[i].kind == CallKind::Fill && calls[i].colour == MakeColour(255, 255, 255)) lastWhiteFill = i;
  int ruledOver = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].kind != CallKind::Line || calls[i].pen.colour != MakeColour(0, 0, 0)) continue;
    EXPECT_GE(calls[i].pen.width, 1440 / 240);
    if (i > lastWhiteFill) ++ruledOver;
  }
  EXPECT_GE(ruledOver, 1 + 8 + 4);  // the line under the weekdays, the columns' lines, a line each week
}

TEST_F(PrintJobTest, TwelveMonthsAreTwelvePagesAndJewishMonthsIncludeAdarII) {
  EXPECT_EQ(Run(PrintKind::Month, Range(Day(2027, 1, 1), Day(2027, 12, 1))), PrintOutcome::Printed);
  EXPECT_EQ(target.pages.size(), 12u);
  EXPECT_EQ(target.begun, target.ended);

  RecordingTarget jewish;
  sources.options.jewishPrimary = true;
  Assembly().options.jewishMode = true;
  PageLayout l = Layout();
  PageGeometry g = ComputePageGeometry(kLetter, l, PrintKind::Month);
  // 5784 is a leap year: Shevat, Adar I, Adar II, Nisan.
  EXPECT_EQ(RunPrintJob(PrintKind::Month, Range(Day(5784, 5, 1), Day(5784, 7, 1)), sources, l, g, jewish),
            PrintOutcome::Printed);
  EXPECT_EQ(jewish.pages.size(), 4u);
}

TEST_F(PrintJobTest, ALongNoteContinuesOnTheNextPage) {
  sources.generalNotes = false;
  sources.noteTitle = "General Notes";
  std::string note;
  for (int i = 0; i < 400; ++i) note += "Word" + std::to_string(i) + " of a long note that runs on. ";
  note += "TheLastWord";
  sources.note = note;
  ASSERT_EQ(Run(PrintKind::Notes, PrintRange{}, Layout("Page &p")), PrintOutcome::Printed);
  ASSERT_GE(target.pages.size(), 2u);
  EXPECT_TRUE(PageHas(0, "Word0 "));
  EXPECT_FALSE(PageHas(0, "TheLastWord"));
  EXPECT_TRUE(PageHas(target.pages.size() - 1, "TheLastWord"));
  EXPECT_TRUE(PageHas(1, "Page 2"));
}

// Every drawing call of a page, except the header or footer line, lies inside the content
// rectangle (within the clips in force, which the printer applies too).
void ExpectInside(const RecordingCanvas& page, const Rect& content, const std::string& what) {
  const int kFar = 1 << 30;
  std::vector<Rect> clips{Rect{-kFar, -kFar, kFar, kFar}};
  auto check = [&](Rect r, const char* kind) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    const Rect& clip = clips.back();
    Rect seen{std::max(r.left, clip.left), std::max(r.top, clip.top), std::min(r.right, clip.right),
              std::min(r.bottom, clip.bottom)};
    if (seen.left > seen.right || seen.top > seen.bottom) return;  // clipped away entirely
    bool inside = seen.left >= content.left && seen.top >= content.top && seen.right <= content.right &&
                  seen.bottom <= content.bottom;
    EXPECT_TRUE(inside) << what << ": " << kind << " " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
  };
  for (const CanvasCall& c : page.Calls()) {
    switch (c.kind) {
      case CallKind::PushClip:
        clips.push_back(Rect{std::max(c.rect.left, clips.back().left), std::max(c.rect.top, clips.back().top),
                             std::min(c.rect.right, clips.back().right), std::min(c.rect.bottom, clips.back().bottom)});
        break;
      case CallKind::PopClip:
        if (clips.size() > 1) clips.pop_back();
        break;
      case CallKind::TextInRect:
        if (c.role == FontRole::PrintHeader) break;
        for (const TextLine& line : c.lines)
          check(Rect{line.x, line.y, line.x + line.width, line.y + page.LineHeight(c.role)}, "text");
        break;
      case CallKind::Text:
        check(c.rect, "text");
        break;
      case CallKind::Line:
        check(Rect{c.points[0].x, c.points[0].y, c.points[1].x, c.points[1].y}, "line");
        break;
      case CallKind::Fill:
      case CallKind::Frame:
      case CallKind::Hatch:
      case CallKind::Ellipse:
      case CallKind::Pie:
      case CallKind::Icon:
        check(c.rect, "shape");
        break;
      default:
        break;
    }
  }
}

TEST_F(PrintJobTest, NothingIsDrawnOutsideTheContentArea) {
  std::string note;
  for (int i = 0; i < 60; ++i) note += "A note line that wraps about the page " + std::to_string(i) + ". ";
  sources.schedule = [](const DateStamp& d) {
    std::vector<PrintScheduleItem> items;
    for (int i = 0; i < 30; ++i)
      items.push_back({6 * 60 + i * 30, 7 * 60 + i * 30, "Meeting with a rather long title " + std::to_string(d.day),
                       i % 3 == 0 ? "Remember the papers and the keys to the office and the car." : ""});
    return items;
  };
  sources.dayNote = [note](const DateStamp&) { return note; };
  for (int i = 0; i < 80; ++i)
    sources.todo.push_back({1 + i % 3, Day(2027, 3, 1 + i % 28), i % 2 == 0, i % 5 == 0, "Item " + std::to_string(i), i % 4 ? "" : note});
  for (int i = 0; i < 40; ++i)
    sources.phonebook.push_back({"Person " + std::to_string(i) + "\nTitle\nCompany", "1 Road\nTown", {{"Home:", "555"}, {"Work:", "556"}}, i % 5 ? "" : note});
  struct Case {
    PrintKind kind;
    PrintRange range;
    bool binder;
    BinderLayout layout;
  } cases[] = {
      {PrintKind::Year, Range(Day(2027, 1, 1), Day(2027, 1, 1)), false, BinderLayout::Portrait},
      {PrintKind::Month, Range(Day(2027, 3, 1), Day(2027, 3, 1)), false, BinderLayout::Portrait},
      {PrintKind::Day, Range(Day(2027, 3, 1), Day(2027, 3, 2)), false, BinderLayout::Portrait},
      {PrintKind::Day, Range(Day(2027, 3, 1), Day(2027, 3, 1)), true, BinderLayout::Portrait},
      {PrintKind::Day, Range(Day(2027, 3, 1), Day(2027, 3, 1)), true, BinderLayout::LandscapeSingle},
      {PrintKind::Day, Range(Day(2027, 3, 1), Day(2027, 3, 2)), true, BinderLayout::LandscapeDual},
      {PrintKind::Notes, Range(Day(2027, 3, 1), Day(2027, 3, 3)), false, BinderLayout::Portrait},
      {PrintKind::Schedule, Range(Day(2027, 3, 1), Day(2027, 3, 2)), false, BinderLayout::Portrait},
      {PrintKind::ToDo, PrintRange{}, false, BinderLayout::Portrait},
      {PrintKind::Phone, PrintRange{{}, {}, 0, 39}, false, BinderLayout::Portrait},
  };
  for (const Case& c : cases) {
    RecordingTarget pages;
    sources.binderStyle = c.binder;
    sources.binderLayout = c.layout;
    PageLayout l = Layout("&D page &p", true);
    PageGeometry g = ComputePageGeometry(kLetter, l, c.kind);
    std::string what = std::string(PrintKindName(c.kind)) + (c.binder ? " binder" : "");
    ASSERT_EQ(RunPrintJob(c.kind, c.range, sources, l, g, pages), PrintOutcome::Printed) << what;
    for (size_t i = 0; i < pages.pages.size(); ++i) {
      ExpectInside(*pages.pages[i], g.content, what + " page " + std::to_string(i + 1));
      EXPECT_TRUE(pages.pages[i]->FindText("page " + std::to_string(i + 1))) << what;
    }
  }
}

TEST_F(PrintJobTest, BinderSheetsTakeOneOrTwoDays) {
  sources.binderStyle = true;
  sources.binderLayout = BinderLayout::LandscapeDual;
  EXPECT_EQ(Run(PrintKind::Day, Range(Day(2027, 3, 1), Day(2027, 3, 3))), PrintOutcome::Printed);
  EXPECT_EQ(target.pages.size(), 2u);  // 1 and 2, then 3 alone
  EXPECT_TRUE(PageHas(0, "Monday"));
  EXPECT_TRUE(PageHas(0, "Tuesday"));
  EXPECT_TRUE(PageHas(1, "Wednesday"));
  EXPECT_FALSE(PageHas(1, "Thursday"));

  RecordingTarget portrait;
  sources.binderLayout = BinderLayout::Portrait;
  PageLayout l = Layout();
  EXPECT_EQ(RunPrintJob(PrintKind::Day, Range(Day(2027, 3, 1), Day(2027, 3, 3)), sources, l, geometry, portrait),
            PrintOutcome::Printed);
  EXPECT_EQ(portrait.pages.size(), 3u);
}

TEST_F(PrintJobTest, BadRangesPrintNothing) {
  sources.phonebook.resize(3);
  PrintRange phone;
  phone.firstEntry = 2, phone.lastEntry = 0;
  EXPECT_EQ(Run(PrintKind::Phone, phone), PrintOutcome::Failed);
  EXPECT_EQ(Run(PrintKind::Day, Range(Day(2027, 3, 5), Day(2027, 3, 1))), PrintOutcome::Failed);
  EXPECT_EQ(Run(PrintKind::Schedule, Range(Day(2027, 3, 5), Day(2027, 3, 1))), PrintOutcome::Failed);
  EXPECT_EQ(Run(PrintKind::Month, Range(Day(2027, 5, 1), Day(2027, 2, 1))), PrintOutcome::Failed);
  EXPECT_EQ(target.begun, 0);
}

TEST_F(PrintJobTest, CancellingStopsTheJob) {
  target.cancelAfter = 2;
  EXPECT_EQ(Run(PrintKind::Month, Range(Day(2027, 1, 1), Day(2027, 12, 1))), PrintOutcome::Cancelled);
  EXPECT_EQ(target.pages.size(), 2u);
  EXPECT_EQ(target.begun, target.ended);
}

// A printer that fails a page ends the job as an error.
TEST_F(PrintJobTest, APageErrorFailsTheJob) {
  struct FailingTarget : PageTarget {
    RecordingCanvas canvas{1440};
    int pages = 0;
    Canvas* BeginPage() override { return ++pages > 1 ? nullptr : &canvas; }
    bool EndPage() override { return true; }
  } failing;
  PageLayout l = Layout();
  PageGeometry g = ComputePageGeometry(kLetter, l, PrintKind::Year);
  EXPECT_EQ(RunPrintJob(PrintKind::Year, Range(Day(2027, 1, 1), Day(2030, 1, 1)), sources, l, g, failing),
            PrintOutcome::Failed);
  EXPECT_EQ(failing.pages, 2);
}

}  // namespace
}  // namespace kv
