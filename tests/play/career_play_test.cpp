// The window's rules for the career, through the midend alone: a continued career waits paused;
// a race watched again leaves the board, the record and the journal untouched; a replay ignores
// every key but its own; a look at the title is no career; a damaged journal never stops the
// start; a store that fills up is told once and the game plays on.
#include "play/career_play.h"

#include <gtest/gtest.h>

#include "journal/careful_player.h"
#include "journal/fingerprint.h"
#include "play/words.h"
#include "play_fakes.h"

namespace milka::play {
namespace {

using journal::Event;
using testing::MemoryStore;
using testing::playCarefully;
using testing::QuietPort;
using testing::RecordedWindow;

TEST(CareerPlay, AContinuedCareerWaitsPausedAndARaceWatchedAgainLeavesItAsItWas) {
  MemoryStore store;
  QuietPort port;
  uint64_t fingerprint = 0;
  {
    CareerKeeper first(store, port);
    EXPECT_FALSE(first.start(20261209).continued);
    ASSERT_TRUE(playCarefully(first.session(), testing::midRace));
    fingerprint = journal::fingerprint(first.game());
  }  // the window closes

  CareerKeeper keeper(store, port);
  const CareerKeeper::Started started = keeper.start();
  ASSERT_TRUE(started.continued);
  EXPECT_EQ(journal::fingerprint(keeper.game()), fingerprint) << "every runner where it was";
  EXPECT_EQ(store.journals().size(), 1u) << "the same career's journal goes on";
  RecordedWindow window;
  CareerPlay play(keeper, window);
  play.begin(started);
  EXPECT_TRUE(window.paused);
  EXPECT_NE(window.lasting.find("前回の続き"), std::string::npos);
  const int64_t events = keeper.session().events();
  play.feed(Event::click(1));
  play.feed(Event::key(37, 0));
  EXPECT_EQ(keeper.session().events(), events) << "paused, nothing pressed reaches the game";
  EXPECT_TRUE(play.key(CareerKey::Pause));
  EXPECT_FALSE(window.paused);
  EXPECT_TRUE(window.lasting.empty());

  ASSERT_TRUE(playCarefully(keeper.session(), testing::boardShown));
  const GameState board = keeper.game().state;
  const Form boardForm = keeper.game().form;
  const int64_t before = keeper.session().events();
  play.key(CareerKey::WatchAgain);
  ASSERT_TRUE(play.watching());
  EXPECT_TRUE(window.locked);
  EXPECT_EQ(window.game->state.screenState, screen::kRaceCard) << "from the race card";
  EXPECT_EQ(window.prefix, watchingTitle());
  play.feed(Event::click(1));  // the watched race is not the player's to change
  play.key(CareerKey::Faster);
  EXPECT_EQ(window.notes.back(), replaySpeedText(2));
  EXPECT_EQ(window.paceMs, 100);
  for (int i = 0; i < 12; ++i) window.tick();
  EXPECT_EQ(window.game->state.screenState, screen::kRace) << "the race runs again";
  play.key(CareerKey::SkipRace);
  window.turn();
  EXPECT_FALSE(play.watching());
  EXPECT_EQ(window.game, &keeper.game());
  EXPECT_TRUE(keeper.game().state == board);
  EXPECT_TRUE(keeper.game().form == boardForm);
  EXPECT_EQ(keeper.session().events(), before) << "the journal is untouched";
  EXPECT_TRUE(window.prefix.empty());
  EXPECT_FALSE(window.locked);

  // A new horse only from a pause, so that a stray chord never ends a career.
  play.key(CareerKey::NewHorse);
  EXPECT_EQ(keeper.game().state.screenState, screen::kResults);
  play.key(CareerKey::Pause);
  play.key(CareerKey::NewHorse);
  EXPECT_EQ(window.game->state.screenState, screen::kTitle);
  EXPECT_FALSE(window.paused);
  EXPECT_EQ(window.notes.back(), newHorseText());
  EXPECT_EQ(store.journals().size(), 2u) << "the old career's journal stays";
}

TEST(CareerPlay, AReplayIgnoresEveryKeyButItsOwnAndEndsWhereTheCareerStood) {
  journal::Session played(journal::Session::newHeader(8));
  const std::string head = played.startNewJournal();
  played.feed(Event::siteBase("http://127.0.0.1:9"));
  played.feed(Event::load());
  ASSERT_TRUE(playCarefully(played, [](const Game& g) { return g.state.racesRun == 2; }));
  played.encoder()->finish();
  const journal::Reading r = journal::read(head + played.encoder()->take());

  journal::Session session(r.header);
  RecordedWindow window;
  ReplayShow show(session, r.events, window);
  show.begin();
  EXPECT_EQ(window.notes.back(), replayHelpText());
  EXPECT_EQ(window.prefix, replayTitle());
  EXPECT_TRUE(window.locked);
  for (CareerKey k : {CareerKey::WatchAgain, CareerKey::NewHorse, CareerKey::None})
    EXPECT_FALSE(show.key(k));
  EXPECT_EQ(session.events(), 0);
  window.tick();
  EXPECT_GE(session.events(), 5) << "a period a tick";

  for (int speed : {2, 4, 16, 1}) {
    show.key(CareerKey::Faster);
    EXPECT_EQ(window.paceMs, 200 / speed);
    EXPECT_EQ(window.notes.back(), replaySpeedText(speed));
  }
  show.key(CareerKey::Pause);
  EXPECT_EQ(window.paceMs, 0);
  EXPECT_EQ(window.lasting, pauseText());
  show.key(CareerKey::Pause);
  EXPECT_EQ(window.paceMs, 200);
  EXPECT_TRUE(window.lasting.empty());
  show.key(CareerKey::SkipRace);
  EXPECT_EQ(session.game().state.screenState, screen::kRaceCard) << "on to the first race card";

  while (window.tick) window.tick();
  EXPECT_EQ(window.lasting, replayEndText());
  EXPECT_EQ(journal::fingerprint(session.game()), journal::fingerprint(played.game()));
}

TEST(CareerKeep, ALookAtTheTitleIsNoCareerButTheFirstChoiceMakesOne) {
  MemoryStore store;
  QuietPort port;
  store.files["20000101-000000-1.mdj"] = "";  // an older journal, set aside when reached
  for (const bool choose : {false, true}) {
    CareerKeeper keeper(store, port);
    EXPECT_FALSE(keeper.start().continued) << "nothing before was a career";
    int looked = 0;  // events: A waits longer than this on the title
    ASSERT_TRUE(playCarefully(keeper.session(), [&](const Game& g) {
      return choose ? g.state.screenState == screen::kBreeding : ++looked > 12;
    }));
    ASSERT_EQ(keeper.game().state.screenState, choose ? screen::kBreeding : screen::kTitle);
  }  // closed on the title, then on the breeding screen
  EXPECT_EQ(store.journals().size(), 1u) << "only the career is kept";
  CareerKeeper keeper(store, port);
  EXPECT_TRUE(keeper.start().continued);
  EXPECT_EQ(keeper.game().state.screenState, screen::kBreeding);
}

TEST(CareerKeep, ADamagedJournalNeverStopsTheStartAndIsNeverDeleted) {
  // A career some way in: two races behind it.
  journal::Session played(journal::Session::newHeader(31));
  const std::string head = played.startNewJournal();
  played.feed(Event::siteBase("http://127.0.0.1:9"));
  played.feed(Event::load());
  ASSERT_TRUE(playCarefully(played, [](const Game& g) { return g.state.racesRun == 2; }));
  played.encoder()->finish();
  const std::string whole = head + played.encoder()->take();
  journal::Header newer = played.header(), otherRules = played.header();
  newer.format = 9;
  otherRules.rules = journal::kRulesVersion + 1;

  auto flipped = whole;
  flipped[whole.size() * 9 / 10] = static_cast<char>(flipped[whole.size() * 9 / 10] ^ 0x10);
  struct Case {
    const char* what;
    std::string bytes;
    bool continued;
    const char* aside;  // the name the original is kept under
    const char* said;   // in the note
  } cases[] = {
      {"torn last record", whole.substr(0, whole.size() - 1), true, nullptr, "前回の続き"},
      {"power cut: zeros at the end", whole + std::string(37, '\0'), true, nullptr, "前回の続き"},
      {"a flipped byte", flipped, true, ".damaged", "壊れる前"},
      {"zero bytes", "", false, ".unreadable", "空"},
      {"cut inside the header", whole.substr(0, 20), false, ".unreadable", "壊れて"},
      {"binary garbage",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\xff",
                   10),
       false, ".unreadable", "ミルカダービーの記録ではありません"},
      {"a newer format", journal::encode(newer, {Event::load()}), false, ".unreadable",
       "記録形式 9"},
      {"other rules", journal::encode(otherRules, {Event::load()}), false, ".unreadable",
       "ルールの版"},
  };
  for (const Case& c : cases) {
    MemoryStore store;
    const std::string name = "20260101-000000-1f.mdj";
    store.files[name] = c.bytes;
    QuietPort port;
    CareerKeeper keeper(store, port);
    const CareerKeeper::Started s = keeper.start();
    EXPECT_EQ(s.continued, c.continued) << c.what;
    EXPECT_NE(s.note.find(c.said), std::string::npos) << c.what << ": " << s.note;
    if (c.aside) {
      EXPECT_EQ(store.files[name + c.aside], c.bytes) << c.what;
    }
    // Continued, the career is where the sound part of its journal leaves it; else a new foal.
    EXPECT_EQ(keeper.game().state.racesRun >= 1, c.continued) << c.what;
    EXPECT_EQ(keeper.game().state.screenState == screen::kTitle, !c.continued) << c.what;
  }
}

TEST(CareerKeep, AStoreThatTakesNoMoreIsToldOnceAndTheGamePlaysOn) {
  MemoryStore store;
  QuietPort port;
  CareerKeeper keeper(store, port);
  RecordedWindow window;
  CareerPlay play(keeper, window);
  play.begin(keeper.start(5));
  store.full = true;
  ASSERT_TRUE(playCarefully(keeper.session(), [](const Game& g) { return g.state.racesRun == 3; }));
  window.turn();
  EXPECT_EQ(window.notes, std::vector<std::string>{notKeptText()}) << "told once";
  EXPECT_FALSE(window.paused);
}

}  // namespace
}  // namespace milka::play
