#include "soak/soak.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <sstream>
#include <utility>

#include "typed_key.h"

namespace milka::soak {

namespace {

constexpr std::array<int32_t, 9> kScreens = {
    screen::kTitle,   screen::kBreeding, screen::kStable,     screen::kRaceCard, screen::kRace,
    screen::kResults, screen::kPasture,  screen::kCareerOver, screen::kFinished};
constexpr const char* kTooLongName = "Ｂボタンを押して下さい";

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
  using screen::kBreeding, screen::kCareerOver, screen::kFinished, screen::kPasture, screen::kRace,
      screen::kRaceCard, screen::kResults, screen::kStable, screen::kTitle;
  switch (e.kind) {
    case K::Click:
      if (e.code == 1)
        return (from == kTitle && to == kBreeding) ||
               (from == kBreeding && to == kStable && before.setupPhase == 5) ||
               (from == kPasture && to == kStable) ||
               (from == kStable && (to == kRaceCard || to == kCareerOver)) ||
               (from == kRaceCard && to == kRace) ||
               (from == kResults && to == kStable && before.resultsShown == 1) ||
               (from == kCareerOver && to == kFinished);
      return e.code == 4 && from == kStable && to == kPasture;
    case K::Timer:
      if (e.code == 1) return from == kRace && to == kResults;
      if (e.code == 2) return (from == kStable || from == kPasture) && to == kCareerOver;
      return false;
    default: return false;
  }
}

}  // namespace

int keyCodeOf(const std::string& symbol) {
  return milka::testing::keyCodeOf(symbol);
}

std::string tail(const std::vector<Event>& events, size_t n) {
  std::string out;
  for (size_t i = events.size() > n ? events.size() - n : 0; i < events.size(); ++i) {
    std::string line = journal::describe(events[i]);
    if (line.size() > 80) line = line.substr(0, 77) + "...";
    out += "  #" + std::to_string(i) + " " + line + "\n";
  }
  return out;
}

// --- One career ------------------------------------------------------------------------

Career::Career(uint64_t seed, ClockKind clock) : Career(journal::Session::newHeader(seed, clock)) {
  apply(Event::siteBase("http://127.0.0.1:9"));
  apply(Event::load());
}

Career::Career(const journal::Header& h)
    : session_(std::make_unique<journal::Session>(h)),
      shadow_(std::make_unique<journal::Session>(h)),
      cutDice_(h.seed ^ 0xC0FFEEull) {
  bytes_ = session_->startNewJournal();
  shadowChain_ = journal::chainAfterHeader(bytes_);
  nextCut_ = std::uniform_int_distribution<int64_t>(0, 2000)(cutDice_);
}

Career::~Career() = default;

std::string Career::journal() const {
  journal::Encoder rest = *session_->encoder();
  rest.finish();
  return bytes_ + rest.take();
}

void Career::fail(std::string what) {
  if (!failure_) failure_ = Failure{std::move(what), static_cast<size_t>(events() - 1)};
}

void Career::apply(const Event& e) {
  const Game& g = game();
  const GameState before = g.state;
  std::optional<Form> formBefore;
  if (before.screenState == screen::kFinished) formBefore = g.form;
  const int fetchesBefore = port().fetchesStarted();
  const int navigationsBefore = port().navigationsStarted();
  // Nothing holds before the game has loaded, nor across the load itself.
  const bool checked = loaded_;
  loaded_ = loaded_ || e.kind == Event::Kind::Load;

  session_->feed(e);
  if (checked) check(e, before, formBefore, fetchesBefore, navigationsBefore);
  checkJournal(e);
}

void Career::checkJournal(const Event& e) {
  journal::Encoder& enc = *session_->encoder();
  if (mark_) mark_->since.push_back(e);
  const std::string written = enc.take();
  if (written.empty()) return;
  bytes_ += written;

  // The shadow reads only what was written, as a reader following the file would.
  const journal::Reading r = journal::readOn(written, shadowChain_);
  if (r.status != journal::Reading::Status::Whole || r.soundBytes != written.size())
    return fail("the journal's newest records do not read back whole");
  for (const Event& d : r.events) shadow_->feed(d);
  shadowChain_ = r.chain;
  const int64_t held = static_cast<int64_t>(enc.heldTicks());
  if (shadow_->events() != events() - held)
    return fail("the journal reads back " + std::to_string(shadow_->events()) + " events of " +
                std::to_string(events() - held));
  if (held != 0) {  // the boundary lies before this event; the next one is compared
    mark_.reset();  // and records have been written since the mark
    return;
  }
  if (!(shadow_->game().state == game().state) || !(shadow_->game().form == game().form))
    return fail("the game replayed from the journal differs from the one played");

  if (mark_) cutAndContinue();
  if (!mark_ && events() >= nextCut_)
    mark_ = Mark{bytes_.size(), events(), game().state, game().form, {}};
}

// The bytes cut anywhere in the newest record, as a crash mid-write leaves them, must read back
// to the boundary before it; the career replayed from there and fed the lost events again must
// write the very same bytes and stand where the live one stands, and it plays on in its place.
void Career::cutAndContinue() {
  Mark m = std::move(*mark_);
  mark_.reset();
  // Only one record since the mark, so the cut falls inside it.
  if (m.since.size() != 1 && !session_->encoder()->periodEnded()) return;
  const size_t end = bytes_.size();
  const size_t cut = std::uniform_int_distribution<size_t>(m.offset, end)(cutDice_);
  const bool whole = cut == end;
  const journal::Reading r = journal::read(std::string_view(bytes_).substr(0, cut));
  using S = journal::Reading::Status;
  const S status = cut == m.offset || whole ? S::Whole : S::TornTail;
  const int64_t n = whole ? events() : m.events;
  if (r.status != status || static_cast<int64_t>(r.events.size()) != n ||
      r.soundBytes != (whole ? end : m.offset))
    return fail("the journal cut at byte " + std::to_string(cut) + " of " + std::to_string(end) +
                " reads " + std::to_string(r.events.size()) + " events, not " + std::to_string(n));
  auto continued = journal::replay(r);
  const GameState& state = whole ? game().state : m.state;
  const Form& form = whole ? game().form : m.form;
  if (!continued || !(continued->game().state == state) || !(continued->game().form == form))
    return fail("the journal cut at byte " + std::to_string(cut) + " replays to another game");

  continued->startRecording(r.chain);
  std::string again = bytes_.substr(0, r.soundBytes);
  if (!whole)
    for (const Event& e : m.since) continued->feed(e);
  again += continued->encoder()->take();
  if (again != bytes_ || !(continued->game().state == game().state) ||
      !(continued->game().form == game().form))
    return fail("the career continued from the journal cut at byte " + std::to_string(cut) +
                " went another way");
  session_ = std::move(continued);
  ++cuts_;
  // Sparse, and sparser as the career grows, so the replays cost about what the career does.
  nextCut_ = events() + std::uniform_int_distribution<int64_t>(events(), 4 * events())(cutDice_);
}

void Career::check(const Event& e, const GameState& b, const std::optional<Form>& formBefore,
                   int fetchesBefore, int navigationsBefore) {
  using K = Event::Kind;
  const GameState& s = game().state;
  const Form& f = game().form;

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
    if (n == 27 && s.screenState == screen::kBreeding && s.setupPhase == 3) {
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

  if (b.screenState == screen::kFinished) {
    GameState unchanged = s;
    unchanged.buttonTicks = b.buttonTicks;
    Form shown = f;
    shown.text2 = formBefore->text2;                          // the browser's answers still arrive
    if (e.kind == K::Text1) shown.text1 = formBefore->text1;  // and the box still takes typing
    if (!(unchanged == b) || !(shown == *formBefore)) fail("the finished game changed");
  }

  const int fetched = port().fetchesStarted() - fetchesBefore;
  const bool closingSend = e.kind == K::Click && e.code == 1 &&
                           b.screenState == screen::kCareerOver &&
                           s.screenState == screen::kFinished && b.sendEnabled == 1;
  if (fetched != (closingSend ? 1 : 0)) fail("a fetch not at the closing A with sendEnabled");
  const int navigated = port().navigationsStarted() - navigationsBefore;
  if (navigated > (e.kind == K::Fetch ? 1 : 0)) fail("a navigation not after the fetch");
  if (port().navigationsStarted() > 1) fail("more than one navigation");

  for (int m = 1; m <= 12; ++m) {
    if (s.bigRaceEntered[m] == 1 &&
        (m != s.month || (s.screenState != screen::kRaceCard && s.screenState != screen::kRace &&
                          s.screenState != screen::kResults)))
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

  if (e.kind == K::Timer && e.code == 1 && b.screenState == screen::kRace) ++raceTicks_;
  if (raceTicks_ > kRaceTickBound) fail("a race ran beyond " + std::to_string(kRaceTickBound));
  if (s.screenState != screen::kRace) {
    longestRace_ = std::max(longestRace_, raceTicks_);
    raceTicks_ = 0;
  }
  if (s.screenState != screen::kFinished && events() > kCareerEventBound)
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
  const bool racing = s.screenState == screen::kRace;
  const bool naming = s.screenState == screen::kBreeding && s.setupPhase == 3;
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

// What a text box lets a player do to Text1: type, rub out, clear, paste.
Event Driver::text1(const Game& g) {
  const std::string& before = g.form.text1.text;
  std::string after = before;
  switch (roll(0, 3)) {
    case 0: after.clear(); break;
    case 1:  // a byte at a time, so a symbol can be left cut in half
      after.resize(after.size() - std::min<size_t>(after.size(), static_cast<size_t>(roll(1, 3))));
      break;
    case 2: after += keySymbol(roll(1, 30)); break;
    default: after += hostileText().substr(0, 256); break;
  }
  if (after.size() > kCaptionBound / 2) after.clear();
  return Event::text1(before, after);
}

// Mostly an answer to a request that waits, in any order; now and then one to a request
// already answered, not yet made or never to be made, as a confused network delivers them.
Event Driver::answer(const journal::JournalPort& port) {
  const auto fetches = port.pendingFetches(), navigations = port.pendingNavigations();
  const int waiting = static_cast<int>(fetches.size() + navigations.size());
  const bool isFetch =
      waiting == 0 ? roll(0, 1) == 0 : roll(0, waiting - 1) < static_cast<int>(fetches.size());
  const auto& pending = isFetch ? fetches : navigations;
  int index = 0;
  if (!pending.empty() && roll(1, 8) > 1) {
    index = pending[static_cast<size_t>(roll(0, static_cast<int>(pending.size()) - 1))].index;
  } else {
    const int started = isFetch ? port.fetchesStarted() : port.navigationsStarted();
    index = roll(0, 9) == 0 ? roll(-2, -1) : roll(0, started + 1);
  }
  return isFetch ? Event::fetch(index, hostileText()) : Event::nav(index, hostileText());
}

Event Driver::next(const Career& c) {
  const Game& g = c.game();
  const GameState& s = g.state;
  const journal::JournalPort& port = c.port();

  // Each career gets its own player: a careful one grazes a horse nearing the weight limit, a
  // careless one runs into the limit and only then sends it out. A career opens with two events,
  // the site's base and Form_Load.
  if (c.events() == 2) careful_ = roll(0, 1) == 1;
  if (period_.empty()) {
    period_ = {1, 2, 3, 4, 5};
    std::shuffle(period_.begin(), period_.end(), dice_);
  }
  const bool racing = s.screenState == screen::kRace;
  const bool naming = s.screenState == screen::kBreeding && s.setupPhase == 3;
  const bool waiting = !port.pendingFetches().empty() || !port.pendingNavigations().empty();
  const bool asked = port.fetchesStarted() + port.navigationsStarted() > 0;
  const int wTimer = 60;
  const int wClick = 14;
  const int wKey = racing ? 24 : (naming ? 7 : 3);
  const int wNet = waiting ? 4 : (asked ? 1 : 0);
  const int wNotify = 1;
  const int wText1 = 1;
  const int wStray = 1;
  int r = roll(1, wTimer + wClick + wKey + wNet + wNotify + wText1 + wStray);

  if ((r -= wTimer) <= 0) {
    const int n = period_.back();
    period_.pop_back();
    return Event::timer(n);
  }
  if ((r -= wClick) <= 0) {
    // At the stable this player mostly races, and sends a horse nearing the weight limit out
    // to grass: one that idles there every other month seldom reaches the top races, and those
    // are what the record sends.
    const int which = roll(1, 20);
    const bool stable = s.screenState == screen::kStable;
    const bool tired = s.bodyWeight < s.bestWeight - (careful_ ? 17 : 20);
    const int lastA = stable ? (tired ? 4 : 16) : 9;
    const int lastB = lastA + (stable ? (tired ? 13 : 1) : 4);
    return Event::click(which <= lastA                      ? 1
                        : which <= lastB                    ? 4
                        : which <= lastB + (19 - lastB) / 2 ? 2
                        : which <= 19                       ? 3
                                                            : 5);
  }
  if ((r -= wKey) <= 0) return key(g);
  if ((r -= wNet) <= 0) return answer(port);
  if ((r -= wNotify) <= 0) return Event::notify(hostileText());
  if ((r -= wText1) <= 0) return text1(g);
  // A button or timer the window does not have, which the journal must keep all the same.
  const int code = roll(-70000, 70000);
  return roll(0, 1) == 0 ? Event::click(code) : Event::timer(code);
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
      Career c(careerSeed, frozen ? ClockKind::Frozen : ClockKind::Stepping);
      int64_t finishedAt = -1;
      while (played < o.events) {
        c.apply(driver.next(c));
        ++played;
        if (c.failure()) break;
        if (finishedAt < 0 && c.finished()) finishedAt = c.events();
        if (finishedAt >= 0 && c.events() - finishedAt >= o.afterFinish) break;
      }
      report.events += c.events();
      report.journalBytes += static_cast<int64_t>(c.journal().size());
      report.races += c.racesRun();
      const GameState& s = c.game().state;
      report.wins += s.horseClass;
      for (int m = 1; m <= 12; ++m) report.topRacesWon += s.bigRaceWon[m];
      report.sends += c.port().fetchesStarted();
      report.cutsContinued += c.cutsContinued();
      report.longestRace = std::max(report.longestRace, c.longestRace());
      if (finishedAt >= 0) {
        ++ended;
        ++report.careers;
        if (frozen) ++report.frozenClockCareers;
        report.longestCareer = std::max(report.longestCareer, finishedAt);
      }
      if (c.failure()) {
        report.failure = c.failure();
        report.failedJournal = c.journal();
      }
    }
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return report;
}

std::optional<Failure> replay(const journal::Header& h, const std::vector<Event>& events) {
  Career c(h);
  for (const Event& e : events) {
    c.apply(e);
    if (c.failure()) return c.failure();
  }
  return std::nullopt;
}

std::vector<Event> shrink(const journal::Header& h, const std::vector<Event>& failed,
                          const Failure& failure) {
  // The same invariant, whatever numbers its message carries.
  const std::string rule = failure.what.substr(0, failure.what.find_first_of("0123456789("));
  auto stillFails = [&](const std::vector<Event>& t) {
    const auto f = replay(h, t);
    return f && f->what.starts_with(rule);
  };
  std::vector<Event> t(failed.begin(),
                       failed.begin() + static_cast<std::ptrdiff_t>(
                                            std::min(failed.size(), failure.eventIndex + 1)));
  for (size_t chunk = std::max<size_t>(t.size() / 2, 1);; chunk /= 2) {
    for (size_t i = 0; i < t.size();) {
      std::vector<Event> cut = t;
      const auto from = cut.begin() + static_cast<std::ptrdiff_t>(i);
      cut.erase(from, from + static_cast<std::ptrdiff_t>(std::min(chunk, cut.size() - i)));
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
