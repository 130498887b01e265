#include "devices/gps.h"

#include <charconv>
#include <cmath>

namespace kv {
namespace {

constexpr int kNotifyFound = 1070, kNotifyNoData = 1071, kNotifyActive = 1072;

bool IsSeparator(char c) { return c == ',' || c == '*'; }

// The notification a change of status calls for. An unknown previous status counts as fixed:
// only a status other than fixed is told then.
int NotifyFor(bool previousKnown, int previous, int status) {
  if (!previousKnown || previous == kGpsFixed) {
    if (status == kGpsFixed) return 0;
    return status == kGpsActive ? kNotifyActive : kNotifyNoData;
  }
  return status == kGpsFixed ? kNotifyFound : 0;
}

// The leading decimal number of a text, as a C library would read it; 0 when there is none or
// it is not finite.
double LeadingNumber(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  if (at < text.size() && text[at] == '+') ++at;
  double value = 0;
  auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value, std::chars_format::fixed);
  (void)end;
  if (error != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

}  // namespace

std::string GpsField(std::string_view sentence, int index) {
  size_t start = 0;
  for (int i = 0; i < index; ++i) {
    size_t next = start;
    while (next < sentence.size() && !IsSeparator(sentence[next])) ++next;
    if (next >= sentence.size()) return {};
    start = next + 1;
  }
  size_t end = start;
  while (end < sentence.size() && !IsSeparator(sentence[end])) ++end;
  std::string field(sentence.substr(start, end - start));
  if (field.size() > kGpsFieldMax) field.resize(kGpsFieldMax);
  return field;
}

double GpsCoordinate(std::string_view text, std::string_view hemisphere, std::string_view positive) {
  double x = LeadingNumber(text);
  double degrees = std::floor(x / 100);
  double value = degrees + (x - degrees * 100) / 60;
  return hemisphere == positive ? value : -value;
}

GpsReceiver::GpsReceiver() { sentence_.reserve(kGpsSentenceBuffer); }

void GpsReceiver::Start(GpsMode mode) {
  mode_ = mode;
  sentence_.clear();
  inSentence_ = false;
  skipRmc_ = skipGga_ = true;
  status_ = kGpsNoData;
  if (mode == GpsMode::Map) mapFix_.latitude = 90.0;
}

void GpsReceiver::Feed(std::string_view bytes, std::vector<GpsEvent>* events) {
  for (char c : bytes) {
    if (!inSentence_) {
      if (c == '$') {
        sentence_.clear();
        inSentence_ = true;
      }
      continue;
    }
    if (c == '\r') {
      inSentence_ = false;
      GpsEvent e = Interpret(sentence_);
      sentence_.clear();
      if (events) events->push_back(e);
      continue;
    }
    if (sentence_.size() >= kGpsSentenceMax) {
      // No CR within the buffer: this is no sentence we can read. Drop it and wait for the
      // next dollar sign rather than run past the buffer or read half a sentence.
      sentence_.clear();
      inSentence_ = false;
      ++dropped_;
      continue;
    }
    sentence_.push_back(c);
  }
}

void GpsReceiver::TakeFix(std::string_view lat, std::string_view latHemisphere, std::string_view lon,
                          std::string_view lonHemisphere) {
  GpsFix& fix = mode_ == GpsMode::Map ? mapFix_ : dialogFix_;
  fix.latitude = GpsCoordinate(lat, latHemisphere, "N");
  fix.longitude = GpsCoordinate(lon, lonHemisphere, "E");
  status_ = kGpsFixed;
}

GpsEvent GpsReceiver::Interpret(std::string_view sentence) {
  bool previousKnown = false;
  int previous = status_;
  bool told = true;
  std::string name = GpsField(sentence, 0);
  auto named = [&name](const char* what) { return name.compare(0, 5, what) == 0 && name.size() >= 5; };
  if (named("GPRMB")) {
    previousKnown = true;
    std::string valid = GpsField(sentence, 1);
    if (valid == "V") status_ = kGpsActive;
    else if (valid != "A") status_ = kGpsNoData;
  } else if (named("GPRMC")) {
    if (skipRmc_) {
      skipRmc_ = false;
      told = false;
    } else if (GpsField(sentence, 2) == "A") {
      std::string lat = GpsField(sentence, 3), lon = GpsField(sentence, 5);
      if (lat.empty() || lon.empty()) {
        status_ = kGpsActive;
      } else {
        previousKnown = true;
        TakeFix(lat, GpsField(sentence, 4), lon, GpsField(sentence, 6));
      }
    } else {
      status_ = GpsField(sentence, 2) == "V" ? kGpsActive : kGpsNoData;
    }
  } else if (named("GPGGA")) {
    if (skipGga_) {
      skipGga_ = false;
      told = false;
    } else {
      std::string lat = GpsField(sentence, 2), lon = GpsField(sentence, 4);
      if (!lat.empty() && !lon.empty()) {
        previousKnown = true;
        TakeFix(lat, GpsField(sentence, 3), lon, GpsField(sentence, 5));
      } else {
        status_ = kGpsActive;
      }
    }
  } else {
    told = false;
  }
  GpsEvent e;
  e.status = status_;
  e.notify = told ? NotifyFor(previousKnown, previous, status_) : 0;
  e.latitude = fix().latitude;
  e.longitude = fix().longitude;
  return e;
}

}  // namespace kv
