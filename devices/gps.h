// The GPS receiver's sentences: the scanner that cuts NMEA 0183 sentences out of the bytes a
// receiver sends, and the interpreter of the three it understands (GPRMB, GPRMC, GPGGA), which
// keeps the receiver's status and the latest position fix and says which notification the
// acquisition's target window gets. No windows and no port here: bytes in, events out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

enum class GpsMode { Map = 0, Dialog = 1 };

struct GpsFix {
  double latitude, longitude;   // degrees, north and east positive
};

// The receiver's status.
constexpr int kGpsNoData = 0;    // no usable data
constexpr int kGpsActive = 1;    // the receiver is active without a fix
constexpr int kGpsFixed = 2;     // the position is fixed

// A sentence is held without its dollar sign in a buffer of this many characters, the last of
// which ends the text: a sentence that runs past it (no CR in time) is dropped whole and the
// scanner waits for the next dollar sign.
constexpr size_t kGpsSentenceBuffer = 400;
constexpr size_t kGpsSentenceMax = kGpsSentenceBuffer - 1;
// Fields are held in 16 characters, the last ending the text: longer ones are cut to 15.
constexpr size_t kGpsFieldMax = 15;

// What one complete sentence did: the status after it, the notification for the target window
// (1070 found, 1071 no data, 1072 receiver active; 0 for none), and the mode's fix after it.
// Every complete sentence, understood or not, restarts the watchdog.
struct GpsEvent {
  int status = 0;
  int notify = 0;
  double latitude = 0, longitude = 0;
};

// Field `index` of a sentence (its text after the dollar sign): the text between the
// separators "," and "*", at most 15 characters; empty past the sentence's end.
std::string GpsField(std::string_view sentence, int index);

// ddmm.mmmm (or dddmm.mmmm) as degrees, negated unless the hemisphere is `positive` ("N"
// or "E"). Text that is no number counts as 0.
double GpsCoordinate(std::string_view text, std::string_view hemisphere, std::string_view positive);

class GpsReceiver {
 public:
  GpsReceiver();

  // A new acquisition in a mode: the buffer emptied, the first GPRMC and the first GPGGA to be
  // discarded, status 0; a map acquisition's latitude is 90 until its first fix. The fixes
  // themselves are kept from earlier acquisitions.
  void Start(GpsMode mode);
  // Scans bytes (a sentence may span calls) and adds an event for every sentence ended.
  void Feed(std::string_view bytes, std::vector<GpsEvent>* events);
  // Interprets one sentence (the text after the dollar sign, without the CR).
  GpsEvent Interpret(std::string_view sentence);

  GpsMode mode() const { return mode_; }
  int status() const { return status_; }
  void set_status(int status) { status_ = status; }
  const GpsFix& mapFix() const { return mapFix_; }
  const GpsFix& dialogFix() const { return dialogFix_; }
  const GpsFix& fix() const { return mode_ == GpsMode::Map ? mapFix_ : dialogFix_; }
  // Characters of the sentence being assembled (0 while waiting for a dollar sign).
  size_t pending() const { return inSentence_ ? sentence_.size() : 0; }
  // Sentences dropped because they ran past the buffer.
  int dropped() const { return dropped_; }

 private:
  void TakeFix(std::string_view lat, std::string_view latHemisphere, std::string_view lon,
               std::string_view lonHemisphere);

  GpsMode mode_ = GpsMode::Map;
  std::string sentence_;
  bool inSentence_ = false;
  int status_ = kGpsNoData;
  bool skipRmc_ = true, skipGga_ = true;
  GpsFix mapFix_{90.0, 0.0};
  GpsFix dialogFix_{0.0, 0.0};
  int dropped_ = 0;
};

}  // namespace kv
