// The browser game at /play/: its tree's files come back whole with their types, the index
// revalidated every time and the hashed files kept for good, gzipped when the browser takes it,
// and nothing outside the tree, hidden or linked out of it, ever; the pages link the game and
// each race of a verified career; milka-site serves the tree --play names.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <algorithm>
#include <vector>

#include "play_fixture.h"
#include "proved_career.h"
#include "site_process.h"

namespace milka::site {
namespace {

using testing::Answer;
using testing::Db;
using testing::LocalSite;
using testing::PlayFixture;

struct Reply {
  int status = 0;
  QList<std::pair<QByteArray, QByteArray>> headers;  // names in lower case
  QByteArray body;
  QByteArray header(const QByteArray& name) const {
    for (const auto& [n, v] : headers)
      if (n == name) return v;
    return {};
  }
  qsizetype count(const QByteArray& name) const {
    return std::count_if(headers.begin(), headers.end(),
                         [&](const auto& h) { return h.first == name; });
  }
};

// Sends requests down one connection at once and reads an answer to each as HTTP frames it (no
// body after a HEAD's answer or a 304); after is what came beyond the last, closed whether the
// site then closed the connection.
struct Conversation {
  QList<Reply> replies;
  QByteArray after;
  bool closed = false;
};

Conversation converse(quint16 port, const QList<QByteArray>& requests) {
  Conversation c;
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  if (!socket.waitForConnected(5000)) return c;
  socket.write(requests.join());
  QByteArray in;
  (void)QTest::qWaitFor(
      [&] {
        in += socket.readAll();
        while (c.replies.size() < requests.size()) {
          const qsizetype end = in.indexOf("\r\n\r\n");
          if (end < 0) return false;
          Reply r;
          const QList<QByteArray> lines = in.left(end).split('\n');
          r.status = lines.front().mid(9, 3).toInt();
          for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            r.headers.append(
                {lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed()});
          }
          const bool bodiless = requests[c.replies.size()].startsWith("HEAD ") || r.status == 304;
          const qint64 length = bodiless ? 0 : r.header("content-length").toLongLong();
          if (in.size() < end + 4 + length) return false;
          r.body = in.mid(end + 4, length);
          in.remove(0, end + 4 + length);
          c.replies.append(r);
        }
        return true;
      },
      10000);
  if (requests.back().contains("Connection: close"))
    c.closed = QTest::qWaitFor(
        [&] {
          in += socket.readAll();
          return socket.state() == QAbstractSocket::UnconnectedState;
        },
        5000);
  c.after = in + socket.readAll();
  return c;
}

QByteArray request(const QByteArray& line, const QByteArray& headers = {}) {
  return line + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers + "Connection: close\r\n\r\n";
}

struct PlayCase {
  const char* what;
  QByteArray line;     // method and target
  QByteArray headers;  // header lines, each ended with \r\n
  int status;
  const char* file;  // the fixture file whose bytes come back; "" for no body; null: not looked at
  std::vector<std::pair<QByteArray, QByteArray>> has;
  std::vector<QByteArray> lacks;
  bool wasm;  // the policy lets WebAssembly be compiled
};

TEST(PlayTree, EveryFileComesWithItsTypeItsCachingAndItsEncodingAndNothingOutsideTheTreeDoes) {
  PlayFixture tree;
  LocalSite site(Db::SQLite, {}, {}, [&](SiteOptions& o) { o.playDirectory = tree.play; });
  ASSERT_TRUE(site.site->playable());
  const quint16 port = site.site->port();
  const auto once = [&](const QByteArray& line, const QByteArray& headers = {}) {
    return converse(port, {request(line, headers)}).replies.value(0);
  };
  const QByteArray gzip = "Accept-Encoding: gzip, deflate, br\r\n";
  const Reply index = once("GET /play/");
  const Reply scriptGz = once("GET /play/main.9a8b7c6d5e4f.js", gzip);
  ASSERT_FALSE(index.header("etag").isEmpty());
  ASSERT_FALSE(index.header("last-modified").isEmpty());
  ASSERT_NE(scriptGz.header("etag"), once("GET /play/main.9a8b7c6d5e4f.js").header("etag"))
      << "each encoding is told apart by its tag";

  const QByteArray html = "text/html; charset=utf-8", js = "text/javascript; charset=utf-8";
  const QByteArray fresh = "no-cache", forGood = "public, max-age=31536000, immutable";
  const std::pair<QByteArray, QByteArray> varies{"vary", "Accept-Encoding"},
      zipped{"content-encoding", "gzip"};
  const QByteArray moduleLength = QByteArray::number(tree.files[PlayFixture::kModule].size());
  const QByteArray module = "/play/milka.3f2a9c0d1e4b.wasm";
  const QByteArray lost = "ページが見つかりません";
  const std::vector<PlayCase> cases = {
      {"the index at the folder",
       "GET /play/",
       "",
       200,
       "index.html",
       {{"content-type", html}, {"cache-control", fresh}, varies},
       {"content-encoding"},
       true},
      {"the index by its name",
       "GET /play/index.html",
       "",
       200,
       "index.html",
       {{"content-type", html}, {"cache-control", fresh}},
       {},
       true},
      {"the index asked to show a race",
       "GET /play/?n=3&race=2",
       "",
       200,
       "index.html",
       {{"cache-control", fresh}},
       {},
       true},
      {"the index gzipped",
       "GET /play/",
       gzip,
       200,
       "index.html.gz",
       {{"content-type", html}, {"cache-control", fresh}, zipped, varies},
       {},
       true},
      {"a hashed script",
       "GET /play/main.9a8b7c6d5e4f.js",
       "",
       200,
       PlayFixture::kScript,
       {{"content-type", js}, {"cache-control", forGood}, varies},
       {"content-encoding"},
       true},
      {"a hashed script gzipped",
       "GET /play/main.9a8b7c6d5e4f.js",
       gzip,
       200,
       "main.9a8b7c6d5e4f.js.gz",
       {{"content-type", js}, {"cache-control", forGood}, zipped, varies},
       {},
       true},
      {"gzip refused",
       "GET /play/main.9a8b7c6d5e4f.js",
       "Accept-Encoding: gzip;q=0, deflate\r\n",
       200,
       PlayFixture::kScript,
       {varies},
       {"content-encoding"},
       true},
      {"gzip asked in lower case, as a proxy from HTTP/2 sends it",
       "GET /play/main.9a8b7c6d5e4f.js",
       "accept-encoding: GZIP\r\n",
       200,
       "main.9a8b7c6d5e4f.js.gz",
       {zipped},
       {},
       true},
      {"gzip among any coding",
       "GET /play/main.9a8b7c6d5e4f.js",
       "Accept-Encoding: *\r\n",
       200,
       "main.9a8b7c6d5e4f.js.gz",
       {zipped},
       {},
       true},
      {"the module",
       "GET " + module,
       "",
       200,
       PlayFixture::kModule,
       {{"content-type", "application/wasm"},
        {"cache-control", forGood},
        {"content-length", moduleLength}},
       {"content-encoding"},
       true},
      {"the module gzipped",
       "GET " + module,
       gzip,
       200,
       "milka.3f2a9c0d1e4b.wasm.gz",
       {{"content-type", "application/wasm"}, zipped, varies},
       {},
       true},
      {"a stylesheet without a twin",
       "GET /play/style.0123456789ab.css",
       gzip,
       200,
       "style.0123456789ab.css",
       {{"content-type", "text/css; charset=utf-8"}, {"cache-control", forGood}},
       {"content-encoding", "vary"},
       true},
      {"the manifest",
       "GET /play/manifest.webmanifest",
       "",
       200,
       "manifest.webmanifest",
       {{"content-type", "application/manifest+json"}, {"cache-control", fresh}},
       {},
       true},
      {"a picture in a folder",
       "GET /play/icons/icon.aabbccddeeff.png",
       "",
       200,
       "icons/icon.aabbccddeeff.png",
       {{"content-type", "image/png"}, {"cache-control", forGood}},
       {},
       true},
      {"a drawing",
       "GET /play/logo.svg",
       "",
       200,
       "logo.svg",
       {{"content-type", "image/svg+xml"}, {"cache-control", fresh}},
       {},
       true},
      {"a table",
       "GET /play/levels.json",
       "",
       200,
       "levels.json",
       {{"content-type", "application/json"}, {"cache-control", fresh}},
       {},
       true},
      {"a link within the tree",
       "GET /play/link-in.js",
       "",
       200,
       PlayFixture::kScript,
       {{"content-type", js}, {"cache-control", fresh}},
       {},
       true},
      {"HEAD of the module",
       "HEAD " + module,
       "",
       200,
       "",
       {{"content-type", "application/wasm"}, {"content-length", moduleLength}},
       {},
       true},
      {"HEAD of the index",
       "HEAD /play/",
       "",
       200,
       "",
       {{"content-length", QByteArray::number(tree.files["index.html"].size())}},
       {},
       true},
      {"revalidated by its tag",
       "GET /play/",
       "If-None-Match: " + index.header("etag") + "\r\n",
       304,
       "",
       {{"etag", index.header("etag")}, {"cache-control", fresh}, varies},
       {"content-length", "content-type"},
       true},
      {"revalidated in lower case",
       "GET /play/",
       "if-none-match: " + index.header("etag") + "\r\n",
       304,
       "",
       {},
       {},
       true},
      {"revalidated by a weak tag among others",
       "GET /play/",
       "If-None-Match: \"x\", W/" + index.header("etag") + "\r\n",
       304,
       "",
       {},
       {},
       true},
      {"revalidated gzipped",
       "GET /play/main.9a8b7c6d5e4f.js",
       gzip + "If-None-Match: " + scriptGz.header("etag") + "\r\n",
       304,
       "",
       {{"cache-control", forGood}, varies},
       {},
       true},
      {"revalidated by its date",
       "GET /play/",
       "If-Modified-Since: " + index.header("last-modified") + "\r\n",
       304,
       "",
       {},
       {},
       true},
      {"a stale tag", "GET /play/", "If-None-Match: \"old\"\r\n", 200, "index.html", {}, {}, true},
      {"the gzipped tag for the plain answer",
       "GET /play/main.9a8b7c6d5e4f.js",
       "If-None-Match: " + scriptGz.header("etag") + "\r\n",
       200,
       PlayFixture::kScript,
       {},
       {},
       true},
      {"a date long before the file",
       "GET /play/",
       "If-Modified-Since: Thu, 01 Jan 1970 00:00:00 GMT\r\n",
       200,
       "index.html",
       {},
       {},
       true},
      {"a date that is none",
       "GET /play/",
       "If-Modified-Since: yesterday\r\n",
       200,
       "index.html",
       {},
       {},
       true},
      {"the folder without its slash",
       "GET /play?n=1&race=2",
       "",
       302,
       nullptr,
       {{"location", "/play/?n=1&race=2"}},
       {},
       false},
      {"the calendar keeps its own policy",
       "GET /karuden/",
       "",
       200,
       nullptr,
       {{"cache-control", "no-store"}},
       {},
       false},
  };
  for (const PlayCase& c : cases) {
    const Conversation talk = converse(port, {request(c.line, c.headers)});
    ASSERT_EQ(talk.replies.size(), 1) << c.what;
    const Reply& r = talk.replies[0];
    EXPECT_EQ(r.status, c.status) << c.what;
    if (c.file) {
      EXPECT_EQ(r.body, tree.files.value(QString::fromLatin1(c.file))) << c.what;
    }
    for (const auto& [name, value] : c.has)
      EXPECT_EQ(r.header(name), value) << c.what << ": " << name.constData();
    for (const QByteArray& name : c.lacks)
      EXPECT_EQ(r.count(name), 0) << c.what << ": " << name.constData();
    EXPECT_LE(r.count("content-length"), 1) << c.what;
    EXPECT_EQ(r.header("content-security-policy").contains("'wasm-unsafe-eval'"), c.wasm) << c.what;
    EXPECT_EQ(r.header("x-content-type-options"), "nosniff") << c.what;
    // Framed as HTTP frames it, and the connection closed once the answer was out.
    EXPECT_TRUE(talk.closed) << c.what;
    EXPECT_TRUE(talk.after.isEmpty()) << c.what;
  }

  // Whatever names nothing in the tree, hidden, linked out of it, or a way out of it, is the
  // site's own 404 in Japanese, under the site's own policy.
  for (const char* target : {"/play/../site.sqlite",
                             "/play/%2e%2e/site.sqlite",
                             "/play/%2e%2e/",
                             "/play/%2E%2E%2Foutside.txt",
                             "/play/..%2F..%2Fetc%2Fpasswd",
                             "/play/.hidden",
                             "/play/.git/config",
                             "/play/icons/.secret.png",
                             "/play/link-out.txt",
                             "/play/icons/",
                             "/play/icons",
                             "/play/main.9a8b7c6d5e4f.js.gz",
                             "/play/orphan.js.gz",
                             "/play/orphan.js",
                             "/play//etc/passwd",
                             "/play/%2Fetc%2Fpasswd",
                             "/play/%00",
                             "/play/%C0%AE%C0%AE/outside.txt",
                             "/play/%FF%FE",
                             "/play/nothing.js"}) {
    const Reply r = once(QByteArray("GET ") + target);
    EXPECT_EQ(r.status, 404) << target;
    EXPECT_TRUE(QString::fromUtf8(r.body).contains(QString::fromUtf8(lost))) << target;
    EXPECT_TRUE(r.body.contains("<html lang=\"ja\">")) << target;
    EXPECT_FALSE(r.header("content-security-policy").contains("wasm")) << target;
  }
}

// The door frames what it passes by HTTP's rules: a large answer, a HEAD's answer that states
// the length of its GET but has no body, and a 304, one after another on one connection, each
// arrive whole and in their order.
TEST(PlayTree, LargeAnswersHeadsAndRevalidationsShareOneConnection) {
  PlayFixture tree;
  LocalSite site(Db::SQLite, {}, {}, [&](SiteOptions& o) { o.playDirectory = tree.play; });
  const QByteArray host = " HTTP/1.1\r\nHost: x\r\n";
  const QByteArray module = "/play/milka.3f2a9c0d1e4b.wasm";
  const Conversation first = converse(site.site->port(), {"GET /play/" + host + "\r\n"});
  ASSERT_EQ(first.replies.size(), 1);
  const QByteArray tag = first.replies[0].header("etag");
  const Conversation c = converse(
      site.site->port(),
      {"GET " + module + host + "\r\n", "HEAD " + module + host + "\r\n",
       "GET /play/" + host + "If-None-Match: " + tag + "\r\n\r\n", "HEAD /play/" + host + "\r\n",
       "GET " + module + host + "Connection: close\r\n\r\n"});
  ASSERT_EQ(c.replies.size(), 5);
  const QByteArray bytes = tree.files[PlayFixture::kModule];
  const std::vector<std::pair<int, QByteArray>> expected = {
      {200, bytes}, {200, {}}, {304, {}}, {200, {}}, {200, bytes}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(c.replies[static_cast<qsizetype>(i)].status, expected[i].first) << i;
    EXPECT_EQ(c.replies[static_cast<qsizetype>(i)].body, expected[i].second) << i;
  }
  EXPECT_EQ(c.replies[1].header("content-length"), QByteArray::number(bytes.size()));
  EXPECT_TRUE(c.closed);
  EXPECT_TRUE(c.after.isEmpty());
}

// The hall of fame leads to the game and a verified career's page to each of its races, in the
// table's own order; a site without the game shows neither and says at /play/ that it has none.
TEST(PlayLinks, TheHallOfFameLinksTheGameAndAVerifiedCareerEachOfItsRaces) {
  PlayFixture tree;
  LocalSite site(Db::SQLite, {}, {}, [&](SiteOptions& o) { o.playDirectory = tree.play; });
  EXPECT_TRUE(site.path("/karuden/")
                  .text()
                  .contains(QStringLiteral("<a href=\"/play/\">ブラウザで遊ぶ</a>")));

  const testing::Played career = testing::aSendingCareer(site);
  ASSERT_TRUE(career.sends);
  const std::string token = site.token();
  ASSERT_EQ(testing::upload(site, token, testing::packed(career.journal(token))).status, 200);
  ASSERT_EQ(site.get(testing::entryOf(career, token, site.base())).status, 200);
  Story story;
  ASSERT_TRUE(tellCareer(career.journal(token), &story));
  ASSERT_GT(story.races.size(), 1u);

  const QString page = site.path("/karuden/uma?n=1").text();
  const QString table = page.section(QStringLiteral("<table class=\"races\">"), 1)
                            .section(QStringLiteral("<tbody>"), 1)
                            .section(QStringLiteral("</tbody>"), 0, 0);
  const QStringList rows = table.split(QStringLiteral("</tr>"), Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), static_cast<qsizetype>(story.races.size()));
  EXPECT_EQ(page.count(QStringLiteral("このレースを見る")), rows.size());
  for (qsizetype k = 0; k < rows.size(); ++k) {
    const RaceLine& race = story.races[static_cast<size_t>(k)];
    EXPECT_TRUE(rows[k].contains(
        QStringLiteral("<a href=\"/play/?n=1&amp;race=%1\">このレースを見る</a>").arg(k + 1)))
        << rows[k].toStdString();
    EXPECT_TRUE(rows[k].contains(QString::fromStdString(race.raceName))) << k;
    EXPECT_TRUE(rows[k].contains(QStringLiteral(">%1着<").arg(race.place))) << k;
  }

  // The same database served by a site without the game.
  SiteOptions options;
  options.databasePath = site.database.address;
  Site bare(options);
  QString error;
  ASSERT_TRUE(bare.start(QHostAddress::LocalHost, 0, &error)) << error.toStdString();
  EXPECT_FALSE(bare.playable());
  const std::string base = bare.baseUrl().toStdString();
  EXPECT_FALSE(site.get(base + "/karuden/").text().contains(QStringLiteral("/play/")));
  const QString told = site.get(base + "/karuden/uma?n=1").text();
  EXPECT_TRUE(told.contains(QStringLiteral("全レース")));
  EXPECT_FALSE(told.contains(QStringLiteral("このレースを見る")));
  const Answer none = site.get(base + "/play/");
  EXPECT_EQ(none.status, 404);
  EXPECT_TRUE(none.text().contains(QStringLiteral("ブラウザで遊ぶミルカダービーが入っていません")));
}

// milka-site serves the tree --play names, and will not start on one that is not a tree of the
// game rather than serve something else.
TEST(PlayTree, MilkaSiteServesTheTreeItIsGivenAndRefusesOneThatIsNone) {
  PlayFixture tree;
  QTemporaryDir db;
  const QString database = db.filePath(QStringLiteral("site.sqlite"));
  const struct {
    const char* what;
    QString dir;
    bool serves;
  } cases[] = {
      {"the tree", tree.play, true},
      {"a directory without an index", tree.path(QStringLiteral("icons")), false},
      {"nothing there", tree.path(QStringLiteral("missing")), false},
  };
  for (const auto& c : cases) {
    testing::SiteProcess process(database, 0, {QStringLiteral("--play"), c.dir});
    EXPECT_EQ(!process.base.empty(), c.serves) << c.what;
    if (!c.serves) {
      EXPECT_EQ(process.process.state(), QProcess::NotRunning) << c.what;
      EXPECT_NE(process.process.exitCode(), 0) << c.what;
      continue;
    }
    const Conversation talk = converse(process.port, {request("GET /play/")});
    ASSERT_EQ(talk.replies.size(), 1) << c.what;
    EXPECT_EQ(talk.replies[0].status, 200) << c.what;
    EXPECT_EQ(talk.replies[0].body, tree.files["index.html"]) << c.what;
  }
}

}  // namespace
}  // namespace milka::site
