// The career kept on the desktop: the midend's keeper over journal files in the player's data
// directory, asking the maker's site for new careers' seeds, and handing the journal to the disk
// once a period from the window's own turn.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

#include "platform/keep/file_store.h"
#include "platform/net/site_seed.h"
#include "play/keeper.h"

namespace milka::platform {

namespace detail {
// Made before the keeper that uses them, and gone after it.
struct CareerFilesParts {
  explicit CareerFilesParts(QString dir) : files(std::move(dir)) {}
  FileStore files;
  std::unique_ptr<SiteSeeds> seeds;
};
}  // namespace detail

class CareerKeeper final : private detail::CareerFilesParts, public play::CareerKeeper {
 public:
  // dir: where the journals are (made when missing); outside: where the game's requests go.
  CareerKeeper(QString dir, OnlinePort& outside);

  // From now on every new career asks the maker's site for a seed (see SiteSeeds).
  void askSiteForSeeds(std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
  const SiteSeeds* siteSeeds() const { return seeds.get(); }

  // The running career's journal file.
  QString path() const { return files.pathOf(name()); }
  const FileWriter* writer() const { return files.writer(); }

 private:
  QTimer poll_;
};

}  // namespace milka::platform
