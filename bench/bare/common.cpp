#include "common.h"

#include <sys/resource.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>

Options parseOptions(const QStringList& args) {
  Options o;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    auto next = [&]() { return i + 1 < args.size() ? args[++i] : QString(); };
    if (a == "--first-paint")
      o.mode = Options::FirstPaint;
    else if (a == "--run-seconds") {
      o.mode = Options::Run;
      o.seconds = next().toDouble();
    } else if (a == "--grab") {
      o.mode = Options::Grab;
      o.grabs = next().toInt();
    } else if (a == "--shot")
      o.shotPath = next();
    else if (a == "--log-input")
      o.logInput = true;
    else if (a == "--glide")
      o.glide = true;
  }
  return o;
}

QFont jpFont(bool mincho, int pixelSize) {
  QFont f;
  f.setFamilies(
      mincho ? QStringList{QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("MS PMincho"),
                           QStringLiteral("IPAPMincho"), QStringLiteral("Noto Serif CJK JP")}
             : QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                           QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
  f.setStyleHint(mincho ? QFont::Serif : QFont::SansSerif);
  f.setPixelSize(pixelSize);
  return f;
}

static const char* const kTexts[kLabelCount] = {
    "所持金",
    "体力",
    "攻撃力",
    "守備力",
    "素早さ",
    "経験値",
    "レベル",
    "日付",
    "天気は晴れ",
    "次の目的地",
    "宿屋に泊まる",
    "道具を使う",
    "装備を変える",
    "話す",
    "調べる",
    "買い物をする",
    "売却する",
    "北へ進む",
    "南へ進む",
    "東へ進む",
    "西へ進む",
    "休憩する",
    "記録する",
    "設定",
    "終了しますか？",
    "はい",
    "いいえ",
    "名前を入力してください",
    "ようこそ、旅人よ。",
    "ゴールド",
    "残り時間",
    "得点",
    "最高得点",
    "第一章　始まりの村",
    "扉は固く閉ざされている",
    "宝箱を見つけた！",
    "ＭＳ Ｐ明朝の見本",
    "ＭＳ Ｐゴシックの見本",
    "漢字・ひらがな・カタカナ",
    "ＡＢＣ１２３ｱｲｳ",
};

QVector<LabelSpec> labelSpecs() {
  // Two columns of 20 rows, laid out in twips as the game's form lays out its labels.
  QVector<LabelSpec> v;
  for (int i = 0; i < kLabelCount; ++i) {
    const int col = i / 20, row = i % 20;
    v.push_back({twipsRect(120 + col * 3000, 120 + row * 300, 2880, 270),
                 QString::fromUtf8(kTexts[i]), (i % 2) == 0});
  }
  return v;
}

QVector<SpriteSpec> spriteSpecs() {
  // 6 x 7 grid on the right-hand side; every sprite is 32x32 px (480 twips).
  QVector<SpriteSpec> v;
  for (int i = 0; i < kSpriteCount; ++i) {
    const int col = i % 6, row = i / 6;
    v.push_back({twipsRect(6300 + col * 600, 120 + row * 600, 480, 480), i});
  }
  return v;
}

QVector<QPixmap> loadSprites() {
  QVector<QPixmap> v;
  for (int i = 0; i < kSpriteCount; ++i)
    v.push_back(QPixmap(QStringLiteral(":/sprites/s%1.png").arg(i, 2, 10, QLatin1Char('0'))));
  return v;
}

QPoint nextSpritePos(int timerIndex, QPoint pos) {
  // Each timer walks its sprite 8 px along a horizontal track inside the window.
  Q_UNUSED(timerIndex);
  const int x = pos.x() + 8;
  return QPoint(x + 32 > kWindowW ? 6300 / kTwipsPerPixel : x, pos.y());
}

QElapsedTimer& appClock() {
  static QElapsedTimer t;
  return t;
}

qint64 cpuMicros() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000000LL + ru.ru_utime.tv_usec +
         ru.ru_stime.tv_usec;
}

void Harness::onPaint() {
  ++paints;
  if (firstPaintSeen) return;
  firstPaintSeen = true;
  // Queued: runs after the whole backing-store sync (children included) and flush,
  // so it is timed to the same point as the game: first complete frame.
  QTimer::singleShot(0, w, [this] {
    msAtFirstPaint = appClock().elapsed();
    cpuAtFirstPaint = cpuMicros();
    std::printf("first_paint_ms=%lld platform=%s dpi=%d\n", msAtFirstPaint,
                qPrintable(QGuiApplication::platformName()), w->logicalDpiY());
    std::fflush(stdout);
    if (o.mode == Options::FirstPaint)
      qApp->quit();
    else if (o.mode == Options::Grab)
      runGrabs();
    else if (o.seconds > 0)
      QTimer::singleShot(int(o.seconds * 1000), Qt::PreciseTimer, w, [this] { finishRun(); });
  });
}

void Harness::start() {
  // Nothing to do yet; the modes are driven from the first paint.
}

void Harness::runGrabs() {
  QVector<qint64> ns;
  ns.reserve(o.grabs);
  QElapsedTimer t;
  for (int i = 0; i < o.grabs; ++i) {
    t.start();
    QPixmap p = w->grab();
    ns.push_back(t.nsecsElapsed());
    if (i == 0 && !o.shotPath.isEmpty()) p.save(o.shotPath);
  }
  std::sort(ns.begin(), ns.end());
  std::printf("grab_n=%d grab_median_us=%.1f grab_min_us=%.1f grab_p90_us=%.1f\n", int(ns.size()),
              ns[ns.size() / 2] / 1000.0, ns.front() / 1000.0, ns[ns.size() * 9 / 10] / 1000.0);
  std::fflush(stdout);
  qApp->quit();
}

void Harness::finishRun() {
  const double secs = (appClock().elapsed() - msAtFirstPaint) / 1000.0;
  const double cpu = (cpuMicros() - cpuAtFirstPaint) / 1e6;
  std::printf("steady_s=%.2f steady_cpu_s=%.3f steady_cpu_pct=%.2f timer_ticks=%d paints=%d\n",
              secs, cpu, 100.0 * cpu / secs, timerTicks, paints);
  std::fflush(stdout);
  qApp->quit();
}

namespace {
class KeyLogger : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) {
      auto* k = static_cast<QKeyEvent*>(e);
      std::printf("key key=0x%x text=\"%s\" mods=0x%x nativeVK=0x%x scan=%u\n", k->key(),
                  qPrintable(k->text()), uint(k->modifiers()), k->nativeVirtualKey(),
                  k->nativeScanCode());
      std::fflush(stdout);
    }
    return false;
  }
};
}  // namespace

void Harness::attachInputLogging(QWidget* lineEdit, const QVector<QWidget*>& buttons) {
  if (!o.logInput) return;
  lineEdit->installEventFilter(new KeyLogger(lineEdit));
  auto* le = static_cast<QLineEdit*>(lineEdit);
  QObject::connect(le, &QLineEdit::textChanged, [](const QString& s) {
    std::printf("text=\"%s\"\n", qPrintable(s));
    std::fflush(stdout);
  });
  for (int i = 0; i < buttons.size(); ++i) {
    auto* b = static_cast<QAbstractButton*>(buttons[i]);
    QObject::connect(b, &QAbstractButton::clicked, [i, le] {
      std::printf("clicked button=%d focus_is_lineedit=%d\n", i,
                  int(QApplication::focusWidget() == le));
      std::fflush(stdout);
    });
  }
}
