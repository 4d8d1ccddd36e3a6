#include "platform/net/journal_upload.h"

#include <utility>

namespace milka::platform {

JournalUpload::JournalUpload(OnlinePort& inner, QObject* parent)
    : QObject(parent), entry_(inner, *this) {
  siteBase = inner.siteBase;
}

JournalUpload::~JournalUpload() = default;

void JournalUpload::setJournal(std::function<Journal()> journal) {
  entry_.setJournal([journal = std::move(journal)] {
    const Journal j = journal();
    return play::EntryUpload::Journal{j.bytes.toStdString(), j.seeded};
  });
}

void JournalUpload::fetch(const std::string& url, std::function<void(std::string)> done) {
  entry_.fetch(url, std::move(done));
}

void JournalUpload::navigate(const std::string& url, std::function<void(std::string)> arrived) {
  entry_.navigate(url, std::move(arrived));
}

void JournalUpload::openUrl(const std::string& url) {
  entry_.openUrl(url);
}

std::string JournalUpload::locationUrl() const {
  return entry_.locationUrl();
}

void JournalUpload::post(const std::string& url, std::string body, Posted done) {
  // Whatever is past the limit is read and dropped, so a long answer still ends.
  requests_.post(QString::fromStdString(url), QByteArray::fromStdString(body),
                 QByteArrayLiteral("application/octet-stream"),
                 static_cast<qint64>(play::EntryUpload::kAnswerLimit), PastTheLimit::Drop,
                 [done = std::move(done)](const Response& response) {
                   done(response.status, response.body.toStdString(), response.fromServer());
                 });
}

void JournalUpload::compress(std::string bytes, std::function<void(std::string)> done) {
  // A whole career is some 70 KB of journal: packed in a few milliseconds, once, far inside a
  // tick.
  done(qCompress(QByteArray::fromStdString(bytes), 9).toStdString());
}

}  // namespace milka::platform
