#include "play/glide.h"

#include <algorithm>
#include <cmath>

namespace milka::play {

namespace {

bool inWindow(const Picture& p, const Form& form) {
  return p.left < form.clientWidth && p.left + p.width > 0 && p.top < form.clientHeight &&
         p.top + p.height > 0;
}

bool moved(const Picture& before, const Picture& after) {
  return before.left != after.left || before.top != after.top;
}

// The picture of the same kind that was on `after`'s row and left the window this tick, nearest
// to where `after` now stands; 0 when there is none near enough.
int partnerLeaving(const Pictures& before, const Pictures& after, const Picture& entering,
                   const Form& form) {
  int best = 0;
  float nearest = kLongestGlide;
  for (int n = 1; n <= kImageCount; ++n) {
    const Picture& was = before[static_cast<size_t>(n)];
    const Picture& now = after[static_cast<size_t>(n)];
    if (was.top != entering.top || !inWindow(was, form) || inWindow(now, form)) continue;
    if (was.sprite.kind != entering.sprite.kind) continue;
    const float distance = std::abs(was.left - entering.left);
    if (distance <= nearest) {
      nearest = distance;
      best = n;
    }
  }
  return best;
}

}  // namespace

std::array<std::optional<float>, kImageCount + 1> glideStarts(const Pictures& before,
                                                              const Pictures& after,
                                                              const Form& form) {
  std::array<std::optional<float>, kImageCount + 1> starts{};
  for (int n = 1; n <= kImageCount; ++n) {
    const Picture& was = before[static_cast<size_t>(n)];
    const Picture& now = after[static_cast<size_t>(n)];
    if (!moved(was, now) || !inWindow(now, form)) continue;
    if (inWindow(was, form)) {
      // Along its row only; a new row is a new place, not a move.
      if (was.top == now.top && std::abs(now.left - was.left) <= kLongestGlide)
        starts[static_cast<size_t>(n)] = was.left;
      continue;
    }
    if (const int partner = partnerLeaving(before, after, now, form))
      starts[static_cast<size_t>(n)] = before[static_cast<size_t>(partner)].left;
  }
  return starts;
}

float glidedLeft(float from, float to, double phase) {
  const double t = std::clamp(phase, 0.0, 1.0);
  return static_cast<float>(from + (to - from) * t);
}

}  // namespace milka::play
