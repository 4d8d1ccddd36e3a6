#include "site/play_tree.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace milka::site {

namespace {

const char kHttpDate[] = "ddd, dd MMM yyyy hh:mm:ss 'GMT'";

QByteArray httpDate(qint64 secs) {
  return QLocale::c()
      .toString(QDateTime::fromSecsSinceEpoch(secs, Qt::UTC), QString::fromLatin1(kHttpDate))
      .toLatin1();
}

// An HTTP date as the site writes them (browsers send back what they were given); nullopt for
// any other text.
std::optional<qint64> fromHttpDate(const QByteArray& text) {
  const QDateTime read =
      QLocale::c().toDateTime(QString::fromLatin1(text.trimmed()), QString::fromLatin1(kHttpDate));
  if (!read.isValid()) return std::nullopt;
  return QDateTime(read.date(), read.time(), Qt::UTC).toSecsSinceEpoch();
}

QByteArray entityTag(const QByteArray& body, const char* variant) {
  return '"' + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex().left(24) +
         variant + '"';
}

// If-None-Match names the tag we would send: "*", or one of a list, weak or strong alike (a
// GET may compare weakly).
bool tagMatches(const QByteArray& ifNoneMatch, const QByteArray& tag) {
  for (QByteArray named : ifNoneMatch.split(',')) {
    named = named.trimmed();
    if (named.startsWith("W/")) named = named.mid(2);
    if (named == "*" || named == tag) return true;
  }
  return false;
}

bool notModified(const PlayFile& f, const QByteArray& tag, const PlayRequest& r) {
  // A client that sends both is judged by the tag alone, the finer of the two.
  if (!r.ifNoneMatch.isEmpty()) return tagMatches(r.ifNoneMatch, tag);
  if (r.ifModifiedSince.isEmpty()) return false;
  const std::optional<qint64> since = fromHttpDate(r.ifModifiedSince);
  return since && f.modifiedAt <= *since;
}

}  // namespace

bool isHashedName(const QString& fileName) {
  static const QRegularExpression hashed(QStringLiteral("^[^/]+\\.[0-9a-f]{12}\\.[A-Za-z0-9]+$"));
  return hashed.match(fileName.section(QLatin1Char('/'), -1)).hasMatch();
}

QByteArray playContentType(const QString& fileName) {
  static const QHash<QString, QByteArray> kTypes = {
      {QStringLiteral("html"), "text/html; charset=utf-8"},
      {QStringLiteral("js"), "text/javascript; charset=utf-8"},
      {QStringLiteral("mjs"), "text/javascript; charset=utf-8"},
      {QStringLiteral("css"), "text/css; charset=utf-8"},
      {QStringLiteral("wasm"), "application/wasm"},
      {QStringLiteral("json"), "application/json"},
      {QStringLiteral("map"), "application/json"},
      {QStringLiteral("webmanifest"), "application/manifest+json"},
      {QStringLiteral("png"), "image/png"},
      {QStringLiteral("svg"), "image/svg+xml"},
      {QStringLiteral("ico"), "image/vnd.microsoft.icon"},
      {QStringLiteral("txt"), "text/plain; charset=utf-8"},
  };
  const QString name = fileName.section(QLatin1Char('/'), -1);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QByteArray("application/octet-stream")
                 : kTypes.value(name.mid(dot + 1).toLower(), "application/octet-stream");
}

bool acceptsGzip(const QByteArray& acceptEncoding) {
  std::optional<bool> gzip, any;
  for (const QByteArray& item : acceptEncoding.split(',')) {
    const QList<QByteArray> parts = item.split(';');
    const QByteArray coding = parts.front().trimmed().toLower();
    double q = 1;
    for (qsizetype i = 1; i < parts.size(); ++i) {
      const QByteArray p = parts[i].trimmed().toLower();
      bool ok = false;
      if (p.startsWith("q=")) q = p.mid(2).toDouble(&ok);
      if (p.startsWith("q=") && !ok) q = 0;
    }
    if (coding == "gzip" || coding == "x-gzip") gzip = q > 0;
    if (coding == "*") any = q > 0;
  }
  return gzip.value_or(any.value_or(false));
}

bool PlayTree::load(const QString& dir, QString* error, const PlayLimits& limits) {
  files_.clear();
  const QFileInfo rootInfo(dir);
  const QString root = rootInfo.canonicalFilePath();
  if (root.isEmpty() || !rootInfo.isDir()) {
    *error = QStringLiteral("%1 is not a directory").arg(dir);
    return false;
  }
  QHash<QString, PlayFile> files;
  QHash<QString, QByteArray> twins;
  qint64 bytes = 0;
  int count = 0;
  // Hidden files and directories are never listed, nor followed links to directories.
  QDirIterator it(root, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info(path);
    const QString relative = path.mid(root.size() + 1);
    // A link is served only when what it leads to is in the tree itself.
    const QString real = info.canonicalFilePath();
    if (relative.startsWith(QLatin1Char('.')) || relative.contains(QStringLiteral("/.")) ||
        !real.startsWith(root + QLatin1Char('/')) || !QFileInfo(real).isFile())
      continue;
    bytes += info.size();
    if (++count > limits.files || bytes > limits.bytes) {
      *error = QStringLiteral("%1 holds more than %2 files or %3 MB: not a tree of the game")
                   .arg(dir)
                   .arg(limits.files)
                   .arg(limits.bytes / (1024 * 1024));
      return false;
    }
    QFile file(real);
    if (!file.open(QIODevice::ReadOnly)) {
      *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
      return false;
    }
    const QByteArray body = file.readAll();
    if (relative.endsWith(QStringLiteral(".gz"))) {
      twins.insert(relative.chopped(3), body);
      continue;
    }
    PlayFile& f = files[relative];
    f.body = body;
    f.type = playContentType(relative);
    f.etag = entityTag(body, "");
    f.modifiedAt = info.lastModified().toSecsSinceEpoch();
    f.modified = httpDate(f.modifiedAt);
    f.hashed = isHashedName(relative);
  }
  // A twin without its file is the other encoding of nothing: never served.
  for (auto t = twins.cbegin(); t != twins.cend(); ++t) {
    const auto f = files.find(t.key());
    if (f == files.end()) continue;
    f->gzip = t.value();
    f->gzipEtag = entityTag(f->body, "-gz");
  }
  if (!files.contains(QStringLiteral("index.html"))) {
    *error = QStringLiteral("%1 holds no index.html: not a tree of the game").arg(dir);
    return false;
  }
  files_ = std::move(files);
  return true;
}

const PlayFile* PlayTree::find(const QString& path) const {
  const auto f = files_.find(path.isEmpty() ? QStringLiteral("index.html") : path);
  return f == files_.end() ? nullptr : &*f;
}

std::optional<PlayAnswer> playAnswer(const PlayTree& tree, const PlayRequest& request) {
  const PlayFile* f = tree.find(request.path);
  if (!f) return std::nullopt;
  const bool gzip = !f->gzip.isEmpty() && acceptsGzip(request.acceptEncoding);
  const QByteArray& tag = gzip ? f->gzipEtag : f->etag;
  PlayAnswer a;
  // A hashed name is a new address for every new content, so a browser may keep it for good;
  // everything else, above all the index that names them, is asked after each time.
  a.headers = {{"Cache-Control", f->hashed ? "public, max-age=31536000, immutable" : "no-cache"},
               {"ETag", tag},
               {"Last-Modified", f->modified}};
  if (!f->gzip.isEmpty()) a.headers.emplace_back("Vary", "Accept-Encoding");
  if (notModified(*f, tag, request)) {
    a.status = 304;
    return a;
  }
  a.headers.insert(a.headers.begin(), {"Content-Type", f->type});
  if (gzip) a.headers.emplace_back("Content-Encoding", "gzip");
  a.body = gzip ? f->gzip : f->body;
  return a;
}

}  // namespace milka::site
