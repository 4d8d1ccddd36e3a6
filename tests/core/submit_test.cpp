// The closing A of a career and the query it sends, with a port that records what the game
// asks of the network and answers only when the test says so.
#include "online/submit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "scripted_random.h"

namespace milka {
namespace {

class RecordingPort final : public OnlinePort {
 public:
  void fetch(const std::string& url, std::function<void(std::string)> done) override {
    fetches.push_back(url);
    pendingFetch = std::move(done);
  }
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override {
    navigations.push_back(url);
    pendingArrival = std::move(arrived);
  }
  void openUrl(const std::string& url) override { opened.push_back(url); }
  std::string locationUrl() const override { return location; }

  std::vector<std::string> fetches, navigations, opened;
  std::function<void(std::string)> pendingFetch, pendingArrival;
  std::string location;
};

// The career-over screen of a horse named abc whose only top-race win was month 6's, in 97
// seconds.
struct Finished {
  testing::ScriptedRandom random;
  RecordingPort port;
  Game game{random, &port};
  Finished() {
    game.Form_Load();
    GameState& s = game.state;
    s.screenState = screen::kCareerOver;
    s.horseName = "abc";
    s.bigRaceWon[6] = 1;
    s.bigRaceTime[6] = 97;
    s.sendEnabled = 1;
    game.Timer2_Timer();  // the career-over screen
    s.buttonTicks = 3;
  }
};

Family<int32_t, 12> timesOf(std::initializer_list<std::pair<int, int32_t>> wins) {
  Family<int32_t, 12> t{};
  for (auto [month, seconds] : wins) t[static_cast<size_t>(month)] = seconds;
  return t;
}

TEST(Query, TheExampleHorseAbc) {
  const auto times = timesOf({{6, 97}});
  EXPECT_EQ(online::queryUrl("http://milkaria.example", "", "abc", times),
            "http://milkaria.example/vbvb55.php?abc>0>0>97>0>0>0>0>0>0");
  EXPECT_EQ(online::queryUrl("http://milkaria.example", "k7", "abc", times),
            "http://milkaria.example/vbvb55.php?k7abc>0>0>97>0>0>0>0>0>0");
}

TEST(Query, MonthsOneTwoAndFourAreNotSentAndTheRestGoInOrder) {
  const auto times = timesOf({{1, 11},
                              {2, 22},
                              {3, 33},
                              {4, 44},
                              {5, 55},
                              {6, 66},
                              {7, 77},
                              {8, 88},
                              {9, 99},
                              {10, 100},
                              {11, 111},
                              {12, 120}});
  EXPECT_EQ(online::queryUrl("http://h.example/", "", "ab", times),
            "http://h.example/vbvb55.php?ab>33>55>66>77>88>99>100>111>120");
}

TEST(Query, EveryPieceIsPercentEncoded) {
  // The name's arrows are UTF-8; the fetched text may hold anything at all.
  EXPECT_EQ(online::queryUrl("http://h.example", "/?#@&%> x", "a←↓", timesOf({})),
            "http://h.example/vbvb55.php?%2F%3F%23%40%26%25%3E%20x"
            "a%E2%86%90%E2%86%93>0>0>0>0>0>0>0>0>0");
  EXPECT_EQ(online::percentEncode("AZaz09-._~"), "AZaz09-._~");
  EXPECT_EQ(online::percentEncode(std::string("\0\xFF", 2)), "%00%FF");
}

TEST(Query, AFetchedTextOverTheLimitCountsAsNoAnswer) {
  const std::string huge(online::kFetchedTextLimit + 1, '/');
  const std::string atLimit(online::kFetchedTextLimit, 'k');
  EXPECT_EQ(online::queryUrl("http://h.example", huge, "abc", timesOf({})),
            "http://h.example/vbvb55.php?abc>0>0>0>0>0>0>0>0>0");
  EXPECT_EQ(online::queryUrl("http://h.example", atLimit, "abc", timesOf({})),
            "http://h.example/vbvb55.php?" + atLimit + "abc>0>0>0>0>0>0>0>0>0");
}

TEST(Submission, ClosingMessagesAtOnceThenTheFetchThenTheNavigation) {
  Finished g;
  g.game.Command1_Click();
  const Form& f = g.game.form;
  EXPECT_EQ(f.label(37).caption, "ネットに繋がる環境なら送信しました");
  EXPECT_EQ(f.label(37).foreColour, 0xFF00FFu);
  EXPECT_EQ(f.label(26).caption, "自信がある成績なら作者サイトへＧｏ！");
  EXPECT_EQ(f.label(26).foreColour, 0x0000FFu);
  EXPECT_EQ(f.label(28).caption, "右上の×ボタンを押して終了下さい。お疲れ様でした。");
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
  ASSERT_EQ(g.port.fetches, std::vector<std::string>{"http://milkaria.example/pdf.php"});
  EXPECT_TRUE(g.port.navigations.empty()) << "the navigation waits for the fetch";
  EXPECT_EQ(f.text2.text, "");

  g.port.pendingFetch("t0k");
  const std::string query = "http://milkaria.example/vbvb55.php?t0kabc>0>0>97>0>0>0>0>0>0";
  EXPECT_EQ(f.text2.text, query);
  ASSERT_EQ(g.port.navigations, std::vector<std::string>{query});

  g.port.location = "http://milkaria.example/thanks.php";
  g.port.pendingArrival(g.port.location);
  EXPECT_EQ(f.text2.text, "http://milkaria.example/thanks.php");
}

TEST(Submission, AFailedFetchStillNavigatesWithTheEmptyText) {
  Finished g;
  g.game.Command1_Click();
  g.port.pendingFetch("");
  EXPECT_EQ(g.port.navigations,
            std::vector<std::string>{"http://milkaria.example/vbvb55.php?abc>0>0>97>0>0>0>0>0>0"});
}

TEST(Submission, ATooEarlyPressOnlyRestartsTheCount) {
  Finished g;
  g.game.state.buttonTicks = 2;
  const std::string waiting = g.game.form.label(28).caption;
  g.game.Command1_Click();
  EXPECT_EQ(g.game.state.screenState, screen::kCareerOver);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
  EXPECT_EQ(g.game.form.label(28).caption, waiting);
  EXPECT_TRUE(g.port.fetches.empty());
}

TEST(Submission, WithoutATopRaceWinNothingIsSent) {
  Finished g;
  g.game.state.sendEnabled = 0;
  g.game.Command1_Click();
  EXPECT_EQ(g.game.form.label(37).caption, "ネットに繋がる環境なら送信しました");
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_TRUE(g.port.fetches.empty());
  EXPECT_EQ(g.game.form.text2.text, "");
}

TEST(Submission, ASecondPressDoesNothing) {
  Finished g;
  g.game.Command1_Click();
  g.port.pendingFetch("");
  const Form after = g.game.form;
  for (int i = 0; i < 3; ++i) {
    g.game.state.buttonTicks = 10;
    g.game.Command1_Click();
    g.game.Timer2_Timer();
  }
  EXPECT_EQ(g.port.fetches.size(), 1u);
  EXPECT_EQ(g.port.navigations.size(), 1u);
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_TRUE(g.game.form == after);
}

TEST(Submission, TheScoreServerFollowsThePortsAddress) {
  Finished g;
  g.port.siteBase = "http://127.0.0.1:8080/";
  g.game.Command1_Click();
  g.port.pendingFetch("x");
  EXPECT_EQ(g.port.fetches, std::vector<std::string>{"http://127.0.0.1:8080/pdf.php"});
  EXPECT_EQ(g.port.navigations,
            std::vector<std::string>{"http://127.0.0.1:8080/vbvb55.php?xabc>0>0>97>0>0>0>0>0>0"});
}

TEST(SiteLink, OpensTheMakersSiteOnEveryScreenWithoutPacing) {
  for (int screen :
       {screen::kTitle, screen::kBreeding, screen::kStable, screen::kRaceCard, screen::kRace,
        screen::kResults, screen::kPasture, screen::kCareerOver, screen::kFinished}) {
    Finished g;
    g.game.state.screenState = screen;
    g.game.state.buttonTicks = 0;
    g.game.Command5_Click();
    EXPECT_EQ(g.port.opened, std::vector<std::string>{std::string(MILKA_SITE_BASE) + "/karuden/"})
        << screen;
    EXPECT_EQ(g.game.state.screenState, screen);
  }
}

TEST(SiteLink, WithoutAPortTheButtonsAreHarmless) {
  testing::ScriptedGame g;
  g.game.Command5_Click();
  g.game.state.screenState = screen::kCareerOver;
  g.game.state.sendEnabled = 1;
  g.game.state.buttonTicks = 3;
  g.game.Command1_Click();
  g.game.WebBrowser1_Notify("x");
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_EQ(g.game.form.text2.text, "");
}

}  // namespace
}  // namespace milka
