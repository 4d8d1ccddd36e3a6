#include "site/request_guard.h"

#include <QList>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "site/pages.h"

namespace milka::site {

namespace {

// A refused client may still be sending; reading a little more before closing lets it read the
// 400 instead of a reset, and the cap stops it from streaming at us for ever.
constexpr qint64 kDrainBytes = 1024 * 1024;
constexpr int kLingerMs = 1000;
// Requests arriving together on one connection: browsers pipeline a few at most. More at once
// is a client sending without reading, and every one would be answered into memory.
constexpr int kPipelined = 32;

QByteArray refusalResponse() {
  const QByteArray body =
      messagePage(QStringLiteral("受け付けられないリクエストです"),
                  QStringLiteral("このサイトはページの表示（GET）だけを受け付けます。"
                                 "アドレスが長すぎるか、形式が正しくありません。"));
  return QByteArray(
             "HTTP/1.1 400 Bad Request\r\nContent-Type: text/html; charset=utf-8\r\n"
             "Content-Security-Policy: ") +
         kContentSecurityPolicy +
         "\r\nX-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n"
         "Cache-Control: no-store\r\nConnection: close\r\n"
         "Content-Length: " +
         QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

}  // namespace

struct RequestGuard::Watch {
  QByteArray head;  // the head being received, up to the limit
  qint64 body = 0;  // bytes of an upload's body still to come
  bool refused = false;
  qint64 drained = 0;
  QTimer* deadline = nullptr;
};

bool acceptableHead(const QByteArray& head, qint64 bodyLimit, qint64* body) {
  const QList<QByteArray> lines = head.split('\n');
  const QList<QByteArray> request = lines.front().trimmed().split(' ');
  if (request.size() != 3 || !request[1].startsWith('/')) return false;
  if (request[2] != "HTTP/1.1" && request[2] != "HTTP/1.0") return false;
  const bool upload = request[0] == "POST" &&
                      (request[1] == "/journal.php" || request[1].startsWith("/journal.php?"));
  if (!upload && request[0] != "GET" && request[0] != "HEAD") return false;
  qint64 length = -1;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed().toLower();
    if (line.startsWith("transfer-encoding:") || line.startsWith("content-encoding:") ||
        line.startsWith("expect:"))
      return false;
    if (!line.startsWith("content-length:")) continue;
    const QByteArray value = line.mid(15).trimmed();
    bool ok = !value.isEmpty() && value.size() <= 12;
    for (char c : value) ok = ok && c >= '0' && c <= '9';
    // Two lengths, even equal ones, are a request smuggled past somebody.
    if (!ok || length >= 0) return false;
    length = value.toLongLong();
  }
  if (!upload) return length <= 0;
  if (length < 1 || length > bodyLimit) return false;
  if (body) *body = length;
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
  // IPv4 clients of a dual-stack socket count as themselves.
  bool v4 = false;
  const quint32 ip4 = socket->peerAddress().toIPv4Address(&v4);
  const QHostAddress peer = v4 ? QHostAddress(ip4) : socket->peerAddress();
  const bool proxy = limits_.trustedProxies.contains(peer);
  if (open_ >= limits_.connections ||
      (!proxy && perAddress_.value(peer) >= limits_.connectionsPerAddress)) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  // The server writes an answer's head and body separately; without this the body would wait
  // for the client's delayed acknowledgement of the head, some 40 ms a page.
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  ++open_;
  if (!proxy) ++perAddress_[peer];
  connect(socket, &QObject::destroyed, this, [this, peer, proxy] {
    --open_;
    if (proxy) return;
    if (--perAddress_[peer] <= 0) perAddress_.remove(peer);
  });

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
  // Answers piling up unread: the client is not reading, so nothing more is taken from it.
  if (socket->bytesToWrite() > limits_.unreadAnswerBytes) {
    socket->abort();
    return;
  }
  // Peek, never read: what passes is left for the HTTP server to parse.
  const QByteArray chunk = socket->peek(socket->bytesAvailable());
  int heads = 0;
  for (qsizetype i = 0; i < chunk.size(); ++i) {
    if (watch.body > 0) {
      const qint64 take = std::min<qint64>(watch.body, chunk.size() - i);
      watch.body -= take;
      i += take - 1;
      if (watch.body == 0) watch.deadline->start(limits_.requestMs);
      continue;
    }
    watch.head += chunk[i];
    if (watch.head.endsWith("\r\n\r\n") || watch.head.endsWith("\n\n")) {
      watch.head.chop(watch.head.endsWith("\r\n\r\n") ? 4 : 2);
      qint64 body = 0;
      if (!acceptableHead(watch.head, limits_.journalBytes, &body)) return refuse(socket, watch);
      if (++heads > kPipelined) {
        socket->abort();
        return;
      }
      watch.head.clear();
      // An upload's body must come whole within the same time as its head.
      watch.body = body;
      if (body == 0) watch.deadline->start(limits_.requestMs);
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
