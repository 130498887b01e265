// The GPS receiver on a serial port: one acquisition at a time, for the map window (kept open,
// a fix with every position sentence) or for the location editor's progress dialog (ended at
// the first fix). The port is read on a background thread that only watches for characters;
// the sentences are scanned and interpreted on the thread that started the acquisition, which
// also owns the watchdog timer, and the notifications go to the target window.
#pragma once

#include <windows.h>

#include "devices/gps.h"
#include "sky/zones.h"

namespace kv {

// Opens the port named by the GPS/Port setting (4800 baud, 8N1) and starts reading. A running
// acquisition is stopped first. False when the port cannot be opened or configured. In dialog
// mode the target receives kMsgGpsPortOpen at once (posted).
bool StartGpsAcquisition(GpsMode mode, HWND target);
// Joins the reader, closes the port and kills the target's watchdog timer.
void StopGpsAcquisition();
bool GpsMapAcquisitionRunning();
int GpsStatus();   // 0 no usable data, 1 receiver active without a fix, 2 position fixed

// The map acquisition's latest fix (latitude 90.0 until the first one) and the dialog's.
GpsFix GpsMapFix();
GpsFix GpsDialogFix();

// The zone of a map acquisition (the system's zone when it started), for a new location made
// from the GPS marker: its identifier (0 when the system zone is unknown) and its record.
int GpsMapZoneId();
const ZoneRecord& GpsMapZone();

// Runs "GPS Configuration" when no GPS port is set; true when one is set afterwards.
bool EnsureGpsPortConfigured(HWND owner);
// The "GPS Configuration" dialog; IDOK when a port was saved, IDCANCEL otherwise.
int RunGpsConfigurationDialog(HWND owner);

// "Acquire from GPS..." of the location editor: makes sure a port is configured, runs the
// "Acquire GPS Location" dialog (which takes the port from a map acquisition) and starts a map
// acquisition that was running again afterwards. True with the fix when one was found.
bool AcquireGpsLocation(HWND owner, GpsFix* fix);

// The target window receives WM_TIMER with this id when no sentence came for 8 seconds.
constexpr UINT kGpsWatchdogTimer = 200;
constexpr UINT kGpsWatchdogMs = 8000;

}  // namespace kv
