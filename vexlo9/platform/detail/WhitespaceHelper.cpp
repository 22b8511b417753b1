#include "vexlo9/platform/detail/WhitespaceHelper.h"

namespace vexlo9 {
namespace {

constexpr bool IsWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string WhitespaceHelper::Collapse(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  bool pendingBlank = false;
  for (const char c : text) {
    if (IsWhitespace(c)) {
      pendingBlank = !result.empty();
      continue;
    }
    if (pendingBlank) result += ' ';
    pendingBlank = false;
    result += c;
  }
  return result;
}

std::string WhitespaceHelper::Preserve(std::string_view text) { return std::string(text); }

std::string WhitespaceHelper::Replace(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (IsWhitespace(c)) c = ' ';
  }
  return result;
}

bool WhitespaceHelper::IsCollapsed(std::string_view text) noexcept {
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsWhitespace(text[i]) && (text[i] != ' ' || text[i + 1] == ' ')) return false;  // a blank is never last here
  }
  return true;
}

bool WhitespaceHelper::IsReplaced(std::string_view text) noexcept {
  for (const char c : text) {
    if (IsWhitespace(c) && c != ' ') return false;
  }
  return true;
}

}  // namespace vexlo9
