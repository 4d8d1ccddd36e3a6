// The window on Qt's offscreen platform: real clicks and key presses reach the handlers, and
// what the model says is what the screen shows, repainted where it changed and nowhere else.
#include "platform/window/window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw/fonts.h"
#include "platform/draw/sprites.h"
#include "scripted_random.h"
#include "window_parts.h"

namespace milka::platform {
namespace {

// Collects the areas the canvas actually repaints.
class PaintRecorder final : public QObject {
 public:
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

constexpr QRgb kWindowGreen = 0xFF80FF80;
constexpr QRgb kTitleYellow = 0xFFFFFF00;
// Inside Label14 on the title screen, left of the centred caption.
const QPoint kTitleSpot{20, 45};

class WindowTest : public ::testing::Test, protected milka::testing::WindowParts {
 protected:
  void SetUp() override {
    // As the game starts: the window first, then Form_Load, then the view catches up.
    window = std::make_unique<GameWindow>(game);
    game.Form_Load();
    window->sync();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    settle();
    window->canvas()->installEventFilter(&recorder);
  }

  void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  void click(int n) { QTest::mouseClick(window->command(n), Qt::LeftButton); }

  // What the window's backing store holds: only what the repaints have put there.
  QImage onScreen() {
    settle();
    return window->screen()->grabWindow(window->winId()).toImage();
  }

  PaintRecorder recorder;
};

TEST_F(WindowTest, HasTheGameCaptionAndOpensAtTheFormsOwnSize) {
  EXPECT_EQ(window->windowTitle().toStdString(), "ミルカリアプログラム:ミルカダービー");
  EXPECT_EQ(window->size(), QSize(719, 516));
  EXPECT_EQ(window->minimumSize(), QSize(719, 516)) << "never smaller than 1x";
  EXPECT_GT(window->maximumSize().width(), 719) << "may be enlarged";
  EXPECT_EQ(window->canvas()->geometry(), QRect(0, 0, 719, 516));
  EXPECT_EQ(window->scale(), 1.0);
}

TEST_F(WindowTest, CarriesTheDesktopIconsRunnerAtEverySize) {
  const QIcon icon = window->windowIcon();
  QList<QSize> expected;
  for (const int size : kWindowIconSizes) expected << QSize(size, size);
  EXPECT_EQ(icon.availableSizes(), expected);
  for (const int size : kWindowIconSizes) {
    const QImage shown = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, iconImage(size)) << size << " px is not the installed icon's picture";
  }
  // What the platform window is given, and so what X11's _NET_WM_ICON carries.
  ASSERT_NE(window->windowHandle(), nullptr);
  EXPECT_EQ(window->windowHandle()->icon().availableSizes(), expected);
}

TEST_F(WindowTest, ButtonsArePlacedFromTheModelAndNeverTakeFocus) {
  for (int n = 1; n <= kCommandCount; ++n) {
    const Button& b = game.form.command(n);
    QPushButton* button = window->command(n);
    EXPECT_EQ(button->text().toStdString(), b.caption) << "Command" << n;
    EXPECT_EQ(button->geometry(), Canvas::pixels(b.left, b.top, b.width, b.height).toRect());
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
  }
  EXPECT_EQ(window->command(1)->geometry(), QRect(384, 440, 97, 48));
  game.form.command(4).caption = "Ｂ";
  game.form.command(4).top = -2000;
  window->sync();
  EXPECT_EQ(window->command(4)->text().toStdString(), "Ｂ");
  EXPECT_LT(window->command(4)->geometry().bottom(), 0);
}

TEST_F(WindowTest, AClickLeavesTheTitle) {
  game.state.buttonTicks = 3;
  click(1);
  EXPECT_EQ(game.state.screenState, screen::kBreeding);
  EXPECT_EQ(game.state.buttonTicks, 0);
}

TEST_F(WindowTest, AClickTooSoonDoesNothing) {
  game.state.buttonTicks = 2;
  click(1);
  EXPECT_EQ(game.state.screenState, screen::kTitle);
}

TEST_F(WindowTest, BClickTurnsTheBreedingPage) {
  game.state.screenState = screen::kBreeding;
  game.state.buttonTicks = 2;
  click(4);
  EXPECT_EQ(game.state.tablePage, 2);
  EXPECT_EQ(game.state.buttonTicks, 0);
}

TEST_F(WindowTest, UpAndDownClicksMoveTheBreedingCursor) {
  game.state.screenState = screen::kBreeding;
  game.state.cursorRow = 5;
  game.state.buttonTicks = 2;
  click(2);
  EXPECT_EQ(game.state.cursorRow, 4);
  game.state.buttonTicks = 2;
  click(3);
  game.state.buttonTicks = 2;
  click(3);
  EXPECT_EQ(game.state.cursorRow, 6);
}

TEST_F(WindowTest, SiteClickOpensTheMakersSite) {
  click(5);
  ASSERT_EQ(port.opened.size(), 1u);
  EXPECT_NE(port.opened[0].find("/karuden/"), std::string::npos) << port.opened[0];
}

TEST_F(WindowTest, FocusStaysInText1AfterEveryButton) {
  ASSERT_EQ(QApplication::focusWidget(), window->text1());
  for (int n = 1; n <= kCommandCount; ++n) {
    click(n);
    EXPECT_EQ(QApplication::focusWidget(), window->text1()) << "after Command" << n;
  }
}

struct KeyCase {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  const char* appended;
};

TEST_F(WindowTest, KeysReachText1KeyDownWithWindowsCodes) {
  const KeyCase cases[] = {
      {Qt::Key_A, Qt::ShiftModifier, "a"},     {Qt::Key_A, Qt::NoModifier, "a"},
      {Qt::Key_M, Qt::NoModifier, "m"},        {Qt::Key_Z, Qt::ShiftModifier, "z"},
      {Qt::Key_Left, Qt::NoModifier, "←"},     {Qt::Key_Up, Qt::NoModifier, "↑"},
      {Qt::Key_Right, Qt::NoModifier, "→"},    {Qt::Key_Down, Qt::ShiftModifier, "↓"},
      {Qt::Key_1, Qt::NoModifier, ""},         {Qt::Key_Space, Qt::NoModifier, ""},
      {Qt::Key_Exclam, Qt::ShiftModifier, ""},
  };
  for (const KeyCase& c : cases) {
    atNaming();
    QTest::keyClick(window->text1(), c.key, c.modifiers);
    EXPECT_EQ(game.form.label(27).caption, c.appended) << "key " << std::hex << c.key;
  }
}

TEST_F(WindowTest, TypedLettersShowInText1AndArrowsLeaveTheCursor) {
  atNaming();
  QTest::keyClicks(window->text1(), "ab");
  EXPECT_EQ(window->text1()->text(), "ab");
  EXPECT_EQ(game.form.text1.text, "ab");
  QTest::keyClick(window->text1(), Qt::Key_Left);
  EXPECT_EQ(window->text1()->cursorPosition(), 2);
  EXPECT_EQ(window->text1()->text(), "ab");
  EXPECT_EQ(game.form.label(27).caption, "ab←");
}

TEST_F(WindowTest, Text1ShowsWhatTheRulesLeaveInIt) {
  QTest::keyClicks(window->text1(), "xy");
  game.form.text1.text.clear();
  window->sync();
  EXPECT_EQ(window->text1()->text(), "");
  EXPECT_FALSE(window->text1()->testAttribute(Qt::WA_InputMethodEnabled));
  // A key after the rules emptied it still lands in the box.
  QTest::keyClick(window->text1(), Qt::Key_Q);
  EXPECT_EQ(game.form.text1.text, "q");
}

TEST_F(WindowTest, Text1HasNoInputMethodAndText2IsOutOfSight) {
  EXPECT_FALSE(window->text1()->testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_EQ(window->text1()->geometry(), QRect(528, 448, 129, 33));
  EXPECT_TRUE(window->text2()->isReadOnly());
  EXPECT_EQ(window->text2()->focusPolicy(), Qt::NoFocus);
  EXPECT_LT(window->text2()->geometry().bottom(), 0);
  game.form.text2.text = "http://milkaria.example/";
  window->sync();
  EXPECT_EQ(window->text2()->text(), "http://milkaria.example/");
}

TEST_F(WindowTest, TitleLabelShowsItsColoursAndCaption) {
  const QImage shot = window->grab().toImage();
  EXPECT_EQ(shot.pixel(kTitleSpot), kTitleYellow);
  const Label& title = game.form.label(14);
  const QRect area =
      Canvas::pixels(title.left, title.top, title.width, title.height).toRect() & shot.rect();
  int blue = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = shot.pixel(x, y);
      if (qBlue(p) > 200 && qRed(p) < 80 && qGreen(p) < 80) ++blue;
    }
  EXPECT_GT(blue, 200) << "the blue caption ミルカダービー";
}

TEST_F(WindowTest, PicturesLieAboveLabels) {
  // Image12, the pole, brought back over the right end of the title label.
  Picture& pole = game.form.image(12);
  pole.top = 600;
  window->sync();
  const QImage sprite = spriteImage(pole.sprite);
  ASSERT_FALSE(sprite.isNull());
  const QImage shot = window->grab().toImage();
  const QPoint origin = Canvas::pixels(pole.left, pole.top, 0, 0).topLeft().toPoint();
  int compared = 0;
  for (int y = 0; y < sprite.height(); y += 3)
    for (int x = 0; x < sprite.width(); x += 3)
      if (qAlpha(sprite.pixel(x, y)) == 255) {
        ASSERT_EQ(shot.pixel(origin + QPoint(x, y)), sprite.pixel(x, y)) << x << "," << y;
        ++compared;
      }
  EXPECT_GT(compared, 10);
}

TEST_F(WindowTest, AControlMovedAboveTheWindowIsNotDrawn) {
  ASSERT_EQ(onScreen().pixel(kTitleSpot), kTitleYellow);
  game.form.label(14).top = -2000;
  window->sync();
  EXPECT_EQ(onScreen().pixel(kTitleSpot), kWindowGreen);
  game.form.label(14).top = 600;
  window->sync();
  EXPECT_EQ(onScreen().pixel(kTitleSpot), kTitleYellow);
}

TEST_F(WindowTest, OnlyWhatChangedIsRepainted) {
  settle();
  recorder.painted = {};
  window->sync();
  settle();
  EXPECT_TRUE(recorder.painted.isEmpty()) << "nothing changed";

  Label& rail = game.form.label(28);  // the help line, 216,392 to 705,417
  rail.caption = "ヘルプ";
  window->sync();
  settle();
  EXPECT_TRUE(recorder.painted.contains(QPoint(300, 400)));
  EXPECT_FALSE(recorder.painted.contains(QPoint(100, 100)));
  EXPECT_FALSE(recorder.painted.contains(QPoint(300, 300)));

  recorder.painted = {};
  Picture& horse = game.form.image(21);
  horse.left = 3000;
  horse.top = 3000;  // 200,200 to 232,232
  window->sync();
  settle();
  EXPECT_TRUE(recorder.painted.contains(QPoint(216, 216)));
  EXPECT_FALSE(recorder.painted.contains(QPoint(400, 400)));
  EXPECT_LT(recorder.painted.boundingRect().width(), 40);
}

TEST_F(WindowTest, ANewWindowColourRepaintsEverything) {
  game.form.backColour = 0x111111;
  window->sync();
  const QImage shot = onScreen();
  EXPECT_EQ(shot.pixel(710, 300), 0xFF111111);
  EXPECT_EQ(shot.pixel(2, 2), 0xFF111111);
  EXPECT_EQ(shot.pixel(kTitleSpot), kTitleYellow);
}

TEST_F(WindowTest, TimersTickTheHandlers) {
  window->startTimers();
  for (int waited = 0; waited < 3000 && game.state.buttonTicks < 2; waited += 20) QTest::qWait(20);
  EXPECT_GE(game.state.buttonTicks, 2);
}

TEST(GameFontTest, FacesResolveToProportionalJapaneseFonts) {
  const QString gothic = QFontInfo(gameFont(FontFace::Gothic, 9)).family();
  const QString mincho = QFontInfo(gameFont(FontFace::Mincho, 12)).family();
  EXPECT_TRUE(gothic == "IPAPGothic" || gothic.contains("Gothic") || gothic.contains("ゴシック"))
      << gothic.toStdString();
  EXPECT_TRUE(mincho == "IPAPMincho" || mincho.contains("Mincho") || mincho.contains("明朝"))
      << mincho.toStdString();
  EXPECT_NE(gothic, "IPAGothic") << "the monospaced face widens every caption";
}

// A lasting note about the record goes where it hides the fewest words: the middle when clear,
// else the clear band nearest the middle, else where it hides the least.
TEST(NoteOverlayPlace, ALastingNoteFindsTheClearBandNearestTheMiddle) {
  const QRect window(0, 0, 719, 516);
  const QSize note(560, 60);
  struct Case {
    const char* what;
    std::vector<QRect> words;
    int top;
  };
  const std::vector<Case> cases = {
      {"nothing to keep clear of", {}, 228},
      {"words above and below the middle only", {{100, 80, 400, 40}, {100, 400, 400, 40}}, 228},
      {"a record down the middle", {{228, 130, 400, 170}}, 300},
      {"a record filling the middle, a clear band at the top",
       {{0, 76, 719, 300}, {0, 380, 719, 136}},
       16},
      {"nowhere clear", {{0, 0, 719, 300}, {0, 300, 100, 216}}, 300},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NoteOverlay::clearTop(window, note, c.words), c.top) << c.what;
}

}  // namespace
}  // namespace milka::platform
