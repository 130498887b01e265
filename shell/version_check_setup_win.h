// Help's "Check Latest Version..." and "Internet Services and Support...": the question to the
// maker's version service, its answer, and the web pages opened in the user's browser. Only
// addresses the download-address check lets through ever reach the shell.
#pragma once

namespace kv {

// Installs the handler of both commands (once, at start-up, after the frame exists). The frame
// offers them only where the internet library exists.
void InstallVersionCheck();

}  // namespace kv
