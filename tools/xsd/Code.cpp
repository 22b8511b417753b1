#include "Code.h"

#include <algorithm>

namespace vexlo9::xsd::cpp {

size_t Width(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Quote(std::string_view text) {
  const bool plain = text.find_first_of("\\\"") == std::string_view::npos;
  const bool control =
      std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
  if (!plain && !control && text.find(")\"") == std::string_view::npos) return "R\"(" + std::string(text) + ")\"";
  std::string literal = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      literal += '\\';
      literal += c;
    } else if (byte < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      literal += "\\x";
      literal += kHex[byte >> 4];
      literal += kHex[byte & 15];
      literal += "\"\"";  // ends the escape: the next character may be a hex digit
    } else {
      literal += c;
    }
  }
  return literal + "\"";
}

// ---- expressions

Expr Expr::List(std::string head, char open, std::vector<Expr> items, char close) {
  Expr list(std::move(head));
  list.kind_ = Kind::List;
  list.open_ = open;
  list.close_ = close;
  list.items_ = std::move(items);
  return list;
}

Expr Expr::Call(std::string callee, std::vector<Expr> arguments) {
  return List(std::move(callee), '(', std::move(arguments), ')');
}

Expr Expr::Braced(std::string head, std::vector<Expr> items) { return List(std::move(head), '{', std::move(items), '}'); }

Expr Expr::Assign(std::string target, Expr value) {
  Expr assign(std::move(target));
  assign.kind_ = Kind::Assign;
  assign.items_.push_back(std::move(value));
  return assign;
}

Expr Expr::If(std::string condition, Expr statement) {
  Expr guarded(std::move(condition));
  guarded.kind_ = Kind::If;
  guarded.items_.push_back(std::move(statement));
  return guarded;
}

Expr Expr::Then(std::string_view tail) const {
  Expr followed = *this;
  followed.tail_ += tail;
  return followed;
}

std::string Expr::Flat() const {
  switch (kind_) {
    case Kind::Atom: return text_ + tail_;
    case Kind::Assign: return text_ + " = " + items_.front().Flat() + tail_;
    case Kind::If: return "if (" + text_ + ") " + items_.front().Flat() + tail_;
    case Kind::List: break;
  }
  std::string flat = text_ + open_;
  for (size_t i = 0; i < items_.size(); ++i) flat += (i ? ", " : "") + items_[i].Flat();
  return flat + close_ + tail_;
}

Designated& Designated::Set(std::string_view member, Expr value) {
  items_.push_back(Expr::Assign("." + std::string(member), std::move(value)));
  return *this;
}

// ---- layout

// Lines of code: the first continues the line it starts on (no indentation of its own), the others are whole.
using Lines = std::vector<std::string>;

namespace {

// How far a layout is from the format: lines past the last column first, then lines.
std::pair<size_t, size_t> Cost(const Lines& lines, size_t column) {
  size_t over = 0;
  for (size_t i = 0; i < lines.size(); ++i) over += (i == 0 ? column : 0) + Width(lines[i]) > kColumns ? 1 : 0;
  return {over, lines.size()};
}

}  // namespace

class Layout {
 public:
  // The expression followed by `suffix`, starting at `column`, its continuation lines at `indent` or deeper.
  static Lines Of(const Expr& e, size_t column, size_t indent, std::string_view suffix) {
    const std::string flat = e.Flat() + std::string(suffix);
    if (e.kind_ == Expr::Kind::Atom || column + Width(flat) <= kColumns) return {flat};
    switch (e.kind_) {
      case Expr::Kind::Assign: return Assignment(e, column, indent, suffix);
      case Expr::Kind::If: return Guarded(e, indent, suffix);
      default: break;
    }
    const std::string open = e.text_ + e.open_;
    const std::string close = std::string(1, e.close_) + e.tail_ + std::string(suffix);
    // Aligned after the bracket, or (after a head) four spaces in on the next line: the one nearer the format.
    Lines after = Pack(e.items_, column + Width(open), close);
    after.front() = open + after.front();
    if (e.text_.empty()) return after;
    Lines below = Pack(e.items_, indent + 4, close);
    below.front() = std::string(indent + 4, ' ') + below.front();
    below.insert(below.begin(), open);
    return Cost(below, column) < Cost(after, column) ? below : after;
  }

 private:
  // Items separated by commas, as many on a line as fit, the last followed by `close`.
  static Lines Pack(const std::vector<Expr>& items, size_t column, const std::string& close) {
    Lines lines{""};
    size_t at = column;
    for (size_t i = 0; i < items.size(); ++i) {
      const std::string suffix = i + 1 == items.size() ? close : ",";
      const std::string flat = items[i].Flat() + suffix;
      const bool fresh = lines.back().find_first_not_of(' ') == std::string::npos;
      if (at + (fresh ? 0 : 1) + Width(flat) <= kColumns) {
        lines.back() += (fresh ? "" : " ") + flat;
        at += (fresh ? 0 : 1) + Width(flat);
        continue;
      }
      if (!fresh) {
        lines.push_back(std::string(column, ' '));
        at = column;
      }
      const Lines item = Of(items[i], at, at, suffix);
      lines.back() += item.front();
      lines.insert(lines.end(), item.begin() + 1, item.end());
      at = lines.size() == 1 ? column + Width(lines.back()) : Width(lines.back());
    }
    if (items.empty()) lines.back() = close;
    return lines;
  }

  // After the '=' on the same line, or the value on the next one when that is nearer the format or fits whole.
  static Lines Assignment(const Expr& e, size_t column, size_t indent, std::string_view suffix) {
    const std::string target = e.text_ + " =";
    const std::string tail = e.tail_ + std::string(suffix);
    Lines beside = Of(e.items_.front(), column + Width(target) + 1, indent, tail);  // continued as the statement
    beside.front() = target + " " + beside.front();
    Lines below = Of(e.items_.front(), indent + 4, indent + 4, tail);
    below.front() = std::string(indent + 4, ' ') + below.front();
    below.insert(below.begin(), target);
    const auto besideCost = Cost(beside, column);
    const auto belowCost = Cost(below, column);
    if (besideCost.first != belowCost.first) return belowCost.first < besideCost.first ? below : beside;
    return below.size() < beside.size() || (below.size() == 2 && beside.size() >= 2) ? below : beside;
  }

  static Lines Guarded(const Expr& e, size_t indent, std::string_view suffix) {
    Lines lines = Of(e.items_.front(), indent + 2, indent + 2, suffix);
    lines.front() = std::string(indent + 2, ' ') + lines.front();
    lines.insert(lines.begin(), "if (" + e.text_ + ")");
    return lines;
  }
};

// ---- the file

void Code::Line(std::string_view text) {
  if (!text.empty()) out_ << std::string(indent_, ' ') << text;
  out_ << '\n';
}

void Code::Comment(std::string_view text) {
  std::string line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    if (!line.empty() && indent_ + 3 + Width(line) + 1 + Width(word) > kColumns) {
      Line("// " + line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + std::string(word);
    start = end + 1;
  }
  Line("// " + line);
}

void Code::Statement(const Expr& statement) {
  const Lines lines = Layout::Of(statement, indent_, indent_, "");
  out_ << std::string(indent_, ' ') << lines.front() << '\n';
  for (size_t i = 1; i < lines.size(); ++i) out_ << lines[i] << '\n';
}

void Code::Function(const Expr& signature, const std::vector<Expr>& body) {
  if (body.size() == 1) {
    const std::string one = signature.Flat() + " { " + body.front().Flat() + " }";
    if (indent_ + Width(one) <= kColumns) return Line(one);
  }
  Statement(signature.Then(body.empty() ? " {}" : " {"));
  if (body.empty()) return;
  Indented(2, [&] {
    for (const Expr& statement : body) Statement(statement);
  });
  Line("}");
}

void Code::Chain(std::string_view lead, std::string_view first, const std::vector<Expr>& calls) {
  std::string joined(first);
  for (const Expr& call : calls) joined += call.Flat();
  if (indent_ + Width(lead) + 1 + Width(joined) + 1 <= kColumns) return Line(std::string(lead) + " " + joined + ";");
  if (indent_ + 4 + Width(joined) + 1 <= kColumns) {
    Line(lead);
    return Indented(4, [&] { Line(joined + ";"); });
  }
  // The calls one per line, four columns in from where the chain starts.
  size_t start = indent_ + Width(lead) + 1;
  bool beside = start + Width(first) <= kColumns;
  for (size_t i = 0; i < calls.size(); ++i) {
    beside = beside && start + 4 + Width(calls[i].Flat()) + (i + 1 == calls.size() ? 1 : 0) <= kColumns;
  }
  if (beside) {
    Line(std::string(lead) + " " + std::string(first));
  } else {
    Line(lead);
    start = indent_ + 4;
    Indented(4, [&] { Line(first); });
  }
  const size_t saved = indent_;
  indent_ = start + 4;
  for (size_t i = 0; i < calls.size(); ++i) Statement(calls[i].Then(i + 1 == calls.size() ? ";" : ""));
  indent_ = saved;
}

}  // namespace vexlo9::xsd::cpp
