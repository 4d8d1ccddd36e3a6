// Plays recorded events into a session at the pace they were played: one period of the five
// timers for every tick the window gives it, which comes every 200 ms, or 2, 4 or 16 times as
// often, with whatever was pressed in between in its place.
#pragma once

#include <functional>
#include <vector>

#include "journal/session.h"
#include "play/window.h"

namespace milka::play {

class ReplayPlayer {
 public:
  static constexpr int kPeriodMs = 200;

  ReplayPlayer(journal::Session& session, std::vector<journal::Event> events, size_t from,
               Window& window);
  ~ReplayPlayer();
  ReplayPlayer(const ReplayPlayer&) = delete;
  ReplayPlayer& operator=(const ReplayPlayer&) = delete;

  void start();
  // 1×, 2×, 4×, 16×, then 1× again; the new speed.
  int faster();
  int speed() const { return speed_; }
  // Straight on to the next race card (or the end).
  void skipToNextRace();
  // Straight on until stopWhen says so, or the end.
  void skipToStop();
  void setPaused(bool paused);
  bool paused() const { return paused_; }
  // One period's events, as the window's pace calls for.
  void tick();

  // Checked after every event: the replay ends there when it answers true.
  void setStopWhen(std::function<bool(const Game&)> stop) { stopWhen_ = std::move(stop); }
  void setFinished(std::function<void()> finished) { finished_ = std::move(finished); }
  bool done() const { return done_; }
  size_t position() const { return at_; }

 private:
  // One period's events; false at the end.
  bool step();
  bool feedOne();
  void finish();
  void pace();

  journal::Session& session_;
  std::vector<journal::Event> events_;
  size_t at_;
  Window& window_;
  int speed_ = 1;
  bool running_ = false;
  bool paused_ = false;
  bool done_ = false;
  std::function<bool(const Game&)> stopWhen_;
  std::function<void()> finished_;
};

}  // namespace milka::play
