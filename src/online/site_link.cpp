// PLACEHOLDER: the site link; replaced by the real rules.
#include "shell/game.h"

namespace milka {

void Game::Command5_Click() {
  if (online) online->openUrl(std::string(MILKA_SITE_BASE) + "/karuden/");
}

void Game::WebBrowser1_Notify(const std::string&) {}

}  // namespace milka
