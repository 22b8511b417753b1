// Round trips of a sample through the classes generated for its schema: read it whatever its root and write it,
// unformatted and indented; read each writing and write it again. Each second writing must be the first byte for
// byte, and each first writing must hold what the sample holds, compared namespace-aware: the same elements in
// order, the same attributes (none added, none lost), the same text runs in their places. Values are compared as
// text first, then as numbers, booleans, dates and times, so "12.50" and "12.5" are equal in value only. Prints
// how the unformatted writing compares ("identical", or "equal in value" and where first); it goes to OUTPUT for
// xmllint.
//
//   roundtrip SAMPLE OUTPUT       exit status 0: equal, 1: not, or the library failed (a vexlo9 error is printed as
//                                 "error <number> at line <n>: <innermost text>"); 2: usage or files
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include VEXLO9_XSD_HEADER
#include "vexlo9/vexlo9.h"

namespace {

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

Document Parse(const std::string& xml) {
  return Document(
      xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_NOENT),
      xmlFreeDoc);
}

std::string_view Text(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

std::string Name(const xmlNs* ns, const xmlChar* local) {
  return "{" + std::string(ns ? Text(ns->href) : "") + "}" + std::string(Text(local));
}

std::string Collapse(std::string_view text) {
  std::string collapsed;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (!collapsed.empty() && collapsed.back() != ' ') collapsed += ' ';
    } else {
      collapsed += c;
    }
  }
  if (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  return collapsed;
}

bool Blank(std::string_view text) { return Collapse(text).empty(); }

// ---- values

enum class Match { Same, SameValue, Differs };

std::optional<long double> Number(const std::string& text) {
  if (text.empty() || text.find_first_of("xXpP") != std::string::npos) return std::nullopt;
  const std::string spelled = text == "INF" ? "inf" : text == "-INF" ? "-inf" : text;
  char* end = nullptr;
  const long double value = std::strtold(spelled.c_str(), &end);
  if (*end != '\0') return std::nullopt;
  return value;
}

std::optional<bool> Boolean(const std::string& text) {
  if (text == "true" || text == "1") return true;
  if (text == "false" || text == "0") return false;
  return std::nullopt;
}

// Binary values: base64 broken into lines anywhere, hex in either case.
bool SameBinary(const std::string& read, const std::string& written) {
  const auto unspaced = [](std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
  };
  const auto base64 = [](const std::string& text) {
    return text.size() >= 4 && text.size() % 4 == 0 &&
           text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=") ==
               std::string::npos;
  };
  const auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  const auto hex = [](const std::string& text) {
    return text.size() % 2 == 0 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
  };
  const std::string r = unspaced(read), w = unspaced(written);
  return (r == w && base64(r)) || (hex(read) && hex(written) && upper(read) == upper(written));
}

// A date, time or dateTime as a point: seconds (from 1970 for those with a date, from midnight for a time) in UTC
// when zoned, the fraction without trailing zeros.
struct Instant {
  char kind;  // 'd' date, 't' time, 'T' dateTime
  long long seconds;
  std::string fraction;
  bool zoned;
  bool operator==(const Instant&) const = default;
};

long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

// Reads `count` digits at text[at], moving at past them.
std::optional<long long> Digits(const std::string& text, size_t& at, size_t count) {
  long long value = 0;
  for (size_t i = 0; i < count; ++i, ++at) {
    if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) return std::nullopt;
    value = value * 10 + (text[at] - '0');
  }
  return value;
}

std::optional<Instant> ParseInstant(const std::string& text) {
  const bool hasDate = text.size() >= 10 && text[4] == '-' && text[7] == '-';
  const bool hasTime = text.find(':') != std::string::npos && text.size() >= 8;
  if (!hasDate && !hasTime) return std::nullopt;
  Instant instant{hasDate ? (hasTime ? 'T' : 'd') : 't', 0, {}, false};
  size_t at = 0;
  if (hasDate) {
    const auto y = Digits(text, at, 4), m = (++at, Digits(text, at, 2)), d = (++at, Digits(text, at, 2));
    if (!y || !m || !d) return std::nullopt;
    instant.seconds = DaysFromCivil(*y, *m, *d) * 86400;
    if (hasTime && (at >= text.size() || text[at++] != 'T')) return std::nullopt;
  }
  if (hasTime) {
    const auto h = Digits(text, at, 2), mi = (++at, Digits(text, at, 2)), s = (++at, Digits(text, at, 2));
    if (!h || !mi || !s) return std::nullopt;
    instant.seconds += *h * 3600 + *mi * 60 + *s;
    if (at < text.size() && text[at] == '.') {
      const size_t begin = ++at;
      while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
      instant.fraction = text.substr(begin, at - begin);
      while (!instant.fraction.empty() && instant.fraction.back() == '0') instant.fraction.pop_back();
    }
  }
  if (at < text.size()) {
    instant.zoned = true;
    if (text.substr(at) == "Z") return instant;
    if (text[at] != '+' && text[at] != '-') return std::nullopt;
    const int sign = text[at] == '-' ? 1 : -1;
    ++at;
    const auto h = Digits(text, at, 2), m = (++at, Digits(text, at, 2));
    if (!h || !m || at != text.size()) return std::nullopt;
    instant.seconds += sign * (*h * 3600 + *m * 60);
  }
  if (instant.kind == 't') instant.seconds = ((instant.seconds % 86400) + 86400) % 86400;
  return instant;
}

// How a value written compares with the value read.
Match CompareValues(std::string_view readText, std::string_view writtenText) {
  if (readText == writtenText) return Match::Same;
  const std::string read = Collapse(readText), written = Collapse(writtenText);
  if (read == written || SameBinary(read, written)) return Match::SameValue;
  if (const auto r = Boolean(read), w = Boolean(written); r && w) return *r == *w ? Match::SameValue : Match::Differs;
  if (const auto r = Number(read), w = Number(written); r && w) {
    return *r == *w || (std::isnan(*r) && std::isnan(*w)) ? Match::SameValue : Match::Differs;
  }
  if (const auto r = ParseInstant(read), w = ParseInstant(written); r && w && *r == *w) return Match::SameValue;
  return Match::Differs;
}

// ---- documents

// An element's content as the comparison sees it: child elements and runs of text (text and CDATA joined), in
// document order; comments and processing instructions are left out.
struct Item {
  const xmlNode* element = nullptr;
  std::string text;
};

std::vector<Item> Content(const xmlNode* element) {
  std::vector<Item> items;
  for (const xmlNode* c = element->children; c; c = c->next) {
    if (c->type == XML_ELEMENT_NODE) {
      items.push_back({c, {}});
    } else if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
      if (items.empty() || items.back().element) items.push_back({});
      items.back().text += Text(c->content);
    }
  }
  return items;
}

// A value that names a type, as {namespace}local, so that the prefixes chosen do not matter.
std::string ResolvedQName(const xmlNode* element, std::string_view value) {
  const size_t colon = value.find(':');
  const std::string prefix(colon == std::string_view::npos ? "" : value.substr(0, colon));
  const xmlNs* ns = xmlSearchNs(element->doc, const_cast<xmlNode*>(element),
                                prefix.empty() ? nullptr : reinterpret_cast<const xmlChar*>(prefix.c_str()));
  const std::string local(colon == std::string_view::npos ? value : value.substr(colon + 1));
  return Name(ns, reinterpret_cast<const xmlChar*>(local.c_str()));
}

// A value that names something with a prefix declared where it stands.
bool PrefixedName(const xmlNode* element, const std::string& value) {
  const size_t colon = value.find(':');
  if (colon == std::string::npos || colon == 0 || value.find_first_of(": \t\r\n", colon + 1) != std::string::npos) {
    return false;
  }
  const std::string prefix = value.substr(0, colon);
  return xmlSearchNs(element->doc, const_cast<xmlNode*>(element), reinterpret_cast<const xmlChar*>(prefix.c_str()));
}

// Values compared, a qualified name (one side with a declared prefix) as {namespace}local: the prefix a name is
// written with is the writer's choice, as an element's is.
Match CompareValuesAt(const xmlNode* read, const std::string& readText, const xmlNode* written,
                      const std::string& writtenText) {
  const Match match = CompareValues(readText, writtenText);
  const std::string r = Collapse(readText), w = Collapse(writtenText);
  if (match == Match::Same || !(PrefixedName(read, r) || PrefixedName(written, w))) return match;
  if (ResolvedQName(read, r) != ResolvedQName(written, w)) return match;
  return r == readText && w == writtenText ? Match::Same : Match::SameValue;  // blanks around a name: layout
}

class Comparison {
 public:
  Match result() const { return result_; }
  const std::string& difference() const { return difference_; }

  void Elements(const xmlNode* read, const xmlNode* written, const std::string& path) {
    const std::string name = Name(read->ns, read->name);
    if (name != Name(written->ns, written->name)) {
      return Note(Match::Differs, path, "element " + name + " written as " + Name(written->ns, written->name));
    }
    const std::string here = path + "/" + std::string(Text(read->name));
    Attributes(read, written, here);
    Children(read, written, here);
  }

 private:
  void Note(Match match, const std::string& path, const std::string& what) {
    if (match > result_) difference_ = path + ": " + what;
    result_ = std::max(result_, match);
  }

  static std::vector<std::pair<std::string, std::string>> AttributesOf(const xmlNode* element) {
    std::vector<std::pair<std::string, std::string>> attributes;
    for (const xmlAttr* a = element->properties; a; a = a->next) {
      xmlChar* value = xmlNodeListGetString(element->doc, a->children, 1);
      std::string name = Name(a->ns, a->name);
      std::string text(Text(value));
      xmlFree(value);
      if (name == "{http://www.w3.org/2001/XMLSchema-instance}type") text = ResolvedQName(element, text);
      attributes.emplace_back(std::move(name), std::move(text));
    }
    std::sort(attributes.begin(), attributes.end());
    return attributes;
  }

  void Attributes(const xmlNode* read, const xmlNode* written, const std::string& path) {
    const auto r = AttributesOf(read), w = AttributesOf(written);
    size_t i = 0, j = 0;
    while (i < r.size() || j < w.size()) {
      if (j == w.size() || (i < r.size() && r[i].first < w[j].first)) {
        return Note(Match::Differs, path, "attribute " + r[i].first + " lost");
      }
      if (i == r.size() || w[j].first < r[i].first) {
        return Note(Match::Differs, path, "attribute " + w[j].first + " added");
      }
      const Match match = CompareValuesAt(read, r[i].second, written, w[j].second);
      if (match != Match::Same) {
        Note(match, path, "attribute " + r[i].first + " read \"" + r[i].second + "\", written \"" + w[j].second + "\"");
      }
      ++i, ++j;
    }
  }

  // Text is compared run by run where the element holds any that is not blank (mixed content) and as one value
  // where it has no child elements; blank runs between child elements are layout.
  void Children(const xmlNode* read, const xmlNode* written, const std::string& path) {
    std::vector<Item> r = Content(read), w = Content(written);
    const auto hasText = [](const std::vector<Item>& items) {
      return std::any_of(items.begin(), items.end(), [](const Item& i) { return !i.element && !Blank(i.text); });
    };
    const auto hasElements = [](const std::vector<Item>& items) {
      return std::any_of(items.begin(), items.end(), [](const Item& i) { return i.element != nullptr; });
    };
    if (!hasElements(r) && !hasElements(w)) {
      const std::string readText = r.empty() ? "" : r.front().text, writtenText = w.empty() ? "" : w.front().text;
      const Match match = CompareValuesAt(read, readText, written, writtenText);
      if (match != Match::Same) Note(match, path, "text read \"" + readText + "\", written \"" + writtenText + "\"");
      return;
    }
    if (!hasText(r) && !hasText(w)) {
      const auto blank = [](const Item& i) { return !i.element; };
      r.erase(std::remove_if(r.begin(), r.end(), blank), r.end());
      w.erase(std::remove_if(w.begin(), w.end(), blank), w.end());
      if (!SameNames(r, w)) return Reordered(r, w, path);
    }
    if (r.size() != w.size()) return Note(Match::Differs, path, "content of " + Shape(r) + " written as " + Shape(w));
    for (size_t i = 0; i < r.size(); ++i) Items(r[i], w[i], path);
  }

  void Items(const Item& read, const Item& written, const std::string& path) {
    if (!read.element != !written.element) {
      return Note(Match::Differs, path, "text and elements not in their places");
    }
    if (read.element) return Elements(read.element, written.element, path);
    if (read.text != written.text) {
      Note(Match::Differs, path, "text run \"" + read.text + "\" written as \"" + written.text + "\"");
    }
  }

  static bool SameNames(const std::vector<Item>& r, const std::vector<Item>& w) {
    return std::equal(r.begin(), r.end(), w.begin(), w.end(), [](const Item& a, const Item& b) {
      return Name(a.element->ns, a.element->name) == Name(b.element->ns, b.element->name);
    });
  }

  // Element-only content whose children were written in another order: equal in value when the same children
  // are there (an all group is written in declaration order; xmllint judges whether the order is valid).
  void Reordered(std::vector<Item> r, std::vector<Item> w, const std::string& path) {
    const auto byName = [](const Item& a, const Item& b) {
      return Name(a.element->ns, a.element->name) < Name(b.element->ns, b.element->name);
    };
    std::stable_sort(r.begin(), r.end(), byName);
    std::stable_sort(w.begin(), w.end(), byName);
    if (!SameNames(r, w)) return Note(Match::Differs, path, "children " + Shape(r) + " written as " + Shape(w));
    Note(Match::SameValue, path, "children written in another order");
    for (size_t i = 0; i < r.size(); ++i) Elements(r[i].element, w[i].element, path);
  }

  static std::string Shape(const std::vector<Item>& items) {
    std::string shape = "[";
    for (const Item& i : items) shape += i.element ? " <" + std::string(Text(i.element->name)) + ">" : " text";
    return shape + " ]";
  }

  Match result_ = Match::Same;
  std::string difference_;
};

// Writes with the prefixes the sample declares on its root, as a user keeping a document's look would: a QName
// value in it then keeps its meaning. A default namespace is left out: the writer would put the elements of no
// namespace into it.
vexlo9::XmlSerializationContextPtr PrefixesOf(const std::string& xml) {
  auto context = std::make_shared<vexlo9::XmlSerializationContext>();
  const Document doc = Parse(xml);
  const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  for (const xmlNs* ns = root ? root->nsDef : nullptr; ns; ns = ns->next) {
    if (ns->prefix) context->NamespaceAliases().Add(std::string(Text(ns->href)), std::string(Text(ns->prefix)));
  }
  return context;
}

std::string Write(const std::string& xml, const vexlo9::XmlSerializationContextPtr& context,
                  vexlo9::XmlFormatting formatting) {
  const auto object = VEXLO9_XSD_NAMESPACE::ReadDocument(xml);
  return vexlo9::Global::XmlObjectBaseHelper()->ToXml(*object, true, formatting, vexlo9::EOLType_LF, context);
}

// How the first writing compares with the sample, and where it first differs; it must also read back into the same
// bytes.
std::pair<Match, std::string> Check(const std::string& sample, const std::string& first,
                                    const vexlo9::XmlSerializationContextPtr& context,
                                    vexlo9::XmlFormatting formatting) {
  if (const std::string second = Write(first, context, formatting); second != first) {
    const auto at = std::mismatch(first.begin(), first.end(), second.begin(), second.end()).first - first.begin();
    return {Match::Differs, "the second writing differs from the first at byte " + std::to_string(at) + ":\n" + second};
  }
  const Document read = Parse(sample), written = Parse(first);
  if (!read || !written)
    return {Match::Differs, std::string(read ? "the writing" : "the sample") + " is not well-formed"};
  Comparison comparison;
  comparison.Elements(xmlDocGetRootElement(read.get()), xmlDocGetRootElement(written.get()), "");
  return {comparison.result(), comparison.difference()};
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
    const std::string plain = Write(sample, context, vexlo9::XmlFormatting_None);
    if (!(std::ofstream(argv[2], std::ios::binary) << plain)) {
      std::cerr << argv[2] << ": cannot write\n";
      return 2;
    }
    const auto [match, where] = Check(sample, plain, context, vexlo9::XmlFormatting_None);
    const auto [indentedMatch, indentedWhere] =
        Check(sample, Write(sample, context, vexlo9::XmlFormatting_Indented), context, vexlo9::XmlFormatting_Indented);
    if (match == Match::Differs || indentedMatch == Match::Differs) {
      if (match == Match::Differs) std::cerr << "unformatted: " << where << '\n';
      if (indentedMatch == Match::Differs) std::cerr << "indented: " << indentedWhere << '\n';
      return 1;
    }
    std::cout << (match == Match::Same ? "identical" : "equal in value, first at " + where) << '\n';
  } catch (const vexlo9::Error& e) {
    // The innermost line of the text is the error itself; the others name the elements around it.
    const std::string text = e.what();
    std::cerr << "error " << e.Number() << " at line " << e.Line() << ": " << text.substr(text.rfind('\n') + 1) << "\n"
              << text << '\n';
    return 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
