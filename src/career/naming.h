// Naming the foal: typed symbols grow the name in Label27; B erases it, A confirms it.
#pragma once

#include <string>

namespace milka {
class Game;
namespace career {

// A symbol typed while the name is being entered.
void appendNameSymbol(Game& g, const std::string& symbol);
// B while naming (whatever the pacing counter says).
void eraseName(Game& g);
// A at phase 3.
void confirmName(Game& g);

}  // namespace career
}  // namespace milka
