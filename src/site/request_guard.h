// The door in front of the HTTP server. Every request head is looked at here before Qt HTTP
// Server parses it: a head over the size limit, a method other than GET or HEAD, a request
// with a body or a request line that is not plain HTTP/1.x is answered with a 400 page here and
// its connection closed, so the server behind only ever sees small GETs — and the one kind of
// body the site takes: a career's journal POSTed to /journal.php, of a stated length within
// its limit, neither chunked nor encoded, all of it within the request's time. Connections are
// capped in number and each request must arrive within a time limit, so slow or idle clients cannot
// hold the site. A request that ends its connection (HTTP/1.0 without keep-alive, or one saying
// Connection: close) is the connection's last: its answer says so and the connection closes once
// it is out, and whatever the client sent after it is never served. Every answer passes the door
// on its way out for that, each framed as HTTP frames it (by its Content-Length, and with no body
// after a HEAD's answer, a 204 or a 304), and leaves in its request's turn.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <functional>

class QTcpSocket;

namespace milka::site {

struct RequestLimits {
  qsizetype headBytes = 8 * 1024;  // request line and headers together
  int requestMs = 15000;           // to send a whole request head, or to stay idle between two
  int connections = 256;
  int connectionsPerAddress = 32;
  qint64 journalBytes = 256 * 1024;  // an uploaded journal, compressed
  // Answers waiting on one connection for a client that is not reading them.
  qint64 unreadAnswerBytes = 1024 * 1024;
  // Reverse proxies: their connections count for no one client, and their X-Forwarded-For is
  // believed.
  QList<QHostAddress> trustedProxies;
};

class RequestGuard final : public QTcpServer {
 public:
  explicit RequestGuard(RequestLimits limits, QObject* parent = nullptr);

  // How many requests were turned away here (tests and the log read it).
  int refused() const { return refused_; }

  // HTTP/1.1 has a connection's answers leave in the order of its requests, while the site answers
  // some at once and some later from a thread pool: the door numbers each request as the server
  // reads it and holds back an answer until those to every earlier request are out. An answer
  // written while the server hands its request to the site is that request's; one written later
  // names its request: requestInHand() when the request is handed over, then answer() to write.

  // The request the server is handing to the site on socket now, by its place among the
  // connection's requests (from 1); 0 on a socket that is not the door's.
  static quint64 requestInHand(QTcpSocket* socket);
  // Runs write, whose writes on socket are the answer to request.
  static void answer(QTcpSocket* socket, quint64 request, const std::function<void()>& write);

 protected:
  void incomingConnection(qintptr handle) override;

 private:
  class Connection;

  RequestLimits limits_;
  int open_ = 0;
  int refused_ = 0;
  QHash<QHostAddress, int> perAddress_;  // by countedAs
};

// An IPv4 address an IPv6 socket shows IPv4-mapped as the IPv4 address it is; any other as it is.
QHostAddress unmapped(const QHostAddress& address);

// The client an address counts as, for the limits per client: an IPv4 address as itself, an IPv6
// address as its /64, which one subscriber commonly holds whole and could otherwise draw on as
// thousands of clients.
QHostAddress countedAs(const QHostAddress& address);

// Whether a complete request head (without its final blank line) is one the site serves: a GET
// (or HEAD) of an origin-form target over HTTP/1.0 or 1.1, without a body, or a journal's POST to
// /journal.php with a Content-Length of 1 to bodyLimit. How many bytes of body follow goes to
// *body.
bool acceptableHead(const QByteArray& head, qint64 bodyLimit = 0, qint64* body = nullptr);

}  // namespace milka::site
