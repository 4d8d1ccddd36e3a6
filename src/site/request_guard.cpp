#include "site/request_guard.h"

#include <QList>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <map>
#include <set>
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
// client has sent since it connected; requests count from 1 in the order the client sent them.
class RequestGuard::Connection final : public QTcpSocket {
 public:
  explicit Connection(RequestGuard* guard);

  // Before the server reads what came in.
  void inspect();
  // After the server has read what it takes: one request at a time, the rest left for later.
  void afterServer();
  // How many requests the server has read: the last of them is the one it is handing over.
  quint64 inHand();
  void setAnswering(quint64 request) { answering_ = request; }
  quint64 answering() const { return answering_; }

 protected:
  qint64 writeData(const char* data, qint64 size) override;

 private:
  // One request's answer, held until its turn and framed by its Content-Length.
  struct Outgoing {
    QByteArray head;   // until whole
    qint64 body = -1;  // bytes of body still to come, once the head is whole
    QByteArray held;   // what waits for its turn
    bool whole = false;
    bool unframed = false;  // no end to be seen: it ends the door's framing
  };

  void refuse();
  quint64 answerTo();
  void take(Outgoing& out, quint64 request, const char* data, qint64 size);
  void release();
  void answered(quint64 request);

  RequestGuard* guard_;
  QTimer* deadline_;
  QByteArray head_;  // the head being received, up to the limit
  qint64 body_ = 0;  // bytes of an upload's body still to come
  qint64 received_ = 0, scanned_ = 0, read_ = 0;
  quint64 requests_ = 0;
  std::set<quint64> heads_;  // the requests not yet answered that are HEADs
  std::deque<qint64> ends_;  // where each request the server has not read yet ends
  quint64 handed_ = 0;       // requests the server has read
  bool serving_ = false;     // the server is reading, and handing over what it read
  quint64 lastRequest_ = 0;  // the one that ends the connection; 0 while none has
  qint64 lastEnds_ = -1;     // where it ends
  bool refusing_ = false;
  bool dropping_ = false;  // the last request is the server's: anything after it is thrown away
  qint64 drained_ = 0;
  quint64 answering_ = 0;  // the request answer() writes for
  quint64 next_ = 1;       // the request whose answer goes out now
  std::map<quint64, Outgoing> outgoing_;
  qint64 held_ = 0;        // bytes in outgoing_
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
  serving_ = true;
  const qint64 available = bytesAvailable();
  received_ = read_ + available;
  if (refusing_ || dropping_) {
    drained_ += skip(available);
    if (drained_ > kDrainBytes) abort();
    return;
  }
  // Answers piling up unread, or held behind a slow one: the client is not reading them, or asks
  // for more than it waits for, so nothing more is taken from it.
  if (bytesToWrite() + held_ > guard_->limits_.unreadAnswerBytes) {
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
      if (head_.startsWith("HEAD ")) heads_.insert(requests_);
      ends_.push_back(scanned_ + body);
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
  serving_ = false;
  read_ = received_ - bytesAvailable();
  if (dropping_ || lastEnds_ < 0 || read_ < lastEnds_) return;
  dropping_ = true;
  drained_ = skip(bytesAvailable());
  read_ = received_;
}

quint64 RequestGuard::Connection::inHand() {
  // The server reads a request whole before handing it over, and the next one not before that.
  const qint64 read = received_ - bytesAvailable();
  while (!ends_.empty() && ends_.front() <= read) {
    ends_.pop_front();
    ++handed_;
  }
  return handed_;
}

void RequestGuard::Connection::refuse() {
  ++guard_->refused_;
  // What the server has read is answered first; the requests that came with the refused one are
  // never read, and the refusal is the answer after those it has.
  lastRequest_ = inHand() + 1;
  ends_.clear();
  refusing_ = true;
  head_.clear();
  drained_ = skip(bytesAvailable());
  deadline_->stop();
  const quint64 outer = std::exchange(answering_, lastRequest_);
  write(refusalResponse());
  answering_ = outer;
}

quint64 RequestGuard::Connection::answerTo() {
  if (answering_ > 0) return answering_;
  const quint64 handed = inHand();
  if (serving_) return handed;
  // Written later without naming its request: taken as the earliest still unanswered, which is
  // right whenever only one answer is awaited.
  for (quint64 request = next_; request <= handed; ++request)
    if (!outgoing_.contains(request)) return request;
  return 0;
}

qint64 RequestGuard::Connection::writeData(const char* data, qint64 size) {
  // After the last answer (or the door's refusal) the server may still answer something, such as
  // a request it had read before; the client is told nothing more.
  if (finished_) return size;
  if (unframed_) return QTcpSocket::writeData(data, size);
  // A request not read, or answered already: a second answer would be read as the next one's.
  const quint64 request = answerTo();
  if (request < next_) return size;
  Outgoing& out = outgoing_[request];
  if (!out.whole) take(out, request, data, size);
  release();
  return size;
}

void RequestGuard::Connection::take(Outgoing& out, quint64 request, const char* data, qint64 size) {
  const auto hold = [&](QByteArray bytes) {
    held_ += bytes.size();
    out.held += bytes;
  };
  qint64 at = 0;
  while (at < size && !out.whole) {
    if (out.unframed) {
      hold(QByteArray(data + at, size - at));
      return;
    }
    if (out.body > 0) {
      const qint64 part = std::min(out.body, size - at);
      hold(QByteArray(data + at, part));
      out.body -= part;
      at += part;
      out.whole = out.body == 0;
      continue;
    }
    // The head is held until whole, so that the last answer can say it is.
    out.head += data[at++];
    if (!out.head.endsWith("\r\n\r\n") && out.head.size() <= kAnswerHeadBytes) continue;
    QByteArray head = std::exchange(out.head, {});
    const qint64 length =
        head.endsWith("\r\n\r\n") ? answerBodyLength(head, heads_.erase(request) > 0) : -1;
    // Nothing of its end to be seen: the connection ends when idle, as it always could.
    out.unframed = length < 0;
    if (!out.unframed && lastRequest_ > 0 && request >= lastRequest_ &&
        !saysConnection(head, "close"))
      head.insert(head.size() - 2, "Connection: close\r\n");
    hold(std::move(head));
    out.body = length;
    out.whole = length == 0;
  }
}

void RequestGuard::Connection::release() {
  while (!finished_) {
    const auto it = outgoing_.find(next_);
    if (it == outgoing_.end()) return;
    Outgoing& out = it->second;
    held_ -= out.held.size();
    if (QTcpSocket::writeData(out.held.constData(), out.held.size()) < 0) finished_ = true;
    out.held.clear();
    if (out.unframed) {
      // Where it ends is unknown, so nothing can wait for it: whatever else is held goes after
      // it, and all else passes as it comes.
      unframed_ = true;
      for (const auto& [request, later] : outgoing_)
        if (!later.held.isEmpty()) QTcpSocket::writeData(later.held.constData(), later.held.size());
      outgoing_.clear();
      held_ = 0;
      return;
    }
    if (!out.whole) return;
    outgoing_.erase(it);
    answered(next_++);
  }
}

void RequestGuard::Connection::answered(quint64 request) {
  if (lastRequest_ == 0 || request < lastRequest_) return;
  finished_ = true;
  outgoing_.clear();
  held_ = 0;
  // A refused client may still be sending; lingering lets it read the 400 instead of a reset.
  // disconnectFromHost waits for the answer to go out; called from the event loop, not from
  // within the server's write.
  if (refusing_)
    QTimer::singleShot(kLingerMs, this, [this] { disconnectFromHost(); });
  else
    QMetaObject::invokeMethod(
        this, [this] { disconnectFromHost(); }, Qt::QueuedConnection);
}

quint64 RequestGuard::requestInHand(QTcpSocket* socket) {
  auto* connection = dynamic_cast<Connection*>(socket);
  return connection ? connection->inHand() : 0;
}

void RequestGuard::answer(QTcpSocket* socket, quint64 request, const std::function<void()>& write) {
  auto* connection = dynamic_cast<Connection*>(socket);
  if (!connection || request == 0) return write();
  const quint64 outer = connection->answering();
  connection->setAnswering(request);
  write();
  connection->setAnswering(outer);
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
