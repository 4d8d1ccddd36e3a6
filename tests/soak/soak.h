// The game's own soak: whole careers played through the handlers exactly as the window calls
// them, by a driver that clicks, types, ticks the five timers in a fresh order every period and
// answers the network late, out of order and with hostile texts. After every event the rules'
// invariants are checked; a broken one comes back with the career's journal, which replays the
// same career event by event.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "journal/event.h"
#include "journal/format.h"
#include "journal/session.h"
#include "shell/game.h"

namespace milka::soak {

using journal::ClockKind;
using journal::Event;

// The key code that types a symbol of the key-symbol table (0 for any other text).
int keyCodeOf(const std::string& symbol);

// Limits the invariants hold the game to.
inline constexpr int32_t kRaceTickBound = 5000;        // race-timer ticks from the start to 8
inline constexpr int64_t kCareerEventBound = 3000000;  // events from Form_Load to -11
inline constexpr size_t kCaptionBound = 8 * 1024;
inline constexpr size_t kText2Bound = 256 * 1024;

struct Failure {
  std::string what;   // the invariant, in words
  size_t eventIndex;  // 0-based index of the event after which it broke
};

// One game from Form_Load on, fed through a journal session as the window feeds it, with the
// invariants checked after every event. The journal it writes is checked too: a shadow game fed
// from its decoded records must stand where the live one stands, and at random moments the
// bytes are cut inside the last record and the career continued from what reads back.
class Career {
 public:
  // A new career: it begins as the window's does, with the site's base and then Form_Load.
  Career(uint64_t seed, ClockKind clock);
  // A career to be fed a journal's events, its own beginning included.
  explicit Career(const journal::Header& h);
  ~Career();
  Career(const Career&) = delete;
  Career& operator=(const Career&) = delete;

  // Feeds e, checks every invariant and the journal; the first broken one is kept.
  void apply(const Event& e);

  const Game& game() const { return session_->game(); }
  const journal::JournalPort& port() const { return session_->port(); }
  const std::optional<Failure>& failure() const { return failure_; }
  int64_t events() const { return session_->events(); }
  int racesRun() const { return boards_; }
  int32_t longestRace() const { return longestRace_; }
  bool finished() const { return game().state.screenState == screen::kFinished; }
  int cutsContinued() const { return cuts_; }
  // The journal of every event fed so far, ticks still held back included.
  std::string journal() const;

 private:
  struct Mark {  // the live game at a record boundary, for cutting the next record
    size_t offset;
    int64_t events;
    GameState state;
    Form form;
    std::vector<Event> since;
  };
  void check(const Event& e, const GameState& before, const std::optional<Form>& formBefore,
             int fetchesBefore, int navigationsBefore);
  void checkJournal(const Event& e);
  void cutAndContinue();
  void fail(std::string what);

  std::unique_ptr<journal::Session> session_;
  std::string bytes_;  // what the encoder has written so far
  std::unique_ptr<journal::Session> shadow_;
  uint16_t shadowChain_ = 0;
  std::mt19937_64 cutDice_;
  int64_t nextCut_ = 0;
  std::optional<Mark> mark_;
  int cuts_ = 0;
  bool loaded_ = false;
  std::optional<Failure> failure_;
  bool rankSet_ = false;
  int32_t raceTicks_ = 0;
  int32_t longestRace_ = 0;
  int boards_ = 0;
};

// Picks the next event for a career, as a restless player on a flaky network would make it.
class Driver {
 public:
  explicit Driver(uint64_t seed) : dice_(seed) {}
  Event next(const Career& c);

 private:
  int roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(dice_); }
  std::string hostileText();
  Event key(const Game& g);
  Event text1(const Game& g);
  Event answer(const journal::JournalPort& port);

  std::mt19937_64 dice_;
  std::vector<int> period_;  // the timers still to tick in this period
  bool careful_ = true;
};

struct Options {
  int64_t events = 200000;
  uint64_t seed = 1;
  int64_t seeds = 1;          // runs of `events` each, with seeds seed, seed + 1, ...
  int frozenClockEvery = 4;   // every n-th career runs on the clock-seeded source, frozen
  int64_t afterFinish = 200;  // events played on a finished game before the next career
  int64_t careers = 0;        // with a seed, stop once this many careers have ended (0: no limit)
};

struct Report {
  int64_t events = 0;
  int64_t careers = 0;  // careers played to -11
  int64_t frozenClockCareers = 0;
  int64_t races = 0;  // boards drawn
  int64_t wins = 0;
  int64_t topRacesWon = 0;
  int64_t sends = 0;          // closing presses that fetched and so sent the record
  int32_t longestRace = 0;    // race-timer ticks
  int64_t longestCareer = 0;  // events
  int64_t cutsContinued = 0;  // journals cut inside a record and played on from what read back
  int64_t journalBytes = 0;
  double seconds = 0;
  std::optional<Failure> failure;
  std::string failedJournal;  // the career that broke an invariant, up to the event that broke it
};

// Plays careers until `events` events have been played for each seed, stopping at the first
// broken invariant.
Report run(const Options& o);

// Replays a journal's events as a career; the failure, if any invariant breaks.
std::optional<Failure> replay(const journal::Header& h, const std::vector<Event>& events);

// Fewer events that still break the same invariant: what is left once no run of events can be
// cut without the failure going away.
std::vector<Event> shrink(const journal::Header& h, const std::vector<Event>& failed,
                          const Failure& failure);

// The last `n` events, one a line, for a message.
std::string tail(const std::vector<Event>& events, size_t n);

}  // namespace milka::soak
