#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/detail/NamespaceRestriction.h"
#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/FileWriters.h"
#include "vexlo9/serialization/XmlGeneratedClassBase.h"
#include "vexlo9/serialization/detail/Documents.h"

namespace vexlo9 {
namespace {

const XmlSerializationContext& ContextOrDefault(const XmlSerializationContextPtr& context) {
  return context ? *context : *detail::PerThread<XmlSerializationContext>();
}

// The object the root element asks for, read from the document; 105 when there is none.
std::shared_ptr<XmlObjectBase> ReadRoot(XmlDocument&& document, const XmlObjectBaseHelperCls::RootMaker& newRoot,
                                        const XmlSerializationContext& context) {
  const XmlNode root = document.documentElement();
  std::shared_ptr<XmlObjectBase> object = newRoot(root);
  if (!object) {
    throw errors::UnknownRoot("{" + std::string(root.namespaceURI()) + "}" + std::string(root.baseName()));
  }
  detail::ReadDocument(*object, std::move(document), context);
  return object;
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
    throw errors::ChoiceAlreadySet(CurrentlySelectedElement);
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
    throw errors::ChoiceCollectionAlreadySet(CurrentlySelectedElement);
  }
}

void XmlObjectBaseHelperCls::Throw_IfPropertyIsNull(const ObjectPtr& obj, std::string_view ObjectName) const {
  if (!obj) throw errors::PropertyIsNull(ObjectName);
}

void XmlObjectBaseHelperCls::Throw_IfInvalidSubstitution(const ObjectPtr& obj, std::string_view BaseName) const {
  if (!obj) throw errors::ObjectNotSet("Throw_IfInvalidSubstitution");
  const XmlObjectBase* base = obj->AsXmlObjectBase();
  if (!base) throw errors::TypeMismatch("Throw_IfInvalidSubstitution");
  if (!base->IsSuitableSubstitution(BaseName)) {
    throw errors::InvalidSubstitution(obj->TypeName(), BaseName);
  }
}

void XmlObjectBaseHelperCls::Throw_IfElementNameDiffers(const ObjectPtr& CurrentElement,
                                                        std::string_view ElementName) const {
  if (!CurrentElement) return;
  const XmlObjectBase* base = CurrentElement->AsXmlObjectBase();
  if (!base) throw errors::TypeMismatch("Throw_IfElementNameDiffers");
  if (base->ElementName() != ElementName) {
    throw errors::ElementNameDiffers(ElementName, base->ElementName());
  }
}

void XmlObjectBaseHelperCls::Choice_Read_Collection(XmlCollectionBase& col, XmlNode oXmlElmParent,
                                                    XmlNode& oXmlElmChild, int32_t& ElementsRead,
                                                    const XmlSerializationContext& oContext) const {
  if (ElementsRead >= 1) return;
  XmlObjectBase* base = col.AsXmlObjectBase();
  if (!base) throw errors::TypeMismatch("Choice_Read_Collection");
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
  detail::CheckCount(oContext, oCol.GetProperty("Count").ToLong(), MinOccurs, maxOccurs, ElementName);
}

// ---- namespace restriction tests

bool XmlObjectBaseHelperCls::IsNamespaceValid(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                                              std::string_view TargetNamespace) const {
  return detail::IsNamespaceValid(namespaceToTest, namespaceRestriction, TargetNamespace);
}

void XmlObjectBaseHelperCls::TestNamespace(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                                           std::string_view TargetNamespace) const {
  detail::TestNamespace(namespaceToTest, namespaceRestriction, TargetNamespace);
}

// ---- document entry points

std::string XmlObjectBaseHelperCls::ToXml(XmlObjectBase& xmlObj, bool includeDocHeader, XmlFormatting formatting,
                                          EOLType EOL, const XmlSerializationContextPtr& oContext) const {
  return errors::ErrorsOnly("ToXml", [&] {
    return detail::WriteDocument(xmlObj, {includeDocHeader, formatting, XmlEncoding_UNICODE, EOL},
                                 ContextOrDefault(oContext));
  });
}

void XmlObjectBaseHelperCls::ToXmlFile(XmlObjectBase& xmlObj, const std::string& filename, bool includeDocHeader,
                                       XmlFormatting formatting, XmlEncoding encoding, EOLType EOL,
                                       const XmlSerializationContextPtr& oContext) const {
  if (encoding == XmlEncoding_NONE) throw errors::EncodingNone("ToXmlFile");
  errors::ErrorsOnly("ToXmlFile", [&] {
    const std::string xml =
        detail::WriteDocument(xmlObj, {includeDocHeader, formatting, encoding, EOL}, ContextOrDefault(oContext));
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
  });
}

Variant XmlObjectBaseHelperCls::ToXmlStream(XmlObjectBase& xmlObj, bool includeDocHeader, XmlFormatting formatting,
                                            XmlEncoding encoding, EOLType EOL,
                                            const XmlSerializationContextPtr& oContext) const {
  if (encoding == XmlEncoding_NONE) throw errors::EncodingNone("ToXmlStream");
  return errors::ErrorsOnly("ToXmlStream", [&] {
    const std::string xml =
        detail::WriteDocument(xmlObj, {includeDocHeader, formatting, encoding, EOL}, ContextOrDefault(oContext));
    if (encoding == XmlEncoding_UTF8) return Variant(ConversionUtils::ToUtf8Bytes(xml));
    if (encoding == XmlEncoding_UTF16 || encoding == XmlEncoding_UNICODE) {
      return Variant(ConversionUtils::ToUtf16Bytes(xml));
    }
    return Variant();
  });
}

void XmlObjectBaseHelperCls::FromXml(XmlObjectBase& xmlObj, std::string_view xmlIn,
                                     const XmlSerializationContextPtr& oContext) const {
  const XmlSerializationContext& context = ContextOrDefault(oContext);
  errors::ErrorsOnly("FromXml", [&] {
    detail::ReadDocument(xmlObj, detail::LoadDocument(xmlIn, detail::LimitsOf(context)), context);
  });
}

void XmlObjectBaseHelperCls::FromXmlFile(XmlObjectBase& xmlObj, const std::string& filename,
                                         const XmlSerializationContextPtr& oContext) const {
  const XmlSerializationContext& context = ContextOrDefault(oContext);
  errors::ErrorsOnly("FromXmlFile", [&] {
    detail::ReadDocument(xmlObj, detail::LoadDocumentFile(filename, detail::LimitsOf(context)), context);
  });
}

std::shared_ptr<XmlObjectBase> XmlObjectBaseHelperCls::ReadDocument(std::string_view xmlIn, const RootMaker& newRoot,
                                                                    const XmlSerializationContextPtr& oContext) const {
  const XmlSerializationContext& context = ContextOrDefault(oContext);
  return errors::ErrorsOnly("ReadDocument", [&] {
    return ReadRoot(detail::LoadDocument(xmlIn, detail::LimitsOf(context)), newRoot, context);
  });
}

std::shared_ptr<XmlObjectBase> XmlObjectBaseHelperCls::ReadDocumentFile(
    const std::string& filename, const RootMaker& newRoot, const XmlSerializationContextPtr& oContext) const {
  const XmlSerializationContext& context = ContextOrDefault(oContext);
  return errors::ErrorsOnly("ReadDocumentFile", [&] {
    return ReadRoot(detail::LoadDocumentFile(filename, detail::LimitsOf(context)), newRoot, context);
  });
}

std::shared_ptr<XmlObjectBase> XmlObjectBaseHelperCls::ReadDocumentStream(
    std::span<const uint8_t> bytes, const RootMaker& newRoot, const XmlSerializationContextPtr& oContext) const {
  const XmlSerializationContext& context = ContextOrDefault(oContext);
  return errors::ErrorsOnly("ReadDocumentStream", [&] {
    return ReadRoot(detail::LoadDocumentBytes(bytes, detail::LimitsOf(context)), newRoot, context);
  });
}

// ---- DOM walking

XmlNode XmlObjectBaseHelperCls::MoveNextSiblingElement(XmlNode oElm) const { return detail::NextSiblingElement(oElm); }

XmlNode XmlObjectBaseHelperCls::FindFirstSliblingElement(XmlNode oElm) const { return detail::FirstElementFrom(oElm); }

std::string XmlObjectBaseHelperCls::GetElementText(XmlNode oElm) const { return detail::ElementText(oElm); }

std::string XmlObjectBaseHelperCls::GetElementType(XmlNode oElmParent) const { return detail::ElementType(oElmParent); }

XmlObjectBaseHelperCls::RootMaker RootMakerOf(std::span<const RootClass> roots) {
  return [roots](XmlNode root) -> std::shared_ptr<XmlObjectBase> {
    const std::string_view name = root.baseName();
    const std::string_view ns = root.namespaceURI();
    const std::string type = detail::ElementType(root);
    for (const RootClass& row : roots) {
      if (name == row.element && ns == row.ns && (!row.type || type == row.type)) return row.make(std::string(name));
    }
    return nullptr;
  };
}

}  // namespace vexlo9
