// PLACEHOLDER: the least that lets the A button walk every screen; replaced by the real rules.
#include "career/breeding.h"

#include "shell/game.h"

namespace milka {
void Game::Command2_Click() {}
void Game::Command3_Click() {}
namespace career {

void drawBreedingTable(Game&) {}
void turnPage(Game& g) { g.state.tablePage = g.state.tablePage % 3 + 1; }
void chooseSire(Game& g) { g.state.sireIndex = (g.state.tablePage - 1) * 10 + g.state.cursorRow; g.state.setupPhase = 2; g.state.tablePage = 1; }
void chooseDam(Game& g) { g.state.damIndex = (g.state.tablePage - 1) * 10 + g.state.cursorRow; g.state.setupPhase = 3; }
void makeFoal(Game& g) { g.state.horseSpeed = 60; g.state.horseWhips = 50; g.state.horseKeys = 8; g.state.bodyWeight = g.state.bestWeight = 450; g.state.setupPhase = 4; }
void finishProcedures(Game& g) { g.state.setupPhase = 5; }

}  // namespace career
}  // namespace milka
