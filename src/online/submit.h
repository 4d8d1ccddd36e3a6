// Sending the career's top-race times, and the query that carries them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/game_state.h"

namespace milka {
class Game;
namespace online {

// The most of pdf.php's answer the game will take; a longer answer counts as no answer.
inline constexpr size_t kFetchedTextLimit = 64 * 1024;

// A on the career-over screen: the closing messages, then, with a top-race win, the fetch of
// pdf.php and the navigation to the query. Paces itself.
void submitRecord(Game& g);

// Every byte outside the unreserved letters, digits and "-._~" as %XX, so a piece can never add
// a host, a path, a query or a separator of its own.
std::string percentEncode(std::string_view piece);

// base + "/pdf.php".
std::string fetchUrl(const std::string& base);

// base + "/vbvb55.php?" + fetched text + name + ">" before each sent month's time. The pieces
// are percent-encoded; a fetched text over the limit is left out as a failed fetch would be.
std::string queryUrl(const std::string& base, std::string_view fetched, std::string_view name,
                     const Family<int32_t, 12>& bigRaceTime);

}  // namespace online
}  // namespace milka
