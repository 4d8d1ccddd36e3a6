// The bare window showing one of the game's own scenes: the title, or the races the game's window
// shows, from the same scripted career and the same model period by period, drawn as plainly as
// Qt allows. Every label is a QStaticText,
// every picture a pixmap, the runners' markers a fill and two texts, all in one paintEvent; after
// each of the five 200 ms timers the old and the new place of whatever changed is updated, and
// nothing else. The buttons and the line edit are widgets, as in the game. With gliding on the
// moving pictures slide between ticks on a 16 ms timer, updating only what they cross.
//
//   bare_scene title|race on|off SECONDS [SHOT.png]
//
// Beside the bare window of the baseline (which moves five pictures and nothing else), the
// comparator with the same contents and motion for bench/frame_cost.sh: whatever the game's
// window spends beyond this is the game's own.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QStaticText>
#include <QTimer>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <tuple>

#include "../race_run.h"
#include "platform/draw/canvas.h"
#include "platform/draw/font_measure.h"
#include "platform/draw/fonts.h"
#include "platform/draw/qt_geometry.h"
#include "platform/draw/sprites.h"
#include "play/glide.h"
#include "play/runner_markers.h"
#include "typed_key.h"
#include "view/scripted_tour.h"

namespace {

using milka::Form;
using milka::platform::Canvas;
using milka::platform::toQt;

QColor colour(uint32_t rgb) {
  return QColor(static_cast<QRgb>(rgb));
}

class BareScene final : public QWidget {
 public:
  BareScene(milka::testing::ScriptedTour& tour, bool glide) : tour_(tour), glide_(glide) {
    const Form& form = tour.game.form;
    setFixedSize(Canvas::pixels(0, 0, form.clientWidth, form.clientHeight).size().toSize());
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int n = 1; n <= milka::kCommandCount; ++n) {
      const milka::Button& b = form.command(n);
      auto* button = new QPushButton(QString::fromStdString(b.caption), this);
      button->setFont(milka::platform::gameFont(milka::FontFace::Gothic, 9));
      button->setFocusPolicy(Qt::NoFocus);
      button->setGeometry(Canvas::pixels(b.left, b.top, b.width, b.height).toRect());
    }
    auto* text1 = new QLineEdit(this);
    text1->setGeometry(
        Canvas::pixels(form.text1.left, form.text1.top, form.text1.width, form.text1.height)
            .toRect());
    text1->setFocus();
    for (int n = 0; n < 5; ++n) {
      auto* timer = new QTimer(this);
      timer->setInterval(milka::play::kGlideMs);
      timer->setTimerType(Qt::PreciseTimer);
      connect(timer, &QTimer::timeout, this, [this, n] {
        milka::Game& g = tour_.game;
        void (milka::Game::*const handlers[5])() = {
            &milka::Game::Timer1_Timer, &milka::Game::Timer2_Timer, &milka::Game::Timer3_Timer,
            &milka::Game::Timer4_Timer, &milka::Game::Timer5_Timer};
        (g.*handlers[n])();
        sync();
      });
      timer->start();
    }
    frames_.setInterval(16);
    frames_.setTimerType(Qt::PreciseTimer);
    connect(&frames_, &QTimer::timeout, this, &BareScene::frame);
    sync();
  }

  // The player in a race: every symbol the race asks for typed once a period, and the next race
  // at once.
  void play() {
    milka::Game& g = tour_.game;
    if (const int code = milka::testing::keyCodeOf(g.form.label(12).caption))
      g.Text1_KeyDown(static_cast<int16_t>(code), 0);
    if (g.state.screenState != milka::screen::kRace) milka::bench::walkToRace(tour_);
    sync();
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    p.fillRect(e->rect(), colour(shown_.backColour));
    const auto label = [&](int n) {
      const milka::Label& l = shown_.label(n);
      const QRect r = labelRect(l);
      if (!e->rect().intersects(r)) return;
      if (!l.transparent) p.fillRect(r, colour(l.backColour));
      if (l.caption.empty()) return;
      p.save();
      p.setClipRect(r);
      p.setFont(font(l.face, l.fontSize, l.bold));
      p.setPen(colour(l.foreColour));
      QStaticText& text = texts_[static_cast<size_t>(n)];
      const qreal left = l.alignment == milka::Align::Centre
                             ? r.left() + (r.width() - text.size().width()) / 2
                             : r.left();
      p.drawStaticText(QPointF(left, r.top()), text);
      p.restore();
    };
    label(9);
    for (int n = 1; n <= milka::kLabelCount; ++n)
      if (n != 9) label(n);
    for (int n = 1; n <= milka::kImageCount; ++n) {
      const QRectF& r = drawn_[static_cast<size_t>(n)];
      if (e->rect().intersects(r.toAlignedRect()))
        p.drawPixmap(r.topLeft(), pixmap(shown_.image(n).sprite));
    }
    for (const milka::play::RunnerMarker& m : markers_.markers) {
      const QRect r = toQt(m.rect).toRect();
      if (!e->rect().intersects(r)) continue;
      p.fillRect(r, QColor(0x33, 0x33, 0x33));
      p.fillRect(r.adjusted(1, 1, -1, -1), colour(m.colour));
      p.setPen(QColor(0x11, 0x11, 0x11));
      const auto text = [&](const milka::play::TextRun& run, bool bold) {
        p.setFont(font(milka::play::kMarkerFace, milka::play::kMarkerPoints, bold));
        p.drawText(QRectF(toQt(run.origin), QSizeF(r.size())), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(run.text));
      };
      text(m.number, true);
      text(m.gap, false);
    }
    ++paints;
  }

 public:
  int64_t paints = 0;

 private:
  static QRect labelRect(const milka::Label& l) {
    return Canvas::pixels(l.left, l.top, l.width, l.height).toRect();
  }
  // A picture stands on the device pixel nearest its corner, so at 2x it glides in half pixels,
  // as the game's do.
  QRectF pictureRect(const milka::Picture& p, float left) const {
    const QRectF at = Canvas::pixels(left, p.top, p.width, p.height);
    const qreal device = devicePixelRatioF();
    const auto snapped = [device](qreal v) { return std::round(v * device) / device; };
    return {snapped(at.left()), snapped(at.top()), at.width(), at.height()};
  }

  void sync() {
    const Form& form = tour_.game.form;
    if (!synced_ || form.backColour != shown_.backColour) update();
    for (int n = 1; n <= milka::kLabelCount; ++n) {
      const milka::Label& now = form.label(n);
      const milka::Label& was = shown_.label(n);
      if (synced_ && now == was) continue;
      update(labelRect(was));
      update(labelRect(now));
      if (!synced_ || now.caption != was.caption) {
        QStaticText& text = texts_[static_cast<size_t>(n)];
        text.setTextFormat(Qt::PlainText);
        text.setText(QString::fromStdString(now.caption));
      }
    }
    milka::play::Pictures before, after;
    for (int n = 1; n <= milka::kImageCount; ++n) {
      before[static_cast<size_t>(n)] = shown_.image(n);
      after[static_cast<size_t>(n)] = form.image(n);
    }
    const auto starts = synced_ && glide_ ? milka::play::glideStarts(before, after, form)
                                          : decltype(glideStarts_){};
    for (int n = 1; n <= milka::kImageCount; ++n) {
      const auto i = static_cast<size_t>(n);
      if (synced_ && after[i] == before[i]) continue;
      glideStarts_[i] = starts[i];
      since_[i].start();
      update(drawn_[i].toAlignedRect());
      drawn_[i] = pictureRect(after[i], starts[i].value_or(after[i].left));
      update(drawn_[i].toAlignedRect());
      if (starts[i] && !frames_.isActive()) frames_.start();
    }
    milka::play::RaceMarkers markers = milka::play::raceMarkers(form, tour_.game.state, words_);
    if (markers != markers_) {
      for (const auto& m : markers_.markers) update(toQt(m.rect).toAlignedRect());
      for (const auto& m : markers.markers) update(toQt(m.rect).toAlignedRect());
      markers_ = std::move(markers);
    }
    shown_ = form;
    synced_ = true;
  }

  void frame() {
    bool moving = false;
    for (int n = 1; n <= milka::kImageCount; ++n) {
      const auto i = static_cast<size_t>(n);
      if (!glideStarts_[i]) continue;
      const milka::Picture& p = shown_.image(n);
      const double phase = static_cast<double>(since_[i].elapsed()) / milka::play::kGlideMs;
      if (phase >= 1) glideStarts_[i].reset();
      moving = moving || phase < 1;
      const QRectF r =
          pictureRect(p, milka::play::glidedLeft(glideStarts_[i].value_or(p.left), p.left, phase));
      if (r == drawn_[i]) continue;
      update(drawn_[i].toAlignedRect());
      drawn_[i] = r;
      update(r.toAlignedRect());
    }
    if (!moving) frames_.stop();
  }

  const QFont& font(milka::FontFace face, float points, bool bold) {
    auto [at, made] = fonts_.try_emplace({face, points, bold});
    if (made) at->second = milka::platform::gameFont(face, points, bold);
    return at->second;
  }
  const QPixmap& pixmap(const milka::Sprite& s) {
    auto [at, made] = pixmaps_.try_emplace({s.kind, s.coat, s.facingLeft, s.frame});
    if (made) at->second = QPixmap::fromImage(milka::platform::spriteImage(s));
    return at->second;
  }

  milka::testing::ScriptedTour& tour_;
  bool glide_;
  bool synced_ = false;
  Form shown_;
  std::array<QStaticText, milka::kLabelCount + 1> texts_;
  std::array<QRectF, milka::kImageCount + 1> drawn_;
  std::array<std::optional<float>, milka::kImageCount + 1> glideStarts_;
  std::array<QElapsedTimer, milka::kImageCount + 1> since_;
  milka::platform::FontMeasure measure_;
  milka::play::MarkerWords words_{measure_};
  milka::play::RaceMarkers markers_;
  QTimer frames_;
  std::map<std::tuple<milka::FontFace, float, bool>, QFont> fonts_;
  std::map<std::tuple<milka::SpriteKind, milka::Coat, bool, int>, QPixmap> pixmaps_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: bare_scene title|race on|off SECONDS [SHOT.png]\n");
    return 2;
  }
  const bool race = std::strcmp(argv[1], "race") == 0;
  milka::testing::ScriptedTour tour;
  tour.game.Form_Load();
  if (race) milka::bench::walkToRace(tour);
  BareScene window(tour, std::strcmp(argv[2], "on") == 0);
  window.setWindowTitle(QStringLiteral("bare_scene"));
  window.show();
  QTimer player;
  player.setTimerType(Qt::PreciseTimer);
  player.setInterval(milka::play::kGlideMs);
  QObject::connect(&player, &QTimer::timeout, &window, &BareScene::play);
  if (race) player.start();
  // A picture of the window three seconds in, to see what it shows.
  if (argc == 5)
    QTimer::singleShot(3000, &window, [&] { window.grab().save(QString::fromLocal8Bit(argv[4])); });
  QTimer::singleShot(std::max(1, std::atoi(argv[3])) * 1000, &app, &QCoreApplication::quit);
  const int code = QApplication::exec();
  std::printf("%lld paints\n", static_cast<long long>(window.paints));
  return code;
}
