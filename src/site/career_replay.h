// What the site learns from a career's journal by playing it again through the game's own core,
// headless: the entry the game would send at its end (the horse's name and the nine top-race
// times, derived, never taken on trust) and the career told race by race. Plain C++ over the
// core and the journal; no database, no network, safe on any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "journal/format.h"

namespace milka::site {

struct RaceLine {
  int32_t age = 0, month = 0;
  int32_t venue = 0, surface = 0;  // 1 大井 .. 4 浦和; 1 ダート, 2 ドロ, 3 芝
  std::string raceName;
  int32_t laps = 0;
  int32_t place = 0;  // 1..10
  int32_t time = 0;   // seconds, as on the board
  int32_t whips = 0;  // used in the race
  bool top = false;   // a top race of its month
  bool operator==(const RaceLine&) const = default;
};

struct MonthLine {
  int32_t age = 0, month = 0;
  int32_t speed = 0, weight = 0;
  bool operator==(const MonthLine&) const = default;
};

struct Story {
  std::string name;  // the horse's name, key symbols (empty before it is named)
  std::vector<RaceLine> races;
  std::vector<MonthLine> months;  // one for each month the horse reached its stable
  bool over = false;              // the career reached its end
  bool operator==(const Story&) const = default;
};

// Bounds on what one check may cost. A whole career is some 50,000 events and 70 KB.
struct ReplayLimits {
  size_t journalBytes = 4 * 1024 * 1024;
  size_t events = 600'000;
};

enum class JournalFault {
  None,
  TooBig,       // over the byte or event bound
  Damaged,      // not a journal, or a record that does not check out, or cut short
  NewerFormat,  // written by a later game
  OtherRules,   // rules of another version (rulesVersion says which)
  NotACareer,   // does not start with the window's load
  NoSeed,       // no seed from the site, or one that came after the career began
  ManySeeds,    // more than one
  Unfinished,   // never reaches the sending of the career's record
  OtherToken,   // sent with another token than the one it is uploaded with
};

// What a journal proves. When fault is None: seed is the site's seed it was played under, and
// query the score query (still percent-encoded, without "?") the game sent at its end.
struct Proof {
  JournalFault fault = JournalFault::None;
  int rulesVersion = 0;
  std::string seed;
  std::string query;
  Story story;
};

// Reads and replays a journal uploaded with token and says what it proves.
Proof proveCareer(std::string_view journalBytes, std::string_view token,
                  const ReplayLimits& limits = {});

// The story of any readable journal (the player's own, finished or not); nothing checked beyond
// its being readable. False when it holds no career.
bool tellCareer(std::string_view journalBytes, Story* story, const ReplayLimits& limits = {});

// The story as text for the database, and back; fromText is false for text it cannot read.
std::string storyText(const Story& s);
bool storyFromText(std::string_view text, Story* s);

}  // namespace milka::site
