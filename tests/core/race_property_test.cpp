// Many races with the game's own clock-seeded random source and all sorts of horses, courses
// and players: every race ends, and the board always places each runner exactly once.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "career/flow.h"
#include "shell/game.h"
#include "shell/random.h"
#include "shell/text.h"
#include "typed_key.h"

namespace milka {
namespace {

class FakeClock final : public Clock {
 public:
  explicit FakeClock(uint64_t start) : t_(start) {}
  uint64_t now() override { return t_ += 1000; }

 private:
  uint64_t t_;
};

constexpr int kRaces = 80;
constexpr int kTickBound = 20000;  // far beyond the slowest horse over seven laps

using milka::testing::keyCodeOf;

TEST(RaceProperty, EveryRaceEndsAndThePlacesAreAPermutation) {
  const int posts[5] = {0, 200, 8000, 9700, 7000};
  for (int race = 0; race < kRaces; ++race) {
    std::mt19937 dice(static_cast<uint32_t>(race));
    auto roll = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(dice); };
    FakeClock clock(static_cast<uint64_t>(race) * 7919);
    ClockRandom random(clock);
    Game game(random);
    game.Form_Load();
    GameState& s = game.state;

    s.setupPhase = 0;
    s.horseName = "ab";
    s.horseAge = roll(2, 4);
    s.horseClass = roll(0, 20);
    s.horseSpeed = roll(20, 250);
    s.horseWhips = roll(0, 300);
    s.horseKeys = roll(1, 30);
    s.horseStyle = roll(0, 4);
    s.horseDistance = roll(1, 3);
    s.horseGrowth = roll(1, 3);
    s.bestWeight = 450;
    s.bodyWeight = 450 - roll(0, 1);
    s.month = roll(1, 12);
    s.venue = roll(1, 4);
    s.finishPostX = posts[s.venue];
    s.trackSurface = roll(1, 3);
    s.lapsToGo = roll(1, 7);
    s.raceName = "特別";
    for (int m = 10; m <= 12; ++m) s.bigRaceEntered[m] = roll(0, 3) == 0 ? 1 : 0;
    const int typing = roll(0, 10);  // how often in ten ticks the player types the symbol
    const int classBefore = s.horseClass;

    career::drawField(game);
    s.screenState = screen::kRaceCard;
    s.buttonTicks = 3;
    game.Command1_Click();
    ASSERT_EQ(s.screenState, screen::kRace) << race;

    int ticks = 0;
    for (; s.resultsShown == 0 && ticks < kTickBound; ++ticks) {
      if (s.screenState == screen::kRace && roll(1, 10) <= typing) {
        const int code = keyCodeOf(game.form.label(12).caption);
        if (code != 0) game.Text1_KeyDown(static_cast<int16_t>(code), 0);
      }
      game.Timer1_Timer();
      game.Timer2_Timer();
      game.Timer3_Timer();
      game.Timer4_Timer();
      game.Timer5_Timer();
    }
    ASSERT_EQ(s.resultsShown, 1) << "race " << race << " did not end in " << kTickBound;
    ASSERT_EQ(s.screenState, screen::kResults);

    std::set<int> places;
    for (int k = 1; k <= 10; ++k) places.insert(s.finishPlace[k]);
    ASSERT_EQ(places, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10})) << race;
    for (int p = 1; p <= 10; ++p)
      EXPECT_TRUE(game.form.label(16 + p).caption.starts_with(num(p) + "着")) << race << " " << p;
    const int place = s.finishPlace[10];
    EXPECT_TRUE(game.form.label(16 + place).caption.starts_with(num(place) + "着       10番"));
    EXPECT_EQ(s.horseClass, classBefore + (place == 1 ? 1 : 0)) << race;
    for (int p = 2; p <= 10; ++p) EXPECT_EQ(s.placeCount[p], p == place ? 1 : 0) << race;

    game.Command1_Click();  // back to the stable
    EXPECT_EQ(s.screenState, screen::kStable) << race;
  }
}

}  // namespace
}  // namespace milka
