#include "platform/keep/file_store.h"

#include <QDir>
#include <QFile>

namespace milka::platform {

FileStore::FileStore(QString dir) : dir_(std::move(dir)) {
  QDir().mkpath(dir_);
}

QString FileStore::pathOf(const std::string& name) const {
  return QDir(dir_).filePath(QString::fromStdString(name));
}

std::vector<std::string> FileStore::journals() {
  std::vector<std::string> names;
  for (const QString& name :
       QDir(dir_).entryList({QStringLiteral("*.mdj")}, QDir::Files, QDir::Name))
    names.push_back(name.toStdString());
  return names;
}

std::optional<std::string> FileStore::read(const std::string& name, uint64_t limit) {
  QFile in(pathOf(name));
  if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
  return in.read(static_cast<qint64>(limit)).toStdString();
}

bool FileStore::exists(const std::string& name) {
  return QFile::exists(pathOf(name));
}

void FileStore::remove(const std::string& name) {
  QFile::remove(pathOf(name));
}

void FileStore::rename(const std::string& from, const std::string& to) {
  QFile::rename(pathOf(from), pathOf(to));
}

void FileStore::copy(const std::string& from, const std::string& to) {
  QFile::copy(pathOf(from), pathOf(to));
}

bool FileStore::create(const std::string& name, const std::string& head) {
  writer_ = std::make_unique<FileWriter>();
  return writer_->create(pathOf(name).toStdString(), head);
}

bool FileStore::append(const std::string& name, uint64_t keep) {
  writer_ = std::make_unique<FileWriter>();
  return writer_->append(pathOf(name).toStdString(), keep);
}

void FileStore::write(std::string bytes) {
  if (writer_) writer_->submit(std::move(bytes));
}

void FileStore::close() {
  if (writer_) writer_->close();
}

bool FileStore::failed() const {
  return writer_ && writer_->failed();
}

}  // namespace milka::platform
