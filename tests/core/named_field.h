// The field the commentary tests call: runner 3 is ウララ, runner 7 サクラ ridden by 田中, and the
// player's horse is ミルカ, in the race ダービー.
#pragma once

#include "shell/game_state.h"

namespace milka::testing {

inline void nameTheField(GameState& s) {
  const char* horses[] = {"",         "アサヒ", "イナホ", "ウララ",   "エイト",
                          "オオゾラ", "カゼ",   "サクラ", "タイヨウ", "ナギ"};
  const char* jockeys[] = {"",     "赤井", "伊藤", "上田", "江口",
                           "大野", "加藤", "田中", "佐藤", "中村"};
  for (int k = 1; k <= 9; ++k) {
    s.runnerName[k] = horses[k];
    s.jockeyName[k] = jockeys[k];
  }
  s.horseName = "ミルカ";
  s.raceName = "ダービー";
  s.marginText = "3";
}

inline GameState namedField() {
  GameState s;
  nameTheField(s);
  return s;
}

}  // namespace milka::testing
