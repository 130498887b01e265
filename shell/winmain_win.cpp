// Entry of kalvora.exe: the checks of the system, the single instance, the start-up in its
// order, and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/system_library_win.h"
#include "calendar/clock_win.h"
#include "datebox/datebox_win.h"
#include "personal/schedule_sources.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "personal/alarm_window_win.h"
#include "personal/sound_dialog_win.h"
#include "personal/alarms.h"
#include "personal/clock_tick.h"
#include "personal/ical.h"
#include "shell/configuration.h"
#include "shell/desk.h"
#include "shell/dialer_setup_win.h"
#include "shell/calendar_views_win.h"
#include "shell/clock_setup_win.h"
#include "shell/schedule_window_setup_win.h"
#include "shell/desk_win.h"
#include "shell/drawing_win.h"
#include "shell/filesystem_win.h"
#include "shell/exchange_win.h"
#include "shell/frame_win.h"
#include "shell/location_dialogs_win.h"
#include "shell/gps_setup_win.h"
#include "shell/location_setup_win.h"
#include "shell/messages_win.h"
#include "shell/open_file.h"
#include "shell/open_file_win.h"
#include "shell/options_setup_win.h"
#include "shell/phone_setup_win.h"
#include "shell/program_services.h"
#include "shell/migrate_setup_win.h"
#include "shell/print_setup_win.h"
#include "shell/search_setup_win.h"
#include "shell/help_setup_win.h"
#include "base/help_win.h"
#include "shell/world_map_setup_win.h"
#include "shell/database_path_setup_win.h"
#include "shell/version_check_setup_win.h"
#include "shell/schedule_editor_win.h"
#include "shell/overlay_editor_win.h"
#include "shell/settings_win.h"
#include "shell/shell_services.h"
#include "shell/startup.h"
#include "shell/system_libs_win.h"
#include "shell/todo_setup_win.h"
#include "shell/toolbar_win.h"
#include "shell/window_classes_win.h"
#include "sky/sky_win.h"
#include "timebox/timebox_win.h"
#include "views/calendar_state.h"

namespace kv {

AppState& App() {
  static AppState state;
  return state;
}

namespace {

constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A second start only brings the running frame to the top.
bool ActivateRunningInstance() {
  HWND frame = FindWindowA(kFrameClass, nullptr);
  if (!frame) return false;
  if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
  // A frame out of sight behind its desktop clock comes back through the clock.
  if (FindWindowA("KVClock", nullptr)) SendMessageA(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
  SetForegroundWindow(frame);
  BringWindowToTop(frame);
  return true;
}

void ShowStop(int id) {
  UserMessage m;
  m.text = std::string(StringText(id));
  m.caption = std::string(StringText(IDS_PRODUCT_NAME));
  m.icon = MsgIcon::Stop;
  m.beep = MsgBeep::Stop;
  m.owner = MsgOwner::None;
  ShowUserMessage(m);
}

std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return FolderOf(path);
}

// The user's documents folder as the shell records it; where the shell has not recorded it,
// the folder the shell reports.
std::string PersonalFolder(FileSystem& fs) {
  char value[MAX_PATH + 1] = "";
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    DWORD size = MAX_PATH, type = 0;
    if (RegQueryValueExA(key, "Personal", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
      value[0] = 0;
    value[std::min<DWORD>(size, MAX_PATH)] = 0;
    RegCloseKey(key);
  }
  std::string personal = value;
  if (!personal.empty() && fs.FolderExists(personal)) return personal;
  char shell[MAX_PATH] = "";
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, shell))) return shell;
  return personal;
}

std::string AppDataFolder() {
  char path[MAX_PATH] = "";
  return SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, path)) ? path : "";
}

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

ScreenArea VirtualScreen() {
  int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

ScreenArea WorkArea() {
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return {r.left, r.top, r.right, r.bottom};
}

bool StartedMinimized(int show) {
  return show == SW_MINIMIZE || show == SW_SHOWMINIMIZED || show == SW_SHOWMINNOACTIVE || show == SW_FORCEMINIMIZE;
}

// A start on a test clock (see kMsgTestAdvanceClock).
void UseTestClockIfAsked() {
  const char* value = std::getenv("KALVORA_TEST_CLOCK");
  int year, month, day, hour, minute;
  if (value && std::sscanf(value, "%d-%d-%dT%d:%d", &year, &month, &day, &hour, &minute) == 5)
    InstallTestClock({year, static_cast<uint16_t>(month), static_cast<uint16_t>(day), static_cast<uint16_t>(hour),
                      static_cast<uint16_t>(minute)});
}

// The data folder and everything in it that must exist before a configuration is opened.
void PrepareFolders(FileSystem& fs) {
  ConfigurationState& s = ConfigState();
  DataFolderInputs in{PersonalFolder(fs), s.programFolder, AppDataFolder()};
  DataFolderResult folder = PrepareDataFolder(fs, in);
  s.dataFolder = folder.dataFolder;
  App().earlierLayoutFound = folder.earlierLayoutFound;
  if (folder.created) {
    // The shell shows a folder's desktop.ini only for a system folder, and hides the file.
    SetFileAttributesA(JoinWindowsPath(folder.dataFolder, "desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    PathMakeSystemFolderA(folder.dataFolder.c_str());
  }
  if (!folder.documentToOpen.empty())
    ShellExecuteA(nullptr, "open", folder.documentToOpen.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The frame takes its place before the desk is laid out in it, and is shown afterwards.
void PlaceFrame(HWND frame) {
  Placement p = FrameStartPlacement(Config().desk.frame, VirtualScreen(), WorkArea());
  SetWindowPos(frame, nullptr, p.x, p.y, p.width, p.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowFrame(HWND frame, int show) {
  if (StartedMinimized(show)) {
    bool standIn = (App().clockIcon & 0x100) && Hooks().clockStandsIn && Hooks().clockStandsIn();
    if (!standIn) ShowWindow(frame, SW_SHOWMINIMIZED);
  } else {
    ShowWindow(frame, Config().desk.frameState == kMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  }
  UpdateWindow(frame);
}

bool Initialise(HINSTANCE instance, LPCSTR commandLine, int show, MessageBoxSink& messages) {
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  CPINFO codePage{};
  if (GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize > 1) SetLeadByteTest(IsLeadByte);

  static Win32RegistryTree registry;
  App().firstRun = MigrateRegistryKey(registry);
  ConfigurationState& s = ConfigState();
  s.programFolder = ProgramFolder();

  static Win32FileSystem fs;
  SetFileSystem(&fs);
  PrepareFolders(fs);

  InstallSkyPlatform();
  InstallProgramServices();
  InstallPersonalSources();
  Services().LoadZoneTable(s.programFolder);
  LoadZoneNames(JoinWindowsPath(s.programFolder, "KVTZNAMES.DAT"));
  App().screenWidth = GetSystemMetrics(SM_CXSCREEN);
  App().screenHeight = GetSystemMetrics(SM_CYSCREEN);
  s.defaults.screenWidth = App().screenWidth;
  s.defaults.screenHeight = App().screenHeight;
  s.defaults.shadowColour = GetSysColor(COLOR_BTNSHADOW);
  s.defaults.gridColour = GetSysColor(COLOR_WINDOWTEXT);

  bool createdDefault = !s.dataFolder.empty() && CreateDefaultFiles(fs, s.dataFolder, s.programFolder);
  if (SmallScreenNoticeDue(App().screenWidth, createdDefault && Config().firstUse))
    ShowMessage(std::string(StringText(1287)), MsgIcon::Warning);
  App().cellIconSize = CellIconSize(App().screenWidth);

  AlarmDefaultSounds(s.programFolder);
  Services().LoadJewishSetup();

  if (!OpenConfigurationFromCommandLine(commandLine ? commandLine : "")) return false;

  SetRegional(ReadRegionalSettings());
  BuildDrawingResources();
  App().colorOkMessage = RegisterWindowMessageA("commdlg_ColorOK");
  App().setRgbMessage = RegisterWindowMessageA("commdlg_SetRGBColor");

  // The date and time boxes of the dialogs; the date box shows the calendar's primary dates.
  if (!RegisterDateBox(instance) || !RegisterTimeBox(instance)) return false;
  SetDateBoxCalendar([] { return DateBoxCalendar{Calendar().options.jewishPrimary, Calendar().options.weekStart}; });
  if (!RegisterWindowClasses(instance)) return false;
  RegWriteSetting("Configuration", "Active", "1");

  s.hooks.recordDesk = RecordDeskInto;
  s.hooks.loaded = [] {
    SetFrameTitle();
    ApplyViewSettings();
  };
  s.hooks.fileChanged = SetFrameTitle;
  HWND frame = CreateFrame(instance);
  App().accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
  if (!frame || !App().accelerators) return false;
  messages.SetFrame(frame);

  Config().location.systemZone = static_cast<uint8_t>(Services().SystemZone());
  InstallExchangeCommands();
  InstallSoundCommand(instance, frame);
  // Alarms are looked for from the first tick on; a due one opens its window over everything.
  InstallAlarmHooks([](const PendingAlarm& alarm) { OpenAlarmWindow(App().instance, App().frame, alarm); });
  RunFrameTick();
  // The views start on today as the first tick has found it.
  InstallCalendarViews();
  InstallScheduleWindow();
  InstallSearchWindow();
  InstallWorldMap();
  InstallMigrateDataCommand();
  InstallToDoWindow();
  InstallPhonebookWindow();
  InstallDialer(instance, frame);
  InstallScheduleEditors();
  InstallLocationDialogs();
  InstallOptionsDialogs();
  InstallVersionCheck();
  InstallDatabasePath();
  InstallDesktopClock();
  InstallOverlayEditors();
  InstallHelpCommands();
  InstallPrinting();
  InstallGps();

  SetFrameTitle();
  PlaceFrame(frame);
  ResetDeskWindows(true);

  App().autoSave = RegReadSetting("Configuration", "AutoSave") == "1";
  std::string clock = RegReadSetting("Configuration", "ClockIcon");
  App().clockIcon = clock.empty() ? 15 : std::atoi(clock.c_str());

  uint16_t view = Config().desk.view;
  Config().desk.view = 0;  // the stored view is selected as if anew: button pressed, panes made
  SwitchCalendarView(view);

  ShowFrame(frame, show);
  // A first run offers the desktop icon, unless the welcome wizard is about to offer it as a step.
  bool welcomeOffersIcon = Config().firstUse && Hooks().welcome && WelcomeStepsInUse().desktopIcon;
  if (App().firstRun && !welcomeOffersIcon) ForwardToOwner(CommandOwner::DesktopIcon, CMD_DESKTOP_ICON);

  // A desk that was never laid out (a new configuration) is arranged.
  bool neverLaidOut = Config().desk.calendar.width <= 0 || Config().desk.calendar.height <= 0;
  if (Config().firstUse || neverLaidOut) ArrangeAllWindows();
  if (Config().firstUse) {
    if (HWND calendar = DeskWindow(kDeskCalendar)) {
      SendMessageA(App().mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(calendar), 0);
      SetFocus(calendar);
    }
    WriteConfiguration(kSave);
  }
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  return true;
}

// Keyboard messages go to the MDI system keys, the accelerators and the modeless windows, in
// that order, before they are dispatched.
bool TakenByModeless(MSG& msg) {
  HWND windows[] = {App().mapTools, App().search, AlarmWindow(), DeskWindow(kDeskPhonebook)};
  for (HWND h : windows)
    if (h && IsWindow(h) && IsDialogMessageA(h, &msg)) return true;
  return false;
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (App().mdiClient && TranslateMDISysAccel(App().mdiClient, &msg)) continue;
    if (App().frame && App().accelerators && TranslateAcceleratorA(App().frame, App().accelerators, &msg)) continue;
    if (TakenByModeless(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int Main(HINSTANCE instance, LPSTR commandLine, int show) {
  static RegistrySettings settings;
  static MessageBoxSink messages;
  static Win32Clock clock;
  SetSettingsStore(&settings);
  SetMessageSink(&messages);
  SetClockSource(&clock);
  UseTestClockIfAsked();

  LoadOptionalLibraries();
  if (!SystemSupported()) {
    ShowStop(1282);
    return 1;
  }
  // An overlay opened from Explorer goes to the running program, or is offered to the
  // configuration this start opens (the default one).
  std::optional<std::string> overlay = OverlayFileOfCommandLine(commandLine ? commandLine : "");
  if (overlay) *overlay = FullPathOf(*overlay);
  if (HWND running = FindWindowA(kFrameClass, nullptr); running && overlay) HandOverlayToFrame(running, *overlay);
  if (ActivateRunningInstance()) return 0;
  App().instance = instance;
  App().startTick = GetTickCount();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  if (!Initialise(instance, overlay ? "" : commandLine, show, messages)) return 1;
  if (overlay) OfferOverlayWhenFree(*overlay);

  if (Config().firstUse) {
    PostMessageA(App().frame, kMsgFirstUse, 0, 0);
  } else if (ConfigState().converted) {
    WriteConfiguration(kSave);
    PostMessageA(App().frame, kMsgOpenMap, 0, 0);
  }
  SetTimer(nullptr, kClockTimerId, kClockTickMs, ClockTimerProc);
  PostMessageA(App().frame, kMsgRunClockTick, kClockTimerId, 0);
  int result = RunMessageLoop();
  CloseHelpWindows();
  return result;
}

}  // namespace
}  // namespace kv

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  // Before anything can load a library: never from the program's own or the current folder.
  kv::RestrictLibrarySearchToSystem();
  return kv::Main(instance, commandLine, show);
}
