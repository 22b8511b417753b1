#include "PropertyEmitters.h"

namespace vexlo9::xsd {

using cpp::Code;
using cpp::Designated;
using cpp::Quote;

namespace {

const char* const kHelper = "vexlo9::Global::XmlObjectBaseHelper()";

std::string OccursName(Cardinality occurs) {
  switch (occurs) {
    case Cardinality::Optional: return "vexlo9::Occurs::Optional";
    case Cardinality::Repeated: return "vexlo9::Occurs::Repeated";
    case Cardinality::Mandatory: break;
  }
  return "vexlo9::Occurs::Mandatory";
}

// The facets as designated initializers, or nothing when there are none.
std::optional<Expr> FacetsOf(const Facets& f) {
  Designated facets;
  if (!f.patterns.empty()) {
    std::vector<Expr> patterns;
    for (const std::string& pattern : f.patterns) patterns.emplace_back(Quote(pattern));
    facets.Set("patterns", Expr::Braced("", std::move(patterns)));
  }
  if (f.length >= 0) facets.Set("length", std::to_string(f.length));
  if (f.minLength >= 0) facets.Set("minLength", std::to_string(f.minLength));
  if (f.maxLength >= 0) facets.Set("maxLength", std::to_string(f.maxLength));
  if (!f.minInclusive.empty()) facets.Set("minInclusive", Quote(f.minInclusive));
  if (!f.maxInclusive.empty()) facets.Set("maxInclusive", Quote(f.maxInclusive));
  if (!f.minExclusive.empty()) facets.Set("minExclusive", Quote(f.minExclusive));
  if (!f.maxExclusive.empty()) facets.Set("maxExclusive", Quote(f.maxExclusive));
  if (facets.Empty()) return std::nullopt;
  return facets.Braced();
}

// A value's primitive, whitespace rule and facets, as its declaration names them.
void DescribeType(Designated& fields, const Value& v) {
  if (!v.primitive->IsText()) fields.Set("type", DataTypeName(*v.primitive));
  if (v.whitespace != Whitespace::Preserve) fields.Set("whitespace", WhitespaceName(v.whitespace));
  if (const auto facets = FacetsOf(v.facets)) fields.Set("facets", *facets);
}

// A union's member types, each described as a value.
Expr MembersOf(const Value& v) {
  std::vector<Expr> members;
  for (const Value& member : v.members) {
    Designated described;
    DescribeType(described, member);
    members.push_back(described.Braced());
  }
  return Expr::Braced("", std::move(members));
}

// A value's type and how it is written in C++.
struct ValueShape {
  const ClassScope& scope;
  const Value& value;

  std::string Type() const {
    return value.enumeration ? scope.words.Qualified(scope.cls, value.enumeration->name) : value.primitive->cppType;
  }
  // Text is read by reference and taken by value, so that a reader's text is moved in.
  bool ByReference() const { return !value.enumeration && value.primitive->IsText(); }
  bool Arithmetic() const { return (value.enumeration || !value.primitive->isObject) && !ByReference(); }
  std::string Getter() const { return ByReference() ? "const " + Type() + "&" : Type(); }

  // The data member's initial value in its declaration, for arithmetic and enumerated values.
  std::string Initial() const {
    const std::optional<std::string>& given = value.defaultValue;
    if (value.enumeration) {
      // The enumerators of another output's enumeration are not seen where it is declared ahead.
      if (value.enumeration->output != scope.cls.output) return "{}";
      for (const auto& [enumerator, text] : value.enumeration->values) {
        if (given && text == *given) return scope.words.Spelled(enumerator);
      }
      return value.enumeration->values.empty() ? "{}" : scope.words.Spelled(value.enumeration->values.front().first);
    }
    const std::string& type = value.primitive->cppType;
    if (type == "bool") return given && (*given == "true" || *given == "1") ? "true" : "false";
    if (given) {
      if (const auto literal = NumericLiteral(*given, type != "double" && type != "float")) return *literal;
    }
    return "0";
  }

  // The statements of Init that give the data member its initial value.
  std::vector<Expr> Init(const std::string& field, bool mandatory) const {
    const Primitive& p = *value.primitive;
    const std::optional<std::string>& given = value.defaultValue;
    if (value.enumeration || !p.isObject) {
      if (ByReference()) return {given ? Expr::Assign(field, Quote(*given)).Then(";") : Expr(field + ".clear();")};
      return {Expr::Assign(field, Initial()).Then(";")};
    }
    const std::string made = "std::make_shared<" + ObjectClass(p) + ">";
    if (given && (p.name == "decimal" || p.name == "integer")) {
      return {Expr::Assign(field, Expr::Call(made, {Quote(*given)})).Then(";")};
    }
    const char* parse = p.name == "datetime"                   ? "ParseXSDDateTime"
                        : p.name == "time"                     ? "ParseXSDTime"
                        : p.name == "duration"                 ? "ParseXSDDuration"
                        : ObjectClass(p) == "vexlo9::DateTime" ? "ParseXSDDate"
                                                               : nullptr;
    if (given && parse) {
      return {Expr::Assign(field, made + "()").Then(";"), Expr::Call(field + "->" + parse, {Quote(*given)}).Then(";")};
    }
    if (mandatory) return {Expr::Assign(field, made + "()").Then(";")};
    return {Expr(field + ".reset();")};
  }
};

// The accessor table rows of a property: read and write, or read only.
Expr PropertyRow(const ClassScope& scope, const std::string& accessor) {
  const std::string member = "&" + scope.cls.name + "::" + accessor;
  return Expr::Call(".Property", {Quote(accessor), member, member});
}

Expr ReadOnlyRow(const ClassScope& scope, const std::string& accessor) {
  return Expr::Call(".ReadOnly", {Quote(accessor), "&" + scope.cls.name + "::" + accessor});
}

void DeclarePresence(Code& code, const std::string& isValid) {
  if (isValid.empty()) return;
  code.Line("bool " + isValid + "() const;");
  code.Line("void " + isValid + "(bool value);");
}

// The presence flag's accessors; clearing the flag of a choice's member deselects it.
void DefinePresence(Code& code, const ClassScope& scope, const std::string& isValid, const std::string& choiceMember) {
  if (isValid.empty()) return;
  const std::string& n = scope.cls.name;
  code.Function("bool " + n + "::" + isValid + "() const", {Expr("return " + scope.Field(isValid) + ";")});
  std::vector<Expr> body;
  if (!choiceMember.empty()) {
    body.push_back(Expr::If("!value", Expr::Call(std::string(kHelper) + "->Choice_SelectElement",
                                                 {Quote(choiceMember), "nullptr", scope.Field("ChoiceSelectedElement")})
                                          .Then(";")));
  }
  body.push_back(Expr::Assign(scope.Field(isValid), "value").Then(";"));
  code.Function("void " + n + "::" + isValid + "(bool value)", body);
}

// A guard of a setter: a check of the helper's, by name and arguments.
struct Guard {
  std::string check;
  std::vector<Expr> arguments;
};

// The guards through the helper: one call, or the helper named once for several.
void AddGuards(std::vector<Expr>& body, const std::vector<Guard>& guards) {
  if (guards.size() == 1) {
    body.push_back(Expr::Call(std::string(kHelper) + "->" + guards.front().check, guards.front().arguments).Then(";"));
    return;
  }
  if (guards.empty()) return;
  body.push_back("const vexlo9::XmlObjectBaseHelperCls& helper = *" + std::string(kHelper) + ";");
  for (const Guard& guard : guards) body.push_back(Expr::Call("helper." + guard.check, guard.arguments).Then(";"));
}

Guard NotNull(const std::string& property) { return {"Throw_IfPropertyIsNull", {"value", Quote(property)}}; }

Guard Selects(const ClassScope& scope, const std::string& property) {
  return {"Choice_SelectElement", {Quote(property), "vexlo9::Variant(value)", scope.Field("ChoiceSelectedElement")}};
}

// The name, namespace, property and occurrence every element declaration starts with.
// The class that describes an element's type: a global element's own class gives way to its type's, whose ClassInfo
// it uses.
const ClassType* TypeClass(const ClassType* cls) {
  while (cls && cls->elementAlias) cls = cls->base;
  return cls;
}

Designated ElementBasics(const ClassScope& scope, const ElementProperty& p, const std::string& name,
                         const std::string& ns) {
  Designated fields;
  if (name != "AnyElement") fields.Set("name", Quote(name));
  if (!ns.empty()) fields.Set("ns", scope.words.Namespace(ns));
  fields.Set("property", Quote(p.property));
  if (p.occurs != Cardinality::Mandatory) fields.Set("occurs", OccursName(p.occurs));
  return fields;
}

// ---- values and enumerations held in one property

// A value held in one property, with its presence flag when it is optional: an element's or an attribute's.
class ValueEmitter : public PropertyEmitter {
 public:
  struct Held {
    const std::string& property;
    const std::string& isValid;  // empty when the value is mandatory
    const Value& value;
    bool mandatory;
    bool inChoice;       // setting it selects it among the members of a choice
    std::string check;   // the ClassInfo member that checks its facets by name
    bool restrictedBelow = false;  // a derived class may add facets: the setter asks the object's class
  };

  ValueEmitter(const ClassScope& scope, Held held) : PropertyEmitter(scope), held_(std::move(held)) {}

  std::vector<std::string> Accessors() const override { return {held_.property, held_.isValid}; }
  void DeclareAccessors(Code& code) const override {
    code.Line(Shape().Getter() + " " + held_.property + "() const;");
    code.Line("void " + held_.property + "(" + Shape().Type() + " value);");
    DeclarePresence(code, held_.isValid);
  }
  std::vector<std::string> Fields() const override {
    std::vector<std::string> fields{Shape().Type() + " " + Field() +
                                    (Shape().Arithmetic() ? " = " + Shape().Initial() : "") + ";"};
    if (!held_.isValid.empty()) fields.push_back("bool " + scope_.Field(held_.isValid) + " = false;");
    return fields;
  }
  std::vector<Expr> Init() const override {
    std::vector<Expr> init = Shape().Init(Field(), held_.mandatory);
    if (!held_.isValid.empty()) init.push_back(Expr::Assign(scope_.Field(held_.isValid), "false").Then(";"));
    return init;
  }
  std::vector<Expr> MemberRows() const override {
    std::vector<Expr> rows{PropertyRow(scope_, held_.property)};
    if (!held_.isValid.empty()) rows.push_back(PropertyRow(scope_, held_.isValid));
    return rows;
  }
  void DefineAccessors(Code& code) const override {
    const std::string& n = scope_.cls.name;
    code.Function(Shape().Getter() + " " + n + "::" + held_.property + "() const",
                  {Expr("return " + Field() + ";")});
    code.Function("void " + n + "::" + held_.property + "(" + Shape().Type() + " value)", SetterBody());
    DefinePresence(code, scope_, held_.isValid, held_.inChoice ? held_.property : "");
  }

 protected:
  // What the value's declaration says of its type: its converter's methods, or its primitive, whitespace and facets.
  void DescribeValue(Designated& fields) const {
    const Value& v = held_.value;
    if (v.enumeration) {
      fields.Set("toString", Quote(v.enumeration->toString));
      fields.Set("fromString", Quote(v.enumeration->fromString));
      return;
    }
    DescribeType(fields, v);
    if (!v.members.empty()) fields.Set("members", MembersOf(v));
  }
  // Its default or fixed value, and whether it is a qualified name.
  void DescribeConstraint(Designated& fields) const {
    const Value& v = held_.value;
    if (v.defaultValue) fields.Set("defaultValue", Quote(*v.defaultValue));
    if (v.fixed) fields.Set("fixed", "true");
    if (v.qname) fields.Set("qname", "true");
  }

 private:
  ValueShape Shape() const { return {scope_, held_.value}; }
  const std::string& Field() const { return scope_.Field(held_.property); }

  std::vector<Expr> SetterBody() const {
    const Value& v = held_.value;
    std::vector<Expr> body;
    if (!v.enumeration && (!v.facets.Empty() || !v.members.empty() || held_.restrictedBelow)) {
      body.push_back(Expr::Call("ClassInfo()." + held_.check, {Quote(held_.property), "vexlo9::Variant(value)"}).Then(";"));
    }
    if (v.primitive->isObject && !v.enumeration) {
      std::vector<Guard> guards;
      if (held_.mandatory) guards.push_back(NotNull(held_.property));
      if (held_.inChoice) guards.push_back(Selects(scope_, held_.property));
      AddGuards(body, guards);
      if (!held_.isValid.empty()) body.push_back(Expr::Assign(scope_.Field(held_.isValid), "value != nullptr").Then(";"));
      body.push_back(Expr::Assign(Field(), "std::move(value)").Then(";"));
      return body;
    }
    if (held_.inChoice) {
      const std::string held = v.enumeration ? "static_cast<int32_t>(value)" : "value";
      body.push_back(Expr::Call(std::string(kHelper) + "->Choice_SelectElement",
                                {Quote(held_.property), "vexlo9::Variant(" + held + ")",
                                 scope_.Field("ChoiceSelectedElement")})
                         .Then(";"));
    }
    body.push_back(Expr::Assign(Field(), Shape().ByReference() ? "std::move(value)" : "value").Then(";"));
    if (!held_.isValid.empty()) body.push_back(Expr::Assign(scope_.Field(held_.isValid), "true").Then(";"));
    return body;
  }

  Held held_;
};

class ValueElementEmitter : public ValueEmitter {
 public:
  ValueElementEmitter(const ClassScope& scope, const ElementProperty& p)
      : ValueEmitter(scope, {p.property, p.isValid, p.value, p.occurs == Cardinality::Mandatory, scope.Choice(),
                             "CheckElement", false}),
        p_(p) {}

  std::vector<Expr> Declarations(const std::string& info) const override {
    Designated fields = ElementBasics(scope_, p_, p_.elementName, p_.ns);
    if (!p_.isValid.empty()) fields.Set("isValid", Quote(p_.isValid));
    DescribeValue(fields);
    DescribeConstraint(fields);
    const char* method = p_.value.enumeration ? "EnumElement" : "ValueElement";
    return {Expr::Call(info + method, {fields.Braced()}).Then(";")};
  }

 private:
  const ElementProperty& p_;
};

class AttributeEmitter : public ValueEmitter {
 public:
  AttributeEmitter(const ClassScope& scope, const AttributeProperty& a)
      : ValueEmitter(scope, {a.property, a.isValid, a.value, !a.optional, false, "CheckAttribute", false}),
        a_(a) {}

  std::vector<Expr> Declarations(const std::string& info) const override {
    Designated fields;
    fields.Set("name", Quote(a_.attributeName));
    if (!a_.ns.empty()) fields.Set("ns", scope_.words.Namespace(a_.ns));
    fields.Set("property", Quote(a_.property));
    if (!a_.optional) fields.Set("required", "true");
    if (!a_.isValid.empty()) fields.Set("isValid", Quote(a_.isValid));
    DescribeValue(fields);
    DescribeConstraint(fields);
    return {Expr::Call(info + "Attribute", {fields.Braced()}).Then(";")};
  }

 private:
  const AttributeProperty& a_;
};

// The text of simple content held as a value of its type, checked as an element's. A restriction that adds facets
// declares it again, with them, and keeps its base's accessors.
class SimpleContentEmitter : public ValueEmitter {
 public:
  explicit SimpleContentEmitter(const ClassScope& scope)
      : ValueEmitter(scope, {scope.cls.textProperty, kNoFlag, *scope.cls.textValue, true, false, "CheckElement",
                             scope.cls.hasDerived}),
        accessors_(DeclaresText(scope.cls)) {}

  std::vector<std::string> Accessors() const override {
    return accessors_ ? ValueEmitter::Accessors() : std::vector<std::string>{};
  }
  void DeclareAccessors(Code& code) const override {
    if (!accessors_) return;
    code.Comment("The character data of the element, as a value of its type.");
    ValueEmitter::DeclareAccessors(code);
  }
  std::vector<std::string> Fields() const override {
    return accessors_ ? ValueEmitter::Fields() : std::vector<std::string>{};
  }
  std::vector<Expr> Init() const override { return accessors_ ? ValueEmitter::Init() : std::vector<Expr>{}; }
  std::vector<Expr> MemberRows() const override {
    return accessors_ ? ValueEmitter::MemberRows() : std::vector<Expr>{};
  }
  void DefineAccessors(Code& code) const override {
    if (accessors_) ValueEmitter::DefineAccessors(code);
  }
  std::vector<Expr> Declarations(const std::string& info) const override {
    Designated fields;
    fields.Set("property", Quote(scope_.cls.textProperty));
    DescribeValue(fields);
    if (scope_.cls.textValue->qname) fields.Set("qname", "true");
    return {Expr::Call(info + "SimpleContent", {fields.Braced()}).Then(";")};
  }

 private:
  static inline const std::string kNoFlag;
  const bool accessors_;
};

// ---- repeated values, and lists: a typed collection that knows its bounds and facets

class ValueCollectionEmitter : public PropertyEmitter {
 public:
  ValueCollectionEmitter(const ClassScope& scope, const ElementProperty& p) : PropertyEmitter(scope), p_(p) {}
  // An attribute whose value is a list: its items in a collection, as an element's are.
  ValueCollectionEmitter(const ClassScope& scope, const AttributeProperty& a)
      : PropertyEmitter(scope), p_(AsElement(a)), attribute_(true) {}

  std::vector<std::string> Accessors() const override { return {p_.property, p_.isValid}; }
  void DeclareAccessors(Code& code) const override {
    if (RepeatedList()) {
      code.Comment("One list per " + p_.elementName + " element, its items the element's text.");
    } else if (p_.value.list) {
      code.Comment("The items of the list " + p_.elementName + ", its text.");
    }
    code.Line(Type() + " " + p_.property + "() const;");
    DeclarePresence(code, p_.isValid);
  }
  std::vector<std::string> Fields() const override {
    std::vector<std::string> fields{Type() + " " + scope_.Field(p_.property) + ";"};
    if (!p_.isValid.empty()) fields.push_back("bool " + scope_.Field(p_.isValid) + " = false;");
    return fields;
  }
  std::vector<Expr> Init() const override {
    const Value& v = p_.value;
    // A list's items are bounded by its length, a repeated element's by its occurrences, a repeated list's both.
    const bool itemsBounded = v.list && !RepeatedList();
    const int min = itemsBounded ? v.minItems : p_.minOccurs, max = itemsBounded ? v.maxItems : p_.maxOccurs;
    Designated fields;
    fields.Set("name", Quote(p_.elementName));
    if (!p_.ns.empty()) fields.Set("ns", scope_.words.Namespace(p_.ns));
    if (min != 0) fields.Set("minOccurs", std::to_string(min));
    if (max != kUnbounded) fields.Set("maxOccurs", std::to_string(max));
    if (v.whitespace != Whitespace::Preserve) fields.Set("whitespace", WhitespaceName(v.whitespace));
    if (const auto facets = FacetsOf(v.facets)) fields.Set("facets", *facets);
    if (!v.list || RepeatedList()) {
      // Each element read empty takes it; a single list's is its element's, declared with it.
      if (v.defaultValue) fields.Set("defaultValue", Quote(*v.defaultValue));
      if (v.fixed) fields.Set("fixed", "true");
    }
    if (!v.members.empty()) fields.Set("members", MembersOf(v));
    if (!v.enumerated.empty()) {
      std::vector<Expr> values;
      for (const std::string& value : v.enumerated) values.emplace_back(Quote(value));
      fields.Set("enumeration", Expr::Braced("", std::move(values)));
    }
    if (v.qname) fields.Set("qname", "true");
    if (RepeatedList() && v.minItems != 0) fields.Set("minItems", std::to_string(v.minItems));
    if (RepeatedList() && v.maxItems != kUnbounded) fields.Set("maxItems", std::to_string(v.maxItems));
    const std::string make =
        std::string(RepeatedList() ? "vexlo9::NewListCol<" : "vexlo9::NewCol<") + DataTypeName(*v.primitive) + ">";
    std::vector<Expr> init{Expr::Assign(scope_.Field(p_.property), Expr::Call(make, {fields.Braced()})).Then(";")};
    if (!p_.isValid.empty()) init.push_back(Expr::Assign(scope_.Field(p_.isValid), "false").Then(";"));
    return init;
  }
  std::vector<Expr> Declarations(const std::string& info) const override {
    if (attribute_) return AttributeDeclaration(info);
    Designated fields = ElementBasics(scope_, p_, p_.elementName, p_.ns);
    if (p_.value.list && !RepeatedList()) {
      if (!p_.isValid.empty()) fields.Set("isValid", Quote(p_.isValid));
      if (!p_.value.primitive->IsText()) fields.Set("type", DataTypeName(*p_.value.primitive));
      // An empty list element takes its default's items, and is written empty again while it holds them.
      if (p_.value.defaultValue) fields.Set("defaultValue", Quote(*p_.value.defaultValue));
      if (p_.value.fixed) fields.Set("fixed", "true");
      fields.Set("list", "true");
    }
    return {Expr::Call(info + "ValueElement", {fields.Braced()}).Then(";")};
  }
  std::vector<Expr> MemberRows() const override {
    std::vector<Expr> rows{ReadOnlyRow(scope_, p_.property)};
    if (!p_.isValid.empty()) rows.push_back(PropertyRow(scope_, p_.isValid));
    return rows;
  }
  void DefineAccessors(Code& code) const override {
    code.Function(Type() + " " + scope_.cls.name + "::" + p_.property + "() const",
                  {Expr("return " + scope_.Field(p_.property) + ";")});
    DefinePresence(code, scope_, p_.isValid, "");
  }

 private:
  bool RepeatedList() const { return p_.value.list && p_.occurs == Cardinality::Repeated; }
  std::string Type() const {
    return "std::shared_ptr<vexlo9::" + std::string(p_.value.primitive->name) + (RepeatedList() ? "ListCol>" : "Col>");
  }

  static ElementProperty AsElement(const AttributeProperty& a) {
    ElementProperty p;
    p.property = a.property;
    p.isValid = a.isValid;
    p.elementName = a.attributeName;
    p.ns = a.ns;
    p.occurs = a.optional ? Cardinality::Optional : Cardinality::Mandatory;
    p.value = a.value;
    return p;
  }
  std::vector<Expr> AttributeDeclaration(const std::string& info) const {
    Designated fields;
    fields.Set("name", Quote(p_.elementName));
    if (!p_.ns.empty()) fields.Set("ns", scope_.words.Namespace(p_.ns));
    fields.Set("property", Quote(p_.property));
    if (p_.occurs == Cardinality::Mandatory) fields.Set("required", "true");
    if (!p_.isValid.empty()) fields.Set("isValid", Quote(p_.isValid));
    if (!p_.value.primitive->IsText()) fields.Set("type", DataTypeName(*p_.value.primitive));
    fields.Set("list", "true");
    return {Expr::Call(info + "Attribute", {fields.Braced()}).Then(";")};
  }

  const ElementProperty p_;  // the element's, or one standing for the attribute
  const bool attribute_ = false;
};

// ---- generated classes, model groups and untyped content, held by a pointer or in a collection

class ObjectElementEmitter : public PropertyEmitter {
 public:
  ObjectElementEmitter(const ClassScope& scope, const ElementProperty& p) : PropertyEmitter(scope), p_(p) {}

  std::vector<std::string> Accessors() const override { return {p_.property}; }
  void DeclareAccessors(Code& code) const override {
    code.Line(Type() + " " + p_.property + "() const;");
    if (!Repeated()) code.Line("void " + p_.property + "(" + Type() + " value);");
  }
  std::vector<std::string> Fields() const override { return {Held() + " " + Field() + ";"}; }
  std::vector<Expr> MemberRows() const override {
    return {Repeated() ? ReadOnlyRow(scope_, p_.property) : PropertyRow(scope_, p_.property)};
  }
  void DefineAccessors(Code& code) const override {
    const std::string& n = scope_.cls.name;
    code.Function(Type() + " " + n + "::" + p_.property + "() const", {Expr("return " + Stored() + ";")});
    if (Repeated()) return;
    std::vector<Guard> guards;
    if (p_.occurs == Cardinality::Mandatory) guards.push_back(NotNull(p_.property));
    if (NamesItsElement()) guards.push_back({"Throw_IfElementNameDiffers", {"value", Quote(p_.elementName)}});
    if (scope_.Choice()) guards.push_back(Selects(scope_, p_.property));
    std::vector<Expr> body;
    AddGuards(body, guards);
    body.push_back(Expr::Assign(Field(), "std::move(value)").Then(";"));
    code.Function("void " + n + "::" + p_.property + "(" + Type() + " value)", body);
  }

 protected:
  bool Repeated() const { return p_.occurs == Cardinality::Repeated; }
  const std::string& Field() const { return scope_.Field(p_.property); }
  virtual std::string Type() const = 0;
  virtual bool NamesItsElement() const = 0;
  // The data member's type, and the data member as the getter returns it.
  virtual std::string Held() const { return Type(); }
  virtual std::string Stored() const { return Field(); }

  const ElementProperty& p_;
};

class ClassElementEmitter : public ObjectElementEmitter {
 public:
  using ObjectElementEmitter::ObjectElementEmitter;

  std::vector<Expr> Init() const override {
    const std::string item = scope_.words.Qualified(scope_.cls, p_.type->name);
    const std::string kind = p_.pseudo ? "vexlo9::XmlElementType::PseudoElement" : "vexlo9::XmlElementType::Element";
    if (Repeated()) {
      std::vector<Expr> arguments{Quote(p_.elementName), scope_.words.Namespace(p_.ns), std::to_string(p_.minOccurs),
                                  std::to_string(p_.maxOccurs), kind};
      if (p_.kind == Kind::AbstractClass) {
        arguments.push_back("[](vexlo9::XmlNode element) { return std::dynamic_pointer_cast<" + item + ">(" +
                            scope_.words.FactoryCall(scope_.cls) + "->" + p_.creator + "(element)); }");
      }
      const std::string collection = scope_.words.CollectionType(scope_.cls, *p_.type);
      return {Expr::Assign(Field(), Expr::Call("std::make_shared<" + collection + ">", arguments)).Then(";")};
    }
    if (p_.occurs != Cardinality::Mandatory || p_.kind == Kind::AbstractClass) return {Expr(Field() + ".reset();")};
    if (p_.pseudo) return {Expr::Assign(Field(), "std::make_shared<" + item + ">()").Then(";")};
    return {Expr::Assign(Field(), Expr::Call("std::make_shared<" + item + ">", {Quote(p_.elementName)})).Then(";")};
  }
  std::vector<Expr> Declarations(const std::string& info) const override {
    if (p_.alternatives.empty()) return {Declaration(info, p_.elementName, p_.ns)};
    // A substitution group: one declaration per member, all held in the one property.
    std::vector<Expr> declarations;
    for (const auto& [name, ns] : p_.alternatives) declarations.push_back(Declaration(info, name, ns));
    return declarations;
  }

 private:
  std::string Pointee() const {
    return Repeated() ? scope_.words.CollectionType(scope_.cls, *p_.type) : scope_.words.Qualified(scope_.cls, p_.type->name);
  }
  std::string Type() const override { return "std::shared_ptr<" + Pointee() + ">"; }
  // Held by a pointer to the library's base: a std::shared_ptr of every class in a header costs its compilation more
  // than all the rest (a schema of three thousand classes: 1.6 GB and a minute for the header alone).
  std::string Held() const override {
    return Repeated() ? "std::shared_ptr<vexlo9::XmlGeneratedClassColBase>" : "std::shared_ptr<vexlo9::XmlGeneratedClassBase>";
  }
  std::string Stored() const override { return "std::static_pointer_cast<" + Pointee() + ">(" + Field() + ")"; }
  bool NamesItsElement() const override {
    return (p_.kind == Kind::Class && !p_.pseudo) || (p_.kind == Kind::AbstractClass && p_.alternatives.empty());
  }

  Expr Declaration(const std::string& info, const std::string& name, const std::string& ns) const {
    Designated fields = ElementBasics(scope_, p_, name, ns);
    if (p_.pseudo) fields.Set("pseudo", "true");
    if (p_.kind == Kind::AbstractClass) {
      fields.Set("create", Quote(p_.creator));
    } else if (p_.occurs == Cardinality::Optional) {
      fields.Set("classTypeId", scope_.words.ClassTypeId(scope_.cls, *p_.type));
    } else if (p_.occurs == Cardinality::Mandatory && (p_.pseudo ? p_.mandatoryContent : HasMandatoryElements())) {
      fields.Set("mandatoryContent", "true");
    }
    // A derived type under an element of another name would be written with xsi:type, unless the element is
    // declared with it.
    if (const ClassType* declared = DeclaredType(name); declared && declared->derived && declared->infoName != name) {
      fields.Set("type", Quote(declared->infoName));
      if (declared->ns != ns) fields.Set("typeNs", scope_.words.Namespace(declared->ns));
    }
    // Its class's simple content takes it (the binder keeps no other).
    if (p_.value.defaultValue) fields.Set("defaultValue", Quote(*p_.value.defaultValue));
    if (p_.value.fixed) fields.Set("fixed", "true");
    return Expr::Call(info + "ClassElement", {fields.Braced()}).Then(";");
  }
  // The class that describes the type of the element `name`: a substitution group's member's, or the property's.
  const ClassType* DeclaredType(const std::string& name) const {
    return TypeClass(p_.alternatives.empty() ? p_.type : MemberClass(name));
  }
  // The class the factory makes for a member of the substitution group that names no type.
  const ClassType* MemberClass(const std::string& name) const {
    for (const Creator& creator : scope_.words.binding().creators) {
      if (creator.name != p_.creator) continue;
      for (const Alternative& made : creator.choices) {
        if (made.element == name && made.type.empty()) return made.cls;
      }
    }
    return nullptr;
  }
  bool HasMandatoryElements() const {
    for (const ClassType* c = p_.type; c; c = c->base) {
      for (const ElementProperty& q : c->particles) {
        if (q.occurs == Cardinality::Mandatory || (q.occurs == Cardinality::Repeated && q.minOccurs > 0)) return true;
      }
    }
    return false;
  }
};

class AnyElementEmitter : public ObjectElementEmitter {
 public:
  using ObjectElementEmitter::ObjectElementEmitter;

  std::vector<Expr> Init() const override {
    const Vocabulary& w = scope_.words;
    const std::string factory = "vexlo9::Global::ClassFactory()->";
    if (Repeated()) {
      return {Expr::Assign(Field(), Expr::Call(factory + "Create_ElementCol",
                                               {w.Namespace(p_.ns), Quote(p_.namespaceRestriction),
                                                w.Namespace(p_.targetNamespace), std::to_string(p_.minOccurs),
                                                std::to_string(p_.maxOccurs)}))
                  .Then(";")};
    }
    if (p_.occurs != Cardinality::Mandatory) return {Expr(Field() + ".reset();")};
    return {Expr::Assign(Field(), Expr::Call(factory + "Create_Element",
                                             {Quote(p_.elementName), w.Namespace(p_.ns), Quote(p_.namespaceRestriction),
                                              w.Namespace(p_.targetNamespace)}))
                .Then(";")};
  }
  std::vector<Expr> Declarations(const std::string& info) const override {
    Designated fields = ElementBasics(scope_, p_, p_.elementName, p_.ns);
    if (!Repeated()) {
      if (p_.namespaceRestriction != "##any") fields.Set("namespaces", Quote(p_.namespaceRestriction));
      if (!p_.targetNamespace.empty()) fields.Set("targetNamespace", scope_.words.Namespace(p_.targetNamespace));
    }
    return {Expr::Call(info + "AnyElement", {fields.Braced()}).Then(";")};
  }

 private:
  std::string Type() const override {
    return Repeated() ? "std::shared_ptr<vexlo9::ElementCol>" : "std::shared_ptr<vexlo9::Element>";
  }
  bool NamesItsElement() const override { return false; }
};

// ---- the attributes no declaration names

class AnyAttributeEmitter : public PropertyEmitter {
 public:
  AnyAttributeEmitter(const ClassScope& scope, const AttributeProperty& a) : PropertyEmitter(scope), a_(a) {}

  std::vector<std::string> Accessors() const override { return {a_.property}; }
  void DeclareAccessors(Code& code) const override {
    code.Comment("The attributes that no declaration names (" + a_.namespaceRestriction + ").");
    code.Line("std::shared_ptr<vexlo9::AttributeCol> " + a_.property + "() const;");
  }
  std::vector<std::string> Fields() const override {
    return {"std::shared_ptr<vexlo9::AttributeCol> " + scope_.Field(a_.property) + ";"};
  }
  std::vector<Expr> Init() const override {
    const Vocabulary& w = scope_.words;
    return {Expr::Assign(scope_.Field(a_.property),
                         Expr::Call("vexlo9::Global::ClassFactory()->Create_AttributeCol",
                                    {w.Namespace(a_.ns), Quote(a_.namespaceRestriction), w.Namespace(a_.targetNamespace)}))
                .Then(";")};
  }
  std::vector<Expr> Declarations(const std::string& info) const override {
    Designated fields;
    fields.Set("property", Quote(a_.property));
    if (a_.namespaceRestriction != "##any") fields.Set("namespaces", Quote(a_.namespaceRestriction));
    if (!a_.targetNamespace.empty()) fields.Set("targetNamespace", scope_.words.Namespace(a_.targetNamespace));
    if (!a_.ns.empty()) fields.Set("ns", scope_.words.Namespace(a_.ns));
    return {Expr::Call(info + "AnyAttribute", {fields.Braced()}).Then(";")};
  }
  std::vector<Expr> MemberRows() const override { return {ReadOnlyRow(scope_, a_.property)}; }
  void DefineAccessors(Code& code) const override {
    code.Function("std::shared_ptr<vexlo9::AttributeCol> " + scope_.cls.name + "::" + a_.property + "() const",
                  {Expr("return " + scope_.Field(a_.property) + ";")});
  }

 private:
  const AttributeProperty& a_;
};

// ---- what the class holds besides its particles: nil, its text, which member of its choice is set

class NilEmitter : public PropertyEmitter {
 public:
  using PropertyEmitter::PropertyEmitter;

  std::vector<std::string> Accessors() const override { return {"IsNil"}; }
  void DeclareAccessors(Code& code) const override {
    code.Line("bool IsNil() const override;");
    code.Line("void IsNil(bool value) override;");
  }
  std::vector<std::string> Fields() const override { return {"bool " + scope_.Field("IsNil") + " = false;"}; }
  std::vector<Expr> Init() const override { return {Expr::Assign(scope_.Field("IsNil"), "false").Then(";")}; }
  std::vector<Expr> Declarations(const std::string&) const override { return {}; }
  std::vector<Expr> MemberRows() const override { return {}; }
  void DefineAccessors(Code& code) const override {
    const std::string& n = scope_.cls.name;
    code.Function("bool " + n + "::IsNil() const", {Expr("return " + scope_.Field("IsNil") + ";")});
    code.Function("void " + n + "::IsNil(bool value)", {Expr::Assign(scope_.Field("IsNil"), "value").Then(";")});
  }
};

// Text among child elements keeps the places of its runs (MixedText), so that it is written back in order; text
// alone (simple content) is a string.
class TextEmitter : public PropertyEmitter {
 public:
  using PropertyEmitter::PropertyEmitter;

  std::vector<std::string> Accessors() const override { return {"Text"}; }
  void DeclareAccessors(Code& code) const override {
    code.Comment("The character data of the element" + std::string(Mixed() ? ", wherever it stood" : "") + ".");
    code.Line("const std::string& Text() const;");
    code.Line("void Text(std::string value);");
    if (Mixed()) code.Line("vexlo9::MixedText* MixedContent() noexcept override;");
  }
  std::vector<std::string> Fields() const override {
    return {(Mixed() ? "vexlo9::MixedText " : "std::string ") + scope_.Field("Text") + ";"};
  }
  std::vector<Expr> Init() const override { return {Expr(scope_.Field("Text") + ".clear();")}; }
  std::vector<Expr> Declarations(const std::string&) const override { return {}; }
  std::vector<Expr> MemberRows() const override { return {PropertyRow(scope_, "Text")}; }
  void DefineAccessors(Code& code) const override {
    const std::string& n = scope_.cls.name;
    const std::string& field = scope_.Field("Text");
    if (!Mixed()) {
      code.Function("const std::string& " + n + "::Text() const", {Expr("return " + field + ";")});
      code.Function("void " + n + "::Text(std::string value)", {Expr::Assign(field, "std::move(value)").Then(";")});
      return;
    }
    code.Function("const std::string& " + n + "::Text() const", {Expr("return " + field + ".Text();")});
    code.Function("void " + n + "::Text(std::string value)", {Expr(field + ".Text(std::move(value));")});
    code.Function("vexlo9::MixedText* " + n + "::MixedContent() noexcept", {Expr("return &" + field + ";")});
  }

 private:
  bool Mixed() const { return !scope_.cls.particles.empty(); }
};

class ChoiceEmitter : public PropertyEmitter {
 public:
  using PropertyEmitter::PropertyEmitter;

  std::vector<std::string> Accessors() const override { return {"ChoiceSelectedElement"}; }
  void DeclareAccessors(Code& code) const override {
    code.Comment("The name of the member that is set; empty when none is.");
    code.Line("const std::string& ChoiceSelectedElement() const;");
  }
  std::vector<std::string> Fields() const override {
    return {"std::string " + scope_.Field("ChoiceSelectedElement") + ";"};
  }
  std::vector<Expr> Init() const override { return {Expr(scope_.Field("ChoiceSelectedElement") + ".clear();")}; }
  std::vector<Expr> Declarations(const std::string&) const override { return {}; }
  std::vector<Expr> MemberRows() const override { return {}; }
  void DefineAccessors(Code& code) const override {
    code.Function("const std::string& " + scope_.cls.name + "::ChoiceSelectedElement() const",
                  {Expr("return " + scope_.Field("ChoiceSelectedElement") + ";")});
  }
};

// The global elements declared with the class's derived type: as the root of a document, an object of the type
// needs no xsi:type there. The class holds nothing for them.
class RootElementsEmitter : public PropertyEmitter {
 public:
  RootElementsEmitter(const ClassScope& scope, std::vector<const Root*> roots)
      : PropertyEmitter(scope), roots_(std::move(roots)) {}

  // The roots whose class, when no xsi:type names another, is this one or an element's class over it.
  static std::vector<const Root*> Of(const Binding& binding, const ClassType& cls) {
    std::vector<const Root*> roots;
    if (!cls.derived || cls.elementAlias) return roots;
    for (const Root& root : binding.roots) {
      for (const Alternative& made : root.classes) {
        if (made.type.empty() && TypeClass(made.cls) == &cls && root.element.local != cls.infoName) {
          roots.push_back(&root);
        }
      }
    }
    return roots;
  }

  std::vector<std::string> Accessors() const override { return {}; }
  void DeclareAccessors(Code&) const override {}
  std::vector<std::string> Fields() const override { return {}; }
  std::vector<Expr> Init() const override { return {}; }
  std::vector<Expr> Declarations(const std::string& info) const override {
    std::vector<Expr> declarations;
    for (const Root* root : roots_) {
      Designated fields;
      fields.Set("name", Quote(root->element.local));
      if (!root->element.ns.empty()) fields.Set("ns", scope_.words.Namespace(root->element.ns));
      fields.Set("type", Quote(scope_.cls.infoName));
      if (scope_.cls.ns != root->element.ns) fields.Set("typeNs", scope_.words.Namespace(scope_.cls.ns));
      declarations.push_back(Expr::Call(info + "RootElement", {fields.Braced()}).Then(";"));
    }
    return declarations;
  }
  std::vector<Expr> MemberRows() const override { return {}; }
  void DefineAccessors(Code&) const override {}

 private:
  std::vector<const Root*> roots_;
};

bool InheritsNil(const ClassType* cls) {
  for (; cls; cls = cls->base) {
    if (cls->nillable) return true;
  }
  return false;
}

std::unique_ptr<PropertyEmitter> ElementEmitter(const ClassScope& scope, const ElementProperty& p) {
  switch (p.kind) {
    case Kind::Primitive:
      if (p.occurs == Cardinality::Repeated || p.value.list) return std::make_unique<ValueCollectionEmitter>(scope, p);
      return std::make_unique<ValueElementEmitter>(scope, p);
    case Kind::Enum: return std::make_unique<ValueElementEmitter>(scope, p);
    case Kind::Class:
    case Kind::AbstractClass: return std::make_unique<ClassElementEmitter>(scope, p);
    case Kind::Untyped: break;
  }
  return std::make_unique<AnyElementEmitter>(scope, p);
}

}  // namespace

bool DeclaresNil(const ClassType& cls) { return cls.nillable && !InheritsNil(cls.base); }
bool DeclaresText(const ClassType& cls) { return cls.text && !(cls.base && cls.base->text); }
bool DeclaresChoice(const ClassType& cls) {
  return cls.group == Group::Choice && !(cls.base && cls.base->group == Group::Choice);
}

std::vector<std::unique_ptr<PropertyEmitter>> PropertiesOf(const ClassScope& scope) {
  std::vector<std::unique_ptr<PropertyEmitter>> properties;
  const ClassType& cls = scope.cls;
  if (DeclaresNil(cls)) properties.push_back(std::make_unique<NilEmitter>(scope));
  for (const ElementProperty& p : cls.particles) properties.push_back(ElementEmitter(scope, p));
  for (const AttributeProperty& a : cls.attributes) {
    if (a.kind == AttributeProperty::AttrKind::Wildcard) {
      properties.push_back(std::make_unique<AnyAttributeEmitter>(scope, a));
    } else if (a.value.list) {
      properties.push_back(std::make_unique<ValueCollectionEmitter>(scope, a));
    } else {
      properties.push_back(std::make_unique<AttributeEmitter>(scope, a));
    }
  }
  if (cls.textValue) {
    properties.push_back(std::make_unique<SimpleContentEmitter>(scope));
  } else if (DeclaresText(cls)) {
    properties.push_back(std::make_unique<TextEmitter>(scope));
  }
  if (DeclaresChoice(cls)) properties.push_back(std::make_unique<ChoiceEmitter>(scope));
  if (auto roots = RootElementsEmitter::Of(scope.words.binding(), cls); !roots.empty()) {
    properties.push_back(std::make_unique<RootElementsEmitter>(scope, std::move(roots)));
  }
  return properties;
}

}  // namespace vexlo9::xsd
