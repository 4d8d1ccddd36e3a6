// What the game should sound like at this moment, read from the model after every event: the
// sounds that start now, and the levels of the sounds that run on (hoofbeats and crowd). It
// never writes the model, and holds no toolkit, so a scripted race can be heard on paper.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "shell/game.h"

namespace milka::play {

enum class Cue : uint8_t {
  Title,        // the title screen comes up
  Stable,       // back at the stable
  Pasture,      // sent out to grass
  Fanfare,      // the race card of a graded or top race
  Start,        // the gates open and the bell rings: the runners move
  Whip,         // a correct key while whips remain
  FinalLap,     // the field turns into its last lap: the crowd lifts
  Goal,         // the first runner is past the post
  WinningGoal,  // ... and it is the player's horse
  CareerOver,   // the career-over record
};

// The sounds that run on, as levels the mixer glides towards.
struct Ambience {
  float gallop = 0;            // 0 silent .. 1 the field at full cry
  float stridesPerSecond = 2;  // the field's pace
  float fullness = 0;          // 1 bunched: many hooves at once; 0 strung out: a few
  float crowd = 0;             // 0 silent .. 1 the whole stand on its feet

  bool operator==(const Ambience&) const = default;
};

class SoundCues {
 public:
  // After every event: the cues that start because of it.
  std::vector<Cue> follow(const Game& game);
  const Ambience& ambience() const { return ambience_; }

 private:
  // The few fields the sounds depend on, as they were after the last event.
  struct Moment {
    int32_t screenState = 0;
    int32_t startCountdown = 0;
    int32_t raceTicks = 0;
    int32_t keyPromptState = 0;
    int32_t lapsToGo = 0;
    int32_t raceFinished = 0;
    int32_t playerFinished = 0;
    std::array<float, 11> left{};  // picture A of runners 1..10
  };
  static Moment momentOf(const Game& game);
  void updateAmbience(const Game& game, const Moment& now);

  Moment last_;
  Ambience ambience_;
  float speed_ = 0;  // twips per running tick, averaged over the field
  bool roared_ = false;
  bool seen_ = false;
};

// Whether the race card names one of the programme's graded or top races.
bool isGradedOrTopRace(const std::string& raceName);

}  // namespace milka::play
