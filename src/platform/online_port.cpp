#include "platform/online_port.h"

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

void QtOnlinePort::get(
    const std::string& url,
    std::function<void(const QString& where, const QByteArray& body, bool whole)> end) {
  QNetworkRequest request(QUrl(QString::fromStdString(url)));
  // The transfer timeout only counts silence; the timer below bounds a server that trickles.
  request.setTransferTimeout(static_cast<int>(limit_.count()));
  QNetworkReply* reply = manager_.get(request);
  ++pending_;

  auto body = std::make_shared<QByteArray>();
  auto overflowed = std::make_shared<bool>(false);
  QTimer::singleShot(limit_, reply, [reply] { reply->abort(); });
  connect(reply, &QNetworkReply::readyRead, this, [reply, body, overflowed] {
    body->append(reply->readAll());
    if (static_cast<size_t>(body->size()) > online::kFetchedTextLimit) {
      *overflowed = true;
      body->clear();
      reply->abort();
    }
  });
  connect(reply, &QNetworkReply::finished, this,
          [this, reply, body, overflowed, end = std::move(end)] {
            if (!*overflowed && reply->bytesAvailable() > 0) body->append(reply->readAll());
            const bool whole = !*overflowed && reply->error() == QNetworkReply::NoError &&
                               static_cast<size_t>(body->size()) <= online::kFetchedTextLimit;
            const QString where = reply->url().toString(QUrl::FullyEncoded);
            reply->deleteLater();
            --pending_;
            end(where, whole ? *body : QByteArray(), whole);
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
