// A small tree of the browser game as scripts/web-build.sh leaves it in OUT/play/: the index,
// files named after their content with a .gz twin beside those that compress, a folder, and
// beside them what a site must never serve (dotfiles, links out of the tree). The twins' bytes
// are only told apart, never unpacked: the site sends them as they are.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace milka::site::testing {

struct PlayFixture {
  QTemporaryDir dir;  // play/ and, beside it, a file no address may reach
  QString play;
  QMap<QString, QByteArray> files;  // as written, by path under play/

  static constexpr char kModule[] = "milka.3f2a9c0d1e4b.wasm";
  static constexpr char kScript[] = "main.9a8b7c6d5e4f.js";

  PlayFixture() : play(dir.filePath(QStringLiteral("play"))) {
    // A module of a few hundred KB, as the real one is, of bytes that do not repeat.
    QByteArray module("\0asm\1\0\0\0", 8);
    QRandomGenerator bytes(7);
    while (module.size() < 300 * 1024) module.append(static_cast<char>(bytes.bounded(256)));
    put("index.html",
        "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\"><title>ミルカダービー"
        "</title><link rel=\"stylesheet\" href=\"style.0123456789ab.css\"></head><body>"
        "<script type=\"module\" src=\"main.9a8b7c6d5e4f.js\"></script></body></html>\n");
    put("index.html.gz", "gzipped index");
    put(kScript, "import createMilka from './milka.0a1b2c3d4e5f.js';\n");
    put(QString::fromLatin1(kScript) + QStringLiteral(".gz"), "gzipped script");
    put(kModule, module);
    put(QString::fromLatin1(kModule) + QStringLiteral(".gz"), "gzipped module");
    put("style.0123456789ab.css", "body { margin: 0; }\n");
    put("manifest.webmanifest", "{\"name\": \"ミルカダービー\"}\n");
    put("manifest.0f1e2d3c4b5a.webmanifest",
        "{\"name\": \"ミルカダービー\", \"display\": \"standalone\"}\n");
    put("sw.js", "const VERSION = '5a4b3c2d1e0f';\n");
    put("sw.js.gz", "gzipped worker");
    put("icons/icon.aabbccddeeff.png", QByteArray("\x89PNG\r\n\x1a\n", 8));
    put("logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n");
    put("levels.json", "[]\n");
    put("orphan.js.gz", "a twin without its file");
    put(".hidden", "a dotfile");
    put(".git/config", "[core]\n");
    put("icons/.secret.png", "a dotfile in a folder");
    QFile outside(dir.filePath(QStringLiteral("outside.txt")));
    if (outside.open(QIODevice::WriteOnly)) outside.write("not for the web");
    QFile::link(outside.fileName(), path(QStringLiteral("link-out.txt")));
    QFile::link(path(QString::fromLatin1(kScript)), path(QStringLiteral("link-in.js")));
  }

  QString path(const QString& relative) const { return play + QLatin1Char('/') + relative; }

  void put(const QString& relative, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile f(path(relative));
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    files.insert(relative, bytes);
  }
  void put(const char* relative, const QByteArray& bytes) {
    put(QString::fromUtf8(relative), bytes);
  }
};

}  // namespace milka::site::testing
