#pragma once

#include <libxml/tree.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Diagnostics.h"
#include "Model.h"

namespace vexlo9::xsd {

// One schema document as read, with the settings its components inherit.
struct SchemaDocument {
  std::string path;             // as the user or the including document named it
  std::string targetNamespace;  // the includer's for a document without one of its own
  bool elementsQualified = false;
  bool attributesQualified = false;
  size_t output = 0;  // the command-line schema whose output holds its components
  std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc{nullptr, &xmlFreeDoc};

  xmlNode* Root() const { return xmlDocGetRootElement(doc.get()); }
  Location Where(const xmlNode* node) const { return {path, static_cast<int>(xmlGetLineNo(node))}; }
};

// The documents of one run: the schemas named on the command line and every local file they include or import,
// each read once (a redefined or overridden one as an included one). Nothing is fetched from the network and no
// external entity is loaded.
class SchemaSet {
 public:
  // Reads the schemas and what they reach; refuses (Diagnostics::Refuse) on anything it cannot read.
  explicit SchemaSet(const std::vector<std::string>& schemas);

  const std::vector<std::unique_ptr<SchemaDocument>>& Documents() const noexcept { return documents_; }
  // The stem of each command-line schema, in order: the names of the outputs.
  const std::vector<std::string>& Outputs() const noexcept { return outputs_; }

 private:
  SchemaDocument& Load(const std::string& path, const Location& from, std::string_view construct, size_t output);
  void FollowReferences(SchemaDocument& document);

  std::vector<std::unique_ptr<SchemaDocument>> documents_;
  std::vector<std::string> canonicalPaths_;
  std::vector<std::string> outputs_;
  // Imports whose namespace must come from another document: the namespace and where it was asked for.
  std::vector<std::pair<std::string, Location>> pendingImports_;
};

// ---- reading the schema elements

// True for an element of the XML Schema namespace with this local name.
bool IsXs(const xmlNode* node, std::string_view local);
// The attribute's value, or nothing when the element has none.
std::optional<std::string> Attribute(const xmlNode* node, const char* name);
std::string AttributeOr(const xmlNode* node, const char* name, std::string_view fallback);
// The element children in the XML Schema namespace, without annotations.
std::vector<xmlNode*> Children(const xmlNode* node);
// The first child of that name, or nullptr.
xmlNode* Child(const xmlNode* node, std::string_view local);

}  // namespace vexlo9::xsd
