#include "platform/net/site_seed.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <utility>

#include "platform/net/online_port.h"

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
  ++pending_;
  readBounded(
      manager_.get(request), this, limit_, kReadLimit, PastTheLimit::Abort,
      [this, done = std::move(done)](QNetworkReply* reply, const QByteArray& body, bool over) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const std::string text(body.constData(), static_cast<size_t>(body.size()));
        const bool good =
            !over && reply->error() == QNetworkReply::NoError && status == 200 && isSiteSeed(text);
        --pending_;
        done(good ? text : std::string());
      });
}

}  // namespace milka::platform
