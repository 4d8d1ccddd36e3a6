// Writes a running career's journal to its file without ever holding up the game: the window
// hands over bytes and goes on; a thread of its own writes them and makes them durable, at most
// once a period, so a killed game or a machine losing power loses at most the last period.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace milka::platform {

class FileWriter {
 public:
  // How often the file is made durable at most.
  static constexpr std::chrono::milliseconds kPeriod{200};
  // The file is laid out ahead in zeros by this much, so that making a write durable flushes
  // only its data and not the file's size as well; the reader takes a tail of zeros for the
  // unwritten end it is, and closing cuts it off.
  static constexpr uint64_t kAhead = 16 * 1024;

  FileWriter() = default;
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // A new file holding `head` (it must not exist yet). False, with failure() set, when it
  // cannot be made.
  bool create(const std::string& path, const std::string& head);
  // An existing file, cut back to its first `keep` bytes and written on from there.
  bool append(const std::string& path, uint64_t keep);

  // Queues bytes to be written; never waits on the disk.
  void submit(std::string bytes);
  // Writes and syncs everything queued, then stops the thread (on closing the window).
  void close();

  // Once a write or sync has failed, nothing more is written; the reason, in words.
  bool failed() const { return failed_.load(); }
  std::string failure() const;

  uint64_t syncs() const { return syncs_.load(); }
  uint64_t bytesWritten() const { return written_.load(); }
  const std::string& path() const { return path_; }

 private:
  void start();
  void run();
  bool writeAll(const std::string& bytes);
  bool layOutAhead(uint64_t needed);
  void fail(const char* what, int error);

  std::string path_;
  int fd_ = -1;
  uint64_t end_ = 0;      // where the next bytes go
  uint64_t laidOut_ = 0;  // the file's size, zeros ahead of end_ included
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::string queued_;
  bool stopping_ = false;
  std::atomic<bool> failed_{false};
  std::string failure_;
  std::atomic<uint64_t> syncs_{0};
  std::atomic<uint64_t> written_{0};
};

}  // namespace milka::platform
