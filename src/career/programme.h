// The race programme: which race the month calls for, by age, month and class step.
#pragma once

#include <cstdint>
#include <string>

namespace milka {
class Game;
namespace career {

// Sets raceName and lapsToGo for (horseAge, month, horseClass); may flag the month's top race
// or retire the horse (screenState 10). From age 5 on there is no race: only screenState 10.
void lookUpRace(Game& g);
// The stable's name for a class step: "特選", "C3" .. "A1", "S3", "S2", "S1".
std::string classWord(int32_t horseClass, int32_t horseAge);

}  // namespace career
}  // namespace milka
