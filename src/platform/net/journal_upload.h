// The career's journal goes with its entry. Between the game and the outside world: when the game
// navigates to the entry page (…/vbvb55.php?…), the journal is first posted to the same site's
// journal.php, tied to the text pdf.php answered, so that the site can replay the career and
// enter it as verified; then the navigation goes on exactly as the game asked, whatever became of
// the upload. Everything else passes straight through. Nothing here ever waits: the game's
// closing messages are up before the upload starts, and the timers tick on through it.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/net/requests.h"
#include "shell/ports.h"

class QNetworkReply;
#include "play/words.h"

namespace milka::platform {

class JournalUpload final : public QObject, public OnlinePort {
 public:
  // The site takes no more than this, compressed.
  static constexpr qsizetype kBodyLimit = 256 * 1024;

  struct Journal {
    QByteArray bytes;     // the career's whole journal so far, header and records
    bool seeded = false;  // whether it carries a seed the site issued
  };
  // What became of one entry's journal: checked (the site replayed it and kept it), refused
  // (the site said why not), or not sent (no answer, a busy site, a failed fetch, or too big).
  using Outcome = play::EntryOutcome;

  // inner: where requests really go; its site address is taken as this port's.
  explicit JournalUpload(OnlinePort& inner, QObject* parent = nullptr);
  ~JournalUpload() override;

  // The career's journal at the moment of sending; without one the entry goes plain.
  void setJournal(std::function<Journal()> journal) { journal_ = std::move(journal); }

  void fetch(const std::string& url, std::function<void(std::string)> done) override;
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override;
  void openUrl(const std::string& url) override;
  std::string locationUrl() const override;

  // Called once per entry, before its navigation starts.
  void setUploaded(std::function<void(const Outcome&)> uploaded) {
    uploaded_ = std::move(uploaded);
  }
  // How long the site has to take the journal and answer; ten seconds unless set.
  void setTimeLimit(std::chrono::milliseconds limit) { requests_.setTimeLimit(limit); }
  // Uploads started and not yet ended (their navigations not yet handed on).
  int pending() const { return pending_; }

  // Whether url is the entry page (its path ends in /vbvb55.php).
  static bool isEntry(const std::string& url);

 private:
  void upload(const std::string& entry, std::function<void(std::string)> arrived);
  void post(const QString& where, const QByteArray& body, std::function<void(Outcome)> end);
  void finish(const Outcome& outcome, const std::string& entry,
              std::function<void(std::string)> arrived);

  OnlinePort& inner_;
  std::function<Journal()> journal_;
  std::function<void(const Outcome&)> uploaded_;
  Requests requests_{std::chrono::milliseconds(10000)};
  std::string token_;  // what the last pdf.php fetch answered
  int pending_ = 0;
  // Answers from the inner port can arrive after this is gone; they then record nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace milka::platform
