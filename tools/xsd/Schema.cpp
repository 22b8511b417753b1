#include "Schema.h"

#include <algorithm>
#include <charconv>

namespace vexlo9::xsd {

namespace {

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

int LengthFacet(const Node& facet, const std::string& value) {
  int number = -1;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number < 0) {
    Diagnostics::Refuse(facet.Where(), facet.Construct(), "the value " + value + " is not a length: give a count");
  }
  return number;
}

// What `start` reaches through `direct`, breadth first; `start` itself only when a cycle leads back to it.
std::vector<QName> Reachable(const std::map<QName, std::vector<QName>>& direct, const QName& start) {
  std::vector<QName> found;
  for (size_t next = 0; next <= found.size(); ++next) {
    const auto it = direct.find(next == 0 ? start : found[next - 1]);
    if (it == direct.end()) continue;
    for (const QName& name : it->second) {
      if (std::find(found.begin(), found.end(), name) == found.end()) found.push_back(name);
    }
  }
  return found;
}

}  // namespace

std::vector<Node> Node::Children() const {
  std::vector<Node> children;
  for (xmlNode* child : xsd::Children(node)) children.push_back({doc, child});
  return children;
}

Node Node::Child(std::string_view local) const { return {doc, xsd::Child(node, local)}; }

Schema::Schema(const SchemaSet& documents, Diagnostics& diagnostics) : diagnostics_(diagnostics) {
  for (const auto& document : documents.Documents()) {
    for (const Node& component : Node{document.get(), document->Root()}.Children()) Index(component);
  }
  for (const auto& [head, direct] : directMembers_) {
    const std::vector<QName> members = SubstitutionMembers(head);
    if (std::find(members.begin(), members.end(), head) == members.end()) continue;
    const Node declaration = Element(head);
    Diagnostics::Refuse(declaration ? declaration.Where() : Location{}, "substitutionGroup",
                        "the element " + head.local + " is a member of its own substitution group: break the cycle");
  }
}

void Schema::Index(const Node& component) {
  std::map<QName, Node>* map = nullptr;
  if (component.Is("element")) map = &elements_;
  if (component.Is("attribute")) map = &attributes_;
  if (component.Is("simpleType") || component.Is("complexType")) map = &types_;
  if (component.Is("group")) map = &groups_;
  if (component.Is("attributeGroup")) map = &attributeGroups_;
  if (!map) return;
  const QName name = NameOf(component);
  if (name.local.empty()) Diagnostics::Refuse(component.Where(), component.Construct(), "a global one needs a name");
  const auto [it, added] = map->emplace(name, component);
  if (!added) {
    const Location first = it->second.Where();
    Diagnostics::Refuse(
        component.Where(), component.Construct(),
        name.Text() + " is defined twice (first at " + first.file + ":" + std::to_string(first.line) + "): keep one");
  }
  if (component.Is("element")) {
    if (const auto heads = component.Get("substitutionGroup")) {
      size_t start = 0;
      const std::string list = *heads + " ";
      for (size_t blank; (blank = list.find(' ', start)) != std::string::npos; start = blank + 1) {
        if (blank > start) directMembers_[Resolve(component, list.substr(start, blank - start))].push_back(name);
      }
    }
  }
  if (component.Is("complexType")) {
    if (const auto base = BaseType(component)) directDerived_[*base].push_back(name);
  }
}

QName Schema::Resolve(const Node& at, const std::string& text) const {
  const std::string name = Trim(text);
  const size_t colon = name.find(':');
  const std::string prefix = colon == std::string::npos ? "" : name.substr(0, colon);
  const xmlNs* ns = xmlSearchNs(at.doc->doc.get(), at.node,
                                prefix.empty() ? nullptr : reinterpret_cast<const xmlChar*>(prefix.c_str()));
  if (!prefix.empty() && !ns) {
    Diagnostics::Refuse(at.Where(), at.Construct(),
                        "the prefix " + prefix + " of " + name + " is not declared: declare it or fix the name");
  }
  std::string uri = ns && ns->href ? reinterpret_cast<const char*>(ns->href) : "";
  // A schema without a namespace of its own, included into one, names its components in the includer's.
  if (uri.empty() && !xsd::Attribute(at.doc->Root(), "targetNamespace")) uri = at.doc->targetNamespace;
  return {uri, colon == std::string::npos ? name : name.substr(colon + 1)};
}

std::vector<QName> Schema::SubstitutionMembers(const QName& head) const { return Reachable(directMembers_, head); }

std::vector<QName> Schema::DerivedTypes(const QName& type) const {
  std::vector<QName> derived = Reachable(directDerived_, type);
  std::erase(derived, type);
  return derived;
}

std::optional<QName> Schema::BaseType(const Node& complexType) const {
  for (const char* content : {"complexContent", "simpleContent"}) {
    const Node model = complexType.Child(content);
    if (!model) continue;
    for (const char* derivation : {"extension", "restriction"}) {
      const Node step = model.Child(derivation);
      if (!step) continue;
      const auto base = step.Get("base");
      if (!base) return std::nullopt;
      QName name = Resolve(step, *base);
      if (name.ns == kXsNamespace && name.local == "anyType") return std::nullopt;
      return name;
    }
  }
  return std::nullopt;
}

const SimpleType* Schema::Simple(const QName& name) {
  if (const auto it = simpleByName_.find(name); it != simpleByName_.end()) return it->second.get();
  SimpleType type;
  if (name.ns == kXsNamespace) {
    const Builtin* builtin = FindBuiltin(name.local);
    if (!builtin) return nullptr;
    type.primitive = &FindPrimitive(builtin->primitive);
    type.whitespace = builtin->whitespace;
    type.facets.pattern = builtin->pattern;
    type.facets.minInclusive = builtin->minInclusive;
    type.facets.maxInclusive = builtin->maxInclusive;
    type.integer = builtin->integer;
    type.builtin = builtin->name;
    type.name = name;
  } else {
    const Node definition = Type(name);
    if (!definition || !definition.Is("simpleType")) return nullptr;
    type = Derive(definition, name);
  }
  return simpleByName_.emplace(name, std::make_unique<SimpleType>(std::move(type))).first->second.get();
}

const SimpleType& Schema::Simple(const Node& simpleType) {
  auto& slot = simpleByNode_[simpleType.node];
  if (!slot) slot = std::make_unique<SimpleType>(Derive(simpleType, {}));
  return *slot;
}

SimpleType Schema::Derive(const Node& definition, const QName& name) {
  if (!resolving_.insert(definition.node).second) {
    Diagnostics::Refuse(definition.Where(), "xs:simpleType", "it derives from itself: break the cycle");
  }
  SimpleType type;
  if (const Node restriction = definition.Child("restriction")) {
    const SimpleType* base = nullptr;
    if (const auto baseName = restriction.Get("base")) {
      const QName resolved = Resolve(restriction, *baseName);
      base = Simple(resolved);
      if (!base) {
        Diagnostics::Refuse(restriction.Where(), "xs:restriction",
                            "the base " + resolved.Text() + " is not a simple type of the schemas read: " +
                                "fix the name or give the schema that defines it");
      }
    } else if (const Node inner = restriction.Child("simpleType")) {
      base = &Simple(inner);
    } else {
      Diagnostics::Refuse(restriction.Where(), "xs:restriction", "it names no base type: give one");
    }
    type = *base;
    if (type.variety == SimpleType::Variety::Atomic) {
      std::vector<std::string> patterns;
      std::vector<std::string> enumeration;
      for (const Node& facet : restriction.Children()) {
        const std::string value = facet.GetOr("value", "");
        if (facet.Is("pattern")) patterns.push_back(value);
        if (facet.Is("enumeration")) enumeration.push_back(value);
        if (facet.Is("length")) type.facets.length = LengthFacet(facet, value);
        if (facet.Is("minLength")) type.facets.minLength = LengthFacet(facet, value);
        if (facet.Is("maxLength")) type.facets.maxLength = LengthFacet(facet, value);
        if (facet.Is("minInclusive")) type.facets.minInclusive = Trim(value);
        if (facet.Is("maxInclusive")) type.facets.maxInclusive = Trim(value);
        if (facet.Is("minExclusive")) type.facets.minExclusive = Trim(value);
        if (facet.Is("maxExclusive")) type.facets.maxExclusive = Trim(value);
        if (facet.Is("whiteSpace")) {
          type.whitespace = value == "collapse"  ? Whitespace::Collapse
                            : value == "replace" ? Whitespace::Replace
                                                 : Whitespace::Preserve;
        }
      }
      if (patterns.size() == 1) type.facets.pattern = patterns.front();
      if (patterns.size() > 1) {
        type.facets.pattern.clear();
        for (const std::string& p : patterns)
          type.facets.pattern += (type.facets.pattern.empty() ? "(" : "|(") + p + ")";
      }
      if (!enumeration.empty()) type.enumeration = std::move(enumeration);
    }
  } else if (const Node list = definition.Child("list")) {
    type = SimpleType();
    type.primitive = &FindPrimitive("string");
    type.whitespace = Whitespace::Collapse;
    type.variety = SimpleType::Variety::List;
    type.builtin = "string";
    diagnostics_.Warn(list.Where(), "xs:list",
                      "bound as a string: its items are read and written as one text and not checked one by one");
  } else if (const Node alternatives = definition.Child("union")) {
    type = SimpleType();
    type.primitive = &FindPrimitive("string");
    type.variety = SimpleType::Variety::Union;
    type.builtin = "string";
    diagnostics_.Warn(alternatives.Where(), "xs:union",
                      "bound as a string: the text is kept as written and not checked against the member types");
  } else {
    Diagnostics::Refuse(definition.Where(), "xs:simpleType", "it has no restriction, list or union: give one");
  }
  type.name = name;
  type.definition = definition;
  resolving_.erase(definition.node);
  return type;
}

}  // namespace vexlo9::xsd
