// The race programme: what the month's race is called and how many laps it runs, by the
// horse's age, the month and its class step. Rows are months; index 0 is never used.
#pragma once

#include <cstdint>

namespace milka::career {

struct ProgrammeRace {
  const char* name;
  int32_t laps;
};

// clang-format off
// Two-year-olds, months 7 to 12, whatever the class step.
inline constexpr ProgrammeRace kAgeTwoRaces[13] = {
  {"", 0}, {"", 0}, {"", 0}, {"", 0}, {"", 0}, {"", 0}, {"", 0},  // 0 and 1..6: no races at 2
  /*  7 */ {"2歳特選",         1},
  /*  8 */ {"2歳特選",         1},
  /*  9 */ {"2歳特選",         2},
  /* 10 */ {"2歳特選",         2},
  /* 11 */ {"2歳特選",         3},
  /* 12 */ {"2歳チャンピオン", 3},
};

// Three- and four-year-olds: laps by month and class step 0..9. A 0 is no race at all: from
// month 7 a horse that has never won is retired.
inline constexpr int32_t kClassRaceLaps[13][10] = {
  // 0  C3  C2  C1  B3  B2  B1  A3  A2  A1
  { 0,  0,  0,  0,  0,  0,  0,  0,  0,  0},
  { 3,  1,  2,  2,  4,  7,  3,  1,  1,  2},  // 1
  { 5,  3,  2,  2,  4,  4,  5,  3,  1,  4},  // 2
  { 6,  3,  4,  3,  2,  5,  7,  1,  1,  2},  // 3
  { 4,  4,  5,  3,  4,  4,  4,  1,  1,  7},  // 4
  { 7,  5,  6,  2,  5,  3,  7,  1,  1,  3},  // 5
  { 2,  6,  7,  2,  1,  2,  4,  1,  1,  4},  // 6
  { 0,  1,  1,  2,  4,  3,  1,  1,  1,  1},  // 7
  { 0,  2,  2,  3,  4,  2,  3,  2,  1,  1},  // 8
  { 0,  3,  3,  5,  5,  4,  4,  6,  1,  1},  // 9
  { 0,  2,  4,  6,  2,  1,  2,  2,  1,  1},  // 10
  { 0,  2,  5,  7,  6,  5,  2,  4,  1,  1},  // 11
  { 0,  4,  6,  1,  1,  1,  1,  1,  1,  1},  // 12
};

// The race-card names of the class races, steps 1..9; step 0 runs under kOpenRaceName.
inline constexpr const char* kOpenRaceName = "特選";
inline constexpr const char* kClassRaceNames[10] = {
  "", "Ｃ３", "Ｃ２", "Ｃ１", "Ｂ３", "Ｂ２", "Ｂ１", "Ａ３", "Ａ２", "Ａ１",
};

// The stable's class word by step; step 14 and above is "S1", age 2 always "特選".
inline constexpr const char* kClassWords[15] = {
  "特選", "C3", "C2", "C1", "B3", "B2", "B1", "A3", "A2", "A1", "S3", "S3", "S2", "S2", "S1",
};

// Steps 10..13 run the month's graded race.
inline constexpr ProgrammeRace kGradedRaces[13] = {
  /*  0 */ {"", 0},
  /*  1 */ {"金盃銀盃王",             3},
  /*  2 */ {"かしわ船橋記念",         4},
  /*  3 */ {"マリンカップ",           5},
  /*  4 */ {"赤潮賞",                 4},
  /*  5 */ {"ミルカシティ賞",         2},
  /*  6 */ {"ミルカテレビ盃",         3},
  /*  7 */ {"ミルカ源三郎記念",       1},
  /*  8 */ {"ミルカ新聞盃",           3},
  /*  9 */ {"オールスターカップ",     2},
  /* 10 */ {"ミルカリアプログラム賞", 6},
  /* 11 */ {"ミルカ王冠賞",           7},
  /* 12 */ {"カルデン盃",             2},
};

// Step 14 and above runs the month's top race. The last three are a chain: each is open only
// to the winner of the month before's top race; everyone else runs the graded race.
struct TopRace {
  const char* name;
  int32_t laps;
  bool needsLastMonthsWin;
};
inline constexpr TopRace kTopRaces[13] = {
  /*  0 */ {"", 0, false},
  /*  1 */ {"ミルカリア記念",     4, false},
  /*  2 */ {"ミルカグランプリ",   3, false},
  /*  3 */ {"ダイオライト賞",     7, false},
  /*  4 */ {"羽田盃",             5, false},
  /*  5 */ {"ミルカリアダービー", 6, false},
  /*  6 */ {"ミルカダービー",     6, false},
  /*  7 */ {"帝王盃",             7, false},
  /*  8 */ {"北海南海ダービー",   4, false},
  /*  9 */ {"川崎記念",           4, false},
  /* 10 */ {"ＪＢＣ(交流)",       5, true },
  /* 11 */ {"日本カップ(交流)",   6, true },
  /* 12 */ {"ミルカ大賞典(交流)", 7, true },
};
// The racecourse of each month, the same in every year: 1 大井, 2 川崎, 3 船橋, 4 浦和.
inline constexpr const char* kVenueNames[5] = {"", "大井", "川崎", "船橋", "浦和"};
inline constexpr int32_t kVenueOfMonth[13] = {
  // 1  2  3  4  5  6  7  8  9 10 11 12
  0, 4, 3, 1, 1, 1, 1, 1, 4, 2, 2, 1, 1,
};
// clang-format on

}  // namespace milka::career
