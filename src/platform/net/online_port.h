// The outside world through Qt Network and QDesktopServices. Every request runs in the
// background with a time limit and a cap on what it reads, so whatever the network does, the
// window keeps ticking and the game only ever sees an answer or the empty text.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <string>

#include "shell/ports.h"

class QNetworkReply;

namespace milka::platform {

// What to do with an answer longer than a reader takes.
enum class PastTheLimit {
  Abort,  // end the request: a longer answer counts for nothing
  Drop,   // keep the first bytes and let the rest go by, so the answer still ends
};

// Reads reply's answer, at most maxBytes of it, within limit in all (a transfer timeout only
// counts silence, so a server that trickles is bounded here); then done(reply, body, over), with
// over when the answer ran past maxBytes. The reply is deleted after done; done and the reading
// run in context's thread and end with it.
void readBounded(QNetworkReply* reply, QObject* context, std::chrono::milliseconds limit,
                 qint64 maxBytes, PastTheLimit past,
                 std::function<void(QNetworkReply* reply, const QByteArray& body, bool over)> done);

class QtOnlinePort final : public QObject, public OnlinePort {
  Q_OBJECT
 public:
  explicit QtOnlinePort(QObject* parent = nullptr);
  ~QtOnlinePort() override;

  void fetch(const std::string& url, std::function<void(std::string)> done) override;
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override;
  void openUrl(const std::string& url) override;
  std::string locationUrl() const override;

  // Called after every answer has been handed to the game, so the window can redraw what the
  // answer changed.
  void setAfterCallback(std::function<void()> after);
  // Called with the address when the system could not open it in a browser.
  void setOpenFailedCallback(std::function<void(const std::string& url)> failed);
  // How long a request may take in all (and may stay silent); a few seconds unless set.
  void setTimeLimit(std::chrono::milliseconds limit);
  // Requests started and not yet ended.
  int pending() const { return pending_; }

 private:
  // Runs a GET; end gets the reply's final address, the body, and whether it came back whole.
  void get(const std::string& url,
           std::function<void(const QString& where, const QByteArray& body, bool whole)> end);

  QNetworkAccessManager manager_;
  std::function<void()> after_;
  std::function<void(const std::string&)> openFailed_;
  std::chrono::milliseconds limit_{5000};
  std::string location_;
  int pending_ = 0;
};

}  // namespace milka::platform
