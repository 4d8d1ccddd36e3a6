// A career the site can verify, through the real Qt network against a small server on
// 127.0.0.1 (the whole way to a real site is in the site's end-to-end test): a new career takes
// its seed from the site before its first click, and at the closing A the entry's navigation goes
// on unchanged whatever the site says of its journal. A site that is away leaves the career
// unseeded and the closing screen says what that means.
#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "journal/careful_player.h"
#include "journal/format.h"
#include "journal/session.h"
#include "net/local_server.h"
#include "online/submit.h"
#include "platform/app/notes.h"
#include "platform/keep/career_files.h"
#include "platform/net/journal_upload.h"
#include "platform/net/site_seed.h"
#include "platform/window/window.h"
#include "play/words.h"

namespace milka::platform {
namespace {

QString said(const std::string& words) {
  return QString::fromStdString(words);
}

using namespace std::chrono_literals;
using journal::Event;

constexpr const char* kSiteSeed = "00112233445566778899aabbccddeeff";
// A horse the careful player takes to a top-race win, with kSiteSeed stirred in and without.
constexpr uint64_t kOwnSeed = 12;

size_t countOf(const std::vector<Event>& events, Event::Kind kind) {
  return static_cast<size_t>(std::count_if(events.begin(), events.end(),
                                           [kind](const Event& e) { return e.kind == kind; }));
}

bool careerOver(const Game& g) {
  return g.state.screenState == screen::kFinished;
}

// The game as it is put together to play, pointed at the test's server, with short limits.
struct Player {
  explicit Player(const std::string& base, const QString& dir) {
    port.siteBase = base;
    port.setTimeLimit(1s);
    upload = std::make_unique<JournalUpload>(port);
    upload->setTimeLimit(2s);
    keeper = std::make_unique<CareerKeeper>(dir, *upload);
    keeper->setFreshSeeds([] { return kOwnSeed; });
    keeper->askSiteForSeeds(400ms);
    upload->setJournal([this] {
      return JournalUpload::Journal{QByteArray::fromStdString(keeper->journalBytes()),
                                    keeper->session().seedsFed() > 0};
    });
  }
  // Plays the career to its closing A, with the window showing it; whether it got there.
  bool playToTheEnd() {
    window = std::make_unique<GameWindow>(keeper->game());
    noteEntries(*upload, *window);
    window->show();
    return testing::playCarefully(keeper->session(), careerOver);
  }
  bool settle(const TestServer& server) {
    return QTest::qWaitFor(
        [&] {
          return server.hits.value("/vbvb55.php") == 1 && port.pending() == 0 &&
                 upload->pending() == 0;
        },
        8000);
  }
  // The request line of the entry the core asks for.
  QByteArray entryLine(const std::string& base) const {
    const GameState& s = keeper->game().state;
    const std::string url = online::queryUrl(base, "t0k3n", s.horseName, s.bigRaceTime);
    // As it goes on the wire, where '>' travels as %3E.
    const QByteArray wire = QUrl(QString::fromStdString(url)).toEncoded();
    return "GET " + wire.mid(static_cast<qsizetype>(base.size())) + " HTTP/1.1";
  }

  QtOnlinePort port;
  std::unique_ptr<JournalUpload> upload;
  std::unique_ptr<CareerKeeper> keeper;
  std::unique_ptr<GameWindow> window;
};

TEST(VerifiedEntry, ACareerBegunWhileTheSiteIsSilentPlaysUnseededAndSaysSo) {
  TestServer server;
  server.bodies["/seed.php"] = kSiteSeed;
  server.delays["/seed.php"] = 3000;  // far past the new career's patience
  server.bodies["/pdf.php"] = "t0k3n";
  QTemporaryDir dir;
  Player p(server.base(), dir.path());
  p.keeper->start();
  const auto asked = std::chrono::steady_clock::now();
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.keeper->siteSeeds()->pending() == 0; }, 2000));
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 1500ms) << "the career did not wait long";
  EXPECT_EQ(p.keeper->session().seedsFed(), 0);

  ASSERT_TRUE(p.playToTheEnd());
  ASSERT_EQ(p.keeper->game().state.sendEnabled, 1);
  ASSERT_TRUE(p.settle(server));
  EXPECT_EQ(p.keeper->session().seedsFed(), 0);
  EXPECT_EQ(countOf(p.keeper->events(), Event::Kind::Seed), 0u);
  ASSERT_EQ(server.requestLines.size(), 4u);
  EXPECT_EQ(server.requestLines[2], "POST /journal.php?t0k3n HTTP/1.1");
  EXPECT_EQ(server.requestLines[3], p.entryLine(server.base()));
  EXPECT_EQ(p.window->lastingNote()->text(), said(play::unseededEntryText()));
}

TEST(VerifiedEntry, TheSitesSeedStaysWithTheCareerThroughAContinue) {
  TestServer server;
  server.bodies["/seed.php"] = kSiteSeed;
  QTemporaryDir dir;
  {
    Player first(server.base(), dir.path());
    first.keeper->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.keeper->session().seedsFed() == 1; }, 3000));
    ASSERT_TRUE(testing::playCarefully(first.keeper->session(), testing::midRace));
  }  // the window closes mid-race
  Player again(server.base(), dir.path());
  ASSERT_TRUE(again.keeper->start().continued);
  EXPECT_EQ(again.keeper->session().seedsFed(), 1);
  QTest::qWait(100);
  EXPECT_EQ(server.hits.value("/seed.php"), 1) << "a continued career asks for no new seed";
  EXPECT_EQ(again.keeper->session().seedsFed(), 1);
}

TEST(VerifiedEntry, AGivenSeedAsksTheSiteForNothing) {
  TestServer server;
  server.bodies["/seed.php"] = kSiteSeed;
  QTemporaryDir dir;
  Player p(server.base(), dir.path());
  EXPECT_FALSE(p.keeper->start(kOwnSeed).continued);
  EXPECT_EQ(p.keeper->siteSeeds()->pending(), 0);
  QTest::qWait(100);
  EXPECT_EQ(server.hits.value("/seed.php"), 0);
  EXPECT_EQ(p.keeper->session().seedsFed(), 0);
}

TEST(VerifiedEntry, ASeedThatComesAfterTheFirstClickIsNotTaken) {
  TestServer server;
  server.bodies["/seed.php"] = kSiteSeed;
  server.delays["/seed.php"] = 150;
  QTemporaryDir dir;
  Player p(server.base(), dir.path());
  p.keeper->start();
  // The title's A, before the site has answered.
  for (int n = 0; n < 15; ++n) testing::playPeriod(p.keeper->session());
  ASSERT_GT(countOf(p.keeper->events(), Event::Kind::Click), 0u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return p.keeper->siteSeeds()->pending() == 0; }, 2000));
  EXPECT_EQ(server.hits.value("/seed.php"), 1);
  EXPECT_EQ(p.keeper->session().seedsFed(), 0);
}

// --- What the site may answer to a seed ------------------------------------------------------

TEST(SiteSeed, AnythingButAWellFormedSeedIsNoSeed) {
  struct Case {
    const char* what;
    int status;
    QByteArray body;
    int delay;
    const char* seed;
  } cases[] = {
      {"a seed", 200, kSiteSeed, 0, kSiteSeed},
      {"busy", 503, kSiteSeed, 0, ""},
      {"too many", 429, "多すぎます", 0, ""},
      {"uppercase", 200, "00112233445566778899AABBCCDDEEFF", 0, ""},
      {"one digit short", 200, QByteArray(kSiteSeed).chopped(1), 0, ""},
      {"a seed and more", 200, QByteArray(kSiteSeed) + "\n", 0, ""},
      {"a megabyte", 200, QByteArray(1024 * 1024, 'a'), 0, ""},
      {"too late", 200, kSiteSeed, 2000, ""},
  };
  for (const Case& c : cases) {
    TestServer server;
    server.statuses["/seed.php"] = c.status;
    server.bodies["/seed.php"] = c.body;
    if (c.delay > 0) server.delays["/seed.php"] = c.delay;
    SiteSeeds seeds;
    seeds.setTimeLimit(300ms);
    std::string got = "not called";
    seeds.ask(server.base() + "/", [&](std::string seed) { got = std::move(seed); });
    EXPECT_EQ(got, "not called") << c.what << ": never from inside ask";
    ASSERT_TRUE(QTest::qWaitFor([&] { return seeds.pending() == 0; }, 3000)) << c.what;
    EXPECT_EQ(got, c.seed) << c.what;
    EXPECT_EQ(server.requestLines.back(), "GET /seed.php HTTP/1.1") << c.what;
  }
}

// --- What the site may answer to a journal --------------------------------------------------

const char* const kTimes = "abc%3E0%3E0%3E97%3E0%3E0%3E0%3E0%3E0%3E0";

// The career-over screen of Finished, entered through the upload, its window showing the notes.
struct Closing : Finished {
  JournalUpload upload{port};
  GameWindow window{game};
  JournalUpload::Journal journal{"the career's journal", true};

  explicit Closing(const std::string& base) : Finished(base) {
    game.online = &upload;
    upload.siteBase = base;
    upload.setTimeLimit(300ms);
    upload.setJournal([this] { return journal; });
    noteEntries(upload, window);
  }
  bool settle() {
    return QTest::qWaitFor([this] { return port.pending() == 0 && upload.pending() == 0; }, 5000);
  }
};

TEST(JournalWithTheEntry, WhateverBecomesOfTheJournalTheEntryGoesOnAndTheClosingScreenSaysWhy) {
  // Random bytes do not compress: past the site's limit however packed.
  QByteArray noise(JournalUpload::kBodyLimit * 2, Qt::Uninitialized);
  QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
  const QByteArray plain = "the career's journal";
  struct Case {
    const char* what;
    int fetchStatus, status;
    QByteArray answer;
    int delay;
    JournalUpload::Journal journal;
    bool posted;
    QString note;
  } cases[] = {
      {"checked", 200, 200, "照合しました", 0, {plain, true}, true, said(play::checkedEntryText())},
      {"refused",
       200,
       400,
       "名前が違います",
       0,
       {plain, true},
       true,
       said(play::refusedEntryText("名前が違います"))},
      {"refused, no reason",
       200,
       400,
       "",
       0,
       {plain, true},
       true,
       said(play::refusedEntryText({}))},
      {"busy", 200, 503, "混雑中", 0, {plain, true}, true, said(play::notSentEntryText())},
      {"no answer in time",
       200,
       200,
       "照合しました",
       1500,
       {plain, true},
       true,
       said(play::notSentEntryText())},
      {"unseeded",
       200,
       200,
       "未検証で載せました",
       0,
       {plain, false},
       true,
       said(play::unseededEntryText())},
      {"no token", 503, 200, "", 0, {plain, true}, false, said(play::notSentEntryText())},
      {"too big", 200, 200, "", 0, {noise, true}, false, said(play::notSentEntryText())},
  };
  for (const Case& c : cases) {
    TestServer server;
    server.bodies["/pdf.php"] = "t0k";
    server.statuses["/pdf.php"] = c.fetchStatus;
    server.statuses["/journal.php"] = c.status;
    server.bodies["/journal.php"] = c.answer;
    if (c.delay > 0) server.delays["/journal.php"] = c.delay;
    Closing g(server.base());
    g.journal = c.journal;
    g.pressA();
    EXPECT_EQ(g.game.state.screenState, screen::kFinished) << c.what;
    const int ticksAtPress = g.ticks;
    ASSERT_TRUE(g.settle()) << c.what;
    if (c.delay > 0) {
      EXPECT_GT(g.ticks - ticksAtPress, 10) << c.what << ": the timers ran on";
    }
    const QByteArray token = c.fetchStatus == 200 ? "t0k" : "";
    ASSERT_EQ(server.requestLines.size(), c.posted ? 3u : 2u) << c.what;
    if (c.posted) {
      EXPECT_EQ(server.requestLines[1], "POST /journal.php?t0k HTTP/1.1") << c.what;
      EXPECT_EQ(qUncompress(server.requestBodies[1]), plain) << c.what;
    }
    EXPECT_EQ(server.requestLines.back(), "GET /vbvb55.php?" + token + kTimes + " HTTP/1.1")
        << c.what;
    EXPECT_EQ(g.window.lastingNote()->text(), c.note) << c.what;
    for (const QRect& words : g.window.wordAreas())
      EXPECT_FALSE(g.window.lastingNote()->geometry().intersects(words)) << c.what;
  }
}

TEST(JournalWithTheEntry, AHostileReasonIsShownAsAShortLineOfText) {
  TestServer server;
  server.bodies["/pdf.php"] = "t0k";
  server.statuses["/journal.php"] = 400;
  server.bodies["/journal.php"] = "時刻が\x01\x1b[31m違います\r\n" + QByteArray(1024 * 1024, 'x');
  Closing g(server.base());
  g.pressA();
  ASSERT_TRUE(g.settle());
  const QString note = g.window.lastingNote()->text();
  EXPECT_TRUE(note.contains(QStringLiteral("時刻が [31m違います xxx"))) << note.toStdString();
  EXPECT_LT(note.size(), said(play::refusedEntryText({})).size() + 130);
  for (const QChar c : note) EXPECT_NE(c.category(), QChar::Other_Control);
}

}  // namespace
}  // namespace milka::platform
