// A home of the test program's own: HOME and the XDG directories in a fresh temporary directory
// for as long as it lives, then removed with all in it and the old values put back. The game
// continues whatever career it finds in its data directory, so a test's journal (or its site's
// database, or the window's remembered size) must never land in the home of whoever runs the
// tests; what a test starts inherits the same home.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace milka::testing {

class OwnHome {
 public:
  OwnHome() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "milka-test-home-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      // Running on in the runner's own home is exactly what this is here to prevent.
      std::perror("milka tests: cannot make a home of their own");
      std::abort();
    }
    root_ = pattern;
    const std::filesystem::path run = root_ / "run";
    std::filesystem::create_directory(run);
    // Qt and the sound server refuse a runtime directory others may enter.
    std::filesystem::permissions(run, std::filesystem::perms::owner_all);
    set("HOME", root_);
    set("XDG_DATA_HOME", root_ / ".local/share");
    set("XDG_CONFIG_HOME", root_ / ".config");
    set("XDG_CACHE_HOME", root_ / ".cache");
    set("XDG_STATE_HOME", root_ / ".local/state");
    set("XDG_RUNTIME_DIR", run);
  }
  ~OwnHome() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        ::unsetenv(it->first.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  OwnHome(const OwnHome&) = delete;
  OwnHome& operator=(const OwnHome&) = delete;

  const std::filesystem::path& root() const { return root_; }

 private:
  void set(const std::string& name, const std::filesystem::path& value) {
    const char* old = ::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }

  std::filesystem::path root_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace milka::testing
