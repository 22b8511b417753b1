#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/platform/XmlDom.h"
#include "vexlo9/values/RestrictionChecks.h"

namespace vexlo9 {

class XmlGeneratedClassBase;

// A global element a document may start with, and how the class made for it is made: a schema's ReadDocument hands
// a table of these to the library (RootMakerOf), where the first row that fits the root element is taken.
struct RootClass {
  const char* element;
  const char* ns;
  const char* type;  // the root's xsi:type; null: whatever it names
  std::shared_ptr<XmlGeneratedClassBase> (*make)(std::string elementName);
};

enum XmlFormatting : int32_t {
  XmlFormatting_None = 1,
  XmlFormatting_Indented = 2,
};

// The document entry points and the shared helpers of generated code and
// descriptors: DOM walking, namespace restriction tests, choice and guard
// checks, the collection count test and the facet checks. One per thread,
// from Global::XmlObjectBaseHelper().
class VEXLO9_API XmlObjectBaseHelperCls : public Object, public RestrictionChecks {
 public:
  std::string TypeName() const override { return "XmlObjectBaseHelperCls"; }

  // Keeps a choice's selection (the selected member's name) consistent when a member is set.
  void Choice_SelectElement(std::string_view ChoiceItemName, const Variant& SelectedObject,
                            std::string& CurrentlySelectedElement) const;
  // Accepted and ignored: members that are not objects do not take part in the selection.
  void Choice_SetElementValid(bool bValid, std::string_view ElementName, std::string& CurrentlySelectedElement) const;
  void Choice_CollectionChanged(std::string_view PropteryName, int32_t ColCount,
                                std::string& CurrentlySelectedElement) const;
  void Throw_IfPropertyIsNull(const ObjectPtr& obj, std::string_view ObjectName) const;
  void Throw_IfInvalidSubstitution(const ObjectPtr& obj, std::string_view BaseName) const;
  void Throw_IfElementNameDiffers(const ObjectPtr& CurrentElement, std::string_view ElementName) const;
  // Reads a collection that is one alternative of a choice, unless an alternative was read already.
  void Choice_Read_Collection(XmlCollectionBase& col, XmlNode oXmlElmParent, XmlNode& oXmlElmChild,
                              int32_t& ElementsRead, const XmlSerializationContext& oContext) const;

  // Raises 106 unless namespaceToTest is allowed by the wildcard restriction.
  void TestNamespace(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                     std::string_view TargetNamespace) const;
  bool IsNamespaceValid(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                        std::string_view TargetNamespace) const;

  // The document as a string. Without a context the thread's default one is used.
  std::string ToXml(XmlObjectBase& xmlObj, bool includeDocHeader = true,
                    XmlFormatting formatting = XmlFormatting_Indented, EOLType EOL = EOLType_LF,
                    const XmlSerializationContextPtr& oContext = nullptr) const;
  void ToXmlFile(XmlObjectBase& xmlObj, const std::string& filename, bool includeDocHeader = true,
                 XmlFormatting formatting = XmlFormatting_Indented, XmlEncoding encoding = XmlEncoding_UTF8,
                 EOLType EOL = EOLType_CRLF, const XmlSerializationContextPtr& oContext = nullptr) const;
  // The document's bytes, or an empty Variant for an encoding outside the enumeration.
  Variant ToXmlStream(XmlObjectBase& xmlObj, bool includeDocHeader = true,
                      XmlFormatting formatting = XmlFormatting_Indented, XmlEncoding encoding = XmlEncoding_UTF8,
                      EOLType EOL = EOLType_LF, const XmlSerializationContextPtr& oContext = nullptr) const;
  void FromXml(XmlObjectBase& xmlObj, std::string_view xmlIn,
               const XmlSerializationContextPtr& oContext = nullptr) const;
  void FromXmlFile(XmlObjectBase& xmlObj, const std::string& filename,
                   const XmlSerializationContextPtr& oContext = nullptr) const;
  // A document whose root element decides the class, as a schema's global elements do: `newRoot` gives the object
  // for the root element, or nothing, which raises 105 naming the root. The text is parsed once.
  using RootMaker = std::function<std::shared_ptr<XmlObjectBase>(XmlNode root)>;
  std::shared_ptr<XmlObjectBase> ReadDocument(std::string_view xmlIn, const RootMaker& newRoot,
                                              const XmlSerializationContextPtr& oContext = nullptr) const;
  // The same from a file, decoded as FromXmlFile decodes it: by its byte-order mark and declaration.
  std::shared_ptr<XmlObjectBase> ReadDocumentFile(const std::string& filename, const RootMaker& newRoot,
                                                  const XmlSerializationContextPtr& oContext = nullptr) const;
  // The same from a document's bytes (as ToXmlStream gives them), decoded as a file's are.
  std::shared_ptr<XmlObjectBase> ReadDocumentStream(std::span<const uint8_t> bytes, const RootMaker& newRoot,
                                                    const XmlSerializationContextPtr& oContext = nullptr) const;

  // The next element after oElm among its siblings, or nothing.
  XmlNode MoveNextSiblingElement(XmlNode oElm) const;
  // oElm when it is an element, else the next element among its siblings, or nothing.
  XmlNode FindFirstSliblingElement(XmlNode oElm) const;
  // The element's own text and CDATA children, joined.
  std::string GetElementText(XmlNode oElm) const;
  // The local part of the element's schema-instance type attribute, or empty.
  std::string GetElementType(XmlNode oElmParent) const;

  // Raises 107 when the collection's Count breaks the bounds (maxOccurs -1: unbounded).
  void ValidateCountHelper(const XmlSerializationContext& oContext, Object& oCol, int32_t MinOccurs,
                           int32_t maxOccurs, std::string_view ElementName) const;

 private:
  template <class T>
  friend const std::shared_ptr<T>& detail::PerThread();
  XmlObjectBaseHelperCls() = default;
};

// The maker of ReadDocument that takes the first row of `roots` fitting the root element: its name, its namespace
// and, where the row names one, its xsi:type. The table must outlive the maker.
VEXLO9_API XmlObjectBaseHelperCls::RootMaker RootMakerOf(std::span<const RootClass> roots);

}  // namespace vexlo9
