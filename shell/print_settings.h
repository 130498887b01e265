// What a print job takes from the configuration: the printer font slots, the binder choices,
// the calendar's options and the regional formats, gathered into the job's sources.
#pragma once

#include "print/print_job.h"
#include "shell/config.h"

namespace kv {

// The eight printer font slots as the configuration has them (its built-in fonts for empty slots).
std::array<PrintFont, 8> PrinterFonts(const CalendarConfig& config);

// The sources of a job over the calendar `options`: fonts, binder layout and paper and style,
// the regional formats and the current date and time for the header codes.
PrintSources ConfiguredPrintSources(const CalendarConfig& config, const ViewOptions& options);

}  // namespace kv
