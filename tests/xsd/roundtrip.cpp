// One round trip of a sample through the classes generated for its schema: read it whatever its root, write it,
// read the writing and write again. The two writings must be equal, and the first must hold every element and
// attribute of the sample, so that nothing is dropped silently. The first writing goes to OUTPUT for xmllint.
//
//   roundtrip SAMPLE OUTPUT
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include VEXLO9_XSD_HEADER
#include "vexlo9/vexlo9.h"

namespace {

std::string Name(const xmlNs* ns, const xmlChar* local) {
  std::string name = "{";
  if (ns) name += reinterpret_cast<const char*>(ns->href);
  return name + "}" + reinterpret_cast<const char*>(local);
}

// An element as the comparison sees it: its name and its children's, sorted (an all group may reorder them;
// xmllint checks the order), and its attributes' names, sorted. Declarations of namespaces are no attributes.
struct Outline {
  std::string element;
  std::vector<std::string> attributes;

  // The writer may add attributes (a default made explicit, an xsi:type), never lose one.
  bool Holds(const Outline& read) const {
    return element == read.element &&
           std::includes(attributes.begin(), attributes.end(), read.attributes.begin(), read.attributes.end());
  }
  std::string Text() const {
    std::string text = element + " @";
    for (const auto& a : attributes) text += " " + a;
    return text;
  }
};

void Collect(const xmlNode* element, std::vector<Outline>& outlines) {
  Outline outline;
  std::vector<std::string> children;
  for (const xmlAttr* a = element->properties; a; a = a->next) outline.attributes.push_back(Name(a->ns, a->name));
  for (const xmlNode* c = element->children; c; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    children.push_back(Name(c->ns, c->name));
    Collect(c, outlines);
  }
  std::sort(outline.attributes.begin(), outline.attributes.end());
  std::sort(children.begin(), children.end());
  outline.element = Name(element->ns, element->name) + " /";
  for (const auto& c : children) outline.element += " " + c;
  outlines.push_back(std::move(outline));
}

std::vector<Outline> Collect(const std::string& xml) {
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET), xmlFreeDoc);
  std::vector<Outline> outlines;
  if (doc) Collect(xmlDocGetRootElement(doc.get()), outlines);
  return outlines;
}

// Pairs each element read with one written that holds it, those with the most attributes first; the first element
// left without a partner, or an empty text when there is none.
std::string Unpaired(std::vector<Outline> read, std::vector<Outline> written) {
  std::sort(read.begin(), read.end(),
            [](const Outline& a, const Outline& b) { return a.attributes.size() > b.attributes.size(); });
  for (const Outline& r : read) {
    const auto match = std::find_if(written.begin(), written.end(), [&](const Outline& w) { return w.Holds(r); });
    if (match == written.end()) return "read, not written: " + r.Text();
    written.erase(match);
  }
  return written.empty() ? "" : "written, not read: " + written.front().Text();
}

// Writes with the prefixes the sample declares on its root, as a user keeping a document's look would: a QName
// value in it then keeps its meaning. A default namespace is left out: the writer would put the elements of no
// namespace into it.
vexlo9::XmlSerializationContextPtr PrefixesOf(const std::string& xml) {
  auto context = std::make_shared<vexlo9::XmlSerializationContext>();
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET), xmlFreeDoc);
  const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  for (const xmlNs* ns = root ? root->nsDef : nullptr; ns; ns = ns->next) {
    if (ns->prefix) {
      context->NamespaceAliases().Add(reinterpret_cast<const char*>(ns->href),
                                      reinterpret_cast<const char*>(ns->prefix));
    }
  }
  return context;
}

std::string Write(const std::string& xml, const vexlo9::XmlSerializationContextPtr& context) {
  const auto object = VEXLO9_XSD_NAMESPACE::ReadDocument(xml);
  // Unindented: indentation inside mixed content would be new text.
  return vexlo9::Global::XmlObjectBaseHelper()->ToXml(*object, true, vexlo9::XmlFormatting_None, vexlo9::EOLType_LF,
                                                      context);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: roundtrip SAMPLE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string sample{std::istreambuf_iterator<char>(in), {}};
  if (!in) {
    std::cerr << argv[1] << ": cannot read\n";
    return 2;
  }
  try {
    const auto context = PrefixesOf(sample);
    const std::string first = Write(sample, context);
    if (!(std::ofstream(argv[2], std::ios::binary) << first)) {
      std::cerr << argv[2] << ": cannot write\n";
      return 2;
    }
    const std::string second = Write(first, context);
    if (second != first) {
      const auto at = std::mismatch(first.begin(), first.end(), second.begin(), second.end()).first - first.begin();
      std::cerr << "the second writing differs from the first at byte " << at << ":\n" << second << '\n';
      return 1;
    }
    if (const std::string lost = Unpaired(Collect(sample), Collect(first)); !lost.empty()) {
      std::cerr << lost << '\n';
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
