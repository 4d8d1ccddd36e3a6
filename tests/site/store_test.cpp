// The site's database file: WAL mode, a versioned schema that survives a restart, a newer file
// refused, and the query reader on its own against what the game builds.
#include "site/store.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include "online/sent_months.h"
#include "online/submit.h"
#include "site/entry_query.h"

namespace milka::site {
namespace {

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

TEST(SiteStore, ExpiredTokensArePurgedYetAUsedOneNeverComesBackUnknown) {
  QTemporaryDir dir;
  qint64 now = 1'000'000;
  Store store(dir.filePath(QStringLiteral("s.sqlite")), 600, [&now] { return now; });
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

TEST(SiteStore, AnEntryTheDatabaseCannotTakeIsNeitherStoredNorItsTokenSpent) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("s.sqlite"));
  Store store(path, 600, fixedNow);
  store.setBusyTimeoutMs(50);
  QString error;
  ASSERT_TRUE(store.open(&error));
  const QByteArray token = store.issueToken();
  {
    // Another process holds the write lock for longer than the store will wait.
    QSqlDatabase other =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
    other.setDatabaseName(path);
    ASSERT_TRUE(other.open());
    ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE")));
    EXPECT_EQ(store.enter({token, QStringLiteral("abc"), {}}).fault, QueryFault::Unavailable);
    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("lock"));
  EXPECT_EQ(store.careerCount(), 0);
  EXPECT_EQ(store.enter({token, QStringLiteral("abc"), {}}).fault, QueryFault::None);
  EXPECT_EQ(store.careerCount(), 1);
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
