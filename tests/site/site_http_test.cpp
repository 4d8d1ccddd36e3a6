// The site over real HTTP: pdf.php's tokens, the entry the game sends to vbvb55.php, its place
// in the hall of fame, and every kind of query the game could never have sent, which must get
// a 400 page in Japanese and leave the database as it was.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTcpSocket>
#include <vector>

#include "site/pages.h"
#include "site_harness.h"

namespace milka::site {
namespace {

using testing::Answer;
using testing::Db;
using testing::LocalSite;

class SiteTokens : public testing::OnBothDatabases {};
class SiteEntry : public testing::OnBothDatabases {};
class SitePages : public testing::OnBothDatabases {};
MILKA_ON_BOTH_DATABASES(SiteTokens);
MILKA_ON_BOTH_DATABASES(SiteEntry);
MILKA_ON_BOTH_DATABASES(SitePages);

constexpr std::array<int32_t, 9> kOnlyDerby = {0, 0, 97, 0, 0, 0, 0, 0, 0};

TEST_P(SiteTokens, EachIsFreshFromTheUrlSafeAlphabetAndAloneInTheAnswer) {
  LocalSite s(GetParam());
  const QRegularExpression shape(QStringLiteral("^[A-HJ-NP-Z2-9]{10}$"));
  QSet<QByteArray> seen;
  for (int i = 0; i < 20; ++i) {
    const Answer a = s.path("/pdf.php");
    EXPECT_EQ(a.status, 200);
    EXPECT_TRUE(shape.match(a.text()).hasMatch()) << a.body.constData();
    seen.insert(a.body);
  }
  EXPECT_EQ(seen.size(), 20);
}

TEST_P(SiteEntry, TheGamesQueryIsStoredAndRankedInTheHallOfFame) {
  LocalSite s(GetParam());
  Answer first = s.get(s.entryUrl(s.token(), "abc", kOnlyDerby));
  ASSERT_EQ(first.status, 200) << first.text().toStdString();
  EXPECT_TRUE(first.text().contains(QStringLiteral("成績を登録しました")));
  EXPECT_TRUE(first.text().contains(QStringLiteral("abc")));
  EXPECT_TRUE(first.text().contains(QStringLiteral("97秒")));
  // Sent without a journal: stored and listed, marked unverified, never ranked.
  EXPECT_TRUE(first.text().contains(QStringLiteral("未検証</span>")));
  EXPECT_FALSE(first.text().contains(QStringLiteral("1位 <span")));
  EXPECT_TRUE(
      s.path("/karuden/").text().contains(QStringLiteral(">abc</a><span class=\"unverified\"")));
  ASSERT_EQ(s.stored(), 1);

  // Verified, a faster derby, with arrows in the name, goes above it; a slower one below.
  s.markVerified();
  EXPECT_TRUE(s.path("/karuden/uma?n=1")
                  .text()
                  .contains(QStringLiteral("1位 <span class=\"note\">（1頭中）")));
  Answer second = s.get(s.entryUrl(s.token(), "←↑ab", {0, 0, 90, 0, 0, 0, 0, 0, 120}));
  ASSERT_EQ(second.status, 200);
  EXPECT_TRUE(second.text().contains(QStringLiteral("←↑ab")));
  Answer third = s.get(s.entryUrl(s.token(), "zz", {0, 0, 99, 0, 0, 0, 0, 0, 0}));
  ASSERT_EQ(s.stored(), 3);
  s.markVerified();
  EXPECT_TRUE(s.path("/karuden/uma?n=2")
                  .text()
                  .contains(QStringLiteral("1位 <span class=\"note\">（3頭中）")));
  EXPECT_TRUE(s.path("/karuden/uma?n=3")
                  .text()
                  .contains(QStringLiteral("3位 <span class=\"note\">（3頭中）")));

  const Career stored = *s.site->store().career(1);
  EXPECT_EQ(stored.name, QStringLiteral("abc"));
  EXPECT_EQ(stored.times, kOnlyDerby);
  EXPECT_EQ(stored.enteredAt, s.clock);

  // The first entry's own page now places it second.
  const Answer page = s.path("/karuden/uma?n=1");
  EXPECT_EQ(page.status, 200);
  EXPECT_TRUE(page.text().contains(QStringLiteral("2位 <span class=\"note\">（3頭中）")));

  // On the top page the derby's board lists them fastest first.
  const QString top = s.path("/karuden/").text();
  const qsizetype derby = top.indexOf(QStringLiteral("6月　ミルカダービー"));
  ASSERT_GE(derby, 0);
  const qsizetype a = top.indexOf(QStringLiteral(">←↑ab<"), derby);
  const qsizetype b = top.indexOf(QStringLiteral(">abc<"), derby);
  const qsizetype c = top.indexOf(QStringLiteral(">zz<"), derby);
  EXPECT_TRUE(a > 0 && a < b && b < c) << a << " " << b << " " << c;
}

struct BadQuery {
  const char* kind;
  std::string (*query)(LocalSite&);  // the whole address
  const char* says;                  // part of the Japanese message
};

std::string withToken(LocalSite& s, const std::string& rest) {
  return s.base() + "/vbvb55.php?" + s.token() + rest;
}

const std::vector<BadQuery> kBadQueries = {
    {"no token", [](LocalSite& s) { return s.entryUrl("", "abc", kOnlyDerby); },
     "受付番号がありません"},
    {"unknown token", [](LocalSite& s) { return s.entryUrl("ABCDEFGHJK", "abc", kOnlyDerby); },
     "発行されていません"},
    {"short token",
     [](LocalSite& s) { return s.entryUrl(s.token().substr(0, 9), "abc", kOnlyDerby); },
     "受付番号がありません"},
    {"name of one symbol", [](LocalSite& s) { return s.entryUrl(s.token(), "a", kOnlyDerby); },
     "馬名"},
    {"name of thirteen",
     [](LocalSite& s) { return s.entryUrl(s.token(), "abcdefghijklm", kOnlyDerby); }, "馬名"},
    {"name with a digit", [](LocalSite& s) { return s.entryUrl(s.token(), "ab1", kOnlyDerby); },
     "馬名"},
    {"name in kana", [](LocalSite& s) { return s.entryUrl(s.token(), "ミルカ", kOnlyDerby); },
     "馬名"},
    {"name with markup", [](LocalSite& s) { return s.entryUrl(s.token(), "<b>x</b>", kOnlyDerby); },
     "馬名"},
    {"eight times", [](LocalSite& s) { return withToken(s, "abc>0>0>97>0>0>0>0>0"); }, "９レース"},
    {"ten times", [](LocalSite& s) { return withToken(s, "abc>0>0>97>0>0>0>0>0>0>0"); },
     "９レース"},
    {"encoded separators, ten",
     [](LocalSite& s) { return withToken(s, "abc%3E0%3E0%3E97%3E0%3E0%3E0%3E0%3E0%3E0%3E0"); },
     "９レース"},
    {"a time of 10000", [](LocalSite& s) { return withToken(s, "abc>0>0>10000>0>0>0>0>0>0"); },
     "0〜9999"},
    {"letters for a time", [](LocalSite& s) { return withToken(s, "abc>0>0>9a>0>0>0>0>0>0"); },
     "0〜9999"},
    {"a negative time", [](LocalSite& s) { return withToken(s, "abc>0>0>-1>0>0>0>0>0>0"); },
     "0〜9999"},
    {"an empty time", [](LocalSite& s) { return withToken(s, "abc>0>0>>0>0>0>0>0>0"); }, "0〜9999"},
    {"a spaced time", [](LocalSite& s) { return withToken(s, "abc>0>0>%2097>0>0>0>0>0>0"); },
     "0〜9999"},
    {"bytes that are not UTF-8",
     [](LocalSite& s) { return withToken(s, "ab%FF>0>0>97>0>0>0>0>0>0"); }, "読めません"},
    {"no query at all", [](LocalSite& s) { return s.base() + "/vbvb55.php"; },
     "受付番号がありません"},
    {"a 2 KB query",
     [](LocalSite& s) { return withToken(s, "abc>0>0>97>0>0>0>0>0>0&" + std::string(2000, 'x')); },
     "長すぎます"},
    {"a 100 KB query",
     [](LocalSite& s) {
       return withToken(s, "abc>0>0>97>0>0>0>0>0>0&" + std::string(100 * 1024, 'x'));
     },
     "受け付けられない"},
    {"an expired token",
     [](LocalSite& s) {
       const std::string token = s.token();
       s.clock += 10 * 60 + 1;
       return s.entryUrl(token, "abc", kOnlyDerby);
     },
     "有効期限"},
};

TEST_P(SiteEntry, EveryKindOfBadQueryGets400InJapaneseAndStoresNothing) {
  LocalSite s(GetParam());
  for (const BadQuery& bad : kBadQueries) {
    const Answer a = s.get(bad.query(s));
    EXPECT_EQ(a.status, 400) << bad.kind;
    EXPECT_TRUE(a.text().contains(QString::fromUtf8(bad.says)))
        << bad.kind << ": " << a.text().toStdString();
    EXPECT_TRUE(a.text().contains(QStringLiteral("<html lang=\"ja\">"))) << bad.kind;
    EXPECT_EQ(s.stored(), 0) << bad.kind;
  }
}

TEST_P(SiteEntry, ARefusedQueryLeavesItsTokenUnused) {
  LocalSite s(GetParam());
  const std::string token = s.token();
  EXPECT_EQ(s.get(s.entryUrl(token, "a", kOnlyDerby)).status, 400);
  EXPECT_EQ(s.get(s.entryUrl(token, "abc", kOnlyDerby)).status, 200);
  EXPECT_EQ(s.stored(), 1);
}

TEST_P(SiteEntry, ATokenUsedTwiceStoresOnce) {
  LocalSite s(GetParam());
  const std::string url = s.entryUrl(s.token(), "abc", kOnlyDerby);
  EXPECT_EQ(s.get(url).status, 200);
  const Answer again = s.get(url);
  EXPECT_EQ(again.status, 400);
  EXPECT_TRUE(again.text().contains(QStringLiteral("もう使われています")));
  // Also with another name and other times: the token, not the record, is what counts.
  EXPECT_EQ(s.get(url.substr(0, url.find("abc")) + "xyz>1>1>1>1>1>1>1>1>1").status, 400);
  EXPECT_EQ(s.stored(), 1);
}

TEST_P(SiteEntry, APostGets400AndStoresNothing) {
  LocalSite s(GetParam());
  const QByteArray url = QByteArray::fromStdString(s.entryUrl(s.token(), "abc", kOnlyDerby));
  const Answer a = s.send(url, "abc>0>0>97>0>0>0>0>0>0", true);
  EXPECT_EQ(a.status, 400);
  EXPECT_TRUE(a.text().contains(QStringLiteral("GET")));
  EXPECT_EQ(s.stored(), 0);
  // pdf.php hands out no token to a POST either.
  EXPECT_EQ(s.send(QByteArray::fromStdString(s.base() + "/pdf.php"), "", true).status, 400);
}

TEST_P(SiteEntry, AHundredEntriesAtOnceAreEachStoredExactlyOnce) {
  LocalSite s(GetParam());
  std::vector<std::string> urls;
  for (int i = 0; i < 100; ++i) {
    std::string name = "h";
    for (int d = i; d > 0 || name.size() < 3; d /= 26) name += static_cast<char>('a' + d % 26);
    urls.push_back(s.entryUrl(s.token(), name, {0, 0, 60 + i, 0, 0, 0, 0, 0, 0}));
  }
  // Every entry twice, all in flight together, over several connections.
  std::vector<QNetworkReply*> replies;
  for (int round = 0; round < 2; ++round)
    for (const std::string& url : urls)
      replies.push_back(
          s.client.get(QNetworkRequest(QUrl::fromEncoded(QByteArray::fromStdString(url)))));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return std::all_of(replies.begin(), replies.end(),
                           [](QNetworkReply* r) { return r->isFinished(); });
      },
      60000));
  int ok = 0, refused = 0;
  for (QNetworkReply* r : replies) {
    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    ok += status == 200;
    refused += status == 400;
    r->deleteLater();
  }
  EXPECT_EQ(ok, 100);
  EXPECT_EQ(refused, 100);
  EXPECT_EQ(s.stored(), 100);
  s.markVerified();
  // Ranked by time: the first entry (60 s) leads the derby, the last (159 s) is hundredth.
  EXPECT_EQ(s.site->store().fastest(2, 1).value(0).times[2], 60);
  EXPECT_EQ(s.site->store().place(2, 159), 100);
}

TEST_P(SitePages, TheTopPageAndTheEntryPagesAnswerAndUnknownOnesAre404) {
  LocalSite s(GetParam());
  EXPECT_EQ(s.path("/karuden/").status, 200);
  EXPECT_EQ(s.path("/karuden/?page=99").status, 200);
  EXPECT_EQ(s.path("/karuden/?page=x%3Cscript%3E").status, 200);
  EXPECT_EQ(s.path("/karuden/uma?n=1").status, 404);
  EXPECT_EQ(s.path("/karuden/uma?n=abc").status, 404);
  const Answer missing = s.path("/etc/passwd");
  EXPECT_EQ(missing.status, 404);
  EXPECT_TRUE(missing.text().contains(QStringLiteral("ページが見つかりません")));
  EXPECT_EQ(s.path("/karuden/../../etc/passwd").status, 404);
  // The site's root and the calendar without its slash lead to the calendar.
  for (const char* path : {"/", "/karuden"}) {
    QNetworkRequest request(QUrl::fromEncoded(QByteArray::fromStdString(s.base() + path)));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = s.client.get(request);
    ASSERT_TRUE(QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 302) << path;
    EXPECT_EQ(reply->rawHeader("Location"), "/karuden/") << path;
    delete reply;
  }
}

// Another process holding the tokens' write lock holds up the token it makes wait, and nothing
// else: the calendar is served meanwhile, and the token comes once the lock is let go.
TEST_P(SitePages, ALockedWriteHoldsUpOnlyTheRequestThatWrites) {
  LocalSite s(GetParam());
  const bool postgres = GetParam() == Db::PostgreSQL;
  QSqlDatabase other = testing::openDirect(s.database.address, QStringLiteral("locker"));
  QSqlQuery lock(other);
  ASSERT_TRUE(lock.exec(postgres ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")));
  if (postgres) {
    ASSERT_TRUE(lock.exec(QStringLiteral("LOCK TABLE tokens IN EXCLUSIVE MODE")));
  }
  QNetworkReply* token =
      s.client.get(QNetworkRequest(QUrl(QString::fromStdString(s.base() + "/pdf.php"))));
  QTest::qWait(200);
  const testing::Answer page = s.path("/karuden/");
  EXPECT_EQ(page.status, 200);
  EXPECT_FALSE(token->isFinished()) << "the token waits for the lock";
  ASSERT_TRUE(lock.exec(QStringLiteral("COMMIT")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return token->isFinished(); }, 10000));
  EXPECT_EQ(token->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
  token->deleteLater();
  lock = QSqlQuery();
  other = QSqlDatabase();
  QSqlDatabase::removeDatabase(QStringLiteral("locker"));
}

TEST_P(SitePages, TheCareerListPagesFiftyAtATimeNewestFirst) {
  LocalSite s(GetParam());
  for (int i = 0; i < kCareersPerPage + 3; ++i) {
    std::string name = "n";
    for (int d = i; d > 0 || name.size() < 3; d /= 26) name += static_cast<char>('a' + d % 26);
    ASSERT_EQ(s.get(s.entryUrl(s.token(), name, {0, 0, 0, 0, 0, 0, 0, 0, 0})).status, 200);
  }
  const QString first = s.path("/karuden/").text();
  EXPECT_TRUE(first.contains(QStringLiteral("1 / 2ページ")));
  EXPECT_TRUE(first.contains(QStringLiteral("uma?n=53\"")));
  EXPECT_FALSE(first.contains(QStringLiteral("uma?n=3\"")));
  const QString second = s.path("/karuden/?page=2").text();
  EXPECT_TRUE(second.contains(QStringLiteral("2 / 2ページ")));
  EXPECT_TRUE(second.contains(QStringLiteral("uma?n=3\"")));
  EXPECT_FALSE(second.contains(QStringLiteral("uma?n=4\"")));
}

// Raw requests straight onto the socket: what the door in front of the server refuses.
QByteArray exchange(LocalSite& s, const QByteArray& request) {
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, s.site->port());
  if (!socket.waitForConnected(5000)) return {};
  socket.write(request);
  QByteArray answer;
  const bool ended = QTest::qWaitFor(
      [&] {
        answer += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState || answer.contains("</html>");
      },
      5000);
  return ended ? answer : QByteArray();
}

TEST(SiteDoor, MalformedOrOversizedRequestsAre400) {
  LocalSite s;
  const QByteArray host = "Host: 127.0.0.1\r\n";
  const std::vector<std::pair<const char*, QByteArray>> cases = {
      {"POST", "POST /pdf.php HTTP/1.1\r\n" + host + "Content-Length: 3\r\n\r\nabc"},
      {"PUT", "PUT /karuden/ HTTP/1.1\r\n" + host + "\r\n"},
      {"a GET with a body", "GET /pdf.php HTTP/1.1\r\n" + host + "Content-Length: 5\r\n\r\nhello"},
      {"a chunked GET",
       "GET /pdf.php HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n"},
      {"an absolute target", "GET http://x/pdf.php HTTP/1.1\r\n" + host + "\r\n"},
      {"not HTTP", "GET /pdf.php SPDY/3\r\n" + host + "\r\n"},
      {"garbage", QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 16)},
      {"a 20 KB header",
       "GET /karuden/ HTTP/1.1\r\n" + host + "X-Fill: " + QByteArray(20 * 1024, 'y') + "\r\n\r\n"},
      {"a head that never ends", "GET /karuden/ HTTP/1.1\r\n" + QByteArray(64 * 1024, 'z')},
      // The one body the site takes, a journal, only plain and of one stated length.
      {"a chunked journal", "POST /journal.php?A HTTP/1.1\r\n" + host +
                                "Transfer-Encoding: chunked\r\n\r\n1\r\nx\r\n0\r\n\r\n"},
      {"a journal of two lengths", "POST /journal.php?A HTTP/1.1\r\n" + host +
                                       "Content-Length: 1\r\nContent-Length: 1\r\n\r\nx"},
      {"a gzipped journal", "POST /journal.php?A HTTP/1.1\r\n" + host +
                                "Content-Encoding: gzip\r\nContent-Length: 1\r\n\r\nx"},
      {"an empty journal", "POST /journal.php?A HTTP/1.1\r\n" + host + "Content-Length: 0\r\n\r\n"},
  };
  for (const auto& [kind, request] : cases) {
    const QByteArray answer = exchange(s, request);
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 400 ")) << kind << ": " << answer.left(60).constData();
    EXPECT_TRUE(
        QString::fromUtf8(answer).contains(QStringLiteral("受け付けられないリクエストです")))
        << kind;
  }
  EXPECT_EQ(s.site->refusedAtTheDoor(), static_cast<int>(cases.size()));
  EXPECT_EQ(s.path("/karuden/").status, 200);
}

TEST(SiteDoor, EveryAnswerCarriesTheSameSecurityHeaders) {
  LocalSite s;
  for (const char* target : {"/karuden/", "/nowhere", "/vbvb55.php?x", "/karuden/uma?n=9"}) {
    const QByteArray answer =
        exchange(s, QByteArray("GET ") + target + " HTTP/1.1\r\nHost: x\r\n\r\n");
    const QByteArray head = answer.left(answer.indexOf("\r\n\r\n")).toLower();
    for (const char* header :
         {"content-security-policy: default-src 'none';", "x-content-type-options: nosniff",
          "referrer-policy: no-referrer", "cache-control: no-store"})
      EXPECT_TRUE(head.contains(header)) << target << " lacks " << header;
  }
}

TEST(SiteDoor, AClientThatNeverFinishesItsRequestIsCutOff) {
  RequestLimits limits;
  limits.requestMs = 300;
  LocalSite s(Db::SQLite, limits);
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, s.site->port());
  ASSERT_TRUE(socket.waitForConnected(5000));
  socket.write("GET /karuden/ HTTP/1.1\r\nHost: 127.0.0.1\r\n");
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000));
  EXPECT_EQ(s.path("/karuden/").status, 200);
}

// The whole answers in what came back, each framed by its Content-Length as the door frames them.
QList<QByteArray> answersIn(QByteArray in) {
  static const QRegularExpression length(QStringLiteral("\r\ncontent-length: *(\\d+)\r\n"),
                                         QRegularExpression::CaseInsensitiveOption);
  QList<QByteArray> out;
  for (qsizetype end = in.indexOf("\r\n\r\n"); end >= 0; end = in.indexOf("\r\n\r\n")) {
    const QRegularExpressionMatch m = length.match(QString::fromLatin1(in.left(end + 2)));
    const qsizetype whole = end + 4 + (m.hasMatch() ? m.captured(1).toLongLong() : 0);
    if (in.size() < whole) break;
    out << in.left(whole);
    in.remove(0, whole);
  }
  return out;
}

// Pipelined requests are answered in their order, however soon each answer is ready: a quick one
// behind a page from the database pool, behind a replay, or behind a token that another process's
// lock holds up, waits its turn. A request that ends the connection still ends it once answered,
// and the door's own refusal comes after the answers to what the server read before it.
TEST(SiteDoor, PipelinedGetsAreAllAnsweredInTheirOrder) {
  LocalSite s;
  const auto get = [](const char* target, const QByteArray& more = {}) {
    return "GET " + QByteArray(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + more + "\r\n";
  };
  const QByteArray top = get("/karuden/"), token = get("/pdf.php"), root = get("/"),
                   uma = get("/karuden/uma?n=7");
  const QByteArray journal = qCompress(QByteArray("not a journal"));
  const QByteArray upload = "POST /journal.php?ABCDEFGHJK HTTP/1.1\r\nContent-Length: " +
                            QByteArray::number(journal.size()) + "\r\n\r\n" + journal;
  // Each answer's status, then something its body says.
  const char *calendar = "200 レースカレンダー", *missing = "404 見つかりません", *moved = "302";
  const struct {
    const char* kind;
    QByteArray sent, then;  // then: sent once the server has taken what was sent first
    bool locked;  // tokens wait on another process's lock while the rest could overtake them
    std::vector<const char*> answers;
    bool closes = false;
  } cases[] = {
      {"pages through the pool",
       top + token + uma + token + top + uma,
       {},
       false,
       {calendar, "200", missing, "200", calendar, missing}},
      {"quick answers behind a page",
       top + root + get("/nowhere"),
       {},
       false,
       {calendar, moved, missing}},
      {"a quick answer behind a replay", upload + root, {}, false, {"400 壊れて", moved}},
      {"quick answers behind a held token",
       token + root + get("/nowhere") + "HEAD / HTTP/1.1\r\n\r\n" + top,
       {},
       true,
       {"200", moved, missing, moved, calendar}},
      {"the closing request behind a held token",
       token + get("/", "Connection: close\r\n") + top,
       {},
       true,
       {"200", moved},
       true},
      {"the door's refusal behind a held token",
       token,
       "PUT / HTTP/1.1\r\n\r\n",
       true,
       {"200", "400 受け付けられない"},
       true},
  };
  for (const auto& c : cases) {
    QSqlDatabase other = testing::openDirect(s.database.address, QStringLiteral("locker"));
    QSqlQuery lock(other);
    if (c.locked) {
      ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN IMMEDIATE"))) << c.kind;
    }
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, s.site->port());
    ASSERT_TRUE(socket.waitForConnected(5000)) << c.kind;
    socket.write(c.sent);
    if (!c.then.isEmpty()) {
      QTest::qWait(200);
      socket.write(c.then);
    }
    QByteArray in;
    const auto read = [&] { return !(in += socket.readAll()).isEmpty(); };
    if (c.locked) {
      // Time for the quick answers to overtake the token, were they let through.
      (void)QTest::qWaitFor(read, 300);
      EXPECT_TRUE(lock.exec(QStringLiteral("COMMIT"))) << c.kind;
    }
    const auto closed = [&] { return socket.state() == QAbstractSocket::UnconnectedState; };
    const auto done = [&] {
      return c.closes ? closed() : answersIn(in).size() >= std::ssize(c.answers);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return read() && done(); }, 5000)) << c.kind;
    const QList<QByteArray> got = answersIn(in);
    ASSERT_EQ(got.size(), std::ssize(c.answers)) << c.kind << ": " << in.left(300).constData();
    for (size_t k = 0; k < c.answers.size(); ++k) {
      const QList<QByteArray> want = QByteArray(c.answers[k]).split(' ');
      EXPECT_TRUE(got[k].startsWith("HTTP/1.1 " + want[0]) && got[k].contains(want.value(1)))
          << c.kind << ", answer " << k + 1 << ": " << got[k].left(12).constData();
    }
    const QByteArray last = got.back().left(got.back().indexOf("\r\n\r\n") + 2).toLower();
    EXPECT_EQ(last.contains("\r\nconnection: close\r\n"), c.closes) << c.kind;
    lock = QSqlQuery();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
  }
}

// One address cannot take the others' share: its connections past its cap are closed at once
// while another address is served, and a connection that pipelines requests without reading the
// answers is closed before they pile up.
TEST(SiteDoor, OneAddressHoldsOnlyItsShareAndUnreadAnswersAreCutOff) {
  RequestLimits limits;
  limits.connectionsPerAddress = 4;
  limits.unreadAnswerBytes = 64 * 1024;
  LocalSite s(Db::SQLite, limits);
  std::vector<std::unique_ptr<QTcpSocket>> idle;
  for (int k = 0; k < 6; ++k) {
    idle.push_back(std::make_unique<QTcpSocket>());
    idle.back()->connectToHost(QHostAddress::LocalHost, s.site->port());
    ASSERT_TRUE(idle.back()->waitForConnected(2000));
  }
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return idle[5]->state() == QAbstractSocket::UnconnectedState; }, 3000));
  EXPECT_EQ(idle[4]->state(), QAbstractSocket::UnconnectedState);
  EXPECT_EQ(idle[3]->state(), QAbstractSocket::ConnectedState);
  QTcpSocket other;
  other.bind(QHostAddress(QStringLiteral("127.0.0.2")));
  other.connectToHost(QHostAddress::LocalHost, s.site->port());
  ASSERT_TRUE(other.waitForConnected(2000));
  other.write("GET /karuden/ HTTP/1.1\r\nHost: x\r\n\r\n");
  QByteArray answer;
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return (answer += other.readAll()).contains("</html>"); }, 5000));
  EXPECT_TRUE(answer.startsWith("HTTP/1.1 200"));

  idle.clear();
  QTcpSocket greedy;
  greedy.setReadBufferSize(1);  // reads next to nothing of what comes back
  greedy.connectToHost(QHostAddress::LocalHost, s.site->port());
  ASSERT_TRUE(greedy.waitForConnected(2000));
  QByteArray many;
  for (int k = 0; k < 3000; ++k) many += "GET /karuden/ HTTP/1.1\r\nHost: x\r\n\r\n";
  greedy.write(many);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return greedy.state() == QAbstractSocket::UnconnectedState; }, 10000));
  EXPECT_EQ(s.path("/karuden/").status, 200);
}

// Tokens and seeds are rationed per client; behind a proxy named as trusted the client is the
// one it forwards for, and from anyone else the header counts for nothing. HEAD is GET without
// the body.
TEST(SiteDoor, TokensAndSeedsAreRationedPerClientAndHeadIsGetWithoutTheBody) {
  RequestLimits limits;
  limits.trustedProxies = {QHostAddress(QStringLiteral("127.0.0.1"))};
  LocalSite s(Db::SQLite, limits, {}, [](SiteOptions& o) { o.mintPerMinute = 3; });
  // The answer's head (and anything after it within a moment) to one request.
  const auto answer = [&](const QByteArray& request, const char* from = nullptr) {
    QTcpSocket socket;
    if (from) socket.bind(QHostAddress(QString::fromLatin1(from)));
    socket.connectToHost(QHostAddress::LocalHost, s.site->port());
    socket.waitForConnected(2000);
    socket.write(request);
    QByteArray in;
    (void)QTest::qWaitFor([&] { return (in += socket.readAll()).contains("\r\n\r\n"); }, 5000);
    QTest::qWait(50);
    return in + socket.readAll();
  };
  const auto ask = [&](const char* path, const QByteArray& client, const char* from = nullptr) {
    const QByteArray forwarded = "X-Forwarded-For: 10.9.9.9, " + client + "\r\n";
    return answer(QByteArray("GET ") + path + " HTTP/1.1\r\nHost: x\r\n" + forwarded + "\r\n", from)
        .mid(9, 3)
        .toInt();
  };
  EXPECT_EQ(ask("/pdf.php", "10.0.0.1"), 200);
  EXPECT_EQ(ask("/seed.php", "10.0.0.1"), 200);
  EXPECT_EQ(ask("/pdf.php", "10.0.0.1"), 200);
  EXPECT_EQ(ask("/seed.php", "10.0.0.1"), 429);
  EXPECT_EQ(ask("/pdf.php", "10.0.0.2"), 200) << "another client the proxy forwards for";
  // Not the proxy: its own address is the client, whatever it claims.
  for (int k = 0; k < 3; ++k) EXPECT_EQ(ask("/pdf.php", "10.0.0.3", "127.0.0.3"), 200);
  EXPECT_EQ(ask("/pdf.php", "10.0.0.4", "127.0.0.3"), 429);

  const QByteArray head = answer("HEAD /karuden/ HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_TRUE(head.startsWith("HTTP/1.1 200")) << head.left(40).constData();
  EXPECT_TRUE(head.toLower().contains("content-security-policy:"));
  EXPECT_TRUE(head.endsWith("\r\n\r\n")) << "no body";
}

// A request that ends its connection is its last: its answer says so and the connection closes
// once it is out, long before the site's idle time, and the token asked for after it is neither
// answered nor taken from the client's ration. Other requests leave the connection to the next.
TEST(SiteDoor, ARequestThatEndsItsConnectionIsAnsweredThenTheConnectionCloses) {
  RequestLimits limits;
  limits.requestMs = 15000;
  const struct {
    const char* kind;
    QByteArray request;
    bool ends;
    int answers = 1;
  } cases[] = {
      {"close", "GET /karuden/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", true},
      {"close after another",
       "GET /karuden/ HTTP/1.1\r\nHost: x\r\n\r\nGET / HTTP/1.1\r\nConnection: close\r\n\r\n", true,
       2},
      {"close among other options",
       "GET /karuden/ HTTP/1.1\r\nHost: x\r\nConnection: TE, Close\r\n\r\n", true},
      {"HTTP/1.0", "GET /karuden/ HTTP/1.0\r\n\r\n", true},
      {"HEAD with close", "HEAD /karuden/ HTTP/1.1\r\nHost: x\r\nconnection: close\r\n\r\n", true},
      {"an upload with close",
       "POST /journal.php?A HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: "
       "5\r\n\r\nhello",
       true},
      {"HTTP/1.0 kept alive", "GET /karuden/ HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", false, 2},
      {"HTTP/1.1", "GET /karuden/ HTTP/1.1\r\nHost: x\r\n\r\n", false, 2},
  };
  // A token for each connection kept, and one more.
  LocalSite s(Db::SQLite, limits, {}, [](SiteOptions& o) { o.mintPerMinute = 3; });
  for (const auto& c : cases) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, s.site->port());
    ASSERT_TRUE(socket.waitForConnected(5000)) << c.kind;
    socket.write(c.request + "GET /pdf.php HTTP/1.1\r\nHost: x\r\n\r\n");
    QByteArray in;
    const auto closed = [&] { return socket.state() == QAbstractSocket::UnconnectedState; };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          in += socket.readAll();
          return c.ends ? closed() : in.count("HTTP/1.1 ") == c.answers;
        },
        3000))
        << c.kind;
    EXPECT_EQ(closed(), c.ends) << c.kind;
    EXPECT_EQ(in.count("HTTP/1.1 "), c.answers) << c.kind;
    const QByteArray last = in.mid(in.lastIndexOf("HTTP/1.1 "));
    EXPECT_EQ(
        last.left(last.indexOf("\r\n\r\n") + 2).toLower().contains("\r\nconnection: close\r\n"),
        c.ends)
        << c.kind;
  }
  EXPECT_EQ(s.path("/pdf.php").status, 200);
  EXPECT_EQ(s.path("/pdf.php").status, 429);
}

// Per-client limits count an IPv4 client by its address and an IPv6 one by its /64; behind a
// trusted proxy, the client it forwards for likewise.
TEST(SiteDoor, AnIPv6ClientCountsByItsSlash64) {
  const std::pair<const char*, const char*> cases[] = {
      {"192.0.2.7", "192.0.2.7"},
      {"::ffff:192.0.2.7", "192.0.2.7"},
      {"2001:db8:1:2::a", "2001:db8:1:2::"},
      {"2001:db8:1:2:ffff:ffff:ffff:ffff", "2001:db8:1:2::"},
      {"2001:db8:1:3::a", "2001:db8:1:3::"},
  };
  for (const auto& [address, client] : cases)
    EXPECT_EQ(countedAs(QHostAddress(QString::fromLatin1(address))),
              QHostAddress(QString::fromLatin1(client)))
        << address;

  RequestLimits limits;
  limits.trustedProxies = {QHostAddress(QStringLiteral("127.0.0.1"))};
  LocalSite s(Db::SQLite, limits, {}, [](SiteOptions& o) { o.mintPerMinute = 2; });
  const auto tokenFor = [&](const QByteArray& client) {
    QNetworkRequest request(QUrl(QString::fromStdString(s.base() + "/pdf.php")));
    request.setRawHeader("X-Forwarded-For", client);
    QNetworkReply* reply = s.client.get(request);
    (void)QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000);
    reply->deleteLater();
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  };
  EXPECT_EQ(tokenFor("2001:db8:1:2::a"), 200);
  EXPECT_EQ(tokenFor("2001:db8:1:2::b"), 200);
  EXPECT_EQ(tokenFor("2001:db8:1:2::c"), 429) << "the same /64";
  EXPECT_EQ(tokenFor("2001:db8:1:3::a"), 200) << "another /64";
}

TEST(SiteText, IsEscaped) {
  EXPECT_EQ(escaped(QStringLiteral("<a href=\"x\" title='y'>&amp;</a>")),
            QStringLiteral("&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;amp;&lt;/a&gt;"));
  EXPECT_EQ(escaped(QStringLiteral("←↑ab")), QStringLiteral("←↑ab"));
}

}  // namespace
}  // namespace milka::site
