#include "shell/phone_setup_win.h"

#include "personal/notes.h"
#include "personal/phone_window_win.h"
#include "shell/app_win.h"
#include "shell/config.h"
#include "shell/configuration.h"
#include "shell/desk_win.h"
#include "shell/dialer_setup_win.h"
#include "shell/drawing_win.h"

namespace kv {

void InstallPhonebookWindow() {
  PhoneWindowHooks hooks;
  hooks.font = [] { return Drawing().dialogFont; };
  hooks.notesWindow = [] { return DeskWindow(kDeskNotes); };
  hooks.bringUp = [] { return BringUpDeskWindow(kDeskPhonebook); };
  // Configuration bytes 564-589: the selected entry, kept for the next start.
  hooks.remembered = [] { return PhoneRemembered{Config().phonebookLastId, Config().phonebookLastName}; };
  hooks.remember = [](const PhoneRemembered& r) {
    Config().phonebookLastId = r.id;
    Config().phonebookLastName = r.name;
  };
  // Byte 117: 1 lists people, 0 organizations.
  hooks.peopleView = [] { return Config().desk.phonebookPeople != 0; };
  hooks.setPeopleView = [](bool people) { Config().desk.phonebookPeople = people ? 1 : 0; };
  hooks.dial = DialerDialHook();
  SetPhoneWindowHooks(std::move(hooks));

  NoteOwnerTitles titles = NoteOwnerTitlesInUse();
  titles.phoneName = [](uint16_t entryId) { return PhoneWindowEntryName(entryId); };
  SetNoteOwnerTitles(titles);
}

}  // namespace kv
