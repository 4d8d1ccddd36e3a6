// The final straight and the finish, as the announcer calls them: one row per phrasing, in the
// order of the stages. The pieces and slots are those of the running commentary.
#pragma once

#include <array>
#include <cstdint>

#include "race/commentary_phrases.h"

namespace milka::race {

// The two scene-setting lines as the field turns for home.
struct SceneCall {
  Line stage0;
  Line stage10;
};

// The leader has been passed: the same words whoever passes him.
struct LeadChangeCall {
  int8_t stage;
  int8_t choice;
  Line line;
};

// clang-format off

// Stages 0 and 10, by pick 1..6.
constexpr std::array<SceneCall, 6> kSceneCalls = {{
  // stage 0                                             stage 10
  {{"さあ！最後の直線の追い比べ！最後の直線の追い比べ"}, {"最後の直線の追い比べ"}},
  {{"最終ラスト0周となりました！！"},                    {"直線の追い比べ！"}},
  {{"残り0周！"},                                        {"最後の直線"}},
  {{"最後の直線の攻防です！"},                           {"直線の攻防！"}},
  {{"最後の直線の追い比べに移ってまいりました！"},       {"最後の追い比べ！"}},
  {{"さあ最後の直線に向いて参りました｡"},                {"最後の直線の追い比べ！最後の直線の追い比べ！"}},
}};

// Stage 1 names the leader, stage 2 the runner in second; stages 3 and 4 find the leader still in
// front. The place column is the place of the runner spoken of.
constexpr std::array<RunnerCall, 12> kStraightCalls = {{
  // stage place choice runners 1-9                                                                    runner 10
  {1,      1,    1,     {"飛ばしております!", kNo, "番の", kHorse},                                    {"飛ばしております!", kNo, "番の", kHorse}},
  {1,      1,    2,     {"最後の直線の追い比べ！まだまだ飛ばしております", kHorse},                    {"最後の直線の追い比べ！まだまだ飛ばしております", kHorse}},
  {1,      1,    3,     {kJockey, " 騎手 ", kNo, "番の", kHorse, "が飛ばして先頭!"},                   {" あなたの馬 10番の", kHorse, "が飛ばして先頭!"}},
  {2,      2,    1,     {kNo, "番の", kHorse, "が追って2番手"},                                        {kNo, "番の", kHorse, "が追って2番手"}},
  {2,      2,    2,     {kHorse, "が食い下がって2番手"},                                               {kHorse, "が食い下がって2番手"}},
  {2,      2,    3,     {kJockey, " の ", kHorse, "が追ってくる"},                                     {"あなたの  ", kHorse, "が追ってくる"}},
  {3,      1,    1,     {kHorse, "が先頭! その差は", kMargin, "馬身ぐらいある!!"},                     {kHorse, "が先頭! その差は", kMargin, "馬身ぐらいある!!"}},
  {3,      1,    2,     {"先頭はまだまだ", kNo, "番の", kHorse, "2着との差は", kMargin, "馬身ある!!"}, {"先頭はまだまだ", kNo, "番の", kHorse, "2着との差は", kMargin, "馬身ある!!"}},
  {3,      1,    3,     {"先頭は", kHorse, "!  ", kHorse, "が先頭!! リード", kMargin, "馬身"},         {"先頭は", kHorse, "! リード", kMargin, "馬身"}},
  {4,      1,    1,     {kHorse, "先頭!", kHorse, "が先頭です"},                                       {kHorse, "先頭!", kHorse, "が先頭です"}},
  {4,      1,    2,     {"先頭は", kJockey, " の ", kHorse},                                           {"先頭はあなたの ", kHorse}},
  {4,      1,    3,     {kHorse, "! ", kHorse, "!"},                                                   {kHorse, "! ", kHorse, "!"}},
}};

// Runner 3 holding on in stage 3 gets a double quote after his "!!".
constexpr std::array<RunnerException, 1> kStraightExceptions = {{
  // stage choice runner line
  {3,      1,     3,     {kHorse, "が先頭! その差は", kMargin, "馬身ぐらいある!!", "\""}},
}};

// Stages 3 and 4 when the leader has been passed: the horse slot is the new leader.
constexpr std::array<LeadChangeCall, 6> kLeadChangeCalls = {{
  // stage choice line
  {3,      1,     {kHorse, "がここで先頭に変わった!!食い下がって", kPassedNo, "番", kPassedHorse}},
  {3,      2,     {kHorse, "がここで先頭!食い下がって", kPassedNo, "番", kPassedHorse}},
  {3,      3,     {kHorse, "がここで先頭におどり出た!"}},
  {4,      1,     {kHorse, "がここで先頭に変わった!!食い下がる", kPassedNo, "番", kPassedHorse}},
  {4,      2,     {kHorse, "がここで先頭!食い下がる", kPassedNo, "番", kPassedHorse}},
  {4,      3,     {kHorse, "がここで先頭に変わったか!"}},
}};

// Finish stage 0, the goal, by pick 1..6.
constexpr std::array<Line, 6> kGoalCalls = {{
  {"今1着でゴール"},
  {"ゴーーーーーーーーーーーーーーーーーーーーーーール"},
  {"今ゴール"},
  {"ゴール"},
  {"ゴールイン"},
  {"ごーーーーーーーーーーーーーーーーーーーーる"},
}};

// Finish stages 1 to 3: the winner, the runner-up, the winner again.
constexpr std::array<RunnerCall, 10> kFinishCalls = {{
  // stage place choice runners 1-9                                                              runner 10
  {1,      1,    1,     {kNo, "番の", kHorse, "快勝です。"},                                     {kNo, "番の", kHorse, "快勝です。"}},
  {1,      1,    2,     {"勝ったのは", kNo, "番の", kHorse},                                     {"勝ったのは", kNo, "番の", kHorse}},
  {1,      1,    3,     {kHorse, " が見事にこのレース制しました!!"},                             {kHorse, " が見事にこのレース制しました!!"}},
  {2,      2,    1,     {"そして2着は", kNo, "番の", kHorse, "か"},                              {"そして2着は", kNo, "番の", kHorse, "か"}},
  {2,      2,    2,     {"2着はどうだ・・・・・・・・", kNo, "番の", kHorse},                    {"2着はどうだ・・・・・・・・", kNo, "番の", kHorse}},
  {2,      2,    3,     {"そして2着は", kJockey, " 騎手 ", kHorse, "か"},                        {"そして2着はあなたの", kHorse, "か"}},
  {3,      1,    1,     {"しかし勝ったのは", kNo, "番の", kHorse, "快勝しました!鞍上", kJockey}, {"しかし勝ったのは10番の", kHorse, "快勝しました!鞍上はあなた"}},
  {3,      1,    2,     {"しかし勝ったのは", kNo, "番の", kHorse},                               {"しかし勝ったのは", kNo, "番の", kHorse}},
  {3,      1,    3,     {kHorse, " この馬が制しています!!"},                                     {kHorse, " この馬が制しています!!"}},
  {3,      1,    4,     {kHorse, " が勝ちました!!鮮やかでした!!"},                               {kHorse, " が勝ちました!!鮮やかでした!!"}},
}};

// clang-format on

}  // namespace milka::race
