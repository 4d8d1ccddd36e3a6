#include "platform/net/requests.h"

#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>

namespace milka::platform {

bool Response::whole() const {
  return !over && error == QNetworkReply::NoError;
}

bool Response::fromServer() const {
  return error == QNetworkReply::NoError || error >= QNetworkReply::ContentAccessDenied;
}

Requests::Requests(std::chrono::milliseconds limit, QObject* parent)
    : QObject(parent), limit_(limit) {}

Requests::~Requests() {
  for (QNetworkReply* reply : manager_.findChildren<QNetworkReply*>()) {
    reply->disconnect(this);
    reply->abort();
  }
}

void Requests::get(const QString& url, qint64 cap, PastTheLimit past, Done done) {
  QNetworkRequest request{QUrl(url)};
  request.setTransferTimeout(static_cast<int>(limit_.count()));
  run(manager_.get(request), cap, past, std::move(done));
}

void Requests::post(const QString& url, const QByteArray& body, const QByteArray& contentType,
                    qint64 cap, PastTheLimit past, Done done) {
  QNetworkRequest request{QUrl(url)};
  request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
  request.setTransferTimeout(static_cast<int>(limit_.count()));
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::ManualRedirectPolicy);
  run(manager_.post(request, body), cap, past, std::move(done));
}

void Requests::run(QNetworkReply* reply, qint64 cap, PastTheLimit past, Done done) {
  ++pending_;
  auto body = std::make_shared<QByteArray>();
  auto over = std::make_shared<bool>(false);
  QTimer::singleShot(limit_, reply, [reply] { reply->abort(); });
  const auto take = [reply, body, over, cap, past] {
    if (*over) {
      reply->readAll();
      return;
    }
    body->append(reply->read(cap + 1 - body->size()));
    if (body->size() <= cap) return;
    *over = true;
    body->truncate(cap);
    if (past == PastTheLimit::Abort)
      reply->abort();
    else
      reply->readAll();
  };
  connect(reply, &QNetworkReply::readyRead, this, take);
  connect(reply, &QNetworkReply::finished, this,
          [this, reply, body, over, take, done = std::move(done)] {
            if (reply->isOpen()) take();
            Response response;
            response.error = reply->error();
            response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            response.body = *body;
            response.over = *over;
            response.where = reply->url().toString(QUrl::FullyEncoded);
            --pending_;
            done(response);
            reply->deleteLater();
          });
}

}  // namespace milka::platform
