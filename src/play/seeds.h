// A seed from the maker's site for a new career. How it is fetched is the window's; the keeper
// decides which career may still take it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace milka::play {

// What seed.php answers: exactly 32 lowercase hexadecimal digits. Anything else is no seed.
inline bool isSiteSeed(std::string_view text) {
  constexpr size_t kSeedLength = 32;
  if (text.size() != kSeedLength) return false;
  for (const char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

class SeedSource {
 public:
  virtual ~SeedSource() = default;
  // Asks base's site for a seed; done gets it, or the empty text when there is none. Called
  // later, never from inside ask, and never once the source is gone.
  virtual void ask(const std::string& base, std::function<void(std::string)> done) = 0;
};

}  // namespace milka::play
