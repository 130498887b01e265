// Contact exchange for the phonebook: vCard 3.0 and 4.0, and the comma-separated format that
// common address books export (a header row naming the columns). An entry that does not fit the
// phonebook's fields or its 251 characters is listed with its line and the reason, never cut.
// Both directions work on the database folder in use and ask through the messages seam.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "personal/ical.h"
#include "personal/phone.h"

namespace kv {

// One contact as the phonebook keeps it, with the note and the line it came from.
struct ContactEntry {
  PhoneFields fields;
  std::string note;
  int line = 0;
};

struct ContactsExportResult {
  bool ok = false;
  std::string text;    // UTF-8
  int entries = 0;
  std::string error;
};

struct ContactsImportResult {
  bool ok = false;
  bool cancelled = false;
  int entries = 0;
  int lostCharacters = 0;
  std::vector<ExchangeSkip> skipped;
  ContentError error;
};

enum class VCardVersion { V3, V4 };

// Every entry of the phonebook file with its note.
std::vector<ContactEntry> ReadPhonebook();

std::string VCardText(const std::vector<ContactEntry>& entries, VCardVersion version);
// The contacts of a vCard file (2.1, 3.0 or 4.0); false with the line of a structural fault.
bool ParseVCards(std::string_view text, std::vector<ContactEntry>& out, std::vector<ExchangeSkip>& skipped,
                 int& lostCharacters, ContentError& error);

std::string ContactsCsvText(const std::vector<ContactEntry>& entries);
bool ParseContactsCsv(std::string_view text, std::vector<ContactEntry>& out, std::vector<ExchangeSkip>& skipped,
                      int& lostCharacters, ContentError& error);

// Checks every entry against the fields' and the entry's limits (misfits go to `skipped`), asks
// "Ready to import %d phonebook entries.  Proceed?" and stores them with their notes.
ContactsImportResult StoreContacts(std::vector<ContactEntry> entries, std::vector<ExchangeSkip> skipped,
                                   int lostCharacters);

// The files: export to and import from a path.
ContactsExportResult VCardExportFile(const std::string& path, VCardVersion version);
ContactsImportResult VCardImportFile(const std::string& path);
ContactsExportResult CsvExportFile(const std::string& path);
ContactsImportResult CsvImportFile(const std::string& path);

// String-table numbers.
constexpr int kStrContactsReady = 25210;
constexpr int kStrContactsDone = 25211;
constexpr int kStrContactsImported = 25212;   // the category of contacts that name none
constexpr int kStrLabelEmail = 25213;
constexpr int kStrLabelWeb = 25214;
constexpr int kStrLabelMobile = 25215;
constexpr int kStrLabelPager = 25216;

}  // namespace kv
