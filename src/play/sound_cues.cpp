#include "play/sound_cues.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "career/programme_tables.h"
#include "race/running.h"

namespace milka::play {

namespace {

using screen::kRaceCard, screen::kRace, screen::kResults, screen::kCareerOver;
using screen::kTitle, screen::kStable, screen::kPasture;

// A runner moved further than this in one tick only when the field was put back a lap.
constexpr float kLapShift = 2000;
// The field within a length sounds like one thundering mass; beyond ten lengths, a few horses.
constexpr float kBunched = 500, kStrungOut = 5000;
constexpr float kStartLeft = 9700, kStartRight = 50;

float clamp01(float v) {
  return std::clamp(v, 0.0f, 1.0f);
}

bool running(int32_t screenState, int32_t startCountdown) {
  return screenState == kRace && startCountdown <= -1;
}

}  // namespace

bool isGradedOrTopRace(const std::string& raceName) {
  if (raceName.empty()) return false;
  for (int month = 1; month <= 12; ++month)
    if (raceName == career::kGradedRaces[month].name || raceName == career::kTopRaces[month].name)
      return true;
  return false;
}

SoundCues::Moment SoundCues::momentOf(const Game& game) {
  const GameState& s = game.state;
  Moment m;
  m.screenState = s.screenState;
  m.startCountdown = s.startCountdown;
  m.raceTicks = s.raceTicks;
  m.keyPromptState = s.keyPromptState;
  m.lapsToGo = s.lapsToGo;
  m.raceFinished = s.raceFinished;
  m.playerFinished = s.playerFinished;
  if (s.screenState == kRace)
    for (int k = 1; k <= 10; ++k)
      m.left[static_cast<size_t>(k)] = game.form.image(race::pictureA(s, k)).left;
  return m;
}

std::vector<Cue> SoundCues::follow(const Game& game) {
  const GameState& s = game.state;
  const Moment now = momentOf(game);
  const Moment& was = last_;
  std::vector<Cue> cues;
  if (!seen_) {
    // The first look only takes in the scene: a sound starts with a change the game makes while
    // it is listened to, not with whatever screen happened to be up when the sound came on.
    seen_ = true;
    updateAmbience(game, now);
    last_ = now;
    return cues;
  }

  if (now.screenState != was.screenState) {
    switch (now.screenState) {
      case kTitle: cues.push_back(Cue::Title); break;
      case kStable: cues.push_back(Cue::Stable); break;
      case kPasture: cues.push_back(Cue::Pasture); break;
      case kRaceCard:
        if (isGradedOrTopRace(s.raceName)) cues.push_back(Cue::Fanfare);
        break;
      case kCareerOver: cues.push_back(Cue::CareerOver); break;
      default: break;
    }
    if (now.screenState == kRace) roared_ = false;
  }
  if (now.screenState == kRace) {
    if (running(now.screenState, now.startCountdown) &&
        !running(was.screenState, was.startCountdown))
      cues.push_back(Cue::Start);
    // Heard when the key is typed, not when the tick spends the whip: the crack is the
    // player's answer to pressing it. With no whips left there is nothing to crack.
    if (now.keyPromptState == 1 && was.keyPromptState != 1 && s.horseWhips > 0 &&
        now.playerFinished == 0)
      cues.push_back(Cue::Whip);
    if (running(now.screenState, now.startCountdown) && now.lapsToGo == 0 && was.lapsToGo > 0 &&
        was.screenState == kRace)
      cues.push_back(Cue::FinalLap);
    if (!roared_ && now.raceFinished == 1 && now.lapsToGo <= 0) {
      roared_ = true;
      // The player's horse is ahead when it is its own crossing that ends the race.
      const bool won = now.playerFinished == 1 && s.runnerRank[10] == 1;
      cues.push_back(won ? Cue::WinningGoal : Cue::Goal);
    }
  }
  updateAmbience(game, now);
  last_ = now;
  return cues;
}

void SoundCues::updateAmbience(const Game& game, const Moment& now) {
  const GameState& s = game.state;
  Ambience a;
  const bool moving = running(now.screenState, now.startCountdown) && now.playerFinished == 0;
  if (moving) {
    if (now.raceTicks != last_.raceTicks && last_.screenState == kRace) {
      float sum = 0;
      int counted = 0;
      for (size_t k = 1; k <= 10; ++k) {
        const float step = std::fabs(now.left[k] - last_.left[k]);
        if (step < kLapShift) {
          sum += step;
          ++counted;
        }
      }
      if (counted > 0) speed_ = sum / static_cast<float>(counted);
    }
    const auto [lo, hi] = std::minmax_element(now.left.begin() + 1, now.left.end());
    const float spread = *hi - *lo;
    a.gallop = 1;
    // A canter at the slowest step the model gives, a flat-out gallop at the whipped one.
    a.stridesPerSecond = 1.7f + 1.3f * clamp01((speed_ - 30.0f) / 150.0f);
    a.fullness = 1 - clamp01((spread - kBunched) / (kStrungOut - kBunched));
  }
  if (running(now.screenState, now.startCountdown)) {
    if (now.raceFinished == 1 || now.playerFinished == 1) {
      a.crowd = 0.5f;
    } else if (now.lapsToGo > 0) {
      a.crowd = 0.22f;
    } else {
      // The last lap: the stand rises as the leader nears the post.
      const bool leftward = race::runsLeftward(s);
      const float lead = leftward ? *std::min_element(now.left.begin() + 1, now.left.end())
                                  : *std::max_element(now.left.begin() + 1, now.left.end());
      const float post = static_cast<float>(s.finishPostX);
      const float start = leftward ? kStartLeft : kStartRight;
      const float lap = post - start;
      const float done = std::fabs(lap) < 1 ? 1 : clamp01((lead - start) / lap);
      a.crowd = 0.38f + 0.42f * done;
    }
  } else if (now.screenState == kResults) {
    a.crowd = 0.1f;
  }
  ambience_ = a;
}

}  // namespace milka::play
