// A player who plays a career through the journal's entry point exactly as the window feeds it:
// five ticks a period, A whenever the pacing allows, a name of three letters, every whip symbol
// typed, pasture when the horse is too light to race.
#pragma once

#include <functional>

#include "journal/session.h"
#include "typed_key.h"

namespace milka::testing {

// Plays until `done` says so or `periods` periods have passed; whether `done` was reached.
inline bool playCarefully(journal::Session& s, const std::function<bool(const Game&)>& done,
                          int periods = 200000) {
  using journal::Event;
  for (int p = 0; p < periods; ++p) {
    for (int n = 1; n <= 5; ++n) {
      s.feed(Event::timer(n));
      if (done(s.game())) return true;
    }
    const GameState& st = s.game().state;
    if (st.screenState == 2 && st.setupPhase == 3 && st.nameLength < 3) s.feed(Event::key(65, 0));
    if (st.screenState == 3 && st.bodyWeight < st.bestWeight - 20 && st.buttonTicks > 1)
      s.feed(Event::click(4));
    if (st.screenState == 7)
      if (const int code = keyCodeOf(s.game().form.label(12).caption); code != 0)
        s.feed(Event::key(code, 0));
    if (st.buttonTicks > 2 && st.screenState != 7 && st.screenState != -11)
      s.feed(Event::click(1));
    if (done(s.game())) return true;
  }
  return false;
}

inline bool midRace(const Game& g) {
  return g.state.screenState == 7 && g.state.raceTicks > 8;
}

inline bool boardShown(const Game& g) {
  return g.state.screenState == 8 && g.state.resultsShown == 1;
}

}  // namespace milka::testing
