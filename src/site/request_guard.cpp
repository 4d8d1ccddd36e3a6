#include "site/request_guard.h"

#include <QList>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <utility>

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
// An answer's head is held until whole, so that the last one can say it is; the server's are a
// few hundred bytes.
constexpr qsizetype kAnswerHeadBytes = 64 * 1024;

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

// Whether a head (a request's or an answer's) names option among its Connection header's
// comma-separated, case-blind options.
bool saysConnection(const QByteArray& head, const QByteArray& option) {
  const QList<QByteArray> lines = head.split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed().toLower();
    if (!line.startsWith("connection:")) continue;
    for (const QByteArray& named : line.mid(11).split(','))
      if (named.trimmed() == option) return true;
  }
  return false;
}

// HTTP/1.1 keeps a connection for more requests unless told to close it; HTTP/1.0 closes it
// after one answer unless asked to keep it.
bool endsConnection(const QByteArray& head) {
  if (saysConnection(head, "close")) return true;
  return head.split('\n').front().trimmed().endsWith(" HTTP/1.0") &&
         !saysConnection(head, "keep-alive");
}

// The length of the body after an answer's head, or -1 when the head frames it otherwise. An
// answer to a HEAD, and a 204 or 304, end with their head whatever length they state.
qint64 answerBodyLength(const QByteArray& head, bool toHead) {
  const QByteArray status = head.mid(9, 3);
  if (toHead || status == "204" || status == "304") return 0;
  qint64 length = -1;
  for (const QByteArray& raw : head.split('\n')) {
    const QByteArray line = raw.trimmed().toLower();
    if (line.startsWith("transfer-encoding:")) return -1;
    if (!line.startsWith("content-length:")) continue;
    bool ok = false;
    length = line.mid(15).trimmed().toLongLong(&ok);
    if (!ok || length < 0) return -1;
  }
  return length;
}

}  // namespace

// A client's connection as the door sees it: every byte the client sends is looked at before the
// HTTP server reads it, and every answer passes here on its way out. Offsets count the bytes the
// client has sent since it connected.
class RequestGuard::Connection final : public QTcpSocket {
 public:
  explicit Connection(RequestGuard* guard);

  // Before the server reads what came in.
  void inspect();
  // After the server has read what it takes: one request at a time, the rest left for later.
  void afterServer();

 protected:
  qint64 writeData(const char* data, qint64 size) override;

 private:
  void refuse();
  bool passAnswerHead();
  void answerDone();

  RequestGuard* guard_;
  QTimer* deadline_;
  QByteArray head_;  // the head being received, up to the limit
  qint64 body_ = 0;  // bytes of an upload's body still to come
  qint64 received_ = 0, scanned_ = 0, read_ = 0;
  int requests_ = 0;
  QList<bool> heads_;     // for each request not yet answered, whether it is a HEAD
  int lastRequest_ = 0;   // the one that ends the connection, counting from 1; 0 while none has
  qint64 lastEnds_ = -1;  // where it ends
  bool refusing_ = false;
  bool dropping_ = false;  // the last request is the server's: anything after it is thrown away
  qint64 drained_ = 0;
  QByteArray answerHead_;  // the answer's head being written, held until whole
  qint64 answerBody_ = 0;  // bytes of its body still to go out
  int answered_ = 0;
  bool unframed_ = false;  // an answer the door cannot frame: all passes as it is from then on
  bool finished_ = false;  // the last answer is out; nothing more is written
};

RequestGuard::Connection::Connection(RequestGuard* guard)
    : QTcpSocket(guard), guard_(guard), deadline_(new QTimer(this)) {
  deadline_->setSingleShot(true);
  connect(deadline_, &QTimer::timeout, this, [this] { abort(); });
  deadline_->start(guard_->limits_.requestMs);
  // A whole request stops the clock: answering it may take a while (a replay, a database that is
  // slow). The next request's time starts once the answer goes out.
  connect(this, &QTcpSocket::bytesWritten, deadline_, [this] {
    if (!refusing_) deadline_->start(guard_->limits_.requestMs);
  });
}

void RequestGuard::Connection::inspect() {
  const qint64 available = bytesAvailable();
  received_ = read_ + available;
  if (refusing_ || dropping_) {
    drained_ += skip(available);
    if (drained_ > kDrainBytes) abort();
    return;
  }
  // Answers piling up unread: the client is not reading, so nothing more is taken from it.
  if (bytesToWrite() > guard_->limits_.unreadAnswerBytes) {
    abort();
    return;
  }
  // Peek, never read: what passes is left for the HTTP server to parse. What the server left
  // unread was looked at before; nothing after the last request is looked at, as it is never
  // served.
  const QByteArray chunk = peek(available);
  int heads = 0;
  qsizetype i = std::max<qint64>(0, scanned_ - read_);
  while (i < chunk.size() && (lastEnds_ < 0 || scanned_ < lastEnds_)) {
    if (body_ > 0) {
      const qint64 take = std::min<qint64>(body_, chunk.size() - i);
      body_ -= take;
      i += take;
      scanned_ += take;
      if (body_ == 0) deadline_->stop();
      continue;
    }
    head_ += chunk[i++];
    ++scanned_;
    if (head_.endsWith("\r\n\r\n") || head_.endsWith("\n\n")) {
      head_.chop(head_.endsWith("\r\n\r\n") ? 4 : 2);
      qint64 body = 0;
      if (!acceptableHead(head_, guard_->limits_.journalBytes, &body)) return refuse();
      if (++heads > kPipelined) {
        abort();
        return;
      }
      ++requests_;
      heads_.append(head_.startsWith("HEAD "));
      if (endsConnection(head_)) {
        lastRequest_ = requests_;
        lastEnds_ = scanned_ + body;
      }
      head_.clear();
      // An upload's body must come whole within the same time as its head.
      body_ = body;
      if (body == 0) deadline_->stop();
    } else if (head_.size() > guard_->limits_.headBytes) {
      return refuse();
    }
  }
}

void RequestGuard::Connection::afterServer() {
  read_ = received_ - bytesAvailable();
  if (dropping_ || lastEnds_ < 0 || read_ < lastEnds_) return;
  dropping_ = true;
  drained_ = skip(bytesAvailable());
  read_ = received_;
}

void RequestGuard::Connection::refuse() {
  ++guard_->refused_;
  refusing_ = true;
  head_.clear();
  drained_ = skip(bytesAvailable());
  write(refusalResponse());
  finished_ = true;
  deadline_->stop();
  QTimer::singleShot(kLingerMs, this, [this] { disconnectFromHost(); });
}

qint64 RequestGuard::Connection::writeData(const char* data, qint64 size) {
  // After the last answer (or the door's refusal) the server may still answer something, such as
  // a request it had read before; the client is told nothing more.
  if (finished_) return size;
  if (refusing_ || unframed_) return QTcpSocket::writeData(data, size);
  qint64 at = 0;
  while (at < size && !finished_) {
    if (answerBody_ > 0) {
      const qint64 take = std::min(answerBody_, size - at);
      if (QTcpSocket::writeData(data + at, take) < 0) return -1;
      answerBody_ -= take;
      at += take;
      if (answerBody_ == 0) answerDone();
      continue;
    }
    answerHead_ += data[at++];
    if (!answerHead_.endsWith("\r\n\r\n") && answerHead_.size() <= kAnswerHeadBytes) continue;
    if (!passAnswerHead()) return -1;
    if (unframed_ && QTcpSocket::writeData(data + at, size - at) < 0) return -1;
    if (unframed_) return size;
  }
  return size;
}

bool RequestGuard::Connection::passAnswerHead() {
  const QByteArray head = std::exchange(answerHead_, {});
  const bool toHead = !heads_.isEmpty() && heads_.takeFirst();
  const qint64 length = head.endsWith("\r\n\r\n") ? answerBodyLength(head, toHead) : -1;
  if (length < 0) {
    // Nothing of its end to be seen: the connection ends when idle, as it always could.
    unframed_ = true;
    return QTcpSocket::writeData(head.constData(), head.size()) >= 0;
  }
  QByteArray out = head;
  if (lastRequest_ > 0 && answered_ + 1 >= lastRequest_ && !saysConnection(head, "close"))
    out.insert(out.size() - 2, "Connection: close\r\n");
  if (QTcpSocket::writeData(out.constData(), out.size()) < 0) return false;
  answerBody_ = length;
  if (length == 0) answerDone();
  return true;
}

void RequestGuard::Connection::answerDone() {
  ++answered_;
  if (lastRequest_ == 0 || answered_ < lastRequest_) return;
  finished_ = true;
  // disconnectFromHost waits for the answer to go out; called from the event loop, not from
  // within the server's write.
  QMetaObject::invokeMethod(
      this, [this] { disconnectFromHost(); }, Qt::QueuedConnection);
}

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
  auto* socket = new Connection(this);
  if (!socket->setSocketDescriptor(handle)) {
    delete socket;
    return;
  }
  const QHostAddress peer = unmapped(socket->peerAddress());
  const QHostAddress client = countedAs(peer);
  const bool proxy = limits_.trustedProxies.contains(peer);
  if (open_ >= limits_.connections ||
      (!proxy && perAddress_.value(client) >= limits_.connectionsPerAddress)) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  // The server writes an answer's head and body separately; without this the body would wait
  // for the client's delayed acknowledgement of the head, some 40 ms a page.
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  ++open_;
  if (!proxy) ++perAddress_[client];
  connect(socket, &QObject::destroyed, this, [this, client, proxy] {
    --open_;
    if (proxy) return;
    if (--perAddress_[client] <= 0) perAddress_.remove(client);
  });

  // Connected before the HTTP server's own handler, so it sees every byte first.
  connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->inspect(); });
  addPendingConnection(socket);
  // The server took the connection as it was added and has its handler connected by now: this
  // one runs after it has read.
  connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->afterServer(); });
}

QHostAddress unmapped(const QHostAddress& address) {
  bool v4 = false;
  const quint32 ip4 = address.toIPv4Address(&v4);
  return v4 ? QHostAddress(ip4) : address;
}

QHostAddress countedAs(const QHostAddress& address) {
  const QHostAddress plain = unmapped(address);
  if (plain.protocol() != QAbstractSocket::IPv6Protocol) return plain;
  Q_IPV6ADDR bytes = plain.toIPv6Address();
  std::fill(bytes.c + 8, bytes.c + 16, quint8{0});
  return QHostAddress(bytes);
}

}  // namespace milka::site
