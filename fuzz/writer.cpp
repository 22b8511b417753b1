// A script of XmlTextWriter calls: each byte picks a call, the bytes after it its arguments from small tables of
// valid names (text and values may need escaping, and one URI would too). Errors are expected and leave the output as
// it was, so a script whose elements are all closed must have written a well-formed document, unless it asked
// for something the writer is not meant to prevent (see Model::illFormedAllowed).
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "Fuzz.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/XmlDom.h"

namespace {

using namespace vexlo9;

constexpr std::string_view kXsi = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kXml = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kNames[] = {"a", "b", "item", "_x", "y.1-z", "\xC3\xA9t\xC3\xA9", "nil"};
// Index 0 is no namespace; the xml namespace is bound from the start.
constexpr std::string_view kUris[] = {"", "urn:a", "urn:b", kXsi, kXml, "urn:a&b"};
// The xml namespace may not be the default one.
constexpr std::string_view kDefaults[] = {"", "urn:a", "urn:b", "urn:a&b"};
constexpr std::string_view kPrefixes[] = {"p", "q", "AA", "AB", "xsi"};
constexpr std::string_view kPieces[] = {"a",  "b c", "&", "<",   ">",        "\"",    "'",           "\n",
                                        "\r", "\t",  "-", "]]>", "\xC3\xA9", "&amp;", "\xE2\x82\xAC"};

class Script {
 public:
  Script(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}
  bool More() const { return at_ < end_; }
  uint8_t Byte() { return at_ < end_ ? *at_++ : 0; }
  template <size_t N>
  std::string_view Pick(const std::string_view (&table)[N]) {
    return table[Byte() % N];
  }
  std::string Text() {
    std::string text;
    for (int n = Byte() % 5; n > 0; --n) text += Pick(kPieces);
    return text;
  }

 private:
  const uint8_t* at_;
  const uint8_t* end_;
};

// What the script has done, as far as well-formedness depends on it.
struct Model {
  // The attributes (namespace, name) of each open element: the writer does not look for repeats.
  std::vector<std::set<std::pair<std::string, std::string>>> open;
  std::map<std::string, std::string, std::less<>> prefixes;  // declared before the root
  std::string writerDefault;
  std::string rootDefault;  // every element's default namespace: it is set before the root only
  bool rootStarted = false;
  bool raised = false;
  // What the writer is not asked to catch: raw text, a comment with "--" or ending in "-" or written into an open
  // start tag, a namespace URI that needs escaping (URIs are written as they are), a prefix bound to two URIs or
  // bound while an element is open (then without a declaration, by contract), a repeated attribute.
  bool illFormedAllowed = false;
  bool startTagOpen = false;

  void Uri(std::string_view ns) {
    if (ns.find_first_of("&<\"") != std::string_view::npos) illFormedAllowed = true;
  }

  void Attribute(std::string_view ns, std::string_view name) {
    if (open.empty()) fuzz::Fail("an attribute was written with no element open", "");
    if (!open.back().emplace(ns, name).second) illFormedAllowed = true;
  }
};

void Step(Script& script, XmlTextWriter& writer, Model& model) {
  switch (script.Byte() % 14) {
    case 0: {
      const auto name = script.Pick(kNames);
      const auto ns = script.Pick(kUris);
      if (model.rootStarted && model.open.empty()) return;  // a second root is the caller's mistake
      writer.WriteStartElement(name, ns);
      model.Uri(ns);
      if (!model.rootStarted) model.rootDefault = model.writerDefault;
      model.rootStarted = true;
      model.open.emplace_back();
      model.startTagOpen = true;
      return;
    }
    case 1:
      writer.WriteEndElement();
      if (model.open.empty()) fuzz::Fail("an element was ended with none open", writer.Xml());
      model.open.pop_back();
      model.startTagOpen = false;
      return;
    case 2: {
      const auto name = script.Pick(kNames);
      writer.WriteAttributeString(name, script.Text());
      model.Attribute(model.rootDefault, name);
      return;
    }
    case 3: {
      const auto name = script.Pick(kNames);
      const auto ns = script.Pick(kUris);
      writer.WriteAttributeNsString(name, ns, script.Text());
      model.Uri(ns);
      model.Attribute(ns, name);
      return;
    }
    case 4: {
      const std::string text = script.Text();
      writer.WriteString(text);
      if (!text.empty()) model.startTagOpen = false;
      return;
    }
    case 5:
      model.illFormedAllowed = true;
      writer.WriteRaw(script.Text());
      return;
    case 6: {
      const std::string comment = script.Text();
      if (comment.find("--") != std::string::npos || comment.ends_with('-') || model.startTagOpen) {
        model.illFormedAllowed = true;
      }
      writer.WriteComment(comment);
      return;
    }
    case 7: {
      const auto prefix = script.Pick(kPrefixes);
      const auto ns = kUris[1 + script.Byte() % (std::size(kUris) - 1)];
      writer.AddNamespace(prefix, ns);
      model.Uri(ns);
      if (!model.open.empty()) model.illFormedAllowed = true;
      const auto [at, added] = model.prefixes.emplace(prefix, ns);
      if (!added && at->second != ns) model.illFormedAllowed = true;
      return;
    }
    case 8: writer.EOL(static_cast<EOLType>(script.Byte() % 3 + 1)); return;
    case 9: writer.Format(script.Byte() % 2 == 0); return;
    case 10: {
      const auto ns = script.Pick(kUris);
      writer.WriteAttributeType(ns, script.Pick(kNames));
      model.Uri(ns);
      model.Attribute(kXsi, "type");
      return;
    }
    case 11:
      writer.WriteAttributeNil();
      model.Attribute(kXsi, "nil");
      return;
    case 12: {
      const auto ns = script.Pick(kDefaults);
      if (!model.open.empty()) return;  // the library sets it before the root only
      writer.defaultNamespace(ns);
      model.Uri(ns);
      model.writerDefault = ns;
      return;
    }
    case 13: writer.EscapeNormalizedCharacters(script.Byte() % 2 == 0); return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Script script(data, size);
  Model model;
  const auto writer = detail::NewXmlTextWriter();
  writer->WriteStartDocument(XmlEncoding_UTF8);
  while (script.More()) {
    try {
      Step(script, *writer, model);
    } catch (const Error&) {
      model.raised = true;
    }
  }
  if (!model.rootStarted || !model.open.empty() || model.illFormedAllowed) return 0;
  XmlDocument document;
  if (!document.loadXML(writer->Xml())) {
    fuzz::Fail(std::string(model.raised ? "after an error, " : "") +
                   "the output is not well-formed: " + document.parseError().reason(),
               writer->Xml());
  }
  return 0;
}
