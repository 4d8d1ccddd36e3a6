#include "platform/net/site_seed.h"

#include <utility>

namespace milka::platform {

namespace {

// A seed is 32 bytes; a little room for a server that adds a line end, and nothing more is read.
constexpr qint64 kReadLimit = 64;

}  // namespace

bool isSiteSeed(std::string_view text) {
  return play::isSiteSeed(text);
}

SiteSeeds::SiteSeeds(QObject* parent) : QObject(parent) {}

void SiteSeeds::ask(const std::string& base, std::function<void(std::string)> done) {
  std::string url = base;
  while (!url.empty() && url.back() == '/') url.pop_back();
  requests_.get(
      QString::fromStdString(url + "/seed.php"), kReadLimit, PastTheLimit::Abort,
      [done = std::move(done)](const Response& response) {
        const std::string text(response.body.constData(),
                               static_cast<size_t>(response.body.size()));
        done(response.whole() && response.status == 200 && isSiteSeed(text) ? text : std::string());
      });
}

}  // namespace milka::platform
