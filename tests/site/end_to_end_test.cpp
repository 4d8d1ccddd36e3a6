// A career's end through the game itself: a scripted horse wins the derby, retires, and the
// closing A goes through the real Qt port to the game's own site, which stores the career and
// shows it on /karuden/.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "journal/careful_player.h"
#include "platform/keep/career_files.h"
#include "platform/net/journal_upload.h"
#include "platform/net/online_port.h"
#include "proved_career.h"
#include "scripted_random.h"
#include "shell/game.h"
#include "site_harness.h"
#include "typed_key.h"

namespace milka::site {
namespace {

using milka::testing::keyCodeOf;

struct Player {
  milka::testing::ScriptedRandom random;
  platform::QtOnlinePort port;
  Game game{random, &port};

  // The draws of A at the stable: the surface, nine rivals and nine jockeys, all distinct.
  void lineUpTheField() {
    random.pushPick(3, 1);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, k);
    for (int k = 1; k <= 9; ++k) random.pushPick(34, 10 + k);
  }
  void pressA() {
    game.state.buttonTicks = 3;
    game.Command1_Click();
  }
  // Every timer once, typing the key the race asks for, as the window would.
  void tick() {
    if (game.state.screenState == screen::kRace) {
      const int code = keyCodeOf(game.form.label(12).caption);
      if (code != 0) game.Text1_KeyDown(static_cast<int16_t>(code), 0);
    }
    game.Timer1_Timer();
    game.Timer2_Timer();
    game.Timer3_Timer();
    game.Timer4_Timer();
    game.Timer5_Timer();
  }
};

TEST(EndToEnd, ADerbyWinReachesTheHallOfFameThroughTheGamesOwnPort) {
  testing::LocalSite site;
  Player c;
  c.port.siteBase = site.base();
  c.game.Form_Load();

  // A strong three-year-old of the top class at the stable in June.
  GameState& s = c.game.state;
  s.screenState = screen::kStable;
  s.setupPhase = 0;
  s.horseName = "milk";
  s.horseSpeed = 400;
  s.horseWhips = 400;
  s.horseKeys = 10;
  s.horseAge = 3;
  s.month = 6;
  s.horseClass = 14;
  s.bodyWeight = 440;
  s.bestWeight = 450;
  c.lineUpTheField();
  c.pressA();
  ASSERT_EQ(s.screenState, screen::kRaceCard);
  ASSERT_EQ(s.raceName, "ミルカダービー");
  c.pressA();
  for (int t = 0; t < 5000 && s.resultsShown == 0; ++t) c.tick();
  ASSERT_EQ(s.resultsShown, 1);
  ASSERT_EQ(s.finishPlace[10], 1);
  ASSERT_EQ(s.bigRaceWon[6], 1);
  ASSERT_EQ(s.sendEnabled, 1);
  const int32_t time = s.bigRaceTime[6];
  ASSERT_GT(time, 0);
  c.pressA();
  ASSERT_EQ(s.screenState, screen::kStable);

  // Years on, the horse is five: the career is over, and the closing A sends it.
  s.horseAge = 5;
  c.lineUpTheField();
  c.pressA();
  ASSERT_EQ(s.screenState, screen::kCareerOver);
  for (int t = 0; t < 5; ++t) c.tick();
  c.pressA();
  EXPECT_EQ(s.screenState, screen::kFinished);
  ASSERT_TRUE(QTest::qWaitFor([&] { return c.port.pending() == 0 && site.stored() == 1; }, 10000));

  const std::optional<site::Career> stored = site.site->store().career(1);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->name, QStringLiteral("milk"));
  EXPECT_EQ(stored->times, (std::array<int32_t, 9>{0, 0, time, 0, 0, 0, 0, 0, 0}));
  // The game's browser stand-in ended on the entry page.
  EXPECT_EQ(c.game.form.text2.text.rfind(site.base() + "/vbvb55.php?", 0), 0u);
  EXPECT_EQ(c.port.locationUrl(), c.game.form.text2.text);

  // Sent as the plain query, without its journal: listed with its time, marked unverified,
  // and not ranked.
  const QString top = site.path("/karuden/").text();
  EXPECT_TRUE(top.contains(
      QStringLiteral(
          ">milk</a><span class=\"unverified\" title=\"記録による照合のない成績です\">未検証"
          "</span></td><td class=\"off\">―</td><td class=\"off\">―</td><td class=\"num\">%1秒")
          .arg(time)))
      << "the list of every career shows it";
  EXPECT_FALSE(stored->verified);
  EXPECT_EQ(site.site->store().winners(2), 0);
}

// The whole way a player's career goes: a new horse takes its seed from the site, is played to
// its closing A through the career keeper, and its journal goes up before the entry through the
// real Qt port; the site replays it and ranks it verified.
TEST(EndToEnd, ACareerPlayedThroughTheGameLandsVerifiedWithItsJournal) {
  testing::LocalSite site;
  QTemporaryDir dir;
  platform::QtOnlinePort port;
  port.siteBase = site.base();
  platform::JournalUpload upload(port);
  platform::CareerKeeper keeper(dir.path(), upload);
  keeper.askSiteForSeeds();
  upload.setJournal([&] {
    return platform::JournalUpload::Journal{QByteArray::fromStdString(keeper.journalBytes()),
                                            keeper.session().seedsFed() > 0};
  });
  std::optional<platform::JournalUpload::Outcome> outcome;
  upload.setUploaded([&](const platform::JournalUpload::Outcome& o) { outcome = o; });

  // Not every horse wins a top race worth sending: new horses until one does.
  keeper.start();
  for (int horse = 0; horse < testing::kCareersToSend && !keeper.game().state.sendEnabled;
       ++horse) {
    if (horse > 0) keeper.newHorse();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keeper.session().seedsFed() == 1; }, 5000));
    milka::testing::playCarefully(
        keeper.session(), [](const Game& g) { return g.state.screenState == screen::kFinished; });
  }
  ASSERT_EQ(keeper.game().state.sendEnabled, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return site.stored() == 1 && port.pending() == 0; }, 15000));
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->kind, platform::JournalUpload::Outcome::Checked) << outcome->reason;

  const std::optional<Career> stored = site.site->store().career(1);
  ASSERT_TRUE(stored);
  EXPECT_TRUE(stored->verified);
  EXPECT_EQ(stored->name.toStdString(), keeper.game().state.horseName);
  // The journal to download is the career as it stood at the press, every event as played.
  const std::string sent = site.path("/karuden/uma.mdj?n=1").body.toStdString();
  const journal::Reading r = journal::read(sent);
  ASSERT_EQ(r.status, journal::Reading::Status::Whole);
  ASSERT_LE(r.events.size(), keeper.events().size());
  EXPECT_TRUE(std::equal(r.events.begin(), r.events.end(), keeper.events().begin()));
}

}  // namespace
}  // namespace milka::site
