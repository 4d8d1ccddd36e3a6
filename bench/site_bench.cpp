// The site's speed on this machine: requests per second for /karuden/ with 1,000 careers in
// the database, for one career's page, and for entries (a pdf.php token and its vbvb55.php
// entry each). The site runs in a thread of its own, as in the game; the client here is one
// keep-alive connection that sends a request and reads the whole answer before the next.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <string>

#include "site/site.h"

namespace {

using milka::site::Site;
using milka::site::SiteOptions;

constexpr int kCareers = 1000;

class SiteThread {
 public:
  SiteThread() {
    thread_.start();
    context_.moveToThread(&thread_);
    QMetaObject::invokeMethod(
        &context_,
        [this] {
          SiteOptions options;
          options.databasePath = dir_.filePath(QStringLiteral("bench.sqlite"));
          site_ = std::make_unique<Site>(options);
          QString error;
          if (!site_->start(QHostAddress::LocalHost, 0, &error)) qFatal("%s", qPrintable(error));
        },
        Qt::BlockingQueuedConnection);
  }
  ~SiteThread() {
    QMetaObject::invokeMethod(
        &context_, [this] { site_.reset(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
  }
  quint16 port() const { return site_->port(); }

 private:
  QTemporaryDir dir_;
  QThread thread_;
  QObject context_;
  std::unique_ptr<Site> site_;
};

class Client {
 public:
  explicit Client(quint16 port) {
    socket_.connectToHost(QHostAddress::LocalHost, port);
    socket_.waitForConnected(5000);
  }
  // The body of a GET of target, or empty on any failure.
  QByteArray get(const QByteArray& target) {
    socket_.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray in;
    qsizetype headEnd = -1;
    qsizetype length = -1;
    while (true) {
      if (headEnd < 0 && (headEnd = in.indexOf("\r\n\r\n")) >= 0) {
        const qsizetype at = in.toLower().indexOf("content-length:");
        length = in.mid(at + 15, in.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
      }
      if (headEnd >= 0 && in.size() >= headEnd + 4 + length) break;
      if (!socket_.waitForReadyRead(5000)) return {};
      in += socket_.readAll();
    }
    return in.mid(headEnd + 4, length);
  }

 private:
  QTcpSocket socket_;
};

QByteArray entryTarget(const QByteArray& token, int i) {
  QByteArray name = "h";
  for (int d = i; d > 0 || name.size() < 3; d /= 26) name += static_cast<char>('a' + d % 26);
  return "/vbvb55.php?" + token + name + "%3E" + QByteArray::number(60 + i % 3000) + "%3E0%3E" +
         QByteArray::number(70 + i % 900) + "%3E0%3E0%3E0%3E0%3E0%3E" +
         QByteArray::number(90 + i % 400);
}

struct Filled {
  SiteThread site;
  Client client{site.port()};
  Filled() {
    for (int i = 0; i < kCareers; ++i) client.get(entryTarget(client.get("/pdf.php"), i));
  }
};

// Filled once, on first use, and ended before the application object is gone.
std::unique_ptr<Filled> shared;

Filled& filled() {
  if (!shared) shared = std::make_unique<Filled>();
  return *shared;
}

void BM_TopPageWith1000Careers(benchmark::State& state) {
  Filled& f = filled();
  qsizetype bytes = 0;
  for (auto _ : state) {
    const QByteArray body = f.client.get("/karuden/");
    if (body.isEmpty()) state.SkipWithError("no answer");
    bytes += body.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_TopPageWith1000Careers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EntryPage(benchmark::State& state) {
  Filled& f = filled();
  for (auto _ : state)
    if (f.client.get("/karuden/uma?n=500").isEmpty()) state.SkipWithError("no answer");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EntryPage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EntryWithItsToken(benchmark::State& state) {
  Filled& f = filled();
  int i = kCareers;
  for (auto _ : state) {
    const QByteArray token = f.client.get("/pdf.php");
    if (f.client.get(entryTarget(token, i++)).isEmpty()) state.SkipWithError("no answer");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EntryWithItsToken)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  shared.reset();
  return 0;
}
