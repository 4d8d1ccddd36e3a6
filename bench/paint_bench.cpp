// What drawing costs, tick by tick on the offscreen platform: the scripted career's race and
// its title, each painted by the game's window and by a bare Qt window of the same size showing
// the same model with stock widgets (40 labels, 42 pictures, 5 buttons, the line edits).
// Reports the processor time of each tick's repaint, the part of it spent in the widgets' paint
// events, and the area repainted; run with QT_SCALE_FACTOR=2 for a 2x screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <array>
#include <ctime>
#include <map>
#include <memory>

#include "platform/fonts.h"
#include "platform/sprites.h"
#include "platform/window.h"
#include "view/scripted_tour.h"

namespace {

using milka::Form;
using milka::platform::Canvas;
using milka::testing::ScriptedTour;

// The machine is shared: count the processor time this thread spends, not the time on the wall.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Watches every widget of a window: adds up the time their paint events take and the area the
// bottom widget (the one under all the others) is asked to repaint.
class PaintMeter final : public QObject {
 public:
  void watch(QWidget* window, QWidget* bottom) {
    bottom_ = bottom;
    window->installEventFilter(this);
    for (QWidget* w : window->findChildren<QWidget*>()) w->installEventFilter(this);
  }
  int64_t pixels = 0;
  double seconds = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || inside_) return false;
    if (watched == bottom_)
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
        pixels += static_cast<int64_t>(r.width()) * r.height();
    // Deliver it from here, so its handling can be timed.
    inside_ = true;
    const double start = threadSeconds();
    QCoreApplication::sendEvent(watched, event);
    seconds += threadSeconds() - start;
    inside_ = false;
    return true;
  }

 private:
  QWidget* bottom_ = nullptr;
  bool inside_ = false;
};

void place(QWidget* w, float left, float top, float width, float height) {
  w->setGeometry(Canvas::pixels(left, top, width, height).toRect());
}

// The same window built as anyone would with stock Qt widgets: a QLabel per label and per
// picture, stacked in the game's order, kept up to date property by property.
class BareWindow final : public QWidget {
 public:
  explicit BareWindow(const Form& form) {
    setFixedSize(Canvas::pixels(0, 0, form.clientWidth, form.clientHeight).size().toSize());
    setAutoFillBackground(true);
    labels_[9] = new QLabel(this);
    for (int n = 1; n <= milka::kLabelCount; ++n)
      if (n != 9) labels_[static_cast<size_t>(n)] = new QLabel(this);
    for (int n = 1; n <= milka::kImageCount; ++n)
      pictures_[static_cast<size_t>(n)] = new QLabel(this);
    for (int n = 1; n <= milka::kCommandCount; ++n) {
      const milka::Button& b = form.command(n);
      auto* button = new QPushButton(QString::fromStdString(b.caption), this);
      button->setFont(milka::platform::gameFont(milka::FontFace::Gothic, 9));
      place(button, b.left, b.top, b.width, b.height);
    }
    auto* text1 = new QLineEdit(this);
    place(text1, form.text1.left, form.text1.top, form.text1.width, form.text1.height);
    sync(form);
  }

  void sync(const Form& form) {
    if (!synced_ || form.backColour != shown_.backColour) {
      QPalette p = palette();
      p.setColor(QPalette::Window, QColor(static_cast<QRgb>(form.backColour)));
      setPalette(p);
    }
    for (int n = 1; n <= milka::kLabelCount; ++n) {
      const milka::Label& now = form.label(n);
      const milka::Label& was = shown_.label(n);
      QLabel* l = labels_[static_cast<size_t>(n)];
      if (synced_ && now == was) continue;
      if (!synced_ || now.caption != was.caption) l->setText(QString::fromStdString(now.caption));
      if (!synced_ || now.face != was.face || now.fontSize != was.fontSize || now.bold != was.bold)
        l->setFont(milka::platform::gameFont(now.face, now.fontSize, now.bold));
      if (!synced_ || now.foreColour != was.foreColour || now.backColour != was.backColour) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(static_cast<QRgb>(now.foreColour)));
        p.setColor(QPalette::Window, QColor(static_cast<QRgb>(now.backColour)));
        l->setPalette(p);
      }
      l->setAutoFillBackground(!now.transparent);
      l->setAlignment(Qt::AlignTop |
                      (now.alignment == milka::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft));
      place(l, now.left, now.top, now.width, now.height);
    }
    for (int n = 1; n <= milka::kImageCount; ++n) {
      const milka::Picture& now = form.image(n);
      const milka::Picture& was = shown_.image(n);
      QLabel* l = pictures_[static_cast<size_t>(n)];
      if (synced_ && now == was) continue;
      if (!synced_ || !(now.sprite == was.sprite)) l->setPixmap(pixmap(now.sprite));
      place(l, now.left, now.top, now.width, now.height);
    }
    shown_ = form;
    synced_ = true;
  }

 private:
  const QPixmap& pixmap(const milka::Sprite& s) {
    auto [at, made] = pixmaps_.try_emplace({s.kind, s.coat, s.facingLeft, s.frame});
    if (made) at->second = QPixmap::fromImage(milka::platform::spriteImage(s));
    return at->second;
  }

  std::array<QLabel*, milka::kLabelCount + 1> labels_{};
  std::array<QLabel*, milka::kImageCount + 1> pictures_{};
  std::map<std::tuple<milka::SpriteKind, milka::Coat, bool, int>, QPixmap> pixmaps_;
  Form shown_;
  bool synced_ = false;
};

enum class Kind { Game, Bare };
enum class Scene { Title, Race };

// One window of either kind on the tour's game, with a meter on what it repaints.
struct Shown {
  Shown(Kind kind, ScriptedTour& played) : tour(played) {
    if (kind == Kind::Game) {
      auto* w = new milka::platform::GameWindow(tour.game);
      tour.game.Form_Load();
      w->sync();
      game.reset(w);
      meter.watch(w, w->canvas());
    } else {
      tour.game.Form_Load();
      auto* w = new BareWindow(tour.game.form);
      bare.reset(w);
      meter.watch(w, w);
    }
    widget()->show();
    QCoreApplication::processEvents();
  }
  QWidget* widget() const { return game ? static_cast<QWidget*>(game.get()) : bare.get(); }
  void sync() {
    if (game) game->sync();
    if (bare) bare->sync(tour.game.form);
  }

  ScriptedTour& tour;
  std::unique_ptr<milka::platform::GameWindow> game;
  std::unique_ptr<BareWindow> bare;
  PaintMeter meter;
};

void ticksOnTitle(ScriptedTour& tour) {
  // Only the timers: the title runs for as long as nobody presses A.
  tour.game.Timer1_Timer();
  tour.game.Timer2_Timer();
  tour.game.Timer3_Timer();
  tour.game.Timer4_Timer();
  tour.game.Timer5_Timer();
}

void BM_Paint(benchmark::State& state) {
  const auto kind = static_cast<Kind>(state.range(0));
  const auto scene = static_cast<Scene>(state.range(1));
  ScriptedTour tour;
  Shown shown(kind, tour);
  const auto advance = [&] {
    if (scene == Scene::Title) {
      ticksOnTitle(tour);
      return;
    }
    do {
      tour.step();
      if (tour.game.state.screenState != 7) shown.sync();  // the way to the next race
    } while (tour.game.state.screenState != 7);
  };
  if (scene == Scene::Race)
    for (int i = 0; i < 30; ++i) advance();  // into the running, past the countdown
  shown.sync();
  QCoreApplication::sendPostedEvents();
  shown.meter.pixels = 0;
  shown.meter.seconds = 0;

  int64_t ticks = 0;
  for (auto _ : state) {
    advance();
    shown.sync();
    const double start = threadSeconds();
    // The repaint the sync asked for, done as the event loop would do it.
    QCoreApplication::sendPostedEvents();
    state.SetIterationTime(threadSeconds() - start);
    ++ticks;
  }
  // The whole repaint is the time; of it, the widgets' own paint events, and the area.
  state.counters["paint_events_us"] =
      benchmark::Counter(shown.meter.seconds * 1e6 / static_cast<double>(ticks));
  state.counters["px_per_tick"] =
      benchmark::Counter(static_cast<double>(shown.meter.pixels) / static_cast<double>(ticks));
}
BENCHMARK(BM_Paint)
    ->ArgNames({"bare", "race"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(3000);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
