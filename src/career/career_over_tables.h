// The career-over screen's fixed texts and places.
#pragma once

#include <array>

namespace milka::career {

// The top race of each month as the record lists it, two months to a line: an odd month's name
// is padded so that the even month's follows it on the same line.
// clang-format off
constexpr std::array<const char*, 13> kTopRaceLine = {
    /*  0 */ "",
    /*  1 */ "ミルカリア記念        ",
    /*  2 */ "ミルカグランプリ",
    /*  3 */ "ダイオライト賞        ",
    /*  4 */ "羽田盃",
    /*  5 */ "ミルカリアダービー        ",
    /*  6 */ "ミルカダービー",
    /*  7 */ "帝王盃        ",
    /*  8 */ "北海南海ダービー",
    /*  9 */ "川崎記念        ",
    /* 10 */ "JBC (交流)",
    /* 11 */ "日本カップ (交流)        ",
    /* 12 */ "ミルカ大賞典 (交流)",
};
// clang-format on

// Tops of the record lines Label17 .. Label26.
// clang-format off
constexpr std::array<float, 10> kRecordLineTop = {
    1200, 1600, 2000, 2400, 2800, 3200, 3600, 4000, 4400, 4900,
};
// clang-format on

}  // namespace milka::career
