// A site on 127.0.0.1 with a fresh database of its own and a clock the test turns, and a client
// that fetches from it over real HTTP. The database is a SQLite file in a temporary directory,
// or a new database on the PostgreSQL server that MILKA_TEST_PG names (scripts/test-servers.sh
// starts one); suites that hold for both run once on each.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "online/sent_months.h"
#include "online/submit.h"
#include "site/site.h"

namespace milka::site::testing {

struct Answer {
  int status = 0;
  QByteArray body;
  QString text() const { return QString::fromUtf8(body); }
};

enum class Db { SQLite, PostgreSQL };

inline std::string dbName(const ::testing::TestParamInfo<Db>& info) {
  return info.param == Db::SQLite ? "SQLite" : "PostgreSQL";
}

// The PostgreSQL server the tests may use: postgresql://USER@HOST:PORT/DBNAME of a database
// that user may create others from, the password in PGPASSWORD. Empty when none was started.
inline QString postgresServer() {
  return qEnvironmentVariable("MILKA_TEST_PG");
}

// A connection of the test's own to address (a SQLite path or a postgresql:// URL), opened;
// remove it with QSqlDatabase::removeDatabase(connection) once every handle is gone.
inline QSqlDatabase openDirect(const QString& address, const QString& connection) {
  QString why;
  const std::optional<DatabaseAddress> a = DatabaseAddress::parse(address, &why);
  const bool postgres = a && a->kind == DatabaseAddress::Kind::PostgreSQL;
  QSqlDatabase db = QSqlDatabase::addDatabase(
      postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), connection);
  if (postgres) {
    db.setHostName(a->host);
    db.setPort(a->port);
    db.setUserName(a->user);
    db.setDatabaseName(a->name);
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
  } else {
    db.setDatabaseName(address);
  }
  db.open();
  return db;
}

// Runs sql on the test server's own database; the error text, or empty on success.
inline QString onServer(const QString& sql) {
  QString error;
  {
    QSqlDatabase db = openDirect(postgresServer(), QStringLiteral("admin"));
    if (!db.isOpen())
      error = db.lastError().text();
    else if (QSqlQuery q(db); !q.exec(sql))
      error = q.lastError().text();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("admin"));
  return error;
}

// Marks every career stored at address verified, as if each had come with a journal the site
// replayed: for the tests of ranking, which need many careers of chosen times.
inline void markAllVerified(const QString& address) {
  {
    QSqlDatabase db = openDirect(address, QStringLiteral("marking"));
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("UPDATE careers SET verified = 1")))
      qFatal("marking careers verified: %s", qPrintable(q.lastError().text()));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("marking"));
}

// A database no other test touches, gone with this object: a file in a temporary directory, or
// a fresh database on the PostgreSQL server.
struct TestDatabase {
  Db kind;
  QTemporaryDir dir;
  QString name;
  QString address;

  explicit TestDatabase(Db db) : kind(db) {
    if (kind == Db::SQLite) {
      address = dir.filePath(QStringLiteral("site.sqlite"));
      return;
    }
    name = QStringLiteral("milka_test_%1").arg(QRandomGenerator::system()->generate64(), 0, 36);
    const QString error = onServer(QStringLiteral("CREATE DATABASE %1").arg(name));
    if (!error.isEmpty()) qFatal("PostgreSQL at MILKA_TEST_PG: %s", qPrintable(error));
    QString server = postgresServer();
    address = server.left(server.lastIndexOf(QLatin1Char('/')) + 1) + name;
  }
  ~TestDatabase() {
    // FORCE: a site process the test killed may not have closed its connection yet.
    if (kind == Db::PostgreSQL) onServer(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name));
  }
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;
};

// A suite that must hold on both databases. Without MILKA_TEST_PG the PostgreSQL half is
// skipped, and says so; scripts/test.sh always sets it, so there it always runs.
class OnBothDatabases : public ::testing::TestWithParam<Db> {
 protected:
  void SetUp() override {
    if (GetParam() == Db::PostgreSQL && postgresServer().isEmpty())
      GTEST_SKIP()
          << "MILKA_TEST_PG names no PostgreSQL server (scripts/test-servers.sh starts one)";
  }
};

#define MILKA_ON_BOTH_DATABASES(Suite)                                                \
  INSTANTIATE_TEST_SUITE_P(, Suite,                                                   \
                           ::testing::Values(::milka::site::testing::Db::SQLite,      \
                                             ::milka::site::testing::Db::PostgreSQL), \
                           ::milka::site::testing::dbName)

// Sends a request with client and waits for the answer, the address taken exactly as written.
inline Answer fetch(QNetworkAccessManager& client, const QByteArray& url,
                    const QByteArray& postBody = {}, bool post = false) {
  QNetworkRequest request(QUrl::fromEncoded(url));
  request.setTransferTimeout(10000);
  if (post) request.setHeader(QNetworkRequest::ContentTypeHeader, "text/plain");
  QNetworkReply* reply = post ? client.post(request, postBody) : client.get(request);
  if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 15000)) reply->abort();
  Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                reply->readAll()};
  reply->deleteLater();
  return answer;
}

struct LocalSite {
  TestDatabase database;
  qint64 clock = 1'800'000'000;
  std::unique_ptr<Site> site;
  QNetworkAccessManager client;

  // reach, when given, turns the database's address into the one the site is told (a relay's).
  explicit LocalSite(Db db = Db::SQLite, RequestLimits limits = {},
                     const std::function<QString(const QString&)>& reach = {},
                     const std::function<void(SiteOptions&)>& tune = {})
      : database(db) {
    SiteOptions options;
    options.databasePath = reach ? reach(database.address) : database.address;
    options.now = [this] { return clock; };
    options.limits = limits;
    // The tests take many tokens from one address; the test of that limit sets its own.
    options.mintPerMinute = 1'000'000;
    if (tune) tune(options);
    site = std::make_unique<Site>(options);
    QString error;
    if (!site->start(QHostAddress::LocalHost, 0, &error)) qFatal("site: %s", qPrintable(error));
  }

  std::string base() const { return site->baseUrl().toStdString(); }
  qint64 stored() const { return site->store().careerCount(); }

  // Sends request and waits for the answer, the address taken exactly as written.
  Answer send(const QByteArray& url, const QByteArray& postBody = {}, bool post = false) {
    return fetch(client, url, postBody, post);
  }
  Answer get(const std::string& url) { return send(QByteArray::fromStdString(url)); }
  Answer path(const char* p) { return get(base() + p); }

  std::string token() { return path("/pdf.php").body.toStdString(); }

  void markVerified() { markAllVerified(database.address); }

  // The address the game itself builds for the closing A.
  std::string entryUrl(const std::string& token, const std::string& name,
                       const std::array<int32_t, 9>& sent) const {
    Family<int32_t, 12> times{};
    for (size_t i = 0; i < online::kSentMonths.size(); ++i)
      times[static_cast<size_t>(online::kSentMonths[i])] = sent[i];
    return online::queryUrl(base(), token, name, times);
  }
};

}  // namespace milka::site::testing
