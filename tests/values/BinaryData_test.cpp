#include "vexlo9/values/BinaryData.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ExpectError;

std::vector<uint8_t> Counting(size_t count) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

BinaryData Holding(const std::vector<uint8_t>& bytes) {
  BinaryData data;
  data.SetBuffer(bytes);
  return data;
}

TEST(BinaryData, NewObjectIsEmptyInEveryForm) {
  const BinaryData data;
  EXPECT_EQ(data.length(), 0);
  EXPECT_TRUE(data.Data().empty());
  EXPECT_EQ(data.AsHexString(), "");
  EXPECT_EQ(data.AsBase64(), "");
  EXPECT_EQ(data.AsString(), "");
  EXPECT_EQ(data.TypeName(), "BinaryData");
}

TEST(BinaryData, HexTextIsUpperCaseTwoDigitsPerByte) {
  EXPECT_EQ(Holding({0x0A, 0xFF}).AsHexString(), "0AFF");
  EXPECT_EQ(Holding({0x00, 0x10, 0x9B, 0xC4}).AsHexString(), "00109BC4");
}

TEST(BinaryData, HexTextReadsInEitherCase) {
  const struct {
    const char* text;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"0AFF", {0x0A, 0xFF}}, {"0aff", {0x0A, 0xFF}},         {"0AfF", {0x0A, 0xFF}}, {"", {}},
      {"00", {0x00}},         {"9b8C7d", {0x9B, 0x8C, 0x7D}},
  };
  for (const auto& c : cases) {
    BinaryData data;
    data.SetBuffer({1, 2, 3});
    data.SetBufferFromHexString(c.text);
    EXPECT_EQ(data.Data(), c.bytes) << c.text;
  }
}

TEST(BinaryData, BadHexTextIsRejected) {
  BinaryData data;
  ExpectError([&] { data.SetBufferFromHexString("0G"); }, 100, "SetBufferFromHexString",
              "Invalid char in hex string (G)");
  ExpectError([&] { data.SetBufferFromHexString("0A 1B"); }, 100, "SetBufferFromHexString",
              "Invalid char in hex string ( )");
  // A character beyond ASCII is quoted whole, not as a broken byte.
  ExpectError([&] { data.SetBufferFromHexString("0é"); }, 100, "SetBufferFromHexString",
              "Invalid char in hex string (é)");
  ExpectError([&] { data.SetBufferFromHexString("0AB"); }, 100, "SetBufferFromHexString",
              "Odd number of digits in hex string [0AB]");
  ExpectError([&] { data.SetBufferFromHexString("A"); }, 100, "SetBufferFromHexString",
              "Odd number of digits in hex string [A]");
  // A bad digit is reported before an odd count.
  ExpectError([&] { data.SetBufferFromHexString("0AZ"); }, 100, "SetBufferFromHexString",
              "Invalid char in hex string (Z)");
}

TEST(BinaryData, Base64PadsTheLastGroup) {
  const struct {
    std::vector<uint8_t> bytes;
    const char* text;
  } cases[] = {
      {{0x00}, "AA=="},
      {{0x00, 0x00}, "AAA="},
      {{0x00, 0x00, 0x00}, "AAAA"},
      {{'M', 'a', 'n'}, "TWFu"},
      {{'M', 'a'}, "TWE="},
      {{'M'}, "TQ=="},
      {{0xFB, 0xFF, 0xBF}, "+/+/"},
      {{0xFF, 0xFF, 0xFF, 0xFE}, "/////g=="},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Holding(c.bytes).AsBase64(), c.text);
    BinaryData back;
    back.SetBufferFromBase64String(c.text);
    EXPECT_EQ(back.Data(), c.bytes) << c.text;
  }
}

TEST(BinaryData, Base64BreaksLinesAfterSixtyCharacters) {
  const std::string exact = Holding(Counting(45)).AsBase64();
  EXPECT_EQ(exact.size(), 60u);
  EXPECT_EQ(exact.find('\r'), std::string::npos);
  EXPECT_EQ(exact.find('\n'), std::string::npos);

  const std::string over = Holding(Counting(46)).AsBase64();
  ASSERT_EQ(over.size(), 60u + 2 + 4);
  EXPECT_EQ(over.substr(0, 60), exact);
  EXPECT_EQ(over.substr(60, 2), "\r\n");
  EXPECT_EQ(over.substr(62), "Pg==");

  // Three full lines: two breaks, none at the end.
  const std::string three = Holding(Counting(135)).AsBase64();
  ASSERT_EQ(three.size(), 180u + 4);
  EXPECT_EQ(three.substr(60, 2), "\r\n");
  EXPECT_EQ(three.substr(122, 2), "\r\n");
  EXPECT_NE(three.back(), '\n');
}

TEST(BinaryData, Base64ReadingSkipsEverythingOutsideTheAlphabet) {
  const std::vector<uint8_t> bytes = Counting(100);
  const std::string clean = Holding(bytes).AsBase64();
  const std::string variants[] = {
      clean,
      " " + clean.substr(0, 10) + "\t\r\n" + clean.substr(10, 50) + " \n  " + clean.substr(60) + "\r\n",
      [&] {
        std::string spaced;
        for (const char c : clean) (spaced += c) += ' ';
        return spaced;
      }(),
  };
  for (const auto& text : variants) {
    BinaryData data;
    data.SetBufferFromBase64String(text);
    EXPECT_EQ(data.Data(), bytes);
  }
}

TEST(BinaryData, Base64ReadingIgnoresAnIncompleteLastGroup) {
  BinaryData data;
  data.SetBufferFromBase64String("TWFuTW");
  EXPECT_EQ(data.Data(), (std::vector<uint8_t>{'M', 'a', 'n'}));
  data.SetBufferFromBase64String("");
  EXPECT_EQ(data.length(), 0);
  data.SetBufferFromBase64String("!!**");
  EXPECT_EQ(data.length(), 0);
}

TEST(BinaryData, StringsAreOneBytePerLatin1Character) {
  BinaryData data;
  data.SetBufferFromString("Aé\xC3\xBF");  // A, U+00E9, U+00FF
  EXPECT_EQ(data.Data(), (std::vector<uint8_t>{'A', 0xE9, 0xFF}));
  EXPECT_EQ(data.AsString(), "Aé\xC3\xBF");

  // Characters that Latin-1 cannot hold: the euro sign (3 bytes) and an emoji (4 bytes).
  data.SetBufferFromString("x€y😀z");
  EXPECT_EQ(data.Data(), (std::vector<uint8_t>{'x', '?', 'y', '?', 'z'}));

  data.AppendString("\xC2\x80!");
  EXPECT_EQ(data.Data(), (std::vector<uint8_t>{'x', '?', 'y', '?', 'z', 0x80, '!'}));

  // Every byte value survives the trip through text.
  std::vector<uint8_t> every(256);
  for (size_t i = 0; i < 256; ++i) every[i] = static_cast<uint8_t>(i);
  const BinaryData all = Holding(every);
  BinaryData back;
  back.SetBufferFromString(all.AsString());
  EXPECT_EQ(back.Data(), every);
}

TEST(BinaryData, MalformedTextIsRejectedAndTheBufferKept) {
  BinaryData data;
  data.SetBuffer({1, 2});
  ExpectError([&] { data.SetBufferFromString("a\xFF"); }, 5, "SetBufferFromString",
              "Invalid UTF-8 sequence [FF] at byte offset 1");
  ExpectError([&] { data.AppendString("\xC3"); }, 5, "AppendString", "Invalid UTF-8 sequence [C3] at byte offset 0");
  EXPECT_EQ(data.Data(), (std::vector<uint8_t>{1, 2}));
}

TEST(BinaryData, AppendAddsAfterTheExistingBytes) {
  BinaryData data;
  data.Append({1, 2});
  data.Append({});
  data.Append({3});
  data.AppendString("AB");
  EXPECT_EQ(data.Data(), (std::vector<uint8_t>{1, 2, 3, 'A', 'B'}));
  EXPECT_EQ(data.length(), 5);

  // Data is a copy: changing it leaves the object alone.
  std::vector<uint8_t> copy = data.Data();
  copy[0] = 99;
  EXPECT_EQ(data.Data()[0], 1);
}

TEST(BinaryData, EqualsComparesLengthAndBytes) {
  EXPECT_TRUE(BinaryData().Equals(BinaryData()));
  EXPECT_TRUE(Holding({1, 2, 3}).Equals(Holding({1, 2, 3})));
  EXPECT_FALSE(Holding({1, 2, 3}).Equals(Holding({1, 2})));
  EXPECT_FALSE(Holding({1, 2}).Equals(Holding({1, 2, 0})));
  EXPECT_FALSE(Holding({1, 2, 3}).Equals(Holding({1, 2, 4})));
  EXPECT_FALSE(Holding({}).Equals(Holding({0})));
}

TEST(BinaryData, HexAndBase64RoundTripEveryLength) {
  for (size_t count = 0; count < 200; count += 7) {
    const BinaryData original = Holding(Counting(count));
    BinaryData fromHex;
    fromHex.SetBufferFromHexString(original.AsHexString());
    EXPECT_TRUE(fromHex.Equals(original)) << count;
    BinaryData fromBase64;
    fromBase64.SetBufferFromBase64String(original.AsBase64());
    EXPECT_TRUE(fromBase64.Equals(original)) << count;
  }
}

}  // namespace
}  // namespace vexlo9
