// File > Import and File > Export: calendars (.ics) and contacts (.vcf, .csv) from and to other
// programs, through the common file dialogs.
#pragma once

namespace kv {

// Plugs Import and Export into the command table.
void InstallExchangeCommands();

}  // namespace kv
