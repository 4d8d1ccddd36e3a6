// The site hosted for many: several milka-site processes on one PostgreSQL database are one
// site, a process killed outright keeps what it acknowledged, a database that goes away is a
// 503 in Japanese until it is back, and the game's own entry goes through a real nginx in front
// of two processes.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <vector>

#include "platform/net/online_port.h"
#include "scripted_random.h"
#include "shell/game.h"
#include "site_harness.h"
#include "site_process.h"

namespace milka::site {
namespace {

using testing::Answer;
using testing::Db;
using testing::LocalSite;
using testing::SiteProcess;
using testing::TestDatabase;

constexpr std::array<int32_t, 9> kOnlyDerby = {0, 0, 97, 0, 0, 0, 0, 0, 0};
// Every test here is one client address taking more tokens a minute than one player would.
const QStringList kUnrationed = {QStringLiteral("--mint-per-minute"), QStringLiteral("1000000")};

class Hosted : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::postgresServer().isEmpty())
      GTEST_SKIP()
          << "MILKA_TEST_PG names no PostgreSQL server (scripts/test-servers.sh starts one)";
  }
};

std::string entryUrl(const std::string& base, const std::string& token, const std::string& name,
                     const std::array<int32_t, 9>& sent) {
  Family<int32_t, 12> times{};
  for (size_t i = 0; i < online::kSentMonths.size(); ++i)
    times[static_cast<size_t>(online::kSentMonths[i])] = sent[i];
  return online::queryUrl(base, token, name, times);
}

Answer get(QNetworkAccessManager& client, const std::string& url) {
  return testing::fetch(client, QByteArray::fromStdString(url));
}

TEST_F(Hosted, ATokenFromOneProcessIsSpentAtAnotherAndThenRefusedEverywhere) {
  TestDatabase db(Db::PostgreSQL);
  SiteProcess a(db.address, 0, kUnrationed), b(db.address, 0, kUnrationed);
  ASSERT_FALSE(a.base.empty());
  ASSERT_FALSE(b.base.empty());
  QNetworkAccessManager client;
  const std::string token = get(client, a.base + "/pdf.php").body.toStdString();
  const Answer stored = get(client, entryUrl(b.base, token, "abc", kOnlyDerby));
  ASSERT_EQ(stored.status, 200) << stored.text().toStdString();
  for (const std::string& base : {a.base, b.base}) {
    const Answer again = get(client, entryUrl(base, token, "xyz", kOnlyDerby));
    EXPECT_EQ(again.status, 400) << base;
    EXPECT_TRUE(again.text().contains(QStringLiteral("もう使われています"))) << base;
    EXPECT_TRUE(get(client, base + "/karuden/uma?n=1").text().contains(QStringLiteral(">abc<")))
        << base;
  }
}

TEST_F(Hosted, EntriesSentToTwoProcessesAtOnceAreEachStoredOnce) {
  TestDatabase db(Db::PostgreSQL);
  SiteProcess a(db.address, 0, kUnrationed), b(db.address, 0, kUnrationed);
  ASSERT_FALSE(a.base.empty());
  ASSERT_FALSE(b.base.empty());
  QNetworkAccessManager client;
  constexpr int kEntries = 40;
  std::vector<QNetworkReply*> replies;
  for (int i = 0; i < kEntries; ++i) {
    const std::string token = get(client, (i % 2 ? a : b).base + "/pdf.php").body.toStdString();
    std::string name = "h";
    for (int d = i; d > 0 || name.size() < 3; d /= 26) name += static_cast<char>('a' + d % 26);
    // The same entry to both processes, in flight together.
    for (const std::string& base : {a.base, b.base})
      replies.push_back(client.get(QNetworkRequest(QUrl::fromEncoded(QByteArray::fromStdString(
          entryUrl(base, token, name, {0, 0, 60 + i, 0, 0, 0, 0, 0, 0}))))));
  }
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
  EXPECT_EQ(ok, kEntries);
  EXPECT_EQ(refused, kEntries);
  Store reader(db.address, 600, [] { return qint64{1'800'000'000}; });
  QString error;
  ASSERT_TRUE(reader.open(&error)) << error.toStdString();
  EXPECT_EQ(reader.careerCount(), kEntries);
  testing::markAllVerified(db.address);
  EXPECT_EQ(reader.place(2, 60 + kEntries - 1), kEntries);
}

TEST_F(Hosted, AProcessKilledOutrightLosesNothingItAcknowledged) {
  TestDatabase db(Db::PostgreSQL);
  QNetworkAccessManager client;
  std::vector<std::string> names;
  {
    SiteProcess doomed(db.address, 0, kUnrationed);
    ASSERT_FALSE(doomed.base.empty());
    for (int i = 0; i < 10; ++i) {
      const std::string token = get(client, doomed.base + "/pdf.php").body.toStdString();
      names.push_back("k" + std::string(1, static_cast<char>('a' + i)) + "z");
      ASSERT_EQ(get(client, entryUrl(doomed.base, token, names.back(), kOnlyDerby)).status, 200);
    }
    doomed.killOutright();
  }
  SiteProcess survivor(db.address, 0, kUnrationed);
  ASSERT_FALSE(survivor.base.empty());
  const QString top = get(client, survivor.base + "/karuden/").text();
  EXPECT_TRUE(top.contains(QStringLiteral("登録された全10頭")));
  for (const std::string& name : names)
    EXPECT_TRUE(top.contains(QStringLiteral(">%1<").arg(QString::fromStdString(name)))) << name;
}

// A TCP relay between the site and PostgreSQL, in a thread of its own (the site blocks on the
// database in the test's thread), that the test cuts as a stopped server or a broken network
// would, and mends again.
class Relay {
 public:
  explicit Relay(quint16 target) : target_(target) {
    thread_.start();
    worker_.moveToThread(&thread_);
    call([this] {
      server_ = new QTcpServer(&worker_);
      QObject::connect(server_, &QTcpServer::newConnection, &worker_, [this] { accept(); });
      server_->listen(QHostAddress::LocalHost, 0);
      port_ = server_->serverPort();
    });
  }
  ~Relay() {
    call([this] {
      cutAll();
      delete server_;
    });
    thread_.quit();
    thread_.wait();
  }
  quint16 port() const { return port_; }
  void cut() {
    call([this] {
      server_->close();
      cutAll();
    });
  }
  void mend() {
    call([this] { server_->listen(QHostAddress::LocalHost, port_); });
  }

 private:
  void call(const std::function<void()>& f) {
    QMetaObject::invokeMethod(&worker_, f, Qt::BlockingQueuedConnection);
  }
  void accept() {
    while (QTcpSocket* in = server_->nextPendingConnection()) {
      auto* out = new QTcpSocket(&worker_);
      out->connectToHost(QHostAddress::LocalHost, target_);
      QObject::connect(in, &QTcpSocket::readyRead, out, [in, out] { out->write(in->readAll()); });
      QObject::connect(out, &QTcpSocket::readyRead, in, [in, out] { in->write(out->readAll()); });
      QObject::connect(in, &QTcpSocket::disconnected, out, &QTcpSocket::disconnectFromHost);
      QObject::connect(out, &QTcpSocket::disconnected, in, &QTcpSocket::disconnectFromHost);
      pairs_.push_back({in, out});
    }
  }
  void cutAll() {
    for (auto& [in, out] : pairs_) {
      in->abort();
      out->abort();
      in->deleteLater();
      out->deleteLater();
    }
    pairs_.clear();
  }

  quint16 target_;
  QThread thread_;
  QObject worker_;
  QTcpServer* server_ = nullptr;
  quint16 port_ = 0;
  std::vector<std::pair<QTcpSocket*, QTcpSocket*>> pairs_;
};

TEST_F(Hosted, ADatabaseThatGoesAwayIs503InJapaneseAndTheSiteComesBackWithIt) {
  QString why;
  const std::optional<DatabaseAddress> server =
      DatabaseAddress::parse(testing::postgresServer(), &why);
  ASSERT_TRUE(server) << why.toStdString();
  Relay relay(static_cast<quint16>(server->port));
  LocalSite s(Db::PostgreSQL, {}, [&](QString address) {
    return address.replace(QStringLiteral(":%1/").arg(server->port),
                           QStringLiteral(":%1/").arg(relay.port()));
  });
  ASSERT_EQ(s.path("/karuden/").status, 200);
  const std::string token = s.token();
  ASSERT_EQ(token.size(), 10u);

  relay.cut();
  const Answer top = s.path("/karuden/");
  EXPECT_EQ(top.status, 503);
  EXPECT_TRUE(top.text().contains(QStringLiteral("ただいま表示できません")))
      << top.text().toStdString();
  const Answer tokenAnswer = s.path("/pdf.php");
  EXPECT_EQ(tokenAnswer.status, 503);
  EXPECT_TRUE(tokenAnswer.text().contains(QStringLiteral("ただいま受付できません")));
  const Answer entry = s.get(s.entryUrl(token, "abc", kOnlyDerby));
  EXPECT_EQ(entry.status, 503);
  EXPECT_TRUE(entry.text().contains(QStringLiteral("ただいま登録できません")));
  EXPECT_EQ(s.path("/karuden/uma?n=1").status, 503);

  relay.mend();
  EXPECT_TRUE(QTest::qWaitFor([&] { return s.path("/karuden/").status == 200; }, 10000));
  // The entry that could not be taken spent nothing: the same token enters it now.
  EXPECT_EQ(s.get(s.entryUrl(token, "abc", kOnlyDerby)).status, 200);
  EXPECT_EQ(s.stored(), 1);
}

// The game's own last A, through the reverse proxy that scripts/test-servers.sh runs in front
// of the two ports in MILKA_TEST_PROXY_UPSTREAMS.
TEST_F(Hosted, TheGamesEntryGoesThroughNginxToTwoSitesAndIsStoredOnce) {
  const QString proxy = qEnvironmentVariable("MILKA_TEST_PROXY");
  const QStringList upstreams = qEnvironmentVariable("MILKA_TEST_PROXY_UPSTREAMS").split(',');
  ASSERT_FALSE(proxy.isEmpty()) << "MILKA_TEST_PROXY names no nginx (scripts/test-servers.sh)";
  ASSERT_EQ(upstreams.size(), 2);
  TestDatabase db(Db::PostgreSQL);
  SiteProcess a(db.address, static_cast<quint16>(upstreams[0].toUInt()), kUnrationed);
  SiteProcess b(db.address, static_cast<quint16>(upstreams[1].toUInt()), kUnrationed);
  ASSERT_FALSE(a.base.empty());
  ASSERT_FALSE(b.base.empty());
  QNetworkAccessManager client;
  ASSERT_EQ(get(client, proxy.toStdString() + "/karuden/").status, 200);

  milka::testing::ScriptedRandom random;
  platform::QtOnlinePort port;
  port.siteBase = proxy.toStdString();
  Game game{random, &port};
  game.Form_Load();
  GameState& st = game.state;
  st.screenState = screen::kCareerOver;
  st.horseName = "milk";
  st.sendEnabled = 1;
  st.bigRaceTime[6] = 97;
  st.buttonTicks = 3;
  game.Command1_Click();
  ASSERT_EQ(st.screenState, screen::kFinished);
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.pending() == 0; }, 15000));
  const std::string sent = game.form.text2.text;
  ASSERT_EQ(sent.rfind(proxy.toStdString() + "/vbvb55.php?", 0), 0u) << sent;

  for (const std::string& base : {a.base, b.base}) {
    const QString top = get(client, base + "/karuden/").text();
    EXPECT_TRUE(top.contains(QStringLiteral("登録された全1頭"))) << base;
    // Sent without its journal: in the list of every career, unverified.
    EXPECT_TRUE(top.contains(QStringLiteral(">milk</a><span class=\"unverified\""))) << base;
    EXPECT_TRUE(top.contains(QStringLiteral("<td class=\"num\">97秒</td>"))) << base;
    // The token the game was given is spent at each process, whichever one stored it.
    const std::string again = base + sent.substr(proxy.size());
    const Answer refused = get(client, again);
    EXPECT_EQ(refused.status, 400) << again;
    EXPECT_TRUE(refused.text().contains(QStringLiteral("もう使われています"))) << base;
  }
  EXPECT_EQ(get(client, sent).status, 400);
}

}  // namespace
}  // namespace milka::site
