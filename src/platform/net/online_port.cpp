#include "platform/net/online_port.h"

#include <QDesktopServices>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>

#include "online/submit.h"

namespace milka::platform {

QtOnlinePort::QtOnlinePort(QObject* parent) : QObject(parent) {}

QtOnlinePort::~QtOnlinePort() {
  // The game may be gone by now: end what is still running without telling anyone.
  for (QNetworkReply* reply : manager_.findChildren<QNetworkReply*>()) {
    reply->disconnect(this);
    reply->abort();
  }
}

void QtOnlinePort::setAfterCallback(std::function<void()> after) {
  after_ = std::move(after);
}

void QtOnlinePort::setOpenFailedCallback(std::function<void(const std::string& url)> failed) {
  openFailed_ = std::move(failed);
}

void QtOnlinePort::setTimeLimit(std::chrono::milliseconds limit) {
  limit_ = limit;
}

std::string QtOnlinePort::locationUrl() const {
  return location_;
}

void readBounded(QNetworkReply* reply, QObject* context, std::chrono::milliseconds limit,
                 qint64 maxBytes, PastTheLimit past,
                 std::function<void(QNetworkReply*, const QByteArray&, bool)> done) {
  auto body = std::make_shared<QByteArray>();
  auto over = std::make_shared<bool>(false);
  QTimer::singleShot(limit, reply, [reply] { reply->abort(); });
  const auto take = [reply, body, over, maxBytes, past] {
    if (*over) {
      reply->readAll();
      return;
    }
    body->append(reply->read(maxBytes + 1 - body->size()));
    if (body->size() <= maxBytes) return;
    *over = true;
    body->truncate(maxBytes);
    if (past == PastTheLimit::Abort)
      reply->abort();
    else
      reply->readAll();
  };
  QObject::connect(reply, &QNetworkReply::readyRead, context, take);
  QObject::connect(reply, &QNetworkReply::finished, context,
                   [reply, body, over, take, done = std::move(done)] {
                     if (reply->isOpen()) take();
                     done(reply, *body, *over);
                     reply->deleteLater();
                   });
}

void QtOnlinePort::get(
    const std::string& url,
    std::function<void(const QString& where, const QByteArray& body, bool whole)> end) {
  QNetworkRequest request(QUrl(QString::fromStdString(url)));
  request.setTransferTimeout(static_cast<int>(limit_.count()));
  ++pending_;
  readBounded(
      manager_.get(request), this, limit_, static_cast<qint64>(online::kFetchedTextLimit),
      PastTheLimit::Abort,
      [this, end = std::move(end)](QNetworkReply* reply, const QByteArray& body, bool over) {
        const bool whole = !over && reply->error() == QNetworkReply::NoError;
        --pending_;
        end(reply->url().toString(QUrl::FullyEncoded), whole ? body : QByteArray(), whole);
        if (after_) after_();
      });
}

void QtOnlinePort::fetch(const std::string& url, std::function<void(std::string)> done) {
  get(url, [done = std::move(done)](const QString&, const QByteArray& body, bool) {
    done(std::string(body.constData(), static_cast<size_t>(body.size())));
  });
}

void QtOnlinePort::navigate(const std::string& url, std::function<void(std::string)> arrived) {
  // A plain GET stands in for the browser: only where it ends up matters, never what it shows.
  get(url, [this, arrived = std::move(arrived)](const QString& where, const QByteArray&, bool) {
    location_ = where.toStdString();
    if (arrived) arrived(location_);
  });
}

void QtOnlinePort::openUrl(const std::string& url) {
  // Without a browser Qt only says so on stderr; the player is told on screen instead.
  if (!QDesktopServices::openUrl(QUrl(QString::fromStdString(url))) && openFailed_)
    openFailed_(url);
}

}  // namespace milka::platform
