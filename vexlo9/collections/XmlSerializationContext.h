#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/output/NamespaceAliasMap.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9 {

// How element and attribute names are matched.
enum SchemaType : int32_t {
  SchemaType_XSD = 0,
  SchemaType_XDR = 1,  // behaves as XSD
  SchemaType_DTD = 2,  // qualified names as written; namespaces ignored
};

// The options of one read or write, handed unchanged through every level of
// the object graph. The library only reads it.
class VEXLO9_API XmlSerializationContext : public Object {
 public:
  XmlSerializationContext();
  ~XmlSerializationContext() override;
  XmlSerializationContext(const XmlSerializationContext&) = delete;
  XmlSerializationContext& operator=(const XmlSerializationContext&) = delete;

  std::string TypeName() const override { return "XmlSerializationContext"; }

  // Prefixes declared on the root element. Made on the first change, so that a context that sets only switches
  // allocates nothing; read before that, it is empty.
  NamespaceAliasMap& NamespaceAliases();
  const NamespaceAliasMap& NamespaceAliases() const;
  // Extra attributes written on the root element before the object's own; made on the first change, likewise.
  AttributeCol& AdditionalRootAttributes();
  const AttributeCol& AdditionalRootAttributes() const;
  // Written verbatim, each followed by a line end, before the root element.
  std::vector<std::string>& ProcessingInstructions() noexcept { return processingInstructions_; }
  const std::vector<std::string>& ProcessingInstructions() const noexcept { return processingInstructions_; }

  const std::string& DefaultNamespaceURI() const noexcept { return defaultNamespaceURI_; }
  void DefaultNamespaceURI(std::string value) { defaultNamespaceURI_ = std::move(value); }
  bool WriteTypeAttribute() const noexcept { return writeTypeAttribute_; }
  void WriteTypeAttribute(bool value) noexcept { writeTypeAttribute_ = value; }
  bool IgnoreInvalidCollectionCounts() const noexcept { return ignoreInvalidCollectionCounts_; }
  void IgnoreInvalidCollectionCounts(bool value) noexcept { ignoreInvalidCollectionCounts_ = value; }
  bool IgnoreMissingChoice() const noexcept { return ignoreMissingChoice_; }
  void IgnoreMissingChoice(bool value) noexcept { ignoreMissingChoice_ = value; }
  bool IgnoreMissingMandatoryElements() const noexcept { return ignoreMissingMandatoryElements_; }
  void IgnoreMissingMandatoryElements(bool value) noexcept { ignoreMissingMandatoryElements_ = value; }
  bool IgnoreUnknownElements() const noexcept { return ignoreUnknownElements_; }
  void IgnoreUnknownElements(bool value) noexcept { ignoreUnknownElements_ = value; }
  bool IgnoreUnknownAttributes() const noexcept { return ignoreUnknownAttributes_; }
  void IgnoreUnknownAttributes(bool value) noexcept { ignoreUnknownAttributes_ = value; }
  // Always true under SchemaType_DTD, whatever was stored.
  bool IgnoreNamespaces() const noexcept { return schemaType_ == SchemaType_DTD || ignoreNamespaces_; }
  void IgnoreNamespaces(bool value) noexcept { ignoreNamespaces_ = value; }
  bool NoOptionalAttributeDefaultOutput() const noexcept { return noOptionalAttributeDefaultOutput_; }
  void NoOptionalAttributeDefaultOutput(bool value) noexcept { noOptionalAttributeDefaultOutput_ = value; }
  vexlo9::SchemaType SchemaType() const noexcept { return schemaType_; }
  void SchemaType(vexlo9::SchemaType value) noexcept { schemaType_ = value; }
  // Written raw inside the root element, right after its start tag.
  const std::string& InlineSchema() const noexcept { return inlineSchema_; }
  void InlineSchema(std::string value) { inlineSchema_ = std::move(value); }

  // Limits on what a document being read may make the library do, checked before the parser does the work;
  // crossing one raises 103 naming it. 0 means no limit of the library's own. The defaults are XmlLimits'.
  int64_t MaxDocumentSize() const noexcept { return limits_.maxDocumentSize; }
  void MaxDocumentSize(int64_t bytes) noexcept { limits_.maxDocumentSize = bytes; }
  int32_t MaxAttributesPerElement() const noexcept { return limits_.maxAttributesPerElement; }
  void MaxAttributesPerElement(int32_t count) noexcept { limits_.maxAttributesPerElement = count; }
  // Of one text or attribute value, however it arrives (in pieces, through entities, as CDATA).
  int64_t MaxTextLength() const noexcept { return limits_.maxTextLength; }
  void MaxTextLength(int64_t bytes) noexcept { limits_.maxTextLength = bytes; }
  // Of elements read, and of objects written (writing deeper, or an object that holds itself, raises 163 / 162).
  int32_t MaxDepth() const noexcept { return limits_.maxDepth; }
  void MaxDepth(int32_t depth) noexcept { limits_.maxDepth = depth; }
  // Writes the characters a parser would normalise as character references (CR everywhere, TAB in attribute
  // values), so that every string reads back as it was written. Off: written as they are.
  bool EscapeNormalizedCharacters() const noexcept { return escapeNormalizedCharacters_; }
  void EscapeNormalizedCharacters(bool value) noexcept { escapeNormalizedCharacters_ = value; }

 private:
  std::shared_ptr<NamespaceAliasMap> namespaceAliases_;
  std::shared_ptr<AttributeCol> additionalRootAttributes_;
  std::vector<std::string> processingInstructions_;
  std::string defaultNamespaceURI_;
  bool writeTypeAttribute_ = true;
  bool ignoreInvalidCollectionCounts_ = false;
  bool ignoreMissingChoice_ = false;
  bool ignoreMissingMandatoryElements_ = false;
  bool ignoreUnknownElements_ = false;
  bool ignoreUnknownAttributes_ = false;
  bool ignoreNamespaces_ = false;
  bool noOptionalAttributeDefaultOutput_ = false;
  vexlo9::SchemaType schemaType_ = SchemaType_XSD;
  std::string inlineSchema_;
  XmlLimits limits_;
  bool escapeNormalizedCharacters_ = false;
};

using XmlSerializationContextPtr = std::shared_ptr<XmlSerializationContext>;

}  // namespace vexlo9
