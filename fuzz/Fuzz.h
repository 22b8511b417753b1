#pragma once

// What the targets share: how a finding is reported, and the read-write-read-write property of documents.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/vexlo9.h"

namespace vexlo9::fuzz {

inline std::string_view Text(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

// Aborts, so that libFuzzer keeps the input as a crash, after printing what was written (and written again).
[[noreturn]] inline void Fail(std::string_view what, std::string_view written, std::string_view again = {}) {
  const auto print = [](const char* format, std::string_view text) {
    std::fprintf(stderr, format, static_cast<int>(text.size()), text.data());
  };
  print("FINDING: %.*s\n", what);
  print("--- written:\n%.*s\n", written);
  if (!again.empty()) print("--- written again:\n%.*s\n", again);
  std::fputs("---\n", stderr);
  std::abort();
}

[[noreturn]] inline void Fail(std::string_view what, const Error& e, std::string_view written) {
  Fail(std::string(what) + ": " + std::to_string(e.Number()) + " " + e.Source() + ": " + e.Description(), written);
}

// Namespace URIs are written as they are: one that needs escaping cannot round-trip, by the writing rules.
inline bool HasUriToEscape(const XmlNode& element) {
  for (const XmlAttribute attribute : element.attributes()) {
    if (attribute.IsNamespaceDeclaration() && attribute.value().find_first_of("&<\"") != std::string::npos) return true;
  }
  for (XmlNode child = element.firstChild(); child; child = child.nextSibling()) {
    if (child.nodeType() == XmlNodeType_Element && HasUriToEscape(child)) return true;
  }
  return false;
}

inline bool HasUriToEscape(std::string_view input) {
  XmlDocument document;
  return document.loadXML(input) && HasUriToEscape(document.documentElement());
}

// Objects are fresh for every input, so nothing read before can leak into what is written. Unformatted, since
// indentation comes back as text inside mixed content.
template <class T>
std::string Write(T& root, const XmlSerializationContextPtr& form) {
  try {
    return Global::XmlObjectBaseHelper()->ToXml(root, true, XmlFormatting_None, EOLType_LF, form);
  } catch (const Error& e) {
    Fail("a graph that was read cannot be written", e, "");
  }
}

// A document that reads must write a text that reads again and writes the same text. The form should escape CR
// and TAB: a parser normalises them when they are written as they are.
template <class T>
int RoundTrip(std::string_view input, const XmlSerializationContextPtr& form) {
  auto first = std::make_shared<T>();
  try {
    Global::XmlObjectBaseHelper()->FromXml(*first, input);
  } catch (const Error&) {
    return 0;
  }
  if (HasUriToEscape(input)) return 0;
  const std::string written = Write(*first, form);
  auto second = std::make_shared<T>();
  try {
    Global::XmlObjectBaseHelper()->FromXml(*second, written);
  } catch (const Error& e) {
    Fail("the written document does not read back", e, written);
  }
  const std::string again = Write(*second, form);
  if (again != written) Fail("written again, the text differs", written, again);
  return 0;
}

}  // namespace vexlo9::fuzz
