// The race programme: which race the month calls for, by age, month and class step.
#pragma once

#include <cstdint>
#include <string>

namespace milka {
class Game;
namespace career {

// Sets raceName and lapsToGo for (horseAge, month, horseClass); may flag the month's top race
// or retire the horse (screen::kCareerOver). From age 5 on there is no race: only
// screen::kCareerOver.
void lookUpRace(Game& g);
// The stable's name for a class step: "特選", "C3" .. "A1", "S3", "S2", "S1".
std::string classWord(int32_t horseClass, int32_t horseAge);
// The month's racecourse (1 大井, 2 川崎, 3 船橋, 4 浦和); a month outside 1..12 races at 大井.
int32_t venueOfMonth(int32_t month);

}  // namespace career
}  // namespace milka
