// Where the shell meets printing: "&Print..." (Ctrl+P) prints what the active desk window
// shows, "Pa&ge Layout..." edits that kind's page layout, and "Output to Clipboard" / "Output
// to disk..." put the calendar's year or month page into a metafile.
#pragma once

namespace kv {

// Installs the command handler (once, at start-up).
void InstallPrinting();

}  // namespace kv
