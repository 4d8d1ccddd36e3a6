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

  // A first start that only looked at the title: the next start is a fresh title again.
  {
    QProcess look;
    start(look);
    killAfter(look, roll(300, 2500));
    const QString title = newest();
    ASSERT_FALSE(title.isEmpty());
    QProcess again;
    start(again);
    EXPECT_EQ(continuedAt(again, 1500), 0u) << "nothing to continue";
    killAfter(again, 0);
    EXPECT_FALSE(QFile::exists(title)) << "the look at the title left no journal";
    EXPECT_EQ(QDir(careers()).entryList({"*.mdj"}, QDir::Files).size(), 1);
  }

  // Then a career killed mid-race, older than any look at the title that follows it.
  const QString career = careers() + "/20000101-000000-4d.mdj";
  {
    journal::Session s(journal::Session::newHeader(77));
    QFile out(career);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromStdString(s.startNewJournal()));
    s.feed(journal::Event::siteBase("http://127.0.0.1:9"));
    s.feed(journal::Event::load());
    ASSERT_TRUE(testing::playCarefully(s, testing::midRace));
    out.write(QByteArray::fromStdString(s.encoder()->take()));
  }
  auto read = [](const QString& file) {
    QFile f(file);
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    return journal::read(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  };
  const journal::Reading before = read(career);
  const auto expected = journal::replay(before);
  ASSERT_EQ(expected->game().state.screenState, screen::kRace) << "mid-race";

  // Each round a new career (as a seed or a new horse begins one) is killed while its title
  // ticks, which may tear its journal's last record; then the game is killed while it reads the
  // journals back, and once more after it has continued the career.
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    if (round > 0) {
      QProcess fresh;
      start(fresh, static_cast<uint64_t>(roll(1, 1 << 30)));
      killAfter(fresh, roll(300, 2500));
      const journal::Reading look = reading();
      ASSERT_TRUE(look.status == journal::Reading::Status::Whole ||
                  look.status == journal::Reading::Status::TornTail)
          << "status " << static_cast<int>(look.status);
      ASSERT_GE(look.events.size(), 2u);
    }
    QProcess early;
    start(early);
    killAfter(early, roll(0, 150));
    QProcess continued;
    start(continued);
    const uint64_t at = continuedAt(continued, 10000);
    killAfter(continued, roll(0, 400));
    EXPECT_EQ(at, journal::fingerprint(expected->game()));

    const journal::Reading after = read(career);
    EXPECT_EQ(after.status, journal::Reading::Status::Whole) << "a torn record is cut away";
    EXPECT_TRUE(after.events == before.events) << "paused, nothing is added and nothing lost";
    EXPECT_EQ(newest(), career) << "no look at the title is left behind";
  }
}

}  // namespace
}  // namespace milka
