// What the window tests share: a game on a scripted random source with a recording port,
// and its window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/window.h"
#include "scripted_random.h"
#include "shell/ports.h"

namespace milka::testing {

// An online port that keeps what the game asked of it and answers only when a test says so.
class RecordingPort final : public OnlinePort {
 public:
  void fetch(const std::string& url, std::function<void(std::string)> done) override {
    fetched.push_back(url);
    pendingFetch = std::move(done);
  }
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override {
    navigated.push_back(url);
    pendingNavigation = std::move(arrived);
  }
  void openUrl(const std::string& url) override { opened.push_back(url); }

  std::vector<std::string> fetched, navigated, opened;
  std::function<void(std::string)> pendingFetch, pendingNavigation;
};

struct WindowParts {
  // The name entry with nothing typed yet.
  void atNaming() {
    game.state.screenState = screen::kBreeding;
    game.state.setupPhase = 3;
    game.form.label(27).caption.clear();
    game.state.nameLength = 0;
    window->sync();
  }

  ScriptedRandom random;
  RecordingPort port;
  Game game{random, &port};
  std::unique_ptr<platform::GameWindow> window;
};

}  // namespace milka::testing
