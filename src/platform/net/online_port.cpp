#include "platform/net/online_port.h"

#include <QDesktopServices>
#include <QUrl>
#include <utility>

#include "online/submit.h"

namespace milka::platform {

QtOnlinePort::QtOnlinePort(QObject* parent) : QObject(parent) {}

QtOnlinePort::~QtOnlinePort() = default;

void QtOnlinePort::setAfterCallback(std::function<void()> after) {
  after_ = std::move(after);
}

void QtOnlinePort::setOpenFailedCallback(std::function<void(const std::string& url)> failed) {
  openFailed_ = std::move(failed);
}

std::string QtOnlinePort::locationUrl() const {
  return location_;
}

void QtOnlinePort::get(
    const std::string& url,
    std::function<void(const QString& where, const QByteArray& body, bool whole)> end) {
  requests_.get(QString::fromStdString(url), static_cast<qint64>(online::kFetchedTextLimit),
                PastTheLimit::Abort, [this, end = std::move(end)](const Response& response) {
                  // The game sees an answer or the empty text, never a part of one.
                  end(response.where, response.whole() ? response.body : QByteArray(),
                      response.whole());
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
