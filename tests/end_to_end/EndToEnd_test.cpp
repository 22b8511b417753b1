// The two schemas of tests/fixtures read and written through the whole library: every sample document, errors
// that name each level, calls the schema forbids, and the showcase's features one fragment per row.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>

#include "fixtures/TestData.h"
#include "purchase_order.h"
#include "showcase.h"
#include "support/Caught.h"
#include "vexlo9/Documents.h"
#include "vexlo9/Global.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/NamespaceAliasMap.h"
#include "vexlo9/platform/detail/DomTree.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9::testing::showcase {
namespace {

using ContextPtr = XmlSerializationContextPtr;
using Change = std::function<void(XmlSerializationContext&)>;

constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";
// Every root written in the showcase form declares these; fragments are given and compared without them.
constexpr std::string_view kRootDeclarations =
    " xmlns=\"urn:vexlo9:showcase\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

ContextPtr Context(const Change& change = [](XmlSerializationContext&) {}) {
  auto context = std::make_shared<XmlSerializationContext>();
  change(*context);
  return context;
}
// The form of purchase_order.xml: the order's namespace is the default one.
ContextPtr OrderForm() {
  return Context([](XmlSerializationContext& c) { c.DefaultNamespaceURI(po::kNamespace); });
}
// The form of the showcase samples: the schema's namespace is the default one, "xsi" the schema-instance one.
ContextPtr ShowcaseForm(const Change& more = [](XmlSerializationContext&) {}) {
  return Context([&](XmlSerializationContext& c) {
    c.DefaultNamespaceURI(kNamespace);
    c.NamespaceAliases().Add(kXsi, "xsi");
    more(c);
  });
}

template <class T>
std::shared_ptr<T> Read(std::string_view xml, const ContextPtr& context = Context()) {
  auto root = std::make_shared<T>();
  Helper().FromXml(*root, xml, context);
  return root;
}

std::string Write(XmlObjectBase& root, const ContextPtr& context, EOLType eol = EOLType_LF,
                  XmlFormatting formatting = XmlFormatting_Indented) {
  return Helper().ToXml(root, true, formatting, eol, context);
}

// ---- a graph as one line of text: every value, presence flag, element name and class

std::string Text(std::string_view value) { return std::string(value); }
std::string Text(int32_t value) { return std::to_string(value); }
std::string Text(bool value) { return value ? "true" : "false"; }
std::string Text(double value) { return Global::Conversions()->r8ToString(value); }
std::string Text(const DecimalPtr& value) { return value ? value->ToString() : "-"; }
std::string Text(const DateTimePtr& value) { return value ? value->ToString() : "-"; }
// An optional value is bracketed while it is not present.
template <class T>
std::string Opt(bool present, const T& value) {
  return present ? Text(value) : "(" + Text(value) + ")";
}
template <class... T>
std::string Join(const T&... parts) {
  return ((Text(parts) + "|") + ...);
}

std::string Dump(const po::USAddress& a) {
  return Join(a.ElementName(), a.name(), a.street(), a.city(), a.state(), a.zip(),
              Opt(a.IsValidcountry(), a.country()));
}

std::string Dump(const po::PurchaseOrderType& o) {
  std::string text =
      Join(o.ElementName(), Opt(o.IsValidorderDate(), o.orderDate()), Opt(o.IsValidcomment(), o.comment())) +
      Dump(*o.shipTo()) + Dump(*o.billTo()) + Join(o.items()->ElementName());
  for (const auto& i : *o.items()->item()) {
    text += Join(i->ElementName(), i->partNum(), i->productName(), i->quantity(), i->USPrice(),
                 Opt(i->IsValidcomment(), i->comment()), Opt(i->IsValidshipDate(), i->shipDate()));
  }
  return text;
}

std::string Dump(const Canvas& c) {
  std::string text = Join(c.ElementName(), c.title(), Opt(c.IsValidunits(), static_cast<int32_t>(c.units())),
                          Opt(c.IsValidscale(), c.scale()));
  for (const auto& a : *c.anyAttribute()) text += Join(a->Namespace(), a->AttributeName(), a->AttributeValue());
  const Meta& m = *c.meta();
  text +=
      Join(m.ElementName(), m.author(), Opt(m.IsValidcreated(), m.created()), Opt(m.IsValidrevision(), m.revision()));
  const Layer& l = *c.layer();
  const Placement& p = *l.placement();
  text += Join(l.ElementName(), l.name(), p.x(), p.y(), Opt(l.IsValidsnap(), l.snap()), Opt(l.IsValidgrid(), l.grid()));
  const Shape& s = *l.shape();
  text += Join(s.TypeName(), s.ElementName(), s.id(), Opt(s.IsValidopacity(), s.opacity()));
  if (const auto* circle = dynamic_cast<const Circle*>(&s)) text += Join(circle->radius());
  if (const auto* rectangle = dynamic_cast<const Rectangle*>(&s)) text += Join(rectangle->width(), rectangle->height());
  if (const auto& fill = s.fill()) {
    text += Join(fill->ElementName(), fill->ChoiceSelectedElement());
    if (const auto& solid = fill->solid()) text += Join(solid->ElementName(), solid->colour());
    if (const auto& g = fill->gradient())
      text += Join(g->ElementName(), g->from(), g->to(), Opt(g->IsValidangle(), g->angle()));
  }
  if (const auto& legend = l.legend()) {
    const Marker& marker = *legend->marker();
    text += Join(legend->ElementName(), legend->ChoiceSelectedElement(), marker.TypeName(), marker.ElementName(),
                 Opt(marker.IsValidlabel(), marker.label()));
    if (const auto* pin = dynamic_cast<const Pin*>(&marker)) text += Join(pin->symbol());
    if (const auto* flag = dynamic_cast<const Flag*>(&marker)) text += Join(flag->caption());
  }
  const Person& owner = *c.owner();
  text += Join(owner.ElementName(), owner.IsNil(), owner.name(), Opt(owner.IsValidemail(), owner.email()));
  if (const auto& note = c.note()) text += Join(note->ElementName(), Opt(note->IsValidem(), note->em()), note->Text());
  return text;
}

// What purchase_order.xml, showcase_canvas.xml and showcase_prefixed.xml describe.
constexpr const char* kOrderGraph =
    "purchaseOrder|1999-10-20|Hurry, my lawn is going wild!|"
    "shipTo|Alice Smith|123 Maple Street|Mill Valley|CA|90952|US|billTo|Robert Smith|8 Oak Avenue|Old Town|PA|95819|US|"
    "items|item|872-AA|Lawnmower|1|148.95|Confirm this is electric|(-)|item|926-AA|Baby Monitor|1|39.98|()|1999-05-21|";
constexpr const char* kCanvasGraph =
    "canvas|Harbour & lighthouse|1|2.5|urn:vexlo9:ext|author|Ana|http://www.w3.org/XML/1998/namespace|lang|en|"
    "meta|Ana Lima|2024-05-01|3|layer|base|5|-2|true|10|Circle|shape|c1|0.5|12.50|fill|gradient|gradient|navy|white|90|"
    "legend|marker|Flag|flag|north|N|owner|true||()|note|()|Drawn on site, 2 < 3|";
constexpr const char* kMinimalGraph =
    "canvas|Minimal|(0)|(1)|urn:vexlo9:ext|rev|7|urn:vexlo9:other|tag|x||plain|p|meta|Bo|(-)|12|"
    "layer|top|0|0|(false)|4|Rectangle|shape|r1|(1.0)|40|30|fill|solid|solid|#336699|"
    "legend|marker|Pin|pin|()|*|owner|false|Bo Berg|bo@example.org|";

// The error text of an element its parent's content leaves unread.
std::string LeftOver(std::string_view parent, std::string_view child) {
  return "Failed read all the elements held within the element [" + std::string(parent) +
         "]. The unexpected element [" + std::string(child) + "] remains un processed";
}

// Reads a document as T; gives back what the graph holds and the document written from it.
template <class T>
std::pair<std::string, std::string> ReadAndWrite(const std::string& xml, const ContextPtr& context, EOLType eol,
                                                 XmlFormatting formatting) {
  const auto root = Read<T>(xml);
  return {Dump(*root), Write(*root, context, eol, formatting)};
}

TEST(Samples, WrittenBackByteForByteAndReadAgainToTheSameGraph) {
  const std::string order = ReadTestData("purchase_order.xml");
  const std::string prefixed = ReadTestData("purchase_order_prefixed.xml");
  const std::string flat = Replace(Replace(Replace(order, "\t", ""), "\n", ""), "?>", "?>\n");
  const auto aliased = Context([](XmlSerializationContext& c) { c.NamespaceAliases().Add(po::kNamespace, "po"); });
  const auto kOrder = &ReadAndWrite<po::PurchaseOrder>;
  const auto kCanvas = &ReadAndWrite<Canvas>;
  const struct {
    const char* file;
    decltype(kOrder) readAndWrite;
    ContextPtr context;
    std::string written;
    const char* graph;
    EOLType eol = EOLType_LF;
    XmlFormatting formatting = XmlFormatting_Indented;
  } cases[] = {
      {"purchase_order.xml", kOrder, OrderForm(), order, kOrderGraph},
      {"purchase_order.xml", kOrder, OrderForm(), Replace(order, "\n", "\r\n"), kOrderGraph, EOLType_CRLF},
      {"purchase_order.xml", kOrder, OrderForm(), flat, kOrderGraph, EOLType_LF, XmlFormatting_None},
      {"purchase_order.xml", kOrder, OrderForm(), Replace(flat, "\n", "\r\n"), kOrderGraph, EOLType_CRLF,
       XmlFormatting_None},
      // Without a default namespace the writer invents "AA"; a user alias takes its place.
      {"purchase_order_prefixed.xml", kOrder, Context(), prefixed, kOrderGraph},
      {"purchase_order_prefixed.xml", kOrder, aliased,
       Replace(Replace(prefixed, "AA:", "po:"), "xmlns:AA=", "xmlns:po="), kOrderGraph},
      // A prefix, blanks, comments, CDATA and loose numbers read as the plain sample does.
      {"purchase_order_hand.xml", kOrder, OrderForm(), order, kOrderGraph},
      {"showcase_canvas.xml", kCanvas, ShowcaseForm(), ReadTestData("showcase_canvas.xml"), kCanvasGraph},
      {"showcase_prefixed.xml", kCanvas, ShowcaseForm(), ReadTestData("showcase_prefixed_written.xml"), kMinimalGraph},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.file << ", EOL " << c.eol << ", formatting " << c.formatting);
    const auto [graph, written] = c.readAndWrite(ReadTestData(c.file), c.context, c.eol, c.formatting);
    EXPECT_EQ(graph, c.graph);
    EXPECT_EQ(written, c.written);
    const auto [graphAgain, writtenAgain] = c.readAndWrite(written, c.context, c.eol, c.formatting);
    EXPECT_EQ(graphAgain, c.graph);
    EXPECT_EQ(writtenAgain, written);
  }
}

// The front door: options by name, a context by reference, a new object of a class in one call, and a const object
// written, to the same bytes as the published calls give.
TEST(FrontDoor, ReadsAndWritesAsThePublishedCallsDo) {
  const std::string sample = ReadTestData("purchase_order.xml");
  XmlSerializationContext form;  // on the stack
  form.DefaultNamespaceURI(po::kNamespace);
  const std::shared_ptr<const po::PurchaseOrder> order = vexlo9::Read<po::PurchaseOrder>(sample, {.context = form});
  const auto fromFile = vexlo9::ReadFile<po::PurchaseOrder>(TestDataPath("purchase_order.xml"));
  const auto published = Read<po::PurchaseOrder>(sample);
  EXPECT_EQ(Dump(*order), kOrderGraph);
  EXPECT_EQ(Dump(*fromFile), kOrderGraph);
  EXPECT_EQ(vexlo9::Write(*order, {.context = form}), sample);

  const ContextPtr aliased =
      Context([](XmlSerializationContext& c) { c.NamespaceAliases().Add(po::kNamespace, "po"); });
  const struct {
    WriteOptions options;
    bool header;
    XmlFormatting formatting;
    EOLType eol;
    ContextPtr context;
  } cases[] = {
      {{}, true, XmlFormatting_Indented, EOLType_LF, nullptr},
      {{.header = false, .formatting = XmlFormatting_None, .context = aliased},
       false,
       XmlFormatting_None,
       EOLType_LF,
       aliased},
      {{.eol = EOLType_CRLF, .context = *aliased}, true, XmlFormatting_Indented, EOLType_CRLF, aliased},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vexlo9::Write(*order, c.options), Helper().ToXml(*published, c.header, c.formatting, c.eol, c.context))
        << &c - cases;
  }
  po::PurchaseOrder into;
  vexlo9::ReadInto(into, vexlo9::Write(*order, {.formatting = XmlFormatting_None, .context = aliased}));
  EXPECT_EQ(Dump(into), kOrderGraph);
  EXPECT_EQ(ErrorText([] { vexlo9::Read<po::PurchaseOrder>("<purchaseOrder>"); }).substr(0, 40),
            "103 XmlObjectBase: Failed to parse XML\r\n");
  // Options that outlive their call cannot hold a context that does not.
  static_assert(!std::is_constructible_v<ContextRef, XmlSerializationContext&&>);
  static_assert(!std::is_constructible_v<ContextRef, ContextPtr&&>);
}

TEST(BadDocuments, ErrorsNameEveryElementOnTheWayDownAndItsLine) {
  const std::string inItem =
      "Failed to process the element [purchaseOrder]\r\nFailed to process the element [items]"
      "\r\nFailed to process the element [item]\r\n";
  const std::string inLayer = "Failed to process the element [canvas]\r\nFailed to process the element [layer]\r\n";
  const struct {
    const char* file;
    int32_t line;  // of the element or attribute being read, through every level
    std::string from;
    std::string to;
    std::string error;
  } cases[] = {
      {"purchase_order.xml", 25, "926-AA", "926-aa",
       "100 PatternMatcher: " + inItem + "The value [926-aa] does not match the pattern [\\d{3}-[A-Z]{2}]"},
      {"purchase_order.xml", 21, "<quantity>1<", "<quantity>100<",
       "108 CheckRestrictionForLONG: " + inItem + "Invalid Value for quantity [100]"},
      {"purchase_order.xml", 28, "39.98", "39,98", "13 Decimal.Parse: " + inItem + "Invalid decimal value [39,98]"},
      {"purchase_order.xml", 21, "<productName>Lawnmower</productName>", "",
       "131 Vexlo9: " + inItem + "Failed to find a required element [productName]"},
      {"purchase_order.xml", 10, "billTo", "gift",
       "128 Vexlo9: Failed to process the element [purchaseOrder]\r\nFailed to find a required element [billTo]"},
      {"purchase_order.xml", 19, " partNum=\"872-AA\"", "",
       "161 Vexlo9: " + inItem + "Failed to find the required Attribute [partNum]"},
      {"purchase_order.xml", 29, "</shipDate>", "</shipDate><gift/>",
       "127 Vexlo9: " + inItem + LeftOver("item", "gift")},
      // Names are quoted as the document writes them.
      {"purchase_order_hand.xml", 31, "<po:quantity>1<", "<po:quantity>100<",
       "108 CheckRestrictionForLONG: Failed to process the element [po:purchaseOrder]\r\n"
       "Failed to process the element [po:items]\r\nFailed to process the element [po:item]\r\n"
       "Invalid Value for quantity [100]"},
      {"showcase_canvas.xml", 11, "\"Circle\"", "\"Triangle\"",
       "144 Vexlo9: " + inLayer + "Failed to find an suitable substitution element for [shape]"},
      // The model group reads from its parent's element, so that one is named twice.
      {"showcase_canvas.xml", 9, "<x>5</x>", "<x>five</x>",
       "13 i4FromString: " + inLayer + "Failed to process the element [layer]\r\nType mismatch"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    const std::string sample = ReadTestData(c.file);
    const std::string xml = Replace(sample, c.from, c.to);
    ASSERT_NE(xml, sample);
    if (std::string_view(c.file).starts_with("purchase")) {
      EXPECT_EQ(ErrorText([&] { Read<po::PurchaseOrder>(xml); }), c.error);
      EXPECT_EQ(LineOf([&] { Read<po::PurchaseOrder>(xml); }), c.line);
    } else {
      EXPECT_EQ(ErrorText([&] { Read<Canvas>(xml); }), c.error);
      EXPECT_EQ(LineOf([&] { Read<Canvas>(xml); }), c.line);
    }
  }
}

// A thread keeps the memory of a large document's tree and objects for its next one: every read must start afresh
// however the one before ended, and objects read earlier must not be touched by later reads.
TEST(Reuse, ReadsAfterFailuresAndBesideLiveObjectsGiveTheSameGraph) {
  const std::string sample = ReadTestData("purchase_order.xml");
  const size_t from = sample.find("\t\t<item "), to = sample.find("\t</items>");
  std::string items;
  for (int i = 0; i < 3000; ++i) items += sample.substr(from, to - from);  // about 1 MB of text
  const std::string large = sample.substr(0, from) + items + sample.substr(to);
  const auto first = Read<po::PurchaseOrder>(large);
  const std::string expected = Write(*first, OrderForm());
  ASSERT_EQ(first->items()->item()->Count(), 6000);

  std::string lastBad = large;
  lastBad.replace(lastBad.rfind("39.98"), 5, "39,98");
  const std::string outcomes[] = {
      ErrorText([&] { Read<po::PurchaseOrder>(large.substr(0, large.size() / 2)); }),       // the parser fails
      ErrorText([&] { Read<po::PurchaseOrder>(lastBad); }),                                 // a value, at the end
      ErrorText([&] { Read<po::PurchaseOrder>(Replace(large, "<zip>95819", "<zip>x")); }),  // one early on
  };
  EXPECT_TRUE(outcomes[0].starts_with("103 XmlObjectBase: Failed to parse XML")) << outcomes[0];
  EXPECT_NE(outcomes[1].find("Invalid decimal value [39,98]"), std::string::npos) << outcomes[1];
  EXPECT_NE(outcomes[2].find("Invalid decimal value [x]"), std::string::npos) << outcomes[2];
  EXPECT_EQ(Write(*Read<po::PurchaseOrder>(large), OrderForm()), expected);

  // Objects of a read outlive the next ones, on this thread and on another, and after the memory is given back.
  auto second = Read<po::PurchaseOrder>(large);
  std::shared_ptr<po::PurchaseOrder> third;
  std::thread([&] { third = Read<po::PurchaseOrder>(large); }).join();
  second->items()->item()->Item(1)->USPrice()->Parse("1.25");
  Global::ReleaseThreadMemory();
  EXPECT_EQ(Write(*Read<po::PurchaseOrder>(sample), OrderForm()), sample);
  EXPECT_EQ(Write(*first, OrderForm()), expected);
  EXPECT_EQ(Write(*third, OrderForm()), expected);
  std::string changed = expected;
  changed.replace(changed.find("148.95"), 6, "1.25");
  EXPECT_EQ(Write(*second, OrderForm()), changed);
  third.reset();  // freed here, placed by the other thread
  EXPECT_EQ(Write(*Read<po::PurchaseOrder>(large), OrderForm()), expected);
}

// Reading a document of its own, the library gives back the tree of the items it has read while it reads on; a
// context that lets readers skip elements keeps the whole tree, since a reader may then come back.
TEST(Reuse, ALargeDocumentsTreeGoesAsItsItemsAreReadUnlessAReaderMayComeBack) {
  const std::string sample = ReadTestData("purchase_order.xml");
  const size_t from = sample.find("\t\t<item "), to = sample.find("\t</items>");
  std::string items;
  for (int i = 0; i < 1000; ++i) items += sample.substr(from, to - from);
  const std::string large = sample.substr(0, from) + items + sample.substr(to);
  const auto skipping = Context([](XmlSerializationContext& c) { c.IgnoreUnknownElements(true); });
  const auto readReleasing = [&](const ContextPtr& context) {
    const uint64_t before = detail::ReleasedBlockBytes();
    const std::string written = Write(*Read<po::PurchaseOrder>(large, context), OrderForm());
    return std::pair(written, detail::ReleasedBlockBytes() - before);
  };
  const auto [plain, released] = readReleasing(Context());
  const auto [skipped, kept] = readReleasing(skipping);
  EXPECT_EQ(plain, skipped);
  EXPECT_NE(plain.find("<item partNum=\"926-AA\">"), plain.rfind("<item partNum=\"926-AA\">"));
  EXPECT_GT(released, large.size());  // most of a tree about twice the text
  EXPECT_EQ(kept, 0u);
  // A fault near the end is reported where it is, after the items before it went.
  std::string lastBad = large;
  lastBad.replace(lastBad.rfind("39.98"), 5, "39,98");
  const size_t line =
      static_cast<size_t>(std::count(lastBad.begin(), lastBad.begin() + lastBad.rfind("39,98"), '\n')) + 1;
  EXPECT_EQ(LineOf([&] { Read<po::PurchaseOrder>(lastBad); }), static_cast<int32_t>(line));
}

TEST(Calls, WhatTheSchemaForbidsIsRejectedAndChangesNothing) {
  const auto order = Read<po::PurchaseOrder>(ReadTestData("purchase_order.xml"));
  po::Item& mower = *order->items()->item()->Item(1);
  const auto fill =
      Read<Fill>("<fill xmlns=\"urn:vexlo9:showcase\"><gradient><from>a</from><to>b</to></gradient></fill>");
  const struct {
    std::function<void()> call;
    std::string error;
  } cases[] = {
      {[&] { mower.partNum("12-AB"); },
       "100 PatternMatcher: The value [12-AB] does not match the pattern [\\d{3}-[A-Z]{2}]"},
      {[&] { mower.quantity(100); }, "108 CheckRestrictionForLONG: Invalid Value for quantity [100]"},
      // While one alternative of a choice is set, another cannot be.
      {[&] { fill->solid(std::make_shared<Solid>("solid")); },
       "104 Choice_SelectElement: The Property [gradient] is already set. Only one element within this class bay be "
       "set at a time"},
      // Writing names the classes on the way down, not the elements.
      {[] {
         const auto withBadItem = Read<po::PurchaseOrder>(ReadTestData("purchase_order.xml"));
         withBadItem->items()->item()->AddNew()->partNum("100-AB");  // quantity left at 0
         Write(*withBadItem, OrderForm());
       },
       "108 Vexlo9: Failed to convert the element [PurchaseOrderType] to XML\r\nFailed to convert the element "
       "[Items] to XML\r\nFailed to convert the element [item] to XML\r\nInvalid Value for quantity [0]"},
      // A mandatory value cannot be taken away, so that a written document always has it.
      {[] {
         const auto canvas = Read<Canvas>(ReadTestData("showcase_canvas.xml"));
         std::dynamic_pointer_cast<Circle>(canvas->layer()->shape())->radius(nullptr);
       },
       "105 Throw_IfPropertyIsNull: The Property [radius] is mandatory, it may node be null"},
      {[] {
         Canvas canvas;
         canvas.units(static_cast<Units>(7));
         Write(canvas, ShowcaseForm());
       },
       "380 Vexlo9: Failed to convert the element [Canvas] to XML\r\nInvalid property value [7]"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorText(c.call), c.error);
  EXPECT_EQ(Dump(*order), kOrderGraph);
  EXPECT_FALSE(fill->solid());
  EXPECT_EQ(fill->ChoiceSelectedElement(), "gradient");
}

// Reads a fragment as T, its root given the declarations of the showcase form, and writes it back in one line
// without them; or the error raised.
template <class T>
std::string Fragment(const std::string& xml, const ContextPtr& context) {
  std::string declared = xml;
  declared.insert(xml.find_first_of(" />"), kRootDeclarations);
  std::string written;
  const std::string error = ErrorText(
      [&] { written = Helper().ToXml(*Read<T>(declared, context), false, XmlFormatting_None, EOLType_LF, context); });
  return error == "no error" ? Replace(written, kRootDeclarations, "") : error;
}

// A canvas with these root attributes and the least content it may have.
std::string CanvasWith(std::string_view attributes) {
  return "<canvas" + std::string(attributes) +
         "><meta><author>A</author></meta><layer name=\"l\"><x>0</x><y>0</y><shape xsi:type=\"Rectangle\" id=\"r\">"
         "<width>1</width><height>1</height></shape></layer><owner xsi:nil=\"true\"/></canvas>";
}

TEST(ShowcaseFragments, ReadAndWrittenBackOrRejected) {
  const auto form = ShowcaseForm();
  const auto noDefaults = ShowcaseForm([](XmlSerializationContext& c) { c.NoOptionalAttributeDefaultOutput(true); });
  const auto skipUnknown = ShowcaseForm([](XmlSerializationContext& c) { c.IgnoreUnknownElements(true); });
  const std::string inLayer = "Failed to process the element [layer]\r\n";
  const std::string inLegend = "Failed to process the element [legend]\r\n";
  const std::string badUnit = "380 UnitsFromString: Failed to process the element [canvas]\r\nInvalid property value [";
  const std::string circle = "<shape xsi:type=\"Circle\" id=\"c\"><radius>1</radius></shape>";
  const std::string rectangle = "<shape xsi:type=\"Rectangle\" id=\"r\"><width>3</width><height>4</height></shape>";
  const auto layer = [](std::string_view attributes, std::string_view shape) {
    return "<layer name=\"l\"" + std::string(attributes) + "><x>1</x><y>2</y>" + std::string(shape) + "</layer>";
  };
  const std::string wildcard =
      " title=\"t\" xmlns:e=\"urn:vexlo9:ext\" xmlns:o=\"urn:vexlo9:other\" e:rev=\"7\" o:tag=\"x\" plain=\"p\" "
      "xml:lang=\"en\" e:more=\"m\" xsi:schemaLocation=\"urn:vexlo9:showcase showcase.xsd\"";
  const struct {
    std::string (*readAndWrite)(const std::string&, const ContextPtr&);
    const ContextPtr& context;
    std::string xml;
    std::string written;  // empty: written back as read
  } cases[] = {
      // Derivation: xsi:type names the class of an abstract type; its prefix is not the reader's concern.
      {Fragment<Layer>, form, layer(" xmlns:s=\"urn:vexlo9:showcase\"", Replace(circle, "\"Circle", "\"s:Circle")),
       layer("", circle)},
      {Fragment<Layer>, form, layer("", Replace(circle, " xsi:type=\"Circle\"", "")),
       "144 Vexlo9: " + inLayer + "Failed to find an suitable substitution element for [shape]"},
      {Fragment<Layer>, form, layer("", "<legend/>"),
       "143 Vexlo9: " + inLayer + "Failed to find a suitable substitution element for [shape]"},
      // The class chosen is the one that reads: a circle's content is no rectangle's.
      {Fragment<Layer>, form, layer("", Replace(circle, "Circle", "Rectangle")),
       "131 Vexlo9: " + inLayer + "Failed to process the element [shape]\r\nFailed to find a required element [width]"},
      // A model group: its attributes and elements live on the parent, and are missed as a whole.
      {Fragment<Layer>, form, "<layer name=\"l\"/>",
       "129 Vexlo9: " + inLayer + "Failed to find a required element [Placement]"},
      {Fragment<Layer>, form, Replace(layer("", rectangle), "<y>2</y>", ""),
       "130 Vexlo9: " + inLayer + "Failed to find the required element [Placement]"},
      // Substitution: the member's element name picks the class.
      {Fragment<Legend>, skipUnknown, "<legend><star/><pin><symbol>+</symbol></pin><moon/></legend>",
       "<legend><pin><symbol>+</symbol></pin></legend>"},
      {Fragment<Legend>, form, "<legend><marker/></legend>",
       "158 Vexlo9: " + inLegend + LeftOver("legend", "marker") + "\""},
      // Mixed content: each run of text is written back where it stood.
      {Fragment<Note>, form, "<note>Check <em>twice</em> before printing</note>", ""},
      {Fragment<Note>, form, "<note><em>first</em>, then text</note>", ""},
      {Fragment<Note>, form, "<note></note>", "<note/>"},
      // All: any order in, declaration order out.
      {Fragment<Meta>, form, "<meta><revision>3</revision><created>2024-05-01</created><author>A</author></meta>",
       "<meta><author>A</author><created>2024-05-01</created><revision>3</revision></meta>"},
      // Defaults: left out only when asked, and only when the text is the default's.
      {Fragment<Circle>, noDefaults, "<shape xsi:type=\"Circle\" id=\"c\" opacity=\"1.0\"><radius>1</radius></shape>",
       "<shape xsi:type=\"Circle\" id=\"c\"><radius>1</radius></shape>"},
      {Fragment<Circle>, noDefaults, "<shape xsi:type=\"Circle\" id=\"c\" opacity=\"1.00\"><radius>1</radius></shape>",
       ""},
      {Fragment<Layer>, noDefaults, layer(" snap=\"false\" grid=\"0\"", circle), layer(" grid=\"0\"", circle)},
      {Fragment<Canvas>, noDefaults, CanvasWith(" title=\"t\" units=\"px\" scale=\"1\""), CanvasWith(" title=\"t\"")},
      // Enumeration: only the schema's words, as written.
      {Fragment<Canvas>, form, CanvasWith(" title=\"t\" units=\"MM\""), badUnit + "MM]"},
      {Fragment<Canvas>, form, CanvasWith(" title=\"t\" units=\" mm\""), badUnit + " mm]"},
      // Wildcard: attributes of other namespaces keep theirs and get prefixes of the writer's own, in order met.
      {Fragment<Canvas>, form, CanvasWith(wildcard),
       // The root's schema location is kept first, before the class's own attributes.
       CanvasWith(" xsi:schemaLocation=\"urn:vexlo9:showcase showcase.xsd\" title=\"t\" xmlns:AA=\"urn:vexlo9:ext\" "
                  "AA:rev=\"7\" xmlns:AB=\"urn:vexlo9:other\" AB:tag=\"x\" plain=\"p\" xml:lang=\"en\" AA:more=\"m\"")},
      {Fragment<Canvas>, form, CanvasWith(" title=\"t\" xmlns:s=\"urn:vexlo9:showcase\" s:bad=\"1\""),
       "106 TestNamespace: Failed to process the element [canvas]\r\nInvalid namespace [urn:vexlo9:showcase]. The "
       "namespace must be one of [##other] where the target namespace is [urn:vexlo9:showcase]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    EXPECT_EQ(c.readAndWrite(c.xml, c.context), c.written.empty() ? c.xml : c.written);
  }
}

}  // namespace
}  // namespace vexlo9::testing::showcase
