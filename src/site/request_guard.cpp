#include "site/request_guard.h"

#include <QList>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "site/pages.h"

namespace milka::site {

namespace {

// A refused client may still be sending; reading a little more before closing lets it read the
// 400 instead of a reset, and the cap stops it from streaming at us for ever.
constexpr qint64 kDrainBytes = 1024 * 1024;
constexpr int kLingerMs = 1000;

QByteArray refusalResponse() {
  const QByteArray body =
      messagePage(QStringLiteral("受け付けられないリクエストです"),
                  QStringLiteral("このサイトはページの表示（GET）だけを受け付けます。"
                                 "アドレスが長すぎるか、形式が正しくありません。"));
  return "HTTP/1.1 400 Bad Request\r\nContent-Type: text/html; charset=utf-8\r\n"
         "X-Content-Type-Options: nosniff\r\nCache-Control: no-store\r\nConnection: close\r\n"
         "Content-Length: " +
         QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

}  // namespace

struct RequestGuard::Watch {
  QByteArray head;  // the head being received, up to the limit
  bool refused = false;
  qint64 drained = 0;
  QTimer* deadline = nullptr;
};

bool acceptableHead(const QByteArray& head) {
  const QList<QByteArray> lines = head.split('\n');
  const QList<QByteArray> request = lines.front().trimmed().split(' ');
  if (request.size() != 3 || request[0] != "GET" || !request[1].startsWith('/')) return false;
  if (request[2] != "HTTP/1.1" && request[2] != "HTTP/1.0") return false;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed().toLower();
    if (line.startsWith("transfer-encoding:")) return false;
    if (line.startsWith("content-length:") && line.mid(15).trimmed() != "0") return false;
  }
  return true;
}

RequestGuard::RequestGuard(RequestLimits limits, QObject* parent)
    : QTcpServer(parent), limits_(limits) {}

void RequestGuard::incomingConnection(qintptr handle) {
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(handle)) {
    delete socket;
    return;
  }
  if (open_ >= limits_.connections) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  // The server writes an answer's head and body separately; without this the body would wait
  // for the client's delayed acknowledgement of the head, some 40 ms a page.
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  ++open_;
  connect(socket, &QObject::destroyed, this, [this] { --open_; });

  auto watch = std::make_shared<Watch>();
  watch->deadline = new QTimer(socket);
  watch->deadline->setSingleShot(true);
  connect(watch->deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
  watch->deadline->start(limits_.requestMs);
  // Connected before the HTTP server's own handler, so it sees every byte first.
  connect(socket, &QTcpSocket::readyRead, socket,
          [this, socket, watch] { inspect(socket, *watch); });
  addPendingConnection(socket);
}

void RequestGuard::inspect(QTcpSocket* socket, Watch& watch) {
  if (watch.refused) {
    watch.drained += socket->skip(socket->bytesAvailable());
    if (watch.drained > kDrainBytes) socket->abort();
    return;
  }
  // Peek, never read: what passes is left for the HTTP server to parse.
  const QByteArray chunk = socket->peek(socket->bytesAvailable());
  for (char c : chunk) {
    watch.head += c;
    if (watch.head.endsWith("\r\n\r\n") || watch.head.endsWith("\n\n")) {
      watch.head.chop(watch.head.endsWith("\r\n\r\n") ? 4 : 2);
      if (!acceptableHead(watch.head)) return refuse(socket, watch);
      watch.head.clear();
      watch.deadline->start(limits_.requestMs);
    } else if (watch.head.size() > limits_.headBytes) {
      return refuse(socket, watch);
    }
  }
}

void RequestGuard::refuse(QTcpSocket* socket, Watch& watch) {
  ++refused_;
  watch.refused = true;
  watch.head.clear();
  watch.drained = socket->skip(socket->bytesAvailable());
  socket->write(refusalResponse());
  watch.deadline->stop();
  QTimer::singleShot(kLingerMs, socket, [socket] { socket->disconnectFromHost(); });
}

}  // namespace milka::site
