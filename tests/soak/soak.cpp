#include "soak/soak.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <sstream>
#include <utility>

#include "typed_key.h"

namespace milka::soak {

namespace {

// A clock that moves one step a reading from where the seed puts it: the game's own source on
// it plays the same game again for the same seed.
class SteppingClock final : public Clock {
 public:
  explicit SteppingClock(uint64_t seed) : at_(seed) {}
  uint64_t now() override { return ++at_; }

 private:
  uint64_t at_;
};

// A clock stuck at one reading: every re-seed of the game's source sees the same time.
class FrozenClock final : public Clock {
 public:
  explicit FrozenClock(uint64_t at) : at_(at) {}
  uint64_t now() override { return at_; }

 private:
  uint64_t at_;
};

constexpr std::array<int32_t, 9> kScreens = {1, 2, 3, 6, 7, 8, 9, 10, -11};
constexpr const char* kTooLongName = "Ｂボタンを押して下さい";

std::string hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out = "x";
  out.reserve(1 + 2 * bytes.size());
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    out += kDigits[c >> 4];
    out += kDigits[c & 0x0F];
  }
  return out;
}

std::optional<std::string> unhex(std::string_view text) {
  if (text.empty() || text[0] != 'x' || text.size() % 2 == 0) return std::nullopt;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size() / 2);
  for (size_t i = 1; i + 1 < text.size(); i += 2) {
    const int hi = digit(text[i]), lo = digit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::optional<int32_t> number(std::string_view w) {
  if (w.empty()) return std::nullopt;
  bool negative = w[0] == '-';
  int64_t v = 0;
  for (size_t i = negative ? 1 : 0; i < w.size(); ++i) {
    if (w[i] < '0' || w[i] > '9' || v > 1'000'000'000) return std::nullopt;
    v = v * 10 + (w[i] - '0');
  }
  if (negative && w.size() == 1) return std::nullopt;
  return static_cast<int32_t>(negative ? -v : v);
}

bool isPermutation(const Family<int32_t, 10>& places) {
  std::array<bool, 11> seen{};
  for (int k = 1; k <= 10; ++k) {
    const int32_t p = places[k];
    if (p < 1 || p > 10 || seen[static_cast<size_t>(p)]) return false;
    seen[static_cast<size_t>(p)] = true;
  }
  return true;
}

int32_t booked(const GameState& s) {
  int32_t n = s.horseClass;
  for (int p = 2; p <= 10; ++p) n += s.placeCount[p];
  return n;
}

// The screen changes each kind of event may make.
bool allowed(const Event& e, int32_t from, int32_t to, const GameState& before) {
  using K = Event::Kind;
  switch (e.kind) {
    case K::A:
      return (from == 1 && to == 2) || (from == 2 && to == 3 && before.setupPhase == 5) ||
             (from == 9 && to == 3) || (from == 3 && (to == 6 || to == 10)) ||
             (from == 6 && to == 7) || (from == 8 && to == 3 && before.resultsShown == 1) ||
             (from == 10 && to == -11);
    case K::B: return from == 3 && to == 9;
    case K::Timer:
      if (e.code == 1) return from == 7 && to == 8;
      if (e.code == 2) return (from == 3 || from == 9) && to == 10;
      return false;
    default: return false;
  }
}

}  // namespace

// --- Events and traces -------------------------------------------------------------------

int keyCodeOf(const std::string& symbol) {
  return milka::testing::keyCodeOf(symbol);
}

std::string formatEvent(const Event& e) {
  using K = Event::Kind;
  switch (e.kind) {
    case K::A: return "A";
    case K::Up: return "Up";
    case K::Down: return "Down";
    case K::B: return "B";
    case K::Site: return "Site";
    case K::Key: return "Key " + std::to_string(e.code) + " " + std::to_string(e.shift);
    case K::Timer: return "T" + std::to_string(e.code);
    case K::Fetch: return "Fetch " + std::to_string(e.code) + " " + hex(e.text);
    case K::Nav: return "Nav " + std::to_string(e.code) + " " + hex(e.text);
    case K::Notify: return "Notify " + hex(e.text);
  }
  return "?";
}

std::optional<Event> parseEvent(std::string_view line) {
  using K = Event::Kind;
  const std::vector<std::string_view> w = words(line);
  if (w.empty()) return std::nullopt;
  Event e;
  const std::string_view head = w[0];
  if (w.size() == 1) {
    if (head == "A")
      e.kind = K::A;
    else if (head == "Up")
      e.kind = K::Up;
    else if (head == "Down")
      e.kind = K::Down;
    else if (head == "B")
      e.kind = K::B;
    else if (head == "Site")
      e.kind = K::Site;
    else if (head.size() == 2 && head[0] == 'T' && head[1] >= '1' && head[1] <= '5') {
      e.kind = K::Timer;
      e.code = head[1] - '0';
    } else {
      return std::nullopt;
    }
    return e;
  }
  if (head == "Key" && w.size() == 3) {
    const auto code = number(w[1]), shift = number(w[2]);
    if (!code || !shift || *code < -32768 || *code > 32767 || *shift < -32768 || *shift > 32767)
      return std::nullopt;
    e.kind = K::Key;
    e.code = *code;
    e.shift = *shift;
    return e;
  }
  if ((head == "Fetch" || head == "Nav") && w.size() == 3) {
    const auto at = number(w[1]);
    auto text = unhex(w[2]);
    if (!at || *at < 0 || !text) return std::nullopt;
    e.kind = head == "Fetch" ? K::Fetch : K::Nav;
    e.code = *at;
    e.text = std::move(*text);
    return e;
  }
  if (head == "Notify" && w.size() == 2) {
    auto text = unhex(w[1]);
    if (!text) return std::nullopt;
    e.kind = K::Notify;
    e.text = std::move(*text);
    return e;
  }
  return std::nullopt;
}

std::string formatTrace(const Trace& t) {
  std::string out = "milka-soak-trace 1\nseed " + std::to_string(t.seed) + "\nsource " +
                    (t.source == Source::Seeded ? "seeded" : "frozen-clock") + "\n";
  for (const Event& e : t.events) out += formatEvent(e) + "\n";
  return out;
}

std::optional<Trace> parseTrace(std::string_view text) {
  Trace t;
  int line = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view l = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (l.empty() || l[0] == '#') continue;
    ++line;
    if (line == 1) {
      if (l != "milka-soak-trace 1") return std::nullopt;
    } else if (line == 2) {
      if (!l.starts_with("seed ")) return std::nullopt;
      uint64_t v = 0;
      for (char c : l.substr(5)) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - '0');
      }
      t.seed = v;
    } else if (line == 3) {
      if (l == "source seeded")
        t.source = Source::Seeded;
      else if (l == "source frozen-clock")
        t.source = Source::FrozenClock;
      else
        return std::nullopt;
    } else {
      auto e = parseEvent(l);
      if (!e) return std::nullopt;
      t.events.push_back(std::move(*e));
    }
  }
  if (line < 3) return std::nullopt;
  return t;
}

std::string traceTail(const Trace& t, size_t n) {
  std::string out;
  const size_t from = t.events.size() > n ? t.events.size() - n : 0;
  for (size_t i = from; i < t.events.size(); ++i) {
    std::string line = formatEvent(t.events[i]);
    if (line.size() > 80) line = line.substr(0, 77) + "...";
    out += "  #" + std::to_string(i) + " " + line + "\n";
  }
  return out;
}

// --- The port --------------------------------------------------------------------------

void SoakPort::fetch(const std::string& url, std::function<void(std::string)> done) {
  ++fetchesStarted;
  fetches.push_back({url, std::move(done)});
}

void SoakPort::navigate(const std::string& url, std::function<void(std::string)> arrived) {
  ++navigationsStarted;
  navigations.push_back({url, std::move(arrived)});
}

void SoakPort::openUrl(const std::string&) {
  ++opened;
}

// --- One career ------------------------------------------------------------------------

Career::Career(uint64_t seed, Source source) {
  trace_.seed = seed;
  trace_.source = source;
  if (source == Source::Seeded)
    clock_ = std::make_unique<SteppingClock>(seed);
  else
    clock_ = std::make_unique<FrozenClock>(seed);
  random_ = std::make_unique<ClockRandom>(*clock_);
  port_.siteBase = "http://127.0.0.1:9";
  game_ = std::make_unique<Game>(*random_, &port_);
  game_->Form_Load();
}

Career::~Career() = default;

void Career::fail(std::string what) {
  if (!failure_) failure_ = Failure{std::move(what), trace_.events.size() - 1};
}

void Career::apply(const Event& e) {
  using K = Event::Kind;
  Game& g = *game_;
  trace_.events.push_back(e);
  const GameState before = g.state;
  std::optional<Form> formBefore;
  if (before.screenState == -11) formBefore = g.form;
  const int fetchesBefore = port_.fetchesStarted;
  const int navigationsBefore = port_.navigationsStarted;

  switch (e.kind) {
    case K::A: g.Command1_Click(); break;
    case K::Up: g.Command2_Click(); break;
    case K::Down: g.Command3_Click(); break;
    case K::B: g.Command4_Click(); break;
    case K::Site: g.Command5_Click(); break;
    case K::Key:
      g.Text1_KeyDown(static_cast<int16_t>(e.code), static_cast<int16_t>(e.shift));
      break;
    case K::Timer:
      switch (e.code) {
        case 1: g.Timer1_Timer(); break;
        case 2: g.Timer2_Timer(); break;
        case 3: g.Timer3_Timer(); break;
        case 4: g.Timer4_Timer(); break;
        case 5: g.Timer5_Timer(); break;
        default: break;
      }
      break;
    case K::Fetch:
    case K::Nav: {
      auto& waiting = e.kind == K::Fetch ? port_.fetches : port_.navigations;
      if (e.code < 0 || static_cast<size_t>(e.code) >= waiting.size()) break;
      SoakPort::Pending p = std::move(waiting[static_cast<size_t>(e.code)]);
      waiting.erase(waiting.begin() + e.code);
      if (e.kind == K::Nav) port_.location_ = e.text;
      p.callback(e.text);
      break;
    }
    case K::Notify: g.WebBrowser1_Notify(e.text); break;
  }
  check(e, before, formBefore, fetchesBefore, navigationsBefore);
}

void Career::check(const Event& e, const GameState& b, const std::optional<Form>& formBefore,
                   int fetchesBefore, int navigationsBefore) {
  using K = Event::Kind;
  const GameState& s = game_->state;
  const Form& f = game_->form;

  if (std::find(kScreens.begin(), kScreens.end(), s.screenState) == kScreens.end())
    fail("screenState " + std::to_string(s.screenState) + " is no screen");
  if (s.screenState != b.screenState && !allowed(e, b.screenState, s.screenState, b))
    fail("screenState " + std::to_string(b.screenState) + " -> " + std::to_string(s.screenState) +
         " is not a change this event makes");

  if (s.resultsShown == 1) {
    if (!isPermutation(s.finishPlace)) fail("finishPlace is not a permutation on the board");
  } else {
    for (int k = 1; k <= 10; ++k)
      if (s.finishPlace[k] != 1) fail("finishPlace is not reset while no board stands");
  }
  if (!rankSet_)
    for (int k = 1; k <= 10; ++k)
      if (s.runnerRank[k] != 0) rankSet_ = true;
  if (rankSet_ && !isPermutation(s.runnerRank)) fail("runnerRank is not a permutation");

  if (b.resultsShown == 0 && s.resultsShown == 1) ++boards_;
  if (booked(s) != s.racesRun + s.resultsShown)
    fail("wins + places (" + std::to_string(booked(s)) + ") != races run (" +
         std::to_string(s.racesRun) + ") + board (" + std::to_string(s.resultsShown) + ")");

  if (s.horseWhips < 0) fail("horseWhips below 0");
  if (s.month < 1 || s.month > 12) fail("month out of 1..12");
  if (s.horseAge < 2 || s.horseAge > 5) fail("horseAge out of 2..5");
  if (s.setupPhase < 0 || s.setupPhase > 5) fail("setupPhase out of 0..5");
  if (s.cursorRow < 1 || s.cursorRow > 10) fail("cursorRow out of 1..10");
  if (s.tablePage < 1 || s.tablePage > 3) fail("tablePage out of 1..3");

  for (int n = 1; n <= kLabelCount; ++n) {
    const size_t size = f.label(n).caption.size();
    // The name being typed grows with the keys until B; it is held to what was typed.
    if (n == 27 && s.screenState == 2 && s.setupPhase == 3) {
      if (size > 3 * static_cast<size_t>(std::max(s.nameLength, 0)) +
                     std::string_view(kTooLongName).size())
        fail("Label27 holds more than the typed name");
    } else if (size > kCaptionBound) {
      fail("Label" + std::to_string(n) + " caption of " + std::to_string(size) + " bytes");
    }
  }
  if (f.text1.text.size() > kCaptionBound) fail("Text1 unbounded");
  if (f.text2.text.size() > kText2Bound) fail("Text2 unbounded");
  if (s.horseName.size() > 12 * 3) fail("horseName longer than twelve symbols");

  if (b.screenState == -11) {
    GameState unchanged = s;
    unchanged.buttonTicks = b.buttonTicks;
    Form shown = f;
    shown.text2 = formBefore->text2;  // the browser's answers still arrive
    if (!(unchanged == b) || !(shown == *formBefore)) fail("the finished game changed");
  }

  const int fetched = port_.fetchesStarted - fetchesBefore;
  const bool closingSend =
      e.kind == K::A && b.screenState == 10 && s.screenState == -11 && b.sendEnabled == 1;
  if (fetched != (closingSend ? 1 : 0)) fail("a fetch not at the closing A with sendEnabled");
  const int navigated = port_.navigationsStarted - navigationsBefore;
  if (navigated > (e.kind == K::Fetch ? 1 : 0)) fail("a navigation not after the fetch");
  if (port_.navigationsStarted > 1) fail("more than one navigation");

  for (int m = 1; m <= 12; ++m) {
    if (s.bigRaceEntered[m] == 1 &&
        (m != s.month || (s.screenState != 6 && s.screenState != 7 && s.screenState != 8)))
      fail("top race of month " + std::to_string(m) + " entered without its race");
    if (b.bigRaceWon[m] == 1 && (s.bigRaceWon[m] != 1 || s.bigRaceTime[m] != b.bigRaceTime[m]))
      fail("a booked top race of month " + std::to_string(m) + " changed");
    if (b.bigRaceWon[m] != 1 && s.bigRaceWon[m] == 1) {
      const bool fromTheBoard = e.kind == K::Timer && e.code == 5 && b.resultsShown == 0 &&
                                s.resultsShown == 1 && s.finishPlace[10] == 1 && m == s.month &&
                                s.bigRaceTime[m] == s.raceTicks;
      if (!fromTheBoard) fail("top race of month " + std::to_string(m) + " booked unrun");
    }
  }

  if (e.kind == K::Timer && e.code == 1 && b.screenState == 7) ++raceTicks_;
  if (raceTicks_ > kRaceTickBound) fail("a race ran beyond " + std::to_string(kRaceTickBound));
  if (s.screenState != 7) {
    longestRace_ = std::max(longestRace_, raceTicks_);
    raceTicks_ = 0;
  }
  if (s.screenState != -11 && events() > kCareerEventBound)
    fail("the career did not end within " + std::to_string(kCareerEventBound) + " events");
}

// --- The driver ------------------------------------------------------------------------

std::string Driver::hostileText() {
  static constexpr std::string_view kUrlish = "?#&/@%";
  std::string t;
  switch (roll(0, 8)) {
    case 0: break;
    case 1:  // binary, NUL bytes and all
      for (int i = roll(1, 64); i > 0; --i) t += static_cast<char>(roll(0, 255));
      t[static_cast<size_t>(roll(0, static_cast<int>(t.size()) - 1))] = '\0';
      break;
    case 2: {  // broken UTF-8: stray continuations, cut sequences, overlongs
      static constexpr std::array<std::string_view, 6> kBroken = {
          "\xC3\x28", "\xFF\xFE", "\x80\x80", "\xE3\x81", "\xC0\xAF", "\xF8\x88\x80\x80\x80"};
      for (int i = roll(1, 8); i > 0; --i) t += kBroken[static_cast<size_t>(roll(0, 5))];
      break;
    }
    case 3:  // at the cap and just past it
      t.assign(64 * 1024 + static_cast<size_t>(roll(0, 1)), static_cast<char>(roll(32, 126)));
      break;
    case 4:  // far over it
      for (int i = 64 * 1024 + roll(1, 8000); i > 0; --i) t += static_cast<char>(roll(0, 255));
      break;
    case 5:
      for (int i = roll(1, 200); i > 0; --i) t += kUrlish;
      break;
    case 6: t = "http://127.0.0.1:9/vbvb55.php?a>1>2#@x"; break;
    case 7: t = "ミルカ"; break;
    default:
      for (int i = roll(1, 16); i > 0; --i) t += static_cast<char>(roll('a', 'z'));
      break;
  }
  return t;
}

Event Driver::key(const Game& g) {
  const GameState& s = g.state;
  Event e;
  e.kind = Event::Kind::Key;
  e.shift = roll(0, 9) == 0 ? roll(-32768, 32767) : roll(0, 7);
  const bool racing = s.screenState == 7;
  const bool naming = s.screenState == 2 && s.setupPhase == 3;
  if (racing && roll(1, 10) <= 7 && (s.lapsToGo <= 1 || roll(1, 8) == 1)) {
    // Mostly the symbol the screen shows, which is what whips the horse on, and mostly on the
    // last laps, where a whip counts.
    e.code = keyCodeOf(g.form.label(12).caption);
    if (e.code != 0) return e;
  }
  if ((racing || naming) && roll(1, 10) <= 8) {
    const int pick = roll(1, 30);
    e.code = pick <= 4 ? 36 + pick : 64 + (pick - 4);
    return e;
  }
  e.code = roll(-32768, 32767);
  return e;
}

Event Driver::next(const Career& c) {
  using K = Event::Kind;
  const Game& g = c.game();
  const GameState& s = g.state;
  const SoakPort& port = c.port();

  // Each career gets its own player: a careful one grazes a horse nearing the weight limit, a
  // careless one runs into the limit and only then sends it out.
  if (c.events() == 0) careful_ = roll(0, 1) == 1;
  if (period_.empty()) {
    period_ = {1, 2, 3, 4, 5};
    std::shuffle(period_.begin(), period_.end(), dice_);
  }
  const bool racing = s.screenState == 7;
  const bool naming = s.screenState == 2 && s.setupPhase == 3;
  const int waiting = static_cast<int>(port.fetches.size() + port.navigations.size());
  const int wTimer = 60;
  const int wClick = 14;
  const int wKey = racing ? 24 : (naming ? 7 : 3);
  const int wNet = waiting > 0 ? 4 : 0;
  const int wNotify = 1;
  int r = roll(1, wTimer + wClick + wKey + wNet + wNotify);

  Event e;
  if ((r -= wTimer) <= 0) {
    e.kind = K::Timer;
    e.code = period_.back();
    period_.pop_back();
    return e;
  }
  if ((r -= wClick) <= 0) {
    // At the stable this player mostly races, and sends a horse nearing the weight limit out
    // to grass: one that idles there every other month seldom reaches the top races, and those
    // are what the record sends.
    const int which = roll(1, 20);
    const bool stable = s.screenState == 3;
    const bool tired = s.bodyWeight < s.bestWeight - (careful_ ? 17 : 20);
    const int lastA = stable ? (tired ? 4 : 16) : 9;
    const int lastB = lastA + (stable ? (tired ? 13 : 1) : 4);
    e.kind = which <= lastA                      ? K::A
             : which <= lastB                    ? K::B
             : which <= lastB + (19 - lastB) / 2 ? K::Up
             : which <= 19                       ? K::Down
                                                 : K::Site;
    return e;
  }
  if ((r -= wKey) <= 0) return key(g);
  if ((r -= wNet) <= 0) {
    const int at = roll(0, waiting - 1);
    const int fetches = static_cast<int>(port.fetches.size());
    e.kind = at < fetches ? K::Fetch : K::Nav;
    e.code = at < fetches ? at : at - fetches;
    e.text = hostileText();
    return e;
  }
  e.kind = K::Notify;
  e.text = hostileText();
  return e;
}

// --- Runs ------------------------------------------------------------------------------

Report run(const Options& o) {
  Report report;
  const auto start = std::chrono::steady_clock::now();
  for (int64_t n = 0; n < o.seeds && !report.failure; ++n) {
    const uint64_t seed = o.seed + static_cast<uint64_t>(n);
    Driver driver(seed);
    int64_t played = 0;
    int64_t ended = 0;
    for (uint64_t k = 0; played < o.events && !report.failure; ++k) {
      if (o.careers > 0 && ended >= o.careers) break;
      const uint64_t careerSeed = seed * 0x9E3779B97F4A7C15ull + k;
      const bool frozen =
          o.frozenClockEvery > 0 && k % static_cast<uint64_t>(o.frozenClockEvery) ==
                                        static_cast<uint64_t>(o.frozenClockEvery - 1);
      Career c(careerSeed, frozen ? Source::FrozenClock : Source::Seeded);
      int64_t finishedAt = -1;
      while (played < o.events) {
        c.apply(driver.next(c));
        ++played;
        if (c.failure()) break;
        if (finishedAt < 0 && c.finished()) finishedAt = c.events();
        if (finishedAt >= 0 && c.events() - finishedAt >= o.afterFinish) break;
      }
      report.events += c.events();
      report.races += c.racesRun();
      const GameState& s = c.game().state;
      report.wins += s.horseClass;
      for (int m = 1; m <= 12; ++m) report.topRacesWon += s.bigRaceWon[m];
      report.sends += c.port().fetchesStarted;
      report.longestRace = std::max(report.longestRace, c.longestRace());
      if (finishedAt >= 0) {
        ++ended;
        ++report.careers;
        if (frozen) ++report.frozenClockCareers;
        report.longestCareer = std::max(report.longestCareer, finishedAt);
      }
      if (c.failure()) {
        report.failure = c.failure();
        report.failedTrace = c.trace();
      }
    }
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return report;
}

std::optional<Failure> replay(const Trace& t) {
  Career c(t.seed, t.source);
  for (const Event& e : t.events) {
    c.apply(e);
    if (c.failure()) return c.failure();
  }
  return std::nullopt;
}

}  // namespace milka::soak

namespace milka::soak {

Trace shrink(const Trace& failed, const Failure& failure) {
  // The same invariant, whatever numbers its message carries.
  const std::string rule = failure.what.substr(0, failure.what.find_first_of("0123456789("));
  auto stillFails = [&](const Trace& t) {
    const auto f = replay(t);
    return f && f->what.starts_with(rule);
  };
  Trace t = failed;
  t.events.resize(std::min(t.events.size(), failure.eventIndex + 1));
  for (size_t chunk = std::max<size_t>(t.events.size() / 2, 1);; chunk /= 2) {
    for (size_t i = 0; i < t.events.size();) {
      Trace cut = t;
      const auto from = cut.events.begin() + static_cast<std::ptrdiff_t>(i);
      cut.events.erase(from,
                       from + static_cast<std::ptrdiff_t>(std::min(chunk, cut.events.size() - i)));
      if (stillFails(cut))
        t = std::move(cut);
      else
        i += chunk;
    }
    if (chunk == 1) break;
  }
  return t;
}

}  // namespace milka::soak
