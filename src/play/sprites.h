// The game's pictures, built once from the pixel-art templates and coat palettes of assets/, as
// plain pixels every window turns into pictures of its own. The templates are drawn facing
// right; a left-facing runner is the mirror image, so the two directions can never drift apart.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/form.h"

namespace milka::play {

struct SpriteArt {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;  // row by row, 0xAARRGGBB, see-through as 0
  uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y * width + x)]; }
};

// The picture a sprite shows: 32 × 32 for a horse, 40 × 60 for the tower and the pole, with a
// transparent background (the magenta of the templates). Empty for SpriteKind::None.
const SpriteArt& spriteArt(const Sprite& sprite);

// A letter with no colour in the palettes shows up in loud magenta rather than vanishing, so a
// slip in a template is seen at once (and caught by the tests).
inline constexpr uint32_t kUnknownRole = 0xFFFF00FF;

}  // namespace milka::play
