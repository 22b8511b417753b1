// Writes a document of two schemas with the target namespace as the default namespace and with a namespace alias,
// and reads each document back.
//
//   invoice (urn:example:invoice, elementFormDefault="qualified"): every element is in the target namespace, so
//   either form reads back.
//   memo (urn:example:memo, local elements unqualified, the XML Schema default): the local elements are in no
//   namespace. Under a default namespace their unprefixed names fall into it, so that document does not read
//   back; with an alias only the root carries a prefix and the locals stay in no namespace.
//
// The classes are generated from examples/invoice.xsd and examples/memo.xsd at build time.

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "invoice.h"
#include "memo.h"
#include "vexlo9/vexlo9.h"

namespace {

// The library joins the lines of an error with CR LF.
std::string Lines(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

// The generated ReadDocument of one schema.
using Reader = std::shared_ptr<vexlo9::XmlObjectBase> (*)(std::string_view, const vexlo9::XmlSerializationContextPtr&);

// Writes the object with the context, reads the document back into a new object and writes that again: a document
// that reads back gives the same text twice.
void WriteAndReadBack(const std::string& title, const vexlo9::XmlObjectBase& object, Reader read,
                      const vexlo9::XmlSerializationContextPtr& context) {
  const std::string written = vexlo9::Write(object, {.header = false, .context = context});
  std::cout << title << ":\n" << written;
  try {
    const auto copy = read(written, context);
    const bool same = vexlo9::Write(*copy, {.header = false, .context = context}) == written;
    std::cout << (same ? "reads back\n\n" : "reads back changed\n\n");
  } catch (const vexlo9::Error& e) {
    std::cout << "does not read back: error " << e.Number() << "\n" << Lines(e.Description()) << "\n\n";
  }
}

void Show(const std::string& heading, const vexlo9::XmlObjectBase& object, std::string_view ns, const char* prefix,
          Reader read) {
  std::cout << "== " << heading << "\n\n";

  auto asDefault = std::make_shared<vexlo9::XmlSerializationContext>();
  asDefault->DefaultNamespaceURI(std::string(ns));
  WriteAndReadBack("Default namespace", object, read, asDefault);

  auto withAlias = std::make_shared<vexlo9::XmlSerializationContext>();
  withAlias->NamespaceAliases().Add(ns, prefix);
  WriteAndReadBack(std::string("Alias ") + prefix, object, read, withAlias);
}

}  // namespace

int main() {
  invoice::Invoice bill;
  bill.number("7");
  bill.customer("Ann Lee");
  bill.amount(std::make_shared<vexlo9::Decimal>("12.50"));
  Show("invoice: every element qualified", bill, invoice::kNamespace, "inv", invoice::ReadDocument);

  memo::Memo note;
  note.to("Ann Lee");
  note.body("Paid, thank you.");
  Show("memo: local elements unqualified", note, memo::kNamespace, "m", memo::ReadDocument);
  return 0;
}
