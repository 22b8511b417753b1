#include "vexlo9/platform/detail/FileWriters.h"

#include <cerrno>
#include <cstring>

#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {
namespace detail {

std::string OutputFile::SourceOf(const char* operation) const {
  return std::string(writerName_) + "." + operation;
}

void OutputFile::Open(const std::string& fileName, int32_t mode) {
  if (mode != BinaryFileWriter::kCreateOrReplace) {
    throw errors::UnsupportedFileMode(SourceOf("Open"), mode, fileName);
  }
  if (file_) throw errors::FileStillOpen(SourceOf("Open"), fileName_);
  if (fileName.find('\0') != std::string::npos) {
    throw errors::FileNameHasNul(SourceOf("Open"), fileName);
  }
  errno = 0;
  // "e": the descriptor is not inherited by programs the host starts.
  file_.reset(std::fopen(fileName.c_str(), "wbe"));
  if (!file_) {
    throw errors::CannotOpenFile(SourceOf("Open"), fileName, std::strerror(errno));
  }
  fileName_ = fileName;
}

void OutputFile::Write(std::span<const uint8_t> bytes) {
  if (!file_) throw errors::NoFileOpen(SourceOf("Write"));
  if (bytes.empty()) return;  // an empty span may have no data pointer at all
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) {
    throw errors::CannotWriteFile(SourceOf("Write"), fileName_, std::strerror(errno));
  }
}

void OutputFile::Close() {
  if (!file_) return;
  errno = 0;
  const bool failed = std::fclose(file_.release()) != 0;
  if (failed) {
    throw errors::CannotFinishFile(SourceOf("Close"), fileName_, std::strerror(errno));
  }
}

}  // namespace detail

void TextFileWriter::Open(const std::string& fileName, int32_t mode) {
  static constexpr uint8_t kByteOrderMark[] = {0xFF, 0xFE};
  file_.Open(fileName, mode);
  file_.Write(kByteOrderMark);
}

void TextFileWriter::Write(std::string_view text) { file_.Write(ConversionUtils::ToUtf16Bytes(text)); }

}  // namespace vexlo9
