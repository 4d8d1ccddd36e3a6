// A player who always races and whips with the key shown, grazing a horse nearing the weight
// limit: a whole career as the journal's events, for the journal's tests and its bench.
#pragma once

#include <cstdint>

#include "journal/session.h"
#include "typed_key.h"

namespace milka::testing {

// One period: the five timers, then what the screen calls for, pressed only once the pacing lets
// the button act.
inline void playPeriod(journal::Session& session) {
  using journal::Event;
  for (int n = 1; n <= 5; ++n) session.feed(Event::timer(n));
  const GameState& s = session.game().state;
  if (s.screenState == 2 && s.setupPhase == 3 && s.nameLength < 3) session.feed(Event::key(65, 0));
  if (s.screenState == 7) {
    const int code = keyCodeOf(session.game().form.label(12).caption);
    if (code != 0) session.feed(Event::key(code, 0));
  }
  if (s.screenState == 3 && s.bodyWeight < s.bestWeight - 17 && s.buttonTicks > 1)
    session.feed(Event::click(4));
  else if (s.buttonTicks > 2)
    session.feed(Event::click(1));
}

// From the first event to the closing press; the periods played.
inline int64_t playCareer(journal::Session& session, int64_t periodLimit = 1'000'000) {
  session.feed(journal::Event::siteBase("http://127.0.0.1:9"));
  session.feed(journal::Event::load());
  int64_t periods = 0;
  for (; session.game().state.screenState != -11 && periods < periodLimit; ++periods)
    playPeriod(session);
  return periods;
}

}  // namespace milka::testing
