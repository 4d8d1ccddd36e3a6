// The outside world through Qt Network and QDesktopServices.
#pragma once

#include <QObject>

#include "shell/ports.h"

namespace milka::platform {

class QtOnlinePort final : public QObject, public OnlinePort {
  Q_OBJECT
 public:
  explicit QtOnlinePort(QObject* parent = nullptr);
  void fetch(const std::string& url, std::function<void(std::string)> done) override;
  void navigate(const std::string& url, std::function<void(std::string)> arrived) override;
  void openUrl(const std::string& url) override;
};

}  // namespace milka::platform
