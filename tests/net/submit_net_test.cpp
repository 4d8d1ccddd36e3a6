// The score submission and the site link through the real Qt port, against a small HTTP server
// the test runs on 127.0.0.1: what goes out on the wire, and that no answer, a late answer, a
// refused connection or a hostile answer ever holds the game up or bends the address.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDesktopServices>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <string>

#include "net/local_server.h"
#include "online/submit.h"
#include "platform/net/online_port.h"
#include "scripted_random.h"
#include "shell/game.h"

namespace milka::platform {
namespace {

using namespace std::chrono_literals;

const char* const kTimes = "abc%3E0%3E0%3E97%3E0%3E0%3E0%3E0%3E0%3E0";

TEST(SubmissionOnTheWire, ATopRaceWinSendsTheQueryTheServerReceives) {
  TestServer server;
  server.bodies["/pdf.php"] = "t0k";
  Finished g(server.base());
  g.pressA();
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_EQ(g.port.pending(), 1);
  ASSERT_TRUE(g.settle());
  ASSERT_EQ(server.requestLines.size(), 2u);
  EXPECT_EQ(server.requestLines[0], "GET /pdf.php HTTP/1.1");
  EXPECT_EQ(server.requestLines[1], QByteArray("GET /vbvb55.php?t0k") + kTimes + " HTTP/1.1");
  EXPECT_EQ(g.game.form.text2.text, server.base() + "/vbvb55.php?t0k" + kTimes);
}

TEST(SubmissionOnTheWire, TheLocationIsWhereTheNavigationEndsAfterRedirects) {
  TestServer server;
  server.redirects["/vbvb55.php"] = "/thanks.php";
  server.bodies["/pdf.php"] = "";
  Finished g(server.base());
  g.pressA();
  ASSERT_TRUE(g.settle());
  ASSERT_EQ(server.requestLines.size(), 3u);
  EXPECT_EQ(server.requestLines[2], "GET /thanks.php HTTP/1.1");
  EXPECT_EQ(g.game.form.text2.text, server.base() + "/thanks.php");
}

TEST(SubmissionOnTheWire, WithoutATopRaceWinNothingGoesOut) {
  TestServer server;
  Finished g(server.base());
  g.game.state.sendEnabled = 0;
  g.pressA();
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_EQ(g.port.pending(), 0);
  QTest::qWait(100);
  EXPECT_TRUE(server.requestLines.empty());
}

TEST(SubmissionOnTheWire, ASecondASendsNothing) {
  TestServer server;
  Finished g(server.base());
  g.pressA();
  ASSERT_TRUE(g.settle());
  ASSERT_EQ(server.requestLines.size(), 2u);
  g.pressA();
  EXPECT_EQ(g.port.pending(), 0);
  QTest::qWait(100);
  EXPECT_EQ(server.requestLines.size(), 2u);
}

TEST(SubmissionOnTheWire, AServerThatNeverAnswersLeavesTheGameTicking) {
  TestServer server(Answer::Never);
  Finished g(server.base());
  int ticksWhenFetchEnded = -1;
  g.port.setAfterCallback([&] {
    if (ticksWhenFetchEnded < 0) ticksWhenFetchEnded = g.ticks;
  });
  g.pressA();
  // The closing messages are up before the network has answered anything.
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_EQ(g.game.state.buttonTicks, 0);
  EXPECT_EQ(g.port.pending(), 1);
  const int ticksAtPress = g.ticks;

  // Both the fetch and then the navigation give up on their own, well within the wait.
  ASSERT_TRUE(g.settle());
  EXPECT_GT(ticksWhenFetchEnded - ticksAtPress, 2) << "the timers ran while the fetch waited";
  EXPECT_GT(g.game.state.buttonTicks, 2);
  ASSERT_EQ(server.requestLines.size(), 2u);
  EXPECT_EQ(server.requestLines[0], "GET /pdf.php HTTP/1.1");
  // A fetch that failed sends the empty text in its place.
  EXPECT_EQ(server.requestLines[1], QByteArray("GET /vbvb55.php?") + kTimes + " HTTP/1.1");
}

TEST(SubmissionOnTheWire, ARefusedConnectionEndsQuietly) {
  std::string base;
  {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    base = "http://127.0.0.1:" + std::to_string(closed.serverPort());
  }
  Finished g(base);
  g.pressA();
  ASSERT_TRUE(g.settle());
  EXPECT_EQ(g.game.state.screenState, screen::kFinished);
  EXPECT_EQ(g.game.form.text2.text, base + "/vbvb55.php?" + kTimes);
}

TEST(SubmissionOnTheWire, AHostileFetchedTextChangesNeitherHostNorPath) {
  TestServer server;
  server.bodies["/pdf.php"] = QByteArray("/?#@&%").repeated(3);
  Finished g(server.base());
  g.pressA();
  ASSERT_TRUE(g.settle());
  ASSERT_EQ(server.requestLines.size(), 2u);
  EXPECT_EQ(server.requestLines[1], QByteArray("GET /vbvb55.php?") +
                                        QByteArray("%2F%3F%23%40%26%25").repeated(3) + kTimes +
                                        " HTTP/1.1");
  ASSERT_EQ(server.hosts.size(), 2u);
  EXPECT_EQ(server.hosts[1], server.hostHeader());
}

TEST(SubmissionOnTheWire, AMegabyteOfHostileTextIsCutAndChangesNothing) {
  TestServer server;
  server.bodies["/pdf.php"] = QByteArray("/?#@&%").repeated(1024 * 1024 / 6 + 1);
  Finished g(server.base());
  g.pressA();
  ASSERT_TRUE(g.settle());
  ASSERT_EQ(server.requestLines.size(), 2u);
  EXPECT_EQ(server.requestLines[1], QByteArray("GET /vbvb55.php?") + kTimes + " HTTP/1.1");
  ASSERT_EQ(server.hosts.size(), 2u);
  EXPECT_EQ(server.hosts[1], server.hostHeader());
  const QUrl where(QString::fromStdString(g.game.form.text2.text));
  EXPECT_EQ(where.host(), "127.0.0.1");
  EXPECT_EQ(where.path(), "/vbvb55.php");
}

// What the port itself hands back for one fetch, waiting for it while the event loop runs.
std::string fetchOnce(QtOnlinePort& port, const std::string& url, bool& ended) {
  std::string text = "not called";
  ended = false;
  port.fetch(url, [&](std::string t) {
    text = std::move(t);
    ended = true;
  });
  ended = QTest::qWaitFor([&] { return port.pending() == 0; }, 5000) && ended;
  return text;
}

TEST(OnlinePortFetch, TakesAnAnswerUpToTheCapAndNothingBeyond) {
  TestServer server;
  const QByteArray atCap(static_cast<qsizetype>(online::kFetchedTextLimit), 'k');
  server.bodies["/cap"] = atCap;
  server.bodies["/over"] = atCap + "k";
  server.bodies["/mega"] = QByteArray(1024 * 1024, '%');
  QtOnlinePort port;
  bool ended = false;
  EXPECT_EQ(fetchOnce(port, server.base() + "/cap", ended), atCap.toStdString());
  EXPECT_TRUE(ended);
  EXPECT_EQ(fetchOnce(port, server.base() + "/over", ended), "");
  EXPECT_TRUE(ended);
  EXPECT_EQ(fetchOnce(port, server.base() + "/mega", ended), "");
  EXPECT_TRUE(ended);
}

TEST(OnlinePortFetch, AServerThatTricklesIsCutOffAtTheTimeLimit) {
  TestServer server(Answer::Trickle);
  QtOnlinePort port;
  port.setTimeLimit(300ms);
  bool ended = false;
  EXPECT_EQ(fetchOnce(port, server.base() + "/pdf.php", ended), "");
  EXPECT_TRUE(ended);
}

TEST(SubmissionOnTheWire, APortClosedMidRequestCallsNobodyBack) {
  TestServer server(Answer::Never);
  bool called = false;
  {
    QtOnlinePort port;
    port.fetch(server.base() + "/pdf.php", [&called](std::string) { called = true; });
    ASSERT_TRUE(QTest::qWaitFor([&server] { return !server.requestLines.empty(); }, 2000));
  }
  QTest::qWait(50);
  EXPECT_FALSE(called);
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

TEST(SiteLinkOnTheDesktop, TheButtonOpensTheMakersSiteInTheSystemsBrowser) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("http", &catcher, "open");
  testing::ScriptedRandom random;
  QtOnlinePort port;
  Game game{random, &port};
  game.Form_Load();
  game.Command5_Click();
  game.state.screenState = screen::kFinished;
  game.Command5_Click();
  QDesktopServices::unsetUrlHandler("http");
  ASSERT_EQ(catcher.urls.size(), 2u);
  EXPECT_EQ(catcher.urls[0], QUrl(QString(MILKA_SITE_BASE) + "/karuden/"));
  EXPECT_EQ(catcher.urls[1], catcher.urls[0]);
}

}  // namespace
}  // namespace milka::platform

#include "submit_net_test.moc"
