// The markers of runners out of view: which runners get one, where, and what it says.
#include "play/runner_markers.h"

#include <gtest/gtest.h>

#include "play_fakes.h"
#include "race/running.h"
#include "race/running_tables.h"
#include "shell/game.h"

namespace milka::play {
namespace {

constexpr float kHidden = -2460;

// A race under way with every runner's picture A at its lane and the given left edges.
struct RaceAt {
  Form form = designForm();
  GameState state;
  testing::FixedMeasure measure;
  MarkerWords words{measure};
  RaceAt(int32_t venue, const std::array<float, 11>& left) {
    state.screenState = screen::kRace;
    state.venue = venue;
    for (int k = 1; k <= 10; ++k) {
      Picture& a = form.image(race::pictureA(state, k));
      Picture& b = form.image(race::pictureB(state, k));
      a.left = b.left = left[static_cast<size_t>(k)];
      a.top = race::kRunnerPictures[static_cast<size_t>(k)].laneTop;
      b.top = kHidden;
    }
  }
  const RunnerMarker* markerOf(const RaceMarkers& m, int k) const {
    for (const RunnerMarker& r : m.markers)
      if (r.runner == k) return &r;
    return nullptr;
  }
};

struct MarkerCase {
  const char* what;
  int32_t venue;
  float left;  // runner 3's left edge; the others stand at 5000, runner 1 leads at 6000
  bool marked;
  bool atLeftEdge;
  const char* gap;
};

TEST(RunnerMarkers, RunnersOffTheTrackAreMarkedAtTheirEdgeWithTheirDistance) {
  const MarkerCase cases[] = {
      {"in view", 4, 3000, false, false, ""},
      {"more than half in view at the left", 4, -200, false, false, ""},
      {"more than half out at the left", 4, -300, true, true, "13馬身"},
      // 6250 twips behind: 12.5 lengths, to the even 12.
      {"far behind, half a length to round", 4, -250, true, true, "12馬身"},
      {"half out at the right", 4, 10785 - 200, true, false, "先頭"},
      {"at 大井 the leader is furthest left", 1, 11000, true, false, "21馬身"},
  };
  for (const MarkerCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::array<float, 11> left{};
    left.fill(5000);
    left[1] = c.venue == 1 ? 500 : 6000;
    left[3] = c.left;
    RaceAt r(c.venue, left);
    const RaceMarkers m = raceMarkers(r.form, r.state, r.words);
    EXPECT_EQ(m.onTrack[3], !c.marked);
    const RunnerMarker* mark = r.markerOf(m, 3);
    ASSERT_EQ(mark != nullptr, c.marked);
    EXPECT_EQ(m.markers.size(), c.marked ? 1u : 0u);
    if (!mark) continue;
    EXPECT_EQ(mark->atLeftEdge, c.atLeftEdge);
    EXPECT_EQ(mark->gap.text, c.gap);
    EXPECT_NE(mark->number.text.find('3'), std::string::npos);
    EXPECT_EQ(mark->colour, 0xFEB1BDu);  // gate 3's colour on the race card
    // On its own lane: inside the band between its lane's top and the next one's.
    const double laneTop = race::kRunnerPictures[3].laneTop / 15.0;
    EXPECT_GE(mark->rect.top(), laneTop);
    EXPECT_LE(mark->rect.bottom(), laneTop + 400 / 15.0);
    EXPECT_TRUE(mark->atLeftEdge ? mark->rect.left() >= 0 && mark->rect.left() < 5
                                 : mark->rect.right() <= 719 && mark->rect.right() > 714);
    EXPECT_TRUE(mark->rect.contains({mark->gap.origin.x, mark->gap.origin.y, mark->gap.width, 1}));
  }
}

TEST(RunnerMarkers, OnlyWhileTheRunnersAreOnTheTrack) {
  std::array<float, 11> left{};
  left.fill(-3000);
  left[1] = 5000;
  for (int32_t state :
       {screen::kStable, screen::kRaceCard, screen::kRace, screen::kResults, screen::kCareerOver}) {
    for (int32_t board : {0, 1}) {
      RaceAt r(2, left);
      r.state.screenState = state;
      r.state.resultsShown = board;
      const bool racing = state == screen::kRace || (state == screen::kResults && board == 0);
      EXPECT_EQ(raceMarkers(r.form, r.state, r.words).markers.size(), racing ? 9u : 0u)
          << "state " << state << " board " << board;
    }
  }
}

TEST(RunnerMarkers, TheShownPictureOfTheGaitCounts) {
  std::array<float, 11> left{};
  left.fill(5000);
  RaceAt r(2, left);
  // Picture B of runner 4 shown at its lane, far off the track; picture A parked.
  Picture& a = r.form.image(race::pictureA(r.state, 4));
  Picture& b = r.form.image(race::pictureB(r.state, 4));
  a.top = kHidden;
  b.top = race::kRunnerPictures[4].laneTop;
  b.left = -4000;
  const RaceMarkers m = raceMarkers(r.form, r.state, r.words);
  ASSERT_EQ(m.markers.size(), 1u);
  EXPECT_EQ(m.markers[0].runner, 4);
  EXPECT_EQ(m.markers[0].gap.text, "18馬身");
}

}  // namespace
}  // namespace milka::play
