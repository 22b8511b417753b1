#include "Binding.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>

namespace vexlo9::xsd {

namespace {

constexpr int kUnbounded = -1;

// The library reads length facets as 16-bit numbers.
constexpr int kMaxLengthFacet = 32767;

struct OccursRange {
  int min = 1;
  int max = 1;
};

bool IsModelGroup(const Node& node) { return node.Is("sequence") || node.Is("choice") || node.Is("all"); }

Group GroupOf(const Node& model) {
  if (model.Is("choice")) return Group::Choice;
  return model.Is("all") ? Group::All : Group::Sequence;
}

OccursRange OccursOf(const Node& particle) {
  const auto number = [&](const char* attribute, int fallback) {
    const std::string text = particle.GetOr(attribute, "");
    if (text.empty()) return fallback;
    if (text == "unbounded") return kUnbounded;
    try {
      size_t used = 0;
      const long value = std::stol(text, &used);
      if (used == text.size() && value >= 0) return static_cast<int>(std::min<long>(value, 1 << 30));
    } catch (const std::exception&) {
    }
    Diagnostics::Refuse(particle.Where(), particle.Construct(),
                        std::string(attribute) + " " + text + " is not a count: give a number or unbounded");
  };
  OccursRange range{number("minOccurs", 1), number("maxOccurs", 1)};
  if (range.min == kUnbounded || (range.max != kUnbounded && range.min > range.max)) {
    Diagnostics::Refuse(particle.Where(), particle.Construct(), "minOccurs exceeds maxOccurs: fix the bounds");
  }
  return range;
}

bool IsRepeated(const OccursRange& r) { return r.max == kUnbounded || r.max > 1; }

// An integer bound as a number, saturated far beyond 64 bits.
// An integer bound as a number, saturated at a magnitude of 2^62: far beyond every range it is compared with, and
// still safe to step by one.
int64_t IntegerBound(const std::string& text) {
  constexpr int64_t kLimit = int64_t(1) << 62;
  int64_t value = 0;
  size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  for (; i < text.size(); ++i) value = value > kLimit / 10 ? kLimit : std::min(kLimit, value * 10 + (text[i] - '0'));
  return text[0] == '-' ? -value : value;
}

bool IsIntegerText(const std::string& text) {
  const size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  return text.size() > start && text.find_first_not_of("0123456789", start) == std::string::npos;
}

struct IntegerRange {
  int64_t min;
  int64_t max;
};

// The range a primitive of the integer family holds on its own.
std::optional<IntegerRange> RangeOf(std::string_view primitive) {
  if (primitive == "i1") return IntegerRange{-128, 127};
  if (primitive == "i2") return IntegerRange{-32768, 32767};
  if (primitive == "i4") return IntegerRange{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
  if (primitive == "ui1") return IntegerRange{0, 255};
  if (primitive == "ui2") return IntegerRange{0, 65535};
  return std::nullopt;
}

std::string EscapeRegex(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (std::string_view("\\|.-^?*+{}()[]").find(c) != std::string_view::npos) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// A namespace that a wildcard's restriction allows, for the wildcard's holder to carry: the library checks it.
std::string AllowedNamespace(const std::string& restriction, const std::string& target) {
  const std::string first = restriction.substr(0, restriction.find(' '));
  if (first == "##targetNamespace") return target;
  if (first.empty() || first.starts_with("##")) return "";
  return first;
}

}  // namespace

class Binder {
 public:
  Binder(Schema& schema, const SchemaSet& documents, const Options& options)
      : schema_(schema), documents_(documents), options_(options) {
    // Names that every generated class or file uses: a class or enumeration of that name would hide them.
    for (const char* name : {"kNamespace",
                             "ReadDocument",
                             "NewRoot",
                             "Factory",
                             "Init",
                             "ClassInfo",
                             "Members",
                             "TypeName",
                             "ElementName",
                             "TargetNamespace",
                             "IsSuitableSubstitution",
                             "GetProperty",
                             "LetProperty",
                             "SetProperty",
                             "Invoke",
                             "Text",
                             "IsNil",
                             "ChoiceSelectedElement",
                             "Object",
                             "XmlObjectBase",
                             "XmlGeneratedClass",
                             "XmlGeneratedClassBase",
                             "XmlCollectionBase",
                             "INillable",
                             "Variant",
                             "ObjectPtr"}) {
      scope_.Reserve(name);
    }
  }

  Binding Run();

 private:
  struct Pending {
    Node definition;  // the xs:complexType, or nothing for a class with nothing to bind
    enum { Waiting, Binding, Bound } state = Waiting;
  };

  // The type of an element declaration, one of three kinds.
  struct ElementType {
    const SimpleType* simple = nullptr;
    ClassType* complex = nullptr;
    QName complexName;  // a named complex type, for its derived types
    bool anyType = false;
  };

  ClassType& NewClass(const std::string& name, const Node& at, const Node& definition);
  void Declare(const Node& component);
  void WarnIdentityConstraints(const Node& declaration);
  void Bind(ClassType& cls);
  void BindComplexType(ClassType& cls, const Node& complexType);
  void SetBase(ClassType& cls, ClassType& base);
  void BindContent(ClassType& cls, const Node& content);
  void AddGroup(ClassType& cls, const Node& model, Group group);
  void AddParticle(ClassType& cls, const Node& particle, Group group);
  void AddElement(ClassType& cls, const Node& particle, Group group);
  void AddSubstitution(ClassType& cls, const Node& particle, const QName& head, const OccursRange& occurs, Group group);
  void AddNestedGroup(ClassType& cls, const Node& model, Group group);
  void AddGroupReference(ClassType& cls, const Node& reference, Group group);
  void AddGroupParticle(ClassType& cls, ClassType& groupClass, const std::string& property, const OccursRange& occurs,
                        bool mandatoryContent, Group group);
  void AddWildcard(ClassType& cls, const Node& any, Group group);
  void AddAttributes(ClassType& cls, const Node& holder);
  void AddAttribute(ClassType& cls, const Node& attribute);
  void AddAttributeWildcard(ClassType& cls, const Node& anyAttribute);

  ElementType TypeOfElement(const Node& declaration, int depth = 0);
  ClassType& GroupClass(const QName& name, const Node& group);
  ClassType& SubstitutionGroupClass(const QName& head, const Particle& alternatives);
  Particle SubstitutionParticle(ClassType& cls, const Node& particle, const QName& head);
  const Creator& TypeCreator(ClassType& result, const QName& type);
  // The classes an element of the declared class may be read into, by its xsi:type: the derived types' first.
  std::vector<Alternative> ByXsiType(const std::string& element, ClassType& declared, const QName& type);
  Value MakeValue(const SimpleType& type, const std::string& owner, const Node& at, bool repeated);
  const EnumType& Enumeration(const SimpleType& type, const std::string& owner, size_t output);
  void NarrowInteger(Value& value, const SimpleType& type);
  bool Emptiable(const Node& particle, int depth = 0) const;
  bool HasElements(const ClassType& cls) const;
  Occurs OccursIn(Group group, const OccursRange& range) const;
  std::string ElementNamespace(const Node& declaration, bool global) const;
  ClassType& ClassOfElementNamed(const QName& element, const Node& at);
  void AssembleOutputs();
  void MarkFactoryUse(ClassType& cls);

  Schema& schema_;
  const SchemaSet& documents_;
  const Options& options_;
  Binding binding_;
  NameScope scope_;
  std::map<ClassType*, Pending> pending_;
  std::map<QName, ClassType*> typeClasses_;
  std::map<QName, ClassType*> elementClasses_;
  std::map<QName, ClassType*> groupClasses_;
  std::map<QName, ClassType*> substitutionClasses_;
  std::map<const xmlNode*, ClassType*> anonymousClasses_;
  std::map<const SimpleType*, const EnumType*> enums_;
  std::map<std::string, const Creator*> creators_;  // by result class name, or "group:" + head
  std::set<const xmlNode*> attributeGroupsInProgress_;
  NameScope creatorNames_;
};

Binding Bind(Schema& schema, const SchemaSet& documents, const Options& options) {
  return Binder(schema, documents, options).Run();
}

Binding Binder::Run() {
  // Names are claimed in document order: types, then the global elements that need a class of their own.
  for (const auto& document : documents_.Documents()) {
    for (const Node& component : Node{document.get(), document->Root()}.Children()) {
      if (component.Is("complexType")) Declare(component);
    }
  }
  for (const auto& document : documents_.Documents()) {
    for (const Node& component : Node{document.get(), document->Root()}.Children()) {
      if (component.Is("element")) Declare(component);
    }
  }
  // Binding makes classes of its own (anonymous types, groups); the deque keeps references, an index reaches them.
  for (size_t i = 0; i < binding_.classes.size(); ++i) Bind(binding_.classes[i]);
  for (ClassType& cls : binding_.classes) MarkFactoryUse(cls);
  AssembleOutputs();
  return std::move(binding_);
}

ClassType& Binder::NewClass(const std::string& name, const Node& at, const Node& definition) {
  ClassType& cls = binding_.classes.emplace_back();
  cls.name = scope_.Claim(name);
  cls.output = at.doc->output;
  cls.ns = at.doc->targetNamespace;
  cls.where = at.Where();
  for (const char* member : {"Init",
                             "ClassInfo",
                             "IsSuitableSubstitution",
                             "ElementName",
                             "TargetNamespace",
                             "PrivateSetElementName",
                             "FromXmlInt",
                             "ToXmlInt",
                             "AttributesToXmlInt",
                             "TypeName",
                             "GetProperty",
                             "LetProperty",
                             "SetProperty",
                             "Invoke",
                             "Members",
                             "IsNil",
                             "Text",
                             "ChoiceSelectedElement",
                             "shared_from_this",
                             "weak_from_this",
                             "OnCollectionChange"}) {
    cls.members.Reserve(member);
  }
  cls.members.Reserve(cls.name);  // a member of the class's own name would be a constructor
  pending_[&cls].definition = definition;
  return cls;
}

void Binder::WarnIdentityConstraints(const Node& declaration) {
  for (const Node& child : declaration.Children()) {
    if (child.Is("key") || child.Is("keyref") || child.Is("unique")) {
      schema_.diagnostics().Warn(child.Where(), child.Construct(),
                                 "identity constraints are not checked: the values are read and written unchecked");
    }
  }
}

void Binder::Declare(const Node& component) {
  const QName name = schema_.NameOf(component);
  if (component.Is("element")) WarnIdentityConstraints(component);
  if (component.Is("complexType")) {
    ClassType& cls = NewClass(TypeIdentifier(name.local), component, component);
    cls.infoName = cls.defaultElement = name.local;
    cls.abstract = component.GetOr("abstract", "false") == "true";
    cls.origin = "the complex type " + name.local;
    typeClasses_[name] = &cls;
    return;
  }
  // A global element.
  if (const Node anonymous = component.Child("complexType")) {
    ClassType& cls = NewClass(TypeIdentifier(name.local), component, anonymous);
    cls.infoName = cls.defaultElement = name.local;
    cls.origin = "the element " + name.local + ", whose type is its own";
    anonymousClasses_[anonymous.node] = &cls;
    elementClasses_[name] = &cls;
    return;
  }
  const ElementType type = TypeOfElement(component);
  if (!type.complex) return;
  ClassType& typeClass = *type.complex;
  const bool abstract = component.GetOr("abstract", "false") == "true";
  const std::string wanted = TypeIdentifier(name.local);
  if (typeClass.abstract || abstract || (wanted == typeClass.name && typeClass.defaultElement == typeClass.infoName)) {
    // The type's class serves: under the element's name when the two are named alike.
    if (wanted == typeClass.name) typeClass.defaultElement = name.local;
    elementClasses_[name] = &typeClass;
    return;
  }
  ClassType& alias = NewClass(wanted, component, Node());
  alias.infoName = typeClass.infoName;
  alias.defaultElement = name.local;
  alias.ns = typeClass.ns;
  alias.base = &typeClass;
  alias.elementAlias = true;
  alias.origin = "the global element " + name.local;
  elementClasses_[name] = &alias;
}

void Binder::Bind(ClassType& cls) {
  Pending& pending = pending_[&cls];
  if (pending.state == Pending::Bound) return;
  if (pending.state == Pending::Binding) {
    Diagnostics::Refuse(cls.where, "xs:complexType", cls.infoName + " derives from itself: break the cycle");
  }
  pending.state = Pending::Binding;
  if (cls.elementAlias) {
    Bind(*cls.base);
    cls.members = cls.base->members;
    cls.members.Reserve(cls.name);
    cls.text = cls.base->text;
    cls.group = cls.base->group;
  } else if (pending.definition && pending.definition.Is("complexType")) {
    BindComplexType(cls, pending.definition);
  }
  pending_[&cls].state = Pending::Bound;
}

void Binder::SetBase(ClassType& cls, ClassType& base) {
  Bind(base);
  cls.base = &base;
  cls.derived = true;
  base.hasDerived = true;
  NameScope members = base.members;
  members.Reserve(cls.name);
  cls.members = std::move(members);
  cls.group = base.group;
  cls.text = base.text;
}

void Binder::BindComplexType(ClassType& cls, const Node& complexType) {
  bool mixed = complexType.GetOr("mixed", "false") == "true";
  if (const Node simpleContent = complexType.Child("simpleContent")) {
    Node step = simpleContent.Child("extension");
    if (!step) step = simpleContent.Child("restriction");
    if (!step || !step.Get("base")) {
      Diagnostics::Refuse(simpleContent.Where(), "xs:simpleContent", "it needs an extension or restriction of a base");
    }
    const QName base = schema_.Resolve(step, *step.Get("base"));
    if (const auto it = typeClasses_.find(base); it != typeClasses_.end()) {
      SetBase(cls, *it->second);
      if (!cls.text) {
        Diagnostics::Refuse(step.Where(), step.Construct(),
                            "the base " + base.local + " has no simple content: use complexContent");
      }
    } else if (const SimpleType* value = schema_.Simple(base); !value) {
      Diagnostics::Refuse(step.Where(), step.Construct(),
                          "the type " + base.Text() + " is not defined: fix the name or give its schema");
    } else if (!value->enumeration.empty() || (value->definition && !value->facets.Empty())) {
      // The value is held as text, as written; the lexical type is documented, facets of the schema's own are warned.
      schema_.diagnostics().Warn(
          step.Where(), "xs:simpleContent",
          "the facets of " + base.local + " are not checked: the value of " + cls.infoName + " is held as text (Text)");
    }
    const std::vector<Node> children = step.Children();
    const bool facets = std::any_of(children.begin(), children.end(), [](const Node& n) {
      return !n.Is("attribute") && !n.Is("attributeGroup") && !n.Is("anyAttribute") && !n.Is("simpleType");
    });
    if (cls.base && step.Is("restriction") && facets) {
      schema_.diagnostics().Warn(
          step.Where(), "xs:simpleContent",
          "the facets of " + cls.infoName + " are not checked: its value is held as text (Text)");
    }
    cls.text = true;
    // A restriction narrows what its base allows; the base's class holds it already.
    if (step.Is("extension") || !cls.base) AddAttributes(cls, step);
    return;
  }
  Node content = complexType;
  if (const Node complexContent = complexType.Child("complexContent")) {
    mixed = mixed || complexContent.GetOr("mixed", "false") == "true";
    Node step = complexContent.Child("extension");
    if (!step) step = complexContent.Child("restriction");
    if (!step || !step.Get("base")) {
      Diagnostics::Refuse(complexContent.Where(), "xs:complexContent",
                          "it needs an extension or restriction of a base");
    }
    const QName base = schema_.Resolve(step, *step.Get("base"));
    if (!(base.ns == kXsNamespace && base.local == "anyType")) {
      const auto it = typeClasses_.find(base);
      if (it == typeClasses_.end()) {
        Diagnostics::Refuse(step.Where(), step.Construct(),
                            "the base " + base.Text() + " is not a complex type of the schemas read: fix the name or " +
                                "give its schema");
      }
      SetBase(cls, *it->second);
      if (step.Is("restriction")) {
        cls.text = cls.text || mixed;
        return;  // a restriction allows less than its base, whose declarations it keeps
      }
    }
    content = step;
  }
  cls.text = cls.text || mixed;
  BindContent(cls, content);
  AddAttributes(cls, content);
}

bool Binder::HasElements(const ClassType& cls) const {
  for (const ClassType* c = &cls; c; c = c->base) {
    if (!c->particles.empty()) return true;
  }
  return false;
}

void Binder::BindContent(ClassType& cls, const Node& content) {
  Node model;
  for (const Node& child : content.Children()) {
    if (IsModelGroup(child) || child.Is("group")) {
      model = child;
      break;
    }
  }
  if (!model) return;
  const OccursRange occurs = OccursOf(model);
  if (occurs.max == 0) return;
  const bool single = occurs.min == 1 && occurs.max == 1;
  if (HasElements(cls)) {
    // An extension appends its content to the base's sequence.
    if (cls.group != Group::Sequence) {
      Diagnostics::Refuse(model.Where(), "xs:extension",
                          "its base " + cls.base->infoName + " holds a choice or all group, which cannot be " +
                              "extended by elements here: repeat the base's content in a sequence of this type");
    }
    if (model.Is("all")) Diagnostics::Refuse(model.Where(), "xs:all", "an all group cannot extend a sequence");
    if (model.Is("sequence") && single) {
      AddGroup(cls, model, Group::Sequence);
    } else {
      AddParticle(cls, model, Group::Sequence);
    }
    return;
  }
  // A sequence of one choice, or of one reference to a substitution group, is that choice.
  Node only = model;
  while (only.Is("sequence") && single) {
    const std::vector<Node> children = only.Children();
    if (children.size() != 1) break;
    const OccursRange inner = OccursOf(children[0]);
    if (inner.min != 1 || inner.max != 1) break;
    if (children[0].Is("choice")) {
      only = children[0];
    } else if (children[0].Is("element") && children[0].Get("ref") &&
               !schema_.SubstitutionMembers(schema_.Resolve(children[0], *children[0].Get("ref"))).empty()) {
      cls.group = Group::Choice;
      cls.particles.push_back(
          SubstitutionParticle(cls, children[0], schema_.Resolve(children[0], *children[0].Get("ref"))));
      return;
    } else {
      break;
    }
  }
  if (!single && only == model) {
    cls.group = Group::Sequence;
    AddParticle(cls, model, Group::Sequence);
  } else if (IsModelGroup(only)) {
    cls.group = GroupOf(only);
    AddGroup(cls, only, cls.group);
  } else {
    cls.group = Group::Sequence;
    AddParticle(cls, only, Group::Sequence);
  }
}

// A nested group of the same kind that occurs once is the same group: its particles join this one.
void Binder::AddGroup(ClassType& cls, const Node& model, Group group) {
  for (const Node& child : model.Children()) {
    if (group != Group::All && IsModelGroup(child) && GroupOf(child) == group) {
      const OccursRange occurs = OccursOf(child);
      if (occurs.min == 1 && occurs.max == 1) {
        AddGroup(cls, child, group);
        continue;
      }
    }
    AddParticle(cls, child, group);
  }
}

void Binder::AddParticle(ClassType& cls, const Node& particle, Group group) {
  if (particle.Is("element")) {
    AddElement(cls, particle, group);
  } else if (particle.Is("sequence") || particle.Is("choice")) {
    if (group == Group::All) {
      Diagnostics::Refuse(particle.Where(), particle.Construct(), "an all group holds elements only: move it out");
    }
    AddNestedGroup(cls, particle, group);
  } else if (particle.Is("group")) {
    if (group == Group::All) {
      Diagnostics::Refuse(particle.Where(), particle.Construct(), "an all group holds elements only: move it out");
    }
    AddGroupReference(cls, particle, group);
  } else if (particle.Is("any")) {
    AddWildcard(cls, particle, group);
  } else if (particle.Is("all")) {
    Diagnostics::Refuse(particle.Where(), "xs:all",
                        "an all group must be the whole content of its type: move it there");
  } else if (!particle.Is("attribute") && !particle.Is("attributeGroup") && !particle.Is("anyAttribute")) {
    Diagnostics::Refuse(particle.Where(), particle.Construct(), "not expected here: remove it or fix the schema");
  }
}

Occurs Binder::OccursIn(Group group, const OccursRange& range) const {
  if (IsRepeated(range)) return Occurs::Repeated;
  if (group == Group::Choice || range.min == 0) return Occurs::Optional;
  return Occurs::Mandatory;
}

std::string Binder::ElementNamespace(const Node& declaration, bool global) const {
  if (global) return declaration.doc->targetNamespace;
  const std::string form = declaration.GetOr("form", declaration.doc->elementsQualified ? "qualified" : "unqualified");
  return form == "qualified" ? declaration.doc->targetNamespace : "";
}

Binder::ElementType Binder::TypeOfElement(const Node& declaration, int depth) {
  ElementType type;
  if (const auto name = declaration.Get("type")) {
    const QName resolved = schema_.Resolve(declaration, *name);
    if (resolved.ns == kXsNamespace && resolved.local == "anyType") {
      type.anyType = true;
    } else if (const auto it = typeClasses_.find(resolved); it != typeClasses_.end()) {
      type.complex = it->second;
      type.complexName = resolved;
    } else if (!(type.simple = schema_.Simple(resolved))) {
      Diagnostics::Refuse(
          declaration.Where(), "xs:element",
          "the type " + resolved.Text() + " is not defined: fix the name or give the schema that " + "defines it");
    }
  } else if (const Node anonymous = declaration.Child("complexType")) {
    const auto it = anonymousClasses_.find(anonymous.node);
    type.complex = it != anonymousClasses_.end() ? it->second : nullptr;
  } else if (const Node simple = declaration.Child("simpleType")) {
    type.simple = &schema_.Simple(simple);
  } else if (const auto head = declaration.Get("substitutionGroup"); head && depth < 64) {
    // A member without a type of its own has its head's.
    const QName headName = schema_.Resolve(declaration, head->substr(0, head->find(' ')));
    const Node headDeclaration = schema_.Element(headName);
    if (!headDeclaration) {
      Diagnostics::Refuse(declaration.Where(), "xs:element",
                          "the substitution group head " + headName.Text() + " is not declared: fix the name");
    }
    return TypeOfElement(headDeclaration, depth + 1);
  } else {
    type.anyType = true;
  }
  return type;
}

ClassType& Binder::ClassOfElementNamed(const QName& element, const Node& at) {
  const auto it = elementClasses_.find(element);
  if (it == elementClasses_.end()) {
    Diagnostics::Refuse(at.Where(), "xs:element", "the element " + element.Text() + " has no complex type here");
  }
  return *it->second;
}

void Binder::AddElement(ClassType& cls, const Node& particle, Group group) {
  const OccursRange occurs = OccursOf(particle);
  if (occurs.max == 0) return;
  Node declaration = particle;
  QName name;
  const bool global = particle.Get("ref").has_value();
  if (global) {
    name = schema_.Resolve(particle, *particle.Get("ref"));
    declaration = schema_.Element(name);
    if (!declaration) {
      Diagnostics::Refuse(particle.Where(), "xs:element",
                          "the element " + name.Text() + " is not declared: fix the name or give its schema");
    }
    if (!schema_.SubstitutionMembers(name).empty()) return AddSubstitution(cls, particle, name, occurs, group);
  } else {
    name = {ElementNamespace(particle, false), particle.GetOr("name", "")};
    if (name.local.empty()) Diagnostics::Refuse(particle.Where(), "xs:element", "it needs a name or a ref");
  }

  if (!global) WarnIdentityConstraints(declaration);
  Particle p;
  p.elementName = name.local;
  p.ns = name.ns;
  p.minOccurs = occurs.min;
  p.maxOccurs = occurs.max;
  p.occurs = OccursIn(group, occurs);
  p.property = cls.members.Claim(Identifier(name.local));

  const ElementType type = TypeOfElement(declaration);
  const bool nillable = declaration.GetOr("nillable", "false") == "true";
  if (type.simple && nillable) {
    // Only a class can be nil: one holding the value as its text.
    ClassType*& holder = anonymousClasses_[declaration.node];
    if (!holder) {
      std::string wanted = TypeIdentifier(name.local);
      if (scope_.Taken(wanted)) wanted = cls.name + wanted;
      holder = &NewClass(wanted, declaration, Node());
      holder->infoName = holder->defaultElement = name.local;
      holder->ns = name.ns;
      holder->text = holder->nillable = true;
      holder->origin = "the nillable element " + name.local + ": its value as text, or nil";
      pending_[holder].state = Pending::Bound;
      const SimpleType& value = *type.simple;
      if (value.primitive->name != "string" || !value.facets.Empty() || !value.enumeration.empty()) {
        schema_.diagnostics().Warn(declaration.Where(), "nillable",
                                   "the element " + name.local + " is held as text (Text) so that it can be nil: " +
                                       "its type " + value.builtin + " and facets are not checked");
      }
    }
    p.kind = Kind::Class;
    p.type = holder;
  } else if (type.simple) {
    p.kind = Kind::Primitive;
    p.value = MakeValue(*type.simple, p.property, particle, p.occurs == Occurs::Repeated);
    if (p.value.enumeration) p.kind = Kind::Enum;
  } else if (type.anyType) {
    p.kind = Kind::Untyped;
    p.namespaceRestriction = "##any";
    p.targetNamespace = particle.doc->targetNamespace;
  } else {
    ClassType* target = type.complex;
    if (global) {
      target = &ClassOfElementNamed(name, particle);
    } else if (!target) {
      // A local element with a type of its own: a class named after the element, or after both.
      const Node anonymous = declaration.Child("complexType");
      std::string wanted = TypeIdentifier(name.local);
      if (scope_.Taken(wanted)) wanted = cls.name + wanted;
      target = &NewClass(wanted, declaration, anonymous);
      target->infoName = target->defaultElement = name.local;
      target->ns = name.ns;
      target->origin = "the element " + name.local + " of " + cls.infoName + ", whose type is its own";
      anonymousClasses_[anonymous.node] = target;  // bound later, so that it may hold the group it stands in
    }
    if (nillable) target->nillable = true;
    p.type = target;
    p.kind = Kind::Class;
    QName typeName = type.complexName;
    if (global && type.complex) typeName = type.complexName;
    const bool substitutable = !typeName.local.empty() && !schema_.DerivedTypes(typeName).empty();
    if (target->abstract || substitutable) {
      if (group == Group::All) {
        if (target->abstract) {
          Diagnostics::Refuse(particle.Where(), "xs:all",
                              "the element " + name.local + " has an abstract type, which an all group cannot read: " +
                                  "use a sequence or choice");
        }
        schema_.diagnostics().Warn(particle.Where(), "xs:all",
                                   "the element " + name.local + " is read as " + target->infoName +
                                       " even when xsi:type names a derived type: use a sequence to read those");
      } else {
        p.kind = Kind::AbstractClass;
        p.creator = TypeCreator(*target, typeName).name;
      }
    }
  }
  if (const auto fixed = declaration.Get("fixed")) p.value.defaultValue = fixed;
  if (const auto defaultValue = declaration.Get("default")) p.value.defaultValue = defaultValue;
  if (p.value.defaultValue) {
    // The library gives an element no default: only the initial value of the property carries it.
    schema_.diagnostics().Warn(declaration.Where(), "xs:element",
                               "the default or fixed value of " + name.local + " is only the property's initial " +
                                   "value: the library does not give it to an empty " + name.local +
                                   " element in a document");
  }
  if ((p.kind == Kind::Primitive || p.kind == Kind::Enum) && p.occurs == Occurs::Optional) {
    p.isValid = cls.members.Claim("IsValid" + p.property);
  }
  cls.particles.push_back(std::move(p));
}

Particle Binder::SubstitutionParticle(ClassType& cls, const Node& particle, const QName& head) {
  Particle p;
  p.kind = Kind::AbstractClass;
  p.occurs = Occurs::Optional;
  p.property = cls.members.Claim(Identifier(head.local));
  ClassType& headClass = ClassOfElementNamed(head, particle);
  p.type = &headClass;
  p.elementName = head.local;
  p.ns = head.ns;
  const auto key = "group:" + head.Text();
  if (!creators_.count(key)) {
    Creator& creator = binding_.creators.emplace_back();
    creator.name = creatorNames_.Claim("Create" + TypeIdentifier(head.local));
    creator.result = &headClass;
    creator.byElementName = true;
    creator.output = cls.output;
    std::vector<QName> members = schema_.SubstitutionMembers(head);
    const Node headDeclaration = schema_.Element(head);
    if (headDeclaration.GetOr("abstract", "false") != "true") members.insert(members.begin(), head);
    for (const QName& member : members) {
      const Node declaration = schema_.Element(member);
      if (declaration.GetOr("abstract", "false") == "true") continue;
      const auto it = elementClasses_.find(member);
      if (it == elementClasses_.end()) {
        Diagnostics::Refuse(declaration.Where(), "substitutionGroup",
                            "the member " + member.local + " has no complex type: only complex types take part in " +
                                "substitution groups here");
      }
      Bind(*it->second);  // its base is known once it is bound
      const ClassType* c = it->second;
      while (c && c != &headClass) c = c->base;
      if (!c) {
        Diagnostics::Refuse(
            declaration.Where(), "substitutionGroup",
            "the type of " + member.local + " does not derive from the type of " + head.local + ": derive it");
      }
      for (Alternative& alternative : ByXsiType(member.local, *it->second, TypeOfElement(declaration).complexName)) {
        creator.choices.push_back(std::move(alternative));
      }
    }
    creators_[key] = &creator;
  }
  const Creator& creator = *creators_[key];
  p.creator = creator.name;
  for (const QName& member : [&] {
         std::vector<QName> all = schema_.SubstitutionMembers(head);
         all.insert(all.begin(), head);
         return all;
       }()) {
    if (schema_.Element(member).GetOr("abstract", "false") == "true") continue;
    p.alternatives.emplace_back(member.local, member.ns);
  }
  return p;
}

void Binder::AddSubstitution(ClassType& cls, const Node& particle, const QName& head, const OccursRange& occurs,
                             Group group) {
  if (group == Group::All) {
    Diagnostics::Refuse(particle.Where(), "xs:all",
                        "the substitution group of " + head.local + " cannot be read in an all group: use a choice");
  }
  if (group == Group::Choice && !IsRepeated(occurs)) {
    cls.particles.push_back(SubstitutionParticle(cls, particle, head));
    return;
  }
  // Anywhere else the members are a choice of their own: a model group class holding whichever stands there.
  ClassType*& groupClass = substitutionClasses_[head];
  if (!groupClass) {
    groupClass = &NewClass(TypeIdentifier(head.local) + "Group", particle, Node());
    groupClass->pseudo = true;
    groupClass->group = Group::Choice;
    groupClass->infoName = groupClass->defaultElement = groupClass->name;
    groupClass->ns = head.ns;
    groupClass->origin = "the substitution group of " + head.local + ": whichever member stands there";
    groupClass->particles.push_back(SubstitutionParticle(*groupClass, particle, head));
    pending_[groupClass].state = Pending::Bound;
  }
  AddGroupParticle(cls, *groupClass, cls.members.Claim(Identifier(head.local)), occurs, occurs.min > 0, group);
}

void Binder::AddNestedGroup(ClassType& cls, const Node& model, Group group) {
  const OccursRange occurs = OccursOf(model);
  if (occurs.max == 0) return;
  const bool choice = model.Is("choice");
  ClassType& groupClass = NewClass(cls.name + (choice ? "Choice" : "Sequence"), model, Node());
  groupClass.pseudo = true;
  groupClass.infoName = groupClass.defaultElement = groupClass.name;
  groupClass.ns = cls.ns;
  groupClass.origin = std::string(choice ? "a choice" : "a sequence") + " within " + cls.infoName;
  groupClass.group = choice ? Group::Choice : Group::Sequence;
  pending_[&groupClass].state = Pending::Bound;
  AddGroup(groupClass, model, groupClass.group);
  AddGroupParticle(cls, groupClass, cls.members.Claim(choice ? "choice" : "sequence"), occurs, !Emptiable(model),
                   group);
}

void Binder::AddGroupReference(ClassType& cls, const Node& reference, Group group) {
  const OccursRange occurs = OccursOf(reference);
  if (occurs.max == 0) return;
  const QName name = schema_.Resolve(reference, reference.GetOr("ref", ""));
  const Node definition = schema_.Group(name);
  if (!definition) {
    Diagnostics::Refuse(reference.Where(), "xs:group",
                        "the group " + name.Text() + " is not defined: fix the name or give its schema");
  }
  ClassType& groupClass = GroupClass(name, definition);
  AddGroupParticle(cls, groupClass, cls.members.Claim(MemberIdentifier(name.local)), occurs, !Emptiable(reference),
                   group);
}

ClassType& Binder::GroupClass(const QName& name, const Node& definition) {
  if (const auto it = groupClasses_.find(name); it != groupClasses_.end()) {
    if (pending_[it->second].state != Pending::Bound) {
      Diagnostics::Refuse(definition.Where(), "xs:group",
                          "the group " + name.local + " contains itself: break the cycle");
    }
    return *it->second;
  }
  ClassType& cls = NewClass(TypeIdentifier(name.local), definition, Node());
  groupClasses_[name] = &cls;
  cls.pseudo = true;
  cls.infoName = cls.defaultElement = name.local;
  cls.origin = "the model group " + name.local;
  pending_[&cls].state = Pending::Binding;
  const std::vector<Node> children = definition.Children();
  const auto model = std::find_if(children.begin(), children.end(), IsModelGroup);
  if (model == children.end()) {
    Diagnostics::Refuse(definition.Where(), "xs:group", "the group " + name.local + " has no sequence, choice or all");
  }
  cls.group = GroupOf(*model);
  AddGroup(cls, *model, cls.group);
  pending_[&cls].state = Pending::Bound;
  return cls;
}

void Binder::AddGroupParticle(ClassType& cls, ClassType& groupClass, const std::string& property,
                              const OccursRange& occurs, bool mandatoryContent, Group group) {
  Particle p;
  p.kind = Kind::Class;
  p.pseudo = true;
  p.type = &groupClass;
  p.elementName = groupClass.infoName;
  p.ns = groupClass.ns;
  p.property = property;
  p.minOccurs = occurs.min;
  p.maxOccurs = occurs.max;
  p.occurs = OccursIn(group, occurs);
  p.mandatoryContent = mandatoryContent;
  cls.particles.push_back(std::move(p));
}

void Binder::AddWildcard(ClassType& cls, const Node& any, Group group) {
  const OccursRange occurs = OccursOf(any);
  if (occurs.max == 0) return;
  Particle p;
  p.kind = Kind::Untyped;
  p.elementName = "AnyElement";
  p.property = cls.members.Claim("any");
  p.minOccurs = occurs.min;
  p.maxOccurs = occurs.max;
  p.occurs = OccursIn(group, occurs);
  p.namespaceRestriction = any.GetOr("namespace", "##any");
  p.targetNamespace = any.doc->targetNamespace;
  p.ns = AllowedNamespace(p.namespaceRestriction, p.targetNamespace);
  cls.particles.push_back(std::move(p));
}

bool Binder::Emptiable(const Node& particle, int depth) const {
  if (depth > 64) return false;
  const OccursRange occurs = OccursOf(particle);
  if (occurs.min == 0) return true;
  if (particle.Is("element") || particle.Is("any")) return false;
  if (particle.Is("group")) {
    const Node definition = schema_.Group(schema_.Resolve(particle, particle.GetOr("ref", "")));
    if (!definition) return false;
    for (const Node& model : definition.Children()) {
      if (IsModelGroup(model)) return Emptiable(model, depth + 1);
    }
    return true;
  }
  const std::vector<Node> children = particle.Children();
  if (particle.Is("choice")) {
    return std::any_of(children.begin(), children.end(), [&](const Node& c) { return Emptiable(c, depth + 1); });
  }
  return std::all_of(children.begin(), children.end(), [&](const Node& c) { return Emptiable(c, depth + 1); });
}

void Binder::AddAttributes(ClassType& cls, const Node& holder) {
  for (const Node& child : holder.Children()) {
    if (child.Is("attribute")) {
      AddAttribute(cls, child);
    } else if (child.Is("attributeGroup")) {
      const QName name = schema_.Resolve(child, child.GetOr("ref", ""));
      const Node group = schema_.AttributeGroup(name);
      if (!group) {
        Diagnostics::Refuse(child.Where(), "xs:attributeGroup",
                            "the attribute group " + name.Text() + " is not defined: fix the name or give its schema");
      }
      if (!attributeGroupsInProgress_.insert(group.node).second) {
        Diagnostics::Refuse(group.Where(), "xs:attributeGroup",
                            "the attribute group " + name.local + " contains itself: break the cycle");
      }
      AddAttributes(cls, group);
      attributeGroupsInProgress_.erase(group.node);
    } else if (child.Is("anyAttribute")) {
      AddAttributeWildcard(cls, child);
    }
  }
}

void Binder::AddAttribute(ClassType& cls, const Node& attribute) {
  const std::string use = attribute.GetOr("use", "optional");
  if (use == "prohibited") return;
  Node declaration = attribute;
  QName name;
  if (const auto ref = attribute.Get("ref")) {
    name = schema_.Resolve(attribute, *ref);
    if (name.ns != kXmlNamespace) {
      declaration = schema_.Attribute(name);
      if (!declaration) {
        Diagnostics::Refuse(attribute.Where(), "xs:attribute",
                            "the attribute " + name.Text() + " is not declared: fix the name or give its schema");
      }
    } else {
      declaration = Node();
    }
  } else {
    const std::string form = attribute.GetOr("form", attribute.doc->attributesQualified ? "qualified" : "unqualified");
    name = {form == "qualified" ? attribute.doc->targetNamespace : "", attribute.GetOr("name", "")};
    if (name.local.empty()) Diagnostics::Refuse(attribute.Where(), "xs:attribute", "it needs a name or a ref");
  }
  for (const AttributeUse& existing : cls.attributes) {
    if (existing.attributeName == name.local && existing.ns == name.ns) return;  // restated by an extension
  }
  AttributeUse a;
  a.attributeName = name.local;
  a.ns = name.ns;
  a.optional = use != "required";
  a.property = cls.members.Claim(Identifier(name.local));
  const SimpleType* type = nullptr;
  if (declaration) {
    if (const auto typeName = declaration.Get("type")) {
      const QName resolved = schema_.Resolve(declaration, *typeName);
      type = schema_.Simple(resolved);
      if (!type) {
        Diagnostics::Refuse(declaration.Where(), "xs:attribute",
                            "the type " + resolved.Text() + " is not a simple type of the schemas read: fix the name " +
                                "or give its schema");
      }
    } else if (const Node simple = declaration.Child("simpleType")) {
      type = &schema_.Simple(simple);
    }
  }
  if (!type) type = schema_.Simple({std::string(kXsNamespace), name.ns == kXmlNamespace ? "token" : "anySimpleType"});
  a.value = MakeValue(*type, a.property, attribute, false);
  for (const Node& source : {attribute, declaration}) {
    if (!source) continue;
    if (const auto fixed = source.Get("fixed")) a.value.defaultValue = fixed;
    if (const auto defaultValue = source.Get("default")) a.value.defaultValue = defaultValue;
    if (a.value.defaultValue) break;
  }
  a.kind = a.value.enumeration ? AttributeUse::AttrKind::Enum : AttributeUse::AttrKind::Primitive;
  if (a.optional) a.isValid = cls.members.Claim("IsValid" + a.property);
  cls.attributes.push_back(std::move(a));
}

void Binder::AddAttributeWildcard(ClassType& cls, const Node& anyAttribute) {
  for (const ClassType* c = &cls; c; c = c->base) {
    for (const AttributeUse& a : c->attributes) {
      if (a.kind == AttributeUse::AttrKind::Wildcard) return;  // one wildcard takes what the declarations do not
    }
  }
  AttributeUse a;
  a.kind = AttributeUse::AttrKind::Wildcard;
  a.property = cls.members.Claim("anyAttribute");
  a.namespaceRestriction = anyAttribute.GetOr("namespace", "##any");
  a.targetNamespace = anyAttribute.doc->targetNamespace;
  a.ns = AllowedNamespace(a.namespaceRestriction, a.targetNamespace);
  cls.attributes.push_back(std::move(a));
}

std::vector<Alternative> Binder::ByXsiType(const std::string& element, ClassType& declared, const QName& type) {
  std::vector<Alternative> alternatives;
  if (!type.local.empty()) {
    for (const QName& derived : schema_.DerivedTypes(type)) {
      ClassType* cls = typeClasses_.at(derived);
      if (!cls->abstract) alternatives.push_back({element, derived.local, cls});
    }
  }
  if (!declared.abstract) {
    alternatives.push_back({element, "", &declared});
    if (!type.local.empty()) alternatives.push_back({element, type.local, &declared});
  }
  return alternatives;
}

const Creator& Binder::TypeCreator(ClassType& result, const QName& type) {
  const std::string key = "type:" + result.name;
  if (const auto it = creators_.find(key); it != creators_.end()) return *it->second;
  Creator& creator = binding_.creators.emplace_back();
  creator.name = creatorNames_.Claim("Create" + result.name);
  creator.result = &result;
  creator.output = result.output;
  creator.choices = ByXsiType("", result, type);
  creators_[key] = &creator;
  return creator;
}

Value Binder::MakeValue(const SimpleType& type, const std::string& owner, const Node& at, bool repeated) {
  if (type.builtin == "QName" || type.builtin == "NOTATION") {
    schema_.diagnostics().Warn(at.Where(), "xs:" + type.builtin,
                               "the value of " + owner +
                                   " is kept as written, prefix included: write the document with the prefixes " +
                                   "it was read with (NamespaceAliases)");
  }
  Value value;
  value.primitive = type.primitive;
  value.whitespace = type.whitespace;
  if (type.variety != SimpleType::Variety::Atomic) return value;  // a list or union: one unchecked text
  value.facets = type.facets;
  if (type.integer) NarrowInteger(value, type);
  if (value.facets.length > kMaxLengthFacet || value.facets.minLength > kMaxLengthFacet) {
    schema_.diagnostics().Warn(at.Where(), "xs:length", "lengths beyond 32767 are not checked: the facet is left out");
    value.facets.length = value.facets.minLength = -1;
  }
  if (value.facets.maxLength > kMaxLengthFacet) value.facets.maxLength = -1;  // no string that long is expected
  if (!type.enumeration.empty()) {
    if (!repeated) {
      value.enumeration = &Enumeration(type, owner, at.doc->output);
    } else if (type.primitive->name == "string") {
      // Repeated values are held in a typed collection, which checks a pattern instead.
      std::string alternatives;
      for (const std::string& v : type.enumeration) alternatives += (alternatives.empty() ? "" : "|") + EscapeRegex(v);
      value.facets.pattern = alternatives;
    } else {
      schema_.diagnostics().Warn(at.Where(), "xs:enumeration",
                                 "repeated " + std::string(type.primitive->name) +
                                     " values are held in a typed collection, which does not check the enumeration");
    }
  }
  return value;
}

void Binder::NarrowInteger(Value& value, const SimpleType& type) {
  Facets& f = value.facets;
  for (const std::string* bound : {&f.minInclusive, &f.maxInclusive, &f.minExclusive, &f.maxExclusive}) {
    if (!bound->empty() && !IsIntegerText(*bound)) {
      Diagnostics::Refuse(type.definition ? type.definition.Where() : Location{}, "xs:restriction",
                          "the bound " + *bound + " is not an integer: fix it");
    }
  }
  constexpr int64_t kNone = std::numeric_limits<int64_t>::max();
  int64_t low = -kNone;
  int64_t high = kNone;
  if (!f.minInclusive.empty()) low = std::max(low, IntegerBound(f.minInclusive));
  if (!f.minExclusive.empty()) low = std::max(low, IntegerBound(f.minExclusive) + 1);
  if (!f.maxInclusive.empty()) high = std::min(high, IntegerBound(f.maxInclusive));
  if (!f.maxExclusive.empty()) high = std::min(high, IntegerBound(f.maxExclusive) - 1);
  std::string_view primitive = type.primitive->name;
  if (primitive == "integer" && low >= std::numeric_limits<int32_t>::min() &&
      high <= std::numeric_limits<int32_t>::max()) {
    primitive = "i4";  // bounds that fit in 32 bits: a plain int
  }
  value.primitive = &FindPrimitive(primitive);
  const std::optional<IntegerRange> range = RangeOf(primitive);
  if (!range) return;
  // Bounds the type holds on its own are left out; the library reads them in the type's own width.
  if (!f.minInclusive.empty() && IntegerBound(f.minInclusive) <= range->min) f.minInclusive.clear();
  if (!f.minExclusive.empty() && IntegerBound(f.minExclusive) < range->min) f.minExclusive.clear();
  if (!f.maxInclusive.empty() && IntegerBound(f.maxInclusive) >= range->max) f.maxInclusive.clear();
  if (!f.maxExclusive.empty() && IntegerBound(f.maxExclusive) > range->max) f.maxExclusive.clear();
}

const EnumType& Binder::Enumeration(const SimpleType& type, const std::string& owner, size_t output) {
  if (const auto it = enums_.find(&type); it != enums_.end()) return *it->second;
  EnumType& e = binding_.enums.emplace_back();
  e.name = scope_.Claim(TypeIdentifier(type.name.local.empty() ? owner : type.name.local));
  e.whitespace = type.whitespace;
  e.toString = e.name + "ToString";
  e.fromString = e.name + "FromString";
  e.origin = type.name.local.empty() ? "the values of " + owner : "the simple type " + type.name.local;
  e.output = type.definition ? type.definition.doc->output : output;
  NameScope values;
  for (const std::string& v : type.enumeration) {
    if (std::any_of(e.values.begin(), e.values.end(), [&](const auto& existing) { return existing.second == v; })) {
      continue;
    }
    const std::string part = v.empty() ? "empty" : Identifier(v);
    e.values.emplace_back(scope_.Claim(values.Claim(e.name + "_" + part)), v);
  }
  enums_[&type] = &e;
  return e;
}

void Binder::MarkFactoryUse(ClassType& cls) {
  for (const ClassType* c = &cls; c; c = c->base) {
    for (const Particle& p : c->particles) {
      if (p.kind == Kind::Enum || p.kind == Kind::AbstractClass ||
          (p.kind == Kind::Class && p.occurs == Occurs::Optional)) {
        cls.needsFactory = true;
      }
    }
    for (const AttributeUse& a : c->attributes) {
      if (a.kind == AttributeUse::AttrKind::Enum) cls.needsFactory = true;
    }
  }
}

void Binder::AssembleOutputs() {
  const size_t count = documents_.Outputs().size();
  binding_.outputs.resize(count);
  for (size_t i = 0; i < count; ++i) {
    Output& out = binding_.outputs[i];
    out.stem = documents_.Outputs()[i];
    out.prefix = TypeIdentifier(out.stem);
    out.nsConstant = count == 1 ? "kNamespace" : "k" + out.prefix + "Namespace";
    for (const auto& document : documents_.Documents()) {
      if (document->output != i) continue;
      out.sources.push_back(document->path);
      if (out.sources.size() == 1) out.ns = document->targetNamespace;
      if (!binding_.namespaceConstants.count(document->targetNamespace) && !document->targetNamespace.empty()) {
        binding_.namespaceConstants[document->targetNamespace] =
            document->targetNamespace == out.ns
                ? out.nsConstant
                : scope_.Claim("k" + TypeIdentifier(std::filesystem::path(document->path).stem().string()) +
                               "Namespace");
      }
    }
  }
  // Classes in each output, every base before what builds on it.
  std::set<const ClassType*> placed;
  const std::function<void(ClassType&)> place = [&](ClassType& cls) {
    if (placed.count(&cls)) return;
    placed.insert(&cls);
    if (cls.base) place(*cls.base);
    binding_.outputs[cls.output].classes.push_back(&cls);
  };
  for (ClassType& cls : binding_.classes) place(cls);
  for (const EnumType& e : binding_.enums) binding_.outputs[e.output].enums.push_back(&e);

  // What each output's factory and converter must answer: whatever its registries name, inherited ones included.
  for (Output& out : binding_.outputs) {
    const size_t index = static_cast<size_t>(&out - binding_.outputs.data());
    const auto need = [&](size_t other) {
      if (other != index) out.includes.insert(other);
    };
    for (const ClassType* cls : out.classes) {
      if (cls->base) need(cls->base->output);
      for (const ClassType* c = cls; c; c = c->base) {
        for (const Particle& p : c->particles) {
          if (p.type) need(p.type->output);
          if (p.value.enumeration) {
            need(p.value.enumeration->output);
            if (std::find(out.converted.begin(), out.converted.end(), p.value.enumeration) == out.converted.end()) {
              out.converted.push_back(p.value.enumeration);
            }
          }
          if (p.kind == Kind::Class && p.occurs == Occurs::Optional &&
              std::find(out.namedClasses.begin(), out.namedClasses.end(), p.type) == out.namedClasses.end()) {
            out.namedClasses.push_back(p.type);
            if (std::find(binding_.namedClasses.begin(), binding_.namedClasses.end(), p.type) ==
                binding_.namedClasses.end()) {
              binding_.namedClasses.push_back(p.type);
            }
          }
          if (p.kind == Kind::AbstractClass) {
            for (const Creator& creator : binding_.creators) {
              if (creator.name != p.creator) continue;
              if (std::find(out.creators.begin(), out.creators.end(), &creator) == out.creators.end()) {
                out.creators.push_back(&creator);
                for (const Alternative& choice : creator.choices) need(choice.cls->output);
              }
            }
          }
        }
        for (const AttributeUse& a : c->attributes) {
          if (!a.value.enumeration) continue;
          need(a.value.enumeration->output);
          if (std::find(out.converted.begin(), out.converted.end(), a.value.enumeration) == out.converted.end()) {
            out.converted.push_back(a.value.enumeration);
          }
        }
      }
    }
    if (!out.namedClasses.empty() || !out.creators.empty() || !out.converted.empty()) {
      out.factory = scope_.Claim(out.prefix + "Factory");
    }
    if (!out.converted.empty()) out.converter = scope_.Claim(out.prefix + "EnumConverter");
  }
  // Documents may start with any global element of a complex type that can be made.
  std::set<std::string> wanted(options_.roots.begin(), options_.roots.end());
  std::set<std::string> found;
  for (const auto& [name, node] : schema_.Elements()) {
    const auto it = elementClasses_.find(name);
    if (it == elementClasses_.end() || it->second->abstract || node.GetOr("abstract", "false") == "true") continue;
    if (!wanted.empty() && !wanted.count(name.local) && !wanted.count(name.Text())) continue;
    found.insert(name.local);
    found.insert(name.Text());
    Output& out = binding_.outputs[node.doc->output];
    out.roots.push_back({name, ByXsiType(name.local, *it->second, TypeOfElement(node).complexName)});
    for (const Alternative& alternative : out.roots.back().classes) {
      if (alternative.cls->output != node.doc->output) out.includes.insert(alternative.cls->output);
    }
  }
  for (const std::string& root : options_.roots) {
    if (!found.count(root)) {
      Diagnostics::Refuse({"--root", 0}, root,
                          "no global element of a complex type has that name: give one of the schema's elements");
    }
  }
  // An output that needs another's header may not be needed by it in turn.
  for (size_t i = 0; i < count; ++i) {
    std::vector<size_t> pending(binding_.outputs[i].includes.begin(), binding_.outputs[i].includes.end());
    std::set<size_t> seen;
    while (!pending.empty()) {
      const size_t next = pending.back();
      pending.pop_back();
      if (next == i) {
        Diagnostics::Refuse({binding_.outputs[i].sources.front(), 0}, "schema",
                            "its classes and those of another schema on the command line need each other: name only " +
                                std::string("the one that imports the other"));
      }
      if (!seen.insert(next).second) continue;
      pending.insert(pending.end(), binding_.outputs[next].includes.begin(), binding_.outputs[next].includes.end());
    }
  }
}

}  // namespace vexlo9::xsd
