#include "views/overlay_tabs.h"

#include "overlays/overlay_set.h"
#include "resources/strings.h"

namespace kv {

std::vector<std::string> OverlayTabLabels(const std::vector<std::string>& paths, bool hidden) {
  std::vector<std::string> labels;
  if (hidden || paths.size() < 2) return labels;
  labels.emplace_back(StringText(1118));
  for (const std::string& p : paths) labels.push_back(OverlayNameOfPath(p));
  return labels;
}

int TabOfOverlayName(const std::vector<std::string>& paths, const std::string& name) {
  if (name.empty()) return 0;
  for (size_t i = 0; i < paths.size(); ++i)
    if (OverlayNameOfPath(paths[i]) == name) return static_cast<int>(i) + 1;
  return 0;
}

}  // namespace kv
