// Where a window keeps the careers' journals: files on the desktop, the browser's own storage
// in a page. The keeper decides what is kept, continued, put aside or removed; a store only holds
// bytes under names, and never decides anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace milka::play {

// Where a store keeps the bytes, as the player knows it: what a note names when it fills up.
enum class KeptIn { disk, browser };

class JournalStore {
 public:
  virtual ~JournalStore() = default;

  // The journals kept, by name; names sort oldest first.
  virtual std::vector<std::string> journals() = 0;
  // A journal's bytes (at most `limit` of them), or nothing when it cannot be read.
  virtual std::optional<std::string> read(const std::string& name, uint64_t limit) = 0;
  virtual bool exists(const std::string& name) = 0;
  virtual void remove(const std::string& name) = 0;
  virtual void rename(const std::string& from, const std::string& to) = 0;
  virtual void copy(const std::string& from, const std::string& to) = 0;

  // The running career's journal: a new one holding `head`, or an existing one cut back to its
  // first `keep` bytes; then bytes written on as the career is played. Writing never waits on
  // the store: the bytes are made durable later, at least once a period.
  virtual bool create(const std::string& name, const std::string& head) = 0;
  virtual bool append(const std::string& name, uint64_t keep) = 0;
  virtual void write(std::string bytes) = 0;
  // Everything written made durable, and the running journal let go (on closing).
  virtual void close() = 0;
  // Once the store has refused bytes, nothing more is kept.
  virtual bool failed() const = 0;
  virtual KeptIn keptIn() const { return KeptIn::disk; }
};

}  // namespace milka::play
