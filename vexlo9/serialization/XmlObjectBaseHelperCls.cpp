#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

#include "vexlo9/model/Global.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/ConversionUtils.h"
#include "vexlo9/platform/FileWriters.h"

namespace vexlo9 {
namespace {

const XmlSerializationContext& ContextOrDefault(const XmlSerializationContextPtr& context) {
  return context ? *context : *Global::DefaultXmlSerializationContext();
}

}  // namespace

// ---- choice and guard helpers

void XmlObjectBaseHelperCls::Choice_SelectElement(std::string_view ChoiceItemName, const Variant& SelectedObject,
                                                  std::string& CurrentlySelectedElement) const {
  const bool present = !(SelectedObject.IsNothing() || SelectedObject.IsEmpty());
  if (ChoiceItemName == CurrentlySelectedElement) {
    if (SelectedObject.IsNothing()) CurrentlySelectedElement.clear();
  } else if (CurrentlySelectedElement.empty()) {
    if (present) CurrentlySelectedElement.assign(ChoiceItemName);
  } else if (present) {
    throw Error(104, "Choice_SelectElement",
                "The Property [" + CurrentlySelectedElement +
                    "] is already set. Only one element within this class bay be set at a time");
  }
}

void XmlObjectBaseHelperCls::Choice_SetElementValid(bool, std::string_view, std::string&) const {}

void XmlObjectBaseHelperCls::Choice_CollectionChanged(std::string_view PropteryName, int32_t ColCount,
                                                      std::string& CurrentlySelectedElement) const {
  if (PropteryName == CurrentlySelectedElement) {
    if (ColCount == 0) CurrentlySelectedElement.clear();
  } else if (CurrentlySelectedElement.empty()) {
    if (ColCount > 0) CurrentlySelectedElement.assign(PropteryName);
  } else if (ColCount != 0) {
    throw Error(104, "Choice_CollectionChanged",
                "The Property " + CurrentlySelectedElement +
                    " is already set. Only one element within this class bay be set at a time");
  }
}

void XmlObjectBaseHelperCls::Throw_IfPropertyIsNull(const ObjectPtr& obj, std::string_view ObjectName) const {
  if (!obj) {
    throw Error(105, "Throw_IfPropertyIsNull",
                "The Property [" + std::string(ObjectName) + "] is mandatory, it may node be null");
  }
}

void XmlObjectBaseHelperCls::Throw_IfInvalidSubstitution(const ObjectPtr& obj, std::string_view BaseName) const {
  if (!obj) throw Error::ObjectNotSet("Throw_IfInvalidSubstitution");
  const auto* base = dynamic_cast<const XmlObjectBase*>(obj.get());
  if (!base) throw Error::TypeMismatch("Throw_IfInvalidSubstitution");
  if (!base->IsSuitableSubstitution(BaseName)) {
    throw Error(105, "Throw_IfInvalidSubstitution",
                "It is not posible to place the object [" + obj->TypeName() +
                    "] in this property. It must be derived from [" + std::string(BaseName) + "] in the XML Schema");
  }
}

void XmlObjectBaseHelperCls::Throw_IfElementNameDiffers(const ObjectPtr& CurrentElement,
                                                        std::string_view ElementName) const {
  if (!CurrentElement) return;
  const auto* base = dynamic_cast<const XmlObjectBase*>(CurrentElement.get());
  if (!base) throw Error::TypeMismatch("Throw_IfElementNameDiffers");
  if (base->ElementName() != ElementName) {
    throw Error(105, "Throw_IfElementNameDiffers",
                "This property requrires an element with the name " + std::string(ElementName) +
                    " the element being set has the element name " + std::string(base->ElementName()));
  }
}

void XmlObjectBaseHelperCls::Choice_Read_Collection(XmlCollectionBase& col, XmlNode oXmlElmParent,
                                                    XmlNode& oXmlElmChild, int32_t& ElementsRead,
                                                    const XmlSerializationContext& oContext) const {
  if (ElementsRead >= 1) return;
  auto* base = dynamic_cast<XmlObjectBase*>(&col);
  if (!base) throw Error::TypeMismatch("Choice_Read_Collection");
  const XmlNode next = base->FromXmlInt(oXmlElmParent, oXmlElmChild, oContext, false);
  if (next != oXmlElmChild) {
    oXmlElmChild = next;
    col.ValidateCount(oContext);
    ++ElementsRead;
  }
}

void XmlObjectBaseHelperCls::ValidateCountHelper(const XmlSerializationContext& oContext, Object& oCol,
                                                 int32_t MinOccurs, int32_t maxOccurs,
                                                 std::string_view ElementName) const {
  if (oContext.IgnoreInvalidCollectionCounts()) return;
  const int32_t count = oCol.GetProperty("Count").ToLong();
  if (maxOccurs != -1 && count > maxOccurs) {
    throw Error(107, "XmlCollectionBase_ValidateCount",
                "The Maximum number of [" + std::string(ElementName) + "] elements allowed in this collection is " +
                    std::to_string(maxOccurs));
  }
  if (count < MinOccurs) {
    throw Error(107, "XmlCollectionBase_ValidateCount",
                "The Minimum number of [" + std::string(ElementName) + "] elements allowed in this collection is " +
                    std::to_string(MinOccurs));
  }
}

// ---- namespace restriction tests

bool XmlObjectBaseHelperCls::IsNamespaceValid(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                                              std::string_view TargetNamespace) const {
  if (namespaceRestriction.empty()) return true;
  size_t start = 0;
  for (;;) {
    const size_t blank = namespaceRestriction.find(' ', start);
    const std::string_view token = namespaceRestriction.substr(start, blank - start);
    if (token == "##any") return true;
    if (token == "##other") {
      if (namespaceToTest != TargetNamespace) return true;
    } else if (token == "##local") {
      if (namespaceToTest.empty()) return true;
    } else if (token == "##targetNamespace") {
      if (namespaceToTest == TargetNamespace) return true;
    } else if (token == namespaceToTest) {
      return true;
    }
    if (blank == std::string_view::npos) return false;
    start = blank + 1;
  }
}

void XmlObjectBaseHelperCls::TestNamespace(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                                           std::string_view TargetNamespace) const {
  if (!IsNamespaceValid(namespaceToTest, namespaceRestriction, TargetNamespace)) {
    throw Error(106, "TestNamespace",
                "Invalid namespace [" + std::string(namespaceToTest) + "]. The namespace must be one of [" +
                    std::string(namespaceRestriction) + "] where the target namespace is [" +
                    std::string(TargetNamespace) + "]");
  }
}

// ---- document entry points

std::string XmlObjectBaseHelperCls::Write(XmlObjectBase& xmlObj, bool includeDocHeader, XmlFormatting formatting,
                                          XmlEncoding encoding, EOLType EOL,
                                          const XmlSerializationContextPtr& oContext) const {
  const XmlSerializationContext& context = ContextOrDefault(oContext);
  const std::unique_ptr<XmlTextWriter> writer = detail::NewXmlTextWriter();
  writer->Format(formatting == XmlFormatting_Indented);
  writer->EOL(EOL);
  if (includeDocHeader) writer->WriteStartDocument(encoding);
  xmlObj.ToXmlInt(*writer, true, xmlObj.TargetNamespace(), context, false);
  if (includeDocHeader) writer->WriteEndDocument();
  return writer->Xml();
}

std::string XmlObjectBaseHelperCls::ToXml(XmlObjectBase& xmlObj, bool includeDocHeader, XmlFormatting formatting,
                                          EOLType EOL, const XmlSerializationContextPtr& oContext) const {
  return Write(xmlObj, includeDocHeader, formatting, XmlEncoding_UNICODE, EOL, oContext);
}

void XmlObjectBaseHelperCls::ToXmlFile(XmlObjectBase& xmlObj, const std::string& filename, bool includeDocHeader,
                                       XmlFormatting formatting, XmlEncoding encoding, EOLType EOL,
                                       const XmlSerializationContextPtr& oContext) const {
  if (encoding == XmlEncoding_NONE) {
    throw Error(6, "ToXmlFile", "Encoding type XmlEncoding_NONE is not valid, select a valid encoding (ie UTF-8)");
  }
  const std::string xml = Write(xmlObj, includeDocHeader, formatting, encoding, EOL, oContext);
  if (encoding == XmlEncoding_UTF8) {
    BinaryFileWriter file;
    file.Open(filename, 2);
    file.Write(ConversionUtils::ToUtf8Bytes(xml));
    file.Close();
  } else if (encoding == XmlEncoding_UTF16 || encoding == XmlEncoding_UNICODE) {
    TextFileWriter file;
    file.Open(filename, 2);
    file.Write(xml);
    file.Close();
  }
}

Variant XmlObjectBaseHelperCls::ToXmlStream(XmlObjectBase& xmlObj, bool includeDocHeader, XmlFormatting formatting,
                                            XmlEncoding encoding, EOLType EOL,
                                            const XmlSerializationContextPtr& oContext) const {
  if (encoding == XmlEncoding_NONE) {
    throw Error(6, "ToXmlStream", "Encoding type XmlEncoding_NONE is not valid, select a valid encoding (ie UTF-8)");
  }
  const std::string xml = Write(xmlObj, includeDocHeader, formatting, encoding, EOL, oContext);
  if (encoding == XmlEncoding_UTF8) return Variant(ConversionUtils::ToUtf8Bytes(xml));
  if (encoding == XmlEncoding_UTF16 || encoding == XmlEncoding_UNICODE) {
    return Variant(ConversionUtils::ToUtf16Bytes(xml));
  }
  return Variant();
}

void XmlObjectBaseHelperCls::Read(XmlObjectBase& xmlObj, XmlDocument& document,
                                  const XmlSerializationContextPtr& oContext) const {
  const XmlSerializationContext& context = ContextOrDefault(oContext);
  const XmlNode root = document.documentElement();
  const XmlNode firstChild = FindFirstSliblingElement(root.firstChild());
  xmlObj.FromXmlInt(root, firstChild, context, false);
}

void XmlObjectBaseHelperCls::FromXml(XmlObjectBase& xmlObj, std::string_view xmlIn,
                                     const XmlSerializationContextPtr& oContext) const {
  XmlDocument document;
  document.validateOnParse(false);
  document.preserveWhiteSpace(true);
  if (!document.loadXML(xmlIn)) {
    throw Error(103, "XmlObjectBase", std::string("Failed to parse XML") + kCrLf + document.parseError().reason());
  }
  Read(xmlObj, document, oContext);
}

void XmlObjectBaseHelperCls::FromXmlFile(XmlObjectBase& xmlObj, const std::string& filename,
                                         const XmlSerializationContextPtr& oContext) const {
  XmlDocument document;
  document.validateOnParse(false);
  document.preserveWhiteSpace(true);
  if (!document.load(filename)) {
    const XmlParseError& error = document.parseError();
    std::string text = std::string("Failed to parse XML") + kCrLf;
    if (error.errorCode() == XmlParseError::kFileNotFound) {
      text += "The File [" + filename + "] could not be found" + kCrLf;
    }
    throw Error(103, "XmlObjectBase", text + error.reason());
  }
  Read(xmlObj, document, oContext);
}

// ---- DOM walking

XmlNode XmlObjectBaseHelperCls::MoveNextSiblingElement(XmlNode oElm) const {
  if (!oElm) return XmlNode();
  return FindFirstSliblingElement(oElm.nextSibling());
}

XmlNode XmlObjectBaseHelperCls::FindFirstSliblingElement(XmlNode oElm) const {
  while (oElm && oElm.nodeType() != XmlNodeType_Element) oElm = oElm.nextSibling();
  return oElm;
}

std::string XmlObjectBaseHelperCls::GetElementText(XmlNode oElm) const {
  std::string text;
  for (const XmlNode child : oElm.childNodes()) {
    const int32_t type = child.nodeType();
    if (type == XmlNodeType_Text || type == XmlNodeType_CData) text.append(child.nodeValue());
  }
  return text;
}

std::string XmlObjectBaseHelperCls::GetElementType(XmlNode oElmParent) const {
  const XmlAttribute type = oElmParent.getQualifiedItem("type", detail::kSchemaInstanceNamespace);
  if (!type) return {};
  std::string value = type.value();
  const size_t colon = value.find(':');
  if (colon != std::string::npos) value.erase(0, colon + 1);
  return value;
}

}  // namespace vexlo9
