// A whole career played in the real window on the offscreen platform, as a player would: the
// title, the stud book's pages, a name of twelve symbols and one of thirteen, the foal, the
// stable, a month at grass, a race at each of the four courses from the card to the board, the
// career-over record and the closing messages. Each screen is announced once it has settled;
// every tick of a race is announced too.
#pragma once

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "platform/window/window.h"
#include "shell/text.h"
#include "typed_key.h"

namespace milka::platform::testing {

// The same fair draws on every run: races spread out as real ones do, and the walk, its checks
// and its screenshots come out the same each time.
class SeededRandom final : public RandomSource {
 public:
  double Rnd() override { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }
  void Randomize() override {}

 private:
  std::mt19937_64 engine_{20261209};
};

// Sends nothing anywhere; the closing messages only need the request to stay unanswered.
class SilentPort final : public OnlinePort {
 public:
  void fetch(const std::string&, std::function<void(std::string)>) override {}
  void navigate(const std::string&, std::function<void(std::string)>) override {}
  void openUrl(const std::string&) override {}
};

class CareerWalk {
 public:
  std::function<void(const std::string& screen)> onScreen;
  std::function<void()> onRaceTick;

  CareerWalk() {
    // A steady text cursor, so a screenshot does not depend on when the cursor blinked.
    QApplication::setCursorFlashTime(0);
    window = std::make_unique<GameWindow>(game);
    // Pictures stand where the rules put them, so the runners the check counts are the ones
    // the screenshots show.
    window->canvas()->setGliding(false);
    game.Form_Load();
    window->sync();
    window->show();
    exposed = QTest::qWaitForWindowExposed(window.get());
  }

  ~CareerWalk() { QApplication::setCursorFlashTime(flashTime_); }
  CareerWalk(const CareerWalk&) = delete;
  CareerWalk& operator=(const CareerWalk&) = delete;

  void play() {
    GameState& s = game.state;
    ticks(12);
    screen("title");

    a();  // the stud book: the sires' three pages, then the dams
    ticks(1);
    screen("breeding-sires-1");
    b();
    screen("breeding-sires-2");
    b();
    screen("breeding-sires-3");
    b();
    down();
    a();
    ticks(1);
    screen("breeding-dams-1");
    a();

    // The longest name there is, then one symbol too many, erased again.
    const std::string arrows = "←↑→↓←↑→↓←↑→↓";
    type(arrows);
    ticks(2);
    screen("naming-12");
    type("m");
    a();
    ticks(1);
    screen("naming-13");
    b();
    type(arrows);
    a();
    ticks(2);
    screen("foal");
    a();
    ticks(2);
    screen("procedures-done");
    a();
    ticks(2);
    screen("stable");

    b();  // a month at grass
    ticks(6);
    screen("pasture");
    a();
    ticks(2);

    // Too light to race: the stable says so instead of showing the card.
    const int32_t weight = s.bodyWeight;
    s.bodyWeight = s.bestWeight - 30;
    a();
    ticks(2);
    screen("weight-warning");
    s.bodyWeight = weight;

    // One race at each course: the month decides where it is run.
    struct Venue {
      int32_t age, month;
      const char* name;
    };
    for (const Venue& v : {Venue{2, 7, "oi"}, Venue{2, 10, "kawasaki"}, Venue{3, 2, "funabashi"},
                           Venue{3, 1, "urawa"}}) {
      s.horseAge = v.age;
      s.month = v.month;
      s.bodyWeight = s.bestWeight;
      // Enough whips for the count to reach three digits.
      s.horseWhips = std::max(s.horseWhips, 150);
      race(v.name);
    }

    // A top race over seven laps at 大井 against the strongest rivals: the field strings out
    // far beyond the window and the commentary has long gaps to call.
    s.horseAge = 3;
    s.month = 3;
    s.horseClass = 14;
    s.bodyWeight = s.bestWeight;
    race("oi-top");

    // Past the last race of a career: the record of a horse that won the big races.
    for (int m : {1, 5, 6, 10, 11, 12}) {
      s.bigRaceWon[m] = 1;
      s.bigRaceTime[m] = 120 + m;
    }
    // The walk raised the class by hand, so the count of races is made to add up with it.
    s.racesRun = s.horseClass;
    for (int place = 2; place <= 10; ++place) s.racesRun += s.placeCount[place];
    s.horseAge = 5;
    ticks(3);
    screen("career-over");
    a();
    ticks(3);
    screen("finished");
  }

  void race(const std::string& course) {
    GameState& s = game.state;
    a();
    ticks(2);
    if (course == "oi") screen("racecard");
    a();
    for (int i = 0; i < 8; ++i) tick();
    if (course == "oi") screen("countdown");
    bool straight = false, shot = false;
    int typed = 0;
    for (int i = 0; i < 5000 && s.resultsShown == 0; ++i) {
      // A player who keeps up only half the time, so the field spreads out.
      if (s.screenState == screen::kRace && (++typed % 3) != 0) {
        const int code = milka::testing::keyCodeOf(game.form.label(12).caption);
        if (code != 0) game.Text1_KeyDown(static_cast<int16_t>(code), 0);
      }
      tick();
      if (onRaceTick) onRaceTick();
      if (!shot && course != "oi-top" && s.screenState == screen::kRace && s.raceTicks == 30) {
        screen("race-" + course);
        shot = true;
      }
      if (!straight && course == "oi-top" && s.lapsToGo == 0 && s.raceFinished == 1) {
        screen("final-straight");
        straight = true;
      }
    }
    ticks(2);
    if (course == "oi") screen("results");
    a();
    ticks(2);
  }

  // One period of the five timers, as the window delivers them.
  void tick() {
    game.Timer1_Timer();
    game.Timer2_Timer();
    game.Timer3_Timer();
    game.Timer4_Timer();
    game.Timer5_Timer();
    window->sync();
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) tick();
  }
  void a() { press(1, 3); }
  void b() { press(4, 2); }
  void down() { press(3, 2); }
  void press(int n, int wait) {
    ticks(wait);
    switch (n) {
      case 1: game.Command1_Click(); break;
      case 3: game.Command3_Click(); break;
      case 4: game.Command4_Click(); break;
      default: break;
    }
    window->sync();
  }
  void type(const std::string& symbols) {
    for (size_t i = 0; i < symbols.size();) {
      for (int code = 37; code <= 90; ++code) {
        const std::string c = symbolOfKey(code);
        if (!c.empty() && symbols.compare(i, c.size(), c) == 0) {
          game.Text1_KeyDown(static_cast<int16_t>(code), 0);
          i += c.size();
          break;
        }
      }
    }
    window->sync();
  }
  void screen(const std::string& name) {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    if (onScreen) onScreen(name);
  }

  SeededRandom random;
  SilentPort port;
  Game game{random, &port};
  std::unique_ptr<GameWindow> window;
  bool exposed = false;

 private:
  int flashTime_ = QApplication::cursorFlashTime();
};

}  // namespace milka::platform::testing
