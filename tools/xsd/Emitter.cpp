#include "Emitter.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace vexlo9::xsd {

namespace {

constexpr size_t kColumns = 120;

// The columns a text takes: its characters, not its bytes (names may hold any Unicode letter).
size_t Width(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// ---- text

// A C++ string literal for the text: raw when it holds backslashes or quotes, as patterns do.
std::string Quote(std::string_view text) {
  const bool plain = text.find_first_of("\\\"") == std::string_view::npos;
  const bool control =
      std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
  if (!plain && !control && text.find(")\"") == std::string_view::npos) return "R\"(" + std::string(text) + ")\"";
  std::string literal = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      literal += '\\';
      literal += c;
    } else if (byte < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      literal += "\\x";
      literal += kHex[byte >> 4];
      literal += kHex[byte & 15];
      literal += "\"\"";  // ends the escape: the next character may be a hex digit
    } else {
      literal += c;
    }
  }
  return literal + "\"";
}

// Splits "head(a, b(c), "d,e")" into head and its top-level arguments; false when the text does not end in a call.
bool SplitCall(std::string_view text, std::string& head, std::vector<std::string>& args, std::string& tail) {
  const size_t close = text.find_last_of(')');
  if (close == std::string_view::npos) return false;
  tail = std::string(text.substr(close + 1));
  int depth = 0;
  size_t open = std::string_view::npos;
  bool quoted = false;
  // Backwards to the parenthesis that the last one closes; string literals hold no parentheses that count.
  for (size_t i = close + 1; i-- > 0;) {
    const char c = text[i];
    if (c == '"' && (i == 0 || text[i - 1] != '\\')) quoted = !quoted;
    if (quoted) continue;
    if (c == ')') ++depth;
    if (c == '(' && --depth == 0) {
      open = i;
      break;
    }
  }
  if (open == std::string_view::npos || open == 0) return false;
  head = std::string(text.substr(0, open));
  const std::string_view inner = text.substr(open + 1, close - open - 1);
  std::string current;
  depth = 0;
  quoted = false;
  bool raw = false;
  for (size_t i = 0; i < inner.size(); ++i) {
    const char c = inner[i];
    if (!quoted && c == 'R' && inner.substr(i).starts_with("R\"(")) {
      const size_t end = inner.find(")\"", i + 3);
      current += inner.substr(i, end + 2 - i);
      i = end + 1;
      continue;
    }
    if (c == '"' && (i == 0 || inner[i - 1] != '\\')) quoted = !quoted;
    if (!quoted && !raw) {
      if (c == '(' || c == '[' || c == '{' || c == '<') ++depth;
      if (c == ')' || c == ']' || c == '}' || c == '>') --depth;
      if (c == ',' && depth == 0) {
        args.push_back(current);
        current.clear();
        if (i + 1 < inner.size() && inner[i + 1] == ' ') ++i;
        continue;
      }
    }
    current += c;
  }
  if (!current.empty()) args.push_back(current);
  return !args.empty();
}

// Code text with the line breaks of the repository's format: 120 columns, two-space indentation, arguments packed
// after the opening parenthesis or, when that leaves too little room, four spaces in on the next line.
class Code {
 public:
  void Line(std::string_view text = {}) {
    if (!text.empty()) out_ << std::string(indent_, ' ') << text;
    out_ << '\n';
  }
  // A line comment, wrapped at word boundaries.
  void Comment(std::string_view text) {
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(' ', start);
      if (end == std::string_view::npos) end = text.size();
      const std::string_view word = text.substr(start, end - start);
      if (!line.empty() && indent_ + 3 + line.size() + 1 + word.size() > kColumns) {
        Line("// " + line);
        line.clear();
      }
      line += (line.empty() ? "" : " ") + std::string(word);
      start = end + 1;
    }
    Line("// " + line);
  }
  // One statement or declaration, wrapped at its last call's arguments when it is too long; a guarded one goes below
  // its condition first.
  void Statement(std::string_view text) {
    if (indent_ + Width(text) <= kColumns) return Line(text);
    if (text.starts_with("if (")) {
      const size_t close = text.find(") ");
      Line(text.substr(0, close + 1));
      return Indented(2, [&] { Statement(text.substr(close + 2)); });
    }
    std::string head, tail;
    std::vector<std::string> args;
    if (!SplitCall(text, head, args, tail)) return Line(text);
    std::vector<std::string> lines = Pack(indent_, head + "(", args, ")" + tail);
    // An assignment may break after its "=" instead, when its value then takes fewer lines.
    const size_t assign = head.find(" = ");
    if (assign != std::string::npos && head.find('(') > assign) {
      std::vector<std::string> below{std::string(indent_, ' ') + head.substr(0, assign + 2)};
      const std::string value = std::string(text.substr(assign + 3));
      const bool whole = indent_ + 4 + Width(value) <= kColumns;  // preferred even at the same number of lines
      if (whole) {
        below.push_back(std::string(indent_ + 4, ' ') + value);
      } else {
        for (std::string& l : Pack(indent_ + 4, head.substr(assign + 3) + "(", args, ")" + tail)) below.push_back(l);
      }
      if (below.size() < lines.size() || (whole && below.size() == lines.size())) lines = std::move(below);
    }
    for (const std::string& l : lines) out_ << l << '\n';
  }
  // A function definition: on one line when it fits, else its statements below the signature.
  void Function(std::string_view signature, const std::vector<std::string>& body) {
    if (body.size() == 1) {
      const std::string one = std::string(signature) + " { " + body.front() + " }";
      if (indent_ + Width(one) <= kColumns) return Line(one);
    }
    if (body.empty()) return Line(std::string(signature) + " {}");
    Line(std::string(signature) + " {");
    indent_ += 2;
    for (const std::string& statement : body) Statement(statement);
    indent_ -= 2;
    Line("}");
  }
  // "static const auto table = Builder()" followed by calls, laid out as a chain.
  void Chain(std::string_view lead, std::string_view first, const std::vector<std::string>& calls) {
    std::string joined(first);
    for (const std::string& call : calls) joined += call;
    if (indent_ + lead.size() + 1 + Width(joined) + 1 <= kColumns) {
      return Line(std::string(lead) + " " + joined + ";");
    }
    if (indent_ + 4 + Width(joined) + 1 <= kColumns) {
      Line(std::string(lead));
      return Indented(4, [&] { Line(joined + ";"); });
    }
    size_t column = indent_ + lead.size() + 1;
    bool fits = column + Width(first) <= kColumns;
    for (size_t i = 0; i < calls.size(); ++i) {
      fits = fits && column + 4 + Width(calls[i]) + (i + 1 == calls.size() ? 1 : 0) <= kColumns;
    }
    if (fits) {
      Line(std::string(lead) + " " + std::string(first));
    } else {
      Line(std::string(lead));
      column = indent_ + 4;
      Indented(4, [&] { Line(first); });
    }
    const size_t saved = indent_;
    indent_ = column + 4;
    for (size_t i = 0; i < calls.size(); ++i) Statement(calls[i] + (i + 1 == calls.size() ? ";" : ""));
    indent_ = saved;
  }
  template <class F>
  void Indented(size_t by, F&& body) {
    indent_ += by;
    body();
    indent_ -= by;
  }
  std::string Text() const { return out_.str(); }

 private:
  // A call's lines at that indentation: its arguments packed after the opening parenthesis or, when that takes
  // more lines or does not fit, four spaces in on the next line.
  static std::vector<std::string> Pack(size_t indent, const std::string& open, const std::vector<std::string>& args,
                                       const std::string& close) {
    const auto packed = [&](size_t column, std::string first) {
      std::vector<std::string> lines;
      std::string line = std::move(first);
      for (size_t i = 0; i < args.size(); ++i) {
        const std::string piece = args[i] + (i + 1 == args.size() ? close : ",");
        const bool fresh = line.size() == column;
        if (!fresh && Width(line) + 1 + Width(piece) > kColumns) {
          lines.push_back(line);
          line = std::string(column, ' ');
        }
        if (line.size() != column) line += ' ';
        line += piece;
      }
      lines.push_back(line);
      return lines;
    };
    const std::string lead = std::string(indent, ' ') + open;
    std::vector<std::string> lines = packed(Width(lead), lead);
    std::vector<std::string> below = packed(indent + 4, std::string(indent + 4, ' '));
    below.insert(below.begin(), lead);
    const bool tooWide =
        std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return Width(l) > kColumns; });
    return tooWide || below.size() < lines.size() ? below : lines;
  }

  std::ostringstream out_;
  size_t indent_ = 0;
};

// ---- what the library calls things

const char* GroupWord(Group group) {
  switch (group) {
    case Group::Choice: return "Choice";
    case Group::All: return "All";
    case Group::Sequence: break;
  }
  return "Seq";
}

const char* WhitespaceName(Whitespace rule) {
  switch (rule) {
    case Whitespace::Collapse: return "vexlo9::WhitespaceRule_Collapse";
    case Whitespace::Replace: return "vexlo9::WhitespaceRule_Replace";
    case Whitespace::Preserve: break;
  }
  return "vexlo9::WhitespaceRule_Preserve";
}

std::string Number(int n) { return std::to_string(n); }

// The facet arguments of the declaration methods and typed collections, in their order.
std::vector<std::string> FacetArguments(const Facets& f) {
  return {f.patterns.empty() ? "\"\"" : Quote(f.patterns.back()),
          Number(f.minLength),
          Number(f.maxLength),
          Quote(f.minInclusive),
          Quote(f.maxInclusive),
          Quote(f.minExclusive),
          Quote(f.maxExclusive),
          Number(f.length)};
}

bool IsText(const Primitive& p) { return p.name == "string"; }

// A numeric default as a C++ literal, or nothing when the text is not a plain number.
std::optional<std::string> NumericLiteral(std::string text, bool integer) {
  if (!text.empty() && text.front() == '+') text.erase(0, 1);
  const size_t digits = text.find_first_not_of("-");
  if (digits == std::string::npos || digits > 1 || text.size() == digits) return std::nullopt;
  const std::string_view allowed = integer ? "0123456789" : "0123456789.eE-+";
  if (text.find_first_not_of(allowed, digits) != std::string::npos) return std::nullopt;
  if (!std::isdigit(static_cast<unsigned char>(text[digits]))) return std::nullopt;
  // Leading zeros would make an octal literal.
  while (text.size() > digits + 1 && text[digits] == '0' &&
         std::isdigit(static_cast<unsigned char>(text[digits + 1]))) {
    text.erase(digits, 1);
  }
  return text;
}

// ---- one output

class OutputEmitter {
 public:
  OutputEmitter(const Binding& binding, const Options& options, size_t index)
      : binding_(binding), out_(binding.outputs[index]), index_(index) {
    cppNamespace_ = options.cppNamespace;
    const size_t colon = cppNamespace_.rfind("::");
    innerNamespace_ = colon == std::string::npos ? cppNamespace_ : cppNamespace_.substr(colon + 2);
    factoryAccessor_ = binding.outputs.size() == 1 ? "Factory" : out_.factory + "Instance";
    for (const auto& [uri, constant] : binding.namespaceConstants) {
      const size_t owner = OwnerOfNamespace(uri);
      if (owner == index_) ownConstants_.emplace_back(uri, constant);
      if (owner == index_ || out_.includes.count(owner)) constants_[uri] = constant;
    }
    // A class held in a collection gets a name for it, "ItemCol", unless that name is taken.
    std::set<std::string> taken;
    for (const ClassType& cls : binding.classes) taken.insert(cls.name);
    for (const EnumType& e : binding.enums) taken.insert(e.name);
    for (const ClassType& cls : binding.classes) {
      for (const ElementProperty& p : cls.particles) {
        if (p.occurs == Cardinality::Repeated && p.type && !taken.count(p.type->name + "Col")) {
          collectionAlias_[p.type] = p.type->name + "Col";
        }
      }
    }
  }

  std::string Header() {
    Code code;
    code.Line("#pragma once");
    code.Line();
    code.Comment("Generated by vexlo9-xsd from " + Sources() + ". Edit the schema, not this file.");
    code.Line();
    for (const char* include : {"<cstdint>", "<memory>", "<string>", "<string_view>"}) {
      code.Line(std::string("#include ") + include);
    }
    code.Line();
    code.Line("#include \"vexlo9/vexlo9.h\"");
    for (const size_t other : out_.includes) code.Line("#include \"" + binding_.outputs[other].stem + ".h\"");
    code.Line();
    code.Line("namespace " + cppNamespace_ + " {");
    code.Line();
    for (const auto& [uri, constant] : ownConstants_) {
      code.Line("inline constexpr const char* " + constant + " = " + Quote(uri) + ";");
    }
    if (!ownConstants_.empty()) code.Line();
    for (const EnumType* e : out_.enums) DeclareEnum(code, *e);
    std::vector<std::string> aliases;
    for (const ClassType* cls : out_.classes) {
      if (const auto it = collectionAlias_.find(cls); it != collectionAlias_.end()) {
        aliases.push_back("using " + it->second + " = vexlo9::XmlGeneratedClassCol<" + cls->name + ">;");
      }
    }
    if (out_.classes.size() > 1 || !aliases.empty()) {  // the classes name each other in any order
      for (const ClassType* cls : out_.classes) code.Line("class " + cls->name + ";");
      code.Line();
    }
    if (!aliases.empty()) {
      for (const std::string& alias : aliases) code.Line(alias);
      code.Line();
    }
    for (const ClassType* cls : out_.classes) DeclareClass(code, *cls);
    if (!out_.converter.empty()) DeclareConverter(code);
    if (!out_.factory.empty()) DeclareFactory(code);
    if (HasRoots()) {
      // Every header of the run declares the one function, so no declaration may carry a default argument.
      code.Comment("Reads a document whose root is a global element of a complex type in " + AllSources() +
                   "; raises 105 for another root. Without a context the thread's default one is used.");
      code.Line("std::shared_ptr<vexlo9::XmlObjectBase> ReadDocument(std::string_view xml);");
      code.Line("std::shared_ptr<vexlo9::XmlObjectBase> ReadDocument(std::string_view xml,");
      code.Line(std::string(52, ' ') + "const vexlo9::XmlSerializationContextPtr& context);");
      code.Line();
    }
    code.Line("}  // namespace " + cppNamespace_);
    return code.Text();
  }

  std::string Source() {
    Code code;
    code.Comment("Generated by vexlo9-xsd from " + Sources() + ". Edit the schema, not this file.");
    code.Line();
    code.Line("#include \"" + out_.stem + ".h\"");
    code.Line();
    code.Line("#include <utility>");
    if (index_ == 0 && HasRoots() && binding_.outputs.size() > 1) {
      // ReadDocument, defined here, makes the classes of every schema.
      code.Line();
      for (size_t i = 1; i < binding_.outputs.size(); ++i) {
        code.Line("#include \"" + binding_.outputs[i].stem + ".h\"");
      }
    }
    code.Line();
    code.Line("namespace " + cppNamespace_ + " {");
    if (DeclaresValues()) {
      code.Line();
      code.Comment(
          "A value's declaration gives its element (or attribute) name, namespace and property; its presence "
          "flag when it is optional (an attribute's also says whether it is); its type, format override and "
          "whitespace rule (an attribute's as numbers in text); then the facets pattern, minLength, "
          "maxLength, minInclusive, maxInclusive, minExclusive, maxExclusive and length, \"\" or -1 when "
          "absent; and an attribute's default.");
    }
    for (const ClassType* cls : out_.classes) DefineClass(code, *cls);
    if (!out_.converter.empty()) DefineConverter(code);
    if (!out_.factory.empty()) DefineFactory(code);
    if (index_ == 0 && HasRoots()) DefineReadDocument(code);
    code.Line();
    code.Line("}  // namespace " + cppNamespace_);
    return code.Text();
  }

 private:
  // ---- names

  std::string Sources() const {
    std::string text;
    for (const std::string& source : out_.sources) {
      const size_t slash = source.find_last_of('/');
      const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
      if (text.find(name) == std::string::npos) text += (text.empty() ? "" : ", ") + name;
    }
    return text;
  }

  // The file names of every schema of the run, for ReadDocument, which serves them all.
  std::string AllSources() const {
    std::string text;
    for (const Output& o : binding_.outputs) {
      for (const std::string& source : o.sources) {
        const std::string name = source.substr(source.find_last_of('/') + 1);
        if (text.find(name) == std::string::npos) text += (text.empty() ? "" : ", ") + name;
      }
    }
    return text;
  }

  bool DeclaresValues() const {
    return std::any_of(out_.classes.begin(), out_.classes.end(), [](const ClassType* cls) {
      const auto value = [](const ElementProperty& p) { return p.kind == Kind::Primitive && p.occurs != Cardinality::Repeated; };
      const auto attribute = [](const AttributeProperty& a) { return a.kind == AttributeProperty::AttrKind::Primitive; };
      return std::any_of(cls->particles.begin(), cls->particles.end(), value) ||
             std::any_of(cls->attributes.begin(), cls->attributes.end(), attribute);
    });
  }

  bool HasRoots() const {
    return std::any_of(binding_.outputs.begin(), binding_.outputs.end(),
                       [](const Output& o) { return !o.roots.empty(); });
  }

  size_t OwnerOfNamespace(const std::string& uri) const {
    for (size_t i = 0; i < binding_.outputs.size(); ++i) {
      const Output& o = binding_.outputs[i];
      if (o.ns == uri) return i;
    }
    for (size_t i = 0; i < binding_.outputs.size(); ++i) {
      for (const ClassType* cls : binding_.outputs[i].classes) {
        if (cls->ns == uri) return i;
      }
    }
    return index_;
  }

  std::string Ns(const std::string& uri) const {
    if (uri.empty()) return "\"\"";
    const auto it = constants_.find(uri);
    return it == constants_.end() ? Quote(uri) : it->second;
  }

  // The members a class has, its bases' included: a type named like one of them must be qualified inside it.
  std::set<std::string> MemberNames(const ClassType& cls) const {
    std::set<std::string> names;
    for (const ClassType* c = &cls; c; c = c->base) {
      for (const ElementProperty& p : c->particles) names.insert({p.property, p.isValid});
      for (const AttributeProperty& a : c->attributes) names.insert({a.property, a.isValid});
    }
    return names;
  }

  std::string Qualified(const ClassType& owner, const std::string& type) const {
    if (!MemberNames(owner).count(type)) return type;
    if (innerNamespace_.empty() || MemberNames(owner).count(innerNamespace_)) return "::" + cppNamespace_ + "::" + type;
    return innerNamespace_ + "::" + type;
  }

  // The data member of each member function of the class being written: "name_" for name(), "isValidname_" for
  // IsValidname(); names that differ only in their first letter's case keep it.
  void NameFields(const ClassType& cls) {
    fields_.clear();
    std::set<std::string> taken;
    const auto add = [&](const std::string& member) {
      if (member.empty() || fields_.count(member)) return;
      std::string field = member;
      field.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(field.front())));
      if (taken.count(field + "_")) field = member;
      std::string unique = field + "_";
      for (int n = 2; taken.count(unique); ++n) unique = field + std::to_string(n) + "_";
      taken.insert(unique);
      fields_[member] = unique;
    };
    for (const ElementProperty& p : cls.particles) {
      add(p.property);
      add(p.isValid);
    }
    for (const AttributeProperty& a : cls.attributes) {
      add(a.property);
      add(a.isValid);
    }
    for (const char* special : {"IsNil", "Text", "ChoiceSelectedElement"}) add(special);
  }
  const std::string& F(const std::string& member) const { return fields_.at(member); }

  std::string CollectionType(const ClassType& owner, const ClassType& item) const {
    const auto it = collectionAlias_.find(&item);
    if (it != collectionAlias_.end()) return Qualified(owner, it->second);
    return "vexlo9::XmlGeneratedClassCol<" + Qualified(owner, item.name) + ">";
  }

  // ---- value types

  std::string ValueType(const ClassType& owner, const Value& v) const {
    if (v.enumeration) return Qualified(owner, v.enumeration->name);
    return std::string(v.primitive->cppType);
  }

  static bool ByReference(const Value& v) { return !v.enumeration && IsText(*v.primitive); }

  std::string ParticleType(const ClassType& owner, const ElementProperty& p) const {
    switch (p.kind) {
      case Kind::Primitive:
      case Kind::Enum:
        if (p.occurs == Cardinality::Repeated)
          return "std::shared_ptr<vexlo9::" + std::string(p.value.primitive->name) + "Col>";
        return ValueType(owner, p.value);
      case Kind::Class:
      case Kind::AbstractClass:
        if (p.occurs == Cardinality::Repeated) return "std::shared_ptr<" + CollectionType(owner, *p.type) + ">";
        return "std::shared_ptr<" + Qualified(owner, p.type->name) + ">";
      case Kind::Untyped:
        return p.occurs == Cardinality::Repeated ? "std::shared_ptr<vexlo9::ElementCol>"
                                            : "std::shared_ptr<vexlo9::Element>";
    }
    return "";
  }

  // The getter's return type and the setter's parameter type: text is read by reference and taken by value, so a
  // reader's text is moved in.
  std::pair<std::string, std::string> Accessors(const std::string& type, bool byReference) const {
    if (byReference) return {"const " + type + "&", type};
    return {type, type};
  }

  // The setter's statement storing its parameter.
  static std::string Store(const std::string& field, bool byReference) {
    return field + (byReference ? " = std::move(value);" : " = value;");
  }

  // The field's initial value in its declaration, for arithmetic and enumerated values.
  std::string Initial(const Value& v) const {
    if (v.enumeration) {
      for (const auto& [enumerator, text] : v.enumeration->values) {
        if (v.defaultValue && text == *v.defaultValue) return enumerator;
      }
      return v.enumeration->values.empty() ? "{}" : v.enumeration->values.front().first;
    }
    const std::string_view type = v.primitive->cppType;
    if (type == "bool")
      return v.defaultValue && (*v.defaultValue == "true" || *v.defaultValue == "1") ? "true" : "false";
    if (v.defaultValue) {
      if (const auto literal = NumericLiteral(*v.defaultValue, type != "double" && type != "float")) return *literal;
    }
    return "0";
  }

  // The statements that give a value field its initial value in Init.
  std::vector<std::string> InitValue(const std::string& field, const Value& v, bool mandatory) const {
    const Primitive& p = *v.primitive;
    if (v.enumeration || !p.isObject) {
      if (!v.enumeration && IsText(p))
        return {v.defaultValue ? field + " = " + Quote(*v.defaultValue) + ";" : field + ".clear();"};
      return {field + " = " + Initial(v) + ";"};
    }
    const std::string object = std::string(p.cppType).substr(16, p.cppType.size() - 17);  // within shared_ptr<>
    if (v.defaultValue) {
      if (p.name == "decimal" || p.name == "integer") {
        return {field + " = std::make_shared<" + object + ">(" + Quote(*v.defaultValue) + ");"};
      }
      const char* parse = p.name == "datetime"           ? "ParseXSDDateTime"
                          : p.name == "time"             ? "ParseXSDTime"
                          : p.name == "duration"         ? "ParseXSDDuration"
                          : object == "vexlo9::DateTime" ? "ParseXSDDate"
                                                         : nullptr;
      if (parse) {
        return {field + " = std::make_shared<" + object + ">();",
                field + "->" + parse + "(" + Quote(*v.defaultValue) + ");"};
      }
    }
    if (mandatory) return {field + " = std::make_shared<" + object + ">();"};
    return {field + ".reset();"};
  }

  // ---- the header

  void DeclareEnum(Code& code, const EnumType& e) {
    code.Comment("" + Capitalised(e.origin) + ".");
    code.Line("enum " + e.name + " : int32_t {");
    code.Indented(2, [&] {
      for (size_t i = 0; i < e.values.size(); ++i)
        code.Line(e.values[i].first + " = " + Number(static_cast<int>(i)) + ",");
    });
    code.Line("};");
    code.Line();
  }

  static std::string Capitalised(std::string text) {
    if (!text.empty()) text.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(text.front())));
    return text;
  }

  std::string BaseClause(const ClassType& cls) const {
    std::string clause = cls.base ? cls.base->name : "vexlo9::XmlGeneratedClassBase";
    if (cls.nillable && !(cls.base && InheritsNillable(*cls.base))) clause += ", public vexlo9::INillable";
    return "public " + clause;
  }

  static bool InheritsNillable(const ClassType& cls) {
    for (const ClassType* c = &cls; c; c = c->base) {
      if (c->nillable) return true;
    }
    return false;
  }

  static bool DeclaresChoice(const ClassType& cls) {
    return cls.group == Group::Choice && !(cls.base && cls.base->group == Group::Choice);
  }
  static bool DeclaresText(const ClassType& cls) { return cls.text && !(cls.base && cls.base->text); }

  void DeclareClass(Code& code, const ClassType& cls) {
    NameFields(cls);
    if (!cls.origin.empty()) code.Comment("" + Capitalised(cls.origin) + ".");
    code.Line("class " + cls.name + " : " + BaseClause(cls) + " {");
    code.Line(" public:");
    code.Indented(2, [&] { code.Line("VEXLO9_BY_NAME(" + cls.name + ");"); });
    if (cls.elementAlias) {
      code.Indented(2, [&] {
        code.Line("explicit " + cls.name + "(std::string elementName = " + Quote(cls.defaultElement) + ");");
      });
      code.Line("};");
      code.Line();
      return;
    }
    std::vector<std::string> fields;
    code.Indented(2, [&] {
      code.Line("explicit " + cls.name + "(std::string elementName = " + Quote(cls.defaultElement) + ");");
      code.Line("void Init() override;");
      code.Line("const vexlo9::ClassInfo& ClassInfo() const override;");
      code.Line("bool IsSuitableSubstitution(std::string_view typeName) const override;");
      if (cls.nillable && !(cls.base && InheritsNillable(*cls.base))) {
        code.Line("bool IsNil() const override;");
        code.Line("void IsNil(bool value) override;");
        fields.push_back("bool " + F("IsNil") + " = false;");
      }
      if (!cls.particles.empty() || !cls.attributes.empty() || DeclaresText(cls) || DeclaresChoice(cls)) code.Line();
      for (const ElementProperty& p : cls.particles) {
        const bool repeated = p.occurs == Cardinality::Repeated;
        const bool value = (p.kind == Kind::Primitive || p.kind == Kind::Enum) && !repeated;
        DeclareProperty(code, p.property, ParticleType(cls, p), repeated ? "" : p.isValid, repeated,
                        value && ByReference(p.value), value ? &p.value : nullptr, fields);
      }
      for (const AttributeProperty& a : cls.attributes) {
        if (a.kind == AttributeProperty::AttrKind::Wildcard) {
          code.Comment("The attributes that no declaration names (" + a.namespaceRestriction + ").");
          code.Line("std::shared_ptr<vexlo9::AttributeCol> " + a.property + "() const;");
          fields.push_back("std::shared_ptr<vexlo9::AttributeCol> " + F(a.property) + ";");
          continue;
        }
        DeclareProperty(code, a.property, ValueType(cls, a.value), a.isValid, false, ByReference(a.value), &a.value,
                        fields);
      }
      if (DeclaresText(cls)) {
        code.Comment("The character data of the element" +
                     std::string(cls.particles.empty() ? "" : ", wherever it stood") + ".");
        code.Line("const std::string& Text() const;");
        code.Line("void Text(std::string value);");
        fields.push_back("std::string " + F("Text") + ";");
      }
      if (DeclaresChoice(cls)) {
        code.Comment("The name of the member that is set; empty when none is.");
        code.Line("const std::string& ChoiceSelectedElement() const;");
        fields.push_back("std::string " + F("ChoiceSelectedElement") + ";");
      }
    });
    if (cls.abstract || cls.hasDerived) {
      code.Line();
      code.Line(" protected:");
      code.Indented(2, [&] {
        code.Comment("" + cls.name + "'s own particles, which every class built on it declares first.");
        code.Line("static void Add" + cls.name + "Particles(vexlo9::ClassInfo& info);");
      });
    }
    if (!fields.empty()) {
      code.Line();
      code.Line(" private:");
      code.Indented(2, [&] {
        for (const std::string& field : fields) code.Statement(field);
      });
    }
    code.Line("};");
    code.Line();
  }

  void DeclareProperty(Code& code, const std::string& property, const std::string& type, const std::string& isValid,
                       bool readOnly, bool byReference, const Value* value, std::vector<std::string>& fields) {
    const auto [get, set] = Accessors(type, byReference);
    code.Line(get + " " + property + "() const;");
    if (!readOnly) code.Line("void " + property + "(" + set + " value);");
    const bool arithmetic = value && (value->enumeration || !value->primitive->isObject) && !ByReference(*value);
    fields.push_back(type + " " + F(property) + (arithmetic && !readOnly ? " = " + Initial(*value) : "") + ";");
    if (!isValid.empty()) {
      code.Line("bool " + isValid + "() const;");
      code.Line("void " + isValid + "(bool value);");
      fields.push_back("bool " + F(isValid) + " = false;");
    }
  }

  void DeclareConverter(Code& code) {
    code.Comment("The lexical forms of the schema's enumerations.");
    code.Line("class " + out_.converter + " : public vexlo9::Object {");
    code.Line(" public:");
    code.Indented(2, [&] {
      code.Line("VEXLO9_BY_NAME(" + out_.converter + ");");
      for (const EnumType* e : out_.converted) {
        code.Line("std::string " + e->toString + "(int32_t& value) const;");
        code.Comment("Raises 380 for a text that is not one of the enumeration's values.");
        code.Line("int32_t " + e->fromString + "(std::string& value) const;");
      }
    });
    code.Line("};");
    code.Line();
  }

  int ClassTypeId(const ClassType* cls) const {
    const auto it = std::find(binding_.namedClasses.begin(), binding_.namedClasses.end(), cls);
    return static_cast<int>(it - binding_.namedClasses.begin()) + 1;
  }

  std::string IdName(const ClassType* cls) const { return "k" + cls->name; }

  void DeclareFactory(Code& code) {
    code.Comment("Creates the objects that the library cannot take from a parent's Init.");
    code.Line("class " + out_.factory + " : public vexlo9::Object {");
    code.Line(" public:");
    code.Indented(2, [&] {
      code.Line("VEXLO9_BY_NAME(" + out_.factory + ");");
      if (!out_.namedClasses.empty()) {
        code.Comment("The class type numbers of the optional class particles.");
        std::vector<std::string> ids;
        for (const ClassType* cls : out_.namedClasses) ids.push_back(IdName(cls) + " = " + Number(ClassTypeId(cls)));
        std::string joined;
        for (const std::string& id : ids) joined += (joined.empty() ? "" : ", ") + id;
        if (code_fits("enum ClassTypeId : int32_t { " + joined + " };")) {
          code.Line("enum ClassTypeId : int32_t { " + joined + " };");
        } else {
          code.Line("enum ClassTypeId : int32_t {");
          code.Indented(2, [&] {
            for (const std::string& id : ids) code.Line(id + ",");
          });
          code.Line("};");
        }
        code.Line();
        code.Line("vexlo9::ObjectPtr CreateNamedClass(int32_t& id, std::string& elementName) const;");
      }
      for (const Creator* creator : out_.creators) {
        code.Line(creator->byElementName
                      ? "// The class of the substitution group member the element names, or nothing."
                      : "// The class named by the element's xsi:type, or nothing.");
        code.Line("vexlo9::ObjectPtr " + creator->name + "(vexlo9::XmlNode& element) const;");
      }
      if (!out_.converter.empty()) {
        code.Line("std::shared_ptr<" + out_.converter + "> EnumConverter() const;");
      }
    });
    code.Line("};");
    code.Line();
    code.Comment("The one factory of these classes, shared by every registry.");
    code.Line("const std::shared_ptr<" + out_.factory + ">& " + factoryAccessor_ + "();");
    code.Line();
  }

  static bool code_fits(const std::string& line) { return 2 + line.size() <= kColumns; }

  // ---- the source

  // The position of each element and attribute declaration in the class's registry, counted from 1.
  struct Positions {
    std::map<const ElementProperty*, int> elements;
    std::map<const AttributeProperty*, int> attributes;
  };

  static Positions PositionsOf(const ClassType& cls) {
    std::vector<const ClassType*> chain;
    for (const ClassType* c = &cls; c; c = c->base) chain.insert(chain.begin(), c);
    Positions positions;
    int element = 0;
    int attribute = 0;
    for (const ClassType* c : chain) {
      for (const AttributeProperty& a : c->attributes) positions.attributes[&a] = ++attribute;
      for (const ElementProperty& p : c->particles) {
        positions.elements[&p] = element + 1;
        element += p.alternatives.empty() ? 1 : static_cast<int>(p.alternatives.size());
      }
    }
    return positions;
  }

  static bool HasMandatoryElements(const ClassType& cls) {
    for (const ClassType* c = &cls; c; c = c->base) {
      for (const ElementProperty& p : c->particles) {
        if (p.occurs == Cardinality::Mandatory || (p.occurs == Cardinality::Repeated && p.minOccurs > 0)) return true;
      }
    }
    return false;
  }

  std::vector<std::string> Declarations(const ClassType& cls, const std::string& target) const {
    std::vector<std::string> lines;
    for (const AttributeProperty& a : cls.attributes) lines.push_back(target + AttributeDeclaration(a));
    for (const ElementProperty& p : cls.particles) {
      for (const std::string& declaration : ParticleDeclarations(p)) lines.push_back(target + declaration);
    }
    return lines;
  }

  std::string AttributeDeclaration(const AttributeProperty& a) const {
    const std::string optional = a.optional ? "true" : "false";
    const std::string defaultValue = Quote(a.value.defaultValue.value_or(""));
    switch (a.kind) {
      case AttributeProperty::AttrKind::Wildcard:
        return "AddAttrAny(\"\", " + Ns(a.ns) + ", " + Quote(a.property) + ", " + Quote(a.namespaceRestriction) + ", " +
               Ns(a.targetNamespace) + ");";
      case AttributeProperty::AttrKind::Enum:
        return "AddAttrEnum(" + Quote(a.attributeName) + ", " + Ns(a.ns) + ", " + Quote(a.property) + ", " +
               Quote(a.isValid) + ", " + optional + ", " + Quote(a.value.enumeration->toString) + ", " +
               Quote(a.value.enumeration->fromString) + ", " + defaultValue + ");";
      case AttributeProperty::AttrKind::Primitive: break;
    }
    std::string call = "AddAttrPrimitive(" + Quote(a.attributeName) + ", " + Ns(a.ns) + ", " + Quote(a.property) +
                       ", " + Quote(a.isValid) + ", " + optional + ", \"" + Number(a.value.primitive->number) +
                       "\", \"\", \"" + Number(static_cast<int>(a.value.whitespace)) + "\"";
    for (const std::string& facet : FacetArguments(a.value.facets)) call += ", " + facet;
    return call + ", " + defaultValue + ");";
  }

  std::string ElementType(const ElementProperty& p) const {
    return p.pseudo ? "vexlo9::XmlElementType::PseudoElement" : "vexlo9::XmlElementType::Element";
  }

  std::vector<std::string> ParticleDeclarations(const ElementProperty& p) const {
    const std::string group = GroupWord(groupOf_);
    const char* occurs = p.occurs == Cardinality::Repeated ? "Col" : p.occurs == Cardinality::Optional ? "Opt" : "Mnd";
    const std::string head = Quote(p.elementName) + ", " + Ns(p.ns) + ", " + Quote(p.property);
    switch (p.kind) {
      case Kind::Primitive: {
        if (p.occurs == Cardinality::Repeated) return {"AddElm" + group + "PrimCol(" + head + ");"};
        std::string call = "AddElm" + group + "Prim" + occurs + "(" + head;
        if (p.occurs == Cardinality::Optional) call += ", " + Quote(p.isValid);
        call +=
            ", vexlo9::type_" + std::string(p.value.primitive->name) + ", \"\", " + WhitespaceName(p.value.whitespace);
        for (const std::string& facet : FacetArguments(p.value.facets)) call += ", " + facet;
        return {call + ");"};
      }
      case Kind::Enum: {
        std::string call = "AddElm" + group + "Enum" + occurs + "(" + head;
        if (p.occurs == Cardinality::Optional) call += ", " + Quote(p.isValid);
        return {call + ", " + Quote(p.value.enumeration->toString) + ", " + Quote(p.value.enumeration->fromString) +
                ");"};
      }
      case Kind::Class:
        if (p.occurs == Cardinality::Repeated) return {"AddElm" + group + "ClsCol(" + head + ", " + ElementType(p) + ");"};
        if (p.occurs == Cardinality::Optional) {
          return {"AddElm" + group + "ClsOpt(" + head + ", " + ElementType(p) + ", " + out_.factory +
                  "::" + IdName(p.type) + ");"};
        }
        return {"AddElm" + group + "ClsMnd(" + head + ", " + ElementType(p) + ", " +
                ((p.pseudo ? p.mandatoryContent : HasMandatoryElements(*p.type)) ? "true" : "false") + ");"};
      case Kind::AbstractClass: {
        if (p.occurs == Cardinality::Repeated)
          return {"AddElm" + group + "AbsClsCol(" + head + ", " + ElementType(p) + ");"};
        if (p.alternatives.empty()) {
          return {"AddElm" + group + "AbsCls" + occurs + "(" + head + ", " + ElementType(p) + ", " + Quote(p.creator) +
                  ");"};
        }
        std::vector<std::string> lines;
        for (const auto& [name, ns] : p.alternatives) {
          lines.push_back("AddElm" + group + "AbsCls" + occurs + "(" + Quote(name) + ", " + Ns(ns) + ", " +
                          Quote(p.property) + ", " + ElementType(p) + ", " + Quote(p.creator) + ");");
        }
        return lines;
      }
      case Kind::Untyped:
        if (p.occurs == Cardinality::Repeated) return {"AddElm" + group + "UntpdCol(" + head + ");"};
        return {"AddElm" + group + "Untpd" + occurs + "(" + head + ", " + Quote(p.namespaceRestriction) + ", " +
                Ns(p.targetNamespace) + ");"};
    }
    return {};
  }

  void DefineClass(Code& code, const ClassType& cls) {
    code.Line();
    code.Line("// ---- " + cls.name);
    code.Line();
    const std::string base = cls.base ? cls.base->name : "vexlo9::XmlGeneratedClassBase";
    const std::string n = cls.name;
    positions_ = PositionsOf(cls);
    NameFields(cls);
    // An element's class only names its element: its type's class does the rest.
    const std::vector<std::string> body =
        cls.elementAlias ? std::vector<std::string>{} : std::vector<std::string>{"Init();"};
    const std::string signature = n + "::" + n + "(std::string elementName) : " + base + "(std::move(elementName))";
    if (Width(signature + (body.empty() ? " {}" : " {")) <= kColumns) {
      code.Function(signature, body);
    } else {
      code.Line(n + "::" + n + "(std::string elementName)");
      code.Indented(4, [&] { code.Line(": " + base + "(std::move(elementName))" + (body.empty() ? " {}" : " {")); });
      if (!body.empty()) {
        code.Indented(2, [&] { code.Line(body.front()); });
        code.Line("}");
      }
    }
    if (cls.elementAlias) {
      code.Line();
      DefineMembers(code, cls);
      return;
    }
    code.Line();
    DefineInit(code, cls);
    code.Line();
    groupOf_ = cls.group;
    if (cls.abstract || cls.hasDerived) {
      std::vector<std::string> body;
      if (cls.base) body.push_back("Add" + cls.base->name + "Particles(info);");
      for (const std::string& line : Declarations(cls, "info.")) body.push_back(line);
      code.Function("void " + n + "::Add" + n + "Particles(vexlo9::ClassInfo& info)", body);
      code.Line();
    }
    DefineClassInfo(code, cls);
    code.Line();
    std::string suitable = "typeName == " + Quote(cls.infoName);
    if (cls.base) suitable += " || " + cls.base->name + "::IsSuitableSubstitution(typeName)";
    code.Function("bool " + n + "::IsSuitableSubstitution(std::string_view typeName) const",
                  {"return " + suitable + ";"});
    if (cls.nillable && !(cls.base && InheritsNillable(*cls.base))) {
      const std::string field = F("IsNil");
      code.Function("bool " + n + "::IsNil() const", {"return " + field + ";"});
      code.Function("void " + n + "::IsNil(bool value)", {field + " = value;"});
    }
    code.Line();
    DefineMembers(code, cls);
    if (!cls.particles.empty() || !cls.attributes.empty() || DeclaresText(cls) || DeclaresChoice(cls)) {
      code.Line();
      DefineAccessors(code, cls);
    }
  }

  void DefineInit(Code& code, const ClassType& cls) {
    std::vector<std::string> body;
    if (cls.base) body.push_back(cls.base->name + "::Init();");
    if (cls.nillable && !(cls.base && InheritsNillable(*cls.base))) body.push_back(F("IsNil") + " = false;");
    for (const ElementProperty& p : cls.particles) {
      for (const std::string& line : InitParticle(cls, p)) body.push_back(line);
      if (!p.isValid.empty() && p.occurs != Cardinality::Repeated) body.push_back(F(p.isValid) + " = false;");
    }
    for (const AttributeProperty& a : cls.attributes) {
      const std::string field = F(a.property);
      if (a.kind == AttributeProperty::AttrKind::Wildcard) {
        body.push_back(field + " = vexlo9::Global::ClassFactory()->Create_AttributeCol(" + Ns(a.ns) + ", " +
                       Quote(a.namespaceRestriction) + ", " + Ns(a.targetNamespace) + ");");
        continue;
      }
      for (const std::string& line : InitValue(field, a.value, !a.optional)) body.push_back(line);
      if (!a.isValid.empty()) body.push_back(F(a.isValid) + " = false;");
    }
    if (DeclaresText(cls)) body.push_back(F("Text") + ".clear();");
    if (DeclaresChoice(cls)) body.push_back(F("ChoiceSelectedElement") + ".clear();");
    code.Function("void " + cls.name + "::Init()", body);
  }

  std::vector<std::string> InitParticle(const ClassType& cls, const ElementProperty& p) const {
    const std::string field = F(p.property);
    const std::string bounds = Number(p.minOccurs) + ", " + Number(p.maxOccurs);
    if (p.occurs == Cardinality::Repeated) {
      switch (p.kind) {
        case Kind::Primitive:
        case Kind::Enum: {
          std::string call = field + " = vexlo9::Global::ClassFactory()->Create_" +
                             std::string(p.value.primitive->name) + "Col(" + Quote(p.elementName) + ", " + Ns(p.ns) +
                             ", " + bounds;
          for (const std::string& facet : FacetArguments(p.value.facets)) call += ", " + facet;
          return {call + ", " + WhitespaceName(p.value.whitespace) + ");"};
        }
        case Kind::Class:
          return {field + " = std::make_shared<" + CollectionType(cls, *p.type) + ">(" + Quote(p.elementName) + ", " +
                  Ns(p.ns) + ", " + bounds + ", " + ElementType(p) + ");"};
        case Kind::AbstractClass: {
          const std::string item = Qualified(cls, p.type->name);
          return {field + " = std::make_shared<" + CollectionType(cls, *p.type) + ">(" + Quote(p.elementName) + ", " +
                  Ns(p.ns) + ", " + bounds + ", " + ElementType(p) + ", [](vexlo9::XmlNode element) { return " +
                  "std::dynamic_pointer_cast<" + item + ">(" + factoryAccessor_ + "()->" + p.creator +
                  "(element)); });"};
        }
        case Kind::Untyped:
          return {field + " = vexlo9::Global::ClassFactory()->Create_ElementCol(" + Ns(p.ns) + ", " +
                  Quote(p.namespaceRestriction) + ", " + Ns(p.targetNamespace) + ", " + bounds + ");"};
      }
    }
    const bool mandatory = p.occurs == Cardinality::Mandatory;
    switch (p.kind) {
      case Kind::Primitive:
      case Kind::Enum: return InitValue(field, p.value, mandatory);
      case Kind::Class:
        if (!mandatory) return {field + ".reset();"};
        if (p.pseudo) return {field + " = std::make_shared<" + Qualified(cls, p.type->name) + ">();"};
        return {field + " = std::make_shared<" + Qualified(cls, p.type->name) + ">(" + Quote(p.elementName) + ");"};
      case Kind::AbstractClass: return {field + ".reset();"};
      case Kind::Untyped:
        if (!mandatory) return {field + ".reset();"};
        return {field + " = vexlo9::Global::ClassFactory()->Create_Element(" + Quote(p.elementName) + ", " + Ns(p.ns) +
                ", " + Quote(p.namespaceRestriction) + ", " + Ns(p.targetNamespace) + ");"};
    }
    return {};
  }

  void DefineClassInfo(Code& code, const ClassType& cls) {
    code.Line("const vexlo9::ClassInfo& " + cls.name + "::ClassInfo() const {");
    code.Indented(2, [&] {
      code.Line("static const auto info = [] {");
      code.Indented(2, [&] {
        code.Line("auto i = std::make_shared<vexlo9::ClassInfo>();");
        if (cls.derived) code.Line("i->IsClassDerived(true);");
        if (cls.group != Group::Sequence) {
          code.Line(std::string("i->GroupType(vexlo9::XmlGroupType::") +
                    (cls.group == Group::Choice ? "Choice" : "All") + ");");
        }
        if (cls.pseudo) code.Line("i->ElementType(vexlo9::XmlElementType::PseudoElement);");
        if (cls.text) code.Line("i->AllowText(true);");
        code.Line("i->ElementName(" + Quote(cls.infoName) + ");");
        code.Line("i->ElementNamespaceURI(" + Ns(cls.ns) + ");");
        if (cls.hasDerived) {
          code.Line("Add" + cls.name + "Particles(*i);");
        } else {
          if (cls.base) code.Line("Add" + cls.base->name + "Particles(*i);");
          for (const std::string& line : Declarations(cls, "i->")) code.Statement(line);
        }
        if (cls.needsFactory) code.Line("i->ClassFactory(" + factoryAccessor_ + "());");
        code.Line("return i;");
      });
      code.Line("}();");
      code.Line("return *info;");
    });
    code.Line("}");
  }

  void DefineMembers(Code& code, const ClassType& cls) {
    const std::string n = cls.name;
    std::vector<std::string> calls;
    if (cls.base) calls.push_back(".Inherit(" + cls.base->name + "::Members())");
    const auto property = [&](const std::string& name) {
      calls.push_back(".Property(" + Quote(name) + ", &" + n + "::" + name + ", &" + n + "::" + name + ")");
    };
    const auto readOnly = [&](const std::string& name) {
      calls.push_back(".ReadOnly(" + Quote(name) + ", &" + n + "::" + name + ")");
    };
    if (!cls.elementAlias) {
      for (const ElementProperty& p : cls.particles) {
        if (p.occurs == Cardinality::Repeated) {
          readOnly(p.property);
          continue;
        }
        property(p.property);
        if (!p.isValid.empty()) property(p.isValid);
      }
      for (const AttributeProperty& a : cls.attributes) {
        if (a.kind == AttributeProperty::AttrKind::Wildcard) {
          readOnly(a.property);
          continue;
        }
        property(a.property);
        if (!a.isValid.empty()) property(a.isValid);
      }
      if (DeclaresText(cls)) property("Text");
    }
    calls.push_back(".Build()");
    code.Line("const vexlo9::MemberTable<" + n + ">& " + n + "::Members() {");
    code.Indented(2, [&] {
      code.Chain("static const auto table =", "vexlo9::MemberTable<" + n + ">::Builder()", calls);
      code.Line("return table;");
    });
    code.Line("}");
  }

  void DefineAccessors(Code& code, const ClassType& cls) {
    const std::string n = cls.name;
    const bool choice = cls.group == Group::Choice;
    const std::string selection = choice ? F("ChoiceSelectedElement") : "";
    for (const ElementProperty& p : cls.particles) {
      const std::string field = F(p.property);
      const std::string type = ParticleType(cls, p);
      const bool value = p.kind == Kind::Primitive || p.kind == Kind::Enum;
      const bool byReference = value && p.occurs != Cardinality::Repeated && ByReference(p.value);
      const auto [get, set] = Accessors(type, byReference);
      code.Function(get + " " + n + "::" + p.property + "() const", {"return " + field + ";"});
      if (p.occurs == Cardinality::Repeated) continue;
      std::vector<std::string> body;
      const bool object = !value || p.value.primitive->isObject;
      if (value && !p.value.enumeration && !p.value.facets.Empty()) {
        body.push_back("ClassInfo().CheckElementRestriction(" + Number(positions_.elements.at(&p)) +
                       ", vexlo9::Variant(value));");
      }
      if (value && !object) {
        if (choice) {
          const std::string held = p.value.enumeration ? "static_cast<int32_t>(value)" : "value";
          body.push_back("vexlo9::Global::XmlObjectBaseHelper()->Choice_SelectElement(" + Quote(p.property) +
                         ", vexlo9::Variant(" + held + "), " + selection + ");");
        }
        body.push_back(Store(field, byReference));
        if (!p.isValid.empty()) body.push_back(F(p.isValid) + " = true;");
      } else {
        std::vector<std::string> checks;
        const bool mandatory = p.occurs == Cardinality::Mandatory;
        if (mandatory) checks.push_back("Throw_IfPropertyIsNull(value, " + Quote(p.property) + ");");
        if ((p.kind == Kind::Class && !p.pseudo) || (p.kind == Kind::AbstractClass && p.alternatives.empty())) {
          checks.push_back("Throw_IfElementNameDiffers(value, " + Quote(p.elementName) + ");");
        }
        if (choice)
          checks.push_back("Choice_SelectElement(" + Quote(p.property) + ", vexlo9::Variant(value), " + selection +
                           ");");
        if (checks.size() == 1) {
          body.push_back("vexlo9::Global::XmlObjectBaseHelper()->" + checks.front());
        } else if (!checks.empty()) {
          body.push_back("const vexlo9::XmlObjectBaseHelperCls& helper = *vexlo9::Global::XmlObjectBaseHelper();");
          for (const std::string& check : checks) body.push_back("helper." + check);
        }
        if (!p.isValid.empty()) body.push_back(F(p.isValid) + " = value != nullptr;");
        body.push_back(field + " = std::move(value);");
      }
      code.Function("void " + n + "::" + p.property + "(" + set + " value)", body);
      if (!p.isValid.empty()) DefinePresence(code, n, p.isValid, choice ? p.property : "");
    }
    for (const AttributeProperty& a : cls.attributes) {
      const std::string field = F(a.property);
      if (a.kind == AttributeProperty::AttrKind::Wildcard) {
        code.Function("std::shared_ptr<vexlo9::AttributeCol> " + n + "::" + a.property + "() const",
                      {"return " + field + ";"});
        continue;
      }
      const bool byReference = ByReference(a.value);
      const auto [get, set] = Accessors(ValueType(cls, a.value), byReference);
      code.Function(get + " " + n + "::" + a.property + "() const", {"return " + field + ";"});
      std::vector<std::string> body;
      if (!a.value.enumeration && !a.value.facets.Empty()) {
        body.push_back("ClassInfo().CheckAttributeRestriction(" + Number(positions_.attributes.at(&a)) +
                       ", vexlo9::Variant(value));");
      }
      if (a.value.enumeration || !a.value.primitive->isObject) {
        body.push_back(Store(field, byReference));
        if (!a.isValid.empty()) body.push_back(F(a.isValid) + " = true;");
      } else {
        if (!a.optional)
          body.push_back("vexlo9::Global::XmlObjectBaseHelper()->Throw_IfPropertyIsNull(value, " + Quote(a.property) +
                         ");");
        if (!a.isValid.empty()) body.push_back(F(a.isValid) + " = value != nullptr;");
        body.push_back(field + " = std::move(value);");
      }
      code.Function("void " + n + "::" + a.property + "(" + set + " value)", body);
      if (!a.isValid.empty()) DefinePresence(code, n, a.isValid, "");
    }
    if (DeclaresText(cls)) {
      const std::string field = F("Text");
      code.Function("const std::string& " + n + "::Text() const", {"return " + field + ";"});
      code.Function("void " + n + "::Text(std::string value)", {Store(field, true)});
    }
    if (DeclaresChoice(cls)) {
      code.Function("const std::string& " + n + "::ChoiceSelectedElement() const", {"return " + selection + ";"});
    }
  }

  // The presence flag's accessors; clearing the flag of a choice's member (choiceMember) deselects it.
  void DefinePresence(Code& code, const std::string& n, const std::string& isValid, const std::string& choiceMember) {
    code.Function("bool " + n + "::" + isValid + "() const", {"return " + F(isValid) + ";"});
    std::vector<std::string> body;
    if (!choiceMember.empty()) {
      body.push_back("if (!value) vexlo9::Global::XmlObjectBaseHelper()->Choice_SelectElement(" + Quote(choiceMember) +
                     ", nullptr, " + F("ChoiceSelectedElement") + ");");
    }
    body.push_back(F(isValid) + " = value;");
    code.Function("void " + n + "::" + isValid + "(bool value)", body);
  }

  void DefineConverter(Code& code) {
    const std::string n = out_.converter;
    code.Line();
    code.Line("// ---- " + n);
    code.Line();
    std::vector<std::string> calls;
    for (const EnumType* e : out_.converted) {
      calls.push_back(".Method(" + Quote(e->toString) + ", &" + n + "::" + e->toString + ")");
      calls.push_back(".Method(" + Quote(e->fromString) + ", &" + n + "::" + e->fromString + ")");
    }
    calls.push_back(".Build()");
    code.Line("const vexlo9::MemberTable<" + n + ">& " + n + "::Members() {");
    code.Indented(2, [&] {
      code.Chain("static const auto table =", "vexlo9::MemberTable<" + n + ">::Builder()", calls);
      code.Line("return table;");
    });
    code.Line("}");
    for (const EnumType* e : out_.converted) {
      code.Line();
      code.Line("std::string " + n + "::" + e->toString + "(int32_t& value) const {");
      code.Indented(2, [&] {
        code.Line("switch (value) {");
        code.Indented(2, [&] {
          for (const auto& [enumerator, text] : e->values) {
            code.Statement("case " + enumerator + ": return " + Quote(text) + ";");
          }
        });
        code.Line("}");
        code.Statement("throw vexlo9::Error(380, " + Quote(e->toString) +
                       ", \"Invalid property value [\" + std::to_string(value) + \"]\");");
      });
      code.Line("}");
      code.Line();
      code.Line("int32_t " + n + "::" + e->fromString + "(std::string& value) const {");
      code.Indented(2, [&] {
        for (const auto& [enumerator, text] : e->values)
          code.Statement("if (value == " + Quote(text) + ") return " + enumerator + ";");
        code.Statement("throw vexlo9::Error(380, " + Quote(e->fromString) +
                       ", \"Invalid property value [\" + value + \"]\");");
      });
      code.Line("}");
    }
  }

  std::string MakeForElement(const ClassType& cls, const std::string& element,
                             std::string_view elementExpression) const {
    if (cls.defaultElement == element && elementExpression.empty()) return "std::make_shared<" + cls.name + ">()";
    return "std::make_shared<" + cls.name + ">(" +
           (elementExpression.empty() ? Quote(element) : std::string(elementExpression)) + ")";
  }

  // One test per alternative, the first that fits making its class: by the element's local name, or (byType) by its
  // xsi:type alone, where no type is a choice of its own. Alternatives that an earlier one hides are left out.
  void EmitChoices(Code& code, const std::vector<Alternative>& choices, const std::string& node, bool byName,
                   const std::string& more, std::string_view elementExpression) {
    std::vector<const Alternative*> shown;
    std::set<std::string> open;  // elements already taken whatever their type
    for (const Alternative& a : choices) {
      if (byName && open.count(a.element)) continue;
      if (byName && a.type.empty()) open.insert(a.element);
      shown.push_back(&a);
    }
    const bool typed =
        !byName || std::any_of(shown.begin(), shown.end(), [](const Alternative* a) { return !a->type.empty(); });
    if (byName && !emittedName_) code.Line("const std::string_view name = " + node + ".baseName();");
    emittedName_ = emittedName_ || byName;
    if (typed && !emittedType_) {
      code.Line("const std::string type = vexlo9::Global::XmlObjectBaseHelper()->GetElementType(" + node + ");");
      emittedType_ = true;
    }
    for (const Alternative* a : shown) {
      std::vector<std::string> tests;
      if (byName) tests.push_back("name == " + Quote(a->element) + more);
      if (!a->type.empty()) tests.push_back("type == " + Quote(a->type));
      if (!byName && a->type.empty()) tests.push_back("type.empty()");
      std::string condition;
      for (const std::string& t : tests) condition += (condition.empty() ? "" : " && ") + t;
      code.Statement("if (" + condition + ") return " + MakeForElement(*a->cls, a->element, elementExpression) + ";");
    }
  }

  void DefineFactory(Code& code) {
    const std::string n = out_.factory;
    code.Line();
    code.Line("// ---- " + n);
    code.Line();
    std::vector<std::string> calls;
    if (!out_.namedClasses.empty()) calls.push_back(".Method(\"CreateNamedClass\", &" + n + "::CreateNamedClass)");
    for (const Creator* creator : out_.creators) {
      calls.push_back(".Method(" + Quote(creator->name) + ", &" + n + "::" + creator->name + ")");
    }
    if (!out_.converter.empty()) calls.push_back(".ReadOnly(\"EnumConverter\", &" + n + "::EnumConverter)");
    calls.push_back(".Build()");
    code.Line("const vexlo9::MemberTable<" + n + ">& " + n + "::Members() {");
    code.Indented(2, [&] {
      code.Chain("static const auto table =", "vexlo9::MemberTable<" + n + ">::Builder()", calls);
      code.Line("return table;");
    });
    code.Line("}");
    if (!out_.namedClasses.empty()) {
      code.Line();
      code.Line("vexlo9::ObjectPtr " + n + "::CreateNamedClass(int32_t& id, std::string& elementName) const {");
      code.Indented(2, [&] {
        code.Line("switch (id) {");
        code.Indented(2, [&] {
          for (const ClassType* cls : out_.namedClasses) {
            code.Statement("case " + IdName(cls) + ": return std::make_shared<" + cls->name + ">(elementName);");
          }
        });
        code.Line("}");
        code.Line("return nullptr;");
      });
      code.Line("}");
    }
    for (const Creator* creator : out_.creators) {
      code.Line();
      code.Line("vexlo9::ObjectPtr " + n + "::" + creator->name + "(vexlo9::XmlNode& element) const {");
      emittedName_ = emittedType_ = false;
      code.Indented(2, [&] {
        EmitChoices(code, creator->choices, "element", creator->byElementName, "",
                    creator->byElementName ? "" : "std::string(element.baseName())");
        code.Line("return nullptr;");
      });
      code.Line("}");
    }
    if (!out_.converter.empty()) {
      code.Line();
      code.Line("std::shared_ptr<" + out_.converter + "> " + n + "::EnumConverter() const {");
      code.Indented(2, [&] {
        code.Line("static const auto converter = std::make_shared<" + out_.converter + ">();");
        code.Line("return converter;");
      });
      code.Line("}");
    }
    code.Line();
    code.Line("const std::shared_ptr<" + n + ">& " + factoryAccessor_ + "() {");
    code.Indented(2, [&] {
      code.Line("static const auto factory = std::make_shared<" + n + ">();");
      code.Line("return factory;");
    });
    code.Line("}");
  }

  void DefineReadDocument(Code& code) {
    code.Line();
    code.Line("// ---- ReadDocument");
    code.Line();
    code.Line("namespace {");
    code.Line();
    code.Line(
        "// An object for the document's root element, or nothing when no global element of the schema has its name.");
    code.Line("std::shared_ptr<vexlo9::XmlObjectBase> NewRoot(const vexlo9::XmlNode& root) {");
    emittedName_ = emittedType_ = false;
    code.Indented(2, [&] {
      code.Line("const std::string_view ns = root.namespaceURI();");
      for (const Output& o : binding_.outputs) {
        for (const Root& r : o.roots) EmitChoices(code, r.classes, "root", true, " && ns == " + Ns(r.element.ns), "");
      }
      code.Line("return nullptr;");
    });
    code.Line("}");
    code.Line();
    code.Line("}  // namespace");
    code.Line();
    code.Line("std::shared_ptr<vexlo9::XmlObjectBase> ReadDocument(std::string_view xml,");
    code.Line(std::string(52, ' ') + "const vexlo9::XmlSerializationContextPtr& context) {");
    code.Indented(2, [&] {
      code.Line("return vexlo9::Global::XmlObjectBaseHelper()->ReadDocument(xml, NewRoot, context);");
    });
    code.Line("}");
    code.Line();
    code.Function("std::shared_ptr<vexlo9::XmlObjectBase> ReadDocument(std::string_view xml)",
                  {"return ReadDocument(xml, nullptr);"});
  }

  const Binding& binding_;
  const Output& out_;
  const size_t index_;
  std::string cppNamespace_;
  std::string innerNamespace_;
  std::string factoryAccessor_;
  std::vector<std::pair<std::string, std::string>> ownConstants_;
  std::map<std::string, std::string> constants_;
  std::map<const ClassType*, std::string> collectionAlias_;
  Group groupOf_ = Group::Sequence;
  std::map<std::string, std::string> fields_;
  bool emittedName_ = false;  // within one function written by EmitChoices: its locals are declared
  bool emittedType_ = false;
  Positions positions_;  // of the class being defined: its setters check facets by declaration position
};

}  // namespace

std::vector<GeneratedFile> Emit(const Binding& binding, const Options& options) {
  std::vector<GeneratedFile> files;
  for (size_t i = 0; i < binding.outputs.size(); ++i) {
    OutputEmitter emitter(binding, options, i);
    files.push_back({binding.outputs[i].stem + ".h", emitter.Header()});
    files.push_back({binding.outputs[i].stem + ".cpp", emitter.Source()});
  }
  return files;
}

}  // namespace vexlo9::xsd
