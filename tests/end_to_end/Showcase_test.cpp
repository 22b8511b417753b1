// The showcase schema of tests/fixtures read and written through the whole library: derivation with xsi:type,
// a substitution group, a model group with attributes, nil, mixed content, choice and all groups, attribute
// defaults, an enumeration and an attribute wildcard.
#include "fixtures/Showcase.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

#include "support/Caught.h"
#include "fixtures/TestData.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/NamespaceAliasMap.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9::testing::showcase {
namespace {

constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* kExt = "urn:vexlo9:ext";
constexpr const char* kOther = "urn:vexlo9:other";
constexpr const char* kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
// The root declarations of every document written with WriteContext.
constexpr const char* kRootDeclarations =
    " xmlns=\"urn:vexlo9:showcase\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

// The form the samples are written in: the schema's namespace is the default one, "xsi" the schema-instance one.
XmlSerializationContextPtr WriteContext() {
  auto context = std::make_shared<XmlSerializationContext>();
  context->DefaultNamespaceURI(kNamespace);
  context->NamespaceAliases().Add(kXsi, "xsi");
  return context;
}

XmlSerializationContextPtr PlainContext() { return std::make_shared<XmlSerializationContext>(); }

std::string Document(XmlObjectBase& root, const XmlSerializationContextPtr& context = WriteContext()) {
  return Helper().ToXml(root, true, XmlFormatting_Indented, EOLType_LF, context);
}

// One line without a declaration, for the focused cases.
std::string Fragment(XmlObjectBase& root, const XmlSerializationContextPtr& context = WriteContext()) {
  return Helper().ToXml(root, false, XmlFormatting_None, EOLType_LF, context);
}

std::string StartTag(const std::string& xml) { return xml.substr(0, xml.find('>') + 1); }

template <class T = Canvas>
std::shared_ptr<T> Read(std::string_view xml, const XmlSerializationContextPtr& context = PlainContext()) {
  auto object = std::make_shared<T>();
  Helper().FromXml(*object, xml, context);
  return object;
}

// `text` with its one occurrence of `from` replaced.
std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string CanonicalSample() { return ReadTestData("showcase_canvas.xml"); }

// The canonical sample with another start tag for its root.
std::string CanonicalSampleWithRoot(std::string_view startTag) {
  const std::string sample = CanonicalSample();
  const size_t begin = sample.find("<canvas");
  return sample.substr(0, begin) + std::string(startTag) + sample.substr(sample.find('>', begin) + 1);
}

// Walks two object graphs side by side; the result names the first member that differs, by its path.
class GraphDiff {
 public:
  static std::string Between(const Canvas& a, const Canvas& b) {
    GraphDiff diff;
    diff.Compare(a, b);
    return diff.first_;
  }

 private:
  void Compare(const Canvas& a, const Canvas& b) {
    Value("title", a.title(), b.title());
    Value("units", a.units(), b.units());
    Value("IsValidunits", a.IsValidunits(), b.IsValidunits());
    Value("scale", a.scale(), b.scale());
    Value("IsValidscale", a.IsValidscale(), b.IsValidscale());
    Attributes(*a.anyAttribute(), *b.anyAttribute());
    Child("meta", a.meta(), b.meta());
    Child("layer", a.layer(), b.layer());
    Child("owner", a.owner(), b.owner());
    Child("note", a.note(), b.note());
  }
  void Compare(const Meta& a, const Meta& b) {
    Value("author", a.author(), b.author());
    Value("created", a.created(), b.created());
    Value("IsValidcreated", a.IsValidcreated(), b.IsValidcreated());
    Value("revision", a.revision(), b.revision());
    Value("IsValidrevision", a.IsValidrevision(), b.IsValidrevision());
  }
  void Compare(const Layer& a, const Layer& b) {
    Value("name", a.name(), b.name());
    Child("placement", a.placement(), b.placement());
    Child("shape", a.shape(), b.shape());
    Child("legend", a.legend(), b.legend());
  }
  void Compare(const Placement& a, const Placement& b) {
    Value("x", a.x(), b.x());
    Value("y", a.y(), b.y());
    Value("snap", a.snap(), b.snap());
    Value("IsValidsnap", a.IsValidsnap(), b.IsValidsnap());
    Value("grid", a.grid(), b.grid());
    Value("IsValidgrid", a.IsValidgrid(), b.IsValidgrid());
  }
  void Compare(const Shape& a, const Shape& b) {
    Value("class", a.TypeName(), b.TypeName());
    Value("id", a.id(), b.id());
    Value("opacity", a.opacity(), b.opacity());
    Value("IsValidopacity", a.IsValidopacity(), b.IsValidopacity());
    Child("fill", a.fill(), b.fill());
    const auto* circleA = dynamic_cast<const Circle*>(&a);
    const auto* circleB = dynamic_cast<const Circle*>(&b);
    if (circleA && circleB) Value("radius", circleA->radius(), circleB->radius());
    const auto* rectangleA = dynamic_cast<const Rectangle*>(&a);
    const auto* rectangleB = dynamic_cast<const Rectangle*>(&b);
    if (rectangleA && rectangleB) {
      Value("width", rectangleA->width(), rectangleB->width());
      Value("height", rectangleA->height(), rectangleB->height());
    }
  }
  void Compare(const Fill& a, const Fill& b) {
    Value("selected", a.ChoiceSelectedElement(), b.ChoiceSelectedElement());
    Child("solid", a.solid(), b.solid());
    Child("gradient", a.gradient(), b.gradient());
  }
  void Compare(const Solid& a, const Solid& b) { Value("colour", a.colour(), b.colour()); }
  void Compare(const Gradient& a, const Gradient& b) {
    Value("from", a.from(), b.from());
    Value("to", a.to(), b.to());
    Value("angle", a.angle(), b.angle());
    Value("IsValidangle", a.IsValidangle(), b.IsValidangle());
  }
  void Compare(const Legend& a, const Legend& b) {
    Value("selected", a.ChoiceSelectedElement(), b.ChoiceSelectedElement());
    Child("marker", a.marker(), b.marker());
  }
  void Compare(const Marker& a, const Marker& b) {
    Value("class", a.TypeName(), b.TypeName());
    Value("label", a.label(), b.label());
    Value("IsValidlabel", a.IsValidlabel(), b.IsValidlabel());
    const auto* pinA = dynamic_cast<const Pin*>(&a);
    const auto* pinB = dynamic_cast<const Pin*>(&b);
    if (pinA && pinB) Value("symbol", pinA->symbol(), pinB->symbol());
    const auto* flagA = dynamic_cast<const Flag*>(&a);
    const auto* flagB = dynamic_cast<const Flag*>(&b);
    if (flagA && flagB) Value("caption", flagA->caption(), flagB->caption());
  }
  void Compare(const Person& a, const Person& b) {
    Value("IsNil", a.IsNil(), b.IsNil());
    Value("name", a.name(), b.name());
    Value("email", a.email(), b.email());
    Value("IsValidemail", a.IsValidemail(), b.IsValidemail());
  }
  void Compare(const Note& a, const Note& b) {
    Value("em", a.em(), b.em());
    Value("IsValidem", a.IsValidem(), b.IsValidem());
    Value("Text", a.Text(), b.Text());
  }

  void Attributes(const AttributeCol& a, const AttributeCol& b) {
    Value("anyAttribute.Count", a.Count(), b.Count());
    for (int32_t i = 1; i <= a.Count() && i <= b.Count(); ++i) {
      const std::string at = "anyAttribute(" + std::to_string(i) + ").";
      Value(at + "AttributeName", a.Item(i)->AttributeName(), b.Item(i)->AttributeName());
      Value(at + "Namespace", a.Item(i)->Namespace(), b.Item(i)->Namespace());
      Value(at + "AttributeValue", a.Item(i)->AttributeValue(), b.Item(i)->AttributeValue());
    }
  }

  template <class T>
  void Child(std::string_view name, const std::shared_ptr<T>& a, const std::shared_ptr<T>& b) {
    if (!a || !b) {
      Value(name, std::string(a ? "an object" : "nothing"), std::string(b ? "an object" : "nothing"));
      return;
    }
    const size_t length = path_.size();
    path_.append(name).append(".");
    Value("ElementName", std::string(a->ElementName()), std::string(b->ElementName()));
    Compare(*a, *b);
    path_.resize(length);
  }

  template <class V>
  void Value(std::string_view name, const V& a, const V& b) {
    if (!first_.empty()) return;
    const std::string textA = Text(a);
    const std::string textB = Text(b);
    if (textA != textB) first_ = path_ + std::string(name) + ": [" + textA + "] != [" + textB + "]";
  }

  static std::string Text(const std::string& value) { return value; }
  static std::string Text(bool value) { return value ? "true" : "false"; }
  static std::string Text(int32_t value) { return std::to_string(value); }
  static std::string Text(double value) { return Global::Conversions()->r8ToString(value); }
  static std::string Text(const DecimalPtr& value) { return value ? value->ToString() : "nothing"; }
  static std::string Text(const DateTimePtr& value) { return value ? value->ToString() : "nothing"; }

  std::string path_;
  std::string first_;
};

// The object graph that showcase_canvas.xml describes, built through the generated classes.
std::shared_ptr<Canvas> CanonicalCanvas() {
  auto canvas = std::make_shared<Canvas>();
  canvas->title("Harbour & lighthouse");
  canvas->units(Units_mm);
  canvas->scale(2.5);
  canvas->anyAttribute()->AddNewEx("author", std::string(kExt), std::string("Ana"));
  canvas->anyAttribute()->AddNewEx("lang", std::string(kXmlNamespace), std::string("en"));

  canvas->meta()->author("Ana Lima");
  canvas->meta()->created(Global::Conversions()->dateFromString("2024-05-01", WhitespaceRule_Collapse));
  canvas->meta()->revision(3);

  const auto layer = canvas->layer();
  layer->name("base");
  layer->placement()->snap(true);
  layer->placement()->grid(10);
  layer->placement()->x(5);
  layer->placement()->y(-2);
  auto gradient = std::make_shared<Gradient>("gradient");
  gradient->angle(90);
  gradient->from("navy");
  gradient->to("white");
  auto fill = std::make_shared<Fill>("fill");
  fill->gradient(gradient);
  auto circle = std::make_shared<Circle>("shape");
  circle->id("c1");
  circle->opacity(std::make_shared<Decimal>("0.5"));
  circle->fill(fill);
  circle->radius(std::make_shared<Decimal>("12.50"));
  layer->shape(circle);
  auto flag = std::make_shared<Flag>();
  flag->label("north");
  flag->caption("N");
  auto legend = std::make_shared<Legend>("legend");
  legend->marker(flag);
  layer->legend(legend);

  canvas->owner()->IsNil(true);
  auto note = std::make_shared<Note>("note");
  note->Text("Drawn on site, 2 < 3");
  canvas->note(note);
  return canvas;
}

TEST(ShowcaseSamples, ReadAndWrittenBackByteForByteThenReadAgainEqual) {
  const struct {
    const char* sample;
    const char* expected;
  } cases[] = {
      {"showcase_canvas.xml", "showcase_canvas.xml"},
      {"showcase_prefixed.xml", "showcase_prefixed_written.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sample);
    const auto first = Read(ReadTestData(c.sample));
    const std::string written = Document(*first);
    EXPECT_EQ(written, ReadTestData(c.expected));
    const auto second = Read(written);
    EXPECT_EQ(GraphDiff::Between(*first, *second), "");
    EXPECT_EQ(Document(*second), written);
  }
}

TEST(ShowcaseSamples, CanonicalSampleIsTheGraphItDescribes) {
  const auto built = CanonicalCanvas();
  EXPECT_EQ(Document(*built), CanonicalSample());
  const auto read = Read(CanonicalSample());
  EXPECT_EQ(GraphDiff::Between(*built, *read), "");

  // The diff does see a difference deep down.
  const auto changed = Read(Replaced(CanonicalSample(), "<to>white</to>", "<to>black</to>"));
  EXPECT_EQ(GraphDiff::Between(*built, *changed), "layer.shape.fill.gradient.to: [white] != [black]");
  const auto other = Read(ReadTestData("showcase_prefixed.xml"));
  EXPECT_EQ(GraphDiff::Between(*built, *other), "title: [Harbour & lighthouse] != [Minimal]");
}

TEST(ShowcaseDerivation, TypeAttributeOnlyWhereADerivedObjectStandsForItsBase) {
  auto noTypeAttribute = WriteContext();
  noTypeAttribute->WriteTypeAttribute(false);
  const auto circle = [](const char* elementName) {
    auto shape = std::make_shared<Circle>(elementName);
    shape->id("c");
    shape->radius(std::make_shared<Decimal>("1"));
    return shape;
  };
  auto pin = std::make_shared<Pin>();
  pin->symbol("*");
  const struct {
    std::shared_ptr<XmlObjectBase> object;
    XmlSerializationContextPtr context;
    std::string expected;
  } cases[] = {
      {circle("shape"), WriteContext(),
       std::string("<shape") + kRootDeclarations + " xsi:type=\"Circle\" id=\"c\"><radius>1</radius></shape>"},
      {circle("shape"), noTypeAttribute,
       std::string("<shape") + kRootDeclarations + " id=\"c\"><radius>1</radius></shape>"},
      // Under its own type's name a derived object needs no type attribute.
      {circle("Circle"), WriteContext(),
       std::string("<Circle") + kRootDeclarations + " id=\"c\"><radius>1</radius></Circle>"},
      {pin, WriteContext(), std::string("<pin") + kRootDeclarations + "><symbol>*</symbol></pin>"},
      // Without a default namespace the type is named with the prefix its namespace has.
      {circle("shape"), PlainContext(),
       "<AA:shape xmlns:AA=\"urn:vexlo9:showcase\" xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" "
       "AB:type=\"AA:Circle\" id=\"c\"><AA:radius>1</AA:radius></AA:shape>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Fragment(*c.object, c.context), c.expected);

  // A document written without type attributes cannot say which shape it holds.
  const std::string untyped = Document(*CanonicalCanvas(), noTypeAttribute);
  EXPECT_NE(untyped.find("<shape id=\"c1\" opacity=\"0.5\">"), std::string::npos) << untyped;
  const Caught e = Catch([&] { Read(untyped); });
  EXPECT_EQ(e.number, 144);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description,
            "Failed to process the element [canvas]\r\nFailed to process the element [layer]\r\nFailed to find an "
            "suitable substitution element for [shape]");

  // Writing names the types on the way down, not the elements.
  const auto broken = CanonicalCanvas();
  std::dynamic_pointer_cast<Circle>(broken->layer()->shape())->radius(nullptr);
  const Caught write = Catch([&] { Document(*broken); });
  EXPECT_EQ(write.number, 91);
  EXPECT_EQ(write.source, "Vexlo9");
  EXPECT_EQ(write.description,
            "Failed to convert the element [Canvas] to XML\r\nFailed to convert the element [Layer] to XML\r\nFailed "
            "to convert the element [Circle] to XML\r\nObject variable not set");
}

TEST(ShowcaseDerivation, AbstractElementTakesTheClassItsTypeNames) {
  const auto layer = [](std::string_view shape) {
    return std::string(
               "<layer xmlns=\"urn:vexlo9:showcase\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
               "xmlns:s=\"urn:vexlo9:showcase\" name=\"l\"><x>1</x><y>2</y>") +
           std::string(shape) + "</layer>";
  };
  const auto rectangle =
      Read<Layer>(layer("<shape xsi:type=\"Rectangle\" id=\"r\"><width>3</width><height>4</height></shape>"));
  const auto asRectangle = std::dynamic_pointer_cast<Rectangle>(rectangle->shape());
  ASSERT_TRUE(asRectangle);
  EXPECT_EQ(asRectangle->ElementName(), "shape");
  EXPECT_EQ(asRectangle->width(), 3);
  EXPECT_EQ(asRectangle->height(), 4);

  // The type's prefix is not the reader's concern.
  const auto circle = Read<Layer>(layer("<shape xsi:type=\"s:Circle\" id=\"c\"><radius>2.0</radius></shape>"));
  const auto asCircle = std::dynamic_pointer_cast<Circle>(circle->shape());
  ASSERT_TRUE(asCircle);
  EXPECT_EQ(asCircle->radius()->ToString(), "2.0");

  const struct {
    std::string shape;
    int32_t number;
    const char* description;
  } failures[] = {
      {"<shape xsi:type=\"Triangle\" id=\"t\"/>", 144,
       "Failed to process the element [layer]\r\nFailed to find an suitable substitution element for [shape]"},
      {"<shape id=\"t\"><radius>1</radius></shape>", 144,
       "Failed to process the element [layer]\r\nFailed to find an suitable substitution element for [shape]"},
      {"<legend/>", 143,
       "Failed to process the element [layer]\r\nFailed to find a suitable substitution element for [shape]"},
      // The class chosen is the one that reads: a circle's content is no rectangle's.
      {"<shape xsi:type=\"Rectangle\" id=\"r\"><radius>1</radius></shape>", 131,
       "Failed to process the element [layer]\r\nFailed to process the element [shape]\r\nFailed to find a required "
       "element [width]"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.shape);
    const Caught e = Catch([&] { Read<Layer>(layer(f.shape)); });
    EXPECT_EQ(e.number, f.number);
    EXPECT_EQ(e.source, "Vexlo9");
    EXPECT_EQ(e.description, f.description);
  }

  // A factory that finds no class stops the whole document, one context line per level.
  const Caught deep = Catch([&] { Read(Replaced(CanonicalSample(), "\"Circle\"", "\"Triangle\"")); });
  EXPECT_EQ(deep.number, 144);
  EXPECT_EQ(deep.description,
            "Failed to process the element [canvas]\r\nFailed to process the element [layer]\r\nFailed to find an "
            "suitable substitution element for [shape]");
}

TEST(ShowcaseSubstitution, MemberElementNamePicksTheClass) {
  const auto legend = [](std::string_view member) {
    return "<legend xmlns=\"urn:vexlo9:showcase\">" + std::string(member) + "</legend>";
  };
  const auto withPin = Read<Legend>(legend("<pin label=\"a\"><symbol>*</symbol></pin>"));
  const auto pin = std::dynamic_pointer_cast<Pin>(withPin->marker());
  ASSERT_TRUE(pin);
  EXPECT_EQ(pin->label(), "a");
  EXPECT_EQ(pin->symbol(), "*");
  EXPECT_EQ(withPin->ChoiceSelectedElement(), "marker");
  EXPECT_EQ(Fragment(*withPin),
            std::string("<legend") + kRootDeclarations + "><pin label=\"a\"><symbol>*</symbol></pin></legend>");

  const auto withFlag = Read<Legend>(legend("<flag><caption>N</caption></flag>"));
  const auto flag = std::dynamic_pointer_cast<Flag>(withFlag->marker());
  ASSERT_TRUE(flag);
  EXPECT_FALSE(flag->IsValidlabel());
  EXPECT_EQ(flag->caption(), "N");
  EXPECT_EQ(Fragment(*withFlag),
            std::string("<legend") + kRootDeclarations + "><flag><caption>N</caption></flag></legend>");

  // Elements of no member are skipped when the context says so.
  auto ignoreUnknown = PlainContext();
  ignoreUnknown->IgnoreUnknownElements(true);
  const auto skipped = Read<Legend>(legend("<star/><pin><symbol>+</symbol></pin><moon/>"), ignoreUnknown);
  ASSERT_TRUE(std::dynamic_pointer_cast<Pin>(skipped->marker()));
  EXPECT_EQ(std::dynamic_pointer_cast<Pin>(skipped->marker())->symbol(), "+");

  const struct {
    std::string member;
    int32_t number;
    const char* description;
  } failures[] = {
      {"<star/>", 158,
       "Failed to process the element [legend]\r\nFailed read all the elements held within the element [legend]. The "
       "unexpected element [star] remains un processed\""},
      {"<marker/>", 158,
       "Failed to process the element [legend]\r\nFailed read all the elements held within the element [legend]. The "
       "unexpected element [marker] remains un processed\""},
      {"<pin><caption>N</caption></pin>", 131,
       "Failed to process the element [legend]\r\nFailed to process the element [pin]\r\nFailed to find a required "
       "element [symbol]"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.member);
    const Caught e = Catch([&] { Read<Legend>(legend(f.member)); });
    EXPECT_EQ(e.number, f.number);
    EXPECT_EQ(e.description, f.description);
  }
}

TEST(ShowcaseNil, NilIsReadAndWritten) {
  const auto owner = [](std::string_view attributes, std::string_view content = "") {
    return "<owner xmlns=\"urn:vexlo9:showcase\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"" +
           std::string(attributes) + ">" + std::string(content) + "</owner>";
  };
  const struct {
    const char* attribute;
    bool nil;
  } values[] = {{" xsi:nil=\"true\"", true}, {" xsi:nil=\"TRUE\"", true}, {" xsi:nil=\"false\"", false}, {"", false}};
  for (const auto& v : values) {
    SCOPED_TRACE(v.attribute);
    const auto person = Read<Person>(owner(v.attribute, v.nil ? "" : "<name>Bo</name>"));
    EXPECT_EQ(person->IsNil(), v.nil);
    EXPECT_EQ(person->name(), v.nil ? "" : "Bo");
  }

  // Nil writes the marker and no content, whatever the object holds.
  auto person = std::make_shared<Person>("owner");
  person->name("Bo");
  person->IsNil(true);
  EXPECT_EQ(Fragment(*person), std::string("<owner") + kRootDeclarations + " xsi:nil=\"true\"/>");
  EXPECT_EQ(Fragment(*person, PlainContext()),
            "<AA:owner xmlns:AA=\"urn:vexlo9:showcase\" xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "AB:nil=\"true\"/>");
  person->IsNil(false);
  EXPECT_EQ(Fragment(*person), std::string("<owner") + kRootDeclarations + "><name>Bo</name></owner>");

  const Caught badValue = Catch([&] { Read<Person>(owner(" xsi:nil=\"1\"")); });
  EXPECT_EQ(badValue.number, 134);
  EXPECT_EQ(badValue.description,
            "Failed to process the element [owner]\r\nUnexpected Value for Attribute [xsi:nil] found.");
  const Caught notNillable = Catch([&] { Read(Replaced(CanonicalSample(), "<meta>", "<meta xsi:nil=\"true\">")); });
  EXPECT_EQ(notNillable.number, 134);
  EXPECT_EQ(notNillable.description,
            "Failed to process the element [canvas]\r\nFailed to process the element [meta]\r\nUnexpected Attribute "
            "[xsi:nil] found.");
}

TEST(ShowcaseMixedContent, TextIsReadWhereverItStandsAndWrittenAfterTheChildren) {
  const auto note = Read<Note>("<note xmlns=\"urn:vexlo9:showcase\">Check <em>twice</em> before printing</note>");
  EXPECT_EQ(note->Text(), "Check  before printing");
  EXPECT_EQ(note->em(), "twice");
  EXPECT_EQ(Fragment(*note), std::string("<note") + kRootDeclarations + "><em>twice</em>Check  before printing</note>");
  EXPECT_EQ(Document(*note), std::string("<?xml version=\"1.0\"?>\n<note") + kRootDeclarations +
                                 ">\n\t<em>twice</em>\nCheck  before printing</note>\n");

  const struct {
    const char* content;
    const char* text;
    const char* written;
  } texts[] = {
      {"a &amp; b &lt; c", "a & b < c", "a &amp; b &lt; c"},
      {"<![CDATA[x<y]]> \"z\"", "x<y \"z\"", "x&lt;y &quot;z&quot;"},
      {"", "", ""},
  };
  for (const auto& t : texts) {
    SCOPED_TRACE(t.content);
    const auto textOnly = Read<Note>("<note xmlns=\"urn:vexlo9:showcase\">" + std::string(t.content) + "</note>");
    EXPECT_EQ(textOnly->Text(), t.text);
    EXPECT_FALSE(textOnly->IsValidem());
    const std::string body = *t.written ? ">" + std::string(t.written) + "</note>" : "/>";
    EXPECT_EQ(Fragment(*textOnly), std::string("<note") + kRootDeclarations + body);
  }
}

TEST(ShowcaseChoice, SecondAlternativeIsReadAndTheSelectionGuarded) {
  const auto fill =
      Read<Fill>("<fill xmlns=\"urn:vexlo9:showcase\"><gradient><from>a</from><to>b</to></gradient></fill>");
  ASSERT_TRUE(fill->gradient());
  EXPECT_FALSE(fill->solid());
  EXPECT_EQ(fill->gradient()->from(), "a");
  EXPECT_EQ(fill->ChoiceSelectedElement(), "gradient");
  EXPECT_EQ(Fragment(*fill),
            std::string("<fill") + kRootDeclarations + "><gradient><from>a</from><to>b</to></gradient></fill>");

  // While gradient is set, solid cannot be; emptying gradient frees the choice.
  const Caught e = Catch([&] { fill->solid(std::make_shared<Solid>("solid")); });
  EXPECT_EQ(e.number, 104);
  EXPECT_EQ(e.source, "Choice_SelectElement");
  EXPECT_EQ(e.description,
            "The Property [gradient] is already set. Only one element within this class bay be set at a time");
  EXPECT_FALSE(fill->solid());
  EXPECT_EQ(fill->ChoiceSelectedElement(), "gradient");
  fill->solid(nullptr);
  fill->gradient(nullptr);
  EXPECT_EQ(fill->ChoiceSelectedElement(), "");
  auto solid = std::make_shared<Solid>("solid");
  solid->colour("red");
  fill->solid(solid);
  EXPECT_EQ(fill->ChoiceSelectedElement(), "solid");
  EXPECT_EQ(Fragment(*fill), std::string("<fill") + kRootDeclarations + "><solid colour=\"red\"/></fill>");

  const Caught both = Catch([&] {
    Read<Fill>(
        "<fill xmlns=\"urn:vexlo9:showcase\"><solid colour=\"r\"/><gradient><from>a</from><to>b</to></gradient>"
        "</fill>");
  });
  EXPECT_EQ(both.number, 158);
  EXPECT_EQ(both.description,
            "Failed to process the element [fill]\r\nFailed read all the elements held within the element [fill]. The "
            "unexpected element [gradient] remains un processed\"");
  const Caught wrongName = Catch([&] { fill->gradient(std::make_shared<Gradient>()); });
  EXPECT_EQ(wrongName.number, 105);
  EXPECT_EQ(wrongName.source, "Throw_IfElementNameDiffers");
  EXPECT_EQ(wrongName.description,
            "This property requrires an element with the name gradient the element being set has the element name "
            "Gradient");
}

TEST(ShowcaseAllGroup, ElementsInAnyOrderAreWrittenInDeclarationOrder) {
  const auto meta = [](std::string_view content) {
    return "<meta xmlns=\"urn:vexlo9:showcase\">" + std::string(content) + "</meta>";
  };
  const struct {
    const char* content;
    const char* written;
  } orders[] = {
      {"<revision>3</revision><author>A</author>", "<author>A</author><revision>3</revision>"},
      {"<created>2024-05-01</created><revision>3</revision><author>A</author>",
       "<author>A</author><created>2024-05-01</created><revision>3</revision>"},
      {"<revision>3</revision><created>2024-05-01</created><author>A</author>",
       "<author>A</author><created>2024-05-01</created><revision>3</revision>"},
      {"<author>A</author>", "<author>A</author>"},
  };
  for (const auto& o : orders) {
    SCOPED_TRACE(o.content);
    const auto read = Read<Meta>(meta(o.content));
    EXPECT_EQ(Fragment(*read), std::string("<meta") + kRootDeclarations + ">" + o.written + "</meta>");
  }

  const struct {
    const char* content;
    int32_t number;
    const char* description;
  } failures[] = {
      {"<revision>3</revision>", 141,
       "Failed to process the element [meta]\r\nFailed to find the mandatory element [author]"},
      {"<author>A</author><revision>3</revision><author>B</author>", 161,
       "Failed to process the element [meta]\r\nFailed read all the elements held within the element [meta]. The "
       "unexpected element [author] remains un processed"},
      {"<author>A</author><version>3</version>", 161,
       "Failed to process the element [meta]\r\nFailed read all the elements held within the element [meta]. The "
       "unexpected element [version] remains un processed"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.content);
    const Caught e = Catch([&] { Read<Meta>(meta(f.content)); });
    EXPECT_EQ(e.number, f.number);
    EXPECT_EQ(e.description, f.description);
  }
}

TEST(ShowcasePseudoElement, GroupAttributesAndElementsLiveOnTheParent) {
  auto layer = std::make_shared<Layer>("layer");
  layer->name("l");
  layer->placement()->x(1);
  layer->placement()->y(2);
  layer->placement()->snap(true);
  layer->placement()->grid(8);
  auto rectangle = std::make_shared<Rectangle>("shape");
  rectangle->id("r");
  rectangle->width(3);
  rectangle->height(4);
  layer->shape(rectangle);
  const std::string written = Fragment(*layer);
  EXPECT_EQ(written, std::string("<layer") + kRootDeclarations +
                         " name=\"l\" snap=\"true\" grid=\"8\"><x>1</x><y>2</y><shape xsi:type=\"Rectangle\" "
                         "id=\"r\"><width>3</width><height>4</height></shape></layer>");
  const auto read = Read<Layer>(written);
  EXPECT_EQ(read->name(), "l");
  EXPECT_EQ(read->placement()->x(), 1);
  EXPECT_EQ(read->placement()->y(), 2);
  EXPECT_TRUE(read->placement()->snap());
  EXPECT_TRUE(read->placement()->IsValidsnap());
  EXPECT_EQ(read->placement()->grid(), 8);

  const auto document = [](std::string_view content) {
    return "<layer xmlns=\"urn:vexlo9:showcase\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" name=\"l\">" +
           std::string(content) + "</layer>";
  };
  const struct {
    const char* content;
    int32_t number;
    const char* description;
  } failures[] = {
      {"", 129, "Failed to process the element [layer]\r\nFailed to find a required element [Placement]"},
      {"<shape xsi:type=\"Rectangle\" id=\"r\"><width>3</width><height>4</height></shape>", 130,
       "Failed to process the element [layer]\r\nFailed to find the required element [Placement]"},
      // A group missing its second element gives back the first too.
      {"<x>1</x><shape xsi:type=\"Rectangle\" id=\"r\"><width>3</width><height>4</height></shape>", 130,
       "Failed to process the element [layer]\r\nFailed to find the required element [Placement]"},
      // The group reads from the parent's element, so its own context line names the parent too.
      {"<x>one</x><y>2</y>", 13,
       "Failed to process the element [layer]\r\nFailed to process the element [layer]\r\nType mismatch"},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.content);
    const Caught e = Catch([&] { Read<Layer>(document(f.content)); });
    EXPECT_EQ(e.number, f.number);
    EXPECT_EQ(e.description, f.description);
  }
}

TEST(ShowcaseAttributes, OptionalDefaultsAreLeftOutOnlyWhenAskedAndOnlyByTheirText) {
  auto suppress = WriteContext();
  suppress->NoOptionalAttributeDefaultOutput(true);
  const auto circle = [](const char* opacity) {
    auto shape = std::make_shared<Circle>("shape");
    shape->id("c");
    if (opacity) shape->opacity(std::make_shared<Decimal>(opacity));
    return shape;
  };
  const auto gradient = [](int32_t angle) {
    auto g = std::make_shared<Gradient>("gradient");
    g->angle(angle);
    return g;
  };
  const auto layer = [](bool snap) {
    auto l = std::make_shared<Layer>("layer");
    l->name("l");
    l->placement()->snap(snap);
    return l;
  };
  const auto canvas = [](Units units, double scale) {
    auto c = std::make_shared<Canvas>();
    c->title("t");
    c->units(units);
    c->scale(scale);
    return c;
  };
  const struct {
    std::shared_ptr<XmlObjectBase> object;
    std::string written;     // the start tag's attributes
    std::string suppressed;  // the same with NoOptionalAttributeDefaultOutput
  } cases[] = {
      {circle(nullptr), " xsi:type=\"Circle\" id=\"c\"", " xsi:type=\"Circle\" id=\"c\""},
      {circle("1.0"), " xsi:type=\"Circle\" id=\"c\" opacity=\"1.0\"", " xsi:type=\"Circle\" id=\"c\""},
      // The default is compared as text: "1" and "1.00" are not "1.0".
      {circle("1"), " xsi:type=\"Circle\" id=\"c\" opacity=\"1\"", " xsi:type=\"Circle\" id=\"c\" opacity=\"1\""},
      {circle("1.00"), " xsi:type=\"Circle\" id=\"c\" opacity=\"1.00\"",
       " xsi:type=\"Circle\" id=\"c\" opacity=\"1.00\""},
      {gradient(0), " angle=\"0\"", ""},
      {gradient(90), " angle=\"90\"", " angle=\"90\""},
      {layer(false), " name=\"l\" snap=\"false\"", " name=\"l\""},
      {layer(true), " name=\"l\" snap=\"true\"", " name=\"l\" snap=\"true\""},
      {canvas(Units_px, 1), " title=\"t\" units=\"px\" scale=\"1\"", " title=\"t\""},
      {canvas(Units_in, 1.5), " title=\"t\" units=\"in\" scale=\"1.5\"", " title=\"t\" units=\"in\" scale=\"1.5\""},
  };
  for (const auto& c : cases) {
    const std::string name(c.object->ElementName());
    SCOPED_TRACE(name + c.written);
    EXPECT_EQ(StartTag(Fragment(*c.object)), "<" + name + kRootDeclarations + c.written + ">");
    EXPECT_EQ(StartTag(Fragment(*c.object, suppress)), "<" + name + kRootDeclarations + c.suppressed + ">");
  }

  // An absent attribute reads as its default but stays absent.
  const auto read = Read(Replaced(CanonicalSample(), " units=\"mm\" scale=\"2.5\"", ""));
  EXPECT_EQ(read->units(), Units_px);
  EXPECT_FALSE(read->IsValidunits());
  EXPECT_EQ(read->scale(), 1);
  EXPECT_FALSE(read->IsValidscale());
  EXPECT_EQ(StartTag(Fragment(*read)), std::string("<canvas") + kRootDeclarations +
                                           " title=\"Harbour &amp; lighthouse\" xmlns:AA=\"urn:vexlo9:ext\" "
                                           "AA:author=\"Ana\" xml:lang=\"en\">");
}

TEST(ShowcaseEnumeration, UnitsTravelThroughTheConverterBothWays) {
  const struct {
    const char* text;
    Units value;
  } units[] = {{"px", Units_px}, {"mm", Units_mm}, {"in", Units_in}};
  for (const auto& u : units) {
    SCOPED_TRACE(u.text);
    const auto read = Read(Replaced(CanonicalSample(), "units=\"mm\"", "units=\"" + std::string(u.text) + "\""));
    EXPECT_EQ(read->units(), u.value);
    EXPECT_TRUE(read->IsValidunits());
    auto canvas = std::make_shared<Canvas>();
    canvas->title("t");
    canvas->units(u.value);
    EXPECT_EQ(StartTag(Fragment(*canvas)),
              std::string("<canvas") + kRootDeclarations + " title=\"t\" units=\"" + u.text + "\">");
  }

  for (const char* bad : {"cm", "MM", " mm"}) {
    SCOPED_TRACE(bad);
    const std::string document = Replaced(CanonicalSample(), "units=\"mm\"", "units=\"" + std::string(bad) + "\"");
    const Caught e = Catch([&] { Read(document); });
    EXPECT_EQ(e.number, 380);
    EXPECT_EQ(e.source, "UnitsFromString");
    EXPECT_EQ(e.description,
              "Failed to process the element [canvas]\r\nInvalid property value [" + std::string(bad) + "]");
  }
  auto canvas = std::make_shared<Canvas>();
  canvas->units(static_cast<Units>(7));
  const Caught e = Catch([&] { Fragment(*canvas); });
  EXPECT_EQ(e.number, 380);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description, "Failed to convert the element [Canvas] to XML\r\nInvalid property value [7]");
}

TEST(ShowcaseWildcard, AttributesOfOtherNamespacesKeepThemAndGetPrefixesOfTheirOwn) {
  const auto canvas = Read(CanonicalSampleWithRoot(
      "<canvas xmlns=\"urn:vexlo9:showcase\" xmlns:e=\"urn:vexlo9:ext\" "
      "xmlns:o=\"urn:vexlo9:other\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" title=\"t\" e:rev=\"7\" "
      "o:tag=\"x\" plain=\"p\" xml:lang=\"en\" e:more=\"m\" xsi:schemaLocation=\"urn:vexlo9:showcase showcase.xsd\">"));
  const struct {
    const char* name;
    const char* ns;
    const char* value;
  } kept[] = {
      {"rev", kExt, "7"}, {"tag", kOther, "x"}, {"plain", "", "p"}, {"lang", kXmlNamespace, "en"}, {"more", kExt, "m"}};
  const auto& attributes = *canvas->anyAttribute();
  ASSERT_EQ(attributes.Count(), 5);
  for (int32_t i = 1; i <= attributes.Count(); ++i) {
    EXPECT_EQ(attributes.Item(i)->AttributeName(), kept[i - 1].name);
    EXPECT_EQ(attributes.Item(i)->Namespace(), kept[i - 1].ns);
    EXPECT_EQ(attributes.Item(i)->AttributeValue(), kept[i - 1].value);
  }

  // Prefixes are the writer's own, in the order the namespaces are met.
  EXPECT_EQ(StartTag(Fragment(*canvas)),
            std::string("<canvas") + kRootDeclarations +
                " title=\"t\" xmlns:AA=\"urn:vexlo9:ext\" AA:rev=\"7\" xmlns:AB=\"urn:vexlo9:other\" AB:tag=\"x\" "
                "plain=\"p\" xml:lang=\"en\" AA:more=\"m\">");
  EXPECT_EQ(StartTag(Fragment(*canvas, PlainContext())),
            "<AA:canvas xmlns:AA=\"urn:vexlo9:showcase\" title=\"t\" xmlns:AB=\"urn:vexlo9:ext\" AB:rev=\"7\" "
            "xmlns:AC=\"urn:vexlo9:other\" AC:tag=\"x\" plain=\"p\" xml:lang=\"en\" AB:more=\"m\">");

  // The schema's own namespace is not "other".
  const Caught e = Catch([&] {
    Read(
        CanonicalSampleWithRoot("<canvas xmlns=\"urn:vexlo9:showcase\" xmlns:s=\"urn:vexlo9:showcase\" "
                                "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" title=\"t\" s:bad=\"1\">"));
  });
  EXPECT_EQ(e.number, 106);
  EXPECT_EQ(e.source, "TestNamespace");
  EXPECT_EQ(e.description,
            "Failed to process the element [canvas]\r\nInvalid namespace [urn:vexlo9:showcase]. The namespace must be "
            "one of [##other] where the target namespace is [urn:vexlo9:showcase]");
}

}  // namespace
}  // namespace vexlo9::testing::showcase
