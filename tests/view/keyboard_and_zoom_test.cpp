// The window from the keyboard and at any size, on Qt's offscreen platform: keys press the
// buttons exactly as clicks do, the game's own keys still reach Text1, and the form scales as a
// whole, with clicks landing on what is drawn under the pointer.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <functional>
#include <memory>

#include "platform/sound/sound.h"
#include "platform/window/qt_keys.h"
#include "platform/window/window.h"
#include "scripted_random.h"
#include "window_parts.h"

namespace milka::platform {
namespace {

class KeyboardTest : public ::testing::Test, protected milka::testing::WindowParts {
 protected:
  void SetUp() override { open(nullptr); }
  // The window keeps its settings to the end; it goes first.
  void TearDown() override { window.reset(); }

  void open(QSettings* settings) {
    window = std::make_unique<GameWindow>(game, settings);
    game.Form_Load();
    window->sync();
  }

  void showWindow() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window->text1(), key, modifiers);
  }

  // A click where the model puts button n, through the window system, so it lands on whatever
  // widget lies under that point.
  void clickWhereDrawn(int n) {
    const QPoint at = buttonCentre(n);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
  }

  QPoint buttonCentre(int n) const {
    const Button& b = game.form.command(n);
    const QPointF centre = Canvas::pixels(b.left, b.top, b.width, b.height).center();
    return (window->stage().topLeft() + centre * window->scale()).toPoint();
  }

  QSettings& settingsIn(const QTemporaryDir& where) {
    settingsFile =
        std::make_unique<QSettings>(where.filePath("milka-derby.ini"), QSettings::IniFormat);
    return *settingsFile;
  }

  QTemporaryDir dir;
  std::unique_ptr<QSettings> settingsFile;
};

// One press of each button's key, on a screen where that button acts, with the pacing counter
// just below and just at what the button needs.
struct ButtonKeyCase {
  Qt::Key key;
  int command;
  int32_t screen;
  int32_t ticksTooFew;  // -1: the button does not wait
  std::function<bool(const Game&)> acted;
};

TEST_F(KeyboardTest, EachButtonKeyActsAsAClickUnderThePacingRules) {
  const auto titleLeft = [](const Game& g) { return g.state.screenState == screen::kBreeding; };
  const auto pageTurned = [](const Game& g) { return g.state.tablePage == 2; };
  const auto cursorUp = [](const Game& g) { return g.state.cursorRow == 4; };
  const auto cursorDown = [](const Game& g) { return g.state.cursorRow == 6; };
  const ButtonKeyCase cases[] = {
      {Qt::Key_Return, 1, screen::kTitle, 2, titleLeft},
      {Qt::Key_Enter, 1, screen::kTitle, 2, titleLeft},
      {Qt::Key_Space, 1, screen::kTitle, 2, titleLeft},
      {Qt::Key_Backspace, 4, screen::kBreeding, 1, pageTurned},
      {Qt::Key_Escape, 4, screen::kBreeding, 1, pageTurned},
      {Qt::Key_PageUp, 2, screen::kBreeding, 1, cursorUp},
      {Qt::Key_PageDown, 3, screen::kBreeding, 1, cursorDown},
  };
  for (const ButtonKeyCase& c : cases) {
    for (const bool enough : {false, true}) {
      game.state.screenState = c.screen;
      game.state.setupPhase = 1;
      game.state.tablePage = 1;
      game.state.cursorRow = 5;
      game.state.buttonTicks = c.ticksTooFew + (enough ? 1 : 0);
      press(c.key);
      EXPECT_EQ(c.acted(game), enough) << "key " << std::hex << c.key << " ticks " << std::dec
                                       << c.ticksTooFew + (enough ? 1 : 0);
      if (enough) {
        EXPECT_EQ(game.state.buttonTicks, 0) << "an accepted press resets the pacing";
      }
    }
  }
  press(Qt::Key_F1);
  EXPECT_EQ(port.opened.size(), 1u) << "F1 opens the maker's site";
}

TEST_F(KeyboardTest, AHeldKeyPressesOnce) {
  game.state.buttonTicks = 3;
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
  QCoreApplication::sendEvent(window->text1(), &repeat);
  EXPECT_EQ(game.state.screenState, screen::kTitle) << "an auto-repeat is not a press";
  press(Qt::Key_Return);
  EXPECT_EQ(game.state.screenState, screen::kBreeding);
}

TEST_F(KeyboardTest, ButtonKeysNeedNoCtrlOrAlt) {
  game.state.buttonTicks = 3;
  press(Qt::Key_Return, Qt::ControlModifier);
  press(Qt::Key_Space, Qt::AltModifier);
  EXPECT_EQ(game.state.screenState, screen::kTitle);
}

TEST_F(KeyboardTest, ButtonKeysLeaveText1AsItWas) {
  atNaming();
  QTest::keyClicks(window->text1(), "ab");
  game.state.buttonTicks = 0;
  press(Qt::Key_Space);
  press(Qt::Key_Backspace);
  EXPECT_EQ(window->text1()->text(), "ab") << "no space typed and nothing rubbed out";
}

TEST_F(KeyboardTest, EveryLetterAndArrowStillReachesText1WithItsCode) {
  std::vector<int> keys;
  for (int k = Qt::Key_A; k <= Qt::Key_Z; ++k) keys.push_back(k);
  for (int k = Qt::Key_Left; k <= Qt::Key_Down; ++k) keys.push_back(k);
  for (const int key : keys) {
    const int code = play::actionFor(keyPressOf(key, Qt::NoModifier)).symbol;
    ASSERT_NE(code, 0);
    atNaming();
    QTest::keyClick(window->text1(), static_cast<Qt::Key>(key));
    EXPECT_EQ(game.form.label(27).caption, symbolOfKey(code)) << "key " << std::hex << key;
  }
}

TEST_F(KeyboardTest, TooltipsNameTheKeysAndCaptionsStay) {
  const char* const captions[] = {"", "Ａボタン", "上", "下", "Ｂボタン"};
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(window->command(n)->text().toStdString(), captions[n]);
  EXPECT_TRUE(window->command(1)->toolTip().contains("Enter"));
  EXPECT_TRUE(window->command(1)->toolTip().contains("Space"));
  EXPECT_TRUE(window->command(4)->toolTip().contains("Backspace"));
  EXPECT_TRUE(window->command(2)->toolTip().contains("Page Up"));
  EXPECT_TRUE(window->command(3)->toolTip().contains("Page Down"));
  EXPECT_TRUE(window->command(5)->toolTip().contains("F1"));
}

TEST_F(KeyboardTest, AtTwiceTheSizeEveryButtonTakesItsClickAndText1ItsKeys) {
  showWindow();
  window->zoomTo(2);
  ASSERT_EQ(window->size(), QSize(1438, 1032));
  ASSERT_EQ(window->scale(), 2.0);
  for (int n = 1; n <= kCommandCount; ++n) {
    const Button& b = game.form.command(n);
    EXPECT_EQ(window->command(n)->geometry().size(),
              (Canvas::pixels(b.left, b.top, b.width, b.height).size() * 2).toSize());
  }

  game.state.buttonTicks = 3;
  clickWhereDrawn(1);
  EXPECT_EQ(game.state.screenState, screen::kBreeding);
  game.state.buttonTicks = 2;
  clickWhereDrawn(4);
  EXPECT_EQ(game.state.tablePage, 2);
  game.state.cursorRow = 5;
  game.state.buttonTicks = 2;
  clickWhereDrawn(2);
  EXPECT_EQ(game.state.cursorRow, 4);
  game.state.buttonTicks = 2;
  clickWhereDrawn(3);
  EXPECT_EQ(game.state.cursorRow, 5);
  clickWhereDrawn(5);
  EXPECT_EQ(port.opened.size(), 1u);

  atNaming();
  QTest::keyClick(window->text1(), Qt::Key_K);
  EXPECT_EQ(game.form.label(27).caption, "k");
}

TEST_F(KeyboardTest, AnOddSizeKeepsTheFormsShapeAndCentresIt) {
  showWindow();
  window->resize(1000, 601);
  const QRect stage = window->stage();
  EXPECT_NEAR(static_cast<double>(stage.width()) / stage.height(), 719.0 / 516.0, 0.005);
  EXPECT_EQ(stage.height(), 601);
  EXPECT_NEAR(stage.left(), (1000 - stage.width()) / 2, 1);
  const QPoint off = window->command(1)->geometry().center() - buttonCentre(1);
  EXPECT_LE(off.manhattanLength(), 2) << "buttons go with it";
  for (int n = 1; n <= kCommandCount; ++n)
    EXPECT_EQ(window->childAt(buttonCentre(n)), window->command(n)) << "Command" << n;

  // The spare space on either side shows the window's colour.
  const QImage shot = window->grab().toImage();
  EXPECT_EQ(shot.pixel(2, 300), 0xFF80FF80u);
  EXPECT_EQ(shot.pixel(997, 300), 0xFF80FF80u);
  game.form.backColour = 0x111111;
  window->sync();
  EXPECT_EQ(window->grab().toImage().pixel(2, 300), 0xFF111111u);
}

TEST_F(KeyboardTest, ZoomKeysStepThroughWholeMultiples) {
  showWindow();
  window->zoomTo(3);
  press(Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(window->scale(), 2.0);
  window->resize(1100, 800);  // a little over 1.5×
  press(Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(window->scale(), 1.0);
  press(Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(window->scale(), 1.0) << "never below 1×";
  window->zoomTo(3);
  press(Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(window->scale(), 1.0);
  // The offscreen screen is 800 × 600: 2× would not fit on it.
  press(Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_EQ(window->scale(), 1.0) << "no larger than the screen";
}

TEST_F(KeyboardTest, F11AndF9TurnFullScreenAndGlidingOnAndOff) {
  showWindow();
  EXPECT_TRUE(window->gliding());
  press(Qt::Key_F9);
  EXPECT_FALSE(window->gliding());
  EXPECT_FALSE(window->canvas()->gliding());
  press(Qt::Key_F11);
  EXPECT_TRUE(window->isFullScreen());
  press(Qt::Key_F11);
  EXPECT_FALSE(window->isFullScreen());
  press(Qt::Key_F9);
  EXPECT_TRUE(window->canvas()->gliding());
}

TEST_F(KeyboardTest, F6MutesAndF7AndF8StepTheVolumeWithinItsRange) {
  showWindow();
  Sound sound(false, kMaxVolume);
  window->setSound(&sound);
  struct Step {
    Qt::Key key;
    int presses;
    bool muted;
    int volume;
  } steps[] = {
      {Qt::Key_F6, 1, true, 7},
      {Qt::Key_F6, 1, false, 7},
      {Qt::Key_F7, 3, false, 4},
      {Qt::Key_F7, 9, false, 0},
      {Qt::Key_F8, 2, false, 2},
      {Qt::Key_F6, 1, true, 2},
      // Turning it up while muted is asking to hear it.
      {Qt::Key_F8, 1, false, 3},
      {Qt::Key_F8, 20, false, 10},
  };
  for (const Step& s : steps) {
    for (int i = 0; i < s.presses; ++i) press(s.key);
    EXPECT_EQ(sound.muted(), s.muted) << s.key << " " << s.volume;
    EXPECT_EQ(sound.volume(), s.volume) << s.key;
    EXPECT_EQ(window->view().volume, s.volume) << s.key;
  }
  window->setSound(nullptr);
}

TEST_F(KeyboardTest, MuteAndVolumeAreRememberedAndMuteOnTheCommandLineIsNot) {
  ASSERT_TRUE(dir.isValid());
  QSettings& stored = settingsIn(dir);
  open(&stored);
  showWindow();
  {
    Sound sound(false, kMaxVolume);
    window->setSound(&sound);
    press(Qt::Key_F7);
    press(Qt::Key_F7);
    press(Qt::Key_F6);
    window->setSound(nullptr);
  }
  window.reset();

  open(&stored);
  Sound sound(false, kMaxVolume);
  window->setSound(&sound);
  EXPECT_TRUE(sound.muted());
  EXPECT_EQ(sound.volume(), 5);
  showWindow();
  press(Qt::Key_F6);
  window->setSound(nullptr);
  window.reset();

  // --mute silences this game alone; the next opens as the player left it.
  open(&stored);
  window->setSound(&sound, true);
  EXPECT_TRUE(sound.muted());
  window->setSound(nullptr);
  window.reset();
  open(&stored);
  window->setSound(&sound);
  EXPECT_FALSE(sound.muted());
  window->setSound(nullptr);
}

TEST_F(KeyboardTest, TheViewIsRememberedBetweenRuns) {
  ASSERT_TRUE(dir.isValid());
  QSettings& stored = settingsIn(dir);
  open(&stored);
  showWindow();
  window->zoomTo(2);
  window->setGliding(false);
  window.reset();  // the game closes

  open(&stored);
  window->showAsRemembered();
  EXPECT_EQ(window->size(), QSize(1438, 1032));
  EXPECT_EQ(window->scale(), 2.0);
  EXPECT_FALSE(window->gliding());
  EXPECT_FALSE(window->canvas()->gliding());
  window->toggleFullScreen();
  window.reset();

  open(&stored);
  window->showAsRemembered();
  EXPECT_TRUE(window->isFullScreen());
  window.reset();

  // A starting zoom on the command line wins over what was left.
  open(&stored);
  window->showAsRemembered(3.0);
  EXPECT_FALSE(window->isFullScreen());
  EXPECT_EQ(window->scale(), 3.0);
}

TEST_F(KeyboardTest, ADamagedSettingsFileOpensAtTheFormsSize) {
  QSettings& stored = settingsIn(dir);
  stored.setValue("window/zoom", 1e9);
  stored.setValue("window/geometry", QByteArray("not a geometry"));
  stored.setValue("sound/volume", 99);
  open(&stored);
  window->showAsRemembered();
  EXPECT_EQ(window->size(), QSize(719, 516));
  EXPECT_EQ(window->view().volume, ViewSettings{}.volume);
}

}  // namespace
}  // namespace milka::platform
