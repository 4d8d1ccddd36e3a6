// The hall of fame believes only what it has replayed: a career played under a seed the site
// issued, its journal uploaded with its token, lands verified, ranked and told race by race;
// every kind of forgery is refused with its reason and stores nothing.
#include <gtest/gtest.h>

#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "proved_career.h"

namespace milka::site {
namespace {

using journal::Event;
using testing::Answer;
using testing::aSendingCareer;
using testing::Db;
using testing::entryOf;
using testing::LocalSite;
using testing::packed;
using testing::play;
using testing::Played;
using testing::upload;

class Fame : public testing::OnBothDatabases {};

TEST_P(Fame, ACareerPlayedUnderTheSitesSeedIsVerifiedRankedAndToldInFull) {
  LocalSite site(GetParam());
  const Played career = aSendingCareer(site);
  ASSERT_TRUE(career.sends);
  const std::string token = site.token();
  const Answer kept = upload(site, token, packed(career.journal(token)));
  ASSERT_EQ(kept.status, 200) << kept.text().toStdString();
  const Answer entered = site.get(entryOf(career, token, site.base()));
  ASSERT_EQ(entered.status, 200) << entered.text().toStdString();

  const std::optional<Career> stored = site.site->store().career(1);
  ASSERT_TRUE(stored && stored->verified);
  Story story;
  ASSERT_TRUE(tellCareer(career.journal(token), &story));
  EXPECT_EQ(stored->name.toStdString(), story.name);
  ASSERT_FALSE(story.races.empty());
  // Ranked: the name heads a hall-of-fame board, without the unverified mark.
  const Answer board = site.path("/karuden/");
  ASSERT_EQ(board.status, 200) << board.text().toStdString();
  const QString top = board.text();
  EXPECT_TRUE(top.contains(
      QStringLiteral("<td class=\"num rank\">1</td><td><a href=\"/karuden/uma?n=1\">%1</a></td>")
          .arg(stored->name)))
      << top.mid(top.indexOf(QStringLiteral("id=\"hall\"")), 4000).toStdString();
  EXPECT_FALSE(top.contains(QStringLiteral("未検証</span>")));
  // Told race by race, with the three charts, and the journal to download as it was played.
  const QString page = site.path("/karuden/uma?n=1").text();
  EXPECT_EQ(page.count(QStringLiteral("着</td>")), static_cast<qsizetype>(story.races.size()));
  EXPECT_EQ(page.count(QStringLiteral("<svg ")), 3);
  EXPECT_EQ(page.count(QStringLiteral("<polyline ")), 3);
  EXPECT_EQ(site.path("/karuden/uma.mdj?n=1").body.toStdString(), career.journal(token));
  // Its seed is spent: the same career uploaded with a new token proves nothing more.
  const std::string again = site.token();
  EXPECT_EQ(upload(site, again, packed(career.journal(again))).status, 400);
}

TEST_P(Fame, EveryForgeryIsRefusedWithItsReasonAndStoresNothing) {
  LocalSite site(GetParam());
  const Played career = aSendingCareer(site);
  ASSERT_TRUE(career.sends);
  const Played unseeded = play(site.base(), "", 7);
  const Played strangeSeed = aSendingCareer(site, [] { return std::string(32, 'a'); });

  auto otherRules = [&](const std::string& token) {
    Played p = career;
    p.header.rules = journal::kRulesVersion + 1;
    return packed(p.journal(token));
  };
  auto flipped = [&](const std::string& token) {
    std::string j = career.journal(token);
    j[j.size() * 2 / 3] ^= 0x10;
    return packed(j);
  };
  QByteArray bomb = qCompress(QByteArray(64 * 1024 * 1024, '\0'), 9);
  struct Case {
    const char* what;
    std::function<QByteArray(const std::string& token)> body;
    int status;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"a byte changed", flipped, 400, "壊れて"},
      {"cut short", [&](auto t) { return packed(career.journal(t, career.events.size() / 2)); },
       400, "最後"},
      {"another token's", [&](auto) { return packed(career.journal("ZZZZZZZZZZ")); }, 400,
       "この受付番号で"},
      {"no seed from the site", [&](auto t) { return packed(unseeded.journal(t)); }, 400, "種"},
      {"a seed the site never issued", [&](auto t) { return packed(strangeSeed.journal(t)); }, 400,
       "発行"},
      {"another rules version", otherRules, 400, "第2版"},
      {"a compressed bomb", [&](auto) { return bomb; }, 400, "大きすぎ"},
      {"over the size cap", [&](auto) { return QByteArray(300 * 1024, 'x'); }, 400, ""},
  };
  for (const Case& c : cases) {
    const std::string token = site.token();
    const Answer a = upload(site, token, c.body(token));
    EXPECT_EQ(a.status, c.status) << c.what;
    EXPECT_TRUE(a.text().contains(QString::fromUtf8(c.reason)))
        << c.what << ": " << a.text().toStdString();
  }

  // A time changed in the query of a journal that checked out.
  const std::string token = site.token();
  ASSERT_EQ(upload(site, token, packed(career.journal(token))).status, 200);
  std::string forged = entryOf(career, token, site.base());
  forged.back() = forged.back() == '1' ? '2' : '1';
  const Answer changed = site.get(forged);
  EXPECT_EQ(changed.status, 400);
  EXPECT_TRUE(changed.text().contains(QStringLiteral("合いません")));
  // A second upload for the token, and one for a token already spent.
  EXPECT_TRUE(upload(site, token, packed(career.journal(token)))
                  .text()
                  .contains(QStringLiteral("もう届いて")));
  EXPECT_EQ(site.stored(), 0);
  ASSERT_EQ(site.get(entryOf(career, token, site.base())).status, 200);
  EXPECT_TRUE(upload(site, token, packed(career.journal(token)))
                  .text()
                  .contains(QStringLiteral("もう使われて")));
  EXPECT_EQ(site.stored(), 1);
}

MILKA_ON_BOTH_DATABASES(Fame);

// Checking journals never holds up the pages: with two replays allowed at a time, a crowd of
// uploads is answered 503 beyond them while the calendar keeps coming; a body trickled slower than
// the request's time is cut off.
TEST(FameUnderLoad, UploadsQueueBoundedAndTrickledBodiesCutOff) {
  RequestLimits limits;
  limits.requestMs = 400;
  LocalSite site(Db::SQLite, limits, {}, [](SiteOptions& o) { o.replayQueue = 2; });
  const Played career = aSendingCareer(site);
  const QByteArray body = packed(career.journal("AAAAAAAAAA"));

  // A crowd of uploads at once, each on a connection of its own.
  std::vector<std::string> tokens;
  for (int k = 0; k < 24; ++k) tokens.push_back(site.token());
  std::vector<std::unique_ptr<QTcpSocket>> crowd;
  for (int k = 0; k < 24; ++k) {
    crowd.push_back(std::make_unique<QTcpSocket>());
    crowd.back()->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(10 + k)));
    crowd.back()->connectToHost(QHostAddress::LocalHost, site.site->port());
    ASSERT_TRUE(crowd.back()->waitForConnected(2000));
  }
  for (size_t k = 0; k < crowd.size(); ++k)
    crowd[k]->write("POST /journal.php?" + QByteArray::fromStdString(tokens[k]) +
                    " HTTP/1.1\r\nHost: x\r\nContent-Length: " + QByteArray::number(body.size()) +
                    "\r\n\r\n" + body);
  EXPECT_EQ(site.path("/karuden/").status, 200) << "the calendar is served meanwhile";
  std::vector<QByteArray> answers(crowd.size());
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        bool all = true;
        for (size_t k = 0; k < crowd.size(); ++k)
          all = (answers[k] += crowd[k]->readAll()).contains("\r\n\r\n") && all;
        return all;
      },
      20000));
  std::map<QByteArray, int> statuses;
  for (const QByteArray& a : answers) ++statuses[a.mid(9, 3)];
  EXPECT_GT(statuses["503"], 0) << ::testing::PrintToString(statuses.size());
  EXPECT_GT(statuses["400"], 0) << "the journal of another token, replayed and refused";
  EXPECT_TRUE(QTest::qWaitFor([&] { return site.site->replaysInFlight() == 0; }, 10000));

  // Clients that hang up while their journal is being replayed leave the site as it was.
  for (int k = 0; k < 20; ++k) {
    QTcpSocket gone;
    gone.connectToHost(QHostAddress::LocalHost, site.site->port());
    ASSERT_TRUE(gone.waitForConnected(2000));
    gone.write("POST /journal.php?" + QByteArray::fromStdString(site.token()) +
               " HTTP/1.1\r\nHost: x\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\n\r\n" + body);
    gone.waitForBytesWritten(2000);
    QTest::qWait(k % 5);
    gone.abort();
  }
  QTest::qWait(300);
  EXPECT_EQ(site.path("/karuden/").status, 200);

  QTcpSocket slow;
  slow.connectToHost(QHostAddress::LocalHost, site.site->port());
  ASSERT_TRUE(slow.waitForConnected(2000));
  slow.write("POST /journal.php?AAAAAAAAAA HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n");
  for (int k = 0; k < 20 && slow.state() == QAbstractSocket::ConnectedState; ++k) {
    slow.write("x");
    QTest::qWait(100);
  }
  EXPECT_NE(slow.state(), QAbstractSocket::ConnectedState) << "a trickled body is cut off";
  EXPECT_EQ(site.stored(), 0);
}

// The game's own site tells every career whose journal is beside the game, finished or not; a
// file that is no journal is passed over, and no address reaches outside the directory.
TEST(StudBook, EveryJournalInTheDirectoryIsListedAndToldAndNothingElse) {
  QTemporaryDir journals;
  const auto put = [&](const char* name, const std::string& bytes) {
    QFile f(journals.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  };
  const Played whole = play("http://127.0.0.1:9", "", 3);
  put("career-1.mdj", whole.journal(""));
  put("career-2.mdj", whole.journal("", whole.events.size() / 3));
  put("career-3.mdj", "not a journal");
  LocalSite site(Db::SQLite, {}, {}, [&](SiteOptions& o) { o.journalDirectory = journals.path(); });
  const QString book = site.path("/karuden/mine").text();
  EXPECT_TRUE(book.contains(QStringLiteral("全2頭")));
  EXPECT_EQ(book.count(QStringLiteral("<td>引退</td>")), 1);
  EXPECT_EQ(book.count(QStringLiteral("<td>育成中</td>")), 1);
  const Answer told = site.path("/karuden/mine/uma?f=career-1.mdj");
  EXPECT_EQ(told.status, 200);
  EXPECT_EQ(told.text().count(QStringLiteral("<svg ")), 3);
  EXPECT_EQ(site.path("/karuden/mine/uma.mdj?f=career-2.mdj").body.toStdString(),
            whole.journal("", whole.events.size() / 3));
  for (const char* outside :
       {"/karuden/mine/uma?f=career-3.mdj", "/karuden/mine/uma.mdj?f=..%2Fsite.sqlite",
        "/karuden/mine/uma.mdj?f=%2Fetc%2Fpasswd"})
    EXPECT_EQ(site.path(outside).status, 404) << outside;
}

}  // namespace
}  // namespace milka::site
