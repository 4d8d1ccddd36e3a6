// The midend's tests run with no toolkit: journals kept in memory, a window that only records
// what it was asked to do, a port that answers nothing, and type whose widths are known.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "play/storage.h"
#include "play/text_breaks.h"
#include "play/text_measure.h"
#include "play/window.h"
#include "shell/ports.h"

namespace milka::testing {

// How often part stands in text: what a JSON answer says of each kind of control.
inline size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class MemoryStore final : public play::JournalStore {
 public:
  std::vector<std::string> journals() override {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files)
      if (name.ends_with(".mdj")) names.push_back(name);
    return names;
  }
  std::optional<std::string> read(const std::string& name, uint64_t limit) override {
    if (!files.contains(name)) return std::nullopt;
    return files[name].substr(0, limit);
  }
  bool exists(const std::string& name) override { return files.contains(name); }
  void remove(const std::string& name) override { files.erase(name); }
  void rename(const std::string& from, const std::string& to) override {
    files[to] = files[from];
    files.erase(from);
  }
  void copy(const std::string& from, const std::string& to) override { files[to] = files[from]; }
  bool create(const std::string& name, const std::string& head) override {
    open = name;
    files[name] = head;
    return !full;
  }
  bool append(const std::string& name, uint64_t keep) override {
    open = name;
    files[name].resize(keep);
    return !full;
  }
  void write(std::string bytes) override {
    if (full)
      refused = true;
    else
      files[open] += bytes;
  }
  void close() override {}
  bool failed() const override { return refused; }

  std::map<std::string, std::string> files;  // by name, oldest first as names sort
  std::string open;
  bool full = false;  // takes nothing more from now on
  bool refused = false;
};

class QuietPort final : public OnlinePort {
 public:
  QuietPort() { siteBase = "http://127.0.0.1:9"; }
  void fetch(const std::string&, std::function<void(std::string)>) override {}
  void navigate(const std::string&, std::function<void(std::string)>) override {}
  void openUrl(const std::string&) override {}
};

class RecordedWindow final : public play::Window {
 public:
  void setGame(Game& g) override { game = &g; }
  void sync() override { ++syncs; }
  void setStill(bool p, bool l) override {
    paused = p;
    locked = l;
  }
  void setPace(int ms, std::function<void()> t) override {
    paceMs = ms;
    tick = std::move(t);
  }
  void setTitlePrefix(const std::string& p) override { prefix = p; }
  void showNote(const std::string& text) override { notes.push_back(text); }
  void showLastingNote(const std::string& text) override { lasting = text; }
  void hideLastingNote() override { lasting.clear(); }
  void later(std::function<void()> f) override { queued.push_back(std::move(f)); }
  // The window's own turn comes round.
  void turn() {
    while (!queued.empty()) {
      auto f = std::move(queued.front());
      queued.pop_front();
      f();
    }
  }

  Game* game = nullptr;
  int syncs = 0;
  bool paused = false, locked = true;  // a window's timers wait until told
  int paceMs = 0;
  std::function<void()> tick;
  std::string prefix, lasting;
  std::vector<std::string> notes;
  std::deque<std::function<void()>> queued;
};

// Type of round numbers: an em of a font is its size at 96 dots an inch; a full-width character
// is an em wide, one of ASCII or Latin half of one, a combining mark nothing. A line is an em
// tall, and an eighth of one lies between two lines.
class FixedMeasure final : public play::TextMeasure {
 public:
  static double em(const play::Font& font) { return font.points * 4 / 3; }
  double advance(std::string_view utf8, const play::Font& font) override {
    double width = 0;
    for (size_t i = 0; i < utf8.size();) {
      const play::CodePoint c = play::codePointAt(utf8, i);
      const bool mark =
          (c.value >= 0x300 && c.value <= 0x36F) || c.value == 0x3099 || c.value == 0x309A;
      if (c.value < 0x300)
        width += em(font) / 2;
      else if (!mark)
        width += em(font);
      i = c.next;
    }
    return width;
  }
  double ascent(const play::Font& font) override { return em(font) * 7 / 8; }
  double descent(const play::Font& font) override { return em(font) / 8; }
  double leading(const play::Font& font) override { return em(font) / 8; }
};

}  // namespace milka::testing
