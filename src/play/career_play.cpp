#include "play/career_play.h"

#include "play/words.h"

namespace milka::play {

bool boardShown(const Game& g) {
  return g.state.screenState == screen::kResults && g.state.resultsShown == 1;
}

CareerPlay::CareerPlay(CareerKeeper& keeper, Window& window) : keeper_(keeper), window_(window) {
  keeper_.setFailed([this, alive = std::weak_ptr<bool>(alive_)] {
    // Told from the window's own turn, whoever noticed.
    window_.later([this, alive] {
      if (alive.lock()) tellFailure();
    });
  });
}

CareerPlay::~CareerPlay() {
  keeper_.setFailed(nullptr);
}

void CareerPlay::tellFailure() {
  const std::string note = keeper_.takeFailureNote();
  if (!note.empty()) window_.showNote(note);
}

Game& CareerPlay::shown() {
  return watched_ ? watched_->game() : keeper_.game();
}

void CareerPlay::begin(const CareerKeeper::Started& started) {
  if (started.continued) {
    setPaused(true, started.note);
  } else {
    if (!started.note.empty()) window_.showNote(started.note);
    window_.setStill(false, false);
  }
  tellFailure();
}

void CareerPlay::feed(const journal::Event& e) {
  if (watching() || (paused_ && e.kind != journal::Event::Kind::Timer)) return;
  keeper_.session().feed(e);
}

bool CareerPlay::key(CareerKey k) {
  switch (k) {
    case CareerKey::Pause:
      if (watching()) player_->setPaused(!paused_);
      setPaused(!paused_);
      return true;
    case CareerKey::WatchAgain:
      if (!watching()) watchAgain();
      return true;
    case CareerKey::SkipRace:
      if (watching()) player_->skipToStop();
      return true;
    case CareerKey::NewHorse:
      // Only from a pause, so that a stray chord never ends a career.
      if (paused_ && !watching()) newHorse();
      return true;
    case CareerKey::Faster:
      if (watching()) window_.showNote(replaySpeedText(player_->faster()));
      return true;
    case CareerKey::None: break;
  }
  return false;
}

void CareerPlay::setPaused(bool paused, const std::string& note) {
  paused_ = paused;
  window_.setStill(paused_, watching());
  if (paused_)
    window_.showLastingNote(note.empty() ? pauseText() : note);
  else
    window_.hideLastingNote();
}

void CareerPlay::watchAgain() {
  if (paused_ || !boardShown(keeper_.game()) || !keeper_.lastCardAt()) {
    window_.showNote(notWatchableText());
    return;
  }
  watched_ = keeper_.atLastCard();
  if (!watched_) return;
  const size_t from = *keeper_.lastCardAt();
  window_.setStill(paused_, true);
  window_.setGame(watched_->game());
  window_.setTitlePrefix(watchingTitle());
  window_.showNote(watchingText());
  player_ = std::make_unique<ReplayPlayer>(*watched_, keeper_.events(), from, window_);
  player_->setStopWhen(boardShown);
  player_->setFinished([this, alive = std::weak_ptr<bool>(alive_)] {
    // Not from inside the player's own step.
    window_.later([this, alive] {
      if (alive.lock()) endWatching();
    });
  });
  player_->start();
}

void CareerPlay::endWatching() {
  window_.setGame(keeper_.game());
  window_.setTitlePrefix({});
  player_.reset();
  watched_.reset();
  window_.setStill(paused_, false);
}

void CareerPlay::newHorse() {
  const CareerKeeper::Started started = keeper_.newHorse();
  window_.setGame(keeper_.game());
  setPaused(false);
  window_.showNote(started.note.empty() ? newHorseText() : started.note);
}

// --- Replays -----------------------------------------------------------------------------

ReplayShow::ReplayShow(journal::Session& session, std::vector<journal::Event> events,
                       Window& window)
    : window_(window), player_(session, std::move(events), 0, window) {
  window_.setStill(false, true);
  window_.setTitlePrefix(replayTitle());
  endNote_ = replayEndText();
  player_.setFinished([this] { window_.showLastingNote(endNote_); });
}

void ReplayShow::begin() {
  window_.showNote(replayHelpText());
  player_.start();
}

bool ReplayShow::key(CareerKey k) {
  switch (k) {
    case CareerKey::Faster: window_.showNote(replaySpeedText(player_.faster())); return true;
    case CareerKey::SkipRace: player_.skipToNextRace(); return true;
    case CareerKey::Pause:
      player_.setPaused(!player_.paused());
      if (player_.paused())
        window_.showLastingNote(pauseText());
      else if (!player_.done())
        window_.hideLastingNote();
      return true;
    default: return false;
  }
}

}  // namespace milka::play
