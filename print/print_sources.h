// PrintSources filled from the stores of the open database folder: each day's schedule items
// with their notes, each day's general note, the to-do list (all items, in the window's order)
// and the phonebook (people view, by name). Nothing in the stores is changed.
#pragma once

#include "print/print_job.h"

namespace kv {

// The hooks and lists of `sources` that come from the stores; with `stores` false (no database
// folder) they are left empty. The options, fonts, formats and binder settings stay the
// caller's.
void FillPrintSourcesFromStores(PrintSources& sources, bool stores, bool todoByPriority = false);

}  // namespace kv
