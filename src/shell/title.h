#pragma once
namespace milka {
class Game;
namespace shell {
// One tick of the title animation (runs only while the title is up).
void titleTick(Game& g);
}  // namespace shell
}  // namespace milka
