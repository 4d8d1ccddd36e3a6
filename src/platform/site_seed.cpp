#include "platform/site_seed.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>

namespace milka::platform {

namespace {

constexpr size_t kSeedLength = 32;
// A seed is 32 bytes; a little room for a server that adds a line end, and nothing more is read.
constexpr qint64 kReadLimit = 64;

}  // namespace

bool isSiteSeed(std::string_view text) {
  if (text.size() != kSeedLength) return false;
  for (const char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

SiteSeeds::SiteSeeds(QObject* parent) : QObject(parent) {}

SiteSeeds::~SiteSeeds() {
  // Whoever asked may be gone with us: end what is still running without telling anyone.
  for (QNetworkReply* reply : manager_.findChildren<QNetworkReply*>()) {
    reply->disconnect(this);
    reply->abort();
  }
}

void SiteSeeds::ask(const std::string& base, std::function<void(std::string)> done) {
  std::string url = base;
  while (!url.empty() && url.back() == '/') url.pop_back();
  QNetworkRequest request(QUrl(QString::fromStdString(url + "/seed.php")));
  request.setTransferTimeout(static_cast<int>(limit_.count()));
  QNetworkReply* reply = manager_.get(request);
  ++pending_;

  auto body = std::make_shared<QByteArray>();
  auto overflowed = std::make_shared<bool>(false);
  // The transfer timeout only counts silence; this bounds a site that trickles.
  QTimer::singleShot(limit_, reply, [reply] { reply->abort(); });
  connect(reply, &QNetworkReply::readyRead, this, [reply, body, overflowed] {
    if (*overflowed) return;
    body->append(reply->read(kReadLimit + 1 - body->size()));
    if (body->size() > kReadLimit) {
      *overflowed = true;
      reply->abort();
    }
  });
  connect(reply, &QNetworkReply::finished, this,
          [this, reply, body, overflowed, done = std::move(done)] {
            if (!*overflowed && reply->isOpen() && body->size() <= kReadLimit)
              body->append(reply->read(kReadLimit + 1 - body->size()));
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            const std::string text(body->constData(), static_cast<size_t>(body->size()));
            const bool good = !*overflowed && reply->error() == QNetworkReply::NoError &&
                              status == 200 && isSiteSeed(text);
            reply->deleteLater();
            --pending_;
            done(good ? text : std::string());
          });
}

}  // namespace milka::platform
