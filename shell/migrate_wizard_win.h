// The "Migrate Data" wizard: introduction, the predecessor's configuration, the target, and
// the end page. The migration itself runs when "Next >>" leaves the target page.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

struct MigrateWizardOutcome {
  bool finished = false;      // the end page was reached and closed
  bool openTarget = false;    // open the target configuration now
  std::string config;         // the target configuration
};

MigrateWizardOutcome RunMigrateWizard(HINSTANCE instance, HWND owner);

}  // namespace kv
