// The bare window's pieces: its labels, pictures, fonts and the harness that times it.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

class QWidget;

constexpr int kWindowW = 719;
constexpr int kWindowH = 516;
constexpr int kTwipsPerPixel = 15;
constexpr int kLabelCount = 40;
constexpr int kSpriteCount = 42;
constexpr int kButtonCount = 5;
constexpr int kTimerCount = 5;
constexpr int kTimerIntervalMs = 200;

struct Options {
  enum Mode { Run, FirstPaint, Grab } mode = Run;
  double seconds = 0;     // Run: quit after this many seconds (0 = never)
  int grabs = 200;        // Grab: number of QWidget::grab() calls
  QString shotPath;       // Grab: also save one grab as PNG here
  bool logInput = false;  // print key/click events on stdout
  bool glide = false;     // move the timer-driven sprites smoothly at ~60 Hz between ticks
};

Options parseOptions(const QStringList& args);

// Twips -> logical pixels (15 twips per pixel), as the game's form counts them.
inline int tw(int twips) {
  return twips / kTwipsPerPixel;
}
inline QRect twipsRect(int l, int t, int w, int h) {
  return QRect(tw(l), tw(t), tw(w), tw(h));
}

// Requested family first, then the proportional Japanese substitutes.
QFont jpFont(bool mincho, int pixelSize);

struct LabelSpec {
  QRect rect;
  QString text;
  bool mincho;
};
struct SpriteSpec {
  QRect rect;
  int image;
};

QVector<LabelSpec> labelSpecs();
QVector<SpriteSpec> spriteSpecs();
QVector<QPixmap> loadSprites();                    // 42 pixmaps from :/sprites
QPoint nextSpritePos(int timerIndex, QPoint pos);  // what each timer does to its sprite

// Process-wide stopwatch started at the top of main().
QElapsedTimer& appClock();
qint64 cpuMicros();  // user+sys CPU time of this process

// Installs the behaviour of the bare window on `window`:
// first-paint report/quit, run-for-N-seconds, the grab benchmark, input logging.
class Harness {
 public:
  Harness(QWidget* window, const Options& opt) : w(window), o(opt) {}
  void onPaint();  // call from the top-level paintEvent
  void start();    // after show()
  void attachInputLogging(QWidget* lineEdit, const QVector<QWidget*>& buttons);
  int timerTicks = 0;
  int paints = 0;

 private:
  void runGrabs();
  void finishRun();
  QWidget* w;
  Options o;
  bool firstPaintSeen = false;
  qint64 cpuAtFirstPaint = 0;
  qint64 msAtFirstPaint = 0;
};
