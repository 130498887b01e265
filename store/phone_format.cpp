#include "store/phone_format.h"

#include <algorithm>
#include <cstring>

#include "base/bytes.h"
#include "store/container_format.h"

namespace kv {

PhoneHeaderFields ParsePhoneHeader(const uint8_t* p) {
  PhoneHeaderFields h;
  h.version = ReadU16LE(p + 6);
  h.count = ReadU16LE(p + 8);
  h.nextSlot = ReadU16LE(p + 10);
  h.nextId = ReadU16LE(p + 12);
  h.freeHead = ReadU16LE(p + 14);
  return h;
}

void SerializePhoneHeader(const PhoneHeaderFields& h, uint8_t* p) {
  std::memcpy(p, kDbMagic, sizeof kDbMagic);
  PutU16LE(p + 6, h.version);
  PutU16LE(p + 8, h.count);
  PutU16LE(p + 10, h.nextSlot);
  PutU16LE(p + 12, h.nextId);
  PutU16LE(p + 14, h.freeHead);
  std::memset(p + 16, 0, 16);
}

std::string LookAtPhoneHeader(std::span<const uint8_t> first, uint64_t fileSize) {
  if (fileSize < kPhoneHeaderSize || first.size() < kPhoneHeaderSize)
    return "the file is " + std::to_string(fileSize) + " bytes long, shorter than a 32-byte header";
  if (std::memcmp(first.data(), kDbMagic, sizeof kDbMagic) != 0) return "the file does not begin with the magic \"ORBDB\"";
  return {};
}

uint16_t PhoneSlotsInFile(const PhoneHeaderFields& h, uint64_t fileSize) {
  uint32_t used = std::clamp<uint32_t>(h.nextSlot, 1, kPhoneMaxEntries + 1) - 1;
  uint64_t whole = fileSize > kPhoneHeaderSize ? (fileSize - kPhoneHeaderSize) / kPhoneEntrySize : 0;
  return static_cast<uint16_t>(std::min<uint64_t>(used, whole));
}

PhoneCheck CheckPhone(const PhoneHeaderFields& h, std::span<const uint8_t> slots, uint64_t fileSize) {
  PhoneCheck out;
  auto S = [](uint64_t n) { return std::to_string(n); };
  auto damage = [&out](std::string text) {
    AddProblem(out.problems, out.problemCount, std::move(text));
    out.damaged = true;
  };
  if (h.version != 7) damage("version is " + S(h.version) + ", not 7");
  if (h.nextSlot < 1 || h.nextSlot > kPhoneMaxEntries + 1)
    damage("the next never-used slot " + S(h.nextSlot) + " lies outside 1 ... 2049");
  uint32_t used = std::clamp<uint32_t>(h.nextSlot, 1, kPhoneMaxEntries + 1) - 1;
  out.slotsInFile = std::min<uint16_t>(PhoneSlotsInFile(h, fileSize), static_cast<uint16_t>(slots.size() / kPhoneEntrySize));
  if (out.slotsInFile < used) damage("slots " + S(out.slotsInFile + 1u) + " ... " + S(used) + " lie beyond the end of the file");
  auto id = [&slots](uint32_t s) { return ReadI16LE(slots.data() + kPhoneEntrySize * (s - 1)); };

  std::vector<uint8_t> onChain(out.slotsInFile + 1, 0);
  for (uint32_t s = h.freeHead, previous = 0; s != 0;) {
    if (s > out.slotsInFile) {
      damage((previous ? "free slot " + S(previous) + " links to slot " : std::string("the free chain begins at slot ")) +
             S(s) + ", outside the used slots 1 ... " + S(out.slotsInFile));
      break;
    }
    if (onChain[s]) {
      damage("the free chain reaches slot " + S(s) + " a second time (a loop)");
      break;
    }
    onChain[s] = 1;
    int16_t value = id(s);
    if (value > 0) {
      damage("slot " + S(s) + " on the free chain holds the live entry " + S(value));
      break;
    }
    previous = s;
    s = static_cast<uint32_t>(-static_cast<int32_t>(value));
  }

  std::vector<std::pair<int16_t, uint32_t>> ids;
  for (uint32_t s = 1; s <= out.slotsInFile; ++s) {
    int16_t value = id(s);
    if (value > 0) ids.emplace_back(value, s);
    else if (!onChain[s]) damage("slot " + S(s) + " is neither live nor on the free chain");
  }
  out.liveCount = static_cast<uint16_t>(ids.size());
  std::sort(ids.begin(), ids.end());
  for (size_t k = 1; k < ids.size(); ++k)
    if (ids[k].first == ids[k - 1].first)
      damage("entry id " + S(ids[k].first) + " is used by slots " + S(ids[k - 1].second) + " and " + S(ids[k].second));
  if (h.nextId == 0) damage("the next entry id is 0");
  else if (h.nextId <= kPhoneMaxId && !ids.empty() && ids.back().first >= h.nextId)
    damage("entry id " + S(ids.back().first) + " is not below the next entry id " + S(h.nextId));
  if (h.count != out.liveCount)
    AddProblem(out.problems, out.problemCount,
               "the header counts " + S(h.count) + " live entries, the file holds " + S(out.liveCount));
  return out;
}

}  // namespace kv
