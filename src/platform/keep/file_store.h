// The desktop's store for journals: one file each in a directory of the player's, the running
// one written and made durable on a thread of its own (see FileWriter).
#pragma once

#include <QString>
#include <memory>

#include "platform/keep/file_writer.h"
#include "play/storage.h"

namespace milka::platform {

class FileStore final : public play::JournalStore {
 public:
  // dir: where the journals are (made when missing).
  explicit FileStore(QString dir);

  std::vector<std::string> journals() override;
  std::optional<std::string> read(const std::string& name, uint64_t limit) override;
  bool exists(const std::string& name) override;
  void remove(const std::string& name) override;
  void rename(const std::string& from, const std::string& to) override;
  void copy(const std::string& from, const std::string& to) override;
  bool create(const std::string& name, const std::string& head) override;
  bool append(const std::string& name, uint64_t keep) override;
  void write(std::string bytes) override;
  void close() override;
  bool failed() const override;

  QString pathOf(const std::string& name) const;
  const FileWriter* writer() const { return writer_.get(); }

 private:
  QString dir_;
  std::unique_ptr<FileWriter> writer_;
};

}  // namespace milka::platform
