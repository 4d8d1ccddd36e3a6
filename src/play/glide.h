// Gliding: the rules move the pictures in hops, five times a second; the view draws them sliding
// from where one tick left them to where the next put them, over the tick's period. Only motion
// glides. A picture that jumps (the whole field moved back a lap, the title's horses wrapping
// round, a runner placed at the start or on another lane) or that leaves the window is drawn
// where the rules put it at once, and so is one that comes into the window on its own.
//
// A runner is drawn by two pictures shown in turn, one parked out of sight while the other
// runs; the picture coming back in takes over from its partner leaving the same row, so the
// runner glides on rather than hopping each time the frames change.
#pragma once

#include <array>
#include <optional>

#include "shell/form.h"

namespace milka::play {

using Pictures = std::array<Picture, kImageCount + 1>;  // 1-based, as the form's

// The longest step a picture glides, in twips. A runner's fastest tick covers well under half
// of it; a lap shift or a wrap covers far more than all of it.
constexpr float kLongestGlide = 3000;

// The tick's period, over which a glide runs.
constexpr int kGlideMs = 200;

// For each picture that changed between before and after, the left it starts gliding from, or
// nothing to draw it at after at once. Index 0 and unchanged pictures hold nothing.
std::array<std::optional<float>, kImageCount + 1> glideStarts(const Pictures& before,
                                                              const Pictures& after,
                                                              const Form& form);

// Where a glide from `from` to `to` stands at phase 0 (the tick) .. 1 (a period later).
float glidedLeft(float from, float to, double phase);

}  // namespace milka::play
