// The career as the player meets it in any window: started or continued (paused, with a word on
// what happened), paused and resumed, a race watched again from its card and back to the board,
// a new horse; and a journal played back as a replay that nothing pressed can change.
#pragma once

#include <memory>

#include "journal/session.h"
#include "play/keeper.h"
#include "play/keys.h"
#include "play/replay.h"
#include "play/window.h"

namespace milka::play {

// A race's results board is up: where watching a race again may begin, and where it ends.
bool boardShown(const Game& g);

class CareerPlay {
 public:
  CareerPlay(CareerKeeper& keeper, Window& window);
  ~CareerPlay();

  // After the window is shown: a continued career waits, paused, under its note.
  void begin(const CareerKeeper::Started& started);
  // What the window receives, fed to the career unless it is paused or a race is watched.
  void feed(const journal::Event& e);
  bool key(CareerKey k);

  bool paused() const { return paused_; }
  bool watching() const { return watched_ != nullptr; }
  ReplayPlayer* player() const { return player_.get(); }
  // The game the window shows: the career's, or the race watched again.
  Game& shown();

 private:
  void setPaused(bool paused, const std::string& note = {});
  void watchAgain();
  void endWatching();
  void newHorse();
  void tellFailure();

  CareerKeeper& keeper_;
  Window& window_;
  bool paused_ = false;
  std::unique_ptr<journal::Session> watched_;
  std::unique_ptr<ReplayPlayer> player_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// A journal played in the window at its own pace.
class ReplayShow {
 public:
  ReplayShow(journal::Session& session, std::vector<journal::Event> events, Window& window);
  void begin();
  bool key(CareerKey k);
  ReplayPlayer& player() { return player_; }
  // What the note at the end says (the journal stops there).
  void setEndNote(std::string note) { endNote_ = std::move(note); }

 private:
  Window& window_;
  ReplayPlayer player_;
  std::string endNote_;
};

}  // namespace milka::play
