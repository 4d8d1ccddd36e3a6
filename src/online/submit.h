// Sending the career's top-race times, and the query that carries them.
#pragma once

namespace milka {
class Game;
namespace online {

// A on the career-over screen.
void submitRecord(Game& g);

}  // namespace online
}  // namespace milka
