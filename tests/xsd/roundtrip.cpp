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
#include <sstream>
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

// One line per element: its name, then its attributes' and children's names, sorted (an all group may reorder
// children; xmllint checks the order). Declarations of namespaces are no attributes here.
void Outline(const xmlNode* element, std::vector<std::string>& lines) {
  std::vector<std::string> attributes, children;
  for (const xmlAttr* a = element->properties; a; a = a->next) attributes.push_back(Name(a->ns, a->name));
  for (const xmlNode* c = element->children; c; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    children.push_back(Name(c->ns, c->name));
    Outline(c, lines);
  }
  std::sort(attributes.begin(), attributes.end());
  std::sort(children.begin(), children.end());
  std::string line = Name(element->ns, element->name) + " @";
  for (const auto& a : attributes) line += " " + a;
  line += " /";
  for (const auto& c : children) line += " " + c;
  lines.push_back(line);
}

std::vector<std::string> Outline(const std::string& xml) {
  const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET), xmlFreeDoc);
  std::vector<std::string> lines;
  if (doc) Outline(xmlDocGetRootElement(doc.get()), lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// An attribute the writer adds (a default made explicit) is no loss; anything else that differs is.
bool Holds(const std::string& written, const std::string& read) {
  const auto split = [](const std::string& line) {
    const size_t slash = line.rfind(" /");
    std::istringstream attributes(line.substr(0, slash));
    std::vector<std::string> names{std::istream_iterator<std::string>(attributes), {}};
    return std::pair(std::move(names), line.substr(slash));
  };
  const auto [writtenNames, writtenChildren] = split(written);
  const auto [readNames, readChildren] = split(read);
  return writtenChildren == readChildren &&
         std::includes(writtenNames.begin(), writtenNames.end(), readNames.begin(), readNames.end());
}

std::string Write(const std::string& xml) {
  const auto object = VEXLO9_XSD_NAMESPACE::ReadDocument(xml);
  // Unindented: indentation inside mixed content would be new text.
  return vexlo9::Global::XmlObjectBaseHelper()->ToXml(*object, true, vexlo9::XmlFormatting_None);
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
    const std::string first = Write(sample);
    std::ofstream(argv[2], std::ios::binary) << first;
    const std::string second = Write(first);
    if (second != first) {
      const auto at = std::mismatch(first.begin(), first.end(), second.begin(), second.end()).first - first.begin();
      std::cerr << "the second writing differs from the first at byte " << at << ":\n" << second << '\n';
      return 1;
    }
    const auto read = Outline(sample), written = Outline(first);
    for (size_t i = 0; i < std::max(read.size(), written.size()); ++i) {
      if (i >= read.size() || i >= written.size() || !Holds(written[i], read[i])) {
        std::cerr << "an element differs\n  read:    " << (i < read.size() ? read[i] : "")
                  << "\n  written: " << (i < written.size() ? written[i] : "") << '\n';
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
