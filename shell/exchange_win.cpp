#include "shell/exchange_win.h"

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "base/command_table.h"
#include "base/messages.h"
#include "personal/alarms.h"
#include "personal/contacts.h"
#include "personal/ical.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "base/filesystem.h"
#include "shell/configuration.h"
#include "shell/exchange.h"
#include "shell/frame_win.h"
#include "shell/shell_services.h"

namespace kv {
namespace {

std::string Text(int id) { return std::string(StringText(id)); }

// "Title\0*.ext\0..." of the given string numbers and patterns.
std::string Filter(std::initializer_list<std::pair<int, const char*>> entries) {
  std::string filter;
  for (const auto& [title, pattern] : entries) {
    filter += Text(title);
    filter.push_back('\0');
    filter += pattern;
    filter.push_back('\0');
  }
  return filter;
}

struct Chosen {
  std::string path;
  int filterIndex = 1;
};

std::optional<Chosen> ChooseExchangeFile(bool save) {
  std::string filter = save ? Filter({{25220, "*.ics"}, {25221, "*.vcf"}, {25222, "*.vcf"}, {25223, "*.csv"}})
                            : Filter({{25224, "*.ics;*.vcf;*.csv"}, {25220, "*.ics"}, {25221, "*.vcf"}, {25223, "*.csv"}});
  std::string title = Text(save ? 25226 : 25225);
  char path[MAX_PATH] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = App().frame;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = title.c_str();
  ofn.lpstrDefExt = "ics";
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
              (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) return std::nullopt;
  return Chosen{path, static_cast<int>(ofn.nFilterIndex)};
}

// The windows that show schedule items, to-do items or phonebook entries read them again, and
// the next alarm is looked for among what arrived.
void RefreshAfterImport() {
  AlarmFindNext(false);
  for (HWND window : App().desk)
    if (window) InvalidateRect(window, nullptr, TRUE);
}

// Loads the overlay the import wrote into the calendar's set, or loads the set again when it is
// there already, so its new events show at once.
void ShowImportedOverlay(const std::string& path) {
  std::vector<std::string> names = Services().OverlayNames();
  bool loaded = false;
  for (const std::string& name : names) loaded = loaded || lstrcmpiA(name.c_str(), path.c_str()) == 0;
  if (loaded) {
    Services().CloseOverlays();
    for (const std::string& name : names) Services().AddOverlay(name);
  } else if (!Services().AddOverlay(path)) {
    return;  // the set is full: the overlay module has said so
  }
  Services().RebuildOverlayOrder();
  SetConfigDirty();
  if (Hooks().overlaysChanged) Hooks().overlaysChanged();
}

void Report(std::string text, const std::vector<ExchangeSkip>& skipped) {
  if (!skipped.empty()) text += "\n\n" + SkippedLines(skipped);
  ShowMessage(text, skipped.empty() ? MsgIcon::Information : MsgIcon::Warning);
}

void Export() {
  std::optional<Chosen> chosen = ChooseExchangeFile(true);
  if (!chosen) return;
  int items = 0;
  bool ok = false;
  switch (ExchangeFormatFor(chosen->path, chosen->filterIndex)) {
    case ExchangeFormat::Ical: {
      IcalExportOptions options;
      options.todo = true;
      IcalExportResult result;
      ok = IcalExportFile(chosen->path, options, result);
      items = result.events + result.todos;
      break;
    }
    case ExchangeFormat::VCard3:
    case ExchangeFormat::VCard4: {
      bool v4 = ExchangeFormatFor(chosen->path, chosen->filterIndex) == ExchangeFormat::VCard4;
      ContactsExportResult result = VCardExportFile(chosen->path, v4 ? VCardVersion::V4 : VCardVersion::V3);
      ok = result.ok, items = result.entries;
      break;
    }
    case ExchangeFormat::Csv: {
      ContactsExportResult result = CsvExportFile(chosen->path);
      ok = result.ok, items = result.entries;
      break;
    }
    case ExchangeFormat::Unknown:
      ShowMessage(FormatText(Text(25228).c_str(), chosen->path.c_str()), MsgIcon::Warning);
      return;
  }
  // A failed write has been reported by the writer.
  if (ok) ShowMessage(FormatText(Text(25227).c_str(), items, chosen->path.c_str()), MsgIcon::Information);
}

void Import() {
  std::optional<Chosen> chosen = ChooseExchangeFile(false);
  if (!chosen) return;
  switch (ExchangeFormatFor(chosen->path, 0)) {
    case ExchangeFormat::Ical: {
      // All-day events (holidays, birthdays) become events of an overlay of their own.
      IcalImportOptions options;
      options.overlayPath = JoinWindowsPath(OverlaysFolder(), "Imported.kov");
      IcalImportResult result = IcalImportFile(chosen->path, options);
      if (!result.ok) break;  // refused, cancelled or unreadable: said by the reader, nothing stored
      if (result.overlayEvents > 0) ShowImportedOverlay(options.overlayPath);
      RefreshAfterImport();
      Report(IcalImportReport(result), result.skipped);
      break;
    }
    case ExchangeFormat::VCard3:
    case ExchangeFormat::VCard4:
    case ExchangeFormat::Csv: {
      bool csv = ExchangeFormatFor(chosen->path, 0) == ExchangeFormat::Csv;
      ContactsImportResult result = csv ? CsvImportFile(chosen->path) : VCardImportFile(chosen->path);
      if (!result.ok) break;
      RefreshAfterImport();
      Report(FormatText(Text(kStrContactsDone).c_str(), result.entries), result.skipped);
      break;
    }
    case ExchangeFormat::Unknown:
      ShowMessage(FormatText(Text(25228).c_str(), chosen->path.c_str()), MsgIcon::Warning);
      break;
  }
}

}  // namespace

void InstallExchangeCommands() {
  SetCommandHandler(CommandOwner::Exchange, [](int command, bool run) {
    if (command != CMD_IMPORT && command != CMD_EXPORT) return false;
    if (run) command == CMD_IMPORT ? Import() : Export();
    return true;
  });
}

}  // namespace kv
