// The career's journal goes with its entry, in every window. Between the game and the outside
// world: when the game navigates to the entry page (…/vbvb55.php?…), the journal is first posted
// to the same site's journal.php, tied to the text pdf.php answered, so that the site can replay
// the career and enter it as verified; then the navigation goes on exactly as the game asked,
// whatever became of the upload. Everything else passes straight through. Nothing here ever
// waits: the game's closing messages are up before the upload starts, and the timers tick on
// through it. How bytes are packed and posted is the window's (UploadLink).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "play/words.h"
#include "shell/ports.h"

namespace milka::play {

// What a window does for an entry's journal.
class UploadLink {
 public:
  virtual ~UploadLink() = default;
  // Posts body to url, never following a redirect. done gets the answer's status (0 without
  // one), its first few kilobytes, and whether it is the server's own answer (not a network
  // failure, nor the time limit). Called later, never from inside post.
  using Posted = std::function<void(int status, std::string body, bool fromServer)>;
  virtual void post(const std::string& url, std::string body, Posted done) = 0;
  // Packs bytes as the site unpacks them: the length as 4 bytes, big-endian, then a zlib
  // stream. done gets the packed bytes, or the empty text when they could not be packed; it may
  // be called from inside compress.
  virtual void compress(std::string bytes, std::function<void(std::string)> done) = 0;
};

class EntryUpload final : public OnlinePort {
 public:
  // The site takes no more than this, compressed.
  static constexpr size_t kBodyLimit = 256 * 1024;
  // Of the site's answer, no more than this is read.
  static constexpr size_t kAnswerLimit = 4096;

  struct Journal {
    std::string bytes;    // the career's whole journal so far, header and records
    bool seeded = false;  // whether it carries a seed the site issued
  };
  // What became of one entry's journal: checked (the site replayed it and kept it), refused
  // (the site said why not), or not sent (no answer, a busy site, a failed fetch, or too big).
  using Outcome = EntryOutcome;

  // inner: where requests really go; its site address is taken as this port's.
  EntryUpload(OnlinePort& inner, UploadLink& link);
  ~EntryUpload() override;
  EntryUpload(const EntryUpload&) = delete;
  EntryUpload& operator=(const EntryUpload&) = delete;

  // The career's journal at the moment of sending; without one the entry goes plain.
  void setJournal(std::function<Journal()> journal) { journal_ = std::move(journal); }
  // Called once per entry, before its navigation starts.
  void setUploaded(std::function<void(const Outcome&)> uploaded) {
    uploaded_ = std::move(uploaded);
  }

  void fetch(const std::string& url, std::function<void(std::string)> done) override;
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override;
  void openUrl(const std::string& url) override;
  std::string locationUrl() const override;

  // Uploads started and not yet ended (their navigations not yet handed on).
  int pending() const { return pending_; }

  // Whether url is the entry page (its path ends in /vbvb55.php).
  static bool isEntry(const std::string& url);
  // Where the journal of the entry at url goes, tied to token.
  static std::string journalUrl(const std::string& entry, const std::string& token);
  // The site's words, as a line a note can show: valid text, no control characters, short.
  static std::string reasonFrom(std::string_view body);

 private:
  struct Waiting {
    std::string entry;
    std::function<void(std::string)> arrived;
  };
  void upload(Waiting w);
  void finish(const Outcome& outcome, Waiting w);

  OnlinePort& inner_;
  UploadLink& link_;
  std::function<Journal()> journal_;
  std::function<void(const Outcome&)> uploaded_;
  std::string token_;  // what the last pdf.php fetch answered
  int pending_ = 0;
  // The game asks for the entry while the answer of pdf.php is still being fed; the journal sent
  // must hold that answer too, so the entry waits here until the feeding is over.
  int answering_ = 0;
  std::unique_ptr<Waiting> waiting_;
  // Answers can arrive after this is gone; they then record nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace milka::play
