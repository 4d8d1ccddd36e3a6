// A seed from the maker's site for a new career. How it is fetched is the window's; the keeper
// decides which career may still take it.
#pragma once

#include <functional>
#include <string>

namespace milka::play {

class SeedSource {
 public:
  virtual ~SeedSource() = default;
  // Asks base's site for a seed; done gets it, or the empty text when there is none. Called
  // later, never from inside ask, and never once the source is gone.
  virtual void ask(const std::string& base, std::function<void(std::string)> done) = 0;
};

}  // namespace milka::play
