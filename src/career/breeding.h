// The breeding screen: the sire and dam tables, the cursor and pages, the choice of parents,
// making the foal and the end of the procedures.
#pragma once

namespace milka {
class Game;
namespace career {

// Timer1, while a parent is being chosen: the table page and the prompts.
void drawBreedingTable(Game& g);
// B on the breeding screen: page 1 -> 2 -> 3 -> 1 (pacing checked by the caller).
void turnPage(Game& g);
// A at phase 1.
void chooseSire(Game& g);
// A at phase 2: the dam, then the naming screen.
void chooseDam(Game& g);
// A at phase 3 with an accepted name: the foal's values, labels and weight.
void makeFoal(Game& g);
// A at phase 4.
void finishProcedures(Game& g);

}  // namespace career
}  // namespace milka
