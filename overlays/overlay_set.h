// The active overlays: up to 20 files whose events are held in one list from which the
// calendar is drawn, their default accents and names, the list order of the "Configure
// Overlays" dialog, saving after each change, and the standard overlays of the first run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "overlays/overlay_event.h"
#include "overlays/overlay_file.h"

namespace kv {

constexpr int kMaxOverlays = 20;
constexpr size_t kMaxOverlayPath = 259;

struct LoadedEvent {
  int overlay = 0;  // 1-based number in the active list
  OverlayEvent event;
};

struct OverlaySetState {
  std::vector<std::string> paths;        // active overlays in the order opened
  std::vector<Accent> accents;           // default accent per overlay number (index number - 1)
  std::vector<LoadedEvent> events;       // every event of every active overlay
  std::string defaultOverlay;            // where new events are saved
  std::optional<LoadedEvent> clipboard;  // "C&ut" / "C&opy"
  unsigned generation = 0;               // changes with every change of the events
};

OverlaySetState& Overlays();
void ResetOverlays();

// Called after the event list changed (recompute the displayed months).
void SetOverlaysChangedHook(std::function<void()> hook);

// Adds a file to the active list and loads its events; returns its number, or 0. A 21st overlay
// is refused without a message; a missing file ("Error opening file:") or a failed header
// check ("File failed header check:") is reported and not added. A damaged file keeps the
// events before the damage and is reported.
int AddOverlay(const std::string& path);
bool RemoveOverlay(int number);   // the file stays on disk
void RemoveAllOverlays();
// Moves an overlay one place up (direction -1) or down (+1) in the active list, which renumbers
// the two and their events; false at either end.
bool MoveOverlay(int number, int direction);
// Drops the event list and loads every active overlay again, sorted in the save order.
void ReloadAllOverlays();
int OverlayCount();
// "Holidays (USA)" for "...\Holidays (USA).kov": the file title cut at its last '.'.
std::string OverlayName(int number);
std::string OverlayNameOfPath(const std::string& path);
const Accent& OverlayAccent(int number);

// The events of one overlay as event-list positions, in one of the three list orders.
std::vector<size_t> OverlayEventPositions(int number, int order);

// Saves an overlay's events (save order) with its header; `newAccent` replaces the default
// accent. Failure is reported ("Error opening file:") and returns false.
bool SaveOverlay(int number, const Accent* newAccent = nullptr);
// A new overlay file: asks before replacing an existing file ("The filename already exisits.
// Do you want to replace it?"); writes the events of `events` (may be empty) with a zero
// header; false when cancelled or it cannot be created ("Error creating file:").
bool SaveNewOverlay(const std::string& path, const std::vector<OverlayEvent>& events, const Accent& accent);

// "Configure Overlays" actions; each saves the file and reloads the set.
int NewOverlay(const std::string& path);                  // "&New...": empty overlay, added
bool AddEventToOverlay(int number, const OverlayEvent& e);  // the event editor's new event
bool ReplaceEvent(size_t position, const OverlayEvent& e);  // the editor's changed event
bool DeleteEvent(size_t position);                          // asks "Delete this entry from disk?"
void CopyEvent(size_t position);
bool CutEvent(size_t position);
bool PasteEvent(int number);
bool SetOverlayAccent(int number, const Accent& accent);
bool CanClearAccent(int number);
bool ClearOverlayAccent(int number);

// The list order ("OvlSort" of section "Configuration"): 0, 1 or 2.
int OverlayListOrder();
void SetOverlayListOrder(int order);

// ---- standard overlays ------------------------------------------------------------------

enum class HomeCountry { None, Usa, France, Canada, Uk };

struct StandardOverlay {
  const char* programFile;  // in the program folder's "Data" folder: "USA_HDAY.DAT"
  const char* overlayFile;  // in the data folder's Overlays folder: "Holidays (USA).kov"
};
// All seven, country overlays first.
const std::vector<StandardOverlay>& StandardOverlays();
// The overlays the first run adds, as paths "%s\Overlays\...": the country's, then the
// Christian, Jewish and Sample overlays.
std::vector<std::string> StandardOverlayPaths(const std::string& dataFolder, HomeCountry country);
// Moves every Gregorian event of the sample overlay into the given month; the file is left
// unchanged when a description runs over 120 characters or the file is not an overlay.
bool PrepareSampleOverlay(const std::string& path, int month);
// The first run: prepares Sample.kov for the current month, then adds the overlays.
void SetUpStandardOverlays(const std::string& dataFolder, HomeCountry country, int currentMonth);

}  // namespace kv
