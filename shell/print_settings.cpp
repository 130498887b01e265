#include "shell/print_settings.h"

#include "calendar/clock.h"

namespace kv {

std::array<PrintFont, 8> PrinterFonts(const CalendarConfig& config) {
  std::array<PrintFont, 8> fonts;
  for (int slot = 0; slot < 8; ++slot) {
    const FontChoice f = EffectiveFont(config.printerFonts[static_cast<size_t>(slot)], slot, true);
    PrintFont& p = fonts[static_cast<size_t>(slot)];
    p.face = f.face;
    p.points = f.pointSize;
    p.weight = f.weight;
    p.italic = f.italic;
  }
  return fonts;
}

PrintSources ConfiguredPrintSources(const CalendarConfig& config, const ViewOptions& options) {
  PrintSources s;
  s.options = options;
  s.regional = Regional();
  s.fonts = PrinterFonts(config);
  const int layout = config.printLayout & 7;
  s.binderLayout = layout == 2 ? BinderLayout::LandscapeDual : layout == 1 ? BinderLayout::LandscapeSingle : BinderLayout::Portrait;
  s.binderStyle = (config.printLayout & 8) != 0;
  s.binderA4 = config.printOption == 1;
  s.now = CurrentDateTime().stamp;
  return s;
}

}  // namespace kv
