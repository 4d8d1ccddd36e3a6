// The game's pixel art as text, built into the program (see cmake/embed_assets.cmake).
#pragma once

#include <string_view>

namespace milka::play {

// The text of assets/<name>, or nothing for a name that is not there.
std::string_view assetText(std::string_view name);

}  // namespace milka::play
