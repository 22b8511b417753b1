#include "vexlo9/serialization/detail/Documents.h"

#include <utility>

#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/output/detail/NamespaceUtilsCls.h"
#include "vexlo9/platform/Error.h"
#include "vexlo9/platform/detail/DomWalk.h"

namespace vexlo9::detail {

std::string WriteDocument(XmlObjectBase& object, const DocumentLayout& layout, const XmlSerializationContext& context) {
  // Documents written one after another tend to be alike: the buffer starts as large as the last one ended.
  thread_local size_t lastBytes = 0;
  const std::unique_ptr<XmlTextWriter> writer = NewXmlTextWriter(lastBytes + lastBytes / 16);
  writer->Format(layout.formatting == XmlFormatting_Indented);
  writer->EOL(layout.eol);
  writer->EscapeNormalizedCharacters(context.EscapeNormalizedCharacters());
  writer->MaxDepth(context.MaxDepth());
  if (layout.header) writer->WriteStartDocument(layout.encoding);
  object.ToXmlInt(*writer, true, object.TargetNamespace(), context, false);
  if (layout.header) writer->WriteEndDocument();
  std::string xml = TakeXml(*writer);
  lastBytes = xml.size();
  // A much smaller document than the last keeps no more memory than it needs.
  if (xml.capacity() > 2 * xml.size() + 4096) xml.shrink_to_fit();
  return xml;
}

namespace {

// Kept on the object as stored text, so that a document written back names the same schemas.
void KeepSchemaLocations(XmlObjectBase& object, XmlNode root) {
  XmlGeneratedClass* const generated = object.AsXmlGeneratedClass();
  if (!generated) return;
  XmlGeneratedClass::SchemaLocationList locations;
  for (const XmlAttribute attribute : root.attributes()) {
    if (NamespaceUtilsCls::IsSchemaLocationAttribute(attribute)) {
      locations.emplace_back(attribute.baseName(), attribute.value());
    }
  }
  generated->SchemaLocations(std::move(locations));
}

}  // namespace

void ReadDocument(XmlObjectBase& object, XmlDocument&& document, const XmlSerializationContext& context) {
  const XmlNode root = document.documentElement();
  try {
    const ReadingOwnTree own(document);
    object.FromXmlInt(root, FirstChildElement(root), context, false);
  } catch (Error& e) {
    e.Locate(root.line());  // what no reader placed nearer
    throw;
  }
  KeepSchemaLocations(object, root);
}

}  // namespace vexlo9::detail
