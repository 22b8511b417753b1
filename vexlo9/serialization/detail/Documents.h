#pragma once

#include <string>

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/Forward.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/XmlDom.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

// Whole documents written and read, once for the published entry points and the front door alike; each caller
// adds its own name to what escapes as a foreign error.
namespace vexlo9::detail {

struct DocumentLayout {
  bool header = true;
  XmlFormatting formatting = XmlFormatting_Indented;
  XmlEncoding encoding = XmlEncoding_UNICODE;  // as named in the declaration; XmlEncoding_UNICODE names none
  EOLType eol = EOLType_LF;
};

// The text of the document the object makes as the root element, in its own target namespace.
std::string WriteDocument(XmlObjectBase& object, const DocumentLayout& layout, const XmlSerializationContext& context);
// Reads the document, the reader's own, into the object; an error is placed at the root's line when no reader placed
// it nearer. The nodes it has passed may be released as it goes (ReadingOwnTree).
void ReadDocument(XmlObjectBase& object, XmlDocument&& document, const XmlSerializationContext& context);

}  // namespace vexlo9::detail
