// Every screen of a career, checked from the geometry the canvas draws: no caption cut short of
// the smallest size, no two captions' words on top of each other or under a button, and every
// runner of a race on the track or marked at its edge. Runs at the screen's scale (ctest runs
// it at 1 and at 2) and leaves one screenshot of each screen in the build tree.
#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <set>
#include <sstream>

#include "career_walk.h"
#include "platform/draw/font_measure.h"
#include "platform/draw/qt_geometry.h"
#include "play/runner_markers.h"
#include "play/screen_layout.h"

namespace milka::platform {
namespace {

using play::boxOf;
using play::CaptionFit;
using play::isVisibleCaption;
using play::paintedAbove;
using play::RaceMarkers;
using play::RunnerMarker;
using play::ScreenLayout;
using play::TextRun;
using play::wordsCollide;
using testing::CareerWalk;

// Fractions of a pixel are rounding, not overlap.
constexpr double kSlack = 0.01;

QRectF shrunkBy(const QRectF& r, double d) {
  return r.adjusted(d, d, -d, -d);
}

std::string nameOf(int n) {
  return "Label" + std::to_string(n);
}

// The caption's characters, spaces aside, in the order they are drawn.
QString inkOf(const QString& text) {
  QString out;
  for (QChar c : text)
    if (c != u' ' && c != QChar(0x3000)) out += c;
  return out;
}

// The buttons and the text box as the window places them, in form pixels.
std::vector<std::pair<std::string, QRectF>> widgetsOf(const GameWindow& w) {
  std::vector<std::pair<std::string, QRectF>> out;
  const Canvas& canvas = *w.canvas();
  const QRectF form(QPointF(0, 0), QSizeF(canvas.size()) / canvas.scale());
  const auto add = [&](const std::string& name, const QWidget& widget) {
    const QRectF at = QRectF(widget.geometry().translated(-canvas.pos()));
    const QRectF inForm(at.topLeft() / canvas.scale(), at.size() / canvas.scale());
    if (inForm.intersects(form)) out.emplace_back(name, inForm);
  };
  for (int n = 1; n <= kCommandCount; ++n) add("Command" + std::to_string(n), *w.command(n));
  add("Text1", *w.text1());
  return out;
}

class LayoutCheck : public ::testing::Test {
 protected:
  void checkScreen(const std::string& screen) {
    checkLayout(screen);
    takeScreenshot(screen);
  }

  void checkLayout(const std::string& screen) {
    const Form& form = walk.game.form;
    const ScreenLayout& layout = walk.window->canvas()->layout();
    std::vector<int> shown;
    for (int n = 1; n <= kLabelCount; ++n)
      if (isVisibleCaption(form, n)) shown.push_back(n);
    ASSERT_FALSE(shown.empty()) << screen;

    for (int n : shown) {
      const CaptionFit& c = layout.labels[static_cast<size_t>(n)];
      const QRectF box = toQt(boxOf(form.label(n)));
      const QString caption = QString::fromStdString(form.label(n).caption);
      QString drawn;
      for (const TextRun& run : c.runs) {
        drawn += QString::fromStdString(run.text);
        EXPECT_GE(run.origin.x + kSlack, box.left()) << screen << ' ' << nameOf(n);
        EXPECT_LE(run.origin.x + run.width, box.right() + kSlack)
            << screen << ' ' << nameOf(n) << " runs past its box: " << run.text;
      }
      if (!c.atFloor) {
        EXPECT_FALSE(c.clipped) << screen << ' ' << nameOf(n);
        EXPECT_EQ(inkOf(drawn).toStdString(), inkOf(caption).toStdString())
            << screen << ' ' << nameOf(n) << " lost characters";
      }
      if (c.twoLines) {
        EXPECT_LE(c.textRect().bottom(), box.bottom() + kSlack) << screen;
      }
      ++captionsChecked;
      if (c.shrunk) shrunk.insert(nameOf(n));
      if (c.twoLines) twoLines.insert(nameOf(n));
      if (c.clipped) clipped.insert(screen + " " + nameOf(n) + ": " + caption.toStdString());
    }

    for (size_t i = 0; i < shown.size(); ++i) {
      const QRectF a = toQt(layout.labels[static_cast<size_t>(shown[i])].textRect());
      for (size_t j = i + 1; j < shown.size(); ++j) {
        ScreenLayout inset = layout;
        for (int n : {shown[i], shown[j]})
          for (TextRun& run : inset.labels[static_cast<size_t>(n)].runs)
            run.width = std::max(0.0, run.width - kSlack);
        EXPECT_FALSE(wordsCollide(form, inset, shown[i], shown[j]))
            << screen << ": the words of " << nameOf(shown[i]) << " and " << nameOf(shown[j])
            << " overlap";
      }
      for (const auto& [widget, rect] : widgetsOf(*walk.window))
        EXPECT_FALSE(shrunkBy(a, kSlack).intersects(rect))
            << screen << ": " << nameOf(shown[i]) << " runs under " << widget;
      // Nor may an opaque label painted above hide part of the words; the rails are a fence
      // of ┳ that the rows of a table are meant to stand in front of.
      if (shown[i] == 7 || shown[i] == 8) continue;
      for (int n = 1; n <= kLabelCount; ++n) {
        const Label& over = form.label(n);
        if (n == shown[i] || over.transparent || !paintedAbove(n, shown[i])) continue;
        EXPECT_FALSE(shrunkBy(a, kSlack).intersects(toQt(boxOf(over))))
            << screen << ": " << nameOf(n) << " hides words of " << nameOf(shown[i]);
      }
    }
  }

  void takeScreenshot(const std::string& screen) {
    screens.insert(screen);
    const QString dir = QStringLiteral(MILKA_LAYOUT_SHOTS);
    QDir().mkpath(dir);
    const int scale = qRound(walk.window->devicePixelRatioF());
    const QString file =
        QStringLiteral("%1/%2@%3x.png").arg(dir, QString::fromStdString(screen)).arg(scale);
    EXPECT_TRUE(walk.window->grab().save(file)) << file.toStdString();
  }

  void checkRunners() {
    const GameState& s = walk.game.state;
    if (!play::runnersOnTrack(s)) return;
    const RaceMarkers& race = walk.window->canvas()->markers();
    EXPECT_EQ(race, play::raceMarkers(walk.game.form, s, markerWords))
        << "the canvas shows last tick's markers";
    const QRectF banner = toQt(boxOf(walk.game.form.label(39)));
    for (int k = 1; k <= 10; ++k) {
      int marked = 0;
      for (const RunnerMarker& m : race.markers)
        if (m.runner == k) ++marked;
      EXPECT_EQ(marked, race.onTrack[static_cast<size_t>(k)] ? 0 : 1) << "runner " << k;
      if (!race.onTrack[static_cast<size_t>(k)]) ++markedTicks;
    }
    for (size_t i = 0; i < race.markers.size(); ++i) {
      const RunnerMarker& m = race.markers[i];
      EXPECT_FALSE(toQt(m.rect).intersects(banner)) << "marker of runner " << m.runner;
      EXPECT_GE(m.rect.left(), 0);
      EXPECT_LE(m.rect.right(), walk.game.form.clientWidth / 15);
      for (const auto& [widget, rect] : widgetsOf(*walk.window))
        EXPECT_FALSE(toQt(m.rect).intersects(rect))
            << "marker of runner " << m.runner << " on " << widget;
      for (size_t j = i + 1; j < race.markers.size(); ++j)
        EXPECT_FALSE(m.rect.intersects(race.markers[j].rect));
    }
  }

  CareerWalk walk;
  FontMeasure measure;
  play::MarkerWords markerWords{measure};
  std::set<std::string> screens, shrunk, twoLines, clipped;
  int captionsChecked = 0;
  int markedTicks = 0;
};

TEST_F(LayoutCheck, EveryScreenOfACareerShowsEveryWordAndEveryRunner) {
  walk.onScreen = [this](const std::string& screen) { checkScreen(screen); };
  walk.onRaceTick = [this] {
    checkRunners();
    const GameState& s = walk.game.state;
    checkLayout("race tick " + std::to_string(s.raceTicks) + " at venue " +
                std::to_string(s.venue));
  };
  ASSERT_TRUE(walk.exposed);
  walk.play();

  const std::set<std::string> expected = {
      "title",           "breeding-sires-1", "breeding-sires-2", "breeding-sires-3",
      "breeding-dams-1", "naming-12",        "naming-13",        "foal",
      "procedures-done", "stable",           "pasture",          "weight-warning",
      "racecard",        "countdown",        "race-oi",          "race-kawasaki",
      "race-funabashi",  "race-urawa",       "final-straight",   "results",
      "career-over",     "finished"};
  EXPECT_EQ(screens, expected);
  // The walk must have met the cases it is there for: long captions and runners out of view.
  EXPECT_GT(captionsChecked, 200);
  EXPECT_FALSE(shrunk.empty());
  EXPECT_GT(markedTicks, 0);
  if (qEnvironmentVariableIsSet("MILKA_LAYOUT_REPORT")) {
    std::ostringstream out;
    for (const std::string& s : shrunk) out << "shrunk: " << s << '\n';
    for (const std::string& s : twoLines) out << "two lines: " << s << '\n';
    for (const std::string& s : clipped) out << "cut: " << s << '\n';
    out << "marked runner-ticks: " << markedTicks << '\n';
    std::fputs(out.str().c_str(), stderr);
  }
}

}  // namespace
}  // namespace milka::platform
