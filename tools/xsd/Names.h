#pragma once

#include <set>
#include <string>
#include <string_view>

namespace vexlo9::xsd {

// A valid C++ identifier made from an XML name: characters an identifier cannot hold become '_', a leading digit
// gets one in front, and a keyword or reserved name gets one behind.
std::string Identifier(std::string_view xmlName);
// The same, as a type name: parts split at '-' and '.' are joined, each starting in upper case.
std::string TypeIdentifier(std::string_view xmlName);
// The XML name with its first letter in lower case, for a member named after a type or group.
std::string MemberIdentifier(std::string_view xmlName);

// The names taken in one scope. A name asked for twice gets a number: the second "item" is "item2". Names are
// claimed in a fixed order, so the same schema always gives the same names.
class NameScope {
 public:
  NameScope() = default;
  explicit NameScope(std::set<std::string> reserved) : taken_(std::move(reserved)) {}

  std::string Claim(const std::string& wanted);
  void Reserve(const std::string& name) { taken_.insert(name); }
  bool Taken(const std::string& name) const { return taken_.count(name) != 0; }

 private:
  std::set<std::string> taken_;
};

}  // namespace vexlo9::xsd
