// A seed from the maker's site for a new career, so that nobody can search seeds offline for an
// easy horse: the site issues it once and knows it again when the career is entered. Asking never
// holds the window, and a site that is away, slow or answers anything odd gives no seed; the
// career then plays on unseeded.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "platform/net/requests.h"
#include "play/seeds.h"

namespace milka::platform {

// What seed.php answers: exactly 32 lowercase hexadecimal digits.
bool isSiteSeed(std::string_view text);

class SiteSeeds final : public QObject, public play::SeedSource {
 public:
  explicit SiteSeeds(QObject* parent = nullptr);

  // Asks base's seed.php; done gets the seed, or the empty text when there is none. Called later,
  // never from inside ask, and never once this is gone.
  void ask(const std::string& base, std::function<void(std::string)> done) override;

  // How long the site has to answer in all; a new career does not wait long for it.
  void setTimeLimit(std::chrono::milliseconds limit) { requests_.setTimeLimit(limit); }
  // Requests started and not yet ended.
  int pending() const { return requests_.pending(); }

 private:
  Requests requests_{std::chrono::milliseconds(3000)};
};

}  // namespace milka::platform
