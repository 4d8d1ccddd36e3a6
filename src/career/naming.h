// Naming the foal: typed symbols grow the name in Label27; B erases it, A confirms it.
#pragma once

#include <string>

namespace milka {
class Game;
namespace career {

// A symbol typed while the name is being entered ("a".."z" or one of the four arrows).
void appendNameSymbol(Game& g, const std::string& symbol);
// B while naming (whatever the pacing counter says).
void eraseName(Game& g);
// A at phase 3: 2..12 symbols make the foal, 0 or 1 do nothing, 13 or more ask for B.
void confirmName(Game& g);

}  // namespace career
}  // namespace milka
