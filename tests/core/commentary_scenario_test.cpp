// A race called from the gate to the finish: the running commentary's script while laps remain,
// then the final straight and the finish calls, as the label shows them tick by tick.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "named_field.h"
#include "scripted_random.h"
#include "shell/game.h"

namespace milka {
namespace {

using testing::ScriptedGame;
using testing::ScriptedRandom;

// A two-lap race at 川崎 with its countdown over. The test moves the pictures itself, so the
// field runs exactly where each case needs it.
struct CalledRace : ScriptedGame {
  static constexpr int kPicture[11] = {0, 1, 3, 5, 7, 10, 13, 15, 17, 19, 21};

  // How far each runner is ahead of the pace, in units: 7 leads by two lengths from the player,
  // and 9 trails the field ten lengths behind the leader.
  Family<float, 10> ahead = {0, 1500, 1200, 1800, 1000, 800, 600, 3000, 400, -2000, 2000};
  int tick = 0;
  std::vector<std::pair<int, std::string>> lines;  // every new caption of the commentary label

  CalledRace() {
    GameState& s = game.state;
    testing::nameTheField(s);
    s.marginText.clear();
    s.horseWhips = 10;
    s.month = 4;
    s.venue = 2;
    s.lapsToGo = 2;
    s.screenState = screen::kRaceCard;
    pressA();               // from the race card into the race
    s.startCountdown = -1;  // the countdown belongs to the race timer, which stays still here
    game.form.label(39).caption.clear();
  }

  // One period: the field moves on, then the commentary timers tick.
  void step() {
    ++tick;
    for (int k = 1; k <= 10; ++k)
      game.form.image(kPicture[k]).left = 50.0f + 20.0f * static_cast<float>(tick) + ahead[k];
    const std::string before = game.form.label(39).caption;
    game.Timer2_Timer();
    game.Timer3_Timer();
    if (game.form.label(39).caption != before)
      lines.emplace_back(tick, game.form.label(39).caption);
  }
  void runTo(int last) {
    while (tick < last) step();
  }
};

TEST(CommentaryScenario, ALineEverySeventhTickAndTheStartOnTheFirst) {
  CalledRace g;
  g.runTo(60);
  std::vector<int> spokenAt;
  for (const auto& line : g.lines) spokenAt.push_back(line.first);
  EXPECT_EQ(spokenAt, (std::vector<int>{1, 7, 14, 21, 28, 35, 42, 49, 56}));
  EXPECT_EQ(g.lines.front().second, "スタートしました!  ダービー です");
  EXPECT_EQ(g.game.state.commentaryState, 9);
  EXPECT_EQ(g.game.state.commentaryTicks, 4);
}

TEST(CommentaryScenario, ASeededRaceFollowsTheScriptFromTheGateToTheFinish) {
  CalledRace g;
  GameState& s = g.game.state;
  ScriptedRandom& r = g.random;
  // The running commentary: start, follow-up, leader, second to last place, spread, link, lead.
  for (auto [n, v] : {std::pair{4, 2},
                      {3, 3},
                      {3, 3},
                      {3, 1},
                      {3, 2},
                      {3, 1},
                      {3, 2},
                      {3, 3},
                      {3, 2},
                      {3, 3},
                      {3, 1},
                      {4, 1},
                      {4, 3},
                      {6, 4},
                      {3, 2}})
    r.pushPick(n, v);
  // The final straight, with one pick of two after stage 4 sending it back to a lead check.
  for (auto [n, v] : {std::pair{6, 6}, {6, 2}, {3, 3}, {3, 3}, {3, 1}, {3, 3}, {2, 1}, {3, 2}})
    r.pushPick(n, v);
  // The finish.
  for (auto [n, v] : {std::pair{6, 2}, {3, 1}, {3, 3}, {4, 1}}) r.pushPick(n, v);

  g.runTo(49);
  s.lapsToGo = 1;  // the leader has crossed the line once
  g.runTo(107);
  s.lapsToGo = 0;  // the final lap
  g.runTo(135);
  g.ahead[10] = 3500;  // the player's horse goes by the leader in the straight
  g.runTo(156);
  s.raceFinished = 1;  // the first runner is across
  g.runTo(200);

  const std::vector<std::pair<int, std::string>> expected = {
      {1, "スタートしました!  ダービー !"},
      {7, "10頭が横一線綺麗なスタートです"},
      {14, "まず7番のサクラが先頭に立つ勢いです"},
      {21, "あなたのミルカこれが2番手"},
      {28, "3番の ウララこれが3番手"},
      {35, "4番手アサヒこの辺りが中団"},
      {42, "2番 イナホこれが5番手"},
      {49, "エイト が6番手で追走です"},
      {56, "7番手大野とオオゾラ"},
      {63, "あと カゼ"},
      {70, "後方から2頭目にタイヨウ"},
      {77, "9番 ナギこれが最後方"},
      {84, "先頭からしんがりまでおよそ10馬身で少したてながでしょうか"},
      {91, "あと1周でしょうか"},
      {98, "7番サクラ先頭  リードは2馬身ぐらい取りましたか"},
      {105, "控えて2番手ミルカ"},
      {112, "さあ最後の直線に向いて参りました｡"},
      {119, "直線の追い比べ！"},
      {126, "田中 騎手 7番のサクラが飛ばして先頭!"},
      {133, "あなたの  ミルカが追ってくる"},
      {140, "ミルカがここで先頭に変わった!!食い下がって7番サクラ"},
      {147, "ミルカ! ミルカ!"},
      {154, "先頭はまだまだ10番のミルカ2着との差は1馬身ある!!"},
      {161, "ゴーーーーーーーーーーーーーーーーーーーーーーール"},
      {168, "10番のミルカ快勝です。"},
      {175, "そして2着は田中 騎手 サクラか"},
      {182, "しかし勝ったのは10番のミルカ快勝しました!鞍上はあなた"},
  };
  EXPECT_EQ(g.lines, expected);
  EXPECT_EQ(r.pending(), 0u);
  EXPECT_EQ(s.commentaryState, 4);  // frozen where the final lap found it
  EXPECT_EQ(s.straightStage, 4);    // left where the finish found it
  EXPECT_EQ(s.finishStage, 4);
}

TEST(CommentaryScenario, TheLeaderAndTheLeadAreThoseOfTheTickBeforeTheLine) {
  CalledRace g;
  GameState& s = g.game.state;
  g.random.fallback = 0.99;  // the last phrasing of every step
  g.runTo(13);
  g.ahead[1] = 9000;  // runner 1 bursts clear on the very tick of the leader's line
  g.step();
  EXPECT_EQ(g.lines.back(),
            (std::pair<int, std::string>{14, "まず7番のサクラが先頭に立つ勢いです"}));
  g.ahead[1] = 1500;
  g.runTo(97);
  // the order of the tick before still has 7 in front and 10 second, but 10 is now ahead
  g.ahead[10] = 3500;
  g.step();
  EXPECT_EQ(g.lines.back(),
            (std::pair<int, std::string>{98, "先頭はサクラ  リードは-1馬身ぐらい"}));
  EXPECT_EQ(s.marginLengths, -1);
  EXPECT_EQ(s.marginText, "-1");
}

TEST(CommentaryScenario, TheFinalLapFreezesTheScriptButTheTicksCountOn) {
  CalledRace g;
  GameState& s = g.game.state;
  g.runTo(28);  // third place has just been called
  const std::string last = g.game.form.label(39).caption;
  s.lapsToGo = 0;
  for (int i = 0; i < 6; ++i) g.step();
  EXPECT_EQ(g.game.form.label(39).caption, last);
  EXPECT_EQ(s.commentaryState, 5);
  EXPECT_EQ(s.commentaryTicks, 6);
  // with nobody else speaking, the count runs on past the line slot
  for (int i = 0; i < 4; ++i) g.game.Timer2_Timer();
  EXPECT_EQ(g.game.form.label(39).caption, last);
  EXPECT_EQ(s.commentaryState, 5);
  EXPECT_EQ(s.commentaryTicks, 10);
}

TEST(CommentaryScenario, ASecondRaceStartsAgainFromTheGate) {
  CalledRace g;
  GameState& s = g.game.state;
  g.runTo(30);
  s.lapsToGo = 0;
  g.runTo(60);
  s.raceFinished = 1;
  g.runTo(100);
  ASSERT_EQ(s.finishStage, 4);
  // the next month's race
  s.screenState = screen::kRaceCard;
  s.lapsToGo = 3;
  g.pressA();
  s.startCountdown = -1;
  g.lines.clear();
  g.tick = 0;
  g.runTo(7);
  ASSERT_EQ(g.lines.size(), 2u);
  EXPECT_EQ(g.lines[0], (std::pair<int, std::string>{1, "スタートしました!  ダービー です"}));
  EXPECT_EQ(g.lines[1], (std::pair<int, std::string>{7, "さあ！何が行くんでしょうか"}));
  EXPECT_EQ(s.finishStage, 0);
  EXPECT_EQ(s.straightStage, 0);
}

TEST(CommentaryScenario, AWholeRaceThroughTheWindowsTimersIsCalledFromTheGateToTheGoal) {
  ScriptedGame g;
  GameState& s = g.game.state;
  s.screenState = screen::kStable;
  s.setupPhase = 0;
  s.horseName = "abc";
  s.horseSpeed = 60;
  s.horseWhips = 50;
  s.horseKeys = 8;
  s.horseGrowth = 2;
  s.bestWeight = 450;
  s.bodyWeight = 450;
  s.month = 4;
  s.horseAge = 3;
  g.random.pushPick(3, 1);  // the surface, then nine different rivals and jockeys
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, k);
  for (int k = 1; k <= 9; ++k) g.random.pushPick(34, 10 + k);
  g.pressA();
  ASSERT_EQ(s.screenState, screen::kRaceCard);
  g.pressA();
  ASSERT_EQ(s.screenState, screen::kRace);
  g.random.fallback = 0.5;  // every later pick is the middle one: 3 of 4, 2 of 3, 4 of 6

  std::vector<std::pair<int, std::string>> lines;
  int countdownOver = 0;
  for (int t = 1; t < 5000 && s.screenState == screen::kRace; ++t) {
    g.game.Timer1_Timer();
    if (countdownOver == 0 && s.startCountdown < 0) countdownOver = t;
    g.game.Timer2_Timer();
    g.game.Timer3_Timer();
    g.game.Timer5_Timer();
    const std::string& caption = g.game.form.label(39).caption;
    if (lines.empty() || caption != lines.back().second) lines.emplace_back(t, caption);
  }
  EXPECT_EQ(s.screenState, screen::kResults);

  auto at = [&](const std::string& line) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].second == line) return i;
    return lines.size();
  };
  const size_t start = at("ゲートが開いてスタートしました!");
  ASSERT_LT(start, lines.size());
  EXPECT_EQ(lines[start].first, countdownOver);  // the gate opens and the call comes at once
  ASSERT_LT(start + 1, lines.size());
  EXPECT_EQ(lines[start + 1], (std::pair<int, std::string>{
                                  countdownOver + 6, s.raceName + "です。どうぞご覧上下さい"}));
  for (size_t i = start + 2; i < lines.size(); ++i)
    EXPECT_GE(lines[i].first - lines[i - 1].first, 7) << lines[i].second;
  const size_t straight = at("最後の直線の攻防です！");
  ASSERT_LT(straight + 1, lines.size());
  EXPECT_EQ(lines[straight + 1].second, "直線の攻防！");
  EXPECT_LT(straight, at("ゴール"));
  EXPECT_LT(at("ゴール"), lines.size());
}

}  // namespace
}  // namespace milka
