// A small HTTP server on 127.0.0.1 for the network tests, and a game on its career-over
// screen wired to the real Qt port pointed at it.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/net/online_port.h"
#include "scripted_random.h"
#include "shell/game.h"

namespace milka::platform {

enum class Answer { Whole, Never, Trickle };

// Records every request line (and the body of one that sends a body, once all of it is in);
// answers with the status and body set for the path (200 and "ok" unless set) or a redirect,
// never at all, or one byte at a time, slowly enough to keep the line open. Per path, an answer
// can come late or stop short of the length it promised.
class TestServer {
 public:
  explicit TestServer(Answer answer = Answer::Whole) : answer_(answer) {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) serve(socket);
    });
  }

  std::string base() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }
  QByteArray hostHeader() const { return "127.0.0.1:" + QByteArray::number(server_.serverPort()); }

  QHash<QByteArray, QByteArray> bodies;     // path → body
  QHash<QByteArray, QByteArray> redirects;  // path → Location
  QHash<QByteArray, int> delays;            // path → milliseconds before the answer
  QHash<QByteArray, qsizetype> cuts;        // path → bytes of the body sent before hanging up
  QHash<QByteArray, int> statuses;          // path → the answer's status, 200 unless set
  QHash<QByteArray, int> hits;              // path → requests received
  std::vector<QByteArray> requestLines;
  std::vector<QByteArray> hosts;
  std::vector<QByteArray> requestBodies;  // one for each request line, empty without a body
  std::vector<QByteArray> contentTypes;   // likewise, the Content-Type each request named

 private:
  void serve(QTcpSocket* socket) {
    auto received = std::make_shared<QByteArray>();
    auto handled = std::make_shared<bool>(false);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received, handled] {
      received->append(socket->readAll());
      const qsizetype end = received->indexOf("\r\n\r\n");
      if (*handled || end < 0) return;
      const QList<QByteArray> lines = received->left(end).split('\n');
      qsizetype length = 0;
      QByteArray type;
      for (const QByteArray& line : lines) {
        const QByteArray lower = line.toLower();
        if (lower.startsWith("content-length:")) length = line.mid(15).trimmed().toLongLong();
        if (lower.startsWith("content-type:")) type = line.mid(13).trimmed();
      }
      // A request with a body is answered once the whole body is in.
      if (received->size() - (end + 4) < length) return;
      *handled = true;
      requestLines.push_back(lines.value(0).trimmed());
      requestBodies.push_back(received->mid(end + 4, length));
      contentTypes.push_back(type);
      for (const QByteArray& line : lines)
        if (line.toLower().startsWith("host:")) hosts.push_back(line.mid(5).trimmed());
      if (answer_ == Answer::Never) return;
      if (answer_ == Answer::Trickle) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        auto* drip = new QTimer(socket);
        QObject::connect(drip, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        drip->start(50);
        return;
      }
      const QByteArray path = requestLines.back().split(' ').value(1).split('?').value(0);
      ++hits[path];
      QByteArray head;
      QByteArray body;
      if (redirects.contains(path)) {
        head = "HTTP/1.1 302 Found\r\nLocation: " + redirects.value(path) + "\r\n";
      } else {
        const int status = statuses.value(path, 200);
        head = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Not OK") +
               "\r\nContent-Type: text/plain\r\n";
        body = bodies.value(path, "ok");
      }
      const QByteArray whole = head + "Content-Length: " + QByteArray::number(body.size()) +
                               "\r\nConnection: close\r\n\r\n";
      // A body cut short: the promised length, part of it, and the line dropped.
      const qsizetype sent = cuts.contains(path) ? cuts.value(path) : body.size();
      const QByteArray out = whole + body.left(sent);
      auto answer = [socket, out] {
        socket->write(out);
        socket->disconnectFromHost();
      };
      if (delays.contains(path))
        QTimer::singleShot(delays.value(path), socket, answer);
      else
        answer();
    });
  }

  Answer answer_;
  QTcpServer server_;
};

// The career-over screen of abc, whose only top-race win was month 6's in 97 seconds, with the
// real port pointed at the test's server and a short time limit.
struct Finished {
  testing::ScriptedRandom random;
  QtOnlinePort port;
  Game game{random, &port};
  int ticks = 0;
  QTimer ticker;

  explicit Finished(const std::string& base) {
    port.siteBase = base;
    port.setTimeLimit(std::chrono::milliseconds(300));
    game.Form_Load();
    GameState& s = game.state;
    s.screenState = screen::kCareerOver;
    s.horseName = "abc";
    s.bigRaceWon[6] = 1;
    s.bigRaceTime[6] = 97;
    s.sendEnabled = 1;
    game.Timer2_Timer();
    // The game's own timers, quicker: they must keep ticking whatever the network does.
    QObject::connect(&ticker, &QTimer::timeout, [this] {
      ++ticks;
      game.Timer1_Timer();
      game.Timer2_Timer();
    });
    ticker.start(10);
  }
  void pressA() {
    game.state.buttonTicks = 3;
    game.Command1_Click();
  }
  bool settle() {
    return QTest::qWaitFor([this] { return port.pending() == 0; }, 5000);
  }
};

}  // namespace milka::platform
