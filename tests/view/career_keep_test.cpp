// The career kept in files on the desktop: a disk that fills up stops only the keeping, and the
// window says so once. (The keeping's own rules are the midend's, tested there.)
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "journal/careful_player.h"
#include "journal/fingerprint.h"
#include "platform/keep/career_files.h"
#include "play/career_play.h"
#include "play/words.h"
#include "window_parts.h"

namespace milka::platform {
namespace {

using journal::Event;
using testing::playCarefully;

TEST(CareerKeep, AFullDiskStopsTheKeepingOnceAndTheGamePlaysOn) {
  QTemporaryDir dir;
  testing::RecordingPort port;
  CareerKeeper keeper(dir.path(), port);
  keeper.start(5);
  GameWindow window(keeper.game());
  play::CareerPlay play(keeper, window);
  window.follow(play);
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
  EXPECT_EQ(window.note()->text(), QString::fromStdString(play::notKeptText()));
  EXPECT_GT(keeper.session().events(), before + 20) << "the game plays on";
  window.note()->hide();
  QTest::qWait(450);
  EXPECT_FALSE(window.note()->isVisible()) << "said once";
}

}  // namespace
}  // namespace milka::platform
