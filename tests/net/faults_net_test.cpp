// The real Qt port under network faults, against servers on 127.0.0.1 (and one name that can
// never resolve): a redirect loop, a body far over the cap, a body cut off, a host that does not
// exist, an answer that comes only after the time limit. Whatever happens, the game keeps
// ticking, the score goes out in at most one navigation, and every request ends once.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QTest>
#include <QUrl>
#include <string>

#include "net/local_server.h"

namespace milka::platform {
namespace {

using namespace std::chrono_literals;

const char* const kTimes = "abc%3E0%3E0%3E97%3E0%3E0%3E0%3E0%3E0%3E0";

// The closing A pressed, the port watched: every answer handed to the game is counted, and the
// timers must run on while the requests are out.
struct Watched : Finished {
  int answers = 0;
  int ticksAtPress = 0;
  explicit Watched(const std::string& base) : Finished(base) {
    port.setAfterCallback([this] { ++answers; });
  }
  void pressAndSettle() {
    pressA();
    ticksAtPress = ticks;
    ASSERT_EQ(game.state.screenState, screen::kFinished);
    ASSERT_TRUE(settle()) << "a request never ended";
    // Whatever was still on its way has had time to arrive and must change nothing.
    QTest::qWait(400);
  }
  void expectCalm() {
    EXPECT_EQ(port.pending(), 0);
    EXPECT_EQ(answers, 2) << "one fetch and one navigation, each ended exactly once";
    EXPECT_GT(ticks - ticksAtPress, 20) << "the timers stopped while the network worked";
    EXPECT_GT(game.state.buttonTicks, 2);
    EXPECT_EQ(game.state.screenState, screen::kFinished);
  }
};

TEST(NetworkFaults, ARedirectLoopOnTheFetchEndsAndTheScoreStillGoesOutOnce) {
  TestServer server;
  server.redirects["/pdf.php"] = "/pdf.php";
  Watched g(server.base());
  g.pressAndSettle();
  g.expectCalm();
  EXPECT_GT(server.hits["/pdf.php"], 1);
  EXPECT_EQ(server.hits["/vbvb55.php"], 1);
  EXPECT_EQ(server.requestLines.back(), QByteArray("GET /vbvb55.php?") + kTimes + " HTTP/1.1");
}

TEST(NetworkFaults, ARedirectLoopOnTheNavigationIsFollowedOnlySoFar) {
  TestServer server;
  server.bodies["/pdf.php"] = "t0k";
  server.redirects["/vbvb55.php"] = "/a";
  server.redirects["/a"] = "/b";
  server.redirects["/b"] = "/a";
  Watched g(server.base());
  g.pressAndSettle();
  g.expectCalm();
  EXPECT_EQ(server.hits["/vbvb55.php"], 1);
  EXPECT_LE(server.hits["/a"] + server.hits["/b"], 60);
  const QUrl where(QString::fromStdString(g.game.form.text2.text));
  EXPECT_EQ(where.host(), "127.0.0.1");
  EXPECT_TRUE(where.path() == "/a" || where.path() == "/b") << g.game.form.text2.text;
}

TEST(NetworkFaults, TenMegabytesAreCutAtTheCapOnTheFetchAndOnTheNavigation) {
  TestServer server;
  const QByteArray tenMegabytes(10 * 1024 * 1024, '%');
  server.bodies["/pdf.php"] = tenMegabytes;
  server.bodies["/vbvb55.php"] = tenMegabytes;
  Watched g(server.base());
  g.pressAndSettle();
  g.expectCalm();
  EXPECT_EQ(server.hits["/vbvb55.php"], 1);
  EXPECT_EQ(server.requestLines.back(), QByteArray("GET /vbvb55.php?") + kTimes + " HTTP/1.1");
  EXPECT_EQ(g.game.form.text2.text, server.base() + "/vbvb55.php?" + kTimes);
}

TEST(NetworkFaults, ABodyCutOffMidwayCountsAsNoAnswer) {
  TestServer server;
  server.bodies["/pdf.php"] = QByteArray(1000, 'k');
  server.cuts["/pdf.php"] = 500;
  Watched g(server.base());
  g.pressAndSettle();
  g.expectCalm();
  EXPECT_EQ(server.hits["/vbvb55.php"], 1);
  // Half a token is no token: the query goes without it.
  EXPECT_EQ(server.requestLines.back(), QByteArray("GET /vbvb55.php?") + kTimes + " HTTP/1.1");
}

TEST(NetworkFaults, AHostThatCannotExistEndsQuietly) {
  Watched g("http://milka-derby.invalid");
  g.pressAndSettle();
  g.expectCalm();
  EXPECT_EQ(g.game.form.text2.text, std::string("http://milka-derby.invalid/vbvb55.php?") + kTimes);
}

TEST(NetworkFaults, AFetchAnsweredOnlyAfterTheLimitIsGivenUpAndItsAnswerIgnored) {
  TestServer server;
  server.bodies["/pdf.php"] = "late";
  server.delays["/pdf.php"] = 700;  // the port's limit is 300 ms
  Watched g(server.base());
  g.pressAndSettle();
  QTest::qWait(500);  // past the late answer
  g.expectCalm();
  EXPECT_EQ(server.hits["/vbvb55.php"], 1);
  EXPECT_EQ(server.requestLines.back(), QByteArray("GET /vbvb55.php?") + kTimes + " HTTP/1.1");
  EXPECT_EQ(g.game.form.text2.text, server.base() + "/vbvb55.php?" + kTimes);
}

}  // namespace
}  // namespace milka::platform
