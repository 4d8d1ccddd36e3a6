// The career as the player meets it in the window: started or continued (paused, with a word on
// what happened), paused and resumed, a race watched again from its card, a new horse; and a
// journal played back as a replay that nothing pressed can change.
#pragma once

#include <QObject>
#include <memory>

#include "journal/session.h"
#include "platform/career_keeper.h"
#include "platform/replay_player.h"
#include "platform/window.h"

namespace milka::platform {

class CareerPlay final : public QObject {
 public:
  CareerPlay(CareerKeeper& keeper, GameWindow& window);

  // After the window is shown: a continued career waits, paused, under its note.
  void begin(const CareerKeeper::Started& started);
  bool key(CareerKey k);

  bool watching() const { return watched_ != nullptr; }
  ReplayPlayer* player() const { return player_.get(); }

 private:
  void togglePause();
  void watchAgain();
  void endWatching();
  void newHorse();

  CareerKeeper& keeper_;
  GameWindow& window_;
  std::unique_ptr<journal::Session> watched_;
  std::unique_ptr<ReplayPlayer> player_;
};

// `--replay FILE`: the journal plays in the window at its own pace.
class ReplayShow final : public QObject {
 public:
  ReplayShow(journal::Session& session, std::vector<journal::Event> events, GameWindow& window);
  void begin();
  bool key(CareerKey k);
  ReplayPlayer& player() { return player_; }
  // What the note at the end says (the journal stops there).
  void setEndNote(QString note) { endNote_ = std::move(note); }

 private:
  GameWindow& window_;
  ReplayPlayer player_;
  QString endNote_;
  bool paused_ = false;
};

}  // namespace milka::platform
