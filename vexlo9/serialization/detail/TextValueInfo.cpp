#include "vexlo9/serialization/detail/TextValueInfo.h"

#include "vexlo9/collections/detail/QNames.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9::detail {

void TextValueInfo::Read(Object& oGenClass, XmlNode element, const ValueConstraint* constraint) const {
  std::string joined;
  const std::string_view text =
      constraint ? constraint->TextOf(oGenClass, sPropertyName_, element, joined) : ElementText(element, joined);
  Variant value = PerThread<ConversionsCls>()->FromString(eDataType_, text, eWSRule_);
  // A default stands as the schema spells it, with the schema's prefixes: it is kept as written.
  const bool defaulted = constraint && text.data() == constraint->Text().data();
  if (qname_ && !defaulted) value = Variant(ResolveQName(value.ToString(), element, element.baseName()));
  if (constraint && constraint->Fixed()) {
    const bool same = SameValue(eDataType_, value, ConstraintValue(eDataType_, *constraint, eWSRule_));
    CheckFixedValue(element.baseName(), text, constraint->Text(), same);
  }
  if (checkedOnRead_) CheckRestriction(element.baseName(), value);
  StoreValue(oGenClass, sPropertyName_, std::move(value));
}

void TextValueInfo::Write(Object& oGenClass, XmlTextWriter& oXmlOut, std::string_view sElementName,
                          const ValueConstraint* constraint) const {
  const PropertyText value(oGenClass, sPropertyName_, eDataType_, formatOverride_, sElementName, &primValues_);
  if (constraint && ValueConstraint::ReadEmpty(oGenClass, sPropertyName_) &&
      SameValue(eDataType_, GetMember(oGenClass, sPropertyName_), ConstraintValue(eDataType_, *constraint, eWSRule_))) {
    return;
  }
  oXmlOut.WriteString(qname_ ? QNameText(oXmlOut, value.text(), sElementName) : value.text());
}

void TextValueInfo::CheckRestriction(std::string_view sElementName, const Variant& val) const {
  Checks().CheckRestriction(sElementName, val, eDataType_, primValues_);
  CheckUnion(sElementName, val, members_);
}

}  // namespace vexlo9::detail
