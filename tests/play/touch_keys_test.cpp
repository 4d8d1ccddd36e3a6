// The on-screen keys of a window without a keyboard: the thirty symbols, each once, each sending
// the code a real keyboard sends; shown exactly while a symbol typed does something; and, in a
// race, the commentary and the whip's symbol echoed from the form.
#include "play/touch_keys.h"

#include <gtest/gtest.h>

#include <set>

#include "journal/careful_player.h"
#include "play/keys.h"

namespace milka::play {
namespace {

TEST(TouchKeys, TheThirtySymbolsEachOnceAsARealKeyboardSendsThem) {
  const SymbolKeyboard& k = symbolKeyboard();
  std::set<std::string> symbols, names;
  for (const auto* half : {&k.left, &k.right, &k.arrows})
    for (const auto& row : *half)
      for (const SymbolKey& key : row) {
        EXPECT_EQ(actionFor({key.code}).symbol, key.code) << key.name << " is a symbol key";
        EXPECT_EQ(symbolOfKey(key.code), key.symbol);
        EXPECT_TRUE(symbols.insert(key.symbol).second) << key.symbol << " twice";
        EXPECT_TRUE(names.insert(key.name).second) << key.name << " twice";
      }
  std::set<std::string> table;
  for (int i = 1; i <= 30; ++i) table.insert(keySymbol(i));
  EXPECT_EQ(symbols, table);
  EXPECT_EQ(k.left.front().front().name, "Q") << "the rows are a keyboard's, not the game's order";
  EXPECT_EQ(k.arrows.front().front().name, "上矢印");
}

TEST(TouchKeys, TheCareersKeysAreOfferedAsButtonsThatPressThem) {
  std::vector<CareerKey> running, paused;
  for (const CareerButton& b : careerButtons(false))
    running.push_back(actionFor({b.code, false, b.control}).career);
  for (const CareerButton& b : careerButtons(true))
    paused.push_back(actionFor({b.code, false, b.control}).career);
  EXPECT_EQ(running, std::vector<CareerKey>{CareerKey::Pause});
  EXPECT_EQ(paused, (std::vector<CareerKey>{CareerKey::Pause, CareerKey::NewHorse}));
  EXPECT_NE(careerButtons(true).front().caption, careerButtons(false).front().caption)
      << "going on reads differently from pausing";
}

// A symbol key, other than the one the race last showed, typed into a copy of the game: whether
// it changed what the player sees or what the race will do.
bool symbolTakes(const Game& g, int round) {
  int code = round % 2 ? vk::kLeft + round % 4 : vk::kA + round % 26;
  if (symbolOfKey(code) == g.form.label(11).caption) code = code == vk::kA ? vk::kA + 1 : vk::kA;
  Game probe = g;
  probe.Text1_KeyDown(static_cast<int16_t>(code), 0);
  return probe.form.label(11).caption != g.form.label(11).caption ||
         probe.form.label(27).caption != g.form.label(27).caption ||
         probe.state.nameLength != g.state.nameLength ||
         probe.state.keyPromptState != g.state.keyPromptState;
}

TEST(TouchKeys, ShownExactlyWhileASymbolTypedDoesSomethingAndTheRaceEchoed) {
  journal::Session session(journal::Session::newHeader(20261210));
  session.feed(journal::Event::siteBase("http://127.0.0.1:9"));
  session.feed(journal::Event::load());
  std::set<int> shownOn, hiddenOn;
  int round = 0, echoed = 0;
  const bool boarded = testing::playCarefully(session, [&](const Game& g) {
    const bool wanted = wantsSymbolKeys(g.state);
    EXPECT_EQ(wanted, symbolTakes(g, ++round))
        << "screen " << g.state.screenState << " phase " << g.state.setupPhase;
    (wanted ? shownOn : hiddenOn).insert(g.state.screenState);
    const TouchLines lines = touchLines(g.form, g.state);
    if (g.state.screenState == screen::kRace && !g.form.label(39).caption.empty()) {
      EXPECT_EQ(lines.first, g.form.label(39).caption);
      // The symbol the screen shows, which catches up with a newly drawn one a tick later: the
      // player answers what he sees.
      EXPECT_NE(lines.second.find("ムチの値⇒ " + g.form.label(12).caption), std::string::npos)
          << lines.second;
      ++echoed;
    }
    if (!wanted) {
      EXPECT_EQ(lines, TouchLines{});
    }
    return testing::boardShown(g);
  });
  ASSERT_TRUE(boarded);
  EXPECT_EQ(shownOn, (std::set<int>{screen::kBreeding, screen::kRace}));
  EXPECT_TRUE(hiddenOn.contains(screen::kTitle) && hiddenOn.contains(screen::kStable) &&
              hiddenOn.contains(screen::kRaceCard) && hiddenOn.contains(screen::kResults));
  EXPECT_GT(echoed, 20) << "the commentary spoke through the race";
  EXPECT_NE(touchJson(session.game().form, session.game().state, true, {}).find("\"keys\":false"),
            std::string::npos);
}

}  // namespace
}  // namespace milka::play
