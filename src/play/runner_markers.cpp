#include "play/runner_markers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "race/board_tables.h"
#include "race/commentary.h"
#include "race/running.h"
#include "race/running_tables.h"

namespace milka::play {

namespace {

constexpr float kTwipsPerPixel = 15.0f;
constexpr float kLanePitch = 400;  // twips between two lanes' tops
constexpr double kPlateHeight = 20;
constexpr double kPadding = 3;
constexpr double kEdgeMargin = 2;

Font markerFont(bool bold) {
  return {kMarkerFace, kMarkerPoints, bold};
}

std::string gapText(int32_t lengths, bool leader) {
  if (leader) return "先頭";
  return race::marginTextOf(lengths) + "馬身";
}

}  // namespace

double MarkerWords::width(const std::string& text, bool bold) {
  auto [at, made] = widths_.try_emplace({text, bold}, 0.0);
  if (made) {
    if (widths_.size() > kKept) {
      widths_.clear();
      at = widths_.try_emplace({text, bold}, 0.0).first;
    }
    at->second = measure_.advance(text, markerFont(bold));
  }
  return at->second;
}

double MarkerWords::textHeight() {
  if (!textHeight_)
    textHeight_ = measure_.ascent(markerFont(false)) + measure_.descent(markerFont(false));
  return *textHeight_;
}

bool runnersOnTrack(const GameState& s) {
  return s.screenState == screen::kRace ||
         (s.screenState == screen::kResults && s.resultsShown == 0);
}

Rect runnerRect(const Form& form, const GameState& s, int runner) {
  const float lane = race::kRunnerPictures[static_cast<size_t>(runner)].laneTop;
  const Picture& b = form.image(race::pictureB(s, runner));
  const Picture& shown = b.top == lane ? b : form.image(race::pictureA(s, runner));
  return {shown.left / kTwipsPerPixel, shown.top / kTwipsPerPixel, shown.width / kTwipsPerPixel,
          shown.height / kTwipsPerPixel};
}

RaceMarkers raceMarkers(const Form& form, const GameState& s, MarkerWords& words) {
  RaceMarkers out;
  if (!runnersOnTrack(s)) return out;

  const double trackWidth = form.clientWidth / kTwipsPerPixel;
  const bool leftward = race::runsLeftward(s);
  std::array<Rect, 11> at{};
  double leaderLeft = 0;
  for (int k = 1; k <= 10; ++k) {
    at[static_cast<size_t>(k)] = runnerRect(form, s, k);
    const double left = at[static_cast<size_t>(k)].left();
    if (k == 1 || (leftward ? left < leaderLeft : left > leaderLeft)) leaderLeft = left;
  }

  const double textHeight = words.textHeight();
  for (int k = 1; k <= 10; ++k) {
    const Rect& picture = at[static_cast<size_t>(k)];
    // Half a horse inside the window still reads as a horse; less than that gets a marker.
    const double inside = std::min(picture.right(), trackWidth) - std::max(picture.left(), 0.0);
    const bool onTrack = inside >= picture.width / 2;
    out.onTrack[static_cast<size_t>(k)] = onTrack;
    if (onTrack) continue;

    RunnerMarker m;
    m.runner = k;
    m.atLeftEdge = picture.centreX() < trackWidth / 2;
    m.colour = race::kBoardRowColour[static_cast<size_t>(k)];
    const double behindTwips = std::abs(picture.left() - leaderLeft) * kTwipsPerPixel;
    const int32_t lengths = race::lengthsOf(static_cast<int64_t>(std::lround(behindTwips)));
    const std::string number = m.atLeftEdge ? "◀" + std::to_string(k) : std::to_string(k) + "▶";
    const std::string gap = gapText(lengths, picture.left() == leaderLeft);
    const double numberWidth = words.width(number, true);
    const double gapWidth = words.width(gap, false);

    // On whole pixels, so the plate's edges come out the same however a repaint is clipped.
    const double laneTop = race::kRunnerPictures[static_cast<size_t>(k)].laneTop / kTwipsPerPixel;
    const double top = std::round(laneTop + (kLanePitch / kTwipsPerPixel - kPlateHeight) / 2);
    const double width = std::ceil(kPadding * 3 + numberWidth + gapWidth);
    const double left = m.atLeftEdge ? kEdgeMargin : std::floor(trackWidth - kEdgeMargin - width);
    m.rect = {left, top, width, kPlateHeight};
    const double textTop = top + (kPlateHeight - textHeight) / 2;
    // The number sits on the side the runner went off, so the arrow points at the edge.
    if (m.atLeftEdge) {
      m.number = {number, {left + kPadding, textTop}, numberWidth};
      m.gap = {gap, {left + kPadding * 2 + numberWidth, textTop}, gapWidth};
    } else {
      m.gap = {gap, {left + kPadding, textTop}, gapWidth};
      m.number = {number, {left + kPadding * 2 + gapWidth, textTop}, numberWidth};
    }
    out.markers.push_back(m);
  }
  return out;
}

}  // namespace milka::play
