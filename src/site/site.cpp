#include "site/site.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFuture>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QPointer>
#include <QTcpSocket>
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
  response.setHeader("Content-Security-Policy", kContentSecurityPolicy);
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
  return html(
      messagePage(
          QStringLiteral("ただいま表示できません"),
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

// The game reads these answers itself; a person may too.
QHttpServerResponse plain(const QString& text, Status status = Status::Ok) {
  QHttpServerResponse response("text/plain; charset=utf-8", text.toUtf8(), status);
  secure(response);
  return response;
}

// The answer to a HEAD: a GET's, without its body.
QHttpServerResponse headOnly(const QHttpServerResponse& response) {
  QHttpServerResponse head(response.mimeType(), QByteArray(), response.statusCode());
  secure(head);
  for (const QByteArray& name :
       {QByteArrayLiteral("Location"), QByteArrayLiteral("Content-Disposition")})
    for (const QByteArray& value : response.headers(name)) head.setHeader(name, value);
  return head;
}

// The clock given, or the system's in seconds.
std::function<qint64()> clockOr(std::function<qint64()> now) {
  if (now) return now;
  return [] { return QDateTime::currentSecsSinceEpoch(); };
}

// A page, career or journal the site does not have.
QHttpServerResponse notFound(const QString& text) {
  return html(messagePage(QStringLiteral("見つかりません"), text), Status::NotFound);
}

QByteArray noPageBody() {
  return messagePage(QStringLiteral("ページが見つかりません"),
                     QStringLiteral("このアドレスにはページがありません。"));
}

QHttpServerResponse tooMany() {
  QHttpServerResponse response(
      "text/plain; charset=utf-8",
      QStringLiteral("受付が多すぎます。しばらくしてからもう一度お試し下さい。").toUtf8(),
      Status::TooManyRequests);
  response.setHeader("Retry-After", "60");
  secure(response);
  return response;
}

QHttpServerResponse journalFile(const QByteArray& journal, const QString& name) {
  QHttpServerResponse response("application/octet-stream", journal);
  response.setHeader("Content-Disposition",
                     QStringLiteral("attachment; filename=\"%1\"").arg(name).toLatin1());
  secure(response);
  return response;
}

QString proofMessage(JournalFault fault, int rules) {
  switch (fault) {
    case JournalFault::None: return {};
    case JournalFault::TooBig: return QStringLiteral("記録が大きすぎます。");
    case JournalFault::Damaged: return QStringLiteral("記録が壊れているか、途中で切れています。");
    case JournalFault::NewerFormat: return QStringLiteral("このサイトより新しいゲームの記録です。");
    case JournalFault::OtherRules:
      return QStringLiteral("ルールの版が違う記録です（記録はルール第%1版、このサイトは第%2版）。")
          .arg(rules)
          .arg(journal::kRulesVersion);
    case JournalFault::NotACareer: return QStringLiteral("ひとつのキャリアの記録ではありません。");
    case JournalFault::NoSeed:
      return QStringLiteral("サイトが発行した種で始まったキャリアの記録ではありません。");
    case JournalFault::ManySeeds: return QStringLiteral("種がいくつも入った記録です。");
    case JournalFault::Unfinished:
      return QStringLiteral("キャリアの最後（成績の送信）まで届いていない記録です。");
    case JournalFault::OtherToken:
      return QStringLiteral("この受付番号で送られたキャリアの記録ではありません。");
  }
  return {};
}

QString proofMessage(ProofFault fault) {
  switch (fault) {
    case ProofFault::None: return {};
    case ProofFault::UnknownToken: return faultMessage(QueryFault::UnknownToken);
    case ProofFault::UsedToken: return faultMessage(QueryFault::UsedToken);
    case ProofFault::ExpiredToken: return faultMessage(QueryFault::ExpiredToken);
    case ProofFault::Uploaded:
      return QStringLiteral("この受付番号の記録はもう届いています。記録は一度だけ送れます。");
    case ProofFault::UnknownSeed:
      return QStringLiteral("記録の種は、このサイトが発行したものではありません。");
    case ProofFault::UsedSeed:
      return QStringLiteral("記録の種は、別のキャリアでもう使われています。");
    case ProofFault::Unavailable: return faultMessage(QueryFault::Unavailable);
  }
  return {};
}

bool isToken(const QByteArray& text) {
  if (text.size() != kTokenLength) return false;
  for (char c : text)
    if (!std::strchr(kTokenAlphabet, c) || c == '\0') return false;
  return true;
}

// Qt's compressed form starts with the length it unpacks to: a claim over the limit is refused
// before anything is unpacked, and one that lies is caught by the unpacking.
std::optional<QByteArray> unpack(const QByteArray& body, size_t limit) {
  if (body.size() < 4) return std::nullopt;
  const quint32 claimed = (static_cast<quint32>(static_cast<uchar>(body[0])) << 24) |
                          (static_cast<quint32>(static_cast<uchar>(body[1])) << 16) |
                          (static_cast<quint32>(static_cast<uchar>(body[2])) << 8) |
                          static_cast<quint32>(static_cast<uchar>(body[3]));
  if (claimed == 0 || claimed > limit) return std::nullopt;
  QByteArray out = qUncompress(body);
  if (out.isEmpty() || static_cast<quint32>(out.size()) != claimed) return std::nullopt;
  return out;
}

// A verified career's story, as its replay told it.
std::optional<Story> storyOf(const Store& store, const Career& career) {
  if (!career.verified) return std::nullopt;
  const std::optional<Store::Told> told = store.told(career.id);
  Story story;
  if (!told || !storyFromText(told->story.toStdString(), &story)) return std::nullopt;
  return story;
}

// A journal's file name in the player's directory, as the stud book's addresses carry it.
bool isJournalName(const QString& name) {
  if (name.isEmpty() || name.size() > 120 || !name.endsWith(QStringLiteral(".mdj"))) return false;
  for (QChar c : name)
    if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') &&
        c != QLatin1Char('_') && c != QLatin1Char('.'))
      return false;
  return !name.startsWith(QLatin1Char('.'));
}

}  // namespace

Site::Site(SiteOptions options, QObject* parent)
    : QObject(parent),
      store_(options.databasePath, options.tokenLifetimeSeconds, clockOr(options.now)),
      limits_(options.limits),
      replayQueue_(std::max(1, options.replayQueue)),
      replayLimits_(options.replayLimits),
      journalDirectory_(options.journalDirectory),
      playDirectory_(options.playDirectory),
      database_(options.databasePath),
      tokenLifetime_(options.tokenLifetimeSeconds),
      now_(clockOr(std::move(options.now))),
      mintPerMinute_(std::max(1, options.mintPerMinute)) {
  sinceStart_.start();
  // Threads that mostly wait on the database: more than the cores, kept for the site's life.
  databaseWork_.setMaxThreadCount(4);
  databaseWork_.setExpiryTimeout(-1);
  replays_.setExpiryTimeout(-1);
  // Replays share the machine with the serving thread; one fewer than the cores, at least one.
  replays_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
  addRoutes();
  addJournalRoutes();
  if (!journalDirectory_.isEmpty()) addStudBookRoutes();
  addPlayRoutes();
}

Site::~Site() {
  replays_.waitForDone();
  databaseWork_.waitForDone();
}

template <typename Work>
void Site::later(QThreadPool& pool, const QHttpServerRequest& request,
                 QHttpServerResponder&& responder, Work work) {
  const bool head = request.method() == QHttpServerRequest::Method::Head;
  // The answer is written here, on the serving thread, and only while its connection lasts: a
  // client that hung up meanwhile is simply not answered.
  auto held = std::make_shared<QHttpServerResponder>(std::move(responder));
  const QPointer<QTcpSocket> socket(held->socket());
  // Named now, as the server hands the request over: the door lets its answer out in its turn,
  // after the answers to the requests sent before it on the connection.
  const quint64 turn = RequestGuard::requestInHand(held->socket());
  pool.start([this, head, socket, turn, held, work]() mutable {
    QHttpServerResponse response = work();
    if (head) response = headOnly(response);
    QMetaObject::invokeMethod(
        this,
        [socket, turn, held = std::move(held), response = std::move(response)]() mutable {
          if (socket) RequestGuard::answer(socket, turn, [&] { response.write(std::move(*held)); });
        },
        Qt::QueuedConnection);
  });
}

template <typename Work>
void Site::onDatabase(const QHttpServerRequest& request, QHttpServerResponder&& responder,
                      Work work) {
  later(databaseWork_, request, std::move(responder), [this, work] { return work(threadStore()); });
}

void Site::answerNow(const QHttpServerRequest& request, QHttpServerResponder&& responder,
                     QHttpServerResponse response) {
  if (request.method() == QHttpServerRequest::Method::Head) response = headOnly(response);
  response.write(std::move(responder));
}

bool Site::start(const QHostAddress& address, quint16 port, QString* error) {
  // Read whole before the first request: answering from memory never waits on a disk.
  QString why;
  if (!playDirectory_.isEmpty() && !play_.load(playDirectory_, &why)) {
    *error = QStringLiteral("the browser game's tree: %1").arg(why);
    return false;
  }
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

  http_.route(
      "/karuden/", [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        const QUrlQuery query(request.url());
        const qint64 page = smallNumber(query.queryItemValue(QStringLiteral("page"))).value_or(1);
        const bool studBook = !journalDirectory_.isEmpty();
        const bool playable = play_.installed();
        onDatabase(request, std::move(responder), [page, studBook, playable](Store& store) {
          store.takeFault();
          QByteArray body = topPage(store, page, studBook, playable);
          if (store.takeFault()) return unavailable();
          return html(std::move(body));
        });
      });

  http_.route(
      "/karuden/uma", [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        const QUrlQuery query(request.url());
        const std::optional<qint64> id = smallNumber(query.queryItemValue(QStringLiteral("n")));
        const bool playable = play_.installed();
        onDatabase(request, std::move(responder), [id, playable](Store& store) {
          store.takeFault();
          const std::optional<Career> career = id ? store.career(*id) : std::nullopt;
          if (store.takeFault()) return unavailable();
          if (!career) return notFound(QStringLiteral("この番号の成績は登録されていません。"));
          const std::optional<Story> story = storyOf(store, *career);
          QByteArray body = entryPage(store, *career, false, story ? &*story : nullptr, playable);
          if (store.takeFault()) return unavailable();
          return html(std::move(body));
        });
      });

  // A verified career's journal, to watch with milka-derby --replay.
  http_.route("/karuden/uma.mdj", [this](const QHttpServerRequest& request,
                                         QHttpServerResponder&& responder) {
    const QUrlQuery query(request.url());
    const std::optional<qint64> id = smallNumber(query.queryItemValue(QStringLiteral("n")));
    const size_t limit = replayLimits_.journalBytes;
    onDatabase(request, std::move(responder), [id, limit](Store& store) {
      store.takeFault();
      const std::optional<Store::Told> told = id ? store.told(*id) : std::nullopt;
      if (store.takeFault()) return unavailable();
      const std::optional<QByteArray> journal = told ? unpack(told->journal, limit) : std::nullopt;
      if (!journal) return notFound(QStringLiteral("この番号の記録はありません。"));
      return journalFile(*journal, QStringLiteral("milka-%1.mdj").arg(*id));
    });
  });

  // pdf.php's tokens and seed.php's seeds: rationed per client, and the answer exactly the
  // value, which the game puts into its query or journal as it is.
  const auto mint = [this](QByteArray (Store::*issue)()) {
    return [this, issue](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
      if (!mayMint(clientOf(request))) return answerNow(request, std::move(responder), tooMany());
      onDatabase(request, std::move(responder), [issue](Store& store) {
        const QByteArray value = (store.*issue)();
        if (value.isEmpty())
          return plain(QStringLiteral("ただいま受付できません。"), Status::ServiceUnavailable);
        return plain(QString::fromLatin1(value));
      });
    };
  };
  http_.route("/pdf.php", mint(&Store::issueToken));
  http_.route("/seed.php", mint(&Store::issueSeed));

  http_.route(
      "/vbvb55.php", [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        const ReadQuery read = readEntryQuery(rawQuery(request));
        if (!read.entry)
          return answerNow(request, std::move(responder), refusal(faultMessage(read.fault)));
        const bool playable = play_.installed();
        onDatabase(request, std::move(responder), [entry = *read.entry, playable](Store& store) {
          const Store::Entered entered = store.enter(entry);
          if (entered.fault == QueryFault::Unavailable)
            return html(
                messagePage(QStringLiteral("ただいま登録できません"), faultMessage(entered.fault)),
                Status::ServiceUnavailable);
          if (entered.fault != QueryFault::None) return refusal(faultMessage(entered.fault));
          // Stored and committed: should the page not be built now, the player still hears so.
          store.takeFault();
          const std::optional<Career> career = store.career(entered.id);
          const std::optional<Story> story = career ? storyOf(store, *career) : std::nullopt;
          QByteArray body =
              career ? entryPage(store, *career, true, story ? &*story : nullptr, playable)
                     : QByteArray();
          if (!career || store.takeFault())
            return html(messagePage(
                QStringLiteral("成績を登録しました"),
                QStringLiteral("登録番号 %1。成績のページはしばらくしてからご覧下さい。")
                    .arg(entered.id)));
          return html(std::move(body));
        });
      });

  // HEAD is answered as GET, without the body.
  http_.afterRequest([](QHttpServerResponse&& response, const QHttpServerRequest& request) {
    return request.method() == QHttpServerRequest::Method::Head ? headOnly(response)
                                                                : std::move(response);
  });

  http_.setMissingHandler([](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    const QByteArray body =
        request.method() == QHttpServerRequest::Method::Head ? QByteArray() : noPageBody();
    responder.write(body,
                    {{"Content-Type", "text/html; charset=utf-8"},
                     {"Content-Security-Policy", kContentSecurityPolicy},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"},
                     {"Cache-Control", "no-store"}},
                    Status::NotFound);
  });
}

Store& Site::threadStore() {
  // Each thread that works on the database has a connection of its own, ended with the thread
  // (the pools' threads live as long as the site).
  if (!stores_.hasLocalData()) {
    auto* own = new Store(database_, tokenLifetime_, now_);
    QString error;
    if (!own->open(&error))
      qWarning("milka-site: a connection to the database could not be made yet: %s",
               qPrintable(error));
    stores_.setLocalData(own);
  }
  return *stores_.localData();
}

QHostAddress Site::clientOf(const QHttpServerRequest& request) const {
  const QHostAddress peer = unmapped(request.remoteAddress());
  if (!limits_.trustedProxies.contains(peer)) return countedAs(peer);
  // The proxy appends the address it was reached from: the last one is the one it vouches for.
  const QByteArray forwarded = request.value("X-Forwarded-For");
  const QHostAddress client(
      QString::fromLatin1(forwarded.mid(forwarded.lastIndexOf(',') + 1).trimmed()));
  return countedAs(client.isNull() ? peer : client);
}

bool Site::mayMint(const QHostAddress& client) {
  const qint64 now = sinceStart_.elapsed();
  const double perMs = mintPerMinute_ / 60000.0;
  const auto refilled = [&](const Allowance& a) {
    return std::min<double>(mintPerMinute_, a.left + static_cast<double>(now - a.atMs) * perMs);
  };
  // Forget the clients whose allowance is whole again, before the table grows large.
  if (mints_.size() > 100'000)
    mints_.removeIf([&](auto it) { return refilled(it.value()) >= mintPerMinute_; });
  auto it = mints_.find(client);
  if (it == mints_.end()) it = mints_.insert(client, {static_cast<double>(mintPerMinute_), now});
  it->left = refilled(*it);
  it->atMs = now;
  if (it->left < 1) return false;
  it->left -= 1;
  return true;
}

void Site::addJournalRoutes() {
  // A career's journal, uploaded by the game at the closing A before it sends the entry. It is
  // replayed off this thread; what it proves waits under its token for the entry.
  http_.route(
      "/journal.php", QHttpServerRequest::Method::Post,
      [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        const auto now = [&](QHttpServerResponse r) {
          answerNow(request, std::move(responder), std::move(r));
        };
        const QByteArray token = rawQuery(request);
        if (!isToken(token))
          return now(plain(faultMessage(QueryFault::NoToken), Status::BadRequest));
        const std::optional<QByteArray> journal =
            unpack(request.body(), replayLimits_.journalBytes);
        if (!journal)
          return now(plain(QStringLiteral("記録が読めないか、大きすぎます。"), Status::BadRequest));
        if (inFlight_ >= replayQueue_)
          return now(plain(QStringLiteral("ただいま混み合っていて記録を確かめられません。"
                                          "しばらくしてからもう一度送信して下さい。"),
                           Status::ServiceUnavailable));
        ++inFlight_;
        // Replayed on a thread of the replays' pool, which keeps what it proved with a
        // connection of its own.
        later(replays_, request, std::move(responder),
              [this, journal = *journal, token, packed = request.body(), limits = replayLimits_] {
                const Proof proof = proveCareer(journal.toStdString(), token.toStdString(), limits);
                QHttpServerResponse answer =
                    plain(proofMessage(proof.fault, proof.rulesVersion), Status::BadRequest);
                if (proof.fault == JournalFault::None) {
                  const ProofFault kept =
                      threadStore().keepProof(token, QByteArray::fromStdString(proof.seed),
                                              QByteArray::fromStdString(proof.query), packed,
                                              QByteArray::fromStdString(storyText(proof.story)));
                  if (kept == ProofFault::None)
                    answer = plain(QStringLiteral("記録を確かめました。"));
                  else
                    answer = plain(proofMessage(kept), kept == ProofFault::Unavailable
                                                           ? Status::ServiceUnavailable
                                                           : Status::BadRequest);
                }
                --inFlight_;
                return answer;
              });
      });
}

std::optional<StudBookLine> Site::studBookLine(const QString& file) {
  const QMutexLocker lock(&toldLock_);
  return toldLine(file);
}

std::optional<StudBookLine> Site::toldLine(const QString& file) {
  const QFileInfo info(QDir(journalDirectory_), file);
  if (!info.isFile()) {
    told_.remove(file);
    return std::nullopt;
  }
  Told& t = told_[file];
  const qint64 modified = info.lastModified().toSecsSinceEpoch();
  if (t.size != info.size() || t.modified != modified) {
    t = {info.size(), modified, std::nullopt};
    QFile f(info.filePath());
    Story story;
    if (info.size() <= static_cast<qint64>(replayLimits_.journalBytes) &&
        f.open(QIODevice::ReadOnly) && tellCareer(f.readAll().toStdString(), &story, replayLimits_))
      t.story = std::move(story);
  }
  if (!t.story) return std::nullopt;
  return StudBookLine{file, modified, *t.story};
}

QList<StudBookLine> Site::studBook() {
  // Newest first; a directory of thousands is cut at the newest few hundred.
  constexpr int kShown = 300;
  const QFileInfoList files =
      QDir(journalDirectory_).entryInfoList({QStringLiteral("*.mdj")}, QDir::Files, QDir::Time);
  QList<StudBookLine> out;
  const QMutexLocker lock(&toldLock_);
  for (const QFileInfo& f : files) {
    if (out.size() >= kShown) break;
    if (!isJournalName(f.fileName())) continue;
    if (std::optional<StudBookLine> line = toldLine(f.fileName())) out.append(std::move(*line));
  }
  return out;
}

void Site::addStudBookRoutes() {
  // Telling a journal replays it, tens of milliseconds for a new one: done off the serving
  // thread, so the calendar and the rest go on meanwhile.
  http_.route("/karuden/mine",
              [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                later(replays_, request, std::move(responder),
                      [this] { return html(studBookPage(studBook())); });
              });
  http_.route("/karuden/mine/uma", [this](const QHttpServerRequest& request,
                                          QHttpServerResponder&& responder) {
    const QString file = QUrlQuery(request.url()).queryItemValue(QStringLiteral("f"));
    later(replays_, request, std::move(responder), [this, file] {
      const std::optional<StudBookLine> l = isJournalName(file) ? studBookLine(file) : std::nullopt;
      return l ? html(studCareerPage(*l)) : notFound(QStringLiteral("この馬の記録はありません。"));
    });
  });
  http_.route("/karuden/mine/uma.mdj", [this](const QHttpServerRequest& request) {
    const QString file = QUrlQuery(request.url()).queryItemValue(QStringLiteral("f"));
    QFile f(QDir(journalDirectory_).filePath(file));
    if (!isJournalName(file) || f.size() > static_cast<qint64>(replayLimits_.journalBytes) ||
        !f.open(QIODevice::ReadOnly))
      return notFound(QStringLiteral("この馬の記録はありません。"));
    return journalFile(f.readAll(), file);
  });
}

void Site::addPlayRoutes() {
  // The page's own addresses are relative to its folder, which the address without its slash
  // would not be: the game is sent on to the folder, with whatever it was asked to show.
  http_.route("/play", [](const QHttpServerRequest& request) {
    const QByteArray query = rawQuery(request);
    QHttpServerResponse response(Status::Found);
    response.setHeader("Location", query.isEmpty() ? QByteArray("/play/") : "/play/?" + query);
    secure(response);
    return response;
  });
  http_.route("/play/<arg>", [this](const QUrl&, const QHttpServerRequest& request,
                                    QHttpServerResponder&& responder) {
    answerPlay(request, std::move(responder));
  });
}

void Site::answerPlay(const QHttpServerRequest& request, QHttpServerResponder&& responder) {
  if (!play_.installed())
    return answerNow(
        request, std::move(responder),
        html(messagePage(QStringLiteral("ブラウザ版はありません"),
                         QStringLiteral("このサイトには、ブラウザで遊ぶミルカダービーが"
                                        "入っていません。")),
             Status::NotFound));
  // Only what the tree held at start is ever served: the path is looked up, never opened, so a
  // .., an encoded one or a dotfile simply names nothing.
  const QString path = request.url().path(QUrl::FullyDecoded);
  const QString prefix = QStringLiteral("/play/");
  const std::optional<PlayAnswer> answer =
      path.startsWith(prefix)
          ? playAnswer(play_, {path.mid(prefix.size()), request.value("Accept-Encoding"),
                               request.value("If-None-Match"), request.value("If-Modified-Since")})
          : std::nullopt;
  if (!answer)
    return answerNow(request, std::move(responder), html(noPageBody(), Status::NotFound));
  // Written head by head: a HEAD is told the length its GET would have, and a 304 has none. The
  // door frames both by their kind, as HTTP does, not by Content-Length.
  responder.writeStatusLine(static_cast<Status>(answer->status));
  for (const auto& [name, value] : answer->headers) responder.writeHeader(name, value);
  responder.writeHeader("Content-Security-Policy", kPlayContentSecurityPolicy);
  responder.writeHeader("X-Content-Type-Options", "nosniff");
  responder.writeHeader("Referrer-Policy", "no-referrer");
  if (answer->status != 304)
    responder.writeHeader("Content-Length", QByteArray::number(answer->body.size()));
  responder.writeBody(request.method() == QHttpServerRequest::Method::Head ? QByteArray()
                                                                           : answer->body);
}

QString builtPlayDirectory() {
#ifdef MILKA_PLAY_DIRECTORY
  const QString built = QStringLiteral(MILKA_PLAY_DIRECTORY);
  if (!built.isEmpty() && QFileInfo(built + QStringLiteral("/index.html")).isFile()) return built;
#endif
  return {};
}

}  // namespace milka::site
