#pragma once

#include <string>
#include <string_view>

#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9::detail {

// The text of an element of simple content as one typed value, held in a property of its class beside the
// attributes: read from the element's text, checked against its facets, and written as the element's text.
class TextValueInfo final {
 public:
  TextValueInfo(std::string sPropertyName, XmlDataType eDataType, std::string FormatOverride, WhitespaceRule eWSRule,
                PrimitiveRestrictions primValues, UnionRules members, bool qname)
      : sPropertyName_(std::move(sPropertyName)),
        eDataType_(eDataType),
        formatOverride_(std::move(FormatOverride)),
        eWSRule_(eWSRule),
        primValues_(std::move(primValues)),
        members_(std::move(members)),
        qname_(qname),
        checkedOnRead_(sPropertyName_ == "Text") {}

  std::string_view PropertyName() const noexcept { return sPropertyName_; }
  // An empty element takes the default of `constraint`, the element's (none: no default).
  void Read(Object& oGenClass, XmlNode element, const ValueConstraint* constraint) const;
  // Writes the value as text into the open element `sElementName` (named by a facet violation); nothing when it was
  // read empty and holds the default of `constraint` still.
  void Write(Object& oGenClass, XmlTextWriter& oXmlOut, std::string_view sElementName,
             const ValueConstraint* constraint) const;
  void CheckRestriction(std::string_view sElementName, const Variant& val) const;

 private:
  MemberName sPropertyName_;
  XmlDataType eDataType_;
  std::string formatOverride_;
  WhitespaceRule eWSRule_;
  PrimitiveRestrictions primValues_;
  UnionRules members_;  // a union's member types, or none
  bool qname_;          // held as {namespace}local
  // Text's setter checks nothing (a restriction over a base held as text declares it): the reader checks instead.
  bool checkedOnRead_;
};

}  // namespace vexlo9::detail
