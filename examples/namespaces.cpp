// Writes a document of two schemas with the target namespace as the default namespace and with a namespace alias,
// and reads each document back.
//
//   invoice (urn:example:invoice, elementFormDefault="qualified"): every element is in the target namespace, so
//   either form reads back.
//   memo (urn:example:memo, local elements unqualified, the XML Schema default): the local elements are in no
//   namespace. Under a default namespace their unprefixed names fall into it, so that document does not read
//   back; with an alias only the root carries a prefix and the locals stay in no namespace.
//
// The classes below are what the schema compiler generates for the two schemas.

#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/vexlo9.h"

namespace {

constexpr const char* kInvoiceNamespace = "urn:example:invoice";
constexpr const char* kMemoNamespace = "urn:example:memo";

// invoice = customer string, amount decimal; @number string, required
class Invoice : public vexlo9::XmlGeneratedClassBase {
  VEXLO9_BY_NAME(Invoice);
  explicit Invoice(std::string elementName = "invoice") : vexlo9::XmlGeneratedClassBase(std::move(elementName)) {
    Init();
  }
  void Init() override {
    number_.clear();
    customer_.clear();
    amount_ = std::make_shared<vexlo9::Decimal>();
  }
  const vexlo9::ClassInfo& ClassInfo() const override;

  const std::string& number() const { return number_; }
  void number(const std::string& value) { number_ = value; }
  const std::string& customer() const { return customer_; }
  void customer(const std::string& value) { customer_ = value; }
  std::shared_ptr<vexlo9::Decimal> amount() const { return amount_; }
  void amount(std::shared_ptr<vexlo9::Decimal> value) {
    vexlo9::Global::XmlObjectBaseHelper()->Throw_IfPropertyIsNull(value, "amount");
    amount_ = std::move(value);
  }

 private:
  std::string number_;
  std::string customer_;
  std::shared_ptr<vexlo9::Decimal> amount_;
};

const vexlo9::ClassInfo& Invoice::ClassInfo() const {
  static const auto info = [] {
    auto i = std::make_shared<vexlo9::ClassInfo>();
    i->ElementName("invoice");
    i->ElementNamespaceURI(kInvoiceNamespace);
    i->AddAttrPrimitive("number", "", "number", "", false, "22", "", "1", "", -1, -1, "", "", "", "", -1, "");
    i->AddElmSeqPrimMnd("customer", kInvoiceNamespace, "customer", vexlo9::type_string, "",
                        vexlo9::WhitespaceRule_Preserve, "", -1, -1, "", "", "", "", -1);
    i->AddElmSeqPrimMnd("amount", kInvoiceNamespace, "amount", vexlo9::type_decimal, "",
                        vexlo9::WhitespaceRule_Collapse, "", -1, -1, "", "", "", "", -1);
    return i;
  }();
  return *info;
}

const vexlo9::MemberTable<Invoice>& Invoice::Members() {
  static const auto table = vexlo9::MemberTable<Invoice>::Builder()
                                .Property("number", &Invoice::number, &Invoice::number)
                                .Property("customer", &Invoice::customer, &Invoice::customer)
                                .Property("amount", &Invoice::amount, &Invoice::amount)
                                .Build();
  return table;
}

// memo = to string, body string; the element memo is in the target namespace, to and body in none.
class Memo : public vexlo9::XmlGeneratedClassBase {
  VEXLO9_BY_NAME(Memo);
  explicit Memo(std::string elementName = "memo") : vexlo9::XmlGeneratedClassBase(std::move(elementName)) { Init(); }
  void Init() override {
    to_.clear();
    body_.clear();
  }
  const vexlo9::ClassInfo& ClassInfo() const override;

  const std::string& to() const { return to_; }
  void to(const std::string& value) { to_ = value; }
  const std::string& body() const { return body_; }
  void body(const std::string& value) { body_ = value; }

 private:
  std::string to_;
  std::string body_;
};

const vexlo9::ClassInfo& Memo::ClassInfo() const {
  static const auto info = [] {
    auto i = std::make_shared<vexlo9::ClassInfo>();
    i->ElementName("memo");
    i->ElementNamespaceURI(kMemoNamespace);
    i->AddElmSeqPrimMnd("to", "", "to", vexlo9::type_string, "", vexlo9::WhitespaceRule_Preserve, "", -1, -1, "", "",
                        "", "", -1);
    i->AddElmSeqPrimMnd("body", "", "body", vexlo9::type_string, "", vexlo9::WhitespaceRule_Preserve, "", -1, -1, "",
                        "", "", "", -1);
    return i;
  }();
  return *info;
}

const vexlo9::MemberTable<Memo>& Memo::Members() {
  static const auto table = vexlo9::MemberTable<Memo>::Builder()
                                .Property("to", &Memo::to, &Memo::to)
                                .Property("body", &Memo::body, &Memo::body)
                                .Build();
  return table;
}

// The library joins the lines of an error with CR LF.
std::string Lines(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

// Writes the object with the context, reads the document into a fresh object and writes that again: a document
// that reads back gives the same text twice.
void WriteAndReadBack(const std::string& title, vexlo9::XmlObjectBase& object,
                      const std::function<std::shared_ptr<vexlo9::XmlObjectBase>()>& fresh,
                      const vexlo9::XmlSerializationContextPtr& context) {
  const vexlo9::XmlObjectBaseHelperCls& xml = *vexlo9::Global::XmlObjectBaseHelper();
  const std::string written = xml.ToXml(object, false, vexlo9::XmlFormatting_Indented, vexlo9::EOLType_LF, context);
  std::cout << title << ":\n" << written;
  try {
    const auto copy = fresh();
    xml.FromXml(*copy, written, context);
    const bool same = xml.ToXml(*copy, false, vexlo9::XmlFormatting_Indented, vexlo9::EOLType_LF, context) == written;
    std::cout << (same ? "reads back\n\n" : "reads back changed\n\n");
  } catch (const vexlo9::Error& e) {
    std::cout << "does not read back: error " << e.Number() << "\n" << Lines(e.Description()) << "\n\n";
  }
}

void Show(const std::string& heading, vexlo9::XmlObjectBase& object, std::string_view ns, const char* prefix,
          const std::function<std::shared_ptr<vexlo9::XmlObjectBase>()>& fresh) {
  std::cout << "== " << heading << "\n\n";

  auto asDefault = std::make_shared<vexlo9::XmlSerializationContext>();
  asDefault->DefaultNamespaceURI(std::string(ns));
  WriteAndReadBack("Default namespace", object, fresh, asDefault);

  auto withAlias = std::make_shared<vexlo9::XmlSerializationContext>();
  withAlias->NamespaceAliases().Add(ns, prefix);
  WriteAndReadBack(std::string("Alias ") + prefix, object, fresh, withAlias);
}

}  // namespace

int main() {
  Invoice invoice;
  invoice.number("7");
  invoice.customer("Ann Lee");
  invoice.amount(std::make_shared<vexlo9::Decimal>("12.50"));
  Show("invoice: every element qualified", invoice, kInvoiceNamespace, "inv",
       [] { return std::make_shared<Invoice>(); });

  Memo memo;
  memo.to("Ann Lee");
  memo.body("Paid, thank you.");
  Show("memo: local elements unqualified", memo, kMemoNamespace, "m", [] { return std::make_shared<Memo>(); });
  return 0;
}
