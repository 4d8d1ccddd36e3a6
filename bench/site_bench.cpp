// The site's speed on this machine: requests per second for /karuden/ with 1,000 careers in
// the database, for one career's page, and for entries (a pdf.php token and its vbvb55.php
// entry each), on SQLite and, when MILKA_BENCH_PG names a server, on a fresh PostgreSQL
// database; a whole career's journal proved by replay, verified entries from four clients at
// once, and the page of a verified career with its charts. The site runs in a thread of its own, as
// in the game; the client here is one keep-alive connection that sends a request and reads the
// whole answer before the next.
//
// MILKA_BENCH_PG is postgresql://USER@HOST:PORT/DBNAME of a database whose user may create
// others, the password in PGPASSWORD (scripts/test-servers.sh start prints one as MILKA_TEST_PG).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "journal/careful_player.h"
#include "site/career_replay.h"
#include "site/site.h"

namespace {

using milka::site::DatabaseAddress;
using milka::site::Site;
using milka::site::SiteOptions;

constexpr int kCareers = 1000;

enum class Db { SQLite, PostgreSQL };

// Runs sql on the database at url (a postgresql:// address); the error text, or empty.
QString onPostgres(const QString& url, const QString& sql) {
  QString why;
  const std::optional<DatabaseAddress> a = DatabaseAddress::parse(url, &why);
  if (!a || a->kind != DatabaseAddress::Kind::PostgreSQL)
    return QStringLiteral("not postgresql://");
  QString error;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
    db.setHostName(a->host);
    db.setPort(a->port);
    db.setUserName(a->user);
    db.setDatabaseName(a->name);
    if (!db.open())
      error = db.lastError().text();
    else if (QSqlQuery q(db); !q.exec(sql))
      error = q.lastError().text();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("admin"));
  return error;
}

// A database of the bench's own, gone with it: a SQLite file in a temporary directory, or a
// fresh database on the server MILKA_BENCH_PG names.
class BenchDatabase {
 public:
  explicit BenchDatabase(Db kind) : kind_(kind) {
    if (kind == Db::SQLite) {
      address_ = dir_.filePath(QStringLiteral("bench.sqlite"));
      return;
    }
    const QString server = qEnvironmentVariable("MILKA_BENCH_PG");
    name_ = QStringLiteral("milka_bench_%1").arg(QRandomGenerator::system()->generate64(), 0, 36);
    const QString error = onPostgres(server, QStringLiteral("CREATE DATABASE %1").arg(name_));
    if (!error.isEmpty()) qFatal("PostgreSQL at MILKA_BENCH_PG: %s", qPrintable(error));
    address_ = server.left(server.lastIndexOf(QLatin1Char('/')) + 1) + name_;
  }
  ~BenchDatabase() {
    if (kind_ == Db::PostgreSQL)
      onPostgres(qEnvironmentVariable("MILKA_BENCH_PG"),
                 QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name_));
  }
  BenchDatabase(const BenchDatabase&) = delete;
  BenchDatabase& operator=(const BenchDatabase&) = delete;
  const QString& address() const { return address_; }

 private:
  Db kind_;
  QTemporaryDir dir_;
  QString name_;
  QString address_;
};

class SiteThread {
 public:
  explicit SiteThread(Db kind = Db::SQLite) : database_(kind) {
    thread_.start();
    context_.moveToThread(&thread_);
    QMetaObject::invokeMethod(
        &context_,
        [this] {
          SiteOptions options;
          options.databasePath = database_.address();
          // One client address here takes thousands of tokens a minute, far past a player's.
          options.mintPerMinute = 1'000'000;
          site_ = std::make_unique<Site>(options);
          QString error;
          if (!site_->start(QHostAddress::LocalHost, 0, &error)) qFatal("%s", qPrintable(error));
        },
        Qt::BlockingQueuedConnection);
  }
  ~SiteThread() {
    QMetaObject::invokeMethod(
        &context_, [this] { site_.reset(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
  }
  quint16 port() const { return site_->port(); }

 private:
  BenchDatabase database_;
  QThread thread_;
  QObject context_;
  std::unique_ptr<Site> site_;
};

class Client {
 public:
  explicit Client(quint16 port) {
    socket_.connectToHost(QHostAddress::LocalHost, port);
    socket_.waitForConnected(5000);
  }
  // The body of a GET of target, or empty on any failure.
  QByteArray get(const QByteArray& target) { return request("GET " + target, {}); }
  QByteArray post(const QByteArray& target, const QByteArray& body) {
    return request("POST " + target, body);
  }
  // The status of the last answer.
  int status() const { return status_; }

 private:
  QByteArray request(const QByteArray& line, const QByteArray& body) {
    QByteArray head = line + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (!body.isEmpty()) head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    socket_.write(head + "\r\n" + body);
    QByteArray in;
    qsizetype headEnd = -1;
    qsizetype length = -1;
    while (true) {
      if (headEnd < 0 && (headEnd = in.indexOf("\r\n\r\n")) >= 0) {
        const qsizetype at = in.toLower().indexOf("content-length:");
        length = in.mid(at + 15, in.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
      }
      if (headEnd >= 0 && in.size() >= headEnd + 4 + length) break;
      if (!socket_.waitForReadyRead(5000)) return {};
      in += socket_.readAll();
    }
    status_ = in.mid(9, 3).toInt();
    return in.mid(headEnd + 4, length);
  }

  QTcpSocket socket_;
  int status_ = 0;
};

QByteArray entryTarget(const QByteArray& token, int i) {
  QByteArray name = "h";
  for (int d = i; d > 0 || name.size() < 3; d /= 26) name += static_cast<char>('a' + d % 26);
  return "/vbvb55.php?" + token + name + "%3E" + QByteArray::number(60 + i % 3000) + "%3E0%3E" +
         QByteArray::number(70 + i % 900) + "%3E0%3E0%3E0%3E0%3E0%3E" +
         QByteArray::number(90 + i % 400);
}

struct Filled {
  SiteThread site;
  Client client{site.port()};
  explicit Filled(Db kind) : site(kind) {
    for (int i = 0; i < kCareers; ++i) {
      client.get(entryTarget(client.get("/pdf.php"), i));
      if (client.status() != 200) qFatal("filling: entry %d answered %d", i, client.status());
    }
  }
};

// Each database filled once, on first use, and ended before the application object is gone.
std::array<std::unique_ptr<Filled>, 2> shared;

Filled& filled(Db kind) {
  std::unique_ptr<Filled>& f = shared[static_cast<size_t>(kind)];
  if (!f) f = std::make_unique<Filled>(kind);
  return *f;
}

// The three below run once on each database; main registers them.
void BM_TopPageWith1000Careers(benchmark::State& state, Db kind) {
  Filled& f = filled(kind);
  qsizetype bytes = 0;
  for (auto _ : state) {
    const QByteArray body = f.client.get("/karuden/");
    if (body.isEmpty() || f.client.status() != 200) state.SkipWithError("no answer");
    bytes += body.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(bytes);
}

void BM_EntryPage(benchmark::State& state, Db kind) {
  Filled& f = filled(kind);
  for (auto _ : state)
    if (f.client.get("/karuden/uma?n=500").isEmpty() || f.client.status() != 200)
      state.SkipWithError("no answer");
  state.SetItemsProcessed(state.iterations());
}

void BM_EntryWithItsToken(benchmark::State& state, Db kind) {
  Filled& f = filled(kind);
  int i = kCareers;
  for (auto _ : state) {
    const QByteArray token = f.client.get("/pdf.php");
    f.client.get(entryTarget(token, i++));
    if (f.client.status() != 200) state.SkipWithError("not entered");
  }
  state.SetItemsProcessed(state.iterations());
}

// Careers the careful player takes to a sent top race, each under a seed of the site's: what a
// real player uploads at the closing A.
std::vector<milka::testing::Played> sendingCareers(Client& client, size_t count) {
  std::vector<milka::testing::Played> out;
  for (uint64_t n = 1; out.size() < count && n < count * 20; ++n) {
    milka::testing::Played p =
        milka::testing::play("http://127.0.0.1", client.get("/seed.php").toStdString(), n);
    if (p.sends) out.push_back(std::move(p));
  }
  return out;
}

void BM_ProveAWholeCareer(benchmark::State& state) {
  std::string seed(32, 'c');
  milka::testing::Played p;
  for (uint64_t n = 1; !p.sends && n < 100; ++n)
    p = milka::testing::play("http://127.0.0.1", seed, n);
  const std::string journal = p.journal("ABCDEFGHJK");
  for (auto _ : state) {
    const milka::site::Proof proof = milka::site::proveCareer(journal, "ABCDEFGHJK");
    if (proof.fault != milka::site::JournalFault::None) state.SkipWithError("not proved");
    benchmark::DoNotOptimize(proof.query);
  }
  state.counters["events"] = static_cast<double>(p.events.size());
  state.counters["journal_bytes"] = static_cast<double>(journal.size());
}
BENCHMARK(BM_ProveAWholeCareer)->Unit(benchmark::kMillisecond);

// Four clients at once, each taking a token, uploading a career's journal and entering it.
void BM_VerifiedEntriesFourClients(benchmark::State& state) {
  constexpr int kClients = 4, kEach = 5;
  SiteThread site;
  Client setup(site.port());
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<milka::testing::Played> careers = sendingCareers(setup, kClients * kEach);
    // What each entry says after its token, as the game builds it.
    std::vector<QByteArray> rests;
    for (const milka::testing::Played& p : careers)
      rests.push_back(QByteArray::fromStdString(
          milka::site::proveCareer(p.journal("AAAAAAAAAA"), "AAAAAAAAAA").query.substr(10)));
    state.ResumeTiming();
    std::vector<std::thread> clients;
    std::atomic<int> verified = 0;
    for (int c = 0; c < kClients; ++c)
      clients.emplace_back([&, c] {
        Client client(site.port());
        for (int k = 0; k < kEach; ++k) {
          const size_t n = static_cast<size_t>(c * kEach + k);
          const QByteArray token = client.get("/pdf.php");
          client.post(
              "/journal.php?" + token,
              qCompress(QByteArray::fromStdString(careers[n].journal(token.toStdString())), 9));
          if (client.status() != 200) continue;
          client.get("/vbvb55.php?" + token + rests[n]);
          verified += client.status() == 200;
        }
      });
    for (std::thread& t : clients) t.join();
    if (verified != kClients * kEach) state.SkipWithError("an entry was not verified");
    state.SetItemsProcessed(state.items_processed() + verified);
  }
}
BENCHMARK(BM_VerifiedEntriesFourClients)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_VerifiedCareerPageWithCharts(benchmark::State& state) {
  SiteThread site;
  Client client(site.port());
  const std::vector<milka::testing::Played> careers = sendingCareers(client, 1);
  const QByteArray token = client.get("/pdf.php");
  const std::string journal = careers.front().journal(token.toStdString());
  client.post("/journal.php?" + token, qCompress(QByteArray::fromStdString(journal), 9));
  client.get("/vbvb55.php?" + QByteArray::fromStdString(
                                  milka::site::proveCareer(journal, token.toStdString()).query));
  if (client.status() != 200) state.SkipWithError("not verified");
  for (auto _ : state)
    if (!client.get("/karuden/uma?n=1").contains("<svg ")) state.SkipWithError("no charts");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VerifiedCareerPageWithCharts)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::vector<std::pair<Db, const char*>> databases = {{Db::SQLite, "SQLite"}};
  if (!qEnvironmentVariableIsEmpty("MILKA_BENCH_PG"))
    databases.emplace_back(Db::PostgreSQL, "PostgreSQL");
  for (const auto& [kind, name] : databases) {
    const std::string on = std::string("/") + name;
    benchmark::RegisterBenchmark(("BM_TopPageWith1000Careers" + on).c_str(),
                                 BM_TopPageWith1000Careers, kind)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("BM_EntryPage" + on).c_str(), BM_EntryPage, kind)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("BM_EntryWithItsToken" + on).c_str(), BM_EntryWithItsToken, kind)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (std::unique_ptr<Filled>& f : shared) f.reset();
  return 0;
}
