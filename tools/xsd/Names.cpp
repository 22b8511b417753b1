#include "Names.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace vexlo9::xsd {

namespace {

// Keywords, alternative tokens, and names the standard headers or the compiler may define as macros.
constexpr std::string_view kReserved[] = {
    "EOF",          "FALSE",
    "NULL",         "TRUE",
    "alignas",      "alignof",
    "and",          "and_eq",
    "asm",          "assert",
    "auto",         "bitand",
    "bitor",        "bool",
    "break",        "case",
    "catch",        "char",
    "char16_t",     "char32_t",
    "char8_t",      "class",
    "co_await",     "co_return",
    "co_yield",     "compl",
    "concept",      "const",
    "const_cast",   "consteval",
    "constexpr",    "constinit",
    "continue",     "decltype",
    "default",      "delete",
    "do",           "double",
    "dynamic_cast", "else",
    "enum",         "errno",
    "explicit",     "export",
    "extern",       "false",
    "final",        "float",
    "for",          "friend",
    "goto",         "i386",
    "if",           "import",
    "inline",       "int",
    "int16_t",      "int32_t",
    "int64_t",      "int8_t",
    "linux",        "long",
    "major",        "minor",
    "module",       "mutable",
    "namespace",    "new",
    "noexcept",     "not",
    "not_eq",       "nullptr",
    "offsetof",     "operator",
    "or",           "or_eq",
    "override",     "private",
    "protected",    "public",
    "register",     "reinterpret_cast",
    "requires",     "return",
    "setjmp",       "short",
    "signed",       "sizeof",
    "static",       "static_assert",
    "static_cast",  "std",
    "stderr",       "stdin",
    "stdout",       "struct",
    "switch",       "template",
    "this",         "thread_local",
    "throw",        "true",
    "try",          "typedef",
    "typeid",       "typename",
    "uint8_t",      "union",
    "unix",         "unsigned",
    "using",        "va_arg",
    "vexlo9",       "virtual",
    "void",         "volatile",
    "wchar_t",      "while",
    "xor",          "xor_eq",
};

bool IsReserved(std::string_view name) {
  return std::find(std::begin(kReserved), std::end(kReserved), name) != std::end(kReserved) ||
         (name.size() > 1 && name[0] == '_' && (std::isupper(static_cast<unsigned char>(name[1])) || name[1] == '_')) ||
         name.find("__") != std::string_view::npos;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Finish(std::string name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) name.insert(name.begin(), 'n');
  while (name.find("__") != std::string::npos) name.erase(name.find("__"), 1);
  if (IsReserved(name)) name += "Value";
  return name;
}

}  // namespace

std::string Identifier(std::string_view xmlName) {
  std::string name;
  for (const char c : xmlName) name += IsWordChar(c) ? c : '_';
  return Finish(std::move(name));
}

std::string TypeIdentifier(std::string_view xmlName) {
  std::string name;
  bool upper = true;
  for (const char c : xmlName) {
    if (!IsWordChar(c)) {
      upper = true;
      if (static_cast<unsigned char>(c) >= 0x80) name += '_';  // a character outside ASCII
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    upper = false;
  }
  return Finish(std::move(name));
}

std::string MemberIdentifier(std::string_view xmlName) {
  std::string name = Identifier(xmlName);
  name.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(name.front())));
  return Finish(std::move(name));
}

std::string NameScope::Claim(const std::string& wanted) {
  std::string name = wanted;
  for (int n = 2; taken_.count(name); ++n) {
    name = wanted + (std::isdigit(static_cast<unsigned char>(wanted.back())) ? "_" : "") + std::to_string(n);
  }
  taken_.insert(name);
  return name;
}

}  // namespace vexlo9::xsd
