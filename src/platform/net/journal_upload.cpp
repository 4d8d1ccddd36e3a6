#include "platform/net/journal_upload.h"

#include <QTimer>
#include <QUrl>
#include <memory>
#include <utility>

#include "online/submit.h"
#include "platform/net/online_port.h"

namespace milka::platform {

namespace {

const QString kEntryPage = QStringLiteral("/vbvb55.php");
const QString kTokenPage = QStringLiteral("/pdf.php");
// The site's answer is a line of text; more than this is not read.
constexpr qsizetype kAnswerLimit = 4096;
// A reason shown on the closing screen stays short whatever the site sends.
constexpr qsizetype kReasonLength = 120;

bool pathEndsWith(const std::string& url, const QString& page) {
  return QUrl(QString::fromStdString(url)).path().endsWith(page);
}

// The site's words, as a line the note can show: valid text, no control characters, short.
QString reasonFrom(const QByteArray& body) {
  QString text = QString::fromUtf8(body);
  QString out;
  for (const QChar c : text) {
    if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
        c == QChar::ReplacementCharacter) {
      if (!out.endsWith(QLatin1Char(' '))) out += QLatin1Char(' ');
      continue;
    }
    out += c;
  }
  out = out.simplified();
  if (out.size() > kReasonLength) out = out.left(kReasonLength - 1) + QStringLiteral("…");
  return out;
}

}  // namespace

JournalUpload::JournalUpload(OnlinePort& inner, QObject* parent) : QObject(parent), inner_(inner) {
  siteBase = inner.siteBase;
}

JournalUpload::~JournalUpload() {
  *alive_ = false;
}

bool JournalUpload::isEntry(const std::string& url) {
  return pathEndsWith(url, kEntryPage);
}

void JournalUpload::fetch(const std::string& url, std::function<void(std::string)> done) {
  if (!pathEndsWith(url, kTokenPage)) {
    inner_.fetch(url, std::move(done));
    return;
  }
  inner_.fetch(url, [this, alive = alive_, done = std::move(done)](std::string text) {
    if (*alive) token_ = text;
    done(std::move(text));
  });
}

void JournalUpload::navigate(const std::string& url, std::function<void(std::string)> arrived) {
  if (!isEntry(url)) {
    inner_.navigate(url, std::move(arrived));
    return;
  }
  ++pending_;
  // From the event loop's next turn: the game asks for the entry while the answer of pdf.php is
  // still being fed, and the journal sent must hold that answer too.
  QTimer::singleShot(0, this, [this, url, arrived = std::move(arrived)]() mutable {
    upload(url, std::move(arrived));
  });
}

void JournalUpload::openUrl(const std::string& url) {
  inner_.openUrl(url);
}

std::string JournalUpload::locationUrl() const {
  return inner_.locationUrl();
}

void JournalUpload::upload(const std::string& entry, std::function<void(std::string)> arrived) {
  const Journal journal = journal_ ? journal_() : Journal{};
  Outcome outcome;
  outcome.seeded = journal.seeded;
  // A failed fetch leaves no token for the site to tie the journal to: the plain entry goes.
  if (token_.empty() || token_.size() > online::kFetchedTextLimit || journal.bytes.isEmpty()) {
    finish(outcome, entry, std::move(arrived));
    return;
  }
  // A whole career is some 70 KB of journal: read out and packed in a few milliseconds, once, far
  // inside a tick.
  const QByteArray body = qCompress(journal.bytes, 9);
  if (body.size() > kBodyLimit) {
    finish(outcome, entry, std::move(arrived));
    return;
  }
  QUrl where(QString::fromStdString(entry));
  QString path = where.path();
  path.chop(kEntryPage.size());
  where.setPath(path + QStringLiteral("/journal.php"));
  where.setFragment({});
  // Percent-encoded as the entry's query has it, so the token can never add a piece of its own.
  where.setQuery(QString::fromStdString(online::percentEncode(token_)), QUrl::StrictMode);
  post(where.toString(QUrl::FullyEncoded), body,
       [this, entry, arrived = std::move(arrived), outcome](const Outcome& answered) mutable {
         outcome.kind = answered.kind;
         outcome.reason = answered.reason;
         finish(outcome, entry, std::move(arrived));
       });
}

void JournalUpload::post(const QString& where, const QByteArray& body,
                         std::function<void(Outcome)> end) {
  // Whatever is past the limit is read and dropped, so a long answer still ends.
  requests_.post(where, body, QByteArrayLiteral("application/octet-stream"), kAnswerLimit,
                 PastTheLimit::Drop, [end = std::move(end)](const Response& response) {
                   Outcome o;
                   if (response.error == QNetworkReply::NoError && response.status == 200) {
                     o.kind = Outcome::Checked;
                   } else if (response.fromServer() && response.status == 400) {
                     o.kind = Outcome::Refused;
                     o.reason = reasonFrom(response.body).toStdString();
                   }
                   end(o);
                 });
}

void JournalUpload::finish(const Outcome& outcome, const std::string& entry,
                           std::function<void(std::string)> arrived) {
  --pending_;
  if (uploaded_) uploaded_(outcome);
  inner_.navigate(entry, std::move(arrived));
}

}  // namespace milka::platform
