// How the game finds its site: its own, started on 127.0.0.1 with the database in the user's
// data directory, unless --site or MILKA_SITE names another; and the note over the window
// when the site button finds no browser.
#include "platform/net/site_setup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QTest>

#include "platform/app/notes.h"
#include "platform/net/online_port.h"
#include "platform/window/window.h"
#include "scripted_random.h"
#include "site/play_fixture.h"

namespace milka::platform {
namespace {

// Sets an environment variable for one test, and puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnv() {
    if (had_)
      qputenv(name_, old_);
    else
      qunsetenv(name_);
  }

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

TEST(SiteSetup, SiteAddressesAreWebAddressesOnly) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"http://example.org", "http://example.org"},
      {"https://example.org/milka/", "https://example.org/milka"},
      {"http://127.0.0.1:8080//", "http://127.0.0.1:8080"},
      {" http://h ", "http://h"},
      {"ftp://example.org", ""},
      {"example.org", ""},
      {"http://", ""},
      {"http://h/?x=1", ""},
      {"http://h/#top", ""},
      {"http://user:pw@h/", ""},
      {"javascript:alert(1)", ""},
  };
  for (const auto& [text, base] : cases)
    EXPECT_EQ(SiteSetup::siteBaseFrom(QString::fromUtf8(text)), QString::fromUtf8(base)) << text;
}

TEST(SiteSetup, ANamedSiteIsUsedAndNoneStarted) {
  const ScopedEnv env("MILKA_SITE", "http://from-env.example");
  {
    QtOnlinePort port;
    SiteSetup setup;
    QString error;
    ASSERT_TRUE(setup.apply(QStringLiteral("https://from-option.example/m/"), port, &error));
    EXPECT_EQ(port.siteBase, "https://from-option.example/m");
    EXPECT_TRUE(setup.ownSiteBase().isEmpty());
  }
  QtOnlinePort port;
  SiteSetup setup;
  QString error;
  ASSERT_TRUE(setup.apply(QString(), port, &error));
  EXPECT_EQ(port.siteBase, "http://from-env.example");
  EXPECT_TRUE(setup.ownSiteBase().isEmpty());

  EXPECT_FALSE(setup.apply(QStringLiteral("ftp://x"), port, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("ftp://x")));
}

TEST(SiteSetup, OutOfTheBoxTheGameRunsItsOwnSiteInTheUsersDataDirectory) {
  QTemporaryDir data;
  const ScopedEnv home("XDG_DATA_HOME", data.path().toUtf8());
  const ScopedEnv none("MILKA_SITE", "");
  QtOnlinePort port;
  SiteSetup setup;
  QString error;
  ASSERT_TRUE(setup.apply(QString(), port, &error));
  ASSERT_FALSE(setup.ownSiteBase().isEmpty());
  EXPECT_EQ(port.siteBase, setup.ownSiteBase().toStdString());
  EXPECT_TRUE(port.siteBase.starts_with("http://127.0.0.1:")) << port.siteBase;
  EXPECT_TRUE(SiteSetup::defaultDatabasePath().startsWith(data.path()));
  EXPECT_TRUE(QFileInfo::exists(SiteSetup::defaultDatabasePath()));

  // The site runs in its own thread; this one only waits for the answer.
  QNetworkAccessManager client;
  QNetworkReply* reply = client.get(QNetworkRequest(QUrl(setup.ownSiteBase() + "/karuden/")));
  ASSERT_TRUE(QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000));
  EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
  EXPECT_TRUE(QString::fromUtf8(reply->readAll()).contains(QStringLiteral("レースカレンダー")));
  delete reply;
}

// The game's own site serves the browser game from the tree its setter names, else from the one
// MILKA_SITE_PLAY names.
TEST(SiteSetup, TheGamesOwnSiteServesTheBrowserGameItIsPointedAt) {
  site::testing::PlayFixture tree, other;
  other.put("index.html", "another tree's index");
  QTemporaryDir data;
  const ScopedEnv home("XDG_DATA_HOME", data.path().toUtf8());
  const ScopedEnv none("MILKA_SITE", "");
  const ScopedEnv play("MILKA_SITE_PLAY", tree.play.toUtf8());
  for (const bool set : {false, true}) {
    QtOnlinePort port;
    SiteSetup setup;
    if (set) setup.setPlayDirectory(other.play);
    QString error;
    ASSERT_TRUE(setup.apply(QString(), port, &error));
    QNetworkAccessManager client;
    QNetworkRequest request(QUrl(setup.ownSiteBase() + QStringLiteral("/play/")));
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply* reply = client.get(request);
    ASSERT_TRUE(QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000));
    EXPECT_EQ(reply->readAll(), (set ? other : tree).files[QStringLiteral("index.html")]) << set;
    delete reply;
  }
}

TEST(NoteOverlay, WithoutABrowserTheSiteButtonSaysSoOverTheWindowForAMoment) {
  // The offscreen platform opens no address, as a machine without a browser.
  milka::testing::ScriptedRandom random;
  QtOnlinePort port;
  port.siteBase = "http://127.0.0.1:9";
  Game game(random, &port);
  game.Form_Load();
  GameWindow window(game);
  noteFailedOpens(port, window);
  window.show();
  EXPECT_EQ(window.note(), nullptr);

  window.command(5)->click();
  NoteOverlay* note = window.note();
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(note->isVisible());
  EXPECT_TRUE(note->text().contains(QStringLiteral("ブラウザを開けませんでした")));
  EXPECT_TRUE(note->text().contains(QStringLiteral("http://127.0.0.1:9/karuden/")));
  // Over the window, inside it, and never in the way of a click or the typing.
  EXPECT_TRUE(window.rect().contains(note->geometry()));
  EXPECT_TRUE(note->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_EQ(note->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(window.children().last(), note);
  // Kept for a look at how it sits on the form.
  QDir().mkpath(QStringLiteral(MILKA_TEST_ARTEFACTS));
  EXPECT_TRUE(window.grab().save(QStringLiteral(MILKA_TEST_ARTEFACTS "/no-browser-note.png")));

  EXPECT_TRUE(QTest::qWaitFor([note] { return !note->isVisible(); }, NoteOverlay::kShownMs + 2000));
}

}  // namespace
}  // namespace milka::platform
