// A new player's first steps, through the handlers alone: from the title through the stud book
// and the name to the stable, a month at grass, and the first race card.
#include <gtest/gtest.h>

#include <string>

#include "scripted_random.h"

namespace milka {
namespace {

using testing::ScriptedGame;

struct Player : ScriptedGame {
  // Only the race timer counts the pacing, so every press first lets it pass.
  void wait(int n) {
    for (int i = 0; i < n; ++i) game.Timer1_Timer();
  }
  void a() {
    wait(3);
    game.Command1_Click();
  }
  void b() {
    wait(2);
    game.Command4_Click();
  }
  void up() {
    wait(2);
    game.Command2_Click();
  }
  void down() {
    wait(2);
    game.Command3_Click();
  }
  void type(const std::string& letters) {
    for (char c : letters) game.Text1_KeyDown(static_cast<int16_t>(c - 'a' + 65), 0);
  }
  const std::string& caption(int n) const { return game.form.label(n).caption; }
  bool startsWith(int n, const std::string& prefix) const {
    return caption(n).rfind(prefix, 0) == 0;
  }
  uint32_t ink(int n) const { return game.form.label(n).foreColour; }
};

TEST(CareerScenario, FromTheTitleToTheFirstRaceCard) {
  Player p;
  const GameState& s = p.game.state;
  const Form& f = p.game.form;
  ASSERT_EQ(s.screenState, screen::kTitle);
  EXPECT_EQ(p.caption(14), "ミルカダービー");

  // The stud book opens on the sires' first page, the first row highlighted.
  p.a();
  p.wait(1);
  EXPECT_EQ(f.label(16).left, 915);
  EXPECT_EQ(p.caption(16), designForm().label(16).caption);
  EXPECT_EQ(p.caption(27), "父馬を選び下さい");
  EXPECT_EQ(p.caption(28), "■上ボタン下ボタンで選択    ■Ｂボタンで切り替え    ■ＡボタンでＯＫ");
  EXPECT_TRUE(p.startsWith(17, "  ハヤテオー "));
  EXPECT_EQ(p.ink(17), 0xFF1111u);
  EXPECT_EQ(p.ink(18), 0x111111u);

  // Every page of the sires, and round to the first again.
  p.b();
  p.wait(1);
  EXPECT_TRUE(p.startsWith(17, "  アカツキ "));
  p.b();
  p.wait(1);
  EXPECT_TRUE(p.startsWith(26, "  ヨボヨボ "));
  p.b();
  p.wait(1);
  EXPECT_TRUE(p.startsWith(17, "  ハヤテオー "));

  // Row 4 of page 2: sire 14.
  for (int i = 0; i < 3; ++i) p.down();
  p.b();
  p.wait(1);
  EXPECT_EQ(p.ink(20), 0xFF1111u);
  EXPECT_TRUE(p.startsWith(20, "  ヨアケノウタ "));
  p.a();
  EXPECT_EQ(s.sireIndex, 14);

  // The dams open at their first page with the cursor still on row 4.
  p.wait(1);
  EXPECT_EQ(p.caption(27), "母馬を選び下さい");
  EXPECT_EQ(p.ink(20), 0xFF1111u);
  EXPECT_TRUE(p.startsWith(20, "  ミルカクイン "));
  p.b();
  p.b();
  p.wait(1);
  EXPECT_TRUE(p.startsWith(17, "  ワカバ "));
  p.up();
  p.wait(1);
  EXPECT_EQ(p.ink(19), 0xFF1111u);
  EXPECT_TRUE(p.startsWith(19, "  カグヤ "));
  p.a();
  EXPECT_EQ(s.damIndex, 23);

  // Naming: a slip erased with B, then the name.
  EXPECT_EQ(p.caption(29), "2文字以上12文字以下のアルファベットで名前を教えて下さい。");
  EXPECT_EQ(p.caption(28), "■右下のテキストボックスに名前を    ■Ｂボタンで消去    ■ＡボタンでＯＫ");
  p.type("x");
  p.a();  // one letter is not a name yet
  EXPECT_EQ(p.caption(27), "x");
  p.game.Command4_Click();
  EXPECT_EQ(p.caption(27), "");
  p.type("milka");
  EXPECT_EQ(p.caption(27), "milka");

  // Sire 14 and dam 23: means 56, 42 (41.5 to even) and 16 (16.5 to even).
  p.random.pushPick(56, 20);   // speed 69
  p.random.pushPick(42, 30);   // whips 69
  p.random.pushPick(16, 8);    // keys 8
  p.random.pushPick(2, 1);     // the sire's style: 差し
  p.random.pushPick(2, 2);     // the dam's growth: early
  p.random.pushPick(2, 1);     // the sire's distance: middle
  p.random.pushPick(160, 71);  // best weight 460
  p.random.pushPick(60, 26);   // starts 5 below it
  p.a();
  EXPECT_EQ(p.random.pending(), 0u);
  EXPECT_EQ(p.caption(29), "この馬の名前は  milka  です");
  EXPECT_EQ(p.caption(30), "スピードは    ⇒  69");
  EXPECT_EQ(p.caption(31), "ムチの数は    ⇒  69");
  EXPECT_EQ(p.caption(32), "キーボードの文字数は    ⇒  8");
  EXPECT_EQ(p.caption(33), "この馬は差し馬です");
  EXPECT_EQ(p.caption(34), "この馬は早熟です");
  EXPECT_EQ(p.caption(35), "おそらく中距離に向いているでしょう");
  EXPECT_EQ(p.caption(28), "■Ａボタンを押して下さい");

  p.a();
  EXPECT_EQ(p.caption(29), "これで手続きは終わりです。馬を大事に育てましょう。");
  EXPECT_EQ(f.label(30).top, -3700);

  // The stable.
  p.a();
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(p.caption(37), "厩舎画面");
  p.wait(1);
  p.game.Timer2_Timer();
  EXPECT_EQ(p.caption(30), "馬名  milka      2 歳   現在 7 月です");
  EXPECT_EQ(p.caption(31), "特選");
  EXPECT_EQ(p.caption(32), "スピードは   ⇒  69");
  EXPECT_EQ(p.caption(33), "ムチの数は   ⇒  69");
  EXPECT_EQ(p.caption(34), "キーボードの文字数は    ⇒  8");
  EXPECT_EQ(p.caption(35), "現在 0 戦 0 勝");
  EXPECT_EQ(p.caption(38), "馬体重は   ⇒   455です。馬体が寂しく感じます");
  EXPECT_EQ(p.caption(40), "0-0-0-0-0-0-0-0-0-0");
  EXPECT_EQ(p.caption(28), "■調教はＡボタン   ■放牧はＢボタン   ■レースカレンダー参照は作者サイト");

  // A month at grass.
  p.random.pushPick(3, 2);
  for (int pair = 1; pair <= 8; ++pair) p.random.pushPick(5000, 1);
  p.random.pushPick(6, 6);
  p.random.pushPick(30, 1);
  p.b();
  EXPECT_EQ(s.screenState, screen::kPasture);
  EXPECT_EQ(p.caption(37), "放牧に出しました");
  EXPECT_EQ(p.caption(28), "■Ａボタンを押して下さい");
  EXPECT_EQ(f.label(30).top, -1700);

  p.a();
  EXPECT_EQ(s.screenState, screen::kStable);
  EXPECT_EQ(p.caption(37), "厩舎画面");
  p.wait(1);
  p.game.Timer2_Timer();
  EXPECT_EQ(f.label(30).top, 1700);
  EXPECT_EQ(p.caption(30), "馬名  milka      2 歳   現在 8 月です");
  EXPECT_EQ(p.caption(32), "スピードは   ⇒  71");
  EXPECT_EQ(p.caption(33), "ムチの数は   ⇒  99");
  EXPECT_EQ(p.caption(38), "馬体重は   ⇒   464です。馬体が太く感じます");

  // The month's race: at 浦和 in month 8, the juvenile race over one lap.
  p.random.pushPick(3, 1);
  for (int k = 1; k <= 9; ++k) p.random.pushPick(34, k);
  for (int k = 1; k <= 9; ++k) p.random.pushPick(34, 10 + k);
  p.a();
  EXPECT_EQ(s.screenState, screen::kRaceCard);
  EXPECT_EQ(p.caption(27), "浦和競馬場    2歳特選    1周    ダート");
  EXPECT_EQ(p.caption(26), std::string(13, ' ') + "あなたmilka    10番" + std::string(15, ' '));
}

}  // namespace
}  // namespace milka
