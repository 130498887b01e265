// The command table: who carries out each command of the frame's menus, accelerators and
// toolbar, and the one place where each module plugs in its handler. The frame asks here
// whether a command is available (a command whose owner has no handler, or whose handler
// declines it, is greyed) and runs it through here, so no command is ever a dead click.
#pragma once

#include <functional>
#include <vector>

namespace kv {

enum class CommandOwner {
  None,             // not a command of the frame: the active desk window gets it
  Frame,
  CalendarViews,    // quick edit, go to date, move back and forward; today and tabs follow
  Printing,         // page layout, print, metafiles
  Migration,
  Locations,
  Gps,
  Options,          // calendar options, fonts, colours
  Schedule,
  ToDo,
  Dialer,
  Overlays,
  DatabasePath,
  Alarms,
  DesktopClock,
  DesktopIcon,
  Search,
  VersionCheck,
  Exchange,         // import and export of other programs' formats
  Help,             // the help file: its contents, and the page of the window in use (F1)
};

CommandOwner OwnerOf(int command);

// Every command of the frame's menus, accelerators and toolbar.
const std::vector<int>& FrameCommands();

// A handler is asked first whether it carries out a command now (run false), then to carry it
// out (run true). Setting an empty handler removes the owner's.
using CommandHandler = std::function<bool(int command, bool run)>;
void SetCommandHandler(CommandOwner owner, CommandHandler handler);
void ResetCommandHandlers();

// True when the command's owner has a handler that takes it now.
bool CommandAvailable(int command);
// Carries the command out through its owner; false when it is not available.
bool RunCommand(int command);
// Offers a command to another owner's handler as well; true when that one took it.
bool ForwardToOwner(CommandOwner owner, int command);

}  // namespace kv
