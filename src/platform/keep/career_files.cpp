#include "platform/keep/career_files.h"

namespace milka::platform {

CareerKeeper::CareerKeeper(QString dir, OnlinePort& outside)
    : CareerFilesParts(std::move(dir)), play::CareerKeeper(files, outside) {
  poll_.setInterval(FileWriter::kPeriod);
  QObject::connect(&poll_, &QTimer::timeout, [this] { poll(); });
  poll_.start();
}

void CareerKeeper::askSiteForSeeds(std::chrono::milliseconds limit) {
  if (!seeds) seeds = std::make_unique<SiteSeeds>();
  seeds->setTimeLimit(limit);
  askForSeeds(seeds.get());
}

}  // namespace milka::platform
