#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// C++ as structured values and the one printer that lays them out in the repository's format: 120 columns, two
// spaces of indentation, arguments aligned after their bracket or four spaces in on the next line. Text is never
// re-read and a literal is never split: what does not fit in any layout is left long.
namespace vexlo9::xsd::cpp {

inline constexpr size_t kColumns = 120;

// The columns a text takes: its characters, not its bytes (names may hold any Unicode letter).
size_t Width(std::string_view text);

// A C++ string literal for the text: raw when it holds backslashes or quotes, as patterns do.
std::string Quote(std::string_view text);

// An expression: text that is never split, a head followed by a bracketed list of items (a call, a braced
// initializer), or an assignment that may break after its '='.
class Expr {
 public:
  Expr(std::string text) : text_(std::move(text)) {}  // NOLINT: an atom wherever text is written
  Expr(const char* text) : text_(text) {}             // NOLINT

  // callee(arguments)
  static Expr Call(std::string callee, std::vector<Expr> arguments);
  // head{items}: a braced initializer, `head` empty or a designator such as ".facets = ".
  static Expr Braced(std::string head, std::vector<Expr> items);
  // target = value
  static Expr Assign(std::string target, Expr value);
  // if (condition) statement: the statement below when it does not fit beside.
  static Expr If(std::string condition, Expr statement);

  // The same expression followed by text: ";" makes it a statement.
  Expr Then(std::string_view tail) const;
  // On one line.
  std::string Flat() const;

 private:
  friend class Layout;
  enum class Kind { Atom, List, Assign, If };

  static Expr List(std::string head, char open, std::vector<Expr> items, char close);

  Kind kind_ = Kind::Atom;
  std::string text_;  // Atom: all of it; List: the head; Assign: the target; If: the condition
  char open_ = 0;
  char close_ = 0;
  std::vector<Expr> items_;  // List: the items; Assign: the value; If: the statement
  std::string tail_;
};

// Designated initializers, written in the order of the aggregate's members; a member left at its default is not
// written at all.
class Designated {
 public:
  Designated& Set(std::string_view member, Expr value);
  bool Empty() const noexcept { return items_.empty(); }
  // {.a = 1, .b = 2}, or "head{...}".
  Expr Braced(std::string head = {}) const { return Expr::Braced(std::move(head), items_); }

 private:
  std::vector<Expr> items_;
};

// The text of one generated file.
class Code {
 public:
  void Line(std::string_view text = {});
  // A line comment, wrapped at word boundaries.
  void Comment(std::string_view text);
  // One statement, laid out within the columns.
  void Statement(const Expr& statement);
  // A function definition: on one line when it fits, else its statements below the signature (itself laid out
  // as a call when it is one: parameters aligned after the bracket).
  void Function(const Expr& signature, const std::vector<Expr>& body);
  // `lead first.calls...;` laid out as a chain of calls, one per line when it does not fit on one.
  void Chain(std::string_view lead, std::string_view first, const std::vector<Expr>& calls);
  template <class F>
  void Indented(size_t by, F&& body) {
    indent_ += by;
    body();
    indent_ -= by;
  }
  std::string Text() const { return out_.str(); }

 private:
  std::ostringstream out_;
  size_t indent_ = 0;
};

}  // namespace vexlo9::xsd::cpp
