#include "vexlo9/serialization/detail/TextValueInfo.h"

#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9::detail {

void TextValueInfo::Read(Object& oGenClass, XmlNode element) const {
  std::string joined;
  StoreValue(oGenClass, sPropertyName_,
             PerThread<ConversionsCls>()->FromString(eDataType_, ElementText(element, joined), eWSRule_));
}

void TextValueInfo::Write(Object& oGenClass, XmlTextWriter& oXmlOut, std::string_view sElementName) const {
  const PropertyText value(oGenClass, sPropertyName_, eDataType_, formatOverride_, sElementName, &primValues_);
  oXmlOut.WriteString(value.text());
}

void TextValueInfo::CheckRestriction(std::string_view sElementName, const Variant& val) const {
  Checks().CheckRestriction(sElementName, val, eDataType_, primValues_);
}

}  // namespace vexlo9::detail
