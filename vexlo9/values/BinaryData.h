#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

class BinaryData;
using BinaryDataPtr = std::shared_ptr<BinaryData>;

// The value behind hexBinary and base64Binary: a growable byte buffer with its two lexical forms.
//
// Text is UTF-8. The string conversions treat characters as ISO-8859-1: code points 0-255 are the byte of the
// same value, any other character becomes "?", and a byte becomes the character of its value.
class VEXLO9_API BinaryData : public Object {
 public:
  BinaryData() = default;

  std::string TypeName() const override { return "BinaryData"; }

  // A copy of the bytes.
  std::vector<uint8_t> Data() const { return buffer_; }
  int32_t length() const noexcept { return static_cast<int32_t>(buffer_.size()); }

  void Append(const std::vector<uint8_t>& NewData);
  // One byte per character; malformed UTF-8 raises 5 from "AppendString".
  void AppendString(std::string_view str);
  void SetBuffer(const std::vector<uint8_t>& NewData);
  // One byte per character; malformed UTF-8 raises 5 from "SetBufferFromString" and leaves the buffer as it was.
  void SetBufferFromString(std::string_view str);
  bool Equals(const BinaryData& rhs) const noexcept { return buffer_ == rhs.buffer_; }

  // Lines of 60 characters joined by CR LF, with no line break at the end.
  std::string AsBase64() const;
  // Characters outside the alphabet (line breaks, blanks) are skipped; it never fails.
  void SetBufferFromBase64String(std::string_view str);
  // One character per byte.
  std::string AsString() const;
  // Two upper-case digits per byte.
  std::string AsHexString() const;
  // Both letter cases. A character that is no hexadecimal digit raises 100
  // "Invalid char in hex string (" + character + ")"; an odd number of digits raises 100
  // "Odd number of digits in hex string [" + hexString + "]". Either way the earlier bytes are lost.
  void SetBufferFromHexString(std::string_view hexString);

 private:
  std::vector<uint8_t> buffer_;
};

}  // namespace vexlo9
