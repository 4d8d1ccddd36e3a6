// Starting the game: what the command line asks for, what happens with no desktop to open the
// window on, and a seed that plays the same race twice.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/display_check.h"
#include "shell/game.h"

namespace milka::platform {
namespace {

StartRequest read(const QStringList& arguments) {
  return readCommandLine(QStringList{"milka-derby"} + arguments);
}

TEST(CommandLine, HelpAndVersionAnswerAndStop) {
  for (const char* asked : {"--help", "-h"}) {
    const StartRequest help = read({QString::fromLatin1(asked)});
    EXPECT_FALSE(help.play);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.message.contains("--seed")) << help.message.toStdString();
    EXPECT_TRUE(help.message.contains("--scale"));
    EXPECT_TRUE(help.message.startsWith("Usage: milka-derby"));
  }
  const StartRequest version = read({"--version"});
  EXPECT_FALSE(version.play);
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.message.contains("Milka Derby")) << version.message.toStdString();
}

struct ArgumentCase {
  QStringList arguments;
  bool play;
  std::optional<uint64_t> seed;
  std::optional<double> scale;
};

TEST(CommandLine, OptionsAndTheirValues) {
  const ArgumentCase cases[] = {
      {{}, true, {}, {}},
      {{"--seed", "42"}, true, 42, {}},
      {{"--seed=0"}, true, 0, {}},
      {{"--seed", "18446744073709551615"}, true, 18446744073709551615ull, {}},
      {{"--scale", "2"}, true, {}, 2.0},
      {{"--scale", "1.5", "--seed", "7"}, true, 7, 1.5},
      // Qt's own options go through to Qt.
      {{"-platform", "offscreen", "--seed", "3"}, true, 3, {}},
      {{"--seed", "-1"}, false, {}, {}},
      {{"--seed", "x"}, false, {}, {}},
      {{"--seed"}, false, {}, {}},
      {{"--scale", "0.5"}, false, {}, {}},
      {{"--scale", "9"}, false, {}, {}},
      {{"--scale", "nan"}, false, {}, {}},
      {{"--bogus"}, false, {}, {}},
      {{"stray"}, false, {}, {}},
  };
  for (const ArgumentCase& c : cases) {
    const StartRequest r = read(c.arguments);
    const std::string shown = c.arguments.join(' ').toStdString();
    EXPECT_EQ(r.play, c.play) << shown;
    if (c.play) {
      EXPECT_EQ(r.options.seed, c.seed) << shown;
      EXPECT_EQ(r.options.scale, c.scale) << shown;
    } else {
      EXPECT_EQ(r.exitCode, 2) << shown;
      EXPECT_FALSE(r.message.isEmpty()) << shown;
    }
  }
  EXPECT_EQ(read({"-platform", "offscreen"}).platform, "offscreen");
  EXPECT_EQ(read({"--site", "https://milka.example.org/m"}).options.site,
            "https://milka.example.org/m");
  EXPECT_TRUE(read({"--seed", "1"}).options.site.isEmpty());
  EXPECT_FALSE(read({"--site"}).play);
  EXPECT_TRUE(read({"--mute", "--seed", "1"}).options.mute);
  EXPECT_FALSE(read({"--seed", "1"}).options.mute);
  EXPECT_FALSE(read({"--mute=yes"}).play);
}

// A fake Qt plugin folder and a real listening socket stand in for a desktop.
class DisplayCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkdir("platforms");
    for (const char* plugin : {"libqxcb.so", "libqwayland-generic.so"}) {
      QFile file(dir.filePath(QStringLiteral("platforms/") + plugin));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(compositor.listen(dir.filePath("wayland-test")));
    base.pluginDir = dir.filePath("platforms");
    base.runtimeDir = dir.path();
  }

  QTemporaryDir dir;
  QLocalServer compositor;
  DisplayEnvironment base;
};

TEST_F(DisplayCheckTest, NeedsADesktopThatAnswers) {
  struct Case {
    const char* what;
    QString platform, wayland, x11;
    bool usable;
    QByteArray chosen;
  };
  const Case cases[] = {
      {"nothing at all", "", "", "", false, ""},
      {"a Wayland socket nobody serves", "", "wayland-gone", "", false, ""},
      {"an X display nobody serves", "", "", ":987", false, ""},
      {"a DISPLAY that is no display", "", "", "garbage", false, ""},
      {"a live Wayland compositor", "", "wayland-test", "", true, "wayland"},
      {"Wayland, with a dead X beside it", "", "wayland-test", ":987", true, "wayland"},
      {"an X display on another host", "", "", "remote:10.0", true, "xcb"},
      {"offscreen needs no desktop", "offscreen", "", "", true, ""},
      {"nor does vnc", "vnc:size=800x600", "", "", true, ""},
      {"xcb asked for, not there", "xcb", "wayland-test", ":987", false, ""},
      {"wayland asked for and there", "wayland", "wayland-test", "", true, ""},
      {"either of two asked for", "xcb;wayland", "wayland-test", ":987", true, ""},
  };
  for (const Case& c : cases) {
    DisplayEnvironment e = base;
    e.platform = c.platform;
    e.waylandDisplay = c.wayland;
    e.x11Display = c.x11;
    const DisplayCheck check = checkDisplay(e);
    EXPECT_EQ(check.usable, c.usable) << c.what;
    EXPECT_EQ(check.platform, c.chosen) << c.what;
  }
}

TEST_F(DisplayCheckTest, WaylandNeedsQtsWaylandPlugin) {
  DisplayEnvironment e = base;
  e.waylandDisplay = dir.filePath("wayland-test");  // an absolute name works too
  EXPECT_TRUE(checkDisplay(e).usable);
  QFile::remove(dir.filePath("platforms/libqwayland-generic.so"));
  EXPECT_FALSE(checkDisplay(e).usable);
}

// The game itself, started as a player would start it with no desktop session.
class GameProgramTest : public ::testing::Test {
 protected:
  struct Run {
    int exitCode;
    QString out, err;
  };

  Run run(const QStringList& arguments) {
    QProcess game;
    QProcessEnvironment bare;
    bare.insert("PATH", qEnvironmentVariable("PATH"));
    bare.insert("HOME", home.path());
    game.setProcessEnvironment(bare);
    game.start(QStringLiteral(MILKA_GAME_BINARY), arguments);
    EXPECT_TRUE(game.waitForFinished(20000));
    return {game.exitCode(), QString::fromUtf8(game.readAllStandardOutput()),
            QString::fromUtf8(game.readAllStandardError())};
  }

  QTemporaryDir home;
};

TEST_F(GameProgramTest, WithNoDisplayItSaysSoInOneLineAndStops) {
  const Run r = run({});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("desktop")) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("デスクトップ"));
}

TEST_F(GameProgramTest, HelpAndVersionNeedNoDisplay) {
  const Run help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.contains("--seed")) << help.err.toStdString();
  const Run version = run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(version.out.startsWith("ミルカダービー (Milka Derby) ")) << version.out.toStdString();
  const Run wrong = run({"--scale", "99"});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_TRUE(wrong.err.contains("--scale"));
}

// Plays from start-up to the end of the first race through the handlers, as the window would,
// pressing A whenever the pacing allows and typing every shown whip symbol.
std::pair<Form, GameState> firstRace(const Options& options) {
  StartingRandom random(options);
  Game g(random.source());
  g.Form_Load();
  for (int tick = 0; tick < 100000 && g.state.resultsShown == 0; ++tick) {
    g.Timer1_Timer();
    g.Timer2_Timer();
    g.Timer3_Timer();
    g.Timer4_Timer();
    g.Timer5_Timer();
    GameState& s = g.state;
    if (s.resultsShown == 1) break;
    if (s.screenState == screen::kBreeding && s.setupPhase == 3 && s.nameLength < 3)
      g.Text1_KeyDown(65, 0);
    if (s.screenState == screen::kStable && s.bodyWeight < s.bestWeight - 20 && s.buttonTicks > 1)
      g.Command4_Click();
    if (s.screenState == screen::kRace)
      for (int code = 37; code <= 90; ++code)
        if (symbolOfKey(code) == g.form.label(12).caption)
          g.Text1_KeyDown(static_cast<int16_t>(code), 0);
    if (s.buttonTicks > 2 && s.screenState != screen::kRace) g.Command1_Click();
  }
  return {g.form, g.state};
}

TEST(SeededGame, TheSameSeedRunsTheSameFirstRace) {
  Options seeded;
  seeded.seed = 20260412;
  const auto [formA, stateA] = firstRace(seeded);
  const auto [formB, stateB] = firstRace(seeded);
  ASSERT_EQ(stateA.resultsShown, 1) << "the first race was run to its results";
  EXPECT_TRUE(formA == formB) << "the same board, the same pictures";
  EXPECT_EQ(stateA.raceTicks, stateB.raceTicks);
  EXPECT_EQ(stateA.horseSpeed, stateB.horseSpeed);

  Options other;
  other.seed = 20260413;
  EXPECT_FALSE(firstRace(other).first == formA) << "another seed, another race";
}

}  // namespace
}  // namespace milka::platform
