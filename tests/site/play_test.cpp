// The browser game at /play/: its tree's files come back whole with their types, the index
// revalidated every time and the hashed files kept for good, gzipped when the browser takes it,
// and nothing outside the tree, hidden or linked out of it, ever; the pages link the game and
// each race of a verified career; milka-site serves the tree --play names.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <vector>

#include "play_fixture.h"
#include "proved_career.h"
#include "site_process.h"

namespace milka::site {
namespace {

using testing::Db;
using testing::LocalSite;
using testing::PlayFixture;

struct Reply {
  int status = 0;
  QByteArray head;  // each line between \r\n
  QByteArray body;
  QByteArray lower() const { return head.toLower(); }
  QByteArray header(const QByteArray& name) const {  // name in lower case
    const qsizetype at = lower().indexOf("\r\n" + name + ": ");
    return at < 0 ? QByteArray() : head.mid(at + name.size() + 4).split('\r').front();
  }
};

// Sends requests down one connection at once and reads an answer to each as HTTP frames it (no
// body after a HEAD's answer or a 304); after holds whatever came beyond the last answer, and
// closed whether the site closed the connection, as it must after one asking for that.
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
  const auto readAnswers = [&] {
    for (in += socket.readAll(); c.replies.size() < requests.size();) {
      const qsizetype end = in.indexOf("\r\n\r\n");
      if (end < 0) return false;
      Reply r{in.mid(9, 3).toInt(), in.left(end + 2), {}};
      const bool bodiless = requests[c.replies.size()].startsWith("HEAD ") || r.status == 304;
      const qint64 length = bodiless ? 0 : r.header("content-length").toLongLong();
      if (in.size() < end + 4 + length) return false;
      r.body = in.mid(end + 4, length);
      in.remove(0, end + 4 + length);
      c.replies.append(r);
    }
    return true;
  };
  (void)QTest::qWaitFor(readAnswers, 10000);
  c.closed = QTest::qWaitFor(
      [&] { return (in += socket.readAll(), socket.state() == QAbstractSocket::UnconnectedState); },
      5000);
  c.after = in;
  return c;
}

QByteArray request(const QByteArray& lineAndHeaders) {
  const qsizetype line = lineAndHeaders.indexOf("\r\n");
  return lineAndHeaders.left(line < 0 ? lineAndHeaders.size() : line) + " HTTP/1.1\r\nHost: x\r\n" +
         (line < 0 ? QByteArray() : lineAndHeaders.mid(line + 2)) + "Connection: close\r\n\r\n";
}

struct PlayCase {
  const char* what;
  QByteArray request;  // the request line's method and target, then header lines
  int status;
  const char* file;  // the fixture file whose bytes come back ("" none); null: not looked at
  QByteArrayList has, lacks;  // header lines, in lower case; header names
};

TEST(PlayTree, EveryFileComesWithItsTypeCachingAndEncodingAndNothingOutsideTheTreeDoes) {
  PlayFixture tree;
  LocalSite site(Db::SQLite, {}, {}, [&](SiteOptions& o) { o.playDirectory = tree.play; });
  const auto once = [&](const QByteArray& r) {
    return converse(site.site->port(), {request(r)}).replies.value(0);
  };
  const QByteArray script = "GET /play/main.9a8b7c6d5e4f.js",
                   module = "/play/milka.3f2a9c0d1e4b.wasm";
  const QByteArray gzip = "\r\nAccept-Encoding: gzip, deflate, br\r\n";
  const QByteArray indexTag = once("GET /play/").header("etag"),
                   scriptGzTag = once(script + gzip).header("etag");
  const QByteArray indexDate = once("GET /play/").header("last-modified");
  ASSERT_FALSE(indexTag.isEmpty() || indexDate.isEmpty());
  ASSERT_NE(scriptGzTag, once(script).header("etag")) << "each encoding has a tag of its own";
  const QByteArray html = "content-type: text/html; charset=utf-8",
                   js = "content-type: text/javascript; charset=utf-8";
  const QByteArray fresh = "cache-control: no-cache",
                   forGood = "cache-control: public, max-age=31536000, immutable";
  const QByteArray varies = "vary: accept-encoding", zipped = "content-encoding: gzip";
  const QByteArray moduleLength =
      "content-length: " + QByteArray::number(tree.files[PlayFixture::kModule].size());
  const std::vector<PlayCase> cases = {
      {"the index at the folder",
       "GET /play/",
       200,
       "index.html",
       {html, fresh, varies},
       {"content-encoding"}},
      {"the index by its name", "GET /play/index.html", 200, "index.html", {html, fresh}, {}},
      {"the index asked to show a race", "GET /play/?n=3&race=2", 200, "index.html", {fresh}, {}},
      {"the index gzipped", "GET /play/" + gzip, 200, "index.html.gz", {html, zipped, varies}, {}},
      {"a hashed script",
       script,
       200,
       PlayFixture::kScript,
       {js, forGood, varies},
       {"content-encoding"}},
      {"a hashed script gzipped",
       script + gzip,
       200,
       "main.9a8b7c6d5e4f.js.gz",
       {js, forGood, zipped, varies},
       {}},
      {"gzip refused",
       script + "\r\nAccept-Encoding: gzip;q=0, deflate\r\n",
       200,
       PlayFixture::kScript,
       {varies},
       {"content-encoding"}},
      {"gzip asked in lower case, as a proxy from HTTP/2 sends it",
       script + "\r\naccept-encoding: GZIP\r\n",
       200,
       "main.9a8b7c6d5e4f.js.gz",
       {zipped},
       {}},
      {"gzip among any coding",
       script + "\r\nAccept-Encoding: *\r\n",
       200,
       "main.9a8b7c6d5e4f.js.gz",
       {zipped},
       {}},
      {"the module",
       "GET " + module,
       200,
       PlayFixture::kModule,
       {"content-type: application/wasm", forGood, moduleLength},
       {"content-encoding"}},
      {"the module gzipped",
       "GET " + module + gzip,
       200,
       "milka.3f2a9c0d1e4b.wasm.gz",
       {"content-type: application/wasm", zipped, varies},
       {}},
      {"a stylesheet without a twin",
       "GET /play/style.0123456789ab.css" + gzip,
       200,
       "style.0123456789ab.css",
       {"content-type: text/css; charset=utf-8", forGood},
       {"content-encoding", "vary"}},
      {"the manifest",
       "GET /play/manifest.webmanifest",
       200,
       "manifest.webmanifest",
       {"content-type: application/manifest+json", fresh},
       {}},
      {"the manifest under its hashed name",
       "GET /play/manifest.0f1e2d3c4b5a.webmanifest",
       200,
       "manifest.0f1e2d3c4b5a.webmanifest",
       {"content-type: application/manifest+json", forGood},
       {}},
      {"the service worker, at its one address, asked after on every visit",
       "GET /play/sw.js",
       200,
       "sw.js",
       {js, fresh, varies},
       {"content-encoding"}},
      {"the service worker gzipped",
       "GET /play/sw.js" + gzip,
       200,
       "sw.js.gz",
       {js, fresh, zipped, varies},
       {}},
      {"a picture in a folder",
       "GET /play/icons/icon.aabbccddeeff.png",
       200,
       "icons/icon.aabbccddeeff.png",
       {"content-type: image/png", forGood},
       {}},
      {"a drawing",
       "GET /play/logo.svg",
       200,
       "logo.svg",
       {"content-type: image/svg+xml", fresh},
       {}},
      {"a table",
       "GET /play/levels.json",
       200,
       "levels.json",
       {"content-type: application/json", fresh},
       {}},
      {"a link within the tree",
       "GET /play/link-in.js",
       200,
       PlayFixture::kScript,
       {js, fresh},
       {}},
      {"HEAD of the module",
       "HEAD " + module,
       200,
       "",
       {"content-type: application/wasm", moduleLength},
       {}},
      {"revalidated by its tag",
       "GET /play/\r\nIf-None-Match: " + indexTag + "\r\n",
       304,
       "",
       {"etag: " + indexTag.toLower(), fresh, varies},
       {"content-length", "content-type"}},
      {"revalidated in lower case",
       "GET /play/\r\nif-none-match: " + indexTag + "\r\n",
       304,
       "",
       {},
       {}},
      {"revalidated by a weak tag among others",
       "GET /play/\r\nIf-None-Match: \"x\", W/" + indexTag + "\r\n",
       304,
       "",
       {},
       {}},
      {"revalidated gzipped",
       script + gzip + "If-None-Match: " + scriptGzTag + "\r\n",
       304,
       "",
       {forGood, varies},
       {}},
      {"revalidated by its date",
       "GET /play/\r\nIf-Modified-Since: " + indexDate + "\r\n",
       304,
       "",
       {},
       {}},
      {"a stale tag", "GET /play/\r\nIf-None-Match: \"old\"\r\n", 200, "index.html", {}, {}},
      {"the gzipped answer's tag for the plain one",
       script + "\r\nIf-None-Match: " + scriptGzTag + "\r\n",
       200,
       PlayFixture::kScript,
       {},
       {}},
      {"a date long before the file",
       "GET /play/\r\nIf-Modified-Since: Thu, 01 Jan 1970 00:00:00 GMT\r\n",
       200,
       "index.html",
       {},
       {}},
      {"a date that is none",
       "GET /play/\r\nIf-Modified-Since: yesterday\r\n",
       200,
       "index.html",
       {},
       {}},
      {"the folder without its slash",
       "GET /play?n=1&race=2",
       302,
       nullptr,
       {"location: /play/?n=1&race=2"},
       {}},
      {"the calendar under its own policy",
       "GET /karuden/",
       200,
       nullptr,
       {"cache-control: no-store"},
       {}},
  };
  for (const PlayCase& c : cases) {
    const Conversation talk = converse(site.site->port(), {request(c.request)});
    ASSERT_EQ(talk.replies.size(), 1) << c.what;
    const Reply& r = talk.replies[0];
    EXPECT_EQ(r.status, c.status) << c.what;
    if (c.file) {
      EXPECT_EQ(r.body, tree.files.value(QString::fromLatin1(c.file))) << c.what;
    }
    for (const QByteArray& line : c.has)
      EXPECT_TRUE(r.lower().contains("\r\n" + line + "\r\n")) << c.what << " lacks " << line.data();
    for (const QByteArray& name : c.lacks)
      EXPECT_FALSE(r.lower().contains("\r\n" + name + ":")) << c.what << " has " << name.data();
    // Only the game's own answers may compile WebAssembly.
    const bool game = c.request.contains(" /play/") && r.status != 404;
    EXPECT_EQ(r.header("content-security-policy").contains("'wasm-unsafe-eval'"), game) << c.what;
    // And only they may have a manifest and a worker, each from this site alone.
    EXPECT_EQ(r.header("content-security-policy").contains("manifest-src 'self';") &&
                  r.header("content-security-policy").contains("worker-src 'self';"),
              game)
        << c.what;
    EXPECT_EQ(r.header("x-content-type-options"), "nosniff") << c.what;
    EXPECT_EQ(r.lower().count("content-length:"), c.status == 304 ? 0 : 1) << c.what;
    // Framed as HTTP frames it: nothing after the answer, and the connection closed once it is out.
    EXPECT_TRUE(talk.closed && talk.after.isEmpty()) << c.what;
  }

  // Whatever names nothing in the tree, hidden, linked out of it or a way out of it, gets the
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
    EXPECT_TRUE(QString::fromUtf8(r.body).contains(QStringLiteral("ページが見つかりません")))
        << target;
    EXPECT_FALSE(r.header("content-security-policy").contains("wasm")) << target;
  }
}

// The door frames what it passes by HTTP's rules: a large answer, a HEAD's answer that states
// its GET's length without a body, and a 304 follow one another on one connection, each whole.
TEST(PlayTree, LargeAnswersHeadsAndRevalidationsShareOneConnection) {
  PlayFixture tree;
  LocalSite site(Db::SQLite, {}, {}, [&](SiteOptions& o) { o.playDirectory = tree.play; });
  const QByteArray get = "GET /play/milka.3f2a9c0d1e4b.wasm HTTP/1.1\r\nHost: x\r\n\r\n";
  const QByteArray head = "HEAD /play/milka.3f2a9c0d1e4b.wasm HTTP/1.1\r\nHost: x\r\n\r\n";
  const QByteArray tag =
      converse(site.site->port(), {request("GET /play/")}).replies.value(0).header("etag");
  const Conversation c = converse(
      site.site->port(), {get, head, "GET /play/ HTTP/1.1\r\nIf-None-Match: " + tag + "\r\n\r\n",
                          head, request("GET /play/milka.3f2a9c0d1e4b.wasm")});
  ASSERT_EQ(c.replies.size(), 5);
  const QByteArray bytes = tree.files[PlayFixture::kModule];
  const std::vector<std::pair<int, QByteArray>> expected = {
      {200, bytes}, {200, {}}, {304, {}}, {200, {}}, {200, bytes}};
  for (qsizetype i = 0; i < c.replies.size(); ++i) {
    EXPECT_EQ(c.replies[i].status, expected[static_cast<size_t>(i)].first) << i;
    EXPECT_EQ(c.replies[i].body, expected[static_cast<size_t>(i)].second) << i;
  }
  EXPECT_EQ(c.replies[1].header("content-length"), QByteArray::number(bytes.size()));
  EXPECT_TRUE(c.closed && c.after.isEmpty());
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
  const std::string token = site.token();
  ASSERT_EQ(testing::upload(site, token, testing::packed(career.journal(token))).status, 200);
  ASSERT_EQ(site.get(testing::entryOf(career, token, site.base())).status, 200);
  Story story;
  ASSERT_TRUE(tellCareer(career.journal(token), &story));
  ASSERT_GT(story.races.size(), 1u);

  const QString page = site.path("/karuden/uma?n=1").text();
  const QStringList rows = page.section(QStringLiteral("<table class=\"races\">"), 1)
                               .section(QStringLiteral("<tbody>"), 1)
                               .section(QStringLiteral("</tbody>"), 0, 0)
                               .split(QStringLiteral("</tr>"), Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), static_cast<qsizetype>(story.races.size()));
  EXPECT_EQ(page.count(QStringLiteral("このレースを見る")), rows.size());
  for (qsizetype k = 0; k < rows.size(); ++k) {
    const RaceLine& race = story.races[static_cast<size_t>(k)];
    EXPECT_TRUE(rows[k].contains(
        QStringLiteral("<a href=\"/play/?n=1&amp;race=%1\">このレースを見る</a>").arg(k + 1)))
        << rows[k].toStdString();
    EXPECT_TRUE(rows[k].contains(QString::fromStdString(race.raceName)) &&
                rows[k].contains(QStringLiteral(">%1着<").arg(race.place)))
        << k;
  }

  // The same database, served by a site without the game.
  SiteOptions options;
  options.databasePath = site.database.address;
  Site bare(options);
  QString error;
  ASSERT_TRUE(bare.start(QHostAddress::LocalHost, 0, &error)) << error.toStdString();
  const std::string base = bare.baseUrl().toStdString();
  EXPECT_FALSE(site.get(base + "/karuden/").text().contains(QStringLiteral("/play/")));
  const QString told = site.get(base + "/karuden/uma?n=1").text();
  EXPECT_TRUE(told.contains(QStringLiteral("全レース")));
  EXPECT_FALSE(told.contains(QStringLiteral("このレースを見る")));
  const testing::Answer none = site.get(base + "/play/");
  EXPECT_EQ(none.status, 404);
  EXPECT_TRUE(none.text().contains(QStringLiteral("ブラウザで遊ぶミルカダービーが入っていません")));
}

// milka-site serves the tree --play names, and will not start on one that is not a tree of the
// game rather than serve something else.
TEST(PlayTree, MilkaSiteServesTheTreeItIsGivenAndRefusesOneThatIsNone) {
  PlayFixture tree;
  const std::pair<QString, bool> cases[] = {{tree.play, true},
                                            {tree.path(QStringLiteral("icons")), false},
                                            {tree.path(QStringLiteral("missing")), false}};
  for (const auto& [dir, serves] : cases) {
    testing::SiteProcess process(tree.dir.filePath(QStringLiteral("site.sqlite")), 0,
                                 {QStringLiteral("--play"), dir});
    const Conversation talk =
        serves ? converse(process.port, {request("GET /play/")}) : Conversation();
    EXPECT_EQ(talk.replies.value(0).body, serves ? tree.files["index.html"] : QByteArray())
        << dir.toStdString();
    const bool refused =
        process.process.state() == QProcess::NotRunning && process.process.exitCode() != 0;
    EXPECT_EQ(refused, !serves) << dir.toStdString();
  }
}

}  // namespace
}  // namespace milka::site
