// The search's sources over the real stores: the schedule's range listing, the phonebook and
// to-do files, the active overlays as the calendar expands them, and the notes in the database
// files. Every store is opened for reading and closed again within each call.
#pragma once

#include "personal/search.h"

namespace kv {

// Caller codes of the search's store accesses.
constexpr int kCallerSearchNote = 7701;
constexpr int kCallerSearchPhone = 7702;
constexpr int kCallerSearchToDo = 7703;
constexpr int kCallerSearchDayNotes = 7704;

class StoreSearchSources : public SearchSources {
 public:
  bool Busy() override;
  void ScheduleMonth(int year, int month, int fromDay, int toDay, bool withNotes,
                     std::vector<SearchScheduleEntry>& out) override;
  bool PhoneEntries(bool withNotes, std::vector<SearchPhoneEntry>& out) override;
  void ToDoItems(bool withNotes, std::vector<SearchToDoEntry>& out) override;
  void OverlayMonth(int year, int month, std::vector<SearchOverlayHit>& out) override;
  bool GeneralNotes(int year, int month, int fromDay, int toDay, std::vector<SearchDayNote>& out) override;
};

// The display name of a phonebook hit: the company when there is no last name, else
// "[Salutation ]First Last".
std::string SearchPhoneName(std::string_view salutation, std::string_view first, std::string_view last,
                            std::string_view company);

}  // namespace kv
