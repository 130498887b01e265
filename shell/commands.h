// The frame's commands: the desk window each opens and the state of the menus when they open.
// Who carries out each command is the command table's (base/command_table.h).
#pragma once

#include <cstdint>
#include <vector>

#include "resources/command_ids.h"

namespace kv {

// The desk window a command opens or brings up (1320-1323, 1330, 1501-1505), or 0.
uint8_t DeskWindowOf(int command);

// What the menus show when they open.
struct MenuContext {
  uint8_t active = 0;          // desk code of the active window, 0 when none
  uint16_t view = 2;           // calendar view
  bool notesEmpty = false;     // the notes window holds no text
  bool clockEnabled = false;   // the desktop clock stands in for the minimized frame
  bool autoSave = false;
  bool tabsOn = true;          // overlay tabs switched on (byte 306 clear)
};

struct FileMenuState {
  bool pageLayout = true;
  bool print = true;
  bool metafile = true;        // the "Print to Metafile" popup
};
struct CalendarMenuState {
  bool goToDate = true;
  bool overlayTabsChecked = true;
  bool metafileOutputs = true;
};
struct ConfigureMenuState {
  bool clockChecked = false;
  bool autoSaveChecked = false;
};

FileMenuState FileMenu(const MenuContext& c);
CalendarMenuState CalendarMenu(const MenuContext& c);
ConfigureMenuState ConfigureMenu(const MenuContext& c);

}  // namespace kv
