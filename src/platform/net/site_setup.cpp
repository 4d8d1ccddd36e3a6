#include "platform/net/site_setup.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <cstdio>

#include "platform/net/online_port.h"
#include "site/site.h"

namespace milka::platform {

namespace {}  // namespace

SiteSetup::SiteSetup() = default;

SiteSetup::~SiteSetup() {
  if (!thread_) return;
  // The site and its database connection belong to their thread: end them there.
  QMetaObject::invokeMethod(
      context_, [this] { delete site_; }, Qt::BlockingQueuedConnection);
  site_ = nullptr;
  thread_->quit();
  thread_->wait();
}

QString SiteSetup::defaultDatabasePath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
         QStringLiteral("/site.sqlite");
}

QString SiteSetup::siteBaseFrom(const QString& text) {
  const QUrl url(text.trimmed(), QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
      url.host().isEmpty() || url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
    return {};
  QString base = url.toString(QUrl::FullyEncoded);
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  return base;
}

bool SiteSetup::apply(const QString& siteOption, QtOnlinePort& port, QString* error) {
  QString named = siteOption;
  if (named.isEmpty()) named = qEnvironmentVariable("MILKA_SITE");
  if (!named.isEmpty()) {
    const QString base = siteBaseFrom(named);
    if (base.isEmpty()) {
      *error = QStringLiteral("%1 is not a site address (http://host[:port][/path])").arg(named);
      return false;
    }
    port.siteBase = base.toStdString();
    return true;
  }

  QString why;
  if (startOwnSite(defaultDatabasePath(), &why)) {
    port.siteBase = ownBase_.toStdString();
  } else {
    std::fprintf(stderr,
                 "milka-derby: the game's own site could not start (%s); "
                 "the site button and the score entry will not reach it.\n",
                 qPrintable(why));
  }
  return true;
}

bool SiteSetup::startOwnSite(const QString& databasePath, QString* error) {
  const QString dir = QFileInfo(databasePath).absolutePath();
  if (!QDir().mkpath(dir)) {
    *error = QStringLiteral("cannot create %1").arg(dir);
    return false;
  }
  // Its own thread: a page being drawn or an entry being written never holds the window.
  thread_ = std::make_unique<QThread>();
  thread_->setObjectName(QStringLiteral("milka-site"));
  context_ = new QObject;
  context_->moveToThread(thread_.get());
  QObject::connect(thread_.get(), &QThread::finished, context_, &QObject::deleteLater);
  thread_->start();

  bool started = false;
  QMetaObject::invokeMethod(
      context_,
      [&] {
        site::SiteOptions options;
        options.databasePath = databasePath;
        options.journalDirectory = journalDir_;
        options.playDirectory = playDir_;
        if (options.playDirectory.isEmpty())
          options.playDirectory = qEnvironmentVariable("MILKA_SITE_PLAY");
        if (options.playDirectory.isEmpty()) options.playDirectory = site::builtPlayDirectory();
        site_ = new site::Site(options);
        started = site_->start(QHostAddress::LocalHost, 0, error);
        if (started) {
          ownBase_ = site_->baseUrl();
        } else {
          delete site_;
          site_ = nullptr;
        }
      },
      Qt::BlockingQueuedConnection);
  return started;
}

}  // namespace milka::platform
