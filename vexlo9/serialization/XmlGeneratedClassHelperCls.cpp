#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/collections/detail/QNames.h"
#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/model/INillable.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/model/detail/KnownTable.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/output/detail/NamespaceUtilsCls.h"
#include "vexlo9/output/detail/WritingObject.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"
#include "vexlo9/serialization/ClassInfo.h"
#include "vexlo9/serialization/detail/AttributeInfo.h"
#include "vexlo9/serialization/detail/ElementInfo.h"
#include "vexlo9/serialization/detail/ElementInfoHelpers.h"
#include "vexlo9/serialization/detail/TextValueInfo.h"

namespace vexlo9 {
namespace {

using detail::Cardinality;
using detail::ElementInfo;
using detail::Group;

// The property of a class's text that is neither mixed nor typed simple content.
const detail::MemberName& TextProperty() {
  static const detail::MemberName name("Text");
  return name;
}

// The interfaces a generated object is used through, resolved once per object.
struct Generated {
  explicit Generated(Object& object)
      : object(object),
        generated(Require(object.AsXmlGeneratedClass())),
        base(Require(object.AsXmlObjectBase())),
        nillable(object.AsNillable()),
        info(generated.ClassInfo()),
        known(object) {}

  template <class T>
  static T& Require(T* typed) {
    if (!typed) throw errors::TypeMismatch(errors::kLibrarySource);
    return *typed;
  }

  bool IsNil() const { return nillable && nillable->IsNil(); }

  Object& object;
  XmlGeneratedClass& generated;
  XmlObjectBase& base;
  INillable* nillable;
  const ClassInfo& info;
  const detail::KnownTable known;
};

// One flag per descriptor, without allocating for the usual class of up to 64 particles.
class FlagSet {
 public:
  explicit FlagSet(int32_t count) {
    if (count > 64) overflow_.resize(static_cast<size_t>(count), false);
  }
  bool operator[](size_t i) const { return overflow_.empty() ? (bits_ >> i) & 1u : overflow_[i]; }
  void Set(size_t i, bool value) {
    if (!overflow_.empty()) {
      overflow_[i] = value;
    } else if (value) {
      bits_ |= uint64_t{1} << i;
    } else {
      bits_ &= ~(uint64_t{1} << i);
    }
  }

 private:
  uint64_t bits_ = 0;
  std::vector<bool> overflow_;
};

// True when the choice may legitimately be empty: one alternative is optional,
// or is a collection that may hold no items.
bool ChoiceMayBeEmpty(const Generated& g) {
  for (const auto& descriptor : g.info.HiddenElements()) {
    const detail::DescriptorTraits traits = descriptor->Traits();
    if (traits.group != Group::Choice) continue;
    if (traits.cardinality == Cardinality::Opt) return true;
    if (traits.cardinality == Cardinality::Col) {
      const auto collection = g.object.GetProperty(traits.property).ToObjectOf<XmlCollectionBase>();
      if (!collection) throw errors::ObjectNotSet(errors::kLibrarySource);
      if (collection->MinOccurs() == 0) return true;
    }
  }
  return false;
}

// The position of the descriptor that takes the attribute, or -1. The declared attributes come first: a wildcard
// gets only what none of them names, also when it was declared before them (an extension adds its attributes
// after its base's wildcard).
int32_t OfferAttribute(const Generated& g, const XmlAttribute& attribute, const XmlSerializationContext& context) {
  for (const bool wildcards : {false, true}) {
    int32_t i = 0;
    for (const auto& descriptor : g.info.HiddenAttributes()) {
      if (descriptor->IsWildcard() == wildcards && descriptor->AttributeFromXml(context, g.object, attribute)) return i;
      ++i;
    }
  }
  return -1;
}

void ReadAttributes(const Generated& g, XmlNode parent, const XmlSerializationContext& context) {
  const auto& descriptors = g.info.HiddenAttributes();
  FlagSet found(descriptors.Count());
  for (const XmlAttribute attribute : parent.attributes()) {
    if (detail::NamespaceUtilsCls::IsNamespaceAttribute(attribute)) continue;
    if (detail::NamespaceUtilsCls::IsNilAttribute(attribute)) {
      if (!g.nillable) throw errors::UnexpectedAttribute(attribute.name());
      std::string value = attribute.value();
      for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (value == "true") {
        g.nillable->IsNil(true);
      } else if (value == "false") {
        g.nillable->IsNil(false);
      } else {
        throw errors::UnexpectedNilValue(attribute.name());
      }
      continue;
    }
    if (const int32_t taker = OfferAttribute(g, attribute, context); taker >= 0) {
      found.Set(static_cast<size_t>(taker), true);
    } else if (g.info.FromXmlFailIfAttributeUnknown() && !context.IgnoreUnknownAttributes()) {
      throw errors::UnexpectedAttribute(attribute.name());
    }
  }
  size_t i = 0;
  for (const auto& descriptor : descriptors) descriptor->Validate(context, found[i++]);
}

bool ReadSequence(const Generated& g, XmlNode parent, XmlNode& child, const XmlSerializationContext& context) {
  const XmlNode start = child;
  for (const auto& descriptor : g.info.HiddenElements()) {
    while (!descriptor->ElementFromXml(context, g.object, parent, child, g.info.ElementNamespaceURI(),
                                       g.info.ElementType())) {
      if (!child || !context.IgnoreUnknownElements()) {
        child = start;
        return false;
      }
      child = detail::NextSiblingElement(child);
    }
  }
  if (child && g.info.ElementType() == XmlElementType::Element && !context.IgnoreUnknownElements()) {
    throw errors::ElementsLeftInSequence(parent.nodeName(), child.nodeName());
  }
  return true;
}

bool ReadChoice(const Generated& g, XmlNode parent, XmlNode& child, const XmlSerializationContext& context,
                bool isOptionalChoice) {
  const XmlNode start = child;
  const bool isElement = g.info.ElementType() == XmlElementType::Element;
  bool matched = false;
  for (;;) {
    for (const auto& descriptor : g.info.HiddenElements()) {
      if (descriptor->ElementFromXml(context, g.object, parent, child, g.info.ElementNamespaceURI(),
                                     g.info.ElementType())) {
        matched = true;
        break;
      }
    }
    if (matched || !child || !context.IgnoreUnknownElements() || !isElement) break;
    child = detail::NextSiblingElement(child);
  }
  if (isOptionalChoice) matched = true;
  if (!matched) {
    if (context.IgnoreUnknownElements() && !isElement) child = start;
    if (isElement && !context.IgnoreMissingChoice() && !ChoiceMayBeEmpty(g)) {
      throw errors::ChoiceNotRead(parent.nodeName());
    }
  }
  if (child && isElement && !context.IgnoreUnknownElements()) {
    throw errors::ElementsLeftInChoice(parent.nodeName(), child.nodeName());
  }
  return matched;
}

bool ReadAll(const Generated& g, XmlNode parent, XmlNode& child, const XmlSerializationContext& context) {
  const XmlNode start = child;
  const auto& descriptors = g.info.HiddenElements();
  FlagSet read(descriptors.Count());
  bool moved = true;
  while (child && moved) {
    const XmlNode passStart = child;
    size_t i = 0;
    for (const auto& descriptor : descriptors) {
      if (!read[i]) {
        read.Set(i, descriptor->ElementFromXml(context, g.object, parent, child, g.info.ElementNamespaceURI(),
                                               g.info.ElementType()));
      }
      ++i;
    }
    moved = child != passStart;
  }
  const bool isElement = g.info.ElementType() == XmlElementType::Element;
  size_t i = 0;
  for (const auto& descriptor : descriptors) {
    if (!descriptor->Validate(context, g.object, read[i++], isElement)) {
      child = start;
      return false;
    }
  }
  if (child && isElement && !context.IgnoreUnknownElements()) {
    throw errors::ElementsLeftInAll(parent.nodeName(), child.nodeName());
  }
  return true;
}

// The schema-instance type attribute, where reading would otherwise make another class: for an object of a derived
// class under another element than its type's, unless the element is declared with its type, by the enclosing class
// or, for the root, as a global element by the class itself.
bool NeedsTypeAttribute(const Generated& g, const XmlTextWriter& out, const XmlSerializationContext& context) {
  if (!context.WriteTypeAttribute() || !g.info.IsClassDerived() || g.base.ElementName() == g.info.ElementName()) {
    return false;
  }
  const Object* enclosing = detail::WritingObject::Enclosing(out, g.object);
  const auto* declaring = enclosing ? dynamic_cast<const XmlGeneratedClass*>(enclosing) : &g.generated;
  return !declaring || !declaring->ClassInfo().DeclaresElementOfType(g.base.ElementName(), g.info);
}

// The context's root attributes, then the schema locations the object was read with that they do not restate.
void WriteRootAttributes(const Generated& g, XmlTextWriter& out, const XmlSerializationContext& context) {
  const AttributeCol& given = context.AdditionalRootAttributes();
  for (const auto& attribute : given) attribute->AttributesToXmlInt(out, context);
  for (const auto& location : g.generated.SchemaLocations()) {
    const bool restated = std::any_of(given.begin(), given.end(), [&location](const auto& attribute) {
      return attribute->AttributeName() == location.first &&
             attribute->Namespace() == detail::kSchemaInstanceNamespaceUri;
    });
    if (!restated) out.WriteAttributeNsString(location.first, detail::kSchemaInstanceNamespaceUri, location.second);
  }
}

void WriteChoice(const Generated& g, XmlTextWriter& out, const XmlSerializationContext& context,
                 bool isOptionalChoice) {
  for (const auto& descriptor : g.info.HiddenElements()) {
    if (descriptor->ElementToXml(context, g.object, out)) return;
  }
  if (!isOptionalChoice && !context.IgnoreMissingChoice() && !ChoiceMayBeEmpty(g)) {
    throw errors::ChoiceNotSet();
  }
}

// The element's text after its children: mixed text that keeps no places, the simple content (empty again when it
// was read empty and holds the element's default still), or the text.
void WriteText(const Generated& g, XmlTextWriter& out, const detail::ValueConstraint* constraint) {
  if (MixedText* const mixed = g.generated.MixedContent()) {
    out.WriteString(mixed->Text());
  } else if (const detail::TextValueInfo* value = g.info.SimpleContentValue()) {
    value->Write(g.object, out, g.base.ElementName(), constraint);
  } else {
    const std::string text = detail::GetMember(g.object, TextProperty()).ToString();
    const bool empty = constraint && detail::ValueConstraint::ReadEmpty(g.object, "Text") && text == constraint->Text();
    if (!empty) out.WriteString(text);
  }
}

void WriteContent(const Generated& g, XmlTextWriter& out, const XmlSerializationContext& context,
                  bool isOptionalChoice, const detail::ValueConstraint* constraint) {
  if (g.IsNil()) {
    out.WriteAttributeNil();
    return;
  }
  // Text in its places, among the children; a model group's text, or one that keeps no places, follows them.
  MixedText* const mixed = g.info.AllowText() ? g.generated.MixedContent() : nullptr;
  const bool inPlace = mixed && g.info.ElementType() == XmlElementType::Element;
  if (inPlace) detail::WriteMixedText(out, *mixed);
  switch (g.info.GroupType()) {
    case XmlGroupType::Sequence:
    case XmlGroupType::All:
      for (const auto& descriptor : g.info.HiddenElements()) descriptor->ElementToXml(context, g.object, out);
      break;
    case XmlGroupType::Choice:
      WriteChoice(g, out, context, isOptionalChoice);
      break;
    default:
      throw errors::UnknownGroupTypeWriting(static_cast<int32_t>(g.info.GroupType()));
  }
  if (!inPlace && g.info.AllowText()) WriteText(g, out, constraint);
}

// The element's text: mixed, the simple content, or the text, an empty element taking its element's default.
void ReadText(const Generated& g, XmlNode parent, const detail::ValueConstraint* constraint) {
  if (MixedText* const mixed = g.generated.MixedContent()) {
    mixed->Read(parent);
  } else if (const detail::TextValueInfo* value = g.info.SimpleContentValue()) {
    value->Read(g.object, parent, constraint);
  } else if (!constraint) {
    detail::LetMember(g.object, TextProperty(), Variant(detail::ElementText(parent)));
  } else {
    std::string joined;
    const std::string_view text = constraint->TextOf(g.object, "Text", parent, joined);
    if (constraint->Fixed()) {
      detail::CheckFixedValue(parent.baseName(), text, constraint->Text(), text == constraint->Text());
    }
    detail::LetMember(g.object, TextProperty(), Variant(std::string(text)));
  }
}

// Whether reading the class may look again at children it has passed: a model group's class (its parent may try
// another branch from where it started), a choice or all group, text among the children, or a context that lets
// readers skip or miss elements. Only a plain sequence of elements lets the runs in it go as they are read.
bool MayComeBack(const Generated& g, const XmlSerializationContext& context) {
  return g.info.ElementType() != XmlElementType::Element || g.info.GroupType() != XmlGroupType::Sequence ||
         g.info.AllowText() || context.IgnoreUnknownElements() || context.IgnoreMissingMandatoryElements() ||
         context.IgnoreMissingChoice();
}

void ReadContent(const Generated& g, XmlNode parent, XmlNode& child, const XmlSerializationContext& context,
                 bool isOptionalChoice, const detail::ValueConstraint* constraint) {
  if (g.IsNil()) {
    // A nil element has no content; what it holds anyway is reported, not dropped.
    if (child && g.info.ElementType() == XmlElementType::Element && !context.IgnoreUnknownElements()) {
      throw errors::ElementsLeftInSequence(parent.nodeName(), child.nodeName());
    }
    return;
  }
  switch (g.info.GroupType()) {
    case XmlGroupType::Sequence:
      ReadSequence(g, parent, child, context);
      break;
    case XmlGroupType::Choice:
      ReadChoice(g, parent, child, context, isOptionalChoice);
      break;
    case XmlGroupType::All:
      ReadAll(g, parent, child, context);
      break;
    default:
      throw errors::UnknownGroupTypeReading(static_cast<int32_t>(g.info.GroupType()));
  }
  if (g.info.AllowText()) ReadText(g, parent, constraint);
}

// The xsi:type the object's class needs where it stands, its attributes, then those of its pseudo-element children.
void WriteAttributes(const Generated& g, XmlTextWriter& out, const XmlSerializationContext& context) {
  if (NeedsTypeAttribute(g, out, context)) out.WriteAttributeType(g.info.ElementNamespaceURI(), g.info.ElementName());
  for (const auto& descriptor : g.info.HiddenAttributes()) descriptor->AttributeToXml(context, g.object, out);
  for (const auto& descriptor : g.info.HiddenElements()) {
    if (descriptor->MayHavePseudoChildren()) descriptor->PseudoChildAttributeToXml(context, g.object, out);
  }
}

}  // namespace

XmlNode XmlGeneratedClassHelperCls::FromXml(Object& oGenClass, XmlNode oXmlElmParent, XmlNode oXmlElmChild,
                                            const XmlSerializationContext& oContext, bool isOptionalChoice) const {
  // The element being read when something fails: this one while its attributes are, then the child at the cursor.
  bool readingChildren = false;
  const detail::TakenConstraint taken;
  const detail::ValueConstraint* const constraint = taken.get();
  try {
    const Generated g(oGenClass);
    g.generated.Init();
    if (g.info.ElementType() == XmlElementType::Element) {
      if (oContext.SchemaType() == SchemaType_DTD) {
        g.base.PrivateSetElementName(oXmlElmParent.nodeName());
      } else {
        g.base.PrivateSetElementName(oXmlElmParent.baseName());
      }
    }
    const detail::ReadingScope scope(oXmlElmParent);
    const detail::HoldPassed hold(MayComeBack(g, oContext));
    ReadAttributes(g, oXmlElmParent, oContext);
    readingChildren = true;
    ReadContent(g, oXmlElmParent, oXmlElmChild, oContext, isOptionalChoice, constraint);
    return oXmlElmChild;
  } catch (const Error& e) {
    Error outer = errors::WhileReading(e, oXmlElmParent.nodeName());
    outer.Locate((readingChildren && oXmlElmChild ? oXmlElmChild : oXmlElmParent).line());
    throw outer;
  }
}

void XmlGeneratedClassHelperCls::ToXml(Object& oGenClass, XmlTextWriter& oXmlOut, bool bRootElement,
                                       std::string_view NamespaceURI, const XmlSerializationContext& oContext,
                                       bool isOptionalChoice) const {
  const Generated g(oGenClass);
  const detail::TakenConstraint taken;
  const detail::ValueConstraint* const constraint = taken.get();
  try {
    const detail::WritingObject writing(oXmlOut, oGenClass);
    const bool isElement = g.info.ElementType() == XmlElementType::Element;
    if (isElement) {
      if (bRootElement) {
        for (const std::string& directive : oContext.ProcessingInstructions()) oXmlOut.WriteHeaderDirective(directive);
        for (const auto& entry : oContext.NamespaceAliases()) {
          oXmlOut.AddNamespace(entry->NamespaceAlias(), entry->NamespaceURI());
        }
        if (!oContext.DefaultNamespaceURI().empty()) oXmlOut.defaultNamespace(oContext.DefaultNamespaceURI());
      }
      oXmlOut.WriteStartElement(g.base.ElementName(), NamespaceURI);
      if (bRootElement) WriteRootAttributes(g, oXmlOut, oContext);
      WriteAttributes(g, oXmlOut, oContext);
      if (bRootElement && !oContext.InlineSchema().empty()) {
        oXmlOut.WriteString(" ");
        oXmlOut.WriteEOL();
        oXmlOut.WriteRaw(oContext.InlineSchema());
        // Indented, what follows starts on a line of its own, as after any child.
        if (oXmlOut.Format()) oXmlOut.WriteEOL();
      }
    }
    WriteContent(g, oXmlOut, oContext, isOptionalChoice, constraint);
    if (isElement) oXmlOut.WriteEndElement();
  } catch (const Error& e) {
    throw errors::WhileWriting(e, g.info.ElementName());
  }
}

void XmlGeneratedClassHelperCls::AttributesToXml(Object& oGenClass, XmlTextWriter& oXmlOut,
                                                 const XmlSerializationContext& oContext) const {
  WriteAttributes(Generated(oGenClass), oXmlOut, oContext);
}

bool XmlGeneratedClassHelperCls::DoesElementNameMatch(const XmlSerializationContext& oContext, XmlNode oXmlElmChild,
                                                      std::string_view sElementName,
                                                      std::string_view sElementNamespaceURI) {
  return detail::DoesElementNameMatch(oContext, oXmlElmChild, sElementName, sElementNamespaceURI);
}

}  // namespace vexlo9
