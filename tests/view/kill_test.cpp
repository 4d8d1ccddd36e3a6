// The real game, killed with SIGKILL at random moments and started again on the same data
// directory: its journal always reads (at worst with a torn last record), and the career it
// continues is, fingerprint for fingerprint, the one the journal on disk holds.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <random>

#include "journal/careful_player.h"
#include "journal/fingerprint.h"

namespace milka {
namespace {

class KilledGame : public ::testing::Test {
 protected:
  QString careers() const { return data.filePath("milkaria/milka-derby/careers"); }

  QString newest() const {
    const QStringList names = QDir(careers()).entryList({"*.mdj"}, QDir::Files, QDir::Name);
    return names.isEmpty() ? QString() : QDir(careers()).filePath(names.last());
  }

  journal::Reading reading() const {
    QFile f(newest());
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    return journal::read(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  }

  // Starts the game; with a seed it always begins a new career.
  void start(QProcess& game, std::optional<uint64_t> seed = std::nullopt) {
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH"));
    env.insert("HOME", data.path());
    env.insert("XDG_DATA_HOME", data.path());
    env.insert("XDG_CONFIG_HOME", data.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", data.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    game.setProcessEnvironment(env);
    QStringList args = {"--site", "http://127.0.0.1:9"};
    if (seed) args << "--seed" << QString::number(*seed);
    game.start(QStringLiteral(MILKA_GAME_BINARY), args);
    ASSERT_TRUE(game.waitForStarted(5000));
  }

  void killAfter(QProcess& game, int ms) {
    QTest::qWait(ms);
    ::kill(static_cast<pid_t>(game.processId()), SIGKILL);
    game.waitForFinished(5000);
  }

  // The fingerprint the game printed on continuing, or 0 before it has.
  static uint64_t continuedAt(QProcess& game, int waitMs) {
    for (int waited = 0; waited < waitMs; waited += 20) {
      game.waitForReadyRead(20);
      const QString out = QString::fromUtf8(game.peek(4096));
      const qsizetype at = out.indexOf("fingerprint ");
      if (at >= 0 && out.indexOf('\n', at) > at)
        return out.mid(at + 12, 16).toULongLong(nullptr, 16);
    }
    return 0;
  }

  QTemporaryDir data;
};

TEST_F(KilledGame, ComesBackAsItsJournalLeftItWhenEverItDies) {
  std::random_device entropy;
  const unsigned seed = entropy();
  std::mt19937 dice(seed);
  SCOPED_TRACE("dice " + std::to_string(seed));
  auto roll = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(dice); };

  // One round begins mid-race, from a journal played here; the others from a new career whose
  // title has been ticking for a random while.
  {
    journal::Session s(journal::Session::newHeader(77));
    QDir().mkpath(careers());
    QFile out(careers() + "/20260101-000000-4d.mdj");
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromStdString(s.startNewJournal()));
    s.feed(journal::Event::siteBase("http://127.0.0.1:9"));
    s.feed(journal::Event::load());
    ASSERT_TRUE(testing::playCarefully(s, testing::midRace));
    out.write(QByteArray::fromStdString(s.encoder()->take()));
  }
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    if (round > 0) {
      QProcess fresh;
      start(fresh, static_cast<uint64_t>(roll(1, 1 << 30)));
      killAfter(fresh, roll(300, 2500));
    }
    const journal::Reading before = reading();
    ASSERT_TRUE(before.status == journal::Reading::Status::Whole ||
                before.status == journal::Reading::Status::TornTail)
        << "status " << static_cast<int>(before.status);
    ASSERT_GE(before.events.size(), 2u);
    const auto expected = journal::replay(before);
    if (round == 0) {
      EXPECT_EQ(expected->game().state.screenState, screen::kRace) << "mid-race";
    }

    // Killed again while it reads the journal back, and once more after it has continued.
    QProcess early;
    start(early);
    killAfter(early, roll(0, 150));
    QProcess continued;
    start(continued);
    const uint64_t at = continuedAt(continued, 10000);
    killAfter(continued, roll(0, 400));
    EXPECT_EQ(at, journal::fingerprint(expected->game()));

    const journal::Reading after = reading();
    EXPECT_EQ(after.status, journal::Reading::Status::Whole) << "a torn record is cut away";
    EXPECT_TRUE(after.events == before.events) << "paused, nothing is added and nothing lost";
  }
}

}  // namespace
}  // namespace milka
