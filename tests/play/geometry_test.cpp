// The boxes the layout is worked out in: where two meet, hold or join.
#include "play/geometry.h"

#include <gtest/gtest.h>

namespace milka::play {
namespace {

struct PairCase {
  const char* what;
  Rect a, b;
  bool intersects, aContainsB;
  Rect united;
};

TEST(Rect, BoxesMeetHoldAndJoinByTheirArea) {
  const PairCase cases[] = {
      {"overlapping", {0, 0, 10, 10}, {5, 5, 10, 10}, true, false, {0, 0, 15, 15}},
      {"side by side, touching", {0, 0, 10, 10}, {10, 0, 5, 10}, false, false, {0, 0, 15, 10}},
      {"one inside the other", {0, 0, 10, 10}, {2, 2, 3, 3}, true, true, {0, 0, 10, 10}},
      {"sharing an edge from inside", {0, 0, 10, 10}, {0, 0, 10, 4}, true, true, {0, 0, 10, 10}},
      {"apart", {0, 0, 2, 2}, {5, 6, 1, 1}, false, false, {0, 0, 6, 7}},
      {"reaching left of its corner", {10, 0, -10, 10}, {2, 2, 3, 3}, true, true, {0, 0, 10, 10}},
      {"a line with no height", {0, 0, 10, 10}, {2, 2, 3, 0}, false, false, {0, 0, 10, 10}},
      {"nothing at all joins as the other", {0, 0, 0, 0}, {4, 4, 2, 2}, false, false, {4, 4, 2, 2}},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.a.intersects(c.b), c.intersects);
    EXPECT_EQ(c.b.intersects(c.a), c.intersects);
    EXPECT_EQ(c.a.contains(c.b), c.aContainsB);
    EXPECT_EQ(c.a.united(c.b), c.united);
  }
}

TEST(Rect, EmptyIsWithoutAreaAndEdgesMoveAlone) {
  EXPECT_TRUE((Rect{3, 3, 0, 5}.isEmpty()));
  EXPECT_TRUE((Rect{3, 3, -1, 5}.isEmpty()));
  EXPECT_FALSE((Rect{3, 3, 1, 5}.isEmpty()));
  Rect r{10, 20, 30, 40};
  r.setLeft(15);
  EXPECT_EQ(r, (Rect{15, 20, 25, 40}));
  r.setRight(20);
  EXPECT_EQ(r, (Rect{15, 20, 5, 40}));
  EXPECT_EQ(r.adjusted(-3, 1, 3, -1), (Rect{12, 21, 11, 38}));
}

}  // namespace
}  // namespace milka::play
