// The suites run in a home of their own, and so does every game they start: nothing of a test's
// career is left for the next real start of the game to continue.
#include "own_home.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>
#include <fstream>

namespace milka::testing {
namespace {

std::string env(const char* name) {
  return qEnvironmentVariable(name).toStdString();
}

bool under(const std::string& path, const std::filesystem::path& dir) {
  return path.starts_with(dir.string() + "/");
}

TEST(OwnHome, TheSuiteRunsInAFreshTemporaryHome) {
  const std::filesystem::path home(env("HOME"));
  EXPECT_TRUE(
      std::filesystem::equivalent(home.parent_path(), std::filesystem::temp_directory_path()))
      << home;
  EXPECT_TRUE(home.filename().string().starts_with("milka-test-home-")) << home;
  EXPECT_EQ(QDir::homePath().toStdString(), home.string());
  for (const char* name :
       {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
    EXPECT_TRUE(under(env(name), home)) << name << "=" << env(name);
  EXPECT_TRUE(under(
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString(), home));
}

TEST(OwnHome, GoesWithAllInItAndPutsBackTheHomeBefore) {
  const std::string before = env("HOME");
  const std::string runtimeBefore = env("XDG_RUNTIME_DIR");
  std::filesystem::path root;
  {
    const OwnHome inner;
    root = inner.root();
    EXPECT_EQ(env("HOME"), root.string());
    EXPECT_NE(root.string(), before);
    const std::filesystem::path run(env("XDG_RUNTIME_DIR"));
    EXPECT_EQ(std::filesystem::status(run).permissions(), std::filesystem::perms::owner_all);
    const std::filesystem::path kept = std::filesystem::path(env("XDG_DATA_HOME")) / "milkaria";
    std::filesystem::create_directories(kept);
    std::ofstream(kept / "journal.mdj") << "kept";
    ASSERT_TRUE(std::filesystem::exists(kept / "journal.mdj"));
  }
  EXPECT_FALSE(std::filesystem::exists(root));
  EXPECT_EQ(env("HOME"), before);
  EXPECT_EQ(env("XDG_RUNTIME_DIR"), runtimeBefore);
}

// The game as a test starts it, with the suite's environment: its career's journal lands in the
// suite's home, where the suite's end removes it.
TEST(OwnHome, AGameATestStartsKeepsItsCareerThere) {
  const QString careers =
      qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/milkaria/milka-derby/careers");
  ASSERT_TRUE(under(careers.toStdString(), env("HOME")));
  QProcess game;
  game.start(QStringLiteral(MILKA_GAME_BINARY), {"--site", "http://127.0.0.1:9", "--mute"});
  ASSERT_TRUE(game.waitForStarted(5000));
  const auto journals = [&careers] { return QDir(careers).entryList({"*.mdj"}, QDir::Files); };
  EXPECT_TRUE(QTest::qWaitFor([&] { return !journals().isEmpty(); }, 10000));
  game.kill();
  game.waitForFinished(5000);
}

}  // namespace
}  // namespace milka::testing
