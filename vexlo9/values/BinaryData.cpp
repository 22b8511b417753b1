#include "vexlo9/values/BinaryData.h"

#include <array>

#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/TextBuffer.h"

namespace vexlo9 {
namespace {

constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr size_t kBase64LineLength = 60;
constexpr int16_t kPad = 64;

// Every byte -1, the alphabet 0..63, "=" 64.
constexpr std::array<int16_t, 256> kBase64Decode = [] {
  std::array<int16_t, 256> table{};
  table.fill(-1);
  for (size_t i = 0; i < kBase64Alphabet.size(); ++i) table[static_cast<uint8_t>(kBase64Alphabet[i])] = int16_t(i);
  table['='] = kPad;
  return table;
}();

int HexValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The whole UTF-8 character that starts at text[pos], so that a message never cuts one in half.
std::string_view CharacterAt(std::string_view text, size_t pos) {
  size_t end = pos + 1;
  if (static_cast<uint8_t>(text[pos]) >= 0xC0) {
    while (end < text.size() && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(pos, end - pos);
}

// Appends the ISO-8859-1 byte of each character of well-formed UTF-8 text; "?" stands for the others.
void AppendLatin1(std::vector<uint8_t>& out, std::string_view text, const char* source) {
  detail::CheckUtf8(text, source);
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
    } else if (lead < 0xE0) {
      // Two-byte forms: leads C2 and C3 are exactly U+0080..U+00FF.
      out.push_back(lead <= 0xC3 ? static_cast<uint8_t>((lead & 0x1F) << 6 | (text[i + 1] & 0x3F)) : '?');
      i += 2;
    } else {
      out.push_back('?');
      i += lead < 0xF0 ? 3 : 4;
    }
  }
}

}  // namespace

void BinaryData::Append(const std::vector<uint8_t>& NewData) {
  buffer_.insert(buffer_.end(), NewData.begin(), NewData.end());
}

void BinaryData::AppendString(std::string_view str) { AppendLatin1(buffer_, str, "AppendString"); }

void BinaryData::SetBuffer(const std::vector<uint8_t>& NewData) { buffer_ = NewData; }

void BinaryData::SetBufferFromString(std::string_view str) {
  std::vector<uint8_t> bytes;
  bytes.reserve(str.size());
  AppendLatin1(bytes, str, "SetBufferFromString");
  buffer_.swap(bytes);
}

std::string BinaryData::AsBase64() const {
  const size_t encoded = (buffer_.size() + 2) / 3 * 4;
  if (encoded == 0) return {};
  std::string text;
  text.reserve(encoded + (encoded - 1) / kBase64LineLength * 2);
  size_t written = 0;
  const auto put = [&](char c) {
    if (written != 0 && written % kBase64LineLength == 0) text += "\r\n";
    text += c;
    ++written;
  };
  for (size_t i = 0; i < buffer_.size(); i += 3) {
    const size_t left = buffer_.size() - i;
    const uint32_t bits = uint32_t{buffer_[i]} << 16 | (left > 1 ? uint32_t{buffer_[i + 1]} << 8 : 0) |
                          (left > 2 ? uint32_t{buffer_[i + 2]} : 0);
    put(kBase64Alphabet[bits >> 18 & 63]);
    put(kBase64Alphabet[bits >> 12 & 63]);
    put(left > 1 ? kBase64Alphabet[bits >> 6 & 63] : '=');
    put(left > 2 ? kBase64Alphabet[bits & 63] : '=');
  }
  return text;
}

void BinaryData::SetBufferFromBase64String(std::string_view str) {
  buffer_.clear();
  buffer_.reserve(str.size() / 4 * 3);
  int16_t group[4];
  size_t count = 0;
  for (const char c : str) {
    const int16_t symbol = kBase64Decode[static_cast<uint8_t>(c)];
    if (symbol < 0) continue;
    group[count++] = symbol;
    if (count < 4) continue;
    count = 0;
    // "=" carries no bits wherever it stands.
    const uint32_t bits = uint32_t(group[0] & 63) << 18 | uint32_t(group[1] & 63) << 12 | uint32_t(group[2] & 63) << 6 |
                          uint32_t(group[3] & 63);
    const size_t keep = 3 - (group[3] == kPad) - (group[2] == kPad);
    const uint8_t bytes[3] = {uint8_t(bits >> 16), uint8_t(bits >> 8), uint8_t(bits)};
    buffer_.insert(buffer_.end(), bytes, bytes + keep);
  }
}

std::string BinaryData::AsString() const {
  TextBuffer text;
  text.Reserve(buffer_.size() * 2);
  for (const uint8_t b : buffer_) {
    if (b < 0x80) {
      text.Append(static_cast<char>(b));
    } else {
      text.Append(static_cast<char>(0xC0 | b >> 6));
      text.Append(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return text.Take();
}

std::string BinaryData::AsHexString() const {
  TextBuffer text;
  text.Reserve(buffer_.size() * 2);
  for (const uint8_t b : buffer_) {
    text.Append(kHexDigits[b >> 4]);
    text.Append(kHexDigits[b & 0xF]);
  }
  return text.Take();
}

void BinaryData::SetBufferFromHexString(std::string_view hexString) {
  buffer_.assign(hexString.size() / 2, 0);
  for (size_t i = 0; i < hexString.size(); ++i) {
    const int digit = HexValue(hexString[i]);
    if (digit < 0) {
      throw errors::InvalidHexChar(CharacterAt(hexString, i));
    }
    if (i / 2 < buffer_.size()) buffer_[i / 2] |= static_cast<uint8_t>(i % 2 == 0 ? digit << 4 : digit);
  }
  if (hexString.size() % 2 != 0) {
    throw errors::OddHexDigits(hexString);
  }
}

}  // namespace vexlo9
