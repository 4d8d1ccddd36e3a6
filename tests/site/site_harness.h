// A site on 127.0.0.1 with its database in a fresh temporary directory and a clock the test
// turns, and a client that fetches from it over real HTTP.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <array>
#include <memory>
#include <string>

#include "online/sent_months.h"
#include "online/submit.h"
#include "site/site.h"

namespace milka::site::testing {

struct Answer {
  int status = 0;
  QByteArray body;
  QString text() const { return QString::fromUtf8(body); }
};

struct LocalSite {
  QTemporaryDir dir;
  qint64 clock = 1'800'000'000;
  std::unique_ptr<Site> site;
  QNetworkAccessManager client;

  explicit LocalSite(RequestLimits limits = {}) {
    SiteOptions options;
    options.databasePath = dir.filePath(QStringLiteral("site.sqlite"));
    options.now = [this] { return clock; };
    options.limits = limits;
    site = std::make_unique<Site>(options);
    QString error;
    if (!site->start(QHostAddress::LocalHost, 0, &error)) qFatal("site: %s", qPrintable(error));
  }

  std::string base() const { return site->baseUrl().toStdString(); }
  qint64 stored() const { return site->store().careerCount(); }

  // Sends request and waits for the answer, the address taken exactly as written.
  Answer send(const QByteArray& url, const QByteArray& postBody = {}, bool post = false) {
    QNetworkRequest request(QUrl::fromEncoded(url));
    request.setTransferTimeout(10000);
    if (post) request.setHeader(QNetworkRequest::ContentTypeHeader, "text/plain");
    QNetworkReply* reply = post ? client.post(request, postBody) : client.get(request);
    if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 15000)) reply->abort();
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                  reply->readAll()};
    reply->deleteLater();
    return answer;
  }
  Answer get(const std::string& url) { return send(QByteArray::fromStdString(url)); }
  Answer path(const char* p) { return get(base() + p); }

  std::string token() { return path("/pdf.php").body.toStdString(); }

  // The address the game itself builds for the closing A.
  std::string entryUrl(const std::string& token, const std::string& name,
                       const std::array<int32_t, 9>& sent) const {
    Family<int32_t, 12> times{};
    for (size_t i = 0; i < online::kSentMonths.size(); ++i)
      times[static_cast<size_t>(online::kSentMonths[i])] = sent[i];
    return online::queryUrl(base(), token, name, times);
  }
};

}  // namespace milka::site::testing
