// The running commentary's phrasings, as the announcer speaks them: one row per phrasing, in the
// order of the script. A line is its pieces joined with nothing between them; a literal piece is
// spoken as written, a slot is filled from the race. A rival's line carries the number slot where
// his own number is spoken; the player's runner 10 has a column of his own, with his own literals.
#pragma once

#include <array>
#include <cstdint>

namespace milka::race {

// What a piece of a line stands for.
enum class Slot : uint8_t {
  Text,         // the piece's own literal
  Horse,        // the runner's name (the player's horse for runner 10)
  Jockey,       // the rival's jockey
  No,           // the runner's number, plain digits
  Margin,       // the leader's lead in lengths, or "半"
  Spread,       // the field's spread in lengths, plain digits
  Race,         // the race name
  Laps,         // laps still to run
  PassedHorse,  // the leader who has just been passed
  PassedNo,     // ... and his number
};

struct Piece {
  constexpr Piece() = default;
  // Literal pieces read as themselves in the tables.
  constexpr Piece(const char* literal) : text(literal) {}  // NOLINT(google-explicit-constructor)
  constexpr Piece(Slot s) : slot(s) {}                     // NOLINT(google-explicit-constructor)
  Slot slot = Slot::Text;
  const char* text = "";
};

// Unused trailing pieces are empty literals.
using Line = std::array<Piece, 8>;

inline constexpr Slot kHorse = Slot::Horse;
inline constexpr Slot kJockey = Slot::Jockey;
inline constexpr Slot kNo = Slot::No;
inline constexpr Slot kMargin = Slot::Margin;
inline constexpr Slot kSpread = Slot::Spread;
inline constexpr Slot kRace = Slot::Race;
inline constexpr Slot kLaps = Slot::Laps;
inline constexpr Slot kPassedHorse = Slot::PassedHorse;
inline constexpr Slot kPassedNo = Slot::PassedNo;

// A phrasing that names one runner, as spoken of a rival (runners 1 to 9) and of runner 10.
struct RunnerCall {
  int8_t step;    // the script step, or the stage of the final straight or the finish
  int8_t place;   // the runner spoken of holds this place
  int8_t choice;  // the phrasing drawn
  Line rival;
  Line player;
};

// A rival whose line departs from his column.
struct RunnerException {
  int8_t step;
  int8_t choice;
  int8_t runner;
  Line line;
};

// The spread of the field: the words depend on how long it has grown.
struct SpreadCall {
  int8_t choice;
  int8_t column;  // 1 up to 5 lengths, 2 from 6 to 10, 3 from 11 on
  Line line;
};

// clang-format off

// Step 0, the start, by choice 1..4.
constexpr std::array<Line, 4> kStartCalls = {{
  {"スタートしました!  ", kRace, " です"},
  {"スタートしました!  ", kRace, " !"},
  {"ゲートが開いてスタートしました!"},
  {"ゲートイン完了。スタートしました!"},
}};

// Step 1, the follow-up: the choice of step 0 picks it.
constexpr std::array<Line, 4> kStartFollowUps = {{
  {"さあ！何が行くんでしょうか"},
  {"10頭が横一線綺麗なスタートです"},
  {kRace, "です。どうぞご覧上下さい"},
  {kRace, "! 何が抜けて出てくるのでしょうか"},
}};

// Steps 2 to 11 and 14: the leader, the field from second place to last, and the leader with
// his lead.
constexpr std::array<RunnerCall, 36> kRunnerCalls = {{
  // step place choice runners 1-9                                                                                       runner 10
  {2,     1,    1,     {kNo, "番の ", kHorse, " が行くんでしょうか  鞍上は", kJockey},                                   {"10番の ", kHorse, " が行くんでしょうか  鞍上は あなたです。"}},
  {2,     1,    2,     {kJockey, "騎手  ", kHorse, "がまず出てきましたか"},                                              {"あなたの馬", kHorse, "がまず出てきましたか"}},
  {2,     1,    3,     {"まず", kNo, "番の", kHorse, "が先頭に立つ勢いです"},                                            {"まず10番の", kHorse, "が先頭に立つ勢いです"}},
  {3,     2,    1,     {kNo, "番の ", kHorse, "これが2番手につけましたか"},                                              {"10番の ", kHorse, "これが2番手につけましたか"}},
  {3,     2,    2,     {"控えて2番手", kHorse},                                                                          {"控えて2番手", kHorse}},
  {3,     2,    3,     {kJockey, "の", kHorse, "これが2番手"},                                                           {"あなたの", kHorse, "これが2番手"}},
  {4,     3,    1,     {kNo, "番の ", kHorse, "これが3番手"},                                                            {"10番の ", kHorse, "これが3番手"}},
  {4,     3,    2,     {"3番手", kHorse},                                                                                {"3番手", kHorse}},
  {4,     3,    3,     {kJockey, kHorse, "これが3番手"},                                                                 {"あなたの", kHorse, "これが3番手"}},
  {5,     4,    1,     {kNo, "番の ", kHorse, "これが4番手"},                                                            {"10番の ", kHorse, "これが4番手"}},
  {5,     4,    2,     {"4番手", kHorse, "この辺りが中団"},                                                              {"4番手", kHorse, "この辺りが中団"}},
  {5,     4,    3,     {kHorse, " ", kJockey, "4頭目"},                                                                  {kHorse, " ", "あなたの馬が4頭目でしょうか"}},
  {6,     5,    1,     {kNo, "番 ", kHorse, "これが5番手"},                                                              {"10番 ", kHorse, "これが5番手"}},
  {6,     5,    2,     {kHorse, " が後方5番手で追走です"},                                                               {kHorse, " が後方5番手で追走です"}},
  {6,     5,    3,     {kHorse, " 鞍上", kJockey, "騎手が5番手"},                                                        {kHorse, " 鞍上あなたが5番手!さあここからどうでるのか！"}},
  {7,     6,    1,     {kNo, "番 ", kHorse, "6番手"},                                                                    {"10番 ", kHorse, "6番手"}},
  {7,     6,    2,     {kHorse, " が6番手で追走です"},                                                                   {kHorse, " が6番手で追走です"}},
  {7,     6,    3,     {kHorse, " 6番手", kJockey},                                                                      {kHorse, " 6番手!さあここからどういったレースをするのか！"}},
  {8,     7,    1,     {kNo, "番 ", kHorse, "7番手"},                                                                    {"10番 ", kHorse, "7番手"}},
  {8,     7,    2,     {"あとは ", kHorse},                                                                              {"あとは ", kHorse}},
  {8,     7,    3,     {"7番手", kJockey, "と", kHorse},                                                                 {"7番手 あなたと", kHorse}},
  {9,     8,    1,     {kNo, "番 ", kHorse},                                                                             {"10番 ", kHorse}},
  {9,     8,    2,     {"あと ", kHorse},                                                                                {"あと ", kHorse}},
  {9,     8,    3,     {"8番手", kJockey, "と", kHorse},                                                                 {"8番手 あなたと", kHorse}},
  {10,    9,    1,     {kNo, "番 ", kHorse},                                                                             {"10番 ", kHorse}},
  {10,    9,    2,     {"シンガリから2頭目に ", kHorse},                                                                 {"シンガリから2頭目に ", kHorse}},
  {10,    9,    3,     {"後方から2頭目に", kHorse},                                                                      {"後方から数えて2頭目 ", kHorse}},
  {11,    10,   1,     {kNo, "番 ", kHorse, "これが最後方"},                                                             {"10番 ", kHorse, "これが最後方"}},
  {11,    10,   2,     {"ラスト最後方 ", kHorse},                                                                        {"ラスト最後方 ", kHorse}},
  {11,    10,   3,     {"しんがり追走 ", kNo, "番の", kHorse},                                                           {"しんがり追走10番 ", kHorse}},
  {14,    1,    1,     {kNo, "番の ", kHorse, " が踊り出て先頭です。  鞍上", kJockey, "2番手との差は", kMargin, "馬身"}, {"10番の ", kHorse, " が踊り出て先頭です。  鞍上は あなたです。", "2番手との差は", kMargin, "馬身"}},
  {14,    1,    2,     {kHorse, "がハナを奪って先頭  その差", kMargin, "馬身"},                                          {kHorse, "がハナを奪って先頭  その差", kMargin, "馬身"}},
  {14,    1,    3,     {kNo, "番の", kHorse, "が先頭"},                                                                  {"10番の", kHorse, " あなたが先頭"}},
  {14,    1,    4,     {kNo, "番", kHorse, "先頭  リードは", kMargin, "馬身ぐらい取りましたか"},                         {"10番", kHorse, " あなた先頭  リードは", kMargin, "馬身ぐらい取りましたか"}},
  {14,    1,    5,     {kHorse, "先頭  リードは", kMargin, "馬身ぐらい"},                                                {kHorse, " あなた先頭  リードは", kMargin, "馬身ぐらい"}},
  {14,    1,    6,     {"先頭は", kHorse, "  リードは", kMargin, "馬身ぐらい"},                                          {"先頭は", kHorse, "  リードは", kMargin, "馬身ぐらい"}},
}};

// Two rivals are called a little differently from the rest of their column.
constexpr std::array<RunnerException, 2> kRunnerExceptions = {{
  // step choice runner line
  {7,     2,     1,     {kHorse, " が6番手追走です"}},
  {11,    2,     2,     {"ラスト最後方", kHorse}},
}};

// Step 12, the spread.
constexpr std::array<SpreadCall, 12> kSpreadCalls = {{
  // choice column line
  {1,       1,     {"しかし先頭からラスト最後方までそんなに離れていません"}},
  {1,       2,     {"先頭からしんがりまでおよそ", kSpread, "馬身で少したてながでしょうか"}},
  {1,       3,     {"体制はたてなが　体制はたてなが"}},
  {2,       1,     {"先頭からしんがりまでどうでしょう・・・・約", kSpread, "馬身です"}},
  {2,       2,     {"先頭からしんがりまでどうでしょう・・・・約", kSpread, "馬身です"}},
  {2,       3,     {"先頭からしんがりまでどうでしょう・・・・約", kSpread, "馬身です"}},
  {3,       1,     {"先頭からしんがりまで一塊"}},
  {3,       2,     {"体制はややたてなが"}},
  {3,       3,     {"体制はたてに長くなりました"}},
  {4,       1,     {"こういった体制で先頭からラスト最後方までどうでしょうか・・・", kSpread, "馬身ぐらいあるでしょうか"}},
  {4,       2,     {"こういった体制で先頭からラスト最後方までどうでしょうか・・・", kSpread, "馬身ぐらいあるでしょうか"}},
  {4,       3,     {"こういった体制で先頭からラスト最後方までどうでしょうか・・・", kSpread, "馬身ぐらいあるでしょうか"}},
}};

// Step 13, the link line, by choice 1..4.
constexpr std::array<Line, 4> kLinkCalls = {{
  {"前からみましょう"},
  {"さあここからレースはどうなるのか"},
  {"あと", kLaps, "周でしょうか"},
  {"先頭から見てみましょうか"},
}};

// clang-format on

}  // namespace milka::race
