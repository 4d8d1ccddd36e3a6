// The site's database: on both SQLite and PostgreSQL a versioned schema that survives a
// restart, a newer one refused, tokens that expire, a write that cannot get its lock neither
// stored nor spent; the file's WAL mode; the --db address; and the query reader on its own
// against what the game builds.
#include "site/store.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include "online/sent_months.h"
#include "online/submit.h"
#include "site/entry_query.h"
#include "site_harness.h"

namespace milka::site {
namespace {

using testing::Db;
using testing::TestDatabase;

class SiteStoreOnBoth : public testing::OnBothDatabases {};
MILKA_ON_BOTH_DATABASES(SiteStoreOnBoth);

qint64 fixedNow() {
  return 1'800'000'000;
}

// Reads a pragma through a connection of the test's own.
QVariant pragma(const QString& path, const char* name) {
  QVariant value;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
    db.setDatabaseName(path);
    db.open();
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(name))) && q.next())
      value = q.value(0);
  }
  QSqlDatabase::removeDatabase(QStringLiteral("peek"));
  return value;
}

TEST(SiteStore, OneWalFileWithItsSchemaVersionThatSurvivesARestart) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("s.sqlite"));
  QString error;
  {
    Store store(path, 600, fixedNow);
    ASSERT_TRUE(store.open(&error)) << error.toStdString();
    Entry entry{store.issueToken(), QStringLiteral("abc"), {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    EXPECT_EQ(store.enter(entry).fault, QueryFault::None);
  }
  EXPECT_EQ(pragma(path, "journal_mode").toString(), QStringLiteral("wal"));
  EXPECT_EQ(pragma(path, "user_version").toInt(), Store::kSchemaVersion);
  Store again(path, 600, fixedNow);
  ASSERT_TRUE(again.open(&error)) << error.toStdString();
  ASSERT_EQ(again.careerCount(), 1);
  EXPECT_EQ(again.career(1)->times, (std::array<int32_t, 9>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(SiteStore, AFileFromANewerSiteIsRefusedUntouched) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("s.sqlite"));
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
    db.setDatabaseName(path);
    ASSERT_TRUE(db.open());
    QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = 99"));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("newer"));
  Store store(path, 600, fixedNow);
  QString error;
  EXPECT_FALSE(store.open(&error));
  EXPECT_TRUE(error.contains(QStringLiteral("newer"))) << error.toStdString();
  EXPECT_EQ(pragma(path, "user_version").toInt(), 99);
}

TEST(SiteStore, AnUnwritablePlaceIsReportedNotCrashedOn) {
  Store store(QStringLiteral("/proc/no-such-dir/s.sqlite"), 600, fixedNow);
  QString error;
  EXPECT_FALSE(store.open(&error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_P(SiteStoreOnBoth, ExpiredTokensArePurgedYetAUsedOneNeverComesBackUnknown) {
  TestDatabase db(GetParam());
  qint64 now = 1'000'000;
  Store store(db.address, 600, [&now] { return now; });
  QString error;
  ASSERT_TRUE(store.open(&error));
  const QByteArray used = store.issueToken();
  const QByteArray unused = store.issueToken();
  ASSERT_EQ(store.enter({used, QStringLiteral("abc"), {}}).fault, QueryFault::None);
  now += 601;
  EXPECT_EQ(store.enter({unused, QStringLiteral("abc"), {}}).fault, QueryFault::ExpiredToken);
  now += 60;
  store.issueToken();  // purges both from the token table
  EXPECT_EQ(store.enter({unused, QStringLiteral("abc"), {}}).fault, QueryFault::UnknownToken);
  EXPECT_EQ(store.enter({used, QStringLiteral("abc"), {}}).fault, QueryFault::UsedToken);
  EXPECT_EQ(store.careerCount(), 1);
}

TEST_P(SiteStoreOnBoth, AnEntryTheDatabaseCannotTakeIsNeitherStoredNorItsTokenSpent) {
  TestDatabase db(GetParam());
  Store store(db.address, 600, fixedNow);
  store.setBusyTimeoutMs(50);
  QString error;
  ASSERT_TRUE(store.open(&error)) << error.toStdString();
  const QByteArray token = store.issueToken();
  {
    // Another process holds the lock for longer than the store will wait.
    QSqlDatabase other = testing::openDirect(db.address, QStringLiteral("lock"));
    ASSERT_TRUE(other.isOpen());
    QSqlQuery hold(other);
    ASSERT_TRUE(hold.exec(GetParam() == Db::SQLite ? QStringLiteral("BEGIN IMMEDIATE")
                                                   : QStringLiteral("BEGIN")));
    if (GetParam() == Db::PostgreSQL) {
      ASSERT_TRUE(hold.exec(QStringLiteral("LOCK TABLE tokens IN EXCLUSIVE MODE")));
    }
    EXPECT_EQ(store.enter({token, QStringLiteral("abc"), {}}).fault, QueryFault::Unavailable);
    if (GetParam() == Db::SQLite) {
      // A connection made meanwhile cannot check the schema either, and says why.
      Store late(db.address, 600, fixedNow);
      late.setBusyTimeoutMs(50);
      EXPECT_FALSE(late.open(&error));
      EXPECT_TRUE(error.contains(QStringLiteral("locked"))) << error.toStdString();
    }
    hold.exec(QStringLiteral("ROLLBACK"));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("lock"));
  EXPECT_EQ(store.careerCount(), 0);
  EXPECT_EQ(store.enter({token, QStringLiteral("abc"), {}}).fault, QueryFault::None);
  EXPECT_EQ(store.careerCount(), 1);
}

TEST_P(SiteStoreOnBoth, TheSchemaIsMadeOnceSurvivesARestartAndANewerOneIsRefusedUntouched) {
  TestDatabase db(GetParam());
  QString error;
  {
    Store first(db.address, 600, fixedNow);
    ASSERT_TRUE(first.open(&error)) << error.toStdString();
    ASSERT_EQ(first.enter({first.issueToken(), QStringLiteral("abc"), {0, 0, 97}}).fault,
              QueryFault::None);
  }
  Store again(db.address, 600, fixedNow);
  ASSERT_TRUE(again.open(&error)) << error.toStdString();
  ASSERT_EQ(again.careerCount(), 1);
  EXPECT_EQ(again.career(1)->times[2], 97);
  // Ids go on from where they were.
  EXPECT_EQ(again.enter({again.issueToken(), QStringLiteral("xyz"), {}}).id, 2);

  const QString newer = GetParam() == Db::SQLite
                            ? QStringLiteral("PRAGMA user_version = 99")
                            : QStringLiteral("UPDATE site_schema SET version = 99");
  {
    QSqlDatabase direct = testing::openDirect(db.address, QStringLiteral("newer"));
    ASSERT_TRUE(QSqlQuery(direct).exec(newer));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("newer"));
  Store later(db.address, 600, fixedNow);
  EXPECT_FALSE(later.open(&error));
  EXPECT_TRUE(error.contains(QStringLiteral("newer site (schema 99"))) << error.toStdString();
}

TEST(SiteStore, TheDatabaseIsAFileOrAPostgresUrlWithoutAPassword) {
  struct Case {
    const char* text;
    bool postgres;
    const char* user;
    const char* host;
    int port;
    const char* name;
  };
  const std::vector<Case> good = {
      {"/var/lib/milka/site.sqlite", false, "", "", 5432, ""},
      {"site.sqlite", false, "", "", 5432, ""},
      {"postgresql://milka@db.example:6543/site", true, "milka", "db.example", 6543, "site"},
      {"postgres://milka@127.0.0.1/site", true, "milka", "127.0.0.1", 5432, "site"},
  };
  for (const Case& c : good) {
    QString error;
    const std::optional<DatabaseAddress> a =
        DatabaseAddress::parse(QString::fromUtf8(c.text), &error);
    ASSERT_TRUE(a) << c.text << ": " << error.toStdString();
    EXPECT_EQ(a->kind == DatabaseAddress::Kind::PostgreSQL, c.postgres) << c.text;
    EXPECT_EQ(a->user, QString::fromUtf8(c.user)) << c.text;
    EXPECT_EQ(a->host, QString::fromUtf8(c.host)) << c.text;
    EXPECT_EQ(a->port, c.port) << c.text;
    EXPECT_EQ(a->name, QString::fromUtf8(c.name)) << c.text;
  }
  const std::vector<std::pair<const char*, const char*>> bad = {
      {"postgresql://milka:secret@h/site", "password"},
      {"postgresql://milka:@h/site", "password"},
      {"postgresql://h/site", "USER@HOST"},
      {"postgresql://milka@h", "USER@HOST"},
      {"postgresql://milka@h/site?sslmode=disable", "USER@HOST"},
      {"postgresql://milka@h/a/b", "USER@HOST"},
      {"", "no database"},
  };
  for (const auto& [text, says] : bad) {
    QString error;
    EXPECT_FALSE(DatabaseAddress::parse(QString::fromUtf8(text), &error)) << text;
    EXPECT_TRUE(error.contains(QString::fromUtf8(says))) << text << ": " << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("secret"))) << text;
  }
}

TEST(EntryQuery, ReadsBackWhatTheGameBuilds) {
  struct Case {
    std::string name;
    std::array<int32_t, 9> times;
  };
  const std::vector<Case> cases = {
      {"abc", {0, 0, 97, 0, 0, 0, 0, 0, 0}},
      {"←↑→↓", {9999, 1, 2, 3, 4, 5, 6, 7, 0}},
      {"abcdefghijkl", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"nm", {10, 20, 30, 40, 50, 60, 70, 80, 90}},
  };
  for (const Case& c : cases) {
    Family<int32_t, 12> sent{};
    for (size_t i = 0; i < online::kSentMonths.size(); ++i)
      sent[static_cast<size_t>(online::kSentMonths[i])] = c.times[i];
    const std::string url = online::queryUrl("http://h", "ABCDEFGHJK", c.name, sent);
    const ReadQuery read = readEntryQuery(QByteArray::fromStdString(url.substr(url.find('?') + 1)));
    ASSERT_TRUE(read.entry) << c.name;
    EXPECT_EQ(read.entry->token, "ABCDEFGHJK");
    EXPECT_EQ(read.entry->name, QString::fromStdString(c.name));
    EXPECT_EQ(read.entry->times, c.times) << c.name;
  }
}

TEST(EntryQuery, NamesAreCountedInKeySymbols) {
  EXPECT_EQ(keySymbolCount(QStringLiteral("ab")), 2);
  EXPECT_EQ(keySymbolCount(QStringLiteral("←a→")), 3);
  EXPECT_EQ(keySymbolCount(QStringLiteral("aB")), -1);
  EXPECT_EQ(keySymbolCount(QStringLiteral("a b")), -1);
  EXPECT_EQ(keySymbolCount(QStringLiteral("")), 0);
}

}  // namespace
}  // namespace milka::site
