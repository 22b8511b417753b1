#include "vexlo9/Documents.h"

#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/serialization/detail/Documents.h"

namespace vexlo9 {

std::string Write(const XmlObjectBase& object, const WriteOptions& options) {
  const XmlSerializationContext& context = options.context.Get();
  return errors::ErrorsOnly("Write", [&] {
    // Writing reads the object through its getters, which the member tables take only as const member functions,
    // and changes nothing; the interfaces it passes through are not const-qualified, so the object is cast here.
    auto& read = const_cast<XmlObjectBase&>(object);
    return detail::WriteDocument(read, {options.header, options.formatting, XmlEncoding_UNICODE, options.eol}, context);
  });
}

void ReadInto(XmlObjectBase& object, std::string_view xml, const ReadOptions& options) {
  const XmlSerializationContext& context = options.context.Get();
  errors::ErrorsOnly(
      "ReadInto", [&] { detail::ReadDocument(object, detail::LoadDocument(xml, detail::LimitsOf(context)), context); });
}

void detail::ReadFileInto(XmlObjectBase& object, const std::string& fileName, const ReadOptions& options) {
  const XmlSerializationContext& context = options.context.Get();
  errors::ErrorsOnly("ReadFile", [&] {
    detail::ReadDocument(object, detail::LoadDocumentFile(fileName, detail::LimitsOf(context)), context);
  });
}

}  // namespace vexlo9
