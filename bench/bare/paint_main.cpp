// The bare window: the least a Qt window can spend showing a form of the game's size and
// contents. Labels and pictures drawn in one paintEvent; only the 5 buttons and the line edit
// stay child widgets (they take input). Five 200 ms timers each move one picture; --glide slides
// them between ticks on a 16 ms timer with partial updates; --run-seconds N quits after N s.
#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

#include "common.h"
#include "controls.h"

namespace {
class Window : public QWidget {
 public:
  explicit Window(const Options& opt)
      : harness(this, opt), labels(labelSpecs()), sprites(spriteSpecs()), pix(loadSprites()) {
    setFixedSize(kWindowW, kWindowH);
    setWindowTitle(QStringLiteral("ベースライン（一括描画）"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    fonts[0] = jpFont(false, 12);
    fonts[1] = jpFont(true, 12);
    Controls c = addControls(this);
    harness.attachInputLogging(c.lineEdit, c.buttons);
    for (int i = 0; i < kTimerCount; ++i) {
      from[i] = to[i] = sprites[i * 7].rect.topLeft();
      auto* t = new QTimer(this);
      t->setInterval(kTimerIntervalMs);
      t->setTimerType(Qt::PreciseTimer);
      connect(t, &QTimer::timeout, this, [this, i] {
        if (glideOn) {  // the tick sets a new target; frames slide toward it
          from[i] = sprites[i * 7].rect.topLeft();
          to[i] = nextSpritePos(i, to[i]);
          since[i].start();
          if (!frames.isActive()) frames.start();
        } else {
          QRect& r = sprites[i * 7].rect;
          const QRect old = r;
          r.moveTopLeft(nextSpritePos(i, r.topLeft()));
          update(old);
          update(r);
        }
        ++harness.timerTicks;
      });
      t->start();
    }
    glideOn = opt.glide;
    frames.setInterval(16);
    frames.setTimerType(Qt::PreciseTimer);
    connect(&frames, &QTimer::timeout, this, [this] {
      bool moving = false;
      for (int i = 0; i < kTimerCount; ++i) {
        QRect& r = sprites[i * 7].rect;
        const double f =
            std::min(1.0, since[i].isValid() ? since[i].elapsed() / double(kTimerIntervalMs) : 1.0);
        const QPoint p(qRound(from[i].x() + (to[i].x() - from[i].x()) * f),
                       qRound(from[i].y() + (to[i].y() - from[i].y()) * f));
        if (p == r.topLeft()) continue;
        const QRect old = r;
        r.moveTopLeft(p);
        update(old);
        update(r);
        moving = moving || f < 1.0;
      }
      (void)moving;
    });
  }
  Harness harness;

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    p.fillRect(e->rect(), palette().window());
    p.setPen(palette().color(QPalette::WindowText));
    for (const LabelSpec& l : labels) {
      if (!e->rect().intersects(l.rect)) continue;
      p.setFont(fonts[l.mincho]);
      p.drawText(l.rect, Qt::AlignLeft | Qt::AlignVCenter, l.text);  // QLabel's default
    }
    for (const SpriteSpec& s : sprites)
      if (e->rect().intersects(s.rect)) p.drawPixmap(s.rect.topLeft(), pix[s.image]);
    harness.onPaint();
  }

 private:
  QVector<LabelSpec> labels;
  QVector<SpriteSpec> sprites;
  QVector<QPixmap> pix;
  QFont fonts[2];
  bool glideOn = false;
  QTimer frames;
  QPoint from[kTimerCount], to[kTimerCount];
  QElapsedTimer since[kTimerCount];
};
}  // namespace

int main(int argc, char** argv) {
  appClock().start();
  QApplication app(argc, argv);
  Window w(parseOptions(app.arguments()));
  w.show();
  w.harness.start();
  return app.exec();
}
