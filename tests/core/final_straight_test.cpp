// The final straight and the finish: every call as the announcer makes it, the lead checks, and
// the finish cutting in.
#include "race/final_straight.h"

#include <gtest/gtest.h>

#include "named_field.h"
#include "race/ranking.h"
#include "scripted_random.h"
#include "shell/game.h"

namespace milka {
namespace {

using testing::ScriptedGame;

using testing::namedField;
using testing::nameTheField;

TEST(SceneCalls, BothScenesByPick) {
  const GameState s = namedField();
  struct Case {
    int pick;
    const char* stage0;
    const char* stage10;
  } cases[] = {
      {1, "さあ！最後の直線の追い比べ！最後の直線の追い比べ", "最後の直線の追い比べ"},
      {2, "最終ラスト0周となりました！！", "直線の追い比べ！"},
      {3, "残り0周！", "最後の直線"},
      {4, "最後の直線の攻防です！", "直線の攻防！"},
      {5, "最後の直線の追い比べに移ってまいりました！", "最後の追い比べ！"},
      {6, "さあ最後の直線に向いて参りました｡", "最後の直線の追い比べ！最後の直線の追い比べ！"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(race::straightLine(s, 0, c.pick, 0), c.stage0) << c.pick;
    EXPECT_EQ(race::straightLine(s, 10, c.pick, 0), c.stage10) << c.pick;
  }
}

TEST(StraightCalls, LeaderSecondAndHoldingOnForARivalAndForThePlayer) {
  const GameState s = namedField();
  struct Case {
    int stage, pick;
    const char* rival;   // runner 7
    const char* player;  // runner 10
  } cases[] = {
      {1, 1, "飛ばしております!7番のサクラ", "飛ばしております!10番のミルカ"},
      {2, 1, "7番のサクラが追って2番手", "10番のミルカが追って2番手"},
      {1, 2, "最後の直線の追い比べ！まだまだ飛ばしておりますサクラ",
       "最後の直線の追い比べ！まだまだ飛ばしておりますミルカ"},
      {2, 2, "サクラが食い下がって2番手", "ミルカが食い下がって2番手"},
      {1, 3, "田中 騎手 7番のサクラが飛ばして先頭!", " あなたの馬 10番のミルカが飛ばして先頭!"},
      {2, 3, "田中 の サクラが追ってくる", "あなたの  ミルカが追ってくる"},
      {3, 1, "サクラが先頭! その差は3馬身ぐらいある!!", "ミルカが先頭! その差は3馬身ぐらいある!!"},
      {3, 2, "先頭はまだまだ7番のサクラ2着との差は3馬身ある!!",
       "先頭はまだまだ10番のミルカ2着との差は3馬身ある!!"},
      {3, 3, "先頭はサクラ!  サクラが先頭!! リード3馬身", "先頭はミルカ! リード3馬身"},
      {4, 1, "サクラ先頭!サクラが先頭です", "ミルカ先頭!ミルカが先頭です"},
      {4, 2, "先頭は田中 の サクラ", "先頭はあなたの ミルカ"},
      {4, 3, "サクラ! サクラ!", "ミルカ! ミルカ!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(race::straightLine(s, c.stage, c.pick, 7), c.rival) << c.stage << "/" << c.pick;
    EXPECT_EQ(race::straightLine(s, c.stage, c.pick, 10), c.player) << c.stage << "/" << c.pick;
  }
}

TEST(StraightCalls, RunnerThreeHoldingOnInStageThreeGetsADoubleQuote) {
  const GameState s = namedField();
  EXPECT_EQ(race::straightLine(s, 3, 1, 3), "ウララが先頭! その差は3馬身ぐらいある!!\"");
  // only there
  EXPECT_EQ(race::straightLine(s, 4, 1, 3), "ウララ先頭!ウララが先頭です");
  EXPECT_EQ(race::straightLine(s, 3, 2, 3), "先頭はまだまだ3番のウララ2着との差は3馬身ある!!");
  EXPECT_EQ(race::straightLine(s, 3, 1, 2), "イナホが先頭! その差は3馬身ぐらいある!!");
}

TEST(LeadChangeCalls, NameTheNewLeaderAndTheRunnerPassed) {
  const GameState s = namedField();
  struct Case {
    int stage, pick;
    const char* playerPassesThree;
    const char* sevenPassesPlayer;
  } cases[] = {
      {3, 1, "ミルカがここで先頭に変わった!!食い下がって3番ウララ",
       "サクラがここで先頭に変わった!!食い下がって10番ミルカ"},
      {3, 2, "ミルカがここで先頭!食い下がって3番ウララ",
       "サクラがここで先頭!食い下がって10番ミルカ"},
      {3, 3, "ミルカがここで先頭におどり出た!", "サクラがここで先頭におどり出た!"},
      {4, 1, "ミルカがここで先頭に変わった!!食い下がる3番ウララ",
       "サクラがここで先頭に変わった!!食い下がる10番ミルカ"},
      {4, 2, "ミルカがここで先頭!食い下がる3番ウララ", "サクラがここで先頭!食い下がる10番ミルカ"},
      {4, 3, "ミルカがここで先頭に変わったか!", "サクラがここで先頭に変わったか!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(race::leadChangeLine(s, c.stage, c.pick, 10, 3), c.playerPassesThree)
        << c.stage << "/" << c.pick;
    EXPECT_EQ(race::leadChangeLine(s, c.stage, c.pick, 7, 10), c.sevenPassesPlayer)
        << c.stage << "/" << c.pick;
  }
}

TEST(FinishCalls, TheGoalByPick) {
  const GameState s = namedField();
  struct Case {
    int pick;
    const char* line;
  } cases[] = {
      {1, "今1着でゴール"}, {2, "ゴーーーーーーーーーーーーーーーーーーーーーーール"},
      {3, "今ゴール"},      {4, "ゴール"},
      {5, "ゴールイン"},    {6, "ごーーーーーーーーーーーーーーーーーーーーる"},
  };
  for (const Case& c : cases) EXPECT_EQ(race::finishLine(s, 0, c.pick, 0), c.line) << c.pick;
}

TEST(FinishCalls, WinnerRunnerUpAndWinnerAgainForARivalAndForThePlayer) {
  const GameState s = namedField();
  struct Case {
    int stage, pick;
    const char* rival;   // runner 7
    const char* player;  // runner 10
  } cases[] = {
      {1, 1, "7番のサクラ快勝です。", "10番のミルカ快勝です。"},
      {1, 2, "勝ったのは7番のサクラ", "勝ったのは10番のミルカ"},
      {1, 3, "サクラ が見事にこのレース制しました!!", "ミルカ が見事にこのレース制しました!!"},
      {2, 1, "そして2着は7番のサクラか", "そして2着は10番のミルカか"},
      {2, 2, "2着はどうだ・・・・・・・・7番のサクラ", "2着はどうだ・・・・・・・・10番のミルカ"},
      {2, 3, "そして2着は田中 騎手 サクラか", "そして2着はあなたのミルカか"},
      {3, 1, "しかし勝ったのは7番のサクラ快勝しました!鞍上田中",
       "しかし勝ったのは10番のミルカ快勝しました!鞍上はあなた"},
      {3, 2, "しかし勝ったのは7番のサクラ", "しかし勝ったのは10番のミルカ"},
      {3, 3, "サクラ この馬が制しています!!", "ミルカ この馬が制しています!!"},
      {3, 4, "サクラ が勝ちました!!鮮やかでした!!", "ミルカ が勝ちました!!鮮やかでした!!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(race::finishLine(s, c.stage, c.pick, 7), c.rival) << c.stage << "/" << c.pick;
    EXPECT_EQ(race::finishLine(s, c.stage, c.pick, 10), c.player) << c.stage << "/" << c.pick;
  }
}

TEST(FinishCalls, NothingForAStagePickOrRunnerThatDoesNotExist) {
  const GameState s = namedField();
  EXPECT_FALSE(race::finishLine(s, 0, 7, 0).has_value());
  EXPECT_FALSE(race::finishLine(s, 1, 4, 7).has_value());
  EXPECT_FALSE(race::finishLine(s, 3, 5, 7).has_value());
  EXPECT_FALSE(race::finishLine(s, 4, 1, 7).has_value());
  EXPECT_FALSE(race::finishLine(s, 1, 1, 11).has_value());
  EXPECT_FALSE(race::straightLine(s, 5, 1, 7).has_value());
  EXPECT_FALSE(race::straightLine(s, 10, 0, 0).has_value());
  EXPECT_FALSE(race::straightLine(s, 1, 1, 0).has_value());
  EXPECT_FALSE(race::leadChangeLine(s, 3, 1, 10, 0).has_value());
  EXPECT_FALSE(race::leadChangeLine(s, 2, 1, 10, 3).has_value());
}

TEST(LeadCheckOrder, SecondFirstThenUpTheNumbersWithRunnerFourInThePassedLeadersSlot) {
  struct Case {
    int leader;
    std::vector<int> order;
  } cases[] = {
      {1, {2, 3, 4, 5, 6, 7, 8, 9, 10}}, {2, {1, 3, 4, 5, 6, 7, 8, 9, 10}},
      {3, {2, 1, 4, 5, 6, 7, 8, 9, 10}}, {4, {2, 1, 3, 5, 6, 7, 8, 9, 10}},
      {5, {2, 1, 3, 4, 6, 7, 8, 9, 10}}, {7, {2, 1, 3, 5, 6, 4, 8, 9, 10}},
      {10, {2, 1, 3, 5, 6, 7, 8, 9, 4}},
  };
  for (const Case& c : cases) EXPECT_EQ(race::leadCheckOrder(c.leader), c.order) << c.leader;
}

// The final lap at 川崎 with the line slot open: a line is due on the next tick of Timer3.
struct OnTheFinalLap : ScriptedGame {
  OnTheFinalLap() {
    GameState& s = game.state;
    nameTheField(s);
    s.screenState = screen::kRace;
    s.startCountdown = -1;
    s.venue = 2;
    s.lapsToGo = 0;
    s.raceFinished = 0;
    s.straightStage = 0;
    s.finishStage = 0;
    s.commentaryTicks = 7;
    game.form.label(39).caption = "前の一言";
    standings({0, 900, 800, 700, 600, 500, 400, 300, 200, 100, 50});
  }
  // Where the runners are and the order the running commentary took from it.
  void standings(const Family<int32_t, 10>& pos) {
    game.state.runnerPos = pos;
    game.state.runnerRank = race::rankRunners(pos);
  }
  // One line slot: the line comes once seven ticks have passed.
  std::string speak() {
    game.state.commentaryTicks = 7;
    game.Timer3_Timer();
    return game.form.label(39).caption;
  }
};

TEST(FinalStraight, SilentUntilTheLineSlot) {
  OnTheFinalLap g;
  const int draws = g.random.draws;
  g.game.state.commentaryTicks = 6;
  g.game.state.marginText = "前";
  g.game.Timer3_Timer();
  EXPECT_EQ(g.game.form.label(39).caption, "前の一言");
  EXPECT_EQ(g.game.state.marginText, "前");  // not even the margin is measured
  EXPECT_EQ(g.game.state.straightStage, 0);
  EXPECT_EQ(g.random.draws, draws);
}

TEST(FinalStraight, SilentWhileLapsRemain) {
  OnTheFinalLap g;
  g.game.state.lapsToGo = 1;
  g.game.Timer3_Timer();
  EXPECT_EQ(g.game.form.label(39).caption, "前の一言");
  EXPECT_EQ(g.game.state.commentaryTicks, 7);
}

TEST(FinalStraight, ScenesLeaderSecondThenLeadChecksReturningToThreeOrTwo) {
  OnTheFinalLap g;
  GameState& s = g.game.state;
  const int draws = g.random.draws;
  const int reseeds = g.random.reseeds;
  g.random.pushPick(6, 1);
  EXPECT_EQ(g.speak(), "さあ！最後の直線の追い比べ！最後の直線の追い比べ");
  EXPECT_EQ(s.straightStage, 10);
  EXPECT_EQ(s.commentaryTicks, 0);
  g.random.pushPick(6, 4);
  EXPECT_EQ(g.speak(), "直線の攻防！");
  EXPECT_EQ(s.straightStage, 1);
  g.random.pushPick(3, 1);
  EXPECT_EQ(g.speak(), "飛ばしております!1番のアサヒ");
  EXPECT_EQ(s.announcedLeader, 1);
  EXPECT_EQ(s.straightStage, 2);
  g.random.pushPick(3, 2);
  EXPECT_EQ(g.speak(), "イナホが食い下がって2番手");
  EXPECT_EQ(s.straightStage, 3);
  g.random.pushPick(3, 2);
  EXPECT_EQ(g.speak(), "先頭はまだまだ1番のアサヒ2着との差は半馬身ある!!");
  EXPECT_EQ(s.straightStage, 4);
  g.random.pushPick(3, 2);
  g.random.pushPick(2, 1);  // 10: another lead check
  EXPECT_EQ(g.speak(), "先頭は赤井 の アサヒ");
  EXPECT_EQ(s.phraseChoice, 10);
  EXPECT_EQ(s.straightStage, 3);
  g.random.pushPick(3, 1);
  EXPECT_EQ(g.speak(), "アサヒが先頭! その差は半馬身ぐらいある!!");
  g.random.pushPick(3, 3);
  g.random.pushPick(2, 2);  // 11: second place again first
  EXPECT_EQ(g.speak(), "アサヒ! アサヒ!");
  EXPECT_EQ(s.phraseChoice, 11);
  EXPECT_EQ(s.straightStage, 2);
  EXPECT_EQ(s.commentaryTicks, 0);
  EXPECT_EQ(g.random.pending(), 0u);
  EXPECT_EQ(g.random.draws - draws, 10);
  EXPECT_EQ(g.random.reseeds - reseeds, 10);  // every pick re-seeds first
}

TEST(FinalStraight, TheLeadInLengthsRoundsHalvesToTheEvenNeighbour) {
  struct Case {
    int lead, lengths;
    const char* line;
  } cases[] = {
      {250, 0, "サクラが先頭! その差は半馬身ぐらいある!!"},
      {251, 1, "サクラが先頭! その差は1馬身ぐらいある!!"},
      {749, 1, "サクラが先頭! その差は1馬身ぐらいある!!"},
      {750, 2, "サクラが先頭! その差は2馬身ぐらいある!!"},
      {1250, 2, "サクラが先頭! その差は2馬身ぐらいある!!"},
      {1251, 3, "サクラが先頭! その差は3馬身ぐらいある!!"},
  };
  for (const Case& c : cases) {
    OnTheFinalLap g;
    g.standings({0, 900, 800, 700, 600, 500, 400, 1000 + c.lead, 200, 100, 1000});
    g.game.state.straightStage = 3;
    g.game.state.announcedLeader = 7;
    g.random.pushPick(3, 1);
    EXPECT_EQ(g.speak(), c.line) << c.lead;
    EXPECT_EQ(g.game.state.marginLengths, c.lengths) << c.lead;
  }
}

TEST(FinalStraight, LevelLeadersGoToTheHigherNumberHalfALengthApart) {
  OnTheFinalLap g;
  g.standings({0, 900, 800, 700, 1500, 500, 1500, 300, 200, 100, 50});
  g.game.state.straightStage = 1;
  g.random.pushPick(3, 1);
  EXPECT_EQ(g.speak(), "飛ばしております!6番のカゼ");
  EXPECT_EQ(g.game.state.marginText, "半");
  g.random.pushPick(3, 1);
  EXPECT_EQ(g.speak(), "4番のエイトが追って2番手");
}

TEST(FinalStraight, ThePlayerTakesTheLeadFromRunnerThree) {
  OnTheFinalLap g;
  GameState& s = g.game.state;
  g.standings({0, 900, 800, 2000, 600, 500, 400, 300, 200, 100, 50});
  s.straightStage = 1;
  g.random.pushPick(3, 2);
  EXPECT_EQ(g.speak(), "最後の直線の追い比べ！まだまだ飛ばしておりますウララ");
  g.random.pushPick(3, 2);
  g.speak();
  // the player's horse goes by
  g.standings({0, 900, 800, 2000, 600, 500, 400, 300, 200, 100, 2600});
  g.random.pushPick(3, 1);
  EXPECT_EQ(g.speak(), "ミルカがここで先頭に変わった!!食い下がって3番ウララ");
  EXPECT_EQ(s.announcedLeader, 10);
  // the next check speaks of the new leader
  g.random.pushPick(3, 1);
  g.random.pushPick(2, 1);
  EXPECT_EQ(g.speak(), "ミルカ先頭!ミルカが先頭です");
  EXPECT_EQ(s.announcedLeader, 10);
}

TEST(FinalStraight, ARivalRetakesTheLeadFromThePlayerInStageFour) {
  OnTheFinalLap g;
  GameState& s = g.game.state;
  g.standings({0, 900, 800, 700, 600, 500, 400, 3000, 200, 100, 2900});
  s.straightStage = 4;
  s.announcedLeader = 10;
  g.random.pushPick(3, 2);
  g.random.pushPick(2, 2);
  EXPECT_EQ(g.speak(), "サクラがここで先頭!食い下がる10番ミルカ");
  EXPECT_EQ(s.announcedLeader, 7);
  EXPECT_EQ(s.straightStage, 2);
}

TEST(FinalStraight, ANamelessLeaderIsCalledAsHoldingTheLead) {
  for (int leader : {0, -4, 11}) {
    OnTheFinalLap g;
    g.game.state.straightStage = 3;
    g.game.state.announcedLeader = leader;
    g.random.pushPick(3, 1);
    EXPECT_EQ(g.speak(), "アサヒが先頭! その差は半馬身ぐらいある!!") << leader;
    EXPECT_EQ(g.game.state.announcedLeader, 1);
  }
}

TEST(FinalStraight, AStageItDoesNotKnowSaysNothing) {
  for (int stage : {-1, 5, 9, 11}) {
    OnTheFinalLap g;
    g.game.state.straightStage = stage;
    g.game.Timer3_Timer();
    EXPECT_EQ(g.game.form.label(39).caption, "前の一言") << stage;
    EXPECT_EQ(g.game.state.straightStage, stage);
  }
}

TEST(Finish, CutsInWhateverStageTheStraightHadReached) {
  for (int stage : {0, 10, 1, 2, 3, 4}) {
    OnTheFinalLap g;
    g.game.state.straightStage = stage;
    g.game.state.announcedLeader = 1;
    g.game.state.raceFinished = 1;
    g.game.state.commentaryTicks = 6;
    g.game.Timer3_Timer();
    EXPECT_EQ(g.game.form.label(39).caption, "前の一言") << stage;  // waits for the line slot
    g.random.pushPick(6, 5);
    EXPECT_EQ(g.speak(), "ゴールイン") << stage;
    EXPECT_EQ(g.game.state.straightStage, stage);
    EXPECT_EQ(g.game.state.finishStage, 1);
    EXPECT_EQ(g.game.state.commentaryTicks, 0);
  }
}

TEST(Finish, FourCallsThenSilence) {
  OnTheFinalLap g;
  GameState& s = g.game.state;
  s.raceFinished = 1;
  g.standings({0, 900, 800, 700, 600, 500, 400, 3000, 200, 100, 2900});
  g.random.pushPick(6, 6);
  EXPECT_EQ(g.speak(), "ごーーーーーーーーーーーーーーーーーーーーる");
  g.random.pushPick(3, 3);
  EXPECT_EQ(g.speak(), "サクラ が見事にこのレース制しました!!");
  g.random.pushPick(3, 3);
  EXPECT_EQ(g.speak(), "そして2着はあなたのミルカか");
  // the order is read afresh at every call
  g.standings({0, 900, 800, 700, 600, 500, 400, 3000, 200, 100, 3100});
  g.random.pushPick(4, 1);
  EXPECT_EQ(g.speak(), "しかし勝ったのは10番のミルカ快勝しました!鞍上はあなた");
  EXPECT_EQ(s.finishStage, 4);
  const int draws = g.random.draws;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(g.speak(), "しかし勝ったのは10番のミルカ快勝しました!鞍上はあなた");
  EXPECT_EQ(s.finishStage, 4);
  EXPECT_EQ(g.random.draws, draws);
}

TEST(Finish, AStageBeyondTheCallsSaysNothing) {
  for (int stage : {-1, 5, 40}) {
    OnTheFinalLap g;
    g.game.state.raceFinished = 1;
    g.game.state.finishStage = stage;
    g.game.Timer3_Timer();
    EXPECT_EQ(g.game.form.label(39).caption, "前の一言") << stage;
    EXPECT_EQ(g.game.state.finishStage, stage);
  }
}

TEST(Finish, SilentOffTheRaceScreen) {
  OnTheFinalLap g;
  g.game.state.raceFinished = 1;
  g.game.state.screenState = screen::kResults;
  g.game.Timer3_Timer();
  EXPECT_EQ(g.game.form.label(39).caption, "前の一言");
  EXPECT_EQ(g.game.state.finishStage, 0);
}

}  // namespace
}  // namespace milka
