#include "overlays/overlay_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cstdio>

#include "calendar/date_format.h"
#include "calendar/regional.h"
#include "calendar/zone_conversion.h"
#include "resources/strings.h"
#include "base/bytes.h"

namespace kv {

void ParseOverlayHeader(const uint8_t* p, OverlayHeader& h) {
  std::memcpy(h.magic.data(), p, 4);
  h.format = ReadU32LE(p + 4);
  ParseAccent(p + 8, h.accent);
  h.count = ReadU32LE(p + 28);
  std::memcpy(h.reserved.data(), p + 32, 8);
}

void SerializeOverlayHeader(const OverlayHeader& h, uint8_t* p) {
  std::memcpy(p, h.magic.data(), 4);
  PutU32LE(p + 4, h.format);
  SerializeAccent(h.accent, p + 8);
  PutU32LE(p + 28, h.count);
  std::memcpy(p + 32, h.reserved.data(), 8);
}

int ParseOverlayBytes(const uint8_t* data, size_t size, OverlayImage& out) {
  out.events.clear();
  if (size < kOverlayHeaderSize) return kOverlayBadHeader;
  ParseOverlayHeader(data, out.header);
  // Each event takes at least 57 bytes, so the file's size bounds what a count can mean.
  size_t possible = (size - kOverlayHeaderSize) / (kEventFixedSize + 1);
  out.events.reserve(std::min<size_t>(out.header.count, possible));
  size_t pos = kOverlayHeaderSize;
  for (uint32_t i = 0; i < out.header.count; ++i) {
    if (size - pos < kEventFixedSize) return kOverlayBadRecord;
    OverlayEvent e;
    ParseEventFixed(data + pos, e);
    pos += kEventFixedSize;
    size_t avail = std::min(size - pos, kDescriptionSize);
    if (avail == 0) return kOverlayBadRecord;
    const void* zero = std::memchr(data + pos, 0, avail);
    if (zero) {
      size_t len = static_cast<size_t>(static_cast<const uint8_t*>(zero) - (data + pos));
      e.description.assign(reinterpret_cast<const char*>(data + pos), len);
      pos += len + 1;
      out.events.push_back(std::move(e));
      continue;
    }
    // No zero: the description ran on to the end of the file or past its 120 bytes.
    e.description.assign(reinterpret_cast<const char*>(data + pos), std::min(avail, kDescriptionSize - 1));
    pos += avail;
    out.events.push_back(std::move(e));
    if (avail == kDescriptionSize) return kOverlayBadRecord;
  }
  return kOverlayLoaded;
}

size_t SerializedOverlaySize(const OverlayImage& image) {
  size_t size = kOverlayHeaderSize;
  for (const OverlayEvent& e : image.events) size += kEventFixedSize + std::min(e.description.size(), kDescriptionSize - 1) + 1;
  return size;
}

std::vector<uint8_t> SerializeOverlay(const OverlayImage& image) {
  std::vector<uint8_t> bytes(SerializedOverlaySize(image), 0);
  OverlayHeader h = image.header;
  h.count = static_cast<uint32_t>(image.events.size());
  SerializeOverlayHeader(h, bytes.data());
  size_t pos = kOverlayHeaderSize;
  for (const OverlayEvent& e : image.events) {
    SerializeEventFixed(e, bytes.data() + pos);
    pos += kEventFixedSize;
    size_t len = std::min(e.description.size(), kDescriptionSize - 1);
    // A description never holds a zero: it would end the text early when read back.
    for (size_t i = 0; i < len; ++i) bytes[pos + i] = e.description[i] ? static_cast<uint8_t>(e.description[i]) : ' ';
    pos += len + 1;
  }
  return bytes;
}

// ---- older files ----------------------------------------------------------------------------

bool IsOlderOverlay(const uint8_t* data, size_t size) {
  if (size < 4 || data[3] != 0) return false;
  return std::memcmp(data, "KOV", 3) == 0 || std::memcmp(data, kPredecessorMagic, 3) == 0;
}

namespace {

// The old accent (a value and a colour word) in the new layout.
void OldAccent(uint8_t value, uint32_t colour, Accent& a) {
  if (value == 0) return;
  if (colour & 0x80000000u) a.flags |= kAccentTextColour, a.textColour = colour & 0xFFFFFF;
  if (colour & 0x40000000u) a.flags |= kAccentIcon, a.icon = value;
  else if (!(colour & 0x80000000u)) a.flags |= kAccentPattern, a.pattern = value, a.patternColour = colour & 0xFFFFFF;
}

}  // namespace

bool ConvertOlderOverlay(const uint8_t* data, size_t size, int homeZone, std::vector<uint8_t>& out) {
  if (size < 14 || !IsOlderOverlay(data, size)) return false;
  int format = ReadU16LE(data + 6);
  if (format > 5) return false;
  size_t fixed = format <= 3 ? 16 : format == 4 ? 20 : 26;
  OverlayImage image;
  image.header.accent.highlight = (data[5] & 0x80) ? 1 : data[5];
  OldAccent(data[4], ReadU32LE(data + 8), image.header.accent);
  unsigned count = ReadU16LE(data + 12);
  size_t pos = 14;
  for (unsigned i = 0; i < count; ++i) {
    if (size - pos < fixed + 1) break;
    const uint8_t* r = data + pos;
    const void* zero = std::memchr(r + fixed, 0, size - pos - fixed);
    if (!zero) break;
    size_t len = static_cast<size_t>(static_cast<const uint8_t*>(zero) - (r + fixed));
    OverlayEvent e;
    e.kind = r[10];
    e.year = ReadI16LE(r + 0);
    e.month = r[2];
    e.day = r[3];
    e.endYear = ReadI16LE(r + 4);
    e.endMonth = r[6];
    e.endDay = r[7];
    e.param = r[8];
    e.flags = r[9];
    if (e.flags & 0x80) {
      e.flags &= 0x7F;
      e.accent.highlight = 1;
    }
    OldAccent(r[11], ReadU32LE(r + 12), e.accent);
    if (format >= 4) {
      e.weight = ReadI16LE(r + 16);
      e.sameTime = r[18];
      e.zone = r[19];
    } else {
      // The oldest files know no times or weights: every event is listed below timed ones.
      e.flags = static_cast<uint16_t>((e.flags & kWeekendRuleMask) | kFlagBelowTimed);
      e.weight = -2001;
      e.sameTime = 0;
      e.accent.flags |= kAccentNoGifts;
      e.zone = static_cast<uint16_t>(homeZone);
    }
    if (format == 5) {
      e.offset = ReadI16LE(r + 20);
      if (r[22] & 1) e.accent.flags |= kAccentNoGifts;
    }
    e.description.assign(reinterpret_cast<const char*>(r + fixed), std::min(len, kDescriptionSize - 1));
    image.events.push_back(std::move(e));
    pos += fixed + len + 1;
  }
  out = SerializeOverlay(image);
  return true;
}

bool ConvertOlderOverlayFile(const std::string& path) {
  std::vector<uint8_t> old;
  if (!ReadWholeFile(path, old, size_t{16} << 20)) return false;
  std::vector<uint8_t> converted;
  if (!ConvertOlderOverlay(old.data(), old.size(), CurrentZone(), converted)) return false;
  // Written to a temporary file first, then moved over the old file.
  return WriteFileReplacing(path, converted);
}

int ReadOverlayFile(const std::string& path, OverlayImage& out) {
  out = OverlayImage{};
  std::vector<uint8_t> head;
  if (!ReadWholeFile(path, head, kOverlayHeaderSize)) return kOverlayCannotOpen;
  if (head.size() >= 4 && std::memcmp(head.data(), kOverlayMagic, 4) != 0 && head[3] == 0) {
    if (!IsOlderOverlay(head.data(), head.size()) || !ConvertOlderOverlayFile(path)) return kOverlayBadHeader;
    if (!ReadWholeFile(path, head, kOverlayHeaderSize)) return kOverlayCannotOpen;
  }
  if (head.size() < kOverlayHeaderSize) return kOverlayBadHeader;
  // Read no more than the count can need: 56 bytes and a description of up to 120 per event.
  uint64_t need = kOverlayHeaderSize + uint64_t{ReadU32LE(head.data() + 28)} * (kEventFixedSize + kDescriptionSize);
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes, static_cast<size_t>(std::min<uint64_t>(need, uint64_t{1} << 30)))) return kOverlayCannotOpen;
  return ParseOverlayBytes(bytes.data(), bytes.size(), out);
}

// ---- orders ---------------------------------------------------------------------------------

int CompareDescriptions(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int x = std::tolower(static_cast<unsigned char>(a[i])), y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = 0; i < n; ++i) {
    bool lowerA = std::islower(static_cast<unsigned char>(a[i])), lowerB = std::islower(static_cast<unsigned char>(b[i]));
    if (lowerA != lowerB) return lowerA ? -1 : 1;
  }
  return 0;
}

namespace {

int DateKey(const OverlayEvent& e) { return e.month * 64 + e.day; }
bool SaveGroupFirst(const OverlayEvent& e) { return e.endDay != 0 || e.kind == kKindEaster; }

}  // namespace

bool ListOrderLess(const OverlayEvent& a, const OverlayEvent& b, int order) {
  switch (order) {
    case kSortAlphabetical: return CompareDescriptions(a.description, b.description) < 0;
    case kSortDescendingDate: return DateKey(a) > DateKey(b);
    default: return DateKey(a) < DateKey(b);
  }
}

bool SaveOrderLess(const OverlayEvent& a, const OverlayEvent& b) {
  bool ga = SaveGroupFirst(a), gb = SaveGroupFirst(b);
  if (ga != gb) return ga;
  return DateKey(a) < DateKey(b);
}

void SortForSave(std::vector<OverlayEvent>& events) { std::stable_sort(events.begin(), events.end(), SaveOrderLess); }

std::string OverlayListLine(const OverlayEvent& e, int order) {
  std::string line;
  if (order == kSortDescendingDate || order == kSortAscendingDate)
    line = FormatText("%d%c%02d ", e.month, Regional().dateSeparator, e.day);
  int word = e.kind == kKindBirthday || e.kind == kKindJewishBirthday ? 21036
             : e.kind == kKindAnniversary                             ? 21037
             : e.kind == kKindYahrzeit                                ? 21045
                                                                      : 0;
  if (word) line += Possessive(e.description) + std::string(StringText(word));
  else line += e.description;
  return line;
}

}  // namespace kv
