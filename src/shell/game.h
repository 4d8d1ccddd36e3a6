// The one window, Form1: it owns the window model, the game-state record, the random source
// and the port to the outside world. Its member functions are exactly the form's event
// handlers; each is defined in the subsystem that owns its work.
#pragma once

#include <cstdint>
#include <string>

#include "shell/form.h"
#include "shell/game_state.h"
#include "shell/ports.h"
#include "shell/random.h"

namespace milka {

class Game {
 public:
  explicit Game(RandomSource& source, OnlinePort* port = nullptr)
      : form(designForm()), rng(source), online(port) {}

  Form form;
  GameState state;
  Rng rng;
  OnlinePort* online;

  void Form_Load();                                    // shell/startup.cpp
  void Command1_Click();                               // career/flow.cpp   (A)
  void Command2_Click();                               // career/breeding.cpp (Up)
  void Command3_Click();                               // career/breeding.cpp (Down)
  void Command4_Click();                               // career/flow.cpp   (B)
  void Command5_Click();                               // online/site_link.cpp
  void Text1_KeyDown(int16_t keyCode, int16_t shift);  // career/key_dispatch.cpp
  void Timer1_Timer();                                 // career/timers.cpp
  void Timer2_Timer();
  void Timer3_Timer();
  void Timer4_Timer();
  void Timer5_Timer();
  void WebBrowser1_Notify(const std::string& text);  // online/site_link.cpp
};

// The key-symbol table (race/key_input.cpp): 1 "←" .. 4 "↓", then the letters in the game's own
// order; any index outside 1..30 gives "u".
std::string keySymbol(int index);
// The symbol a key code stands for ("" for keys the game ignores): arrows 37..40, letters 65..90.
std::string symbolOfKey(int keyCode);

}  // namespace milka
