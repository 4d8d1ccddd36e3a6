// The journal on disk: a short text header, then one record per event (five timer ticks of one
// period share a record), each closed by a check that chains on from the one before, so a record
// torn off, flipped or moved is found and everything before it still reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "journal/event.h"

namespace milka::journal {

// 2 added the site's seed; a journal of format 1 reads as before.
inline constexpr int kFormatVersion = 2;
// Raised whenever a change to the rules would make an old journal play differently.
inline constexpr int kRulesVersion = 1;
// No career comes near this; a journal claiming more is not read past it.
inline constexpr size_t kEventLimit = 4'000'000;
inline constexpr size_t kTextLimit = 1024 * 1024;

// What the career's random draws come from: the seed, and what each re-seed stirs in.
enum class ClockKind : uint8_t {
  Events,    // the count of events fed so far (the game's own)
  Stepping,  // a reading that starts at the seed and steps by one (the soak's seeded careers)
  Frozen,    // the seed, always (the soak's frozen-clock careers)
};

struct Header {
  int format = kFormatVersion;
  int rules = kRulesVersion;
  std::string game;  // the game's version that wrote it
  uint64_t seed = 0;
  ClockKind clock = ClockKind::Events;
  // Lines of later additions that do not change how the journal replays, kept as they are.
  std::vector<std::pair<std::string, std::string>> extra;

  bool operator==(const Header&) const = default;
  std::string value(std::string_view key) const;
};

// The version of the game this build is.
const char* gameVersion();

std::string encodeHeader(const Header& h);

// Turns events into records. Timer ticks are held back until five distinct ones make a period's
// record, or another event comes, or finish() is called.
class Encoder {
 public:
  // chain: where the checks start (after the header, or after the last record read back).
  explicit Encoder(uint16_t chain) : chain_(chain) {}
  void add(const Event& e);
  // Writes out the ticks still held back.
  void finish();
  // The bytes of the records made since the last take.
  std::string take() { return std::exchange(out_, {}); }
  bool hasBytes() const { return !out_.empty(); }
  // True when the last add closed a period's record.
  bool periodEnded() const { return periodEnded_; }
  size_t heldTicks() const { return held_.size(); }
  uint16_t chain() const { return chain_; }

 private:
  void record(std::string_view bytes);
  void flushHeld();

  uint16_t chain_;
  std::string out_;
  std::vector<int32_t> held_;
  bool periodEnded_ = false;
};

// The check the first record chains on from.
uint16_t chainAfterHeader(std::string_view headerBytes);

struct Reading {
  enum class Status {
    Whole,        // every byte read
    TornTail,     // the last record was cut short (a write interrupted): everything else read
    Damaged,      // a record does not check out: the events before it are read
    Empty,        // no bytes at all
    NotAJournal,  // no header of ours
    NewerFormat,  // written by a later game
    OtherRules,   // written under rules of another version
  };
  Status status = Status::Empty;
  Header header;
  std::vector<Event> events;
  size_t headerBytes = 0;
  size_t soundBytes = 0;  // the header and the whole records that checked out
  uint16_t chain = 0;     // the check after the last sound record, to write on from
  // Whether the header was read (the events, if any, can be replayed). A damaged header reads as
  // Damaged too, with nothing read.
  bool usable() const {
    return headerBytes > 0 &&
           (status == Status::Whole || status == Status::TornTail || status == Status::Damaged);
  }
};

Reading read(std::string_view bytes, size_t eventLimit = kEventLimit);

// Whether the journal read holds a career: the window's load comes first, after at most the
// site's address.
bool holdsCareer(const Reading& r);
// Reads on from a point inside a journal: `records` are the bytes after it, `chain` the check
// there. For following a journal as it is written without reading it all again each time; the
// header fields are left as they are and soundBytes counts from `records`' first byte.
Reading readOn(std::string_view records, uint16_t chain, size_t eventLimit = kEventLimit);

// A whole journal in one piece: the header, every event, the checks.
std::string encode(const Header& h, const std::vector<Event>& events);

}  // namespace milka::journal
