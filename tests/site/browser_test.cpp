// The pages in a real browser: Debian's chromium, headless, loads the calendar, an entry made
// from the browser itself, and the hall of fame that lists it. Screenshots stay in the build
// tree's artefacts directory for a look.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "proved_career.h"

namespace milka::site {
namespace {

using testing::LocalSite;

struct Chromium {
  QString program = QStandardPaths::findExecutable(QStringLiteral("chromium"));

  // Runs chromium on url with a fresh profile, keeping the site's event loop turning; returns
  // what it printed, or empty if it failed.
  QByteArray run(const QString& url, const QStringList& what) {
    QTemporaryDir profile;
    QProcess p;
    QStringList args = {QStringLiteral("--headless"),
                        QStringLiteral("--no-sandbox"),
                        QStringLiteral("--disable-gpu"),
                        QStringLiteral("--disable-quic"),
                        QStringLiteral("--no-first-run"),
                        QStringLiteral("--disable-background-networking"),
                        QStringLiteral("--disable-component-update"),
                        QStringLiteral("--disable-sync"),
                        QStringLiteral("--user-data-dir=") + profile.path()};
    args << what << url;
    p.start(program, args);
    if (!p.waitForStarted(10000)) return {};
    // The site answers from this thread, so wait by turning the event loop, never blocking.
    if (!QTest::qWaitFor([&p] { return p.state() == QProcess::NotRunning; }, 90000)) {
      p.kill();
      p.waitForFinished();
      return {};
    }
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
  }
  QString dom(const QString& url) {
    return QString::fromUtf8(run(url, {QStringLiteral("--dump-dom")}));
  }
  bool screenshot(const QString& url, const QString& file, int height) {
    QFile::remove(file);
    run(url,
        {QStringLiteral("--hide-scrollbars"), QStringLiteral("--window-size=1280,%1").arg(height),
         QStringLiteral("--screenshot=") + file});
    return !QImage(file).isNull();
  }
};

TEST(InABrowser, TheCalendarAndAnEntryShowInChromium) {
  Chromium chromium;
  ASSERT_FALSE(chromium.program.isEmpty()) << "chromium is needed (scripts/deps.sh installs it)";
  LocalSite s;
  const QString base = QString::fromStdString(s.base());

  const QString calendar = chromium.dom(base + QStringLiteral("/karuden/"));
  EXPECT_TRUE(calendar.contains(QStringLiteral("<h2 id=\"calendar\">レースカレンダー</h2>")));
  EXPECT_TRUE(calendar.contains(QStringLiteral("2歳チャンピオン")));
  EXPECT_TRUE(calendar.contains(QStringLiteral("ミルカ大賞典(交流)")));
  EXPECT_TRUE(calendar.contains(QStringLiteral("まだ登録がありません")));

  // The entry as the game sends it, but made by the browser.
  const QString entryUrl =
      QString::fromStdString(s.entryUrl(s.token(), "←milk", {0, 0, 97, 0, 0, 0, 0, 0, 88}));
  const QString entry = chromium.dom(entryUrl);
  EXPECT_TRUE(entry.contains(QStringLiteral("成績を登録しました")));
  EXPECT_TRUE(entry.contains(QStringLiteral("←milk")));
  EXPECT_TRUE(entry.contains(QStringLiteral("97秒")));
  EXPECT_EQ(s.stored(), 1);

  const QString hall = chromium.dom(base + QStringLiteral("/karuden/"));
  EXPECT_TRUE(hall.contains(QStringLiteral(">←milk</a>")));
  EXPECT_TRUE(hall.contains(QStringLiteral("88秒")));

  // A few more careers, so the screenshot shows full boards.
  for (int i = 0; i < 12; ++i) {
    const std::string name = std::string("ab") + static_cast<char>('a' + i);
    s.get(s.entryUrl(s.token(), name,
                     {80 + i * 7 % 30, 0, 90 + i * 5 % 17, 100 - i, 0, 70 + i, 0, 0, 95 - i}));
  }
  // A career proved by its journal, told race by race with the site's own SVG charts.
  const testing::Played career = testing::aSendingCareer(s);
  const std::string token = s.token();
  ASSERT_EQ(testing::upload(s, token, testing::packed(career.journal(token))).status, 200);
  ASSERT_EQ(s.get(testing::entryOf(career, token, s.base())).status, 200);
  s.markVerified();
  const QString told = chromium.dom(base + QStringLiteral("/karuden/uma?n=%1").arg(s.stored()));
  EXPECT_EQ(told.count(QStringLiteral("<svg ")), 3);
  EXPECT_EQ(told.count(QStringLiteral("<polyline ")), 3);
  EXPECT_GT(told.count(QStringLiteral("<circle ")), 3);
  EXPECT_TRUE(told.contains(QStringLiteral("<h2>全レース</h2>")));
  const QString dir = QStringLiteral(MILKA_TEST_ARTEFACTS);
  QDir().mkpath(dir);
  EXPECT_TRUE(chromium.screenshot(base + QStringLiteral("/karuden/"),
                                  dir + QStringLiteral("/karuden.png"), 2600));
  EXPECT_TRUE(chromium.screenshot(base + QStringLiteral("/karuden/uma?n=1"),
                                  dir + QStringLiteral("/entry.png"), 700));
  EXPECT_TRUE(chromium.screenshot(base + QStringLiteral("/karuden/uma?n=%1").arg(s.stored()),
                                  dir + QStringLiteral("/career.png"), 2200));
  EXPECT_TRUE(chromium.screenshot(base + QStringLiteral("/vbvb55.php?x"),
                                  dir + QStringLiteral("/refused.png"), 500));
}

}  // namespace
}  // namespace milka::site
