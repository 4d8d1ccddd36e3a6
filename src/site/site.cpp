#include "site/site.h"

#include <QDateTime>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QUrl>
#include <QUrlQuery>
#include <utility>

#include "site/entry_query.h"
#include "site/pages.h"

namespace milka::site {

namespace {

using Status = QHttpServerResponder::StatusCode;

// Plain pages with nothing to run: no scripts, no frames, no outside requests.
void secure(QHttpServerResponse& response) {
  response.setHeader("Content-Security-Policy",
                     "default-src 'none'; style-src 'unsafe-inline'; base-uri 'none'; "
                     "form-action 'none'; frame-ancestors 'none'");
  response.setHeader("X-Content-Type-Options", "nosniff");
  response.setHeader("Referrer-Policy", "no-referrer");
  response.setHeader("Cache-Control", "no-store");
}

QHttpServerResponse html(QByteArray body, Status status = Status::Ok) {
  QHttpServerResponse response("text/html; charset=utf-8", std::move(body), status);
  secure(response);
  return response;
}

// A page whose reads the database could not answer: the person waiting is told to try again,
// never shown an empty hall of fame.
QHttpServerResponse unavailable() {
  return html(messagePage(QStringLiteral("ただいま表示できません"),
                          QStringLiteral("混み合っているか、準備中です。しばらくしてからもう一度お試し下さい。")),
              Status::ServiceUnavailable);
}

QHttpServerResponse refusal(const QString& message) {
  return html(messagePage(QStringLiteral("送信できませんでした"), message), Status::BadRequest);
}

// A whole number of at most six digits, or nothing.
std::optional<qint64> smallNumber(const QString& text) {
  if (text.isEmpty() || text.size() > 6) return std::nullopt;
  for (QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
  return text.toLongLong();
}

QByteArray rawQuery(const QHttpServerRequest& request) {
  return request.url().query(QUrl::FullyEncoded).toLatin1();
}

}  // namespace

Site::Site(SiteOptions options, QObject* parent)
    : QObject(parent),
      store_(options.databasePath, options.tokenLifetimeSeconds,
             options.now ? std::move(options.now) : std::function<qint64()>([] {
               return QDateTime::currentSecsSinceEpoch();
             })),
      limits_(options.limits) {
  addRoutes();
}

bool Site::start(const QHostAddress& address, quint16 port, QString* error) {
  if (!store_.open(error)) return false;
  auto* guard = new RequestGuard(limits_, this);
  if (!guard->listen(address, port)) {
    *error = guard->errorString();
    delete guard;
    return false;
  }
  guard_ = guard;
  http_.bind(guard_);
  address_ = address;
  port_ = guard_->serverPort();
  return true;
}

QString Site::baseUrl() const {
  QUrl url;
  url.setScheme(QStringLiteral("http"));
  url.setHost(address_.isNull() || address_ == QHostAddress::Any ||
                      address_ == QHostAddress::AnyIPv4
                  ? QStringLiteral("127.0.0.1")
                  : address_.toString());
  url.setPort(port_);
  return url.toString(QUrl::FullyEncoded);
}

void Site::addRoutes() {
  // The site's root and the address without its slash both lead to the calendar.
  const auto toCalendar = [] {
    QHttpServerResponse response(Status::Found);
    response.setHeader("Location", "/karuden/");
    secure(response);
    return response;
  };
  http_.route("/", toCalendar);
  http_.route("/karuden", toCalendar);

  http_.route("/karuden/", [this](const QHttpServerRequest& request) {
    const QUrlQuery query(request.url());
    const qint64 page = smallNumber(query.queryItemValue(QStringLiteral("page"))).value_or(1);
    store_.takeFault();
    QByteArray body = topPage(store_, page);
    if (store_.takeFault()) return unavailable();
    return html(std::move(body));
  });

  http_.route("/karuden/uma", [this](const QHttpServerRequest& request) {
    const QUrlQuery query(request.url());
    const std::optional<qint64> id = smallNumber(query.queryItemValue(QStringLiteral("n")));
    store_.takeFault();
    const std::optional<Career> career = id ? store_.career(*id) : std::nullopt;
    if (store_.takeFault()) return unavailable();
    if (!career)
      return html(messagePage(QStringLiteral("見つかりません"),
                              QStringLiteral("この番号の成績は登録されていません。")),
                  Status::NotFound);
    QByteArray body = entryPage(store_, *career, false);
    if (store_.takeFault()) return unavailable();
    return html(std::move(body));
  });

  http_.route("/pdf.php", [this] {
    const QByteArray token = store_.issueToken();
    if (token.isEmpty()) {
      QHttpServerResponse busy("text/plain; charset=utf-8",
                               QStringLiteral("ただいま受付できません。").toUtf8(),
                               Status::ServiceUnavailable);
      secure(busy);
      return busy;
    }
    // Exactly the token: the game puts the whole answer into its query as it is.
    QHttpServerResponse response("text/plain; charset=utf-8", token);
    secure(response);
    return response;
  });

  http_.route("/vbvb55.php", [this](const QHttpServerRequest& request) {
    const ReadQuery read = readEntryQuery(rawQuery(request));
    if (!read.entry) return refusal(faultMessage(read.fault));
    const Store::Entered entered = store_.enter(*read.entry);
    if (entered.fault == QueryFault::Unavailable)
      return html(
          messagePage(QStringLiteral("ただいま登録できません"), faultMessage(entered.fault)),
          Status::ServiceUnavailable);
    if (entered.fault != QueryFault::None) return refusal(faultMessage(entered.fault));
    // Stored and committed: should the page not be built now, the player still hears so.
    store_.takeFault();
    const std::optional<Career> career = store_.career(entered.id);
    QByteArray body = career ? entryPage(store_, *career, true) : QByteArray();
    if (!career || store_.takeFault())
      return html(messagePage(QStringLiteral("成績を登録しました"),
                              QStringLiteral("登録番号 %1。成績のページはしばらくしてからご覧下さい。")
                                  .arg(entered.id)));
    return html(std::move(body));
  });

  http_.setMissingHandler([](const QHttpServerRequest&, QHttpServerResponder&& responder) {
    const QByteArray body = messagePage(QStringLiteral("ページが見つかりません"),
                                        QStringLiteral("このアドレスにはページがありません。"));
    responder.write(body,
                    {{"Content-Type", "text/html; charset=utf-8"},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Cache-Control", "no-store"}},
                    Status::NotFound);
  });
}

}  // namespace milka::site
