// PLACEHOLDER: the least that lets the A button walk every screen; replaced by the real rules.
#include "career/programme.h"

#include "shell/game.h"

namespace milka {
namespace career {

void lookUpRace(Game& g) { g.state.raceName = "特選"; g.state.lapsToGo = 1; }
std::string classWord(int32_t, int32_t) { return "特選"; }

}  // namespace career
}  // namespace milka
