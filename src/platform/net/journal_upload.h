// The career's journal goes with its entry: the midend's EntryUpload decides when and what, and
// this is the Qt window's part of it — packing with qCompress and posting with Qt Network, in the
// background with a time limit, so nothing here ever holds the window.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <string>

#include "platform/net/requests.h"
#include "play/entry_upload.h"
#include "play/words.h"
#include "shell/ports.h"

namespace milka::platform {

class JournalUpload final : public QObject, public OnlinePort, private play::UploadLink {
 public:
  // The site takes no more than this, compressed.
  static constexpr qsizetype kBodyLimit = static_cast<qsizetype>(play::EntryUpload::kBodyLimit);

  struct Journal {
    QByteArray bytes;     // the career's whole journal so far, header and records
    bool seeded = false;  // whether it carries a seed the site issued
  };
  using Outcome = play::EntryOutcome;

  // inner: where requests really go; its site address is taken as this port's.
  explicit JournalUpload(OnlinePort& inner, QObject* parent = nullptr);
  ~JournalUpload() override;

  // The career's journal at the moment of sending; without one the entry goes plain.
  void setJournal(std::function<Journal()> journal);

  void fetch(const std::string& url, std::function<void(std::string)> done) override;
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override;
  void openUrl(const std::string& url) override;
  std::string locationUrl() const override;

  // Called once per entry, before its navigation starts.
  void setUploaded(std::function<void(const Outcome&)> uploaded) {
    entry_.setUploaded(std::move(uploaded));
  }
  // How long the site has to take the journal and answer; ten seconds unless set.
  void setTimeLimit(std::chrono::milliseconds limit) { requests_.setTimeLimit(limit); }
  // Uploads started and not yet ended (their navigations not yet handed on).
  int pending() const { return entry_.pending(); }

  // Whether url is the entry page (its path ends in /vbvb55.php).
  static bool isEntry(const std::string& url) { return play::EntryUpload::isEntry(url); }

 private:
  void post(const std::string& url, std::string body, Posted done) override;
  void compress(std::string bytes, std::function<void(std::string)> done) override;

  Requests requests_{std::chrono::milliseconds(10000)};
  play::EntryUpload entry_;
};

}  // namespace milka::platform
