#include "vexlo9/model/Variant.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/NumberText.h"

namespace vexlo9 {
namespace {

constexpr const char* kSource = errors::kLibrarySource;

std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::optional<bool> ParseBooleanWord(std::string_view text) {
  text = TrimBlanks(text);
  auto equalsNoCase = [text](std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
    }
    return true;
  };
  if (equalsNoCase("true")) return true;
  if (equalsNoCase("false")) return false;
  return std::nullopt;
}

// The value as a double, for every plain kind.
double AsDouble(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty: return 0;
    case Variant::Kind::Boolean: return *v.GetIf<bool>() ? -1 : 0;
    case Variant::Kind::Byte: return *v.GetIf<uint8_t>();
    case Variant::Kind::Integer: return *v.GetIf<int16_t>();
    case Variant::Kind::Long: return *v.GetIf<int32_t>();
    case Variant::Kind::Single: return *v.GetIf<float>();
    case Variant::Kind::Double: return *v.GetIf<double>();
    case Variant::Kind::String: return detail::TextToNumber(*v.GetIf<std::string>(), kSource);
    default: throw errors::TypeMismatch(kSource);
  }
}

template <class T>
T ToIntegral(const Variant& v) {
  if (const T* same = v.GetIf<T>()) return *same;
  if (const std::string* text = v.GetIf<std::string>()) return detail::TextToInteger<T>(*text, kSource);
  const double value = AsDouble(v);
  if (std::isnan(value)) throw errors::Overflow(kSource);
  // nearbyint rounds half to even in the default rounding mode.
  const double rounded = std::nearbyint(value);
  if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<T>::max())) {
    throw errors::Overflow(kSource);
  }
  return static_cast<T>(rounded);
}

std::string FormatDouble(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

}  // namespace

void Variant::ThrowTypeMismatch() { throw errors::TypeMismatch(kSource); }
void Variant::ThrowOverflow() { throw errors::Overflow(kSource); }

bool Variant::ToBoolean() const {
  if (const bool* b = GetIf<bool>()) return *b;
  if (const std::string* text = GetIf<std::string>()) {
    if (auto word = ParseBooleanWord(*text)) return *word;
  }
  return AsDouble(*this) != 0;
}

uint8_t Variant::ToByte() const { return ToIntegral<uint8_t>(*this); }
int16_t Variant::ToInteger() const { return ToIntegral<int16_t>(*this); }
int32_t Variant::ToLong() const { return ToIntegral<int32_t>(*this); }

float Variant::ToSingle() const {
  if (const float* f = GetIf<float>()) return *f;
  const double value = AsDouble(*this);
  if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) {
    throw errors::Overflow(kSource);
  }
  return static_cast<float>(value);
}

double Variant::ToDouble() const { return AsDouble(*this); }

std::string Variant::ToString() const {
  switch (kind()) {
    case Kind::Empty: return {};
    case Kind::Boolean: return *GetIf<bool>() ? "True" : "False";
    case Kind::Byte: return std::to_string(*GetIf<uint8_t>());
    case Kind::Integer: return std::to_string(*GetIf<int16_t>());
    case Kind::Long: return std::to_string(*GetIf<int32_t>());
    case Kind::Single: {
      const float value = *GetIf<float>();
      if (!std::isfinite(value)) return FormatDouble(value);
      char buffer[32];
      const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
      return std::string(buffer, end);
    }
    case Kind::Double: return FormatDouble(*GetIf<double>());
    case Kind::String: return *GetIf<std::string>();
    case Kind::Bytes: {
      const ByteArray& bytes = *GetIf<ByteArray>();
      return std::string(bytes.begin(), bytes.end());
    }
    default: throw errors::TypeMismatch(kSource);
  }
}

ByteArray Variant::ToBytes() const {
  if (const ByteArray* bytes = GetIf<ByteArray>()) return *bytes;
  if (const std::string* text = GetIf<std::string>()) return ByteArray(text->begin(), text->end());
  if (IsEmpty()) return {};
  throw errors::TypeMismatch(kSource);
}

ObjectPtr Variant::ToObject() const {
  if (const ObjectPtr* object = GetIf<ObjectPtr>()) return *object;
  throw errors::TypeMismatch(kSource);
}

XmlNode Variant::ToNode() const {
  if (const XmlNode* node = GetIf<XmlNode>()) return *node;
  if (IsNothing()) return XmlNode();
  throw errors::TypeMismatch(kSource);
}

}  // namespace vexlo9
