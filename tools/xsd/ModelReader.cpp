#include "ModelReader.h"

#include <algorithm>
#include <charconv>

namespace vexlo9::xsd {

namespace {

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

std::string Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

bool IsModelGroup(const xmlNode* node) { return IsXs(node, "sequence") || IsXs(node, "choice") || IsXs(node, "all"); }

// The children of one document's components, read into records of the model.
class DocumentReader {
 public:
  // A redefine or override, applied when every document has been read.
  struct Change {
    const SchemaDocument* document;
    const xmlNode* node;
  };

  DocumentReader(const SchemaDocument& document, SchemaModel& model) : doc_(document), model_(model) {}

  void ReadTopLevel(std::vector<Change>& changes);
  // Each component the change holds takes the place of the one of that name; a redefinition may refer to what it
  // replaces.
  void Apply(const xmlNode* change);

 private:
  Location Where(const xmlNode* node) const { return doc_.Where(node); }
  std::string Construct(const xmlNode* node) const { return "xs:" + Name(node); }
  Origin OriginOf(const xmlNode* node) const {
    return {Where(node), Construct(node), doc_.targetNamespace, doc_.output};
  }
  [[noreturn]] void Refuse(const xmlNode* node, const std::string& advice) const {
    Diagnostics::Refuse(Where(node), Construct(node), advice);
  }

  QName Resolve(const xmlNode* at, const std::string& text) const;
  QName ResolveAttribute(const xmlNode* node, const char* attribute) const;
  bool Boolean(const xmlNode* node, const char* attribute) const;
  Occurs OccursOf(const xmlNode* particle) const;
  bool Qualified(const xmlNode* declaration, bool byDefault) const;
  QName TopLevelName(const xmlNode* component) const;
  QName DeclaredName(const xmlNode* declaration, bool global, bool qualifiedByDefault) const;

  TypeRef TypeOf(const xmlNode* declaration);
  // What element and attribute declarations have alike: origin, name, type, default and fixed value.
  template <class Declaration>
  Declaration& Declare(std::deque<Declaration>& store, const xmlNode* node, bool global, bool qualifiedByDefault);
  ElementDecl& Element(const xmlNode* node, bool global);
  AttributeDecl& Attribute(const xmlNode* node, bool global);
  SimpleTypeDef& Simple(const xmlNode* node, QName name);
  void SimpleStep(SimpleTypeDef& type, const xmlNode* definition);
  StepFacets Facets(const xmlNode* restriction) const;
  int Length(const xmlNode* facet, const std::string& value) const;
  ComplexTypeDef& Complex(const xmlNode* node, QName name);
  void Derivation(ComplexTypeDef& type, const xmlNode* content);
  const ModelGroup& Group(const xmlNode* node);
  Particle ParticleOf(const xmlNode* node);
  std::vector<AttributeItem> Attributes(const xmlNode* holder);
  Wildcard WildcardOf(const xmlNode* node) const {
    return {AttributeOr(node, "namespace", "##any"), AttributeOr(node, "processContents", "strict"),
            doc_.targetNamespace};
  }
  AttributeItem AttributeUse(const xmlNode* node);

  GroupDef& GroupDefinition(const xmlNode* node);
  AttributeGroupDef& AttributeGroupDefinition(const xmlNode* node);
  template <class T, class Read>
  void Replace(const xmlNode* change, const xmlNode* node, const QName& name, std::deque<T>& store,
               std::vector<const T*>& components, Read read);

  const SchemaDocument& doc_;
  SchemaModel& model_;
  std::optional<std::pair<QName, QName>> selfReference_;  // while a redefinition is read: its name, the original's
};

void DocumentReader::ReadTopLevel(std::vector<Change>& changes) {
  for (const xmlNode* node : Children(doc_.Root())) {
    if (IsXs(node, "element")) {
      model_.elements.push_back(&Element(node, true));
    } else if (IsXs(node, "attribute")) {
      model_.attributes.push_back(&Attribute(node, true));
    } else if (IsXs(node, "simpleType")) {
      model_.simpleTypes.push_back(&Simple(node, TopLevelName(node)));
    } else if (IsXs(node, "complexType")) {
      model_.complexTypes.push_back(&Complex(node, TopLevelName(node)));
    } else if (IsXs(node, "group")) {
      model_.groups.push_back(&GroupDefinition(node));
    } else if (IsXs(node, "attributeGroup")) {
      model_.attributeGroups.push_back(&AttributeGroupDefinition(node));
    } else if (IsXs(node, "redefine") || IsXs(node, "override")) {
      changes.push_back({&doc_, node});
    }
  }
}

GroupDef& DocumentReader::GroupDefinition(const xmlNode* node) {
  GroupDef& group = model_.groupDefStore.emplace_back();
  group.name = TopLevelName(node);
  group.origin = OriginOf(node);
  const std::vector<xmlNode*> children = Children(node);
  const auto model = std::find_if(children.begin(), children.end(), IsModelGroup);
  if (model == children.end()) Refuse(node, "the group " + group.name.local + " has no sequence, choice or all");
  group.group = &Group(*model);
  return group;
}

AttributeGroupDef& DocumentReader::AttributeGroupDefinition(const xmlNode* node) {
  AttributeGroupDef& group = model_.attributeGroupStore.emplace_back();
  group.name = TopLevelName(node);
  group.origin = OriginOf(node);
  group.attributes = Attributes(node);
  return group;
}

void DocumentReader::Apply(const xmlNode* change) {
  for (const xmlNode* node : Children(change)) {
    const QName name = TopLevelName(node);
    if (IsXs(node, "simpleType")) {
      Replace(change, node, name, model_.simpleStore, model_.simpleTypes, [&] { return &Simple(node, name); });
    } else if (IsXs(node, "complexType")) {
      Replace(change, node, name, model_.complexStore, model_.complexTypes, [&] { return &Complex(node, name); });
    } else if (IsXs(node, "group")) {
      Replace(change, node, name, model_.groupDefStore, model_.groups, [&] { return &GroupDefinition(node); });
    } else if (IsXs(node, "attributeGroup")) {
      Replace(change, node, name, model_.attributeGroupStore, model_.attributeGroups,
              [&] { return &AttributeGroupDefinition(node); });
    } else if (IsXs(change, "override") && IsXs(node, "element")) {
      Replace(change, node, name, model_.elementStore, model_.elements, [&] { return &Element(node, true); });
    } else if (IsXs(change, "override") && IsXs(node, "attribute")) {
      Replace(change, node, name, model_.attributeStore, model_.attributes, [&] { return &Attribute(node, true); });
    } else {
      Refuse(node, "not expected in " + Construct(change) + ": remove it or fix the schema");
    }
  }
}

template <class T, class Read>
void DocumentReader::Replace(const xmlNode* change, const xmlNode* node, const QName& name, std::deque<T>& store,
                             std::vector<const T*>& components, Read read) {
  const auto it = std::find_if(components.begin(), components.end(), [&](const T* c) { return c->name == name; });
  const bool redefine = IsXs(change, "redefine");
  if (it == components.end()) {
    if (!redefine) return;  // overriding what the schema does not define changes nothing
    Refuse(node, name.Text() + " is not defined by the schemas read: redefine only what the schema defines");
  }
  if (redefine) {
    // The original stays, under a name no schema can spell, for the redefinition to build on.
    T& original = *std::find_if(store.begin(), store.end(), [&](const T& c) { return &c == *it; });
    original.name.local += " redefined";
    selfReference_ = std::pair{name, original.name};
  } else {
    components.erase(it);
  }
  components.push_back(read());
  selfReference_.reset();
}

QName DocumentReader::Resolve(const xmlNode* at, const std::string& text) const {
  const std::string name = Trim(text);
  const size_t colon = name.find(':');
  const std::string prefix = colon == std::string::npos ? "" : name.substr(0, colon);
  const xmlNs* ns = xmlSearchNs(doc_.doc.get(), const_cast<xmlNode*>(at),
                                prefix.empty() ? nullptr : reinterpret_cast<const xmlChar*>(prefix.c_str()));
  if (!prefix.empty() && !ns) Refuse(at, "the prefix " + prefix + " of " + name + " is not declared: declare it or fix the name");
  std::string uri = ns && ns->href ? reinterpret_cast<const char*>(ns->href) : "";
  // A schema without a namespace of its own, included into one, names its components in the includer's.
  if (uri.empty() && !xsd::Attribute(doc_.Root(), "targetNamespace")) uri = doc_.targetNamespace;
  QName resolved{uri, colon == std::string::npos ? name : name.substr(colon + 1)};
  if (selfReference_ && resolved == selfReference_->first) return selfReference_->second;
  return resolved;
}

QName DocumentReader::ResolveAttribute(const xmlNode* node, const char* attribute) const {
  const std::optional<std::string> text = xsd::Attribute(node, attribute);
  return text ? Resolve(node, *text) : QName();
}

bool DocumentReader::Boolean(const xmlNode* node, const char* attribute) const {
  const std::optional<std::string> text = xsd::Attribute(node, attribute);
  if (!text) return false;
  const std::string value = Trim(*text);
  if (value == "true" || value == "1") return true;
  if (value == "false" || value == "0") return false;
  Refuse(node, std::string(attribute) + " " + value + " is not a boolean: give true or false");
}

Occurs DocumentReader::OccursOf(const xmlNode* particle) const {
  const auto number = [&](const char* attribute, int fallback) {
    const std::string text = Trim(AttributeOr(particle, attribute, ""));
    if (text.empty()) return fallback;
    if (text == "unbounded") return kUnbounded;
    long value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range && text.find_first_not_of("0123456789") == std::string::npos) {
      return 1 << 30;
    }
    if (error != std::errc() || end != text.data() + text.size() || value < 0) {
      Refuse(particle, std::string(attribute) + " " + text + " is not a count: give a number or unbounded");
    }
    return static_cast<int>(std::min<long>(value, 1 << 30));
  };
  const Occurs occurs{number("minOccurs", 1), number("maxOccurs", 1)};
  if (occurs.min == kUnbounded || (occurs.max != kUnbounded && occurs.min > occurs.max)) {
    Refuse(particle, "minOccurs exceeds maxOccurs: fix the bounds");
  }
  return occurs;
}

bool DocumentReader::Qualified(const xmlNode* declaration, bool byDefault) const {
  const std::optional<std::string> form = xsd::Attribute(declaration, "form");
  if (!form) return byDefault;
  const std::string value = Trim(*form);
  if (value != "qualified" && value != "unqualified") Refuse(declaration, "form " + value + " is not qualified or unqualified: give one");
  return value == "qualified";
}

QName DocumentReader::TopLevelName(const xmlNode* component) const {
  const std::string name = Trim(AttributeOr(component, "name", ""));
  if (name.empty()) Refuse(component, "a global one needs a name");
  return {doc_.targetNamespace, name};
}

// A global declaration's name is in the target namespace; a local one's as its form, or the schema's, says.
QName DocumentReader::DeclaredName(const xmlNode* declaration, bool global, bool qualifiedByDefault) const {
  if (global) return TopLevelName(declaration);
  QName name{"", Trim(AttributeOr(declaration, "name", ""))};
  if (name.local.empty()) Refuse(declaration, "it needs a name or a ref");
  if (Qualified(declaration, qualifiedByDefault)) name.ns = doc_.targetNamespace;
  return name;
}

TypeRef DocumentReader::TypeOf(const xmlNode* declaration) {
  TypeRef type;
  type.name = ResolveAttribute(declaration, "type");
  if (!type.name.Empty()) return type;
  if (const xmlNode* complex = Child(declaration, "complexType")) {
    type.complex = &Complex(complex, {});
  } else if (const xmlNode* simple = Child(declaration, "simpleType")) {
    type.simple = &Simple(simple, {});
  }
  return type;
}

template <class Declaration>
Declaration& DocumentReader::Declare(std::deque<Declaration>& store, const xmlNode* node, bool global,
                                     bool qualifiedByDefault) {
  Declaration& declaration = store.emplace_back();
  declaration.origin = OriginOf(node);
  declaration.global = global;
  declaration.name = DeclaredName(node, global, qualifiedByDefault);
  declaration.type = TypeOf(node);
  declaration.defaultValue = xsd::Attribute(node, "default");
  declaration.fixedValue = xsd::Attribute(node, "fixed");
  return declaration;
}

ElementDecl& DocumentReader::Element(const xmlNode* node, bool global) {
  ElementDecl& element = Declare(model_.elementStore, node, global, doc_.elementsQualified);
  element.nillable = Boolean(node, "nillable");
  element.abstract = Boolean(node, "abstract");
  std::string heads = AttributeOr(node, "substitutionGroup", "") + " ";
  for (size_t start = 0, blank; (blank = heads.find_first_of(" \t\r\n", start)) != std::string::npos; start = blank + 1) {
    if (blank > start) element.substitutionGroup.push_back(Resolve(node, heads.substr(start, blank - start)));
  }
  for (const xmlNode* child : Children(node)) {
    if (IsXs(child, "key") || IsXs(child, "keyref") || IsXs(child, "unique")) {
      element.identityConstraints.emplace_back(Where(child), Construct(child));
    }
  }
  return element;
}

AttributeDecl& DocumentReader::Attribute(const xmlNode* node, bool global) {
  return Declare(model_.attributeStore, node, global, doc_.attributesQualified);
}

SimpleTypeDef& DocumentReader::Simple(const xmlNode* node, QName name) {
  SimpleTypeDef& type = model_.simpleStore.emplace_back();
  type.name = std::move(name);
  type.origin = OriginOf(node);
  SimpleStep(type, node);
  return type;
}

void DocumentReader::SimpleStep(SimpleTypeDef& type, const xmlNode* definition) {
  const auto anonymous = [&](const xmlNode* holder) {
    const xmlNode* inner = Child(holder, "simpleType");
    return TypeRef{{}, inner ? &Simple(inner, {}) : nullptr, nullptr};
  };
  if (const xmlNode* restriction = Child(definition, "restriction")) {
    type.variety = SimpleTypeDef::Variety::Restriction;
    type.stepWhere = Where(restriction);
    type.base.name = ResolveAttribute(restriction, "base");
    if (type.base.name.Empty()) type.base = anonymous(restriction);
    if (type.base.Empty()) Refuse(restriction, "it names no base type: give one");
    type.facets = Facets(restriction);
  } else if (const xmlNode* list = Child(definition, "list")) {
    type.variety = SimpleTypeDef::Variety::List;
    type.stepWhere = Where(list);
    type.base.name = ResolveAttribute(list, "itemType");
    if (type.base.name.Empty()) type.base = anonymous(list);
  } else if (const xmlNode* alternatives = Child(definition, "union")) {
    type.variety = SimpleTypeDef::Variety::Union;
    type.stepWhere = Where(alternatives);
    const std::string names = AttributeOr(alternatives, "memberTypes", "") + " ";
    for (size_t start = 0, blank; (blank = names.find_first_of(" \t\r\n", start)) != std::string::npos;
         start = blank + 1) {
      if (blank > start) type.members.push_back({Resolve(alternatives, names.substr(start, blank - start))});
    }
    for (const xmlNode* inner : Children(alternatives)) {
      if (IsXs(inner, "simpleType")) type.members.push_back({{}, &Simple(inner, {}), nullptr});
    }
  } else {
    Refuse(definition, "it has no restriction, list or union: give one");
  }
}

int DocumentReader::Length(const xmlNode* facet, const std::string& value) const {
  int number = -1;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number < 0) {
    Refuse(facet, "the value " + value + " is not a length: give a count");
  }
  return number;
}

StepFacets DocumentReader::Facets(const xmlNode* restriction) const {
  StepFacets facets;
  for (const xmlNode* facet : Children(restriction)) {
    const std::string value = AttributeOr(facet, "value", "");
    const std::string name = Name(facet);
    if (name == "pattern") facets.patterns.push_back(value);
    if (name == "enumeration") facets.enumeration.push_back(value);
    if (name == "length") facets.length = Length(facet, value);
    if (name == "minLength") facets.minLength = Length(facet, value);
    if (name == "maxLength") facets.maxLength = Length(facet, value);
    if (name == "minInclusive") facets.minInclusive = Trim(value);
    if (name == "maxInclusive") facets.maxInclusive = Trim(value);
    if (name == "minExclusive") facets.minExclusive = Trim(value);
    if (name == "maxExclusive") facets.maxExclusive = Trim(value);
    if (name == "whiteSpace") {
      const std::string rule = Trim(value);
      facets.whitespace = rule == "collapse"  ? Whitespace::Collapse
                          : rule == "replace" ? Whitespace::Replace
                                              : Whitespace::Preserve;
    }
  }
  return facets;
}

ComplexTypeDef& DocumentReader::Complex(const xmlNode* node, QName name) {
  ComplexTypeDef& type = model_.complexStore.emplace_back();
  type.name = std::move(name);
  type.origin = OriginOf(node);
  type.abstract = Boolean(node, "abstract");
  type.mixed = Boolean(node, "mixed");
  const xmlNode* holder = node;
  if (const xmlNode* content = Child(node, "simpleContent")) {
    type.content = ComplexTypeDef::Content::Simple;
    Derivation(type, content);
    holder = Child(content, type.stepConstruct == "xs:extension" ? "extension" : "restriction");
  } else if (const xmlNode* content = Child(node, "complexContent")) {
    type.content = ComplexTypeDef::Content::Complex;
    type.mixed = type.mixed || Boolean(content, "mixed");
    Derivation(type, content);
    holder = Child(content, type.stepConstruct == "xs:extension" ? "extension" : "restriction");
  }
  for (const xmlNode* child : Children(holder)) {
    if (IsModelGroup(child) || IsXs(child, "group")) {
      type.particle = ParticleOf(child);
      break;
    }
  }
  type.attributes = Attributes(holder);
  return type;
}

void DocumentReader::Derivation(ComplexTypeDef& type, const xmlNode* content) {
  const xmlNode* step = Child(content, "extension");
  if (!step) step = Child(content, "restriction");
  if (!step || !xsd::Attribute(step, "base")) Refuse(content, "it needs an extension or restriction of a base");
  type.derivation = IsXs(step, "extension") ? ComplexTypeDef::Derivation::Extension
                                            : ComplexTypeDef::Derivation::Restriction;
  type.base = ResolveAttribute(step, "base");
  type.stepWhere = Where(step);
  type.stepConstruct = Construct(step);
  if (type.content != ComplexTypeDef::Content::Simple) return;
  type.facets = Facets(step);
  for (const xmlNode* child : Children(step)) {
    if (!IsXs(child, "attribute") && !IsXs(child, "attributeGroup") && !IsXs(child, "anyAttribute") &&
        !IsXs(child, "simpleType")) {
      type.stepHasFacets = true;
    }
  }
}

const ModelGroup& DocumentReader::Group(const xmlNode* node) {
  ModelGroup& group = model_.groupStore.emplace_back();
  group.compositor = IsXs(node, "choice") ? Compositor::Choice
                     : IsXs(node, "all")  ? Compositor::All
                                          : Compositor::Sequence;
  group.where = Where(node);
  for (const xmlNode* child : Children(node)) group.particles.push_back(ParticleOf(child));
  return group;
}

Particle DocumentReader::ParticleOf(const xmlNode* node) {
  Particle particle;
  particle.origin = OriginOf(node);
  if (IsXs(node, "element")) {
    particle.occurs = OccursOf(node);
    particle.ref = ResolveAttribute(node, "ref");
    particle.kind = particle.ref.Empty() ? Particle::Kind::Element : Particle::Kind::ElementRef;
    if (particle.ref.Empty()) particle.element = &Element(node, false);
  } else if (IsModelGroup(node)) {
    particle.occurs = OccursOf(node);
    particle.kind = Particle::Kind::Group;
    particle.group = &Group(node);
  } else if (IsXs(node, "group")) {
    particle.occurs = OccursOf(node);
    particle.kind = Particle::Kind::GroupRef;
    particle.ref = ResolveAttribute(node, "ref");
  } else if (IsXs(node, "any")) {
    particle.occurs = OccursOf(node);
    particle.kind = Particle::Kind::Any;
    particle.any = WildcardOf(node);
  } else {
    Refuse(node, "not expected here: remove it or fix the schema");
  }
  return particle;
}

std::vector<AttributeItem> DocumentReader::Attributes(const xmlNode* holder) {
  std::vector<AttributeItem> items;
  for (const xmlNode* child : Children(holder)) {
    if (IsXs(child, "attribute")) {
      items.push_back(AttributeUse(child));
    } else if (IsXs(child, "attributeGroup")) {
      AttributeItem& item = items.emplace_back();
      item.kind = AttributeItem::Kind::GroupRef;
      item.origin = OriginOf(child);
      item.ref = ResolveAttribute(child, "ref");
    } else if (IsXs(child, "anyAttribute")) {
      AttributeItem& item = items.emplace_back();
      item.kind = AttributeItem::Kind::Wildcard;
      item.origin = OriginOf(child);
      item.any = WildcardOf(child);
    }
  }
  return items;
}

AttributeItem DocumentReader::AttributeUse(const xmlNode* node) {
  AttributeItem item;
  item.kind = AttributeItem::Kind::Use;
  item.origin = OriginOf(node);
  const std::string use = Trim(AttributeOr(node, "use", "optional"));
  item.use = use == "required"     ? AttributeItem::Use::Required
             : use == "prohibited" ? AttributeItem::Use::Prohibited
                                   : AttributeItem::Use::Optional;
  item.defaultValue = xsd::Attribute(node, "default");
  item.fixedValue = xsd::Attribute(node, "fixed");
  item.ref = ResolveAttribute(node, "ref");
  if (item.ref.Empty()) item.local = &Attribute(node, false);
  return item;
}

}  // namespace

void ReadModel(const SchemaSet& documents, SchemaModel& model) {
  model.outputs = documents.Outputs();
  std::vector<DocumentReader::Change> changes;
  for (const auto& document : documents.Documents()) {
    model.documents.push_back({document->path, document->targetNamespace, document->output});
    DocumentReader(*document, model).ReadTopLevel(changes);
  }
  for (const DocumentReader::Change& change : changes) DocumentReader(*change.document, model).Apply(change.node);
}

}  // namespace vexlo9::xsd
