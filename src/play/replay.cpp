#include "play/replay.h"

#include <array>

namespace milka::play {

namespace {

constexpr std::array<int, 4> kSpeeds = {1, 2, 4, 16};

}  // namespace

ReplayPlayer::ReplayPlayer(journal::Session& session, std::vector<journal::Event> events,
                           size_t from, Window& window)
    : session_(session), events_(std::move(events)), at_(from), window_(window) {}

ReplayPlayer::~ReplayPlayer() {
  if (running_) window_.setPace(0, nullptr);
}

void ReplayPlayer::pace() {
  const bool run = !paused_ && !done_;
  if (!run && !running_) return;
  running_ = run;
  window_.setPace(run ? kPeriodMs / speed_ : 0,
                  run ? std::function<void()>([this] { tick(); }) : std::function<void()>());
}

void ReplayPlayer::start() {
  pace();
}

void ReplayPlayer::tick() {
  if (!step()) finish();
  window_.sync();
}

int ReplayPlayer::faster() {
  size_t i = 0;
  while (i < kSpeeds.size() && kSpeeds[i] != speed_) ++i;
  speed_ = kSpeeds[(i + 1) % kSpeeds.size()];
  if (running_) {
    running_ = false;
    pace();
  }
  return speed_;
}

void ReplayPlayer::setPaused(bool paused) {
  paused_ = paused;
  pace();
}

bool ReplayPlayer::feedOne() {
  if (done_ || at_ >= events_.size()) return false;
  session_.feed(events_[at_++]);
  if (stopWhen_ && stopWhen_(session_.game())) return false;
  return true;
}

bool ReplayPlayer::step() {
  // A period is five ticks; the presses between them come along in their places.
  int ticks = 0;
  while (ticks < 5) {
    if (at_ < events_.size() && events_[at_].kind == journal::Event::Kind::Timer) ++ticks;
    if (!feedOne()) return false;
  }
  return true;
}

void ReplayPlayer::skipToNextRace() {
  int32_t was = session_.game().state.screenState;
  while (true) {
    if (!feedOne()) {
      finish();
      break;
    }
    const int32_t now = session_.game().state.screenState;
    if (now == screen::kRaceCard && was != screen::kRaceCard) break;
    was = now;
  }
  window_.sync();
}

void ReplayPlayer::skipToStop() {
  while (feedOne()) {
  }
  finish();
  window_.sync();
}

void ReplayPlayer::finish() {
  if (done_) return;
  done_ = true;
  pace();
  if (finished_) finished_();
}

}  // namespace milka::play
