#pragma once

#include <libxml/parser.h>

#include <cstdint>
#include <string>
#include <string_view>

// What every parse of the library shares with libxml2: the state a parser context points to, the error routing and
// the guard on external loads. Included only by the platform's parsing sources (it names libxml2's types).
namespace vexlo9::detail {

class DomBuilder;
struct DomElement;

// The state of one parse, reached from its parser context through ctxt->_private.
struct ParseState {
  xmlParserCtxtPtr ctxt = nullptr;
  // Set: the nodes go straight into this tree, and a DOCTYPE stops the parse (`doctype`).
  DomBuilder* builder = nullptr;
  bool doctype = false;
  bool failed = false;
  int code = 0;
  std::string message;
  int line = 0;
  int column = 0;

  void Fail(int errorCode, std::string_view text, int atLine, int atColumn) {
    if (failed) return;  // the first error is the cause, later ones are its echoes
    failed = true;
    code = errorCode != 0 ? errorCode : XML_ERR_INTERNAL_ERROR;
    message = text;
    line = atLine;
    column = atColumn;
  }
};

// The per-context error callback (sax->serror) that records a parse's first error in its ParseState.
void OnParserError(void* userData, xmlErrorPtr error);

// Makes a parse this thread's active one for its duration, so that the refusing entity loader recognises it, and
// routes the thread's context-free libxml2 errors to it instead of stderr; the host's handler is given back afterwards.
class ActiveParse {
 public:
  explicit ActiveParse(ParseState& state) noexcept;
  ~ActiveParse();
  ActiveParse(const ActiveParse&) = delete;
  ActiveParse& operator=(const ActiveParse&) = delete;

 private:
  ParseState* outer_;
  xmlStructuredErrorFunc handler_;
  void* context_;
};

// Opens an element in the builder from what libxml2's SAX2 start-element callback is given.
DomElement& StartElement(DomBuilder& builder, uint32_t line, const xmlChar* local, const xmlChar* prefix,
                         const xmlChar* uri, int declarations, const xmlChar** namespaces, int attributes,
                         const xmlChar** values);

// libxml2's set-up (SetUpLibxml) done, and false when someone replaced the refusing entity loader since: documents
// must then not be parsed.
bool LoaderIntact();

// libxml2's messages end with a line break and some continue on a second line.
std::string OneLine(std::string_view text);

}  // namespace vexlo9::detail
