#include "vexlo9/platform/detail/FileWriters.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// "number source: description" of the error the call raises.

class FileWriters : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ =
        std::filesystem::temp_directory_path() / ("vexlo9-writers-" + std::to_string(::getpid()) + "-" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::string PathOf(const char* name) const { return (directory_ / name).string(); }

  static std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path directory_;
};

TEST_F(FileWriters, BinaryWriterWritesTheBytesAndReplacesAnExistingFile) {
  const std::string path = PathOf("out.bin");
  std::ofstream(path) << "an older and much longer content";
  BinaryFileWriter file;
  file.Open(path, 2);
  file.Write(std::vector<uint8_t>{0x3C, 0x00, 0xFF});
  file.Write(std::vector<uint8_t>{});
  file.Write(std::vector<uint8_t>{0x0A});
  file.Close();
  EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{0x3C, 0x00, 0xFF, 0x0A}));
}

TEST_F(FileWriters, TextWriterWritesUtf16LittleEndianAfterAByteOrderMark) {
  const std::string path = PathOf("out.xml");
  TextFileWriter file;
  file.Open(path, 2);
  file.Write("<a>\xC3\xA9");
  file.Write("\xF0\x9D\x84\x9E</a>");  // U+1D11E, a surrogate pair
  file.Close();
  EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{0xFF, 0xFE, '<',  0,   'a', 0,   '>', 0,   0xE9, 0x00, 0x34,
                                                 0xD8, 0x1E, 0xDD, '<', 0,   '/', 0,   'a', 0,    '>',  0}));

  TextFileWriter empty;
  empty.Open(PathOf("empty.xml"), 2);
  empty.Close();
  EXPECT_EQ(ReadAll(PathOf("empty.xml")), (std::vector<uint8_t>{0xFF, 0xFE}));
}

TEST_F(FileWriters, TheDestructorFinishesTheFile) {
  const std::string path = PathOf("scoped.bin");
  {
    BinaryFileWriter file;
    file.Open(path, 2);
    file.Write(std::vector<uint8_t>{1, 2, 3});
  }
  EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(FileWriters, MalformedTextWritesNothingOfThatText) {
  const std::string path = PathOf("bad.xml");
  TextFileWriter file;
  file.Open(path, 2);
  EXPECT_EQ(ErrorText([&] { file.Write("ab\xC3"); }),
            "5 ConversionUtils.ToUtf16Bytes: Invalid UTF-8 sequence [C3] at byte offset 2");
  file.Close();
  EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{0xFF, 0xFE}));
}

TEST_F(FileWriters, MisuseAndSystemFailuresRaiseQuotingTheFile) {
  const std::string missing = PathOf("no-such-directory/out.xml");
  BinaryFileWriter binary;
  TextFileWriter text;
  EXPECT_EQ(ErrorText([&] { binary.Open(PathOf("x"), 1); }),
            "5 BinaryFileWriter.Open: Unsupported file mode 1 for the file [" + PathOf("x") +
                "]; only 2 (create or replace) is supported");
  EXPECT_EQ(ErrorText([&] { text.Open(PathOf("x"), 8); }),
            "5 TextFileWriter.Open: Unsupported file mode 8 for the file [" + PathOf("x") +
                "]; only 2 (create or replace) is supported");
  EXPECT_FALSE(std::filesystem::exists(PathOf("x")));
  EXPECT_EQ(ErrorText([&] { binary.Open(missing, 2); }),
            "75 BinaryFileWriter.Open: Cannot open the file [" + missing + "]: No such file or directory");
  EXPECT_EQ(ErrorText([&] { text.Open(missing, 2); }),
            "75 TextFileWriter.Open: Cannot open the file [" + missing + "]: No such file or directory");
  EXPECT_EQ(
      ErrorText([&] { binary.Open(std::string("a\0b", 3), 2); }),
      std::string("5 BinaryFileWriter.Open: Cannot open the file [a") + '\0' + "b]: the name holds a NUL character");
  EXPECT_EQ(ErrorText([&] { binary.Write(std::vector<uint8_t>{1}); }), "5 BinaryFileWriter.Write: No file is open");
  EXPECT_EQ(ErrorText([&] { text.Write("a"); }), "5 TextFileWriter.Write: No file is open");
  EXPECT_EQ(ErrorText([&] { text.Close(); }), "no error");

  binary.Open(PathOf("first"), 2);
  EXPECT_EQ(ErrorText([&] { binary.Open(PathOf("second"), 2); }),
            "5 BinaryFileWriter.Open: The file [" + PathOf("first") + "] is still open");
  binary.Close();
  EXPECT_FALSE(std::filesystem::exists(PathOf("second")));
}

TEST_F(FileWriters, AFileThatCannotBeFinishedRaisesOnClose) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "this system has no /dev/full";
  BinaryFileWriter file;
  file.Open("/dev/full", 2);
  file.Write(std::vector<uint8_t>{1, 2, 3});  // buffered: the device refuses when it is flushed
  EXPECT_EQ(ErrorText([&] { file.Close(); }),
            "75 BinaryFileWriter.Close: Cannot finish the file [/dev/full]: No space left on device");
  EXPECT_EQ(ErrorText([&] { file.Close(); }), "no error");
}

}  // namespace
}  // namespace vexlo9
