// The one way the game's network clients ask anything of a server: in the background, within a
// time limit in all (a transfer timeout only counts silence, so a server that trickles is bounded
// here), reading at most a cap of the answer; and when the client goes, whatever is still running
// ends without telling anyone.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

namespace milka::platform {

// What to do with an answer longer than a reader takes.
enum class PastTheLimit {
  Abort,  // end the request: a longer answer counts for nothing
  Drop,   // keep the first bytes and let the rest go by, so the answer still ends
};

struct Response {
  QNetworkReply::NetworkError error = QNetworkReply::NoError;
  int status = 0;     // the HTTP status, 0 without one
  QByteArray body;    // at most the cap
  bool over = false;  // the answer ran past the cap
  QString where;      // where the request ended up, after redirects

  // An answer that came back whole, with no network error and within the cap.
  bool whole() const;
  // Any answer of the server itself, whatever its status: not a network error, a proxy's, or the
  // time limit (cancelled).
  bool fromServer() const;
};

class Requests final : public QObject {
 public:
  explicit Requests(std::chrono::milliseconds limit, QObject* parent = nullptr);
  ~Requests() override;

  using Done = std::function<void(const Response&)>;
  void get(const QString& url, qint64 cap, PastTheLimit past, Done done);
  // A body, never redirected: a redirect would drop it, and another site has no business with it.
  void post(const QString& url, const QByteArray& body, const QByteArray& contentType, qint64 cap,
            PastTheLimit past, Done done);

  void setTimeLimit(std::chrono::milliseconds limit) { limit_ = limit; }
  // Requests started and not yet ended.
  int pending() const { return pending_; }

 private:
  void run(QNetworkReply* reply, qint64 cap, PastTheLimit past, Done done);

  QNetworkAccessManager manager_;
  std::chrono::milliseconds limit_;
  int pending_ = 0;
};

}  // namespace milka::platform
