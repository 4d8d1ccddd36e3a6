// PLACEHOLDER: answers nothing until the network work lands.
#include "platform/online_port.h"

namespace milka::platform {

QtOnlinePort::QtOnlinePort(QObject* parent) : QObject(parent) {}
void QtOnlinePort::fetch(const std::string&, std::function<void(std::string)> done) { done({}); }
void QtOnlinePort::navigate(const std::string&, std::function<void(std::string)>) {}
void QtOnlinePort::openUrl(const std::string&) {}

}  // namespace milka::platform
