// The career outlives the window: closed mid-race it comes back paused where it stopped, a
// damaged journal never stops the start, a disk that fills up stops only the keeping, and a race
// watched again leaves the career as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "journal/careful_player.h"
#include "journal/fingerprint.h"
#include "platform/career_notes.h"
#include "platform/career_play.h"
#include "window_parts.h"

namespace milka::platform {
namespace {

using journal::Event;
using testing::playCarefully;

QStringList journals(const QString& dir) {
  return QDir(dir).entryList(QDir::Files, QDir::Name);
}

QByteArray contents(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void press(GameWindow& w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QTest::keyClick(w.text1(), key, mods);
}

TEST(CareerKeep, ClosedMidRaceItComesBackPausedAndAWatchedRaceLeavesItAsItWas) {
  QTemporaryDir dir;
  testing::RecordingPort port;
  uint64_t fingerprint = 0;
  int64_t events = 0;
  {
    CareerKeeper first(dir.path(), port);
    EXPECT_FALSE(first.start(20261209).continued);
    ASSERT_TRUE(playCarefully(first.session(), testing::midRace));
    fingerprint = journal::fingerprint(first.game());
    events = first.session().events();
  }  // the window closes

  CareerKeeper keeper(dir.path(), port);
  const CareerKeeper::Started started = keeper.start();
  ASSERT_TRUE(started.continued);
  EXPECT_EQ(journal::fingerprint(keeper.game()), fingerprint) << "every runner where it was";
  EXPECT_EQ(keeper.session().events(), events);
  EXPECT_EQ(journals(dir.path()).size(), 1) << "the same career's journal goes on";

  GameWindow window(keeper.game());
  CareerPlay play(keeper, window);
  window.show();
  play.begin(started);
  ASSERT_TRUE(window.paused());
  EXPECT_TRUE(window.lastingNote()->isVisible());
  EXPECT_TRUE(window.lastingNote()->text().contains("前回の続き"));
  // Paused, nothing pressed reaches the game and nothing ticks.
  press(window, Qt::Key_Return);
  press(window, Qt::Key_Left);
  QTest::qWait(450);
  EXPECT_EQ(keeper.session().events(), events);

  press(window, Qt::Key_F5);
  EXPECT_FALSE(window.paused());
  QTest::qWait(450);
  EXPECT_GT(keeper.session().events(), events) << "the timers run again";

  ASSERT_TRUE(playCarefully(keeper.session(), testing::boardShown));
  window.sync();
  const GameState board = keeper.game().state;
  const Form boardForm = keeper.game().form;
  const int64_t before = keeper.session().events();
  press(window, Qt::Key_F3);
  ASSERT_TRUE(play.watching());
  EXPECT_NE(&window.game(), &keeper.game());
  EXPECT_EQ(window.game().state.screenState, screen::kRaceCard) << "from the race card";
  EXPECT_TRUE(window.windowTitle().startsWith(watchingTitle()));
  press(window, Qt::Key_Return);  // the watched race is not the player's to change
  press(window, Qt::Key_F4);
  QTest::qWait(50);
  EXPECT_FALSE(play.watching());
  EXPECT_EQ(&window.game(), &keeper.game());
  EXPECT_TRUE(keeper.game().state == board);
  EXPECT_TRUE(keeper.game().form == boardForm);
  EXPECT_EQ(keeper.session().events() - before, 0) << "the journal is untouched";
  EXPECT_FALSE(window.windowTitle().startsWith(watchingTitle()));
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
    QTemporaryDir dir;
    const QString file = dir.filePath("20260101-000000-1f.mdj");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(c.bytes.data(), static_cast<qint64>(c.bytes.size()));
    out.close();
    testing::RecordingPort port;
    CareerKeeper keeper(dir.path(), port);
    const CareerKeeper::Started s = keeper.start();
    EXPECT_EQ(s.continued, c.continued) << c.what;
    EXPECT_TRUE(s.note.contains(QString::fromUtf8(c.said)))
        << c.what << ": " << s.note.toStdString();
    if (c.aside) {
      EXPECT_EQ(contents(file + c.aside), QByteArray(c.bytes.data(), c.bytes.size())) << c.what;
    }
    // Continued, the career is where the sound part of its journal leaves it; else a new foal.
    EXPECT_EQ(keeper.game().state.racesRun >= 1, c.continued) << c.what;
    EXPECT_EQ(keeper.game().state.screenState == screen::kTitle, !c.continued) << c.what;
  }
}

TEST(CareerKeep, AFullDiskStopsTheKeepingOnceAndTheGamePlaysOn) {
  QTemporaryDir dir;
  testing::RecordingPort port;
  CareerKeeper keeper(dir.path(), port);
  keeper.start(5);
  GameWindow window(keeper.game());
  CareerPlay play(keeper, window);
  window.show();
  play.begin({});
  // The disk fills up a little past what the file has laid out ahead.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit was{};
  getrlimit(RLIMIT_FSIZE, &was);
  const rlimit full{static_cast<rlim_t>(QFileInfo(keeper.path()).size() + 4096), was.rlim_max};
  setrlimit(RLIMIT_FSIZE, &full);
  ASSERT_TRUE(
      playCarefully(keeper.session(), [](const Game& g) { return g.state.racesRun == 12; }));
  const int64_t before = keeper.session().events();
  QTest::qWait(1200);
  setrlimit(RLIMIT_FSIZE, &was);
  EXPECT_TRUE(keeper.writer()->failed());
  ASSERT_TRUE(window.note() != nullptr);
  EXPECT_EQ(window.note()->text(), notKeptText());
  EXPECT_GT(keeper.session().events(), before + 20) << "the game plays on";
  window.note()->hide();
  QTest::qWait(450);
  EXPECT_FALSE(window.note()->isVisible()) << "said once";
}

}  // namespace
}  // namespace milka::platform
