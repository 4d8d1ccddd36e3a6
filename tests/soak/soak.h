// The game's own soak: whole careers played through the handlers exactly as the window calls
// them, by a driver that clicks, types, ticks the five timers in a fresh order every period and
// answers the network late, out of order and with hostile texts. After every event the rules'
// invariants are checked; a broken one comes back with the career's seed and its event trace,
// and a trace replays the same career event by event.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "shell/game.h"

namespace milka::soak {

struct Event {
  enum class Kind : uint8_t {
    A,       // Command1_Click
    Up,      // Command2_Click
    Down,    // Command3_Click
    B,       // Command4_Click
    Site,    // Command5_Click
    Key,     // Text1_KeyDown(code, shift)
    Timer,   // TimerN_Timer, N = code
    Fetch,   // the pending fetch at position code answers text
    Nav,     // the pending navigation at position code ends at text
    Notify,  // WebBrowser1_Notify(text)
  };
  Kind kind = Kind::A;
  int32_t code = 0;
  int32_t shift = 0;
  std::string text;
};

// The key code that types a symbol of the key-symbol table (0 for any other text).
int keyCodeOf(const std::string& symbol);

// One line of a trace; texts are written as hexadecimal so any byte survives.
std::string formatEvent(const Event& e);
std::optional<Event> parseEvent(std::string_view line);

// The game always runs on its own clock-seeded source; the clock either steps on from the seed
// at every reading, or is frozen at the seed and never moves.
enum class Source : uint8_t { Seeded, FrozenClock };

struct Trace {
  uint64_t seed = 0;
  Source source = Source::Seeded;
  std::vector<Event> events;
};

std::string formatTrace(const Trace& t);
std::optional<Trace> parseTrace(std::string_view text);

// The port the driver answers by hand: requests wait until an event delivers them.
class SoakPort final : public OnlinePort {
 public:
  void fetch(const std::string& url, std::function<void(std::string)> done) override;
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override;
  void openUrl(const std::string& url) override;
  std::string locationUrl() const override { return location_; }

  struct Pending {
    std::string url;
    std::function<void(std::string)> callback;
  };
  std::vector<Pending> fetches, navigations;
  int fetchesStarted = 0;
  int navigationsStarted = 0;
  int opened = 0;
  std::string location_;
};

// Limits the invariants hold the game to.
inline constexpr int32_t kRaceTickBound = 5000;        // race-timer ticks from the start to 8
inline constexpr int64_t kCareerEventBound = 3000000;  // events from Form_Load to -11
inline constexpr size_t kCaptionBound = 8 * 1024;
inline constexpr size_t kText2Bound = 256 * 1024;

struct Failure {
  std::string what;   // the invariant, in words
  size_t eventIndex;  // 0-based index of the event after which it broke
};

// One game from Form_Load on, with the invariants checked after every event.
class Career {
 public:
  Career(uint64_t seed, Source source);
  ~Career();
  Career(const Career&) = delete;
  Career& operator=(const Career&) = delete;

  // Applies e, records it and checks every invariant; the first broken one is kept.
  void apply(const Event& e);

  const Game& game() const { return *game_; }
  const SoakPort& port() const { return port_; }
  const Trace& trace() const { return trace_; }
  const std::optional<Failure>& failure() const { return failure_; }
  int64_t events() const { return static_cast<int64_t>(trace_.events.size()); }
  int racesRun() const { return boards_; }
  int32_t longestRace() const { return longestRace_; }
  bool finished() const { return game_->state.screenState == -11; }

 private:
  void check(const Event& e, const GameState& before, const std::optional<Form>& formBefore,
             int fetchesBefore, int navigationsBefore);
  void fail(std::string what);

  Trace trace_;
  std::unique_ptr<RandomSource> random_;
  std::unique_ptr<Clock> clock_;
  SoakPort port_;
  std::unique_ptr<Game> game_;
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
  double seconds = 0;
  std::optional<Failure> failure;
  Trace failedTrace;  // the career that broke an invariant, up to the event that broke it
};

// Plays careers until `events` events have been played for each seed, stopping at the first
// broken invariant.
Report run(const Options& o);

// Replays a trace; the failure, if any invariant breaks.
std::optional<Failure> replay(const Trace& t);

// A shorter trace that still breaks the same invariant: what is left once no run of events can
// be cut without the failure going away.
Trace shrink(const Trace& failed, const Failure& failure);

// The last `n` events of a trace, one a line, for a message.
std::string traceTail(const Trace& t, size_t n);

}  // namespace milka::soak
