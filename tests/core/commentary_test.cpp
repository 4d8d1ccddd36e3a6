// The running commentary: every phrasing as the announcer says it, the lengths he speaks of and
// the running order he reads.
#include "race/commentary.h"

#include <gtest/gtest.h>

#include "named_field.h"
#include "race/ranking.h"
#include "scripted_random.h"
#include "shell/game.h"

namespace milka {
namespace {

using race::scriptLine;
using testing::ScriptedGame;

// The running calls speak while laps remain.
void nameTheField(GameState& s) {
  testing::nameTheField(s);
  s.lapsToGo = 2;
}

GameState namedField() {
  GameState s;
  nameTheField(s);
  return s;
}

struct ChoiceLine {
  int choice;
  const char* line;
};

TEST(StartCalls, EachChoiceAndTheFollowUpItPicks) {
  const GameState s = namedField();
  const ChoiceLine start[] = {
      {1, "スタートしました!  ダービー です"},
      {2, "スタートしました!  ダービー !"},
      {3, "ゲートが開いてスタートしました!"},
      {4, "ゲートイン完了。スタートしました!"},
  };
  const ChoiceLine followUp[] = {
      {1, "さあ！何が行くんでしょうか"},
      {2, "10頭が横一線綺麗なスタートです"},
      {3, "ダービーです。どうぞご覧上下さい"},
      {4, "ダービー! 何が抜けて出てくるのでしょうか"},
  };
  for (const ChoiceLine& c : start) EXPECT_EQ(scriptLine(s, 0, c.choice, 0), c.line) << c.choice;
  for (const ChoiceLine& c : followUp) EXPECT_EQ(scriptLine(s, 1, c.choice, 0), c.line) << c.choice;
}

TEST(FieldCalls, EveryPhrasingForARivalAndForThePlayer) {
  const GameState s = namedField();
  struct Case {
    int step, choice;
    const char* rival;   // runner 7
    const char* player;  // runner 10
  } cases[] = {
      {2, 1, "7番の サクラ が行くんでしょうか  鞍上は田中",
       "10番の ミルカ が行くんでしょうか  鞍上は あなたです。"},
      {2, 2, "田中騎手  サクラがまず出てきましたか", "あなたの馬ミルカがまず出てきましたか"},
      {2, 3, "まず7番のサクラが先頭に立つ勢いです", "まず10番のミルカが先頭に立つ勢いです"},
      {3, 1, "7番の サクラこれが2番手につけましたか", "10番の ミルカこれが2番手につけましたか"},
      {3, 2, "控えて2番手サクラ", "控えて2番手ミルカ"},
      {3, 3, "田中のサクラこれが2番手", "あなたのミルカこれが2番手"},
      {4, 1, "7番の サクラこれが3番手", "10番の ミルカこれが3番手"},
      {4, 2, "3番手サクラ", "3番手ミルカ"},
      {4, 3, "田中サクラこれが3番手", "あなたのミルカこれが3番手"},
      {5, 1, "7番の サクラこれが4番手", "10番の ミルカこれが4番手"},
      {5, 2, "4番手サクラこの辺りが中団", "4番手ミルカこの辺りが中団"},
      {5, 3, "サクラ 田中4頭目", "ミルカ あなたの馬が4頭目でしょうか"},
      {6, 1, "7番 サクラこれが5番手", "10番 ミルカこれが5番手"},
      {6, 2, "サクラ が後方5番手で追走です", "ミルカ が後方5番手で追走です"},
      {6, 3, "サクラ 鞍上田中騎手が5番手", "ミルカ 鞍上あなたが5番手!さあここからどうでるのか！"},
      {7, 1, "7番 サクラ6番手", "10番 ミルカ6番手"},
      {7, 2, "サクラ が6番手で追走です", "ミルカ が6番手で追走です"},
      {7, 3, "サクラ 6番手田中", "ミルカ 6番手!さあここからどういったレースをするのか！"},
      {8, 1, "7番 サクラ7番手", "10番 ミルカ7番手"},
      {8, 2, "あとは サクラ", "あとは ミルカ"},
      {8, 3, "7番手田中とサクラ", "7番手 あなたとミルカ"},
      {9, 1, "7番 サクラ", "10番 ミルカ"},
      {9, 2, "あと サクラ", "あと ミルカ"},
      {9, 3, "8番手田中とサクラ", "8番手 あなたとミルカ"},
      {10, 1, "7番 サクラ", "10番 ミルカ"},
      {10, 2, "シンガリから2頭目に サクラ", "シンガリから2頭目に ミルカ"},
      {10, 3, "後方から2頭目にサクラ", "後方から数えて2頭目 ミルカ"},
      {11, 1, "7番 サクラこれが最後方", "10番 ミルカこれが最後方"},
      {11, 2, "ラスト最後方 サクラ", "ラスト最後方 ミルカ"},
      {11, 3, "しんがり追走 7番のサクラ", "しんがり追走10番 ミルカ"},
      {14, 1, "7番の サクラ が踊り出て先頭です。  鞍上田中2番手との差は3馬身",
       "10番の ミルカ が踊り出て先頭です。  鞍上は あなたです。2番手との差は3馬身"},
      {14, 2, "サクラがハナを奪って先頭  その差3馬身", "ミルカがハナを奪って先頭  その差3馬身"},
      {14, 3, "7番のサクラが先頭", "10番のミルカ あなたが先頭"},
      {14, 4, "7番サクラ先頭  リードは3馬身ぐらい取りましたか",
       "10番ミルカ あなた先頭  リードは3馬身ぐらい取りましたか"},
      {14, 5, "サクラ先頭  リードは3馬身ぐらい", "ミルカ あなた先頭  リードは3馬身ぐらい"},
      {14, 6, "先頭はサクラ  リードは3馬身ぐらい", "先頭はミルカ  リードは3馬身ぐらい"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(scriptLine(s, c.step, c.choice, 7), c.rival) << c.step << "/" << c.choice;
    EXPECT_EQ(scriptLine(s, c.step, c.choice, 10), c.player) << c.step << "/" << c.choice;
  }
}

TEST(FieldCalls, RunnerOneInSixthAndRunnerTwoInLastPlaceHaveTheirOwnWords) {
  const GameState s = namedField();
  struct Case {
    int step, choice, runner;
    const char* line;
  } cases[] = {
      {7, 2, 1, "アサヒ が6番手追走です"},
      {11, 2, 2, "ラスト最後方イナホ"},
      // their neighbours in the same columns speak as the column does
      {7, 2, 2, "イナホ が6番手で追走です"},
      {7, 1, 1, "1番 アサヒ6番手"},
      {11, 2, 1, "ラスト最後方 アサヒ"},
      {11, 1, 2, "2番 イナホこれが最後方"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(scriptLine(s, c.step, c.choice, c.runner), c.line) << c.step << "/" << c.runner;
}

TEST(FieldCalls, EachRivalIsCalledByHisOwnNumber) {
  const GameState s = namedField();
  for (int k = 1; k <= 9; ++k) {
    const std::string n = std::to_string(k);
    EXPECT_EQ(scriptLine(s, 2, 1, k),
              n + "番の " + s.runnerName[k] + " が行くんでしょうか  鞍上は" + s.jockeyName[k]);
    EXPECT_EQ(scriptLine(s, 11, 3, k), "しんがり追走 " + n + "番の" + s.runnerName[k]);
  }
}

TEST(SpreadCall, TheWordsFollowHowLongTheFieldHasGrown) {
  GameState s = namedField();
  struct Case {
    int choice, lengths;
    const char* line;
  } cases[] = {
      {1, 5, "しかし先頭からラスト最後方までそんなに離れていません"},
      {1, 6, "先頭からしんがりまでおよそ6馬身で少したてながでしょうか"},
      {1, 10, "先頭からしんがりまでおよそ10馬身で少したてながでしょうか"},
      {1, 11, "体制はたてなが　体制はたてなが"},
      {1, 0, "しかし先頭からラスト最後方までそんなに離れていません"},
      {1, -2, "しかし先頭からラスト最後方までそんなに離れていません"},
      {2, 5, "先頭からしんがりまでどうでしょう・・・・約5馬身です"},
      {2, 6, "先頭からしんがりまでどうでしょう・・・・約6馬身です"},
      {2, 10, "先頭からしんがりまでどうでしょう・・・・約10馬身です"},
      {2, 11, "先頭からしんがりまでどうでしょう・・・・約11馬身です"},
      {2, 0, "先頭からしんがりまでどうでしょう・・・・約0馬身です"},
      {2, -2, "先頭からしんがりまでどうでしょう・・・・約-2馬身です"},
      {3, 5, "先頭からしんがりまで一塊"},
      {3, 6, "体制はややたてなが"},
      {3, 10, "体制はややたてなが"},
      {3, 11, "体制はたてに長くなりました"},
      {3, 0, "先頭からしんがりまで一塊"},
      {3, -2, "先頭からしんがりまで一塊"},
      {4, 5,
       "こういった体制で先頭からラスト最後方までどうでしょうか・・・5馬身ぐらいあるでしょうか"},
      {4, 6,
       "こういった体制で先頭からラスト最後方までどうでしょうか・・・6馬身ぐらいあるでしょうか"},
      {4, 10,
       "こういった体制で先頭からラスト最後方までどうでしょうか・・・10馬身ぐらいあるでしょうか"},
      {4, 11,
       "こういった体制で先頭からラスト最後方までどうでしょうか・・・11馬身ぐらいあるでしょうか"},
      {4, 0,
       "こういった体制で先頭からラスト最後方までどうでしょうか・・・0馬身ぐらいあるでしょうか"},
      {4, -2,
       "こういった体制で先頭からラスト最後方までどうでしょうか・・・-2馬身ぐらいあるでしょうか"},
  };
  for (const Case& c : cases) {
    s.marginLengths = c.lengths;
    EXPECT_EQ(scriptLine(s, 12, c.choice, 0), c.line) << c.choice << "/" << c.lengths;
  }
}

TEST(LinkCall, SaysTheLapsStillToRun) {
  const GameState s = namedField();  // two laps to go
  const ChoiceLine cases[] = {
      {1, "前からみましょう"},
      {2, "さあここからレースはどうなるのか"},
      {3, "あと2周でしょうか"},
      {4, "先頭から見てみましょうか"},
  };
  for (const ChoiceLine& c : cases) EXPECT_EQ(scriptLine(s, 13, c.choice, 0), c.line) << c.choice;
}

TEST(Phrasings, NothingIsSaidForAStepChoiceOrRunnerThatDoesNotExist) {
  const GameState s = namedField();
  struct Case {
    int step, choice, runner;
  } cases[] = {
      {0, 0, 0},  {0, 5, 0},  {1, -1, 0}, {2, 4, 7},  {2, 1, 0},  {2, 1, 11}, {11, 3, -3},
      {12, 5, 0}, {13, 0, 0}, {14, 7, 7}, {14, 1, 0}, {15, 1, 7}, {-1, 1, 7}, {99, 1, 10},
  };
  for (const Case& c : cases)
    EXPECT_FALSE(scriptLine(s, c.step, c.choice, c.runner).has_value())
        << c.step << "/" << c.choice << "/" << c.runner;
}

TEST(Lengths, FiveHundredUnitsToALengthHalvesToTheEvenNeighbour) {
  struct Case {
    int units, lengths;
    const char* spoken;
  } cases[] = {
      {0, 0, "半"},     {249, 0, "半"},   {250, 0, "半"},    {251, 1, "1"},    {749, 1, "1"},
      {750, 2, "2"},    {1250, 2, "2"},   {1750, 4, "4"},    {5499, 11, "11"}, {-250, 0, "半"},
      {-251, -1, "-1"}, {-750, -2, "-2"}, {-1250, -2, "-2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(race::lengthsOf(c.units), c.lengths) << c.units;
    EXPECT_EQ(race::marginTextOf(race::lengthsOf(c.units)), c.spoken) << c.units;
  }
}

// A race on screen at 川崎 with its countdown over; the pictures stand where a test puts them.
struct RaceOnScreen : ScriptedGame {
  static constexpr int kPicture[11] = {0, 1, 3, 5, 7, 10, 13, 15, 17, 19, 21};
  static constexpr int kOiPicture[11] = {0, 23, 25, 27, 29, 31, 33, 35, 37, 39, 41};
  RaceOnScreen() {
    GameState& s = game.state;
    nameTheField(s);
    s.screenState = screen::kRace;
    s.startCountdown = -1;
    s.venue = 2;
    s.commentaryState = 0;
    s.commentaryTicks = 0;
    s.rerankRequested = 0;
  }
  void place(const std::array<float, 11>& left) {
    for (int k = 1; k <= 10; ++k)
      game.form.image(game.state.venue == 1 ? kOiPicture[k] : kPicture[k]).left = left[k];
  }
};

TEST(RunningOrder, LevelRunnersGoToTheHigherNumberAndThePlayerWinsEveryTie) {
  RaceOnScreen g;
  // runners 3 and 5 level, runner 10 level with the leader, runner 1
  g.place({0, 900, 800, 500, 600, 500, 400, 300, 200, 100, 900});
  g.game.state.rerankRequested = 1;
  g.game.Timer2_Timer();
  const Family<int32_t, 10> expected = {0, 2, 3, 6, 4, 5, 7, 8, 9, 10, 1};
  EXPECT_EQ(g.game.state.runnerRank, expected);
  EXPECT_EQ(g.game.state.rerankRequested, 0);
}

TEST(RunningOrder, AWholeFieldLevelIsStillOneRunnerToEachPlace) {
  RaceOnScreen g;
  g.place({0, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50});
  g.game.state.rerankRequested = 1;
  g.game.Timer2_Timer();
  const Family<int32_t, 10> expected = {0, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  EXPECT_EQ(g.game.state.runnerRank, expected);
}

TEST(RunningOrder, AtOiTheFieldRunsRightToLeft) {
  RaceOnScreen g;
  g.game.state.venue = 1;
  g.place({0, 9000.4f, 8000.5f, 7000.5f, 6000, 5000, 4000, 3000, 2000, 1000, 500});
  g.game.state.rerankRequested = 1;
  g.game.Timer2_Timer();
  const GameState& s = g.game.state;
  EXPECT_EQ(s.runnerLeftRaw[1], 9000);
  EXPECT_EQ(s.runnerLeftRaw[2], 8000);  // halves to the even neighbour
  EXPECT_EQ(s.runnerLeftRaw[3], 7000);
  EXPECT_EQ(s.runnerPos[1], -9000);
  EXPECT_EQ(s.runnerPos[10], -500);
  EXPECT_EQ(s.runnerRank[10], 1);
  EXPECT_EQ(s.runnerRank[1], 10);
}

TEST(RunningOrder, ElsewhereTheLeftEdgeIsThePosition) {
  RaceOnScreen g;
  g.place({0, 100.5f, 201.5f, 300, 400, 500, 600, 700, 800, 900, 50});
  g.game.Timer2_Timer();
  const GameState& s = g.game.state;
  EXPECT_EQ(s.runnerPos[1], 100);
  EXPECT_EQ(s.runnerPos[2], 202);
  EXPECT_EQ(s.runnerPos[9], 900);
  EXPECT_EQ(s.runnerPos[10], 50);
}

TEST(RunningOrder, TakenOnlyWhenAskedWhileLapsRemainAndEveryTickOnTheFinalLap) {
  RaceOnScreen g;
  g.place({0, 900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
  g.game.state.rerankRequested = 1;
  g.game.Timer2_Timer();
  EXPECT_EQ(g.game.state.runnerRank[10], 10);
  g.place({0, 900, 800, 700, 600, 500, 400, 300, 200, 100, 5000});
  g.game.Timer2_Timer();
  EXPECT_EQ(g.game.state.runnerRank[10], 10);  // nobody asked
  g.game.state.lapsToGo = 0;
  g.game.Timer2_Timer();
  EXPECT_EQ(g.game.state.runnerRank[10], 1);
}

TEST(CommentaryGuards, AStepTheScriptDoesNotKnowSaysNothing) {
  RaceOnScreen g;
  g.place({0, 900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
  g.game.form.label(39).caption = "前の一言";
  for (int step : {-1, 15, 99}) {
    g.game.state.commentaryState = step;
    g.game.state.commentaryTicks = 6;
    g.game.Timer2_Timer();
    EXPECT_EQ(g.game.form.label(39).caption, "前の一言") << step;
    EXPECT_EQ(g.game.state.commentaryState, step);
  }
}

TEST(CommentaryGuards, APlaceNobodyHoldsSaysNothingAndTheScriptMovesOn) {
  RaceOnScreen g;
  g.game.form.label(39).caption = "前の一言";
  g.game.state.runnerRank = {};  // no snapshot yet
  g.game.state.commentaryState = 5;
  g.game.state.commentaryTicks = 6;
  g.game.Timer2_Timer();
  EXPECT_EQ(g.game.form.label(39).caption, "前の一言");
  EXPECT_EQ(g.game.state.commentaryState, 6);
}

TEST(CommentaryGuards, NothingHappensBeforeTheStartOrOffTheRaceScreen) {
  RaceOnScreen g;
  g.game.form.label(39).caption = "ゲートイン";
  g.game.state.startCountdown = 0;
  race::commentaryTick(g.game);
  g.game.state.startCountdown = -1;
  g.game.state.screenState = screen::kResults;
  race::commentaryTick(g.game);
  EXPECT_EQ(g.game.state.commentaryTicks, 0);
  EXPECT_EQ(g.game.form.label(39).caption, "ゲートイン");
}

}  // namespace
}  // namespace milka
