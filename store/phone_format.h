// The phonebook file's on-disk layout and its checks.
//
// Layout: a 32-byte header, then 256-byte entries, slot s (1-based) at 32 + 256 x (s - 1). A live
// entry begins with its id (> 0); a deleted slot holds the negated number of the next free slot
// there instead, forming the free-slot chain.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kv {

constexpr uint32_t kPhoneHeaderSize = 32;
constexpr uint32_t kPhoneEntrySize = 256;
constexpr uint16_t kPhoneMaxEntries = 2048;
constexpr int16_t kPhoneMaxId = 32767;

struct PhoneHeaderFields {
  uint16_t version = 7;
  uint16_t count = 0;      // live entries
  uint16_t nextSlot = 1;   // next never-used slot (1-based)
  uint16_t nextId = 1;     // next entry id
  uint16_t freeHead = 0;   // head of the free-slot chain (1-based), 0 = none
  friend bool operator==(const PhoneHeaderFields&, const PhoneHeaderFields&) = default;
};

PhoneHeaderFields ParsePhoneHeader(const uint8_t* p);
void SerializePhoneHeader(const PhoneHeaderFields& h, uint8_t* p);   // magic included

inline uint64_t PhoneSlotOffset(uint32_t slot) { return kPhoneHeaderSize + uint64_t{kPhoneEntrySize} * (slot - 1); }

// "" when the file's first bytes can be used as a phonebook header, else the reason.
std::string LookAtPhoneHeader(std::span<const uint8_t> first, uint64_t fileSize);

// Every invariant of a phonebook: the never-used slot and the next id in range, every used slot
// inside the file, the free chain inside the used slots, without loops and through free slots
// only, every other used slot live with a unique id, and the live count right. A wrong count
// alone is corrected on loading, so it does not make the file damaged.
struct PhoneCheck {
  std::vector<std::string> problems;
  size_t problemCount = 0;
  bool damaged = false;         // a fault other than the count
  uint16_t liveCount = 0;       // live entries found
  uint16_t slotsInFile = 0;     // used slots that lie wholly inside the file
  bool Sound() const { return problemCount == 0; }
};
// `slots` holds the used slots as read (slotsInFile x 256 bytes).
PhoneCheck CheckPhone(const PhoneHeaderFields& h, std::span<const uint8_t> slots, uint64_t fileSize);
// How many of the header's used slots lie wholly inside a file of that size.
uint16_t PhoneSlotsInFile(const PhoneHeaderFields& h, uint64_t fileSize);

}  // namespace kv
