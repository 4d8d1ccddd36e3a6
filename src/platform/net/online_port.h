// The outside world through Qt Network and QDesktopServices. Every request runs in the
// background with a time limit and a cap on what it reads, so whatever the network does, the
// window keeps ticking and the game only ever sees an answer or the empty text.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <string>

#include "platform/net/requests.h"
#include "shell/ports.h"

namespace milka::platform {

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
  void setTimeLimit(std::chrono::milliseconds limit) { requests_.setTimeLimit(limit); }
  // Requests started and not yet ended.
  int pending() const { return requests_.pending(); }

 private:
  // Runs a GET; end gets the reply's final address, the body, and whether it came back whole.
  void get(const std::string& url,
           std::function<void(const QString& where, const QByteArray& body, bool whole)> end);

  Requests requests_{std::chrono::milliseconds(5000)};
  std::function<void()> after_;
  std::function<void(const std::string&)> openFailed_;
  std::string location_;
};

}  // namespace milka::platform
