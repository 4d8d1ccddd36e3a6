// Runners off the edge of the window during a race: a small marker at that edge of the track,
// on the runner's own lane, with its number in its gate colour and its distance behind the
// leader, so the player always knows where all ten are.
//
// In form pixels, like the labels, so any scaling of the window applies on top.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "play/caption_fit.h"
#include "play/geometry.h"
#include "play/text_measure.h"
#include "shell/form.h"
#include "shell/game_state.h"

namespace milka::play {

// A marker's words: the number in bold, the distance plain.
constexpr FontFace kMarkerFace = FontFace::Gothic;
constexpr float kMarkerPoints = 9;

struct RunnerMarker {
  int runner = 0;
  bool atLeftEdge = false;  // otherwise at the right edge
  Rect rect;                // the marker's plate
  uint32_t colour = 0;      // the runner's gate colour
  TextRun number;           // the runner's number, with the arrow that points the way it went
  TextRun gap;              // lengths behind the leader, or 先頭 for the leader itself
  bool operator==(const RunnerMarker&) const = default;
};

struct RaceMarkers {
  // Runner k's pictures show well enough on the track (1-based; false when no race is run).
  std::array<bool, 11> onTrack{};
  std::vector<RunnerMarker> markers;
  bool operator==(const RaceMarkers&) const = default;
};

// A marker's few words, measured once each in the window's fonts: the markers are worked out on
// every tick of a race.
class MarkerWords {
 public:
  explicit MarkerWords(TextMeasure& measure) : measure_(measure) {}
  double width(const std::string& text, bool bold);
  double textHeight();

 private:
  static constexpr size_t kKept = 256;
  TextMeasure& measure_;
  std::map<std::pair<std::string, bool>, double> widths_;
  std::optional<double> textHeight_;
};

// While the runners are on the track: the race and its finish wait, until the board is up.
bool runnersOnTrack(const GameState& s);

// The picture runner k shows this tick (the one at its lane), in form pixels.
Rect runnerRect(const Form& form, const GameState& s, int runner);

// The markers for the runners out of sight. Nothing outside a race.
RaceMarkers raceMarkers(const Form& form, const GameState& s, MarkerWords& words);

}  // namespace milka::play
