#include "platform/keep/file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace milka::platform {

namespace {

// The directory's entry for a new file must survive a power cut too.
void syncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileWriter::~FileWriter() {
  close();
}

bool FileWriter::create(const std::string& path, const std::string& head) {
  path_ = path;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    fail("open", errno);
    return false;
  }
  if (!writeAll(head) || ::fdatasync(fd_) != 0) {
    if (!failed()) fail("fdatasync", errno);
    return false;
  }
  syncDirectoryOf(path);
  start();
  return true;
}

bool FileWriter::append(const std::string& path, uint64_t keep) {
  path_ = path;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd_ < 0) {
    fail("open", errno);
    return false;
  }
  if (::ftruncate(fd_, static_cast<off_t>(keep)) != 0) {
    fail("ftruncate", errno);
    return false;
  }
  end_ = laidOut_ = keep;
  start();
  return true;
}

void FileWriter::start() {
  thread_ = std::thread([this] { run(); });
}

void FileWriter::submit(std::string bytes) {
  if (bytes.empty() || failed()) return;
  {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || stopping_) return;
    queued_ += bytes;
  }
  wake_.notify_one();
}

void FileWriter::close() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  if (fd_ >= 0) {
    // A journal closed in good order ends where its records do.
    if (!failed() && laidOut_ > end_ && ::ftruncate(fd_, static_cast<off_t>(end_)) == 0)
      ::fdatasync(fd_);
    ::close(fd_);
    fd_ = -1;
  }
}

std::string FileWriter::failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

void FileWriter::fail(const char* what, int error) {
  std::lock_guard lock(mutex_);
  if (failed_.load()) return;
  failure_ = std::string(what) + ": " + std::strerror(error);
  failed_.store(true);
}

bool FileWriter::layOutAhead(uint64_t needed) {
  if (needed <= laidOut_ && laidOut_ - needed >= kAhead / 4) return true;
  static const std::string zeros(kAhead, '\0');
  uint64_t at = laidOut_;
  const uint64_t to = needed + kAhead;
  while (at < to) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(to - at, zeros.size()));
    const ssize_t w = ::pwrite(fd_, zeros.data(), n, static_cast<off_t>(at));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      fail("write", w < 0 ? errno : ENOSPC);
      return false;
    }
    at += static_cast<uint64_t>(w);
  }
  laidOut_ = at;
  return true;
}

bool FileWriter::writeAll(const std::string& bytes) {
  if (!layOutAhead(end_ + bytes.size())) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(end_));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fail("write", n < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<size_t>(n);
    end_ += static_cast<uint64_t>(n);
    written_ += static_cast<uint64_t>(n);
  }
  return true;
}

void FileWriter::run() {
  auto lastSync = std::chrono::steady_clock::now() - kPeriod;
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
    if (!stopping_) {
      // Whatever else arrives within the period goes into the same sync.
      wake_.wait_until(lock, lastSync + kPeriod, [this] { return stopping_; });
    }
    std::string bytes = std::move(queued_);
    queued_.clear();
    const bool stop = stopping_;
    lock.unlock();
    if (!bytes.empty() && !failed()) {
      if (writeAll(bytes)) {
        if (::fdatasync(fd_) == 0)
          ++syncs_;
        else
          fail("fdatasync", errno);
      }
      lastSync = std::chrono::steady_clock::now();
    }
    lock.lock();
    if (stop && queued_.empty()) return;
  }
}

}  // namespace milka::platform
