#include "vexlo9/platform/detail/ChunkFile.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {

ChunkFile::ChunkFile(const std::string& fileName, const char* source) : name_(fileName), source_(source) {
  errno = 0;
  file_ = std::fopen(fileName.c_str(), "wb");
  if (!file_) throw errors::CannotOpenFile(source, fileName, std::strerror(errno));
  // Chunks are large already: the file's own buffer would only split each in two writes and copy its tail.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  thread_ = std::thread(&ChunkFile::WriteChunks, this);
}

ChunkFile::~ChunkFile() {
  Stop();
  if (file_) std::fclose(file_);
}

void ChunkFile::Put(std::string& chunk) {
  if (chunk.empty()) return;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !hasWaiting_ || error_ != 0; });
  if (error_ != 0) throw errors::CannotWriteFile(source_, name_, std::strerror(error_));
  waiting_.swap(chunk);
  hasWaiting_ = true;
  lock.unlock();
  changed_.notify_all();
  chunk.clear();
}

void ChunkFile::Finish() {
  Stop();
  if (error_ != 0) throw errors::CannotWriteFile(source_, name_, std::strerror(error_));
  errno = 0;
  std::FILE* const file = std::exchange(file_, nullptr);
  if (std::fclose(file) != 0) throw errors::CannotFinishFile(source_, name_, std::strerror(errno));
}

void ChunkFile::Stop() noexcept {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

// The thread: takes the waiting chunk, writes it without the lock, and gives its buffer back for the next one.
void ChunkFile::WriteChunks() {
  std::string chunk;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return hasWaiting_ || stopping_; });
    if (!hasWaiting_) return;  // stopping, and everything handed over is written
    chunk.swap(waiting_);
    hasWaiting_ = false;
    lock.unlock();
    changed_.notify_all();
    errno = 0;
    const bool failed = error_ == 0 && std::fwrite(chunk.data(), 1, chunk.size(), file_) != chunk.size();
    chunk.clear();
    lock.lock();
    if (failed) error_ = errno != 0 ? errno : EIO;
  }
}

}  // namespace vexlo9::detail
