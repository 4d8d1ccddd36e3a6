// The browser game's files as the site serves them at /play/: the tree scripts/web-build.sh
// leaves in OUT/play/ (index.html, files named NAME.HASH.EXT after their content, a .gz twin
// beside each that compresses), read whole into memory when the site starts. The tree never
// changes while the site runs, and it is small, so answering from memory costs the serving thread
// nothing and no request ever reaches the file system: an address names a file the tree held at
// start, or nothing.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace milka::site {

struct PlayFile {
  QByteArray body;
  QByteArray gzip;  // its .gz twin; empty when it has none
  QByteArray type;  // Content-Type
  QByteArray etag, gzipEtag;
  QByteArray modified;  // Last-Modified, as an HTTP date
  qint64 modifiedAt = 0;
  bool hashed = false;  // named after its content: never changes under that name
};

// Bounds on what --play may name: a tree of the game is a few MB in a few dozen files, so a
// directory far over these is the wrong one, and is refused rather than read into memory.
struct PlayLimits {
  qint64 bytes = 256 * 1024 * 1024;
  int files = 2000;
};

class PlayTree {
 public:
  // Reads every file under dir but dotfiles, files in dot-directories and anything whose real
  // place is outside dir. False, with error, when dir holds no index.html, a file cannot be read,
  // or the tree is over limits; the tree is then empty.
  bool load(const QString& dir, QString* error, const PlayLimits& limits = {});
  bool installed() const { return !files_.isEmpty(); }
  // The file at path under /play/ (decoded; empty for the index), or nullptr. A .gz twin is the
  // other encoding of its file, not an address of its own.
  const PlayFile* find(const QString& path) const;
  qsizetype count() const { return files_.size(); }

 private:
  QHash<QString, PlayFile> files_;
};

// NAME.HASH.EXT, HASH being 12 lowercase hex digits.
bool isHashedName(const QString& fileName);
QByteArray playContentType(const QString& fileName);
// Whether an Accept-Encoding header lets the answer come gzipped.
bool acceptsGzip(const QByteArray& acceptEncoding);

// One answer at /play/, before it is written: HEAD gets the same head, without the body.
struct PlayAnswer {
  int status = 200;
  std::vector<std::pair<QByteArray, QByteArray>> headers;
  QByteArray body;
};

// What the request for path (under /play/, decoded) with these request headers gets from tree.
// A path outside the tree, a dotfile or a directory gets nullopt: the site's own 404.
struct PlayRequest {
  QString path;
  QByteArray acceptEncoding, ifNoneMatch, ifModifiedSince;
};
std::optional<PlayAnswer> playAnswer(const PlayTree& tree, const PlayRequest& request);

}  // namespace milka::site
