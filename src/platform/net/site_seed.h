// A seed from the maker's site for a new career, so that nobody can search seeds offline for an
// easy horse: the site issues it once and knows it again when the career is entered. Asking never
// holds the window, and a site that is away, slow or answers anything odd gives no seed; the
// career then plays on unseeded.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "play/seeds.h"

namespace milka::platform {

// What seed.php answers: exactly 32 lowercase hexadecimal digits.
bool isSiteSeed(std::string_view text);

class SiteSeeds final : public QObject, public play::SeedSource {
 public:
  explicit SiteSeeds(QObject* parent = nullptr);
  ~SiteSeeds() override;

  // Asks base's seed.php; done gets the seed, or the empty text when there is none. Called later,
  // never from inside ask, and never once this is gone.
  void ask(const std::string& base, std::function<void(std::string)> done) override;

  // How long the site has to answer in all; a new career does not wait long for it.
  void setTimeLimit(std::chrono::milliseconds limit) { limit_ = limit; }
  // Requests started and not yet ended.
  int pending() const { return pending_; }

 private:
  QNetworkAccessManager manager_;
  std::chrono::milliseconds limit_{3000};
  int pending_ = 0;
};

}  // namespace milka::platform
