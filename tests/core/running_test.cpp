// The race timer: the countdown and the start call, then the running race — strengths, steps,
// the rails, laps, the finish and the wait before the board.
#include "race/running.h"

#include <gtest/gtest.h>

#include <string>

#include "race/race_tick.h"
#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

constexpr int kPost[5] = {8000, 200, 8000, 9700, 7000};  // by venue; 0 stands in for a stray one

// A race just started from the race card, with rivals of ability 10 and a plain horse.
struct Race : ScriptedGame {
  explicit Race(int venue = 2, int laps = 2, int surface = 1) {
    GameState& s = game.state;
    s.screenState = screen::kRaceCard;
    s.horseName = "abc";
    s.horseSpeed = 60;
    s.horseWhips = 10;
    s.horseKeys = 8;
    s.horseStyle = 0;  // no running-style bonus
    s.horseDistance = 0;
    s.bodyWeight = 440;
    s.bestWeight = 450;
    s.venue = venue;
    s.finishPostX = kPost[venue >= 1 && venue <= 4 ? venue : 0];
    s.trackSurface = surface;
    s.lapsToGo = laps;
    s.raceName = "Ｃ３";
    for (int k = 1; k <= 9; ++k) {
      s.runnerAbility[k].fill(10);
      s.jockeyAbility[k].fill(10);
    }
    pressA();
  }
  GameState& s() { return game.state; }
  // Straight to the running race, every runner standing at `left`.
  void running(float left) {
    s().startCountdown = -1;
    for (int k = 1; k <= 10; ++k) place(k, left);
  }
  void place(int k, float left) {
    game.form.image(race::pictureA(s(), k)).left = left;
    game.form.image(race::pictureB(s(), k)).left = left;
  }
  float left(int k) const { return game.form.image(race::pictureA(game.state, k)).left; }
  float leftB(int k) const { return game.form.image(race::pictureB(game.state, k)).left; }
  void rails(float left) {
    game.form.label(7).left = left;
    game.form.label(8).left = left;
  }
  // The 18 draws of the rivals and their jockeys, then the player's horse.
  void lineUpStrengths(int rivalValue, int playerSpeedDraw) {
    for (int i = 0; i < 18; ++i) random.pushPick(10, rivalValue);
    random.pushPick(s().horseSpeed, playerSpeedDraw);
  }
};

TEST(Countdown, DigitsOnTicks4To16AndTheRunnersFirstMoveOnTick16) {
  Race r(2, 2, 1);
  r.random.pushPick(3, 2);  // the start call's phrasing, drawn on tick 5
  for (int tick = 1; tick <= 16; ++tick) {
    r.ticks(1);
    const Form& f = r.game.form;
    const char* digit = tick < 4 ? "" : tick < 8 ? "3" : tick < 12 ? "2" : tick < 16 ? "1" : "";
    EXPECT_EQ(f.label(3).caption, digit) << tick;
    EXPECT_EQ(f.label(39).caption.empty(), tick < 5) << tick;
    if (tick < 16) {
      EXPECT_EQ(r.s().raceTicks, 0) << tick;
      for (int k = 1; k <= 10; ++k) EXPECT_EQ(r.left(k), 50) << tick << " " << k;
    }
  }
  // Tick 16 shows "0" and the first running tick in the same period clears it again.
  EXPECT_EQ(r.s().startCountdown, -1);
  EXPECT_EQ(r.game.form.label(3).caption, "");
  EXPECT_EQ(r.s().raceTicks, 1);
  EXPECT_EQ(r.game.form.label(2).caption, "1");
  for (int k = 1; k <= 10; ++k) EXPECT_GT(r.left(k), 50) << k;
  EXPECT_EQ(r.s().phraseChoice, 2);
}

TEST(Countdown, StartPositionsAndLanesOfBothPictureSets) {
  for (int venue : {1, 3}) {
    Race r(venue, 2, 1);
    r.ticks(1);
    const float start = venue == 1 ? 9700 : 50;
    const float lane[11] = {0, 1200, 1600, 2000, 2400, 2800, 3200, 3600, 4000, 4400, 4800};
    for (int k = 1; k <= 10; ++k) {
      const Picture& a = r.game.form.image(race::pictureA(r.s(), k));
      const Picture& b = r.game.form.image(race::pictureB(r.s(), k));
      EXPECT_EQ(a.left, start);
      EXPECT_EQ(b.left, start);
      EXPECT_EQ(a.top, lane[k]) << venue << " " << k;
      EXPECT_LT(b.top, -480) << venue << " " << k;  // parked above the window
    }
  }
  // 大井 runs the left-facing pictures 23..42, the others the right-facing ones.
  Race oi(1);
  EXPECT_EQ(race::pictureA(oi.s(), 1), 23);
  EXPECT_EQ(race::pictureB(oi.s(), 10), 42);
  Race kawasaki(2);
  EXPECT_EQ(race::pictureA(kawasaki.s(), 5), 10);
  EXPECT_EQ(race::pictureB(kawasaki.s(), 6), 14);
}

TEST(StartCall, EveryCourseChoiceAndSurface) {
  struct Case {
    int venue, choice, surface;
    const char* call;
  } cases[] = {
      {1, 1, 1, "さあスタートです。南関東の中心大井競馬場、馬場状態は今日はダートＣ３"},
      {1, 1, 2, "さあスタートです。南関東の中心大井競馬場、馬場状態は今日はドロＣ３"},
      {1, 1, 3, "さあスタートです。南関東の中心大井競馬場、馬場状態は今日は芝Ｃ３"},
      {1, 2, 1, "大井競馬場。馬場状態はダートＣ３このレースは3周致します"},
      {1, 2, 2, "大井競馬場。馬場状態はドロＣ３このレースは3周致します"},
      {1, 2, 3, "大井競馬場。馬場状態は芝Ｃ３このレースは3周致します"},
      {1, 3, 1, "馬場状態はダートという今日の大井競馬場。これからＣ３です。"},
      {1, 3, 2, "馬場状態はドロという今日の大井競馬場。これからＣ３です。"},
      {1, 3, 3, "馬場状態は芝の今日の大井競馬場。これからＣ３です。"},
      {2, 1, 1, "さあスタートです。馬場状態は今日はダートＣ３"},
      {2, 1, 2, "さあスタートです。馬場状態は今日はドロＣ３"},
      {2, 1, 3, "さあスタートです。馬場状態は今日は芝Ｃ３"},
      {2, 2, 1, "ここ川崎競馬場。馬場状態はダートＣ３このレースは3周致します"},
      {2, 2, 2, "ここ川崎競馬場。馬場状態はドロＣ３このレースは3周致します"},
      {2, 2, 3, "ここ川崎競馬場。馬場状態は芝Ｃ３このレースは3周致します"},
      {2, 3, 1, "馬場状態はダートという今日の川崎競馬場2日目。これからＣ３です。"},
      {2, 3, 2, "馬場状態はドロという今日の川崎競馬場初日。これからＣ３です。"},
      {2, 3, 3, "馬場状態は芝の今日の川崎競馬場最終日です。これからＣ３です。"},
      {3, 1, 1, "さあスタートです。馬場状態は今日はダートＣ３"},
      {3, 1, 2, "さあスタートです。馬場状態は今日はドロＣ３"},
      {3, 1, 3, "さあスタートです。馬場状態は今日は芝Ｃ３"},
      {3, 2, 1, "船橋競馬場です。馬場状態はダートＣ３このレースは3周致します"},
      {3, 2, 2, "船橋競馬場です。馬場状態はドロＣ３このレースは3周致します"},
      {3, 2, 3, "船橋競馬場です。馬場状態は芝Ｃ３このレースは3周致します"},
      {3, 3, 1, "馬場状態はダートという今日の船橋競馬場。オートもよろしく。これからＣ３です。"},
      {3, 3, 2,
       "馬場状態はドロという今日の船橋競馬場。明日もどうぞご来場下さい。これからＣ３です。"},
      {3, 3, 3, "馬場状態は芝の今日の船橋競馬場。最終日となって、これからＣ３を迎えます。"},
      {4, 1, 1, "さあスタートです。馬場状態は今日はダートＣ３"},
      {4, 1, 2, "さあスタートです。馬場状態は今日はドロＣ３"},
      {4, 1, 3, "さあスタートです。馬場状態は今日は芝Ｃ３"},
      {4, 2, 1, "浦和競馬場。馬場状態はダートＣ３このレースは3周致します"},
      {4, 2, 2, "浦和競馬場。馬場状態はドロＣ３このレースは3周致します"},
      {4, 2, 3, "浦和競馬場。馬場状態は芝Ｃ３このレースは3周致します"},
      {4, 3, 1, "馬場状態はダートという浦和競馬場。これからＣ３を迎えます。"},
      {4, 3, 2, "馬場状態はドロという今日の浦和競馬場。おすすめの場所からＣ３です。"},
      {4, 3, 3,
       "馬場状態は芝の浦和競馬場。この競馬場をもって使ってあげて下さい。これからＣ３です。"},
  };
  for (const Case& c : cases) {
    Race r(c.venue, 3, c.surface);
    const int drawsBefore = r.random.draws;
    r.ticks(4);
    r.random.pushPick(3, c.choice);
    r.ticks(1);
    EXPECT_EQ(r.game.form.label(39).caption, c.call) << c.venue << c.choice << c.surface;
    EXPECT_EQ(r.random.pending(), 0u);
    r.ticks(10);  // spoken once only
    EXPECT_EQ(r.random.draws, drawsBefore + 1);
  }
}

TEST(StartCall, AStrayCourseOrSurfaceSaysNothing) {
  for (auto [venue, surface] :
       {std::pair{0, 1}, std::pair{5, 2}, std::pair{2, 0}, std::pair{3, 4}}) {
    Race r(venue, 3, surface);
    r.ticks(8);
    EXPECT_EQ(r.game.form.label(39).caption, "") << venue << " " << surface;
  }
}

TEST(RaceTick, SurfaceColourAndOffset) {
  struct Case {
    int surface;
    uint32_t colour;
    int offset;
  } cases[] = {{1, 0xCD874C, -5}, {2, 0xA0A0A0, -15}, {3, 0x7CFF32, -10}};
  for (const Case& c : cases) {
    Race r(2, 2, c.surface);
    r.ticks(1);
    EXPECT_EQ(r.game.form.backColour, c.colour);
    EXPECT_EQ(r.s().surfaceOffset, c.offset);
    // A surface the game does not know leaves the last one standing.
    r.s().trackSurface = 7;
    r.game.form.backColour = 0x123456;
    r.ticks(1);
    EXPECT_EQ(r.game.form.backColour, 0x123456u);
    EXPECT_EQ(r.s().surfaceOffset, c.offset);
  }
}

TEST(RaceTick, FixedLabelsAndGoalPosts) {
  struct Case {
    int venue;
    float postLeft;
  } cases[] = {{1, 180}, {2, 8020}, {3, 9720}, {4, 7020}};
  for (const Case& c : cases) {
    Race r(c.venue, 1, 1);
    r.s().horseWhips = 23;
    r.s().targetKey = "k";
    r.ticks(1);
    const Form& f = r.game.form;
    EXPECT_EQ(f.label(4).caption, "あと");
    EXPECT_EQ(f.label(5).caption, "周");
    EXPECT_EQ(f.label(6).caption, "タイム⇒");
    EXPECT_EQ(f.label(36).caption, "ムチ数⇒ 23");
    EXPECT_EQ(f.label(36).top, f.label(6).top);
    EXPECT_EQ(f.label(36).fontSize, f.label(6).fontSize);
    EXPECT_EQ(f.label(12).caption, "k");
    EXPECT_EQ(f.label(13).caption, "ムチの値⇒");
    EXPECT_EQ(f.image(12).left, c.postLeft);
    EXPECT_EQ(f.image(9).left, c.postLeft);
    // A one-lap race shows the lap post until the last lap begins.
    EXPECT_EQ(f.image(12).top, 240);
    EXPECT_EQ(f.image(9).top, -1000);
    EXPECT_EQ(f.label(7).caption.size(), 484u * 3);
  }
}

TEST(Laps, TheLeaderCrossingShiftsTheWholeFieldBackOneLap) {
  struct Case {
    int venue, laps;
    float field, leader, riders, lap, rails;
  } cases[] = {
      // Rivals step 2 + 60 - 5 = 57, the player 1 + 50 - 5 = 46.
      {2, 2, 1000, 7990, 57, -8000, -720},
      {4, 5, 1000, 6990, 57, -7000, -720},
      {1, 3, 5000, 210, -57, 9700, -520},
  };
  for (const Case& c : cases) {
    Race r(c.venue, c.laps, 1);
    r.running(c.field);
    for (int k = 1; k <= 10; ++k)
      r.place(k, c.field + (c.riders > 0 ? 10.0f : -10.0f) * static_cast<float>(k));
    r.place(3, c.leader);
    r.place(10, c.leader);  // two across together still make one lap
    float before[11];
    for (int k = 1; k <= 10; ++k) before[k] = r.left(k);
    r.ticks(1);
    for (int k = 1; k <= 10; ++k) {
      const float step = k == 10 ? (c.riders > 0 ? 46.0f : -46.0f) : c.riders;
      EXPECT_EQ(r.left(k), before[k] + step + c.lap) << c.venue << " " << k;
      EXPECT_EQ(r.leftB(k), r.left(k)) << c.venue << " " << k;
    }
    EXPECT_EQ(r.s().lapsToGo, c.laps - 1);
    EXPECT_EQ(r.game.form.label(1).caption, std::to_string(c.laps - 1));
    EXPECT_EQ(r.game.form.label(7).left, c.rails);
    EXPECT_EQ(r.game.form.label(8).left, c.rails);
  }
}

TEST(Laps, PictureBIsShiftedOnItsOwnAndCountsNoLap) {
  Race r(2, 3, 1);
  r.running(1000);
  r.game.form.image(race::pictureB(r.s(), 3)).left = 7990;
  r.ticks(1);
  EXPECT_EQ(r.s().lapsToGo, 3);
  EXPECT_EQ(r.left(3), 1057);
  EXPECT_EQ(r.leftB(3), 8047 - 8000);
  EXPECT_EQ(r.leftB(1), 1057 - 8000);
}

TEST(Laps, AOneLapRaceShowsTheFinishingPostOnceItsLapIsRun) {
  Race r(2, 1, 1);
  r.running(7990);
  r.ticks(1);
  EXPECT_EQ(r.s().lapsToGo, 0);
  r.ticks(1);
  EXPECT_EQ(r.game.form.image(9).top, 240);
  EXPECT_EQ(r.game.form.image(12).top, -1000);
}

TEST(PlayerStep, WhipAndPlainStepsAndTheRailsOnEveryLapAndCourse) {
  struct Case {
    int venue;
    bool finalLap, whip;
    float step, rails;
  } cases[] = {
      // p = 40 and ドロ's -15.
      {2, true, true, 125, -75},   {2, true, false, 50, -80},  {2, false, true, 165, -115},
      {2, false, false, 75, -105}, {1, true, true, -125, 125}, {1, true, false, -50, 50},
      {1, false, true, -165, 165}, {1, false, false, -75, 75},
  };
  for (const Case& c : cases) {
    Race r(c.venue, c.finalLap ? 0 : 2, 2);
    r.ticks(1);  // the surface is taken on the first tick
    r.running(c.venue == 1 ? 8000 : 1000);
    r.place(10, c.venue == 1 ? 6000 : 3000);
    r.rails(-1000);
    r.s().horseSpeed = 100;
    r.s().horseWhips = 5;
    r.s().keyPromptState = c.whip ? 1 : 0;
    r.s().targetKey = "a";
    r.lineUpStrengths(1, 40);
    r.random.pushPick(8, 3);  // the next symbol after a whip
    r.ticks(1);
    const std::string what = std::to_string(c.venue) + (c.finalLap ? " final" : " earlier") +
                             (c.whip ? " whip" : " plain");
    EXPECT_EQ(r.s().runnerPower[10], 40) << what;
    EXPECT_EQ(r.left(10), (c.venue == 1 ? 6000 : 3000) + c.step) << what;
    EXPECT_EQ(r.leftB(10), r.left(10)) << what;
    EXPECT_EQ(r.game.form.label(7).left, -1000 + c.rails) << what;
    EXPECT_EQ(r.game.form.label(8).left, -1000 + c.rails) << what;
    EXPECT_EQ(r.s().horseWhips, c.whip ? 4 : 5) << what;
    EXPECT_EQ(r.s().keyPromptState, c.whip ? 2 : 0) << what;
    EXPECT_EQ(r.s().targetKey, c.whip ? "→" : "a") << what;
  }
}

TEST(PlayerStep, TheRailsJumpBackWhenTheyHaveRunOut) {
  Race oi(1, 2, 1);
  oi.running(8000);
  oi.rails(-299);
  oi.ticks(1);
  EXPECT_EQ(oi.game.form.label(7).left, -1800 + 46);  // reset, then carried by the plain step
  Race other(3, 2, 1);
  other.running(1000);
  other.rails(-1501);
  other.ticks(1);
  EXPECT_EQ(other.game.form.label(8).left, -230 - 50 - 1 - 5);
  EXPECT_EQ(other.game.form.label(7).caption.size(), 500u * 3);
}

TEST(Strength, RunningStyleDistanceAndBestWeightBonuses) {
  struct Case {
    int style, raceLaps, lapsToGo, distance, bonus;
  } cases[] = {
      // Seven-lap races.
      {1, 7, 6, 0, 20},
      {1, 7, 7, 0, 20},
      {2, 7, 4, 0, 20},
      {3, 7, 2, 0, 20},
      {4, 7, 0, 0, 20},
      {4, 7, 7, 0, 0},
      {2, 7, 0, 0, 0},
      // Other lengths.
      {1, 5, 5, 0, 20},
      {1, 5, 7, 0, 0},
      {2, 3, 3, 0, 20},
      {3, 2, 0, 0, 10},
      {3, 4, 4, 0, 0},
      {4, 1, 1, 0, 20},
      {2, 4, 6, 0, 10},
      // Six laps, or a style the game does not know: none.
      {4, 6, 0, 0, 0},
      {1, 6, 5, 0, 0},
      {5, 7, 6, 0, 0},
      {0, 3, 2, 0, 0},
      {1, 5, 9, 0, 0},
      // Distance by the race's laps.
      {0, 1, 0, 1, 10},
      {0, 2, 0, 1, 10},
      {0, 3, 0, 1, 5},
      {0, 5, 0, 1, 5},
      {0, 6, 0, 1, 0},
      {0, 2, 0, 2, 0},
      {0, 3, 0, 2, 5},
      {0, 4, 0, 2, 10},
      {0, 6, 0, 2, 5},
      {0, 7, 0, 2, 0},
      {0, 3, 0, 3, 0},
      {0, 4, 0, 3, 5},
      {0, 6, 0, 3, 10},
      {0, 7, 0, 3, 10},
      {0, 8, 0, 3, 0},
      {0, 7, 0, 4, 0},
      // Both.
      {1, 7, 6, 3, 30},
  };
  for (const Case& c : cases) {
    Race r(2, c.lapsToGo, 1);
    r.running(1000);
    r.s().raceLaps = c.raceLaps;
    r.s().horseStyle = c.style;
    r.s().horseDistance = c.distance;
    r.ticks(1);  // every draw gives 1
    EXPECT_EQ(r.s().runnerPower[10], 1 + c.bonus)
        << c.style << " " << c.raceLaps << " " << c.lapsToGo << " " << c.distance;
  }
  Race best(2, 2, 1);
  best.running(1000);
  best.s().bodyWeight = best.s().bestWeight;
  best.lineUpStrengths(1, 7);
  best.random.pushPick(5, 4);
  best.ticks(1);
  EXPECT_EQ(best.s().rollTemp, 4);
  EXPECT_EQ(best.s().runnerPower[10], 11);
}

TEST(Strength, RivalsAddTheirJockeyAndPastSevenLapsRunAtThirty) {
  Race r(2, 3, 1);
  r.running(1000);
  for (int k = 1; k <= 9; ++k) r.random.pushPick(10, k);
  for (int k = 1; k <= 9; ++k) r.random.pushPick(10, 10 - k);
  r.ticks(1);
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ(r.s().jockeyPower[k], 10 - k);
    EXPECT_EQ(r.s().runnerPower[k], 10) << k;
    EXPECT_EQ(r.left(k), 1000 + 10 + 60 - 5) << k;
  }

  Race far(2, 9, 1);
  far.running(1000);
  const int drawsBefore = far.random.draws;
  far.ticks(1);
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(far.s().runnerPower[k], 30);
  EXPECT_EQ(far.random.draws, drawsBefore + 1);  // only the player's horse draws
}

TEST(FinishingZone, TwoHundredFiftyBeforeThePostAtOiAndAHundredElsewhere) {
  struct Case {
    int venue;
    float before;
    bool finished;
  } cases[] = {
      // The plain final-lap step with every draw 1 is 25 + 1 - 5 = 21.
      {1, 471, false},  {1, 470.5f, true}, {2, 7879, false}, {2, 7880, true},
      {3, 9579, false}, {3, 9580, true},   {4, 6879, false}, {4, 6880, true},
  };
  for (const Case& c : cases) {
    Race r(c.venue, 0, 1);
    r.ticks(1);
    r.running(c.venue == 1 ? 9000 : 50);
    r.place(10, c.before);
    r.ticks(1);
    EXPECT_EQ(r.s().playerFinished, c.finished ? 1 : 0) << c.venue << " " << c.before;
    EXPECT_EQ(r.s().raceFinished, 0) << c.venue;  // raised only from the next tick
  }
}

TEST(FinalLap, ARivalAcrossThePostCoastsAndRaisesTheFinish) {
  for (int venue : {1, 2}) {
    const bool oi = venue == 1;
    Race r(venue, 0, 1);
    r.ticks(1);
    r.running(oi ? 9000 : 50);
    r.place(1, 200 * (oi ? 1.0f : 40.0f));  // on the post itself: not yet across
    r.ticks(1);
    EXPECT_EQ(r.s().raceFinished, 0);
    const float at = r.left(1);
    EXPECT_EQ(at, oi ? 200 - 27 : 8000 + 27);
    r.ticks(1);
    EXPECT_EQ(r.left(1), oi ? at - 50 : at + 50);
    EXPECT_EQ(r.s().raceFinished, 1);
    EXPECT_EQ(r.s().screenState, screen::kRace);  // the race runs on until the player's horse is in
  }
}

TEST(FinishWait, ThirtyOneTicksAfterAWinAndElevenOtherwise) {
  for (auto [rank, wait] : {std::pair{1, 31}, std::pair{2, 11}, std::pair{10, 11}}) {
    Race r(2, 0, 1);
    r.running(8000);
    r.s().playerFinished = 1;
    r.s().runnerRank[10] = rank;
    r.s().raceTicks = 140;
    r.s().keyPromptState = 1;
    int ticks = 0;
    while (r.s().screenState == screen::kRace && ticks < 100) {
      r.ticks(1);
      ++ticks;
    }
    EXPECT_EQ(ticks, wait) << rank;
    EXPECT_EQ(r.s().screenState, screen::kResults);
    EXPECT_EQ(r.s().raceFinished, 1);
    EXPECT_EQ(r.s().raceTicks, 140);  // the clock stopped
    EXPECT_EQ(r.s().horseWhips, 10);  // no whip while the field stands
    for (int k = 1; k <= 10; ++k) EXPECT_EQ(r.left(k), 8000) << k;
    const int tickedAt = r.s().afterFinishTicks;
    r.ticks(5);  // the race timer does nothing more for the race
    EXPECT_EQ(r.s().afterFinishTicks, tickedAt);
  }
}

TEST(Gait, RunnerFiveStridesWithTheFrontAtOiAndWithTheBackElsewhere) {
  for (int venue : {1, 2}) {
    Race r(venue, 2, 1);
    r.running(venue == 1 ? 8000 : 1000);
    r.s().gaitFrame = 0;
    r.ticks(1);
    const float lane[11] = {0, 1200, 1600, 2000, 2400, 2800, 3200, 3600, 4000, 4400, 4800};
    const int front = venue == 1 ? 5 : 4;
    for (int k = 1; k <= 10; ++k) {
      const bool aShown = k <= front;  // gaitFrame 0: A of the front group, B of the rest
      const Picture& a = r.game.form.image(race::pictureA(r.s(), k));
      const Picture& b = r.game.form.image(race::pictureB(r.s(), k));
      EXPECT_EQ(aShown ? a.top : b.top, lane[k]) << venue << " " << k;
      EXPECT_LT(aShown ? b.top : a.top, -480) << venue << " " << k;
    }
    EXPECT_EQ(r.s().gaitFrame, 1);
    r.ticks(1);
    EXPECT_EQ(r.game.form.image(race::pictureB(r.s(), 1)).top, 1200);
    EXPECT_EQ(r.game.form.image(race::pictureA(r.s(), 10)).top, 4800);
    EXPECT_EQ(r.s().gaitFrame, 0);
  }
}

TEST(StrayValues, EveryRaceStillEnds) {
  struct Case {
    int venue, surface, laps, countdownStep;
  } cases[] = {
      {0, 0, 2, 0}, {5, 9, 1, 0}, {2, 1, -2, 0}, {1, 2, 12, 0}, {3, 3, 2, 9}, {-1, -1, 0, -5},
  };
  for (const Case& c : cases) {
    Race r(c.venue, c.laps, c.surface);
    r.random.fallback = 0.5;
    r.s().countdownStep = c.countdownStep;
    r.s().horseKeys = 40;
    int ticks = 0;
    for (; r.s().screenState == screen::kRace && ticks < 20000; ++ticks) {
      r.game.Text1_KeyDown(85, 0);  // "u", which a stray key count can ask for
      r.ticks(1);
    }
    EXPECT_EQ(r.s().screenState, screen::kResults) << c.venue << " " << c.surface << " " << c.laps;
  }
}

}  // namespace
}  // namespace milka
