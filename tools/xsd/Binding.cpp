#include "Binding.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace vexlo9::xsd {

namespace {

// The library reads length facets as 16-bit numbers.
constexpr int kMaxLengthFacet = 32767;

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

Group GroupOf(Compositor compositor) {
  switch (compositor) {
    case Compositor::Choice: return Group::Choice;
    case Compositor::All: return Group::All;
    case Compositor::Sequence: break;
  }
  return Group::Sequence;
}

// A particle that must occur is mandatory where the library has mandatory particles: not in a choice.
Cardinality CardinalityIn(Group group, Kind kind, const Occurs& range) {
  if (range.Repeated()) return Cardinality::Repeated;
  if (range.min == 0 || !Declarable(group, kind, Cardinality::Mandatory)) return Cardinality::Optional;
  return Cardinality::Mandatory;
}

[[noreturn]] void Refuse(const Location& where, const std::string& construct, const std::string& advice) {
  Diagnostics::Refuse(where, construct, advice);
}

// Names that every generated class or file uses: a class or enumeration of that name would hide them.
constexpr const char* kNamespaceScopeNames[] = {
    "kNamespace", "ReadDocument", "ReadDocumentFile", "ReadDocumentStream",      "kRootClasses",    "Factory",       "Init",
    "ClassInfo",  "Members",           "TypeName",        "ElementName",   "TargetNamespace",
    "IsSuitableSubstitution",          "GetProperty",     "LetProperty",   "SetProperty",   "GetPropertyText",
    "TakeProperty",                    "TableAccess",
    "Invoke",     "Text",              "IsNil",           "ChoiceSelectedElement",
    "Object",     "XmlObjectBase",     "XmlGeneratedClass",                "XmlGeneratedClassBase",
    "XmlCollectionBase",               "INillable",       "Variant",       "ObjectPtr"};

// Members that the generated class or its bases declare: a property of that name would hide or override them.
constexpr const char* kClassScopeNames[] = {
    "Init",      "ClassInfo",  "IsSuitableSubstitution", "ElementName", "TargetNamespace", "PrivateSetElementName",
    "FromXmlInt", "ToXmlInt",  "AttributesToXmlInt",     "TypeName",    "GetProperty",     "LetProperty",
    "SetProperty", "Invoke",   "Members",                "IsNil",       "Text",            "ChoiceSelectedElement",
    "GetPropertyText",         "TakeProperty",           "TableAccess",            "ReadEmpty",
    "SchemaLocations",         "AsXmlObjectBase",        "AsXmlGeneratedClass",    "AsXmlCollectionBase",
    "AsNillable",
    "shared_from_this",        "weak_from_this",         "OnCollectionChange",     "MixedContent",          "OrderedText",
    "New"};

// Simple content held as a value of its type, checked: all but free text (held as Text, as written), notations,
// lists, unions with a list among their members, and enumerations of other than strings.
bool HeldTyped(const SimpleType& type) {
  if (type.variety == SimpleType::Variety::Union) return !type.members.empty();
  if (type.variety != SimpleType::Variety::Atomic || type.builtin == "NOTATION") return false;
  if (!type.enumeration.empty()) return type.primitive->IsText();
  return !type.primitive->IsText() || !type.facets.Empty();
}

}  // namespace

class Binder {
 public:
  Binder(Schema& schema, const Options& options) : schema_(schema), options_(options) {
    for (const char* name : kNamespaceScopeNames) binding_.names.Reserve(name);
  }

  Binding Run();

 private:
  struct Pending {
    const ComplexTypeDef* definition = nullptr;  // nothing for a class with nothing to bind
    enum { Waiting, Binding, Bound } state = Waiting;
  };

  // The type of an element declaration, one of three kinds.
  struct ElementType {
    const SimpleType* simple = nullptr;
    ClassType* complex = nullptr;
    QName complexName;  // a named complex type, for its derived types
    bool anyType = false;
  };

  ClassType& NewClass(const std::string& name, const Origin& at, const ComplexTypeDef* definition);
  void DeclareType(const ComplexTypeDef& type);
  void DeclareElement(const ElementDecl& element);
  void WarnIdentityConstraints(const ElementDecl& declaration);
  void Bind(ClassType& cls);
  void BindComplexType(ClassType& cls, const ComplexTypeDef& type);
  void BindSimpleContent(ClassType& cls, const ComplexTypeDef& type);
  void RestrictContent(ClassType& cls, const ComplexTypeDef& type);
  void SetBase(ClassType& cls, ClassType& base);
  void BindContent(ClassType& cls, const Particle& model, const ComplexTypeDef& type);
  void AppendContent(ClassType& cls, const Particle& model);
  bool ExtendedWithElements(const QName& type) const;
  bool BindLoneChoice(ClassType& cls, const Particle& model);
  void AddGroup(ClassType& cls, const ModelGroup& model, Group group);
  void AddParticle(ClassType& cls, const Particle& particle, Group group);
  void AddElement(ClassType& cls, const Particle& particle, Group group);
  void BindValue(ClassType& cls, ElementProperty& p, const ElementDecl& declaration, const SimpleType& type,
                 const Particle& particle);
  ClassType& NillableHolder(const ClassType& cls, const ElementDecl& declaration, const SimpleType& type);
  void BindClass(ClassType& cls, ElementProperty& p, const ElementDecl& declaration, const ElementType& type,
                 bool global, Group group, const Origin& at);
  void AddDeclared(ClassType& cls, const Particle& particle, const ElementDecl& declaration, bool global, Group group);
  void AddSubstitution(ClassType& cls, const Particle& particle, const QName& head, Group group);
  void AddMembers(ClassType& cls, const Particle& particle, const QName& head);
  const ComplexTypeDef* ComplexTypeOf(const ElementDecl& declaration, int depth = 0) const;
  bool DerivesFrom(const ElementDecl& member, const ElementDecl& head) const;
  void AddNestedGroup(ClassType& cls, const Particle& particle, Group group);
  void AddGroupReference(ClassType& cls, const Particle& reference, Group group);
  void AddGroupParticle(ClassType& cls, ClassType& groupClass, const std::string& property, const Occurs& occurs,
                        bool mandatoryContent, Group group);
  void AddWildcard(ClassType& cls, const Particle& any, Group group);
  void AddAttributes(ClassType& cls, const std::vector<AttributeItem>& items);
  void AddAttribute(ClassType& cls, const AttributeItem& item);
  void AddAttributeWildcard(ClassType& cls, const AttributeItem& item);

  ElementType TypeOfElement(const ElementDecl& declaration, int depth = 0);
  ClassType& GroupClass(const QName& name, const GroupDef& group);
  ElementProperty SubstitutionParticle(ClassType& cls, const Origin& at, const QName& head);
  const Creator& SubstitutionCreator(const ClassType& cls, ClassType& headClass, const QName& head);
  const Creator& TypeCreator(ClassType& result, const QName& type);
  // The classes an element of the declared class may be read into, by its xsi:type: the derived types' first.
  std::vector<Alternative> ByXsiType(const std::string& element, ClassType& declared, const QName& type);
  // Where a value is held, which decides what the library checks of it: in a property of its own, as an item of a
  // repeated element's typed collection, as an item of a list's, as a class's simple content, or inside another value
  // (a union's member), where no element of its own is at hand.
  enum class Holder { Property, Item, ListItem, Content, Inner };
  Value MakeValue(const SimpleType& type, const std::string& owner, const Origin& at, Holder holder);
  void Enumerate(Value& value, const SimpleType& type, const std::string& owner, const Origin& at, Holder holder);
  Value MakeList(const SimpleType& type, const std::string& owner, const Origin& at);
  void QNameAsWritten(const std::string& builtin, const Location& where, const std::string& owner);
  void QNameDefault(Value& value, const Location& where, const std::string& owner);
  const EnumType& Enumeration(const SimpleType& type, const std::string& owner, const Origin& at);
  void NarrowInteger(Value& value, const SimpleType& type);
  bool Emptiable(const Particle& particle, int depth = 0) const;
  bool HasElements(const ClassType& cls) const;
  bool HoldsSimpleContent(const ClassType& cls) const;
  ClassType& ClassOfElementNamed(const QName& element, const Location& at);
  void FindRoots();

  Schema& schema_;
  const Options& options_;
  Binding binding_;
  std::map<const ClassType*, Pending> pending_;
  std::map<QName, ClassType*> typeClasses_;
  std::map<QName, ClassType*> elementClasses_;
  std::map<QName, ClassType*> groupClasses_;
  std::map<QName, ClassType*> substitutionClasses_;
  std::map<const ComplexTypeDef*, ClassType*> anonymousClasses_;
  std::map<const ElementDecl*, ClassType*> nillableHolders_;
  std::map<const SimpleType*, const EnumType*> enums_;
  std::map<QName, const Creator*> groupCreators_;  // by substitution group head
  std::map<const ClassType*, const Creator*> typeCreators_;
  std::set<const AttributeGroupDef*> attributeGroupsInProgress_;
  NameScope creatorNames_;
};

Binding Bind(Schema& schema, const Options& options) { return Binder(schema, options).Run(); }

Binding Binder::Run() {
  // Names are claimed in document order: types, then the global elements that need a class of their own.
  for (const ComplexTypeDef* type : schema_.Model().complexTypes) DeclareType(*type);
  for (const ElementDecl* element : schema_.Model().elements) DeclareElement(*element);
  // Binding makes classes of its own (anonymous types, groups); the deque keeps references, an index reaches them.
  for (size_t i = 0; i < binding_.classes.size(); ++i) Bind(binding_.classes[i]);
  FindRoots();
  return std::move(binding_);
}

ClassType& Binder::NewClass(const std::string& name, const Origin& at, const ComplexTypeDef* definition) {
  ClassType& cls = binding_.classes.emplace_back();
  cls.name = binding_.names.Claim(name);
  cls.output = at.output;
  cls.ns = at.targetNamespace;
  cls.cppNamespace = options_.CppNamespaceOf(at.targetNamespace);
  cls.where = at.where;
  for (const char* member : kClassScopeNames) cls.members.Reserve(member);
  cls.members.Reserve(cls.name);  // a member of the class's own name would be a constructor
  pending_[&cls].definition = definition;
  return cls;
}

void Binder::WarnIdentityConstraints(const ElementDecl& declaration) {
  for (const auto& [where, construct] : declaration.identityConstraints) {
    schema_.diagnostics().Warn(where, construct,
                               "identity constraints are not checked: the values are read and written unchecked");
  }
}

void Binder::DeclareType(const ComplexTypeDef& type) {
  ClassType& cls = NewClass(TypeIdentifier(type.name.local), type.origin, &type);
  cls.infoName = cls.defaultElement = type.name.local;
  cls.abstract = type.abstract;
  cls.origin = "the complex type " + type.name.local;
  typeClasses_[type.name] = &cls;
}

void Binder::DeclareElement(const ElementDecl& element) {
  const QName& name = element.name;
  WarnIdentityConstraints(element);
  if (element.type.complex) {
    ClassType& cls = NewClass(TypeIdentifier(name.local), element.origin, element.type.complex);
    cls.infoName = cls.defaultElement = name.local;
    cls.origin = "the element " + name.local + ", whose type is its own";
    anonymousClasses_[element.type.complex] = &cls;
    elementClasses_[name] = &cls;
    return;
  }
  const ElementType type = TypeOfElement(element);
  if (!type.complex) return;
  ClassType& typeClass = *type.complex;
  const std::string wanted = TypeIdentifier(name.local);
  if (typeClass.abstract || element.abstract ||
      (wanted == typeClass.name && typeClass.defaultElement == typeClass.infoName)) {
    // The type's class serves: under the element's name when the two are named alike.
    if (wanted == typeClass.name) typeClass.defaultElement = name.local;
    elementClasses_[name] = &typeClass;
    return;
  }
  ClassType& alias = NewClass(wanted, element.origin, nullptr);
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
    Refuse(cls.where, "xs:complexType", cls.infoName + " derives from itself: break the cycle");
  }
  pending.state = Pending::Binding;
  if (cls.elementAlias) {
    Bind(*cls.base);
    cls.members = cls.base->members;
    cls.members.Reserve(cls.name);
    cls.text = cls.base->text;
    cls.group = cls.base->group;
  } else if (pending.definition) {
    BindComplexType(cls, *pending.definition);
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

void Binder::BindSimpleContent(ClassType& cls, const ComplexTypeDef& type) {
  const QName& base = type.base;
  const bool restriction = type.derivation == ComplexTypeDef::Derivation::Restriction;
  if (const auto it = typeClasses_.find(base); it != typeClasses_.end()) {
    SetBase(cls, *it->second);
    if (!cls.text) {
      Refuse(type.stepWhere, type.stepConstruct, "the base " + base.local + " has no simple content: use complexContent");
    }
    if (restriction && type.stepHasFacets) RestrictContent(cls, type);
  } else if (const SimpleType* value = schema_.Simple(base); !value) {
    Refuse(type.stepWhere, type.stepConstruct,
           "the type " + base.Text() + " is not defined: fix the name or give its schema");
  } else {
    cls.textType = value;
    if (HeldTyped(*value)) {
      cls.textProperty = cls.members.Claim("Value");
      cls.textValue = MakeValue(*value, cls.textProperty, type.origin, Holder::Content);
    } else if (!value->enumeration.empty() || value->variety != SimpleType::Variety::Atomic) {
      const std::string unchecked = value->variety == SimpleType::Variety::List    ? "the items of "
                                    : value->variety == SimpleType::Variety::Union ? "the member types of "
                                                                                   : "the facets of ";
      schema_.diagnostics().Warn(type.stepWhere, "xs:simpleContent",
                                 unchecked + base.local + " are not checked: the value of " + cls.infoName +
                                     " is held as text (Text)");
    }
  }
  cls.text = true;
  // A restriction narrows what its base allows; the base's class holds it already.
  if (!restriction || !cls.base) AddAttributes(cls, type.attributes);
}

// A restriction's facets over its base's content: the class declares its content again, with them, through the
// accessors of its base (Value or Text).
void Binder::RestrictContent(ClassType& cls, const ComplexTypeDef& type) {
  const ClassType* holder = cls.base;
  while (holder && !holder->textType) holder = holder->base;
  const SimpleType* content = holder ? &schema_.RestrictedContent(type, *holder->textType) : nullptr;
  if (!content || (!holder->textValue && !HeldTyped(*content)) || content->variety != SimpleType::Variety::Atomic ||
      (!content->enumeration.empty() && !content->primitive->IsText())) {
    schema_.diagnostics().Warn(type.stepWhere, "xs:simpleContent",
                               "the facets of " + cls.infoName + " are not checked: its base's value is held as text");
    return;
  }
  cls.textType = content;
  cls.textProperty = holder->textValue ? holder->textProperty : "Text";
  cls.textValue = MakeValue(*content, cls.textProperty, type.origin, Holder::Content);
}

void Binder::BindComplexType(ClassType& cls, const ComplexTypeDef& type) {
  if (type.content == ComplexTypeDef::Content::Simple) return BindSimpleContent(cls, type);
  if (type.content == ComplexTypeDef::Content::Complex && !type.base.IsXs("anyType")) {
    const auto it = typeClasses_.find(type.base);
    if (it == typeClasses_.end()) {
      Refuse(type.stepWhere, type.stepConstruct,
             "the base " + type.base.Text() + " is not a complex type of the schemas read: fix the name or " +
                 "give its schema");
    }
    SetBase(cls, *it->second);
    if (type.derivation == ComplexTypeDef::Derivation::Restriction) {
      cls.text = cls.text || type.mixed;
      return;  // a restriction allows less than its base, whose declarations it keeps
    }
  }
  cls.text = cls.text || type.mixed;
  if (type.particle) BindContent(cls, *type.particle, type);
  AddAttributes(cls, type.attributes);
}

// Whether the class holds its element's text as simple content (a nillable value's holder is one), known from the
// definitions before the classes are bound.
bool Binder::HoldsSimpleContent(const ClassType& cls) const {
  if (cls.nillable) return true;
  for (const ClassType* c = &cls; c; c = c->base) {
    const auto it = pending_.find(c);
    if (it != pending_.end() && it->second.definition) {
      return it->second.definition->content == ComplexTypeDef::Content::Simple;
    }
  }
  return false;
}

bool Binder::HasElements(const ClassType& cls) const {
  for (const ClassType* c = &cls; c; c = c->base) {
    if (!c->particles.empty()) return true;
  }
  return false;
}

void Binder::BindContent(ClassType& cls, const Particle& model, const ComplexTypeDef& type) {
  if (model.occurs.Absent()) return;
  if (HasElements(cls)) return AppendContent(cls, model);
  // A type that an extension adds elements to keeps its content whole, as the first particle of a sequence, so that
  // the extension's elements can follow it whatever group it is.
  if (ExtendedWithElements(type.name)) {
    cls.group = Group::Sequence;
    return AppendContent(cls, model);
  }
  if (BindLoneChoice(cls, model)) return;
  if (!model.occurs.Once() || model.kind != Particle::Kind::Group) {
    cls.group = Group::Sequence;
    AddParticle(cls, model, Group::Sequence);
  } else {
    cls.group = GroupOf(model.group->compositor);
    AddGroup(cls, *model.group, cls.group);
  }
}

// Content after what the class holds already (its base's): a sequence's particles join it, any other group comes
// whole, as a class of its own.
void Binder::AppendContent(ClassType& cls, const Particle& model) {
  if (cls.group != Group::Sequence) throw std::logic_error("content appended to a " + cls.name + " that is no sequence");
  if (model.kind != Particle::Kind::Group) return AddParticle(cls, model, Group::Sequence);
  if (model.group->compositor == Compositor::Sequence && model.occurs.Once()) {
    return AddGroup(cls, *model.group, Group::Sequence);
  }
  AddNestedGroup(cls, model, Group::Sequence);
}

// Whether a type derived from this one by extension, directly or not, adds elements to its content.
bool Binder::ExtendedWithElements(const QName& type) const {
  if (type.Empty()) return false;
  for (const QName& derived : schema_.DerivedTypes(type)) {
    const ComplexTypeDef* definition = schema_.ComplexType(derived);
    if (definition && definition->derivation == ComplexTypeDef::Derivation::Extension && definition->particle &&
        !definition->particle->occurs.Absent()) {
      return true;
    }
  }
  return false;
}

// A sequence of one choice, or of one reference to a substitution group, is that choice.
bool Binder::BindLoneChoice(ClassType& cls, const Particle& model) {
  if (!model.occurs.Once()) return false;
  const ModelGroup* only = nullptr;
  for (const Particle* at = &model; at->kind == Particle::Kind::Group && at->group->compositor == Compositor::Sequence;) {
    if (at->group->particles.size() != 1 || !at->group->particles[0].occurs.Once()) break;
    const Particle& child = at->group->particles[0];
    if (child.kind == Particle::Kind::Group && child.group->compositor == Compositor::Choice) {
      only = child.group;
      at = &child;
    } else if (child.kind == Particle::Kind::ElementRef && !schema_.SubstitutionMembers(child.ref).empty()) {
      cls.group = Group::Choice;
      AddSubstitution(cls, child, child.ref, Group::Choice);
      return true;
    } else {
      break;
    }
  }
  if (!only) return false;
  cls.group = Group::Choice;
  AddGroup(cls, *only, Group::Choice);
  return true;
}

// A nested group of the same kind that occurs once is the same group: its particles join this one.
void Binder::AddGroup(ClassType& cls, const ModelGroup& model, Group group) {
  for (const Particle& child : model.particles) {
    if (group != Group::All && child.kind == Particle::Kind::Group && GroupOf(child.group->compositor) == group &&
        child.occurs.Once()) {
      AddGroup(cls, *child.group, group);
      continue;
    }
    AddParticle(cls, child, group);
  }
}

void Binder::AddParticle(ClassType& cls, const Particle& particle, Group group) {
  switch (particle.kind) {
    case Particle::Kind::Element:
    case Particle::Kind::ElementRef: return AddElement(cls, particle, group);
    case Particle::Kind::Any: return AddWildcard(cls, particle, group);
    case Particle::Kind::Group:
      if (particle.group->compositor == Compositor::All) {
        Refuse(particle.origin.where, "xs:all", "an all group must be the whole content of its type: move it there");
      }
      [[fallthrough]];
    case Particle::Kind::GroupRef:
      if (group == Group::All) {
        Refuse(particle.origin.where, particle.origin.construct, "an all group holds elements only: move it out");
      }
      if (particle.kind == Particle::Kind::Group) return AddNestedGroup(cls, particle, group);
      return AddGroupReference(cls, particle, group);
  }
}

Binder::ElementType Binder::TypeOfElement(const ElementDecl& declaration, int depth) {
  ElementType type;
  if (!declaration.type.name.Empty()) {
    const QName& name = declaration.type.name;
    if (name.IsXs("anyType")) {
      type.anyType = true;
    } else if (const auto it = typeClasses_.find(name); it != typeClasses_.end()) {
      type.complex = it->second;
      type.complexName = name;
    } else if (!(type.simple = schema_.Simple(name))) {
      Refuse(declaration.origin.where, "xs:element",
             "the type " + name.Text() + " is not defined: fix the name or give the schema that defines it");
    }
  } else if (declaration.type.complex) {
    const auto it = anonymousClasses_.find(declaration.type.complex);
    type.complex = it != anonymousClasses_.end() ? it->second : nullptr;
  } else if (declaration.type.simple) {
    type.simple = &schema_.Resolved(*declaration.type.simple);
  } else if (!declaration.substitutionGroup.empty() && depth < 64) {
    // A member without a type of its own has its head's.
    const QName& head = declaration.substitutionGroup.front();
    const ElementDecl* headDeclaration = schema_.Element(head);
    if (!headDeclaration) {
      Refuse(declaration.origin.where, "xs:element",
             "the substitution group head " + head.Text() + " is not declared: fix the name");
    }
    return TypeOfElement(*headDeclaration, depth + 1);
  } else {
    type.anyType = true;
  }
  return type;
}

ClassType& Binder::ClassOfElementNamed(const QName& element, const Location& at) {
  const auto it = elementClasses_.find(element);
  if (it == elementClasses_.end()) {
    Refuse(at, "xs:element", "the element " + element.Text() + " has no complex type here");
  }
  return *it->second;
}

void Binder::AddElement(ClassType& cls, const Particle& particle, Group group) {
  if (particle.occurs.Absent()) return;
  if (particle.kind == Particle::Kind::Element) {
    WarnIdentityConstraints(*particle.element);
    return AddDeclared(cls, particle, *particle.element, false, group);
  }
  const ElementDecl* declaration = schema_.Element(particle.ref);
  if (!declaration) {
    Refuse(particle.origin.where, "xs:element",
           "the element " + particle.ref.Text() + " is not declared: fix the name or give its schema");
  }
  if (!schema_.SubstitutionMembers(particle.ref).empty()) return AddSubstitution(cls, particle, particle.ref, group);
  AddDeclared(cls, particle, *declaration, true, group);
}

void Binder::AddDeclared(ClassType& cls, const Particle& particle, const ElementDecl& declaration, bool global,
                         Group group) {
  const QName& name = declaration.name;
  ElementProperty p;
  p.elementName = name.local;
  p.ns = name.ns;
  p.minOccurs = particle.occurs.min;
  p.maxOccurs = particle.occurs.max;
  p.property = cls.members.Claim(Identifier(name.local));

  const ElementType type = TypeOfElement(declaration);
  if (type.simple) {
    BindValue(cls, p, declaration, *type.simple, particle);
  } else if (type.anyType) {
    p.kind = Kind::Untyped;
    p.namespaceRestriction = "##any";
    p.targetNamespace = particle.origin.targetNamespace;
  } else {
    BindClass(cls, p, declaration, type, global, group, particle.origin);
  }
  p.occurs = CardinalityIn(group, p.kind, particle.occurs);
  p.value.fixed = declaration.fixedValue.has_value();
  p.value.defaultValue = p.value.fixed ? declaration.fixedValue : declaration.defaultValue;
  const bool isClass = p.kind == Kind::Class || p.kind == Kind::AbstractClass;
  if (p.value.defaultValue && isClass && !(p.kind == Kind::Class && HoldsSimpleContent(*p.type))) {
    // Only simple content takes its element's default; mixed content keeps its text as it was written.
    schema_.diagnostics().Warn(declaration.origin.where, "xs:element",
                               "the default or fixed value of " + name.local + " is not given to an empty " +
                                   name.local + " element: its content is not simple");
    p.value.defaultValue.reset();
    p.value.fixed = false;
  }
  QNameDefault(p.value, declaration.origin.where, p.property);
  if ((p.kind == Kind::Primitive || p.kind == Kind::Enum) && p.occurs == Cardinality::Optional) {
    p.isValid = cls.members.Claim("IsValid" + p.property);
  }
  cls.particles.push_back(std::move(p));
}

void Binder::BindValue(ClassType& cls, ElementProperty& p, const ElementDecl& declaration, const SimpleType& type,
                       const Particle& particle) {
  if (declaration.nillable) {
    // Only a class can be nil: one holding the value as its text.
    p.kind = Kind::Class;
    p.type = &NillableHolder(cls, declaration, type);
    return;
  }
  p.kind = Kind::Primitive;
  p.value = MakeValue(type, p.property, particle.origin, particle.occurs.Repeated() ? Holder::Item : Holder::Property);
  if (p.value.enumeration) p.kind = Kind::Enum;
}

ClassType& Binder::NillableHolder(const ClassType& cls, const ElementDecl& declaration, const SimpleType& type) {
  ClassType*& holder = nillableHolders_[&declaration];
  if (holder) return *holder;
  const QName& name = declaration.name;
  std::string wanted = TypeIdentifier(name.local);
  if (binding_.names.Taken(wanted)) wanted = cls.name + wanted;
  holder = &NewClass(wanted, declaration.origin, nullptr);
  holder->infoName = holder->defaultElement = name.local;
  holder->ns = name.ns;
  holder->text = holder->nillable = true;
  holder->origin = "the nillable element " + name.local + ": its value, or nil";
  holder->textType = &type;
  pending_[holder].state = Pending::Bound;
  if (HeldTyped(type)) {
    holder->textProperty = holder->members.Claim("Value");
    holder->textValue = MakeValue(type, holder->textProperty, declaration.origin, Holder::Content);
  } else if (type.variety != SimpleType::Variety::Atomic || !type.primitive->IsText() || !type.facets.Empty() ||
             !type.enumeration.empty()) {
    schema_.diagnostics().Warn(declaration.origin.where, "nillable",
                               "the element " + name.local + " is held as text (Text) so that it can be nil: " +
                                   "its type " + type.builtin + " and facets are not checked");
  }
  return *holder;
}

void Binder::BindClass(ClassType& cls, ElementProperty& p, const ElementDecl& declaration, const ElementType& type,
                       bool global, Group group, const Origin& at) {
  const QName& name = declaration.name;
  ClassType* target = type.complex;
  if (global) {
    target = &ClassOfElementNamed(name, at.where);
  } else if (!target) {
    // A local element with a type of its own: a class named after the element, or after both.
    std::string wanted = TypeIdentifier(name.local);
    if (binding_.names.Taken(wanted)) wanted = cls.name + wanted;
    target = &NewClass(wanted, declaration.origin, declaration.type.complex);
    target->infoName = target->defaultElement = name.local;
    target->ns = name.ns;
    target->origin = "the element " + name.local + " of " + cls.infoName + ", whose type is its own";
    anonymousClasses_[declaration.type.complex] = target;  // bound later, so that it may hold the group it stands in
  }
  if (declaration.nillable) target->nillable = true;
  p.type = target;
  p.kind = Kind::Class;
  const QName& typeName = type.complexName;
  const bool substitutable = !typeName.Empty() && !schema_.DerivedTypes(typeName).empty();
  if (!target->abstract && !substitutable) return;
  if (group != Group::All) {
    p.kind = Kind::AbstractClass;
    p.creator = TypeCreator(*target, typeName).name;
    return;
  }
  // The library reads no class chosen by xsi:type inside an all group: the element keeps all it holds untyped.
  p.kind = Kind::Untyped;
  p.type = nullptr;
  p.namespaceRestriction = "##any";
  p.targetNamespace = at.targetNamespace;
  schema_.diagnostics().Warn(at.where, "xs:all",
                             "the element " + name.local + " may name a derived type by xsi:type, which an all " +
                                 "group cannot read as a class: it is bound as untyped content, which keeps no xsi:type");
}

const Creator& Binder::SubstitutionCreator(const ClassType& cls, ClassType& headClass, const QName& head) {
  if (const auto it = groupCreators_.find(head); it != groupCreators_.end()) return *it->second;
  Creator& creator = binding_.creators.emplace_back();
  creator.name = creatorNames_.Claim("Create" + TypeIdentifier(head.local));
  creator.result = &headClass;
  creator.byElementName = true;
  creator.output = cls.output;
  std::vector<QName> members = schema_.SubstitutionMembers(head);
  if (!schema_.Element(head)->abstract) members.insert(members.begin(), head);
  for (const QName& member : members) {
    const ElementDecl& declaration = *schema_.Element(member);
    if (declaration.abstract) continue;
    const auto it = elementClasses_.find(member);
    if (it == elementClasses_.end() || !DerivesFrom(declaration, *schema_.Element(head))) {
      Refuse(declaration.origin.where, "substitutionGroup",
             "the type of " + member.local + " does not derive from the type of " + head.local + ": derive it");
    }
    for (Alternative& alternative : ByXsiType(member.local, *it->second, TypeOfElement(declaration).complexName)) {
      creator.choices.push_back(std::move(alternative));
    }
  }
  groupCreators_[head] = &creator;
  return creator;
}

// The complex type of an element declaration, its substitution group head's when it has none of its own.
const ComplexTypeDef* Binder::ComplexTypeOf(const ElementDecl& declaration, int depth) const {
  if (!declaration.type.name.Empty()) return schema_.ComplexType(declaration.type.name);
  if (declaration.type.complex || declaration.type.simple) return declaration.type.complex;
  if (declaration.substitutionGroup.empty() || depth > 64) return nullptr;
  const ElementDecl* head = schema_.Element(declaration.substitutionGroup.front());
  return head ? ComplexTypeOf(*head, depth + 1) : nullptr;
}

// Whether the member's type is the head's or derives from it, as the schema says: classes may still be binding.
bool Binder::DerivesFrom(const ElementDecl& member, const ElementDecl& head) const {
  const ComplexTypeDef* wanted = ComplexTypeOf(head);
  const ComplexTypeDef* type = ComplexTypeOf(member);
  for (int depth = 0; type && depth < 64; ++depth) {
    if (type == wanted) return true;
    const std::optional<QName> base = Schema::BaseType(*type);
    type = base ? schema_.ComplexType(*base) : nullptr;
  }
  return false;
}

ElementProperty Binder::SubstitutionParticle(ClassType& cls, const Origin& at, const QName& head) {
  ElementProperty p;
  p.kind = Kind::AbstractClass;
  p.occurs = Cardinality::Optional;
  p.property = cls.members.Claim(Identifier(head.local));
  ClassType& headClass = ClassOfElementNamed(head, at.where);
  p.type = &headClass;
  p.elementName = head.local;
  p.ns = head.ns;
  p.creator = SubstitutionCreator(cls, headClass, head).name;
  std::vector<QName> all = schema_.SubstitutionMembers(head);
  all.insert(all.begin(), head);
  for (const QName& member : all) {
    if (!schema_.Element(member)->abstract) p.alternatives.emplace_back(member.local, member.ns);
  }
  return p;
}

void Binder::AddSubstitution(ClassType& cls, const Particle& particle, const QName& head, Group group) {
  // A head of a complex type is one property whose class the factory picks; any other, a property per member.
  const bool byClass = elementClasses_.count(head) != 0;
  const auto fill = [&](ClassType& into) {
    if (byClass) return into.particles.push_back(SubstitutionParticle(into, particle.origin, head));
    AddMembers(into, particle, head);
  };
  if (group == Group::Choice && !particle.occurs.Repeated()) return fill(cls);
  // Anywhere else the members are a choice of their own: a model group class holding whichever stands there.
  ClassType*& groupClass = substitutionClasses_[head];
  if (!groupClass) {
    groupClass = &NewClass(TypeIdentifier(head.local) + "Group", particle.origin, nullptr);
    groupClass->pseudo = true;
    groupClass->group = Group::Choice;
    groupClass->infoName = groupClass->defaultElement = groupClass->name;
    groupClass->ns = head.ns;
    groupClass->origin = "the substitution group of " + head.local + ": whichever member stands there";
    fill(*groupClass);
    pending_[groupClass].state = Pending::Bound;
  }
  AddGroupParticle(cls, *groupClass, cls.members.Claim(Identifier(head.local)), particle.occurs,
                   particle.occurs.min > 0, group);
}

// The members of a group whose head has a simple type or none: each element a property of its own, of its own
// type, one of them set at a time and written under its own name.
void Binder::AddMembers(ClassType& cls, const Particle& particle, const QName& head) {
  std::vector<QName> members = schema_.SubstitutionMembers(head);
  members.insert(members.begin(), head);
  for (const QName& member : members) {
    const ElementDecl& declaration = *schema_.Element(member);
    if (declaration.abstract) continue;
    Particle alone = particle;
    alone.ref = member;
    alone.occurs = {1, 1};
    AddDeclared(cls, alone, declaration, true, Group::Choice);
  }
}

void Binder::AddNestedGroup(ClassType& cls, const Particle& particle, Group group) {
  if (particle.occurs.Absent()) return;
  const Group nested = GroupOf(particle.group->compositor);
  const std::string word = nested == Group::Choice ? "Choice" : nested == Group::All ? "All" : "Sequence";
  ClassType& groupClass = NewClass(cls.name + word, particle.origin, nullptr);
  groupClass.pseudo = true;
  groupClass.infoName = groupClass.defaultElement = groupClass.name;
  groupClass.ns = cls.ns;
  const std::string what = nested == Group::All ? "an all group" : "a " + MemberIdentifier(word);
  groupClass.origin = what + " within " + cls.infoName;
  groupClass.group = nested;
  pending_[&groupClass].state = Pending::Bound;
  AddGroup(groupClass, *particle.group, groupClass.group);
  AddGroupParticle(cls, groupClass, cls.members.Claim(MemberIdentifier(word)), particle.occurs, !Emptiable(particle),
                   group);
}

void Binder::AddGroupReference(ClassType& cls, const Particle& reference, Group group) {
  if (reference.occurs.Absent()) return;
  const GroupDef* definition = schema_.Group(reference.ref);
  if (!definition) {
    Refuse(reference.origin.where, "xs:group",
           "the group " + reference.ref.Text() + " is not defined: fix the name or give its schema");
  }
  ClassType& groupClass = GroupClass(reference.ref, *definition);
  AddGroupParticle(cls, groupClass, cls.members.Claim(MemberIdentifier(reference.ref.local)), reference.occurs,
                   !Emptiable(reference), group);
}

ClassType& Binder::GroupClass(const QName& name, const GroupDef& group) {
  if (const auto it = groupClasses_.find(name); it != groupClasses_.end()) {
    if (pending_[it->second].state != Pending::Bound) {
      Refuse(group.origin.where, "xs:group", "the group " + name.local + " contains itself: break the cycle");
    }
    return *it->second;
  }
  ClassType& cls = NewClass(TypeIdentifier(name.local), group.origin, nullptr);
  groupClasses_[name] = &cls;
  cls.pseudo = true;
  cls.infoName = cls.defaultElement = name.local;
  cls.origin = "the model group " + name.local;
  pending_[&cls].state = Pending::Binding;
  cls.group = GroupOf(group.group->compositor);
  AddGroup(cls, *group.group, cls.group);
  pending_[&cls].state = Pending::Bound;
  return cls;
}

void Binder::AddGroupParticle(ClassType& cls, ClassType& groupClass, const std::string& property,
                              const Occurs& occurs, bool mandatoryContent, Group group) {
  ElementProperty p;
  p.kind = Kind::Class;
  p.pseudo = true;
  p.type = &groupClass;
  p.elementName = groupClass.infoName;
  p.ns = groupClass.ns;
  p.property = property;
  p.minOccurs = occurs.min;
  p.maxOccurs = occurs.max;
  p.occurs = CardinalityIn(group, Kind::Class, occurs);
  p.mandatoryContent = mandatoryContent;
  cls.particles.push_back(std::move(p));
}

void Binder::AddWildcard(ClassType& cls, const Particle& any, Group group) {
  if (any.occurs.Absent()) return;
  ElementProperty p;
  p.kind = Kind::Untyped;
  p.elementName = "AnyElement";
  p.property = cls.members.Claim("any");
  p.minOccurs = any.occurs.min;
  p.maxOccurs = any.occurs.max;
  p.occurs = CardinalityIn(group, Kind::Untyped, any.occurs);
  p.namespaceRestriction = any.any.namespaces;
  p.targetNamespace = any.any.targetNamespace;
  p.ns = AllowedNamespace(p.namespaceRestriction, p.targetNamespace);
  cls.particles.push_back(std::move(p));
}

bool Binder::Emptiable(const Particle& particle, int depth) const {
  if (depth > 64) return false;
  if (particle.occurs.min == 0) return true;
  const ModelGroup* group = particle.group;
  switch (particle.kind) {
    case Particle::Kind::Element:
    case Particle::Kind::ElementRef:
    case Particle::Kind::Any: return false;
    case Particle::Kind::GroupRef: {
      const GroupDef* definition = schema_.Group(particle.ref);
      if (!definition) return false;
      group = definition->group;
      if (!group) return true;
      return Emptiable(Particle{Particle::Kind::Group, {}, particle.origin, nullptr, {}, group, {}}, depth + 1);
    }
    case Particle::Kind::Group: break;
  }
  const auto emptiable = [&](const Particle& p) { return Emptiable(p, depth + 1); };
  if (group->compositor == Compositor::Choice) {
    return std::any_of(group->particles.begin(), group->particles.end(), emptiable);
  }
  return std::all_of(group->particles.begin(), group->particles.end(), emptiable);
}

void Binder::AddAttributes(ClassType& cls, const std::vector<AttributeItem>& items) {
  for (const AttributeItem& item : items) {
    switch (item.kind) {
      case AttributeItem::Kind::Use: AddAttribute(cls, item); break;
      case AttributeItem::Kind::Wildcard: AddAttributeWildcard(cls, item); break;
      case AttributeItem::Kind::GroupRef: {
        const AttributeGroupDef* group = schema_.AttributeGroup(item.ref);
        if (!group) {
          Refuse(item.origin.where, "xs:attributeGroup",
                 "the attribute group " + item.ref.Text() + " is not defined: fix the name or give its schema");
        }
        if (!attributeGroupsInProgress_.insert(group).second) {
          Refuse(group->origin.where, "xs:attributeGroup",
                 "the attribute group " + item.ref.local + " contains itself: break the cycle");
        }
        AddAttributes(cls, group->attributes);
        attributeGroupsInProgress_.erase(group);
        break;
      }
    }
  }
}

void Binder::AddAttribute(ClassType& cls, const AttributeItem& item) {
  if (item.use == AttributeItem::Use::Prohibited) return;
  const AttributeDecl* declaration = item.local;
  QName name = item.local ? item.local->name : item.ref;
  if (!item.local && name.ns != kXmlNamespace) {
    declaration = schema_.Attribute(name);
    if (!declaration) {
      Refuse(item.origin.where, "xs:attribute",
             "the attribute " + name.Text() + " is not declared: fix the name or give its schema");
    }
  }
  for (const AttributeProperty& existing : cls.attributes) {
    if (existing.attributeName == name.local && existing.ns == name.ns) return;  // restated by an extension
  }
  AttributeProperty a;
  a.attributeName = name.local;
  a.ns = name.ns;
  a.optional = item.use != AttributeItem::Use::Required;
  a.property = cls.members.Claim(Identifier(name.local));
  const SimpleType* type = nullptr;
  if (declaration && !declaration->type.name.Empty()) {
    type = schema_.Simple(declaration->type.name);
    if (!type) {
      Refuse(declaration->origin.where, "xs:attribute",
             "the type " + declaration->type.name.Text() + " is not a simple type of the schemas read: fix the name " +
                 "or give its schema");
    }
  } else if (declaration && declaration->type.simple) {
    type = &schema_.Resolved(*declaration->type.simple);
  }
  if (!type) type = schema_.Simple(QName{std::string(kXsNamespace), name.ns == kXmlNamespace ? "token" : "anySimpleType"});
  a.value = MakeValue(*type, a.property, item.origin, Holder::Property);
  a.value.defaultValue = item.defaultValue ? item.defaultValue : item.fixedValue;
  a.value.fixed = item.fixedValue.has_value();
  if (!a.value.defaultValue && declaration) {
    a.value.defaultValue = declaration->defaultValue ? declaration->defaultValue : declaration->fixedValue;
    a.value.fixed = declaration->fixedValue.has_value();
  }
  QNameDefault(a.value, item.origin.where, a.property);
  a.kind = a.value.enumeration ? AttributeProperty::AttrKind::Enum : AttributeProperty::AttrKind::Primitive;
  if (a.optional) a.isValid = cls.members.Claim("IsValid" + a.property);
  cls.attributes.push_back(std::move(a));
}

void Binder::AddAttributeWildcard(ClassType& cls, const AttributeItem& item) {
  for (const ClassType* c = &cls; c; c = c->base) {
    for (const AttributeProperty& a : c->attributes) {
      if (a.kind == AttributeProperty::AttrKind::Wildcard) return;  // one wildcard takes what the declarations do not
    }
  }
  AttributeProperty a;
  a.kind = AttributeProperty::AttrKind::Wildcard;
  a.property = cls.members.Claim("anyAttribute");
  a.namespaceRestriction = item.any.namespaces;
  a.targetNamespace = item.any.targetNamespace;
  a.ns = AllowedNamespace(a.namespaceRestriction, a.targetNamespace);
  cls.attributes.push_back(std::move(a));
}

std::vector<Alternative> Binder::ByXsiType(const std::string& element, ClassType& declared, const QName& type) {
  std::vector<Alternative> alternatives;
  if (!type.Empty()) {
    for (const QName& derived : schema_.DerivedTypes(type)) {
      ClassType* cls = typeClasses_.at(derived);
      if (!cls->abstract) alternatives.push_back({element, derived.local, cls});
    }
  }
  if (!declared.abstract) {
    alternatives.push_back({element, "", &declared});
    if (!type.Empty()) alternatives.push_back({element, type.local, &declared});
  }
  return alternatives;
}

const Creator& Binder::TypeCreator(ClassType& result, const QName& type) {
  if (const auto it = typeCreators_.find(&result); it != typeCreators_.end()) return *it->second;
  Creator& creator = binding_.creators.emplace_back();
  creator.name = creatorNames_.Claim("Create" + result.name);
  creator.result = &result;
  creator.output = result.output;
  creator.choices = ByXsiType("", result, type);
  typeCreators_[&result] = &creator;
  return creator;
}

Value Binder::MakeValue(const SimpleType& type, const std::string& owner, const Origin& at, Holder holder) {
  if (type.item) return MakeList(type, owner, at);
  const bool qualified = type.builtin == "QName" || type.builtin == "NOTATION";
  const bool resolved = holder == Holder::Property || holder == Holder::Item || holder == Holder::Content;
  if (qualified && (!resolved || !type.enumeration.empty() || type.variety != SimpleType::Variety::Atomic)) {
    QNameAsWritten(type.builtin, at.where, owner);
  }
  Value value;
  value.primitive = type.primitive;
  value.whitespace = type.whitespace;
  if (type.variety == SimpleType::Variety::List) return value;  // of lists or unions: one unchecked text
  if (type.variety == SimpleType::Variety::Union) {
    for (const SimpleType* member : type.members) {
      value.members.push_back(MakeValue(*member, owner, at, Holder::Inner));
    }
    return value;
  }
  value.facets = type.facets;
  if (qualified && resolved && type.enumeration.empty()) {
    // The library checks the name's form as it resolves it; the lexical pattern would refuse {namespace}local.
    value.qname = true;
    value.facets.patterns.clear();
  }
  if (type.integer) NarrowInteger(value, type);
  if (value.facets.length > kMaxLengthFacet || value.facets.minLength > kMaxLengthFacet) {
    schema_.diagnostics().Warn(at.where, "xs:length", "lengths beyond 32767 are not checked: the facet is left out");
    value.facets.length = value.facets.minLength = -1;
  }
  if (value.facets.maxLength > kMaxLengthFacet) value.facets.maxLength = -1;  // no string that long is expected
  if (!type.enumeration.empty()) Enumerate(value, type, owner, at, holder);
  return value;
}

// An enumeration held alone is a C++ enumeration; a collection's items check it, a string's as the pattern of its
// values.
void Binder::Enumerate(Value& value, const SimpleType& type, const std::string& owner, const Origin& at,
                       Holder holder) {
  if (holder == Holder::Property) {
    value.enumeration = &Enumeration(type, owner, at);
  } else if (type.primitive->IsText()) {
    std::string alternatives;
    for (const std::string& v : type.enumeration) alternatives += (alternatives.empty() ? "" : "|") + EscapeRegex(v);
    value.facets.patterns.push_back(alternatives);
  } else if (holder != Holder::Inner && holder != Holder::Content) {
    value.enumerated = type.enumeration;
  } else {
    schema_.diagnostics().Warn(at.where, "xs:enumeration",
                               "the " + std::string(type.primitive->name) + " values of " + owner +
                                   " are checked against their member type, not its enumeration");
  }
}

Value Binder::MakeList(const SimpleType& type, const std::string& owner, const Origin& at) {
  Value value = MakeValue(*type.item, owner, at, Holder::ListItem);
  value.list = true;
  const Facets& lengths = type.facets;
  value.minItems = std::max(0, lengths.length >= 0 ? lengths.length : lengths.minLength);
  value.maxItems = lengths.length >= 0 ? lengths.length : lengths.maxLength;
  return value;
}

// Where no element is at hand to resolve it against (a list's items, a union member), or where a
// default value would need the schema's prefixes: the name as the document spells it.
void Binder::QNameAsWritten(const std::string& builtin, const Location& where, const std::string& owner) {
  schema_.diagnostics().Warn(where, "xs:" + builtin,
                             "the value of " + owner +
                                 " is kept as written, prefix included: write the document with the prefixes it " +
                                 "was read with (NamespaceAliases)");
}

// A qualified name with a default value keeps its text as written, as the default is written.
void Binder::QNameDefault(Value& value, const Location& where, const std::string& owner) {
  if (!value.qname || !value.defaultValue) return;
  QNameAsWritten("QName", where, owner);
  value.qname = false;
}

void Binder::NarrowInteger(Value& value, const SimpleType& type) {
  Facets& f = value.facets;
  for (const std::string* bound : {&f.minInclusive, &f.maxInclusive, &f.minExclusive, &f.maxExclusive}) {
    if (!bound->empty() && !IsIntegerText(*bound)) {
      Refuse(type.definition ? type.definition->origin.where : Location{}, "xs:restriction",
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

const EnumType& Binder::Enumeration(const SimpleType& type, const std::string& owner, const Origin& at) {
  if (const auto it = enums_.find(&type); it != enums_.end()) return *it->second;
  EnumType& e = binding_.enums.emplace_back();
  e.name = binding_.names.Claim(TypeIdentifier(type.name.Empty() ? owner : type.name.local));
  e.whitespace = type.whitespace;
  e.toString = e.name + "ToString";
  e.fromString = e.name + "FromString";
  e.origin = type.name.Empty() ? "the values of " + owner : "the simple type " + type.name.local;
  const Origin& home = type.definition ? type.definition->origin : at;
  e.output = home.output;
  e.cppNamespace = options_.CppNamespaceOf(home.targetNamespace);
  NameScope values;
  for (const std::string& v : type.enumeration) {
    if (std::any_of(e.values.begin(), e.values.end(), [&](const auto& existing) { return existing.second == v; })) {
      continue;
    }
    const std::string part = v.empty() ? "empty" : Identifier(v);
    e.values.emplace_back(binding_.names.Claim(values.Claim(e.name + "_" + part)), v);
  }
  enums_[&type] = &e;
  return e;
}

void Binder::FindRoots() {
  // Documents may start with any global element of a complex type that can be made.
  const std::set<std::string> wanted(options_.roots.begin(), options_.roots.end());
  std::set<std::string> found;
  for (const auto& [name, declaration] : schema_.Elements()) {
    const auto it = elementClasses_.find(name);
    if (it == elementClasses_.end() || it->second->abstract || declaration->abstract) continue;
    if (!wanted.empty() && !wanted.count(name.local) && !wanted.count(name.Text())) continue;
    found.insert(name.local);
    found.insert(name.Text());
    binding_.roots.push_back({name, declaration->origin.output,
                              ByXsiType(name.local, *it->second, TypeOfElement(*declaration).complexName)});
  }
  for (const std::string& root : options_.roots) {
    if (!found.count(root)) {
      Refuse({"--root", 0}, root,
             "no global element of a complex type has that name: give one of the schema's elements");
    }
  }
}

}  // namespace vexlo9::xsd
