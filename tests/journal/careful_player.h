// A player who always races and whips with the key shown, grazing a horse nearing the weight
// limit: a whole career as the journal's events, fed exactly as the window feeds them, for the
// journal's tests, the window's and the benches.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "journal/session.h"
#include "online/sent_months.h"
#include "typed_key.h"

namespace milka::testing {

using Stop = std::function<bool(const Game&)>;

// One period: the five timers, then what the screen calls for, pressed only once the pacing lets
// the button act. With a stop, ends after the first event that meets it; whether one did.
inline bool playPeriod(journal::Session& session, const Stop& stop = nullptr) {
  using journal::Event;
  auto fed = [&](const Event& e) {
    session.feed(e);
    return stop && stop(session.game());
  };
  for (int n = 1; n <= 5; ++n)
    if (fed(Event::timer(n))) return true;
  const GameState& s = session.game().state;
  if (s.screenState == screen::kBreeding && s.setupPhase == 3 && s.nameLength < 3 &&
      fed(Event::key(65, 0)))
    return true;
  if (s.screenState == screen::kRace) {
    const int code = keyCodeOf(session.game().form.label(12).caption);
    if (code != 0 && fed(Event::key(code, 0))) return true;
  }
  if (s.screenState == screen::kStable && s.bodyWeight < s.bestWeight - 17 && s.buttonTicks > 1)
    return fed(Event::click(4));
  if (s.buttonTicks > 2) return fed(Event::click(1));
  return false;
}

// From the first event to the closing press; the periods played.
inline int64_t playCareer(journal::Session& session, int64_t periodLimit = 1'000'000) {
  session.feed(journal::Event::siteBase("http://127.0.0.1:9"));
  session.feed(journal::Event::load());
  int64_t periods = 0;
  for (; session.game().state.screenState != screen::kFinished && periods < periodLimit; ++periods)
    playPeriod(session);
  return periods;
}

// Plays on until stop says so; false when the career ended first.
inline bool playCarefully(journal::Session& session, const Stop& stop) {
  for (int64_t periods = 0; periods < 1'000'000; ++periods) {
    if (stop(session.game()) || playPeriod(session, stop)) return true;
    if (session.game().state.screenState == screen::kFinished) return false;
  }
  return false;
}

inline bool midRace(const Game& g) {
  return g.state.screenState == screen::kRace && g.state.raceTicks > 8;
}

inline bool boardShown(const Game& g) {
  return g.state.screenState == screen::kResults && g.state.resultsShown == 1;
}

// A careful career from the window's load to the closing A's fetch of pdf.php, under a seed
// from the site (none when empty), for the site's checks of what a journal proves.
struct Played {
  journal::Header header;
  std::vector<journal::Event> events;
  int fetchIndex = -1;
  bool sends = false;
  // Among the times sent, one the hall of fame ranks. A career whose only top race won was in
  // January, February or April sends, but none of its times.
  bool ranked = false;

  // The whole journal once pdf.php answered token: what the game uploads.
  std::string journal(const std::string& token, size_t cutTo = SIZE_MAX) const {
    std::vector<journal::Event> all(events.begin(),
                                    events.begin() + std::min(cutTo, events.size()));
    if (cutTo == SIZE_MAX) all.push_back(journal::Event::fetch(fetchIndex, token));
    return journal::encode(header, all);
  }
};

inline Played play(const std::string& base, const std::string& seed, uint64_t headerSeed) {
  Played p;
  p.header = journal::Session::newHeader(headerSeed);
  journal::Session s(p.header);
  s.setAfterEvent([&](const journal::Event& e) { p.events.push_back(e); });
  s.feed(journal::Event::siteBase(base));
  s.feed(journal::Event::load());
  if (!seed.empty()) s.feed(journal::Event::seed(seed));
  for (int n = 0; n < 1'000'000 && s.game().state.screenState != screen::kFinished; ++n)
    milka::testing::playPeriod(s);
  const auto pending = s.port().pendingFetches();
  p.sends = !pending.empty();
  if (p.sends) p.fetchIndex = pending.back().index;
  for (int m : online::kSentMonths)
    p.ranked = p.ranked || (p.sends && s.game().state.bigRaceTime[m] > 0);
  return p;
}

}  // namespace milka::testing
