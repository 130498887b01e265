#include "base/help_topics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace kv {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Template {
  std::string file, name, caption;
};

// Every dialog template of the resource scripts that has a caption, and the numbers the
// dialog headers give the IDD_ names.
bool ReadTemplates(std::vector<Template>* templates, std::map<std::string, int>* numbers) {
  fs::path folder = fs::path(KV_SOURCE_DIR) / "resources";
  std::error_code error;
  if (!fs::is_directory(folder, error)) return false;
  std::regex define(R"(#define\s+(IDD_\w+)\s+(\d+))");
  std::regex dialog(R"re((?:^|\n)(\w+|"[^"]+")\s+DIALOG(?:EX)?\s[^\n]*\n((?:(?!BEGIN)[^\n]*\n)*))re");
  std::regex caption(R"re(CAPTION\s+"([^"]*)")re");
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::string text = ReadFile(entry.path());
    std::string ext = entry.path().extension().string();
    if (ext == ".h") {
      for (std::sregex_iterator it(text.begin(), text.end(), define), end; it != end; ++it)
        (*numbers)[(*it)[1]] = std::stoi((*it)[2]);
    } else if (ext == ".rc") {
      for (std::sregex_iterator it(text.begin(), text.end(), dialog), end; it != end; ++it) {
        std::string head = (*it)[2];
        std::smatch c;
        if (!std::regex_search(head, c, caption)) continue;
        std::string name = (*it)[1];
        if (name.front() == '"') name = name.substr(1, name.size() - 2);
        templates->push_back({entry.path().filename().string(), name, c[1]});
      }
    }
  }
  return true;
}

// Dialogs that rightly open the contents: the About box says what the program is, which is
// what the contents page does.
const std::set<std::string> kOpensContents = {"AboutBox"};

TEST(HelpTopics, EveryCaptionedDialogTemplateHasItsPage) {
  std::vector<Template> templates;
  std::map<std::string, int> numbers;
  if (!ReadTemplates(&templates, &numbers)) GTEST_SKIP() << "the resource scripts are not readable from here";
  ASSERT_GE(templates.size(), 30u) << "the resource scripts were not read as expected";
  std::set<int> seen;
  for (const Template& t : templates) {
    SCOPED_TRACE(t.file + ": " + t.name + " \"" + t.caption + "\"");
    const char* topic = nullptr;
    if (t.name.rfind("IDD_", 0) == 0) {
      auto it = numbers.find(t.name);
      ASSERT_NE(it, numbers.end()) << "no number for the template";
      EXPECT_TRUE(seen.insert(it->second).second) << "two templates share the number " << it->second;
      topic = HelpTopicForTemplate(it->second);
    } else {
      topic = HelpTopicForTemplate(std::string_view(t.name));
    }
    if (kOpensContents.count(t.name)) EXPECT_STREQ(topic, kHelpContents);
    else EXPECT_STRNE(topic, kHelpContents) << "the dialog has no page of its own";
  }
}

TEST(HelpTopics, EveryPageAskedForIsWrittenAndListedInTheProject) {
  fs::path folder = fs::path(KV_SOURCE_DIR) / "help";
  std::error_code error;
  if (!fs::is_directory(folder, error)) GTEST_SKIP() << "the help sources are not readable from here";
  std::string project = ReadFile(folder / "kalvora.hhp");
  std::set<std::string> unique;
  for (const char* topic : AllHelpTopics()) {
    SCOPED_TRACE(topic);
    EXPECT_TRUE(unique.insert(topic).second) << "listed twice";
    EXPECT_TRUE(fs::is_regular_file(folder / topic, error)) << "no such page";
    EXPECT_NE(project.find(std::string("\n") + topic), std::string::npos) << "not among the project's files";
  }
  EXPECT_EQ(std::string(AllHelpTopics().front()), kHelpContents);
}

TEST(HelpTopics, LookUps) {
  struct Case {
    const char* what;
    const char* got;
    const char* want;
  };
  const Case cases[] = {
      {"the world map's control bar", HelpTopicForTemplate(300), "using_orbisa.htm"},
      {"GPS Configuration", HelpTopicForTemplate(301), "gps_configuration.htm"},
      {"Acquire GPS Location", HelpTopicForTemplate(305), "acquire_gps.htm"},
      {"Page Layout", HelpTopicForTemplate(114), "page_layout.htm"},
      {"Print", HelpTopicForTemplate("Print"), "printing.htm"},
      {"Day Binder Layout", HelpTopicForTemplate("Day Binder Layout"), "day_binder_layout.htm"},
      {"names ignore case", HelpTopicForTemplate("phoneentry"), "phonebook_entry.htm"},
      {"unknown number", HelpTopicForTemplate(4242), kHelpContents},
      {"unknown name", HelpTopicForTemplate("NoSuchDialog"), kHelpContents},
      {"empty name", HelpTopicForTemplate(std::string_view()), kHelpContents},
      {"calendar window", HelpTopicForWindowClass("KVCalendar"), "month_view.htm"},
      {"world map window", HelpTopicForWindowClass("KVMapHost"), "using_orbisa.htm"},
      {"phonebook window", HelpTopicForWindowClass("MDIDialogClass"), "phonebook.htm"},
      {"unknown class", HelpTopicForWindowClass("Edit"), kHelpContents},
      {"year view", HelpTopicForCalendarView(1), "year_view.htm"},
      {"month view", HelpTopicForCalendarView(2), "month_view.htm"},
      {"day view", HelpTopicForCalendarView(4), "day_view.htm"},
      {"a view read as 0", HelpTopicForCalendarView(0), "month_view.htm"},
  };
  for (const Case& c : cases) EXPECT_STREQ(c.got, c.want) << c.what;
}

}  // namespace
}  // namespace kv
