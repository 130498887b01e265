// The labels of the calendar's overlay tabs: "All" and then each loaded overlay by its file
// title, or none at all when fewer than two overlays are loaded or the tabs are switched off.
#pragma once

#include <string>
#include <vector>

namespace kv {

std::vector<std::string> OverlayTabLabels(const std::vector<std::string>& overlayPaths, bool hidden);

// The tab to select for a remembered overlay name (0 "All" when the name is not loaded).
int TabOfOverlayName(const std::vector<std::string>& overlayPaths, const std::string& name);

}  // namespace kv
