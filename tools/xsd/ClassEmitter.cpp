#include "ClassEmitter.h"

#include <cctype>
#include <set>

namespace vexlo9::xsd {

using cpp::Code;
using cpp::Quote;

const std::string kGeneratedBase = "vexlo9::XmlGeneratedClassBase";

ClassEmitter::ClassEmitter(const Vocabulary& words, const ClassType& cls)
    : words_(words.In(cls.cppNamespace)), cls_(cls), scope_{words_, cls, {}}, properties_(PropertiesOf(scope_)) {
  scope_.fields = FieldNames(cls, properties_);
}

// The data member behind each accessor: the schema's names as they are spelled ("USPrice_"), the class's own
// accessors with a lower-case first letter ("isValidUSPrice_", "text_"), numbered where two would meet.
std::map<std::string, std::string> ClassEmitter::FieldNames(
    const ClassType& cls, const std::vector<std::unique_ptr<PropertyEmitter>>& properties) {
  std::set<std::string> schemaNames;
  for (const ElementProperty& p : cls.particles) schemaNames.insert(p.property);
  for (const AttributeProperty& a : cls.attributes) schemaNames.insert(a.property);
  std::map<std::string, std::string> fields;
  std::set<std::string> taken;
  for (const auto& property : properties) {
    for (const std::string& accessor : property->Accessors()) {
      if (accessor.empty() || fields.count(accessor)) continue;
      std::string field = accessor;
      if (!schemaNames.count(accessor)) field.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(field.front())));
      std::string unique = field + "_";
      for (int n = 2; taken.count(unique); ++n) unique = field + std::to_string(n) + "_";
      taken.insert(unique);
      fields[accessor] = unique;
    }
  }
  return fields;
}

std::string ClassEmitter::BaseClass() const { return cls_.base ? Base() : kGeneratedBase; }

// ---- the header

void ClassEmitter::Declare(Code& code) const {
  if (!cls_.origin.empty()) code.Comment(Capitalised(cls_.origin) + ".");
  std::string bases = "public " + BaseClass();
  if (DeclaresNil(cls_)) bases += ", public vexlo9::INillable";
  code.Line("class " + cls_.name + " : " + bases + " {");
  code.Line(" public:");
  code.Indented(2, [&] {
    code.Line("VEXLO9_BY_NAME_DECLARE(" + cls_.name + ");");
    code.Line("explicit " + cls_.name + "(std::string elementName = " + Quote(cls_.defaultElement) + ");");
    if (cls_.madeByName) code.Line("static std::shared_ptr<" + kGeneratedBase + "> New(std::string elementName);");
  });
  if (!cls_.elementAlias) DeclareMembers(code);
  code.Line("};");
  code.Line();
}

void ClassEmitter::DeclareMembers(Code& code) const {
  code.Indented(2, [&] {
    code.Line("void Init() override;");
    code.Line("const vexlo9::ClassInfo& ClassInfo() const override;");
    code.Line("bool IsSuitableSubstitution(std::string_view typeName) const override;");
    if (!properties_.empty()) code.Line();
    for (const auto& property : properties_) property->DeclareAccessors(code);
  });
  if (cls_.abstract || cls_.hasDerived) {
    code.Line();
    code.Line(" protected:");
    code.Indented(2, [&] {
      code.Comment(cls_.name + "'s own declarations, which every class built on it makes first.");
      code.Line("static void Add" + cls_.name + "Particles(vexlo9::ClassInfo& info);");
    });
  }
  std::vector<std::string> fields;
  for (const auto& property : properties_) {
    for (std::string& field : property->Fields()) fields.push_back(std::move(field));
  }
  if (fields.empty()) return;
  code.Line();
  code.Line(" private:");
  code.Indented(2, [&] {
    for (const std::string& field : fields) code.Statement(field);
  });
}

// ---- the source

void ClassEmitter::Define(Code& code) const {
  code.Line();
  code.Line("// ---- " + cls_.name);
  code.Line();
  DefineConstructor(code);
  code.Line();
  if (cls_.madeByName) DefineNew(code);
  if (cls_.elementAlias) return DefineMemberTable(code);  // an element's class only names its element
  DefineInit(code);
  code.Line();
  if (cls_.abstract || cls_.hasDerived) DefineParticles(code);
  DefineClassInfo(code);
  code.Line();
  std::string suitable = "typeName == " + Quote(cls_.infoName);
  if (cls_.base) suitable += " || " + Base() + "::IsSuitableSubstitution(typeName)";
  code.Function("bool " + cls_.name + "::IsSuitableSubstitution(std::string_view typeName) const",
                {Expr("return " + suitable + ";")});
  code.Line();
  DefineMemberTable(code);
  if (properties_.empty()) return;
  code.Line();
  for (const auto& property : properties_) property->DefineAccessors(code);
}

void ClassEmitter::DefineConstructor(Code& code) const {
  const std::string& n = cls_.name;
  const std::string body = cls_.elementAlias ? " {}" : " {";
  const std::string signature = n + "::" + n + "(std::string elementName) : " + BaseClass() + "(std::move(elementName))";
  if (cpp::Width(signature + body) > cpp::kColumns) {
    code.Line(n + "::" + n + "(std::string elementName)");
    code.Indented(4, [&] { code.Line(": " + BaseClass() + "(std::move(elementName))" + body); });
  } else if (!cls_.elementAlias) {
    return code.Function(signature, {Expr("Init();")});
  } else {
    code.Line(signature + body);
  }
  if (cls_.elementAlias) return;
  code.Indented(2, [&] { code.Line("Init();"); });
  code.Line("}");
}

// Defined beside the class, so that the factory and ReadDocument, which make objects of many classes, only call.
// Not make_shared: its control block is a type per class, which costs g++ megabytes each (UBL has 1,600 of these);
// the count of a shared_ptr<XmlGeneratedClassBase> is one type for all.
void ClassEmitter::DefineNew(Code& code) const {
  const std::string shared = "std::shared_ptr<" + kGeneratedBase + ">";
  code.Function(shared + " " + cls_.name + "::New(std::string elementName)",
                {Expr("return " + shared + "(new " + cls_.name + "(std::move(elementName)));")});
  code.Line();
}

void ClassEmitter::DefineInit(Code& code) const {
  std::vector<Expr> body;
  if (cls_.base) body.emplace_back(Base() + "::Init();");
  for (const auto& property : properties_) {
    for (Expr& statement : property->Init()) body.push_back(std::move(statement));
  }
  code.Function("void " + cls_.name + "::Init()", body);
}

std::vector<Expr> ClassEmitter::Declarations(const std::string& info) const {
  std::vector<Expr> declarations;
  for (const auto& property : properties_) {
    for (Expr& declaration : property->Declarations(info)) declarations.push_back(std::move(declaration));
  }
  return declarations;
}

void ClassEmitter::DefineParticles(Code& code) const {
  std::vector<Expr> body;
  if (cls_.base) body.emplace_back("Add" + cls_.base->name + "Particles(info);");
  for (Expr& declaration : Declarations("info.")) body.push_back(std::move(declaration));
  code.Function("void " + cls_.name + "::Add" + cls_.name + "Particles(vexlo9::ClassInfo& info)", body);
  code.Line();
}

void ClassEmitter::DefineClassInfo(Code& code) const {
  code.Line("const vexlo9::ClassInfo& " + cls_.name + "::ClassInfo() const {");
  code.Indented(2, [&] {
    code.Line("static const auto described = [] {");
    code.Indented(2, [&] {
      code.Line("auto info = std::make_shared<vexlo9::ClassInfo>();");
      if (cls_.derived) code.Line("info->IsClassDerived(true);");
      if (cls_.group != Group::Sequence) {
        code.Line(std::string("info->GroupType(vexlo9::XmlGroupType::") +
                  (cls_.group == Group::Choice ? "Choice" : "All") + ");");
      }
      if (cls_.pseudo) code.Line("info->ElementType(vexlo9::XmlElementType::PseudoElement);");
      if (cls_.text) code.Line("info->AllowText(true);");
      code.Line("info->ElementName(" + Quote(cls_.infoName) + ");");
      code.Line("info->ElementNamespaceURI(" + words_.Namespace(cls_.ns) + ");");
      if (cls_.hasDerived) {
        code.Line("Add" + cls_.name + "Particles(*info);");
      } else {
        if (cls_.base) code.Line("Add" + cls_.base->name + "Particles(*info);");
        for (const Expr& declaration : Declarations("info->")) code.Statement(declaration);
      }
      if (NeedsFactory(cls_)) code.Line("info->ClassFactory(" + words_.FactoryCall(cls_) + ");");
      code.Line("return info;");
    });
    code.Line("}();");
    code.Line("return *described;");
  });
  code.Line("}");
}

void ClassEmitter::DefineMemberTable(Code& code) const {
  const std::string& n = cls_.name;
  std::vector<Expr> calls;
  if (cls_.base) calls.push_back(Expr::Call(".Inherit", {Base() + "::Members()"}));
  if (!cls_.elementAlias) {
    for (const auto& property : properties_) {
      for (Expr& row : property->MemberRows()) calls.push_back(std::move(row));
    }
  }
  xsd::DefineMemberTable(code, n, calls);
}

}  // namespace vexlo9::xsd
