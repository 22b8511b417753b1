#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace vexlo9 {

namespace detail {

// One open file for writing, closed when it goes. The system's failures
// raise 75 (path/file access error) from "<writer>.<operation>" quoting the
// file name and the system's message; misuse raises 5.
class OutputFile {
 public:
  explicit OutputFile(const char* writerName) : writerName_(writerName) {}

  // Mode 2 creates the file or replaces its contents; other modes raise 5.
  void Open(const std::string& fileName, int32_t mode);
  void Write(std::span<const uint8_t> bytes);
  // Flushes and closes; a failure to finish the file raises. Closing a
  // writer with no open file does nothing.
  void Close();

 private:
  std::string SourceOf(const char* operation) const;

  struct FileClose {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
  };

  const char* writerName_;
  std::string fileName_;
  std::unique_ptr<std::FILE, FileClose> file_;
};

}  // namespace detail

// Writes bytes to a file as they are.
class BinaryFileWriter {
 public:
  static constexpr int32_t kCreateOrReplace = 2;

  void Open(const std::string& fileName, int32_t mode) { file_.Open(fileName, mode); }
  void Write(std::span<const uint8_t> bytes) { file_.Write(bytes); }
  void Close() { file_.Close(); }

 private:
  detail::OutputFile file_{"BinaryFileWriter"};
};

// Writes UTF-8 text to a file as UTF-16 little-endian after the byte-order
// mark FF FE, which Open writes. Malformed UTF-8 raises (see
// ConversionUtils::ToUtf16Bytes) before anything of that text is written.
class TextFileWriter {
 public:
  static constexpr int32_t kCreateOrReplace = 2;

  void Open(const std::string& fileName, int32_t mode);
  void Write(std::string_view text);
  void Close() { file_.Close(); }

 private:
  detail::OutputFile file_{"TextFileWriter"};
};

}  // namespace vexlo9
