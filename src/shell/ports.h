// The outside world as the game sees it: fetching a document, navigating to an address,
// and opening an address in the system's browser. The Qt layer implements it with Qt Network
// and QDesktopServices; tests use a local server or a recorder.
#pragma once

#include <functional>
#include <string>

namespace milka {

class OnlinePort {
 public:
  virtual ~OnlinePort() = default;
  // Fetch url and hand its text to done (empty text when the fetch fails). Never blocks.
  virtual void fetch(const std::string& url, std::function<void(std::string)> done) = 0;
  // Navigate to url; when the navigation has ended, arrived gets the final address.
  virtual void navigate(const std::string& url, std::function<void(std::string)> arrived) = 0;
  // Open url in the system's browser.
  virtual void openUrl(const std::string& url) = 0;
};

}  // namespace milka
