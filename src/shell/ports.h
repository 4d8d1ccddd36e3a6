// The outside world as the game sees it: fetching a document, navigating to an address,
// and opening an address in the system's browser. The Qt layer implements it with Qt Network
// and QDesktopServices; tests use a local server or a recorder.
#pragma once

#include <functional>
#include <string>

#ifndef MILKA_SITE_BASE
#define MILKA_SITE_BASE "http://milkaria.example"
#endif

namespace milka {

class OnlinePort {
 public:
  virtual ~OnlinePort() = default;
  // Fetch url and hand its text to done (empty text when the fetch fails). Never blocks, and
  // done is called later, never from inside fetch.
  virtual void fetch(const std::string& url, std::function<void(std::string)> done) = 0;
  // Navigate to url; when the navigation has ended, arrived gets the final address.
  virtual void navigate(const std::string& url, std::function<void(std::string)> arrived) = 0;
  // Open url in the system's browser.
  virtual void openUrl(const std::string& url) = 0;
  // Where the last navigation ended up (after redirects); empty before the first has ended.
  virtual std::string locationUrl() const { return {}; }

  // The maker's site, under which the score server's pages lie. Tests point it at their own
  // server.
  std::string siteBase = MILKA_SITE_BASE;
};

}  // namespace milka
