// The calendar views' options and fonts as the configuration keeps them: the record's fields
// turned into what the views take (colours become canvas colours, font slots font roles).
#pragma once

#include "base/canvas.h"
#include "shell/config.h"
#include "views/calendar_state.h"

namespace kv {

// The system colours the views use beside the configuration's four.
struct SystemViewColours {
  Colour window = MakeColour(255, 255, 255);
  Colour windowText = MakeColour(0, 0, 0);
  Colour selection = MakeColour(0, 120, 215);
  Colour selectionText = MakeColour(255, 255, 255);
};

// `screenWidth` picks the cell icon size (16, 24 or 32).
ViewOptions ViewOptionsFromConfig(const CalendarConfig& config, int screenWidth = 1280,
                                  const SystemViewColours& system = {});

// The screen fonts of the views at `pixelsPerInch`: Title from slot 0, Cell from slot 1, Event
// from slot 2, Bold from slot 3, Small from slot 5; Dialog is the system's dialog font.
FontTable ScreenFontTable(const CalendarConfig& config, int pixelsPerInch);

}  // namespace kv
