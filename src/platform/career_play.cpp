#include "platform/career_play.h"

#include <QTimer>

#include "platform/career_notes.h"

namespace milka::platform {

namespace {

bool boardShown(const Game& g) {
  return g.state.screenState == screen::kResults && g.state.resultsShown == 1;
}

}  // namespace

CareerPlay::CareerPlay(CareerKeeper& keeper, GameWindow& window)
    : keeper_(keeper), window_(window) {
  window_.setFeed([this](const journal::Event& e) { keeper_.session().feed(e); });
  window_.setCareerKeys([this](CareerKey k) { return key(k); });
  keeper_.setFailed([this] {
    // Told from the window's own turn, whoever noticed.
    QTimer::singleShot(0, this, [this] {
      const QString note = keeper_.takeFailureNote();
      if (!note.isEmpty()) window_.showNote(note);
    });
  });
}

void CareerPlay::begin(const CareerKeeper::Started& started) {
  if (started.continued) {
    window_.setPaused(true, started.note);
  } else if (!started.note.isEmpty()) {
    window_.showNote(started.note);
  }
  window_.startTimers();
  const QString failure = keeper_.takeFailureNote();
  if (!failure.isEmpty()) window_.showNote(failure);
}

bool CareerPlay::key(CareerKey k) {
  switch (k) {
    case CareerKey::Pause:
      if (watching())
        player_->setPaused(!window_.paused());
      togglePause();
      return true;
    case CareerKey::WatchAgain:
      if (!watching()) watchAgain();
      return true;
    case CareerKey::SkipRace:
      if (watching()) player_->skipToStop();
      return true;
    case CareerKey::NewHorse:
      // Only from a pause, so that a stray chord never ends a career.
      if (window_.paused() && !watching()) newHorse();
      return true;
    case CareerKey::Faster:
      if (watching()) window_.showNote(replaySpeedText(player_->faster()));
      return true;
    case CareerKey::None: break;
  }
  return false;
}

void CareerPlay::togglePause() {
  const bool pause = !window_.paused();
  window_.setPaused(pause);
  if (!pause && watching()) window_.setInputLocked(true);
}

void CareerPlay::watchAgain() {
  if (window_.paused() || !boardShown(keeper_.game()) || !keeper_.lastCardAt()) {
    window_.showNote(notWatchableText());
    return;
  }
  watched_ = keeper_.atLastCard();
  if (!watched_) return;
  const size_t from = *keeper_.lastCardAt();
  window_.setInputLocked(true);
  window_.setGame(watched_->game());
  window_.setTitlePrefix(watchingTitle());
  window_.showNote(watchingText());
  player_ = std::make_unique<ReplayPlayer>(*watched_, keeper_.events(), from, window_);
  player_->setStopWhen(boardShown);
  player_->setFinished([this] {
    // Not from inside the player's own step.
    QTimer::singleShot(0, this, [this] { endWatching(); });
  });
  player_->start();
}

void CareerPlay::endWatching() {
  window_.setGame(keeper_.game());
  window_.setTitlePrefix({});
  window_.setInputLocked(false);
  if (!window_.paused()) window_.setPaused(false);
  player_.reset();
  watched_.reset();
}

void CareerPlay::newHorse() {
  const CareerKeeper::Started started = keeper_.newHorse();
  window_.setGame(keeper_.game());
  window_.setPaused(false);
  window_.showNote(started.note.isEmpty() ? newHorseText() : started.note);
}

// --- Replays -----------------------------------------------------------------------------

ReplayShow::ReplayShow(journal::Session& session, std::vector<journal::Event> events,
                       GameWindow& window)
    : window_(window), player_(session, std::move(events), 0, window) {
  window_.setInputLocked(true);
  window_.setTitlePrefix(replayTitle());
  window_.setCareerKeys([this](CareerKey k) { return key(k); });
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
      paused_ = !paused_;
      player_.setPaused(paused_);
      if (paused_)
        window_.showLastingNote(pauseText());
      else if (!player_.done())
        window_.hideLastingNote();
      return true;
    default: return false;
  }
}

}  // namespace milka::platform
