// The breeding screen: the sire and dam tables, the cursor and pages, the choice of parents,
// making the foal and the end of the procedures.
#pragma once

#include <cstdint>
#include <string>

#include "career/breeding_tables.h"

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

// The horse number a page and a highlighted row stand for (page 1 row 1 is horse 1).
int32_t horseNumber(int32_t page, int32_t row);
// Rows of the stud book; a number outside 1..30 gives the nearest real horse.
const BreedingRow& sireRow(int32_t number);
const BreedingRow& damRow(int32_t number);
// One line of the table as the player sees it, padded to sit under the header's columns.
std::string breedingRowText(const BreedingRow& row);
// How wide a row text is drawn, in 64ths of a pixel (IPAPMincho, 12 pt).
int32_t rowTextWidth(const std::string& text);

}  // namespace career
}  // namespace milka
