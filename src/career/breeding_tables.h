// The stud book: the thirty sires and thirty dams a foal can be bred from, the words the table
// shows for their style, growth and distance, and what the breeding rows need to line up under
// the header in the proportional Mincho face the table is drawn in.
#pragma once

#include <cstdint>

namespace milka::career {

struct BreedingRow {
  const char* name;
  int32_t speed, stamina, temper;
  int32_t style;          // 1 逃げ, 2 先行, 3 差し, 4 追込
  int32_t growth;         // 1 早, 2 普, 3 遅
  int32_t distance;       // 1 短距離, 2 中距離, 3 長距離
  bool growthSpelledOut;  // a few dams' cards spell the normal growth out as 普通
};

inline constexpr int kBreedingRows = 30;

// clang-format off
// Row n is horse number n (index 0 is never used).
inline constexpr BreedingRow kSires[kBreedingRows + 1] = {
  {"",             0,  0,  0, 0, 0, 0, false},
  {"ハヤテオー",   59, 36, 10, 1, 1, 3, false},
  {"ミルカキング", 60, 40, 15, 2, 2, 2, false},
  {"キンノヤイバ", 55, 45, 24, 2, 1, 2, false},
  {"ライデンボス", 65, 35, 25, 3, 2, 2, false},
  {"ギンノタカ",   55, 39, 16, 3, 2, 2, false},
  {"オオゾラ",     60, 45, 14, 2, 3, 3, false},
  {"イナズマ",     70, 23, 30, 4, 1, 1, false},
  {"カゼノオウ",   60, 40, 26, 2, 1, 2, false},
  {"テツワン",     55, 45, 21, 2, 2, 3, false},
  {"ホシノミチ",   49, 40, 13, 3, 3, 3, false},
  {"アカツキ",     54, 35, 19, 2, 1, 3, false},
  {"ブレイブロア", 65, 30, 23, 1, 3, 2, false},
  {"マツカゼ",     58, 34, 14, 2, 2, 2, false},
  {"ヨアケノウタ", 56, 36, 12, 3, 1, 2, false},
  {"グレンカイザ", 65, 34, 30, 2, 3, 2, false},
  {"クロガネ",     45, 45, 14, 2, 3, 3, false},
  {"ノボリリュウ", 50, 36, 16, 3, 2, 2, false},
  {"シップウ",     62, 30, 12, 3, 1, 2, false},
  {"タイガーオー", 62, 32, 16, 2, 3, 2, false},
  {"モエルツバサ", 63, 36, 20, 4, 2, 2, false},
  {"ダイチノコエ", 62, 40, 21, 3, 2, 2, false},
  {"カミナリマル", 64, 30, 11, 2, 2, 2, false},
  {"ヤマトボシ",   55, 39,  9, 3, 3, 2, false},
  {"セイリュウ",   58, 40, 22, 3, 2, 2, false},
  {"ツキノオウジ", 56, 34, 19, 3, 2, 2, false},
  {"ナガレボシ",   55, 42,  8, 2, 3, 3, false},
  {"ヘッポコ",     20, 20,  5, 4, 1, 2, false},
  {"ノンビリヤ",   25, 51, 20, 1, 1, 3, false},
  {"ドンコウ",     35, 40, 19, 1, 3, 1, false},
  {"ヨボヨボ",     30, 30, 25, 4, 3, 3, false},
};

inline constexpr BreedingRow kDams[kBreedingRows + 1] = {
  {"",             0,  0,  0, 0, 0, 0, false},
  {"ハナミズキ",   40, 40, 20, 2, 1, 2, false},
  {"ユキノハナ",   45, 36, 19, 4, 3, 3, false},
  {"サクラヒメ",   39, 47, 15, 2, 2, 2, false},
  {"ミルカクイン", 42, 42, 17, 2, 2, 3, false},
  {"コハルビヨリ", 43, 40, 16, 3, 1, 2, false},
  {"アオイソラ",   46, 42, 18, 3, 1, 2, false},
  {"ルリカケス",   50, 45, 25, 2, 2, 2, false},
  {"カスミソウ",   42, 43, 14, 1, 3, 1, false},
  {"ヒナギク",     38, 38,  9, 2, 1, 1, false},
  {"マドンナ",     56, 40, 27, 4, 2, 2, true },
  {"スズラン",     54, 43, 23, 1, 2, 1, false},
  {"ツバキヒメ",   57, 37, 28, 1, 1, 1, false},
  {"ナデシコ",     51, 45, 15, 3, 1, 2, false},
  {"ベニアゲハ",   60, 34, 29, 3, 2, 1, false},
  {"ミヤビ",       63, 30, 30, 4, 3, 3, false},
  {"ホタルビ",     54, 35, 23, 2, 2, 2, true },
  {"ユウナギ",     42, 34,  8, 3, 1, 3, false},
  {"シラユリ",     46, 50,  9, 2, 2, 1, false},
  {"モモカ",       55, 36, 14, 2, 1, 1, false},
  {"オトメゴコロ", 42, 40, 10, 1, 3, 2, false},
  {"ワカバ",       48, 39, 12, 4, 1, 3, false},
  {"アヤメ",       61, 45, 30, 3, 2, 2, false},
  {"カグヤ",       56, 47, 21, 2, 1, 2, false},
  {"ミズホ",       46, 43, 16, 2, 1, 1, false},
  {"シオン",       48, 42, 17, 2, 2, 3, false},
  {"ハルカゼ",     47, 43, 14, 1, 1, 2, false},
  {"コトノハ",     39, 39,  7, 1, 2, 1, true },
  {"キキョウ",     48, 43, 13, 3, 3, 1, false},
  {"ラベンダ",     56, 40, 22, 2, 1, 2, false},
  {"ミルカレディ", 60, 38, 29, 2, 2, 2, false},
};

inline constexpr const char* kStyleWords[5]    = {"", "逃げ", "先行", "差し", "追込"};
inline constexpr const char* kGrowthWords[4]   = {"", "早", "普", "遅"};
inline constexpr const char* kGrowthSpelledOut = "普通";
inline constexpr const char* kDistanceWords[4] = {"", "短距離", "中距離", "長距離"};

// Where the header's words stand, in 64ths of a pixel from the label's left edge, as drawn in
// IPAPMincho at 11.25 pt (measured once with the window's own font list). The rows are centred
// under these spans; if the header caption ever changes, measure again.
inline constexpr const char* kMeasuredHeader =
    "　　名前　　　　　　スピード　　　スタミナ　　　　気性　　　　足質　　　　成長　　　タイプ";
struct HeaderSpan {
  int32_t from, to;
};
// スピード, スタミナ, 気性, 足質, 成長, タイプ: speed, stamina, temperament, style, growth, distance.
inline constexpr HeaderSpan kHeaderColumns[6] = {
  { 9600, 12862}, {15742, 18937}, {22777, 24697}, {28537, 30457}, {34297, 36217}, {39097, 41554},
};

// Advance widths of the row glyphs in IPAPMincho at 12 pt, in 64ths of a pixel. Anything not
// listed (the kanji of the display words) is a full em, 1024.
struct GlyphWidth {
  const char* glyph;
  int32_t width;
};
inline constexpr int32_t kFullEm = 1024;
inline constexpr GlyphWidth kRowGlyphWidths[] = {
    {" ",   297}, {"0",  633}, {"1",  633}, {"2",  633}, {"3",  633}, {"4",  633},
    {"5",   633}, {"6",  633}, {"7",  633}, {"8",  633}, {"9",  633}, {"げ", 952},
    {"し",  809},
    {"ア",  911}, {"ィ",  737}, {"イ",  839}, {"ウ",  819}, {"エ",  962}, {"オ",  962},
    {"カ",  901}, {"ガ",  962}, {"キ",  911}, {"ギ",  942}, {"ク",  829}, {"グ",  952},
    {"ケ",  901}, {"ゲ",  973}, {"コ",  819}, {"ゴ",  921}, {"サ",  973}, {"ザ", 1003},
    {"シ",  932}, {"ジ",  962}, {"ス",  911}, {"ズ",  962}, {"セ",  911}, {"ゼ",  973},
    {"ソ",  819}, {"ゾ",  932}, {"タ",  839}, {"ダ",  942}, {"チ",  932}, {"ッ",  778},
    {"ツ",  850}, {"テ",  921}, {"デ",  962}, {"ト",  686}, {"ド",  717}, {"ナ",  952},
    {"ニ",  973}, {"ネ",  880}, {"ノ",  727}, {"ハ",  973}, {"バ",  973}, {"ヒ",  829},
    {"ビ",  932}, {"ブ",  942}, {"プ",  942}, {"ヘ",  983}, {"ベ",  983}, {"ホ",  983},
    {"ボ",  993}, {"ポ",  983}, {"マ",  891}, {"ミ",  706}, {"メ",  778}, {"モ",  942},
    {"ヤ",  880}, {"ュ",  860}, {"ユ",  952}, {"ョ",  717}, {"ヨ",  819}, {"ラ",  839},
    {"リ",  717}, {"ル",  983}, {"レ",  798}, {"ロ",  839}, {"ワ",  829}, {"ン",  880},
    {"ー",  952},
};
// clang-format on

}  // namespace milka::career
