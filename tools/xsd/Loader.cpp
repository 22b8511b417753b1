#include "Loader.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vexlo9::xsd {

namespace {

namespace fs = std::filesystem;

// Schemas never make the compiler read another resource behind its back: DTDs and external entities stay unread.
xmlParserInputPtr RefuseExternal(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

bool IsUrl(std::string_view location) {
  const size_t colon = location.find(':');
  return colon != std::string_view::npos && colon > 1 && location.substr(colon).starts_with("://");
}

std::string Stem(const std::string& path) { return fs::path(path).stem().string(); }

// The path of a schema named by schemaLocation, relative to the document that names it.
std::string Relative(const SchemaDocument& from, const std::string& location) {
  if (fs::path(location).is_absolute()) return location;
  return (fs::path(from.path).parent_path() / location).lexically_normal().string();
}

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> Parse(const std::string& path, const std::string& text) {
  std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> context(xmlNewParserCtxt(), &xmlFreeParserCtxt);
  if (!context) Diagnostics::Refuse({path, 0}, "XML", "out of memory while reading the schema");
  const int options = XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(
      xmlCtxtReadMemory(context.get(), text.data(), static_cast<int>(text.size()), path.c_str(), nullptr, options),
      &xmlFreeDoc);
  if (!doc || !context->wellFormed) {
    const xmlError* error = xmlCtxtGetLastError(context.get());
    const int line = error ? error->line : 0;
    const std::string message = error && error->message ? OneLine(error->message) : "unreadable";
    Diagnostics::Refuse({path, line}, "XML", "the document is not well-formed (" + message + "): fix it");
  }
  return doc;
}

}  // namespace

SchemaSet::SchemaSet(const std::vector<std::string>& schemas) {
  xmlInitParser();
  xmlSetExternalEntityLoader(RefuseExternal);
  for (const std::string& path : schemas) {
    const size_t output = outputs_.size();
    outputs_.push_back(Stem(path));
    const size_t before = documents_.size();
    Load(path, {path, 0}, "schema", output);
    if (documents_.size() == before) Diagnostics::Refuse({path, 0}, "schema", "this file is named twice: name it once");
  }
  // Breadth first: a document's references are followed once, in the order the documents were read.
  for (size_t i = 0; i < documents_.size(); ++i) FollowReferences(*documents_[i]);
  for (const auto& pending : pendingImports_) {
    const std::string& ns = pending.first;
    const auto declares = [&](const auto& d) { return d->targetNamespace == ns; };
    if (std::none_of(documents_.begin(), documents_.end(), declares)) {
      Diagnostics::Refuse(pending.second, "xs:import",
                          "no local schema for the namespace " + ns +
                              ": save it as a file, give its path in schemaLocation or on the command line");
    }
  }
}

SchemaDocument& SchemaSet::Load(const std::string& path, const Location& from, std::string_view construct,
                                size_t output) {
  std::error_code error;
  const std::string canonical = fs::weakly_canonical(path, error).string();
  for (size_t i = 0; i < canonicalPaths_.size(); ++i) {
    if (canonicalPaths_[i] == canonical) return *documents_[i];
  }
  if (!fs::is_regular_file(path, error)) {
    Diagnostics::Refuse(from, std::string(construct), "cannot read " + path + ": fix the path");
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) Diagnostics::Refuse(from, std::string(construct), "cannot read " + path + ": fix the path");

  auto document = std::make_unique<SchemaDocument>();
  document->path = path;
  document->output = output;
  document->doc = Parse(path, text.str());
  const xmlNode* root = document->Root();
  if (!IsXs(root, "schema")) {
    Diagnostics::Refuse(document->Where(root), "schema",
                        "the root element is not xs:schema of " + std::string(kXsNamespace) + ": give a schema");
  }
  document->targetNamespace = AttributeOr(root, "targetNamespace", "");
  document->elementsQualified = AttributeOr(root, "elementFormDefault", "unqualified") == "qualified";
  document->attributesQualified = AttributeOr(root, "attributeFormDefault", "unqualified") == "qualified";
  canonicalPaths_.push_back(canonical);
  documents_.push_back(std::move(document));
  return *documents_.back();
}

void SchemaSet::FollowReferences(SchemaDocument& document) {
  for (xmlNode* node : Children(document.Root())) {
    const Location where = document.Where(node);
    const std::string construct = "xs:" + std::string(reinterpret_cast<const char*>(node->name));
    // A redefine or override includes the schema it names; the model applies its changes.
    const bool include = IsXs(node, "include") || IsXs(node, "redefine") || IsXs(node, "override");
    if (!include && !IsXs(node, "import")) continue;
    const std::string ns = AttributeOr(node, "namespace", "");
    if (!include && ns == kXmlNamespace) continue;  // xml:lang and its kin are known without a schema
    const std::optional<std::string> location = Attribute(node, "schemaLocation");
    if (!location || IsUrl(*location)) {
      if (include) {
        Diagnostics::Refuse(where, construct,
                            (location ? *location + " is not a local file" : std::string("schemaLocation is missing")) +
                                ": save the schema beside this one and give its path");
      }
      pendingImports_.emplace_back(ns, where);
      continue;
    }
    // A document reached first through this one goes to this one's output.
    SchemaDocument& reached = Load(Relative(document, *location), where, construct, document.output);
    if (include) {
      if (!Attribute(reached.Root(), "targetNamespace")) {
        reached.targetNamespace = document.targetNamespace;  // a schema without a namespace takes its includer's
      } else if (reached.targetNamespace != document.targetNamespace) {
        Diagnostics::Refuse(where, construct,
                            reached.path + " has the target namespace " + reached.targetNamespace + ", not " +
                                document.targetNamespace +
                                ": include only schemas of the same namespace, import others");
      }
    } else if (reached.targetNamespace != ns) {
      Diagnostics::Refuse(where, construct,
                          reached.path + " has the target namespace " + reached.targetNamespace + ", not " + ns +
                              ": fix the namespace or the schemaLocation");
    }
  }
}

bool IsXs(const xmlNode* node, std::string_view local) {
  return node && node->type == XML_ELEMENT_NODE && node->ns && node->ns->href &&
         reinterpret_cast<const char*>(node->ns->href) == kXsNamespace &&
         reinterpret_cast<const char*>(node->name) == local;
}

std::optional<std::string> Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name));
  if (!value) return std::nullopt;
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

std::string AttributeOr(const xmlNode* node, const char* name, std::string_view fallback) {
  std::optional<std::string> value = Attribute(node, name);
  return value ? *value : std::string(fallback);
}

std::vector<xmlNode*> Children(const xmlNode* node) {
  std::vector<xmlNode*> children;
  for (xmlNode* child = node->children; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE || IsXs(child, "annotation")) continue;
    if (child->ns && reinterpret_cast<const char*>(child->ns->href) == kXsNamespace) children.push_back(child);
  }
  return children;
}

xmlNode* Child(const xmlNode* node, std::string_view local) {
  for (xmlNode* child : Children(node)) {
    if (IsXs(child, local)) return child;
  }
  return nullptr;
}

}  // namespace vexlo9::xsd
