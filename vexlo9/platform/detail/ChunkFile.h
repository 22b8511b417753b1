#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

// A file written one chunk behind its writer, by a thread of its own: the system's copy of a chunk into the file
// overlaps the making of the next one. Three buffers go round (the writer's, the one waiting, the one being
// written), each keeping its memory, so nothing is allocated once they have grown to a chunk.
namespace vexlo9::detail {

class ChunkFile {
 public:
  // `source` names the writer in the errors raised: 75 when the file cannot be opened.
  ChunkFile(const std::string& fileName, const char* source);
  // Waits for the chunks handed over and closes the file; what fails then goes unreported (Finish reports it).
  ~ChunkFile();
  ChunkFile(const ChunkFile&) = delete;
  ChunkFile& operator=(const ChunkFile&) = delete;

  // Hands `chunk` over to be written and leaves an empty buffer in its place; waits while a chunk handed over
  // before is not yet taken. 75 when writing an earlier chunk failed.
  void Put(std::string& chunk);
  // Writes what was handed over, closes the file and reports what failed (75).
  void Finish();

 private:
  void WriteChunks();
  void Stop() noexcept;

  std::FILE* file_;
  std::string name_;
  const char* source_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string waiting_;     // handed over, not yet taken
  bool hasWaiting_ = false;
  bool stopping_ = false;
  int error_ = 0;           // errno of the first write that failed
  std::thread thread_;      // last: started once the rest is ready
};

}  // namespace vexlo9::detail
