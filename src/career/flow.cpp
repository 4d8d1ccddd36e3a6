// The career flow. The A button does one step of the current screen; B acts on the breeding
// screen, the name and the stable. Every accepted press restarts the pacing counter, and since
// every step needs the counter above 2, one press can never do two steps, even when a step moves
// the game into a screen tested later in the same press.
#include "career/flow.h"

#include <array>

#include "career/breeding.h"
#include "career/naming.h"
#include "career/programme.h"
#include "career/stable.h"
#include "online/submit.h"
#include "race/field.h"
#include "shell/game.h"
#include "shell/text.h"

namespace milka {

void Game::Command1_Click() {
  GameState& s = state;
  if (s.screenState == screen::kCareerOver) online::submitRecord(*this);  // paces itself
  if (s.screenState == screen::kTitle && s.buttonTicks > 2) {
    career::leaveTitle(*this);
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kPasture && s.buttonTicks > 2) {
    career::returnFromPasture(*this);
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kStable && s.buttonTicks > 2) {
    career::enterMonthRace(*this);
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kBreeding && s.buttonTicks > 2) {
    switch (s.setupPhase) {
      case 5: career::openStable(*this); break;
      case 4: career::finishProcedures(*this); break;
      case 3: career::confirmName(*this); break;
      case 2: career::chooseDam(*this); break;
      case 1: career::chooseSire(*this); break;
      default: break;
    }
    s.buttonTicks = 0;
  }
  if (s.screenState == screen::kRaceCard && s.buttonTicks > 2) {
    career::startRace(*this);
    s.buttonTicks = 0;
  }
  // The board books the race into the record on its own tick, which may come after this press
  // in the same period; leaving before it is drawn would lose the place, the win and the top
  // race. Until then the press is not taken, and the pacing count runs on.
  if (s.screenState == screen::kResults && s.resultsShown == 1 && s.buttonTicks > 2) {
    career::afterRace(*this);
    s.buttonTicks = 0;
  }
}

void Game::Command4_Click() {
  GameState& s = state;
  if (s.screenState == screen::kBreeding) {
    // Erasing the name does not wait for the pacing counter.
    if (s.setupPhase == 3) career::eraseName(*this);
    if (s.buttonTicks > 1) {
      career::turnPage(*this);
      s.buttonTicks = 0;
    }
  } else if (s.screenState == screen::kStable) {
    if (s.buttonTicks > 1)
      career::sendToPasture(*this);
    else
      s.buttonTicks = 0;
  }
}

namespace career {

namespace {

constexpr std::array<const char*, 5> kVenueHeading = {"", "大井競馬場    ", "川崎競馬場    ",
                                                      "船橋競馬場    ", "浦和競馬場    "};
constexpr std::array<const char*, 4> kSurfaceHeading = {"", "周    ダート", "周    ドロ",
                                                        "周    芝"};
constexpr std::array<uint32_t, 11> kGateColour = {0,        0xEEEEEE, 0xCDCDCD, 0xFEB1BD,
                                                  0x6696FD, 0xFFFF99, 0x10FF10, 0xFFC040,
                                                  0xFFC040, 0xFF99FF, 0xFF99FF};

int32_t finishPostOfVenue(int32_t venue) {
  switch (venue) {
    case 1: return 200;
    case 2: return 8000;
    case 3: return 9700;
    case 4: return 7000;
    default: return 200;
  }
}

template <size_t N>
const char* at(const std::array<const char*, N>& table, int32_t i) {
  return (i >= 1 && static_cast<size_t>(i) < N) ? table[static_cast<size_t>(i)] : "";
}

// Nine draws 1..34, re-seeding before each, repeated until all nine differ.
void drawDistinct(Game& g, Family<int32_t, 9>& picks) {
  for (int32_t round = 0; round < 999999999; ++round) {
    for (int k = 1; k <= 9; ++k) picks[k] = g.rng.reseedPick(34);
    bool distinct = true;
    for (int a = 1; a <= 9 && distinct; ++a)
      for (int b = a + 1; b <= 9; ++b)
        if (picks[a] == picks[b]) {
          distinct = false;
          break;
        }
    if (distinct) return;
  }
}

}  // namespace

void leaveTitle(Game& g) {
  Form& f = g.form;
  g.state.screenState = screen::kBreeding;
  f.label(14).top = 9999;
  f.label(15).top = 9999;
  for (int n : {21, 19, 17, 15, 13}) f.image(n).top = -2460;
  f.image(22).top = -4500;
  f.image(20).top = -3500;
  f.image(18).top = -4000;
  f.image(16).top = -2000;
  f.image(14).top = -4000;
  for (int n = 16; n <= 26; ++n) f.label(n).left = 915;
  f.backColour = 0x111111;
}

void openStable(Game& g) {
  Form& f = g.form;
  for (int n : {13, 14, 15, 16, 23, 24, 25, 26, 27, 28, 31, 32}) f.image(n).top = -2000;
  f.text1.text.clear();
  f.backColour = 0x80FF8D;
  f.label(29).top = -2700;
  g.state.screenState = screen::kStable;
  f.label(37).caption = "厩舎画面";
  g.state.setupPhase = 0;
}

void advanceMonth(Game& g) {
  GameState& s = g.state;
  s.month += 1;
  if (s.month > 12) {
    s.month = 1;
    s.horseAge += 1;
  }
}

void returnFromPasture(Game& g) {
  for (int n = 13; n <= 28; ++n) g.form.image(n).top = -3300;
  g.form.label(37).caption = "厩舎画面";
  advanceMonth(g);
  g.state.screenState = screen::kStable;
}

std::string raceHeading(const GameState& s) {
  return std::string(at(kVenueHeading, s.venue)) + s.raceName + "    " + num(s.lapsToGo) +
         at(kSurfaceHeading, s.trackSurface);
}

std::string raceCardRow(const GameState& s, int gate) {
  if (gate == 10) return spaces(13) + "あなた" + s.horseName + "    10番" + spaces(15);
  return "騎手" + s.jockeyName[gate] + spaces(13) + s.runnerName[gate] + "    " + num(gate) + "番" +
         spaces(15);
}

void drawField(Game& g) {
  drawDistinct(g, g.state.rivalPick);
  drawDistinct(g, g.state.jockeyPick);
  for (int gate = 1; gate <= 9; ++gate) race::makeRivalRow(g, gate);
}

void enterMonthRace(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;

  s.trackSurface = g.rng.reseedPick(3);
  f.label(38).caption.clear();
  f.label(40).caption.clear();
  f.label(37).caption.clear();
  for (int n = 17; n <= 26; ++n) f.label(n).foreColour = 0x111111;

  s.venue = venueOfMonth(s.month);
  if (s.horseAge >= 5)
    s.screenState = screen::kCareerOver;
  else
    lookUpRace(g);

  drawField(g);
  s.finishPostX = finishPostOfVenue(s.venue);

  Label& prompt = f.label(27);
  prompt.top = 300;
  if (s.bodyWeight < s.bestWeight - 20) {
    prompt.foreColour = 0xFF1111;
    prompt.caption = "放牧しましょう。馬体重が馬じゃなくなってきました。やばいっす！";
    // The race is not run, so its top race must not stay entered: the next win would book it
    // as won, with that race's time.
    if (s.month >= 1 && s.month <= 12) s.bigRaceEntered[s.month] = 0;
    return;
  }
  prompt.foreColour = 0x000000;
  prompt.caption = raceHeading(s);

  for (int gate = 1; gate <= 10; ++gate) {
    Label& row = f.label(16 + gate);
    row.left = 915;
    row.backColour = kGateColour[static_cast<size_t>(gate)];
    row.caption = raceCardRow(s, gate);
  }
  if (s.screenState != screen::kCareerOver) s.screenState = screen::kRaceCard;
  for (int n = 30; n <= 35; ++n) f.label(n).top = -3700;
}

void startRace(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  f.label(39).transparent = false;
  f.label(28).top = 6240;
  s.commentaryState = 0;
  s.commentaryTicks = 0;
  s.rerankRequested = 0;
  s.straightStage = 0;
  s.raceFinished = 0;
  s.finishStage = 0;
  for (int n = 16; n <= 26; ++n) f.label(n).left = kRowsHiddenLeft;
  f.label(27).top = -2500;
  s.startCountdown = 3;
  s.countdownStep = 0;
  s.raceLaps = s.lapsToGo;
  s.raceTicks = 0;
  f.label(1).caption = num(s.lapsToGo);
  f.label(2).caption = num(s.raceTicks);
  s.screenState = screen::kRace;
}

int32_t growthGain(Game& g) {
  const GameState& s = g.state;
  Rng& r = g.rng;
  switch (s.horseGrowth) {
    case 1:
      if (s.horseAge == 2) return r.pick(6) + 3;
      if (s.horseAge == 3) return r.pick(4) + 1;
      if (s.horseAge == 4) return r.pick(2);
      break;
    case 2:
      if (s.horseAge == 2) return r.pick(3) + 1;
      if (s.horseAge == 3) return r.pick(5) + 1;
      if (s.horseAge == 4) return r.pick(3) + 1;
      break;
    case 3:
      if (s.horseAge == 2) return r.pick(2) + 1;
      if (s.horseAge == 3) return r.pick(2) + 1;
      if (s.horseAge == 4) return r.pick(5) + 1;
      break;
    default: break;
  }
  return 0;
}

void afterRace(Game& g) {
  GameState& s = g.state;
  Form& f = g.form;
  f.label(39).caption.clear();
  f.label(39).transparent = true;
  f.label(28).top = 5880;
  for (int k = 1; k <= 10; ++k) s.finishPlace[k] = 1;
  f.backColour = 0x80FF8D;
  for (int n = 16; n <= 26; ++n) f.label(n).left = kRowsHiddenLeft;
  f.label(7).caption.clear();
  f.label(27).top = -2500;

  advanceMonth(g);
  s.racesRun += 1;

  s.screenState = screen::kStable;
  f.text1.text.clear();
  f.label(37).caption = "厩舎画面";
  s.playerFinished = 0;
  s.afterFinishTicks = 0;
  s.resultsShown = 0;

  s.bodyWeight -= g.rng.pick(5);
  g.rng.Randomize();
  s.horseSpeed += growthGain(g);

  for (int m = 1; m <= 12; ++m) s.bigRaceEntered[m] = 0;
}

}  // namespace career
}  // namespace milka
