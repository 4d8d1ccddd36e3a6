// Plays recorded events into a session at the pace they were played: one period of the five
// timers every 200 ms, or 2, 4 or 16 times as fast, with whatever was pressed in between in its
// place. Nothing the player presses reaches the game meanwhile; the window is locked.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

#include "journal/session.h"

namespace milka::platform {

class GameWindow;

class ReplayPlayer final : public QObject {
 public:
  ReplayPlayer(journal::Session& session, std::vector<journal::Event> events, size_t from,
               GameWindow& window);

  void start();
  // 1×, 2×, 4×, 16×, then 1× again; the new speed.
  int faster();
  int speed() const { return speed_; }
  // Straight on to the next race card (or the end).
  void skipToNextRace();
  // Straight on until stopWhen says so, or the end.
  void skipToStop();
  void setPaused(bool paused);

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

  journal::Session& session_;
  std::vector<journal::Event> events_;
  size_t at_;
  GameWindow& window_;
  QTimer timer_;
  int speed_ = 1;
  bool paused_ = false;
  bool done_ = false;
  std::function<bool(const Game&)> stopWhen_;
  std::function<void()> finished_;
};

}  // namespace milka::platform
