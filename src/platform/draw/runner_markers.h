// Runners off the edge of the window during a race: a small marker at that edge of the track,
// on the runner's own lane, with its number in its gate colour and its distance behind the
// leader, so the player always knows where all ten are.
//
// In form pixels, like the labels, so any scaling of the window applies on top.
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

#include "platform/draw/caption_fit.h"
#include "shell/form.h"
#include "shell/game_state.h"

namespace milka::platform {

// A marker's words: the number in bold, the distance plain.
constexpr FontFace kMarkerFace = FontFace::Gothic;
constexpr float kMarkerPoints = 9;

struct RunnerMarker {
  int runner = 0;
  bool atLeftEdge = false;  // otherwise at the right edge
  QRectF rect;              // the marker's plate
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

// While the runners are on the track: the race and its finish wait, until the board is up.
bool runnersOnTrack(const GameState& s);

// The picture runner k shows this tick (the one at its lane), in form pixels.
QRectF runnerRect(const Form& form, const GameState& s, int runner);

// The markers for the runners out of sight. Nothing outside a race.
RaceMarkers raceMarkers(const Form& form, const GameState& s);

}  // namespace milka::platform
