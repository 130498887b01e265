#include "shell/migrate_setup_win.h"

#include <windows.h>

#include "base/command_table.h"
#include "base/messages.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "shell/app_win.h"
#include "shell/configuration.h"
#include "shell/desk_win.h"
#include "shell/frame_win.h"
#include "shell/migrate_wizard_win.h"

namespace kv {
namespace {

void MigrateData() {
  if (ConfigDirty()) {
    MsgAnswer answer = ShowMessage(std::string(StringText(1131)), MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Cancel) return;
    if (answer == MsgAnswer::Yes && !WriteConfiguration(kSave)) return;
  }
  MigrateWizardOutcome outcome = RunMigrateWizard(App().instance, App().frame);
  if (!outcome.finished || !outcome.openTarget || outcome.config.empty()) return;
  // The phonebook keeps its list open; it reads the migrated one afresh.
  CloseDeskWindow(kDeskPhonebook);
  LoadConfigurationFile(App().frame, outcome.config);
}

}  // namespace

void InstallMigrateDataCommand() {
  SetCommandHandler(CommandOwner::Migration, [](int command, bool run) {
    if (command != CMD_MIGRATE_DATA) return false;
    if (run) MigrateData();
    return true;
  });
}

}  // namespace kv
