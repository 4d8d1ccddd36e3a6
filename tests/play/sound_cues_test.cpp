// What the game is heard doing, read from the model: races and race cards played through the
// handlers as the window plays them, and the tick of every sound that starts.
#include "play/sound_cues.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "career/flow.h"
#include "scripted_random.h"
#include "typed_key.h"

namespace milka::play {
void PrintTo(Cue cue, std::ostream* out) {
  static const char* const kNames[] = {"Title", "Stable",   "Pasture", "Fanfare",     "Start",
                                       "Whip",  "FinalLap", "Goal",    "WinningGoal", "CareerOver"};
  *out << kNames[static_cast<size_t>(cue)];
}
}  // namespace milka::play

namespace milka {
namespace {

using play::Cue;
using testing::keyCodeOf;
using testing::ScriptedGame;

using Timeline = std::vector<std::pair<int, Cue>>;  // (period, cue), whips left out

struct Heard {
  Timeline timeline;
  int whips = 0;
};

struct Listener : ScriptedGame {
  play::SoundCues cues;
  Heard heard;
  int period = 0;
  int whipsAtTheLine = -1;  // the board gives a winner more

  void listen() {
    for (Cue cue : cues.follow(game)) {
      if (cue == Cue::Whip)
        ++heard.whips;
      else
        heard.timeline.emplace_back(period, cue);
    }
  }
  // The horse as the race scenarios have it: every draw of the race gives 1, the rivals all
  // run at strength 2 and the player's horse at 1.
  void horse(int age, int month, int horseClass, int whips) {
    GameState& s = game.state;
    s.screenState = screen::kStable;
    s.setupPhase = 0;
    s.horseName = "milk";
    s.horseSpeed = 1;
    s.horseWhips = whips;
    s.horseKeys = 10;
    s.horseAge = age;
    s.month = month;
    s.horseClass = horseClass;
    s.bodyWeight = 440;
    s.bestWeight = 450;
    listen();
    heard = {};  // the stable's own sound, not the race's
  }
  // A at the stable: the programme names the month's race and the card comes up.
  void enterFromTheStable(int surface) {
    random.pushPick(3, surface);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, k);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, 10 + k);
    if (game.state.horseAge == 2)
      for (int k = 1; k <= 9; ++k) random.pushPick(17, k);
    pressA();
    listen();
  }
  // A on the card, then the periods of the race, a key typed whenever a symbol is shown.
  void race() {
    pressA();
    listen();
    GameState& s = game.state;
    for (period = 1; s.resultsShown == 0 && period < 5000; ++period) {
      const int code = keyCodeOf(game.form.label(12).caption);
      if (s.screenState == screen::kRace && code != 0) {
        game.Text1_KeyDown(static_cast<int16_t>(code), 0);
        listen();
      }
      for (void (Game::*timer)() : {&Game::Timer1_Timer, &Game::Timer2_Timer, &Game::Timer3_Timer,
                                    &Game::Timer4_Timer, &Game::Timer5_Timer}) {
        (game.*timer)();
        listen();
        if (s.playerFinished == 1 && whipsAtTheLine < 0) whipsAtTheLine = s.horseWhips;
      }
    }
  }
};

TEST(SoundCues, EachSoundStartsOnItsTickOfTheRaceAndTheCardsFanfareOnlyForTheBigRaces) {
  struct Case {
    const char* name;
    int age, month, horseClass, whips;
    bool run;
    Timeline expected;
    bool whipped;
  };
  // The countdown stands four ticks on each of 3, 2, 1 and 0: the gates open on the 16th,
  // which is the first running tick. 川崎 (month 9, C3: 3 laps), whipped every tick at 97:
  // across 8000 on the 82nd, 165th and 247th running ticks, then 57 a tick into the zone past
  // 7900 on the 386th; the next tick ends the race, the player's horse ahead. Unwhipped at
  // 浦和 (month 1, 特選: 3 laps) the rivals lead at 47 a tick: across 7000 on the 148th, 297th
  // and 446th, then at 17 a tick past the post on the 858th, which the next tick calls.
  const Case cases[] = {
      {"class race, whipped",
       3,
       9,
       1,
       400,
       true,
       {{16, Cue::Start}, {15 + 247, Cue::FinalLap}, {15 + 387, Cue::WinningGoal}},
       true},
      {"class race, no whips",
       3,
       1,
       0,
       0,
       true,
       {{16, Cue::Start}, {15 + 446, Cue::FinalLap}, {15 + 859, Cue::Goal}},
       false},
      {"graded race card", 3, 1, 12, 10, false, {{0, Cue::Fanfare}}, false},
      {"top race card", 3, 1, 15, 10, false, {{0, Cue::Fanfare}}, false},
      {"top race chain missed: the graded race", 4, 10, 20, 10, false, {{0, Cue::Fanfare}}, false},
      {"two-year-old of a graded class", 2, 12, 12, 10, false, {}, false},
      {"A1 class race card", 3, 1, 9, 10, false, {}, false},
  };
  for (const Case& c : cases) {
    Listener l;
    l.horse(c.age, c.month, c.horseClass, c.whips);
    l.enterFromTheStable(c.month == 9 ? 1 : 2);
    ASSERT_EQ(l.game.state.screenState, screen::kRaceCard) << c.name;
    if (c.run) l.race();
    EXPECT_EQ(l.heard.timeline, c.expected) << c.name;
    // One crack for every whip the horse was given, and none without.
    if (c.whipped) {
      EXPECT_EQ(l.heard.whips, c.whips - l.whipsAtTheLine) << c.name;
    }
    EXPECT_EQ(l.heard.whips > 0, c.whipped) << c.name;
  }
}

TEST(SoundCues, TheTitleChimesAsTheGameStartsAndNotWhenTheSoundComesOnLater) {
  testing::ScriptedRandom random;
  Game starting(random);
  play::SoundCues fromTheStart;
  EXPECT_TRUE(fromTheStart.follow(starting).empty());
  starting.Form_Load();
  EXPECT_EQ(fromTheStart.follow(starting), std::vector<Cue>{Cue::Title});
  play::SoundCues late;
  EXPECT_TRUE(late.follow(starting).empty());
}

}  // namespace
}  // namespace milka
