// Which page of the help file "kalvora.chm" explains which window or dialog. F1 in a dialog
// and its "Help..." button look the dialog's template up here; F1 in the desk looks up the
// active window's class (and for the calendar window its view). Whatever is not in the table
// opens the contents page. The test of the compiled help file checks that every page named
// here is inside it.
#pragma once

#include <string_view>
#include <vector>

namespace kv {

inline constexpr const char* kHelpContents = "contents.htm";
inline constexpr const char* kHelpFile = "kalvora.chm";

// A dialog template named by its number (MAKEINTRESOURCE) or by its name.
const char* HelpTopicForTemplate(int templateId);
const char* HelpTopicForTemplate(std::string_view templateName);
// A window class of the desk (or a desk window's own top-level class).
const char* HelpTopicForWindowClass(std::string_view className);
// The calendar window's page for its view (1 year, 2 month, 4 day).
const char* HelpTopicForCalendarView(int view);

// Every page the program can ask for, each once, the contents page first.
std::vector<const char*> AllHelpTopics();

}  // namespace kv
