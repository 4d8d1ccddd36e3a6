// A window that draws elsewhere takes the layout as it takes the form: all of it first, then only
// the fits, markers and glides that changed.
#include "play/layout_changes.h"

#include <gtest/gtest.h>

#include "play_fakes.h"
#include "race/running.h"
#include "race/running_tables.h"

namespace milka::play {
namespace {

using testing::count;

struct Shown {
  Form form = designForm();
  GameState state;
  testing::FixedMeasure measure;
  LayoutChanges changes{measure};
  Shown() {
    form.label(5) = {
        .caption = "ミルカ", .fontSize = 12, .left = 150, .top = 300, .width = 3000, .height = 600};
  }
};

TEST(LayoutChanges, EveryLabelFirstThenOnlyTheFitsThatChanged) {
  Shown s;
  const std::string first = s.changes.since(s.form, s.state, true);
  EXPECT_EQ(count(first, "\"runs\":"), static_cast<size_t>(kLabelCount));
  // Its runs from the label's own corner: 12 points is 16 pixels an em, Mincho, plain.
  EXPECT_NE(first.find("\"5\":{\"font\":[0,12,0],\"runs\":[[\"ミルカ\",0,0]]}"), std::string::npos)
      << first;
  EXPECT_NE(first.find("\"markers\":{\"font\":[1,9],\"list\":[]}"), std::string::npos);
  EXPECT_EQ(first.find("\"glides\""), std::string::npos) << "nothing drawn yet to glide from";
  EXPECT_EQ(s.changes.since(s.form, s.state, true), "{}");

  s.form.label(5).left += 450;
  EXPECT_EQ(s.changes.since(s.form, s.state, true), "{}") << "moved, the same words";
  s.form.label(5).alignment = Align::Centre;
  // Centred in 200 pixels: 48 pixels of words start 76 in.
  EXPECT_EQ(s.changes.since(s.form, s.state, true),
            "{\"layout\":{\"5\":{\"font\":[0,12,0],\"runs\":[[\"ミルカ\",76,0]]}}}");

  s.changes.forget();
  EXPECT_EQ(count(s.changes.since(s.form, s.state, true), "\"runs\":"),
            static_cast<size_t>(kLabelCount));
}

TEST(LayoutChanges, APictureMovedAlongItsRowGlidesFromWhereItWasWhileGlidingIsOn) {
  Shown s;
  s.form.image(3).left = 2000;
  s.form.image(3).top = 1000;
  s.changes.since(s.form, s.state, true);
  s.form.image(3).left = 2300;
  EXPECT_EQ(s.changes.since(s.form, s.state, true), "{\"glides\":{\"3\":2000}}");
  s.form.image(3).left = 2600;
  EXPECT_EQ(s.changes.since(s.form, s.state, false), "{}") << "gliding off: drawn there at once";
  s.form.image(3).left = 9000;
  EXPECT_EQ(s.changes.since(s.form, s.state, true), "{}") << "a jump is no glide";
}

TEST(LayoutChanges, ARunnerOffTheTrackBringsItsMarkerAndNothingMoreUntilItChanges) {
  Shown s;
  s.state.screenState = screen::kRace;
  s.state.venue = 4;
  for (int k = 1; k <= 10; ++k) {
    Picture& a = s.form.image(race::pictureA(s.state, k));
    a.left = 5000;
    a.top = race::kRunnerPictures[static_cast<size_t>(k)].laneTop;
    s.form.image(race::pictureB(s.state, k)).top = -2460;
  }
  s.changes.since(s.form, s.state, false);
  s.form.image(race::pictureA(s.state, 3)).left = -400;
  const std::string marked = s.changes.since(s.form, s.state, false);
  EXPECT_EQ(count(marked, "\"rect\":"), 1u) << marked;
  EXPECT_NE(marked.find("\"colour\":16691645,\"number\":[\"◀3\","), std::string::npos) << marked;
  EXPECT_NE(marked.find("\"gap\":[\"11馬身\","), std::string::npos) << marked;
  EXPECT_EQ(s.changes.since(s.form, s.state, false), "{}");
}

}  // namespace
}  // namespace milka::play
