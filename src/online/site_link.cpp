// The maker's site button, and what the browser tells the game after the score is sent.
#include "shell/game.h"

namespace milka {

void Game::Command5_Click() {
  // Works on every screen and needs no pacing: it only hands an address to the system.
  if (online == nullptr) return;
  std::string base = online->siteBase;
  while (!base.empty() && base.back() == '/') base.pop_back();
  online->openUrl(base + "/karuden/");
}

void Game::WebBrowser1_Notify(const std::string&) {
  if (online != nullptr) form.text2.text = online->locationUrl();
}

}  // namespace milka
