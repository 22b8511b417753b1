#include "vexlo9/platform/detail/PatternMatcher.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlregexp.h>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "vexlo9/platform/detail/AsciiPattern.h"
#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {
namespace {

constexpr const char* kSource = "PatternMatcher";
// Patterns come from schemas, so a thread sees few; the bound only stops a
// host that makes patterns up on the fly from growing the cache for ever.
constexpr size_t kMaxCachedPatterns = 1024;

// Routes libxml2's error reports on this thread into `reason` while it lives,
// then puts back whatever handlers the host had.
class ScopedErrorCapture {
 public:
  // Each of libxml2's error globals is found once: finding one is a look-up of the thread's state.
  ScopedErrorCapture()
      : structured_(xmlStructuredError),
        structuredContext_(xmlStructuredErrorContext),
        generic_(xmlGenericError),
        genericContext_(xmlGenericErrorContext),
        kept_{structured_, structuredContext_, generic_, genericContext_} {
    structured_ = &Capture;
    structuredContext_ = this;
    generic_ = &Ignore;
    genericContext_ = nullptr;
  }
  ~ScopedErrorCapture() {
    structured_ = kept_.structured;
    structuredContext_ = kept_.structuredContext;
    generic_ = kept_.generic;
    genericContext_ = kept_.genericContext;
  }
  ScopedErrorCapture(const ScopedErrorCapture&) = delete;
  ScopedErrorCapture& operator=(const ScopedErrorCapture&) = delete;

  const std::string& Reason() const noexcept { return reason_; }

 private:
  static void Capture(void* context, xmlErrorPtr error) {
    auto* self = static_cast<ScopedErrorCapture*>(context);
    if (!self->reason_.empty() || error == nullptr || error->message == nullptr) return;
    self->reason_ = error->message;
    while (!self->reason_.empty() && (self->reason_.back() == '\n' || self->reason_.back() == ' ')) {
      self->reason_.pop_back();
    }
  }
  static void Ignore(void*, const char*, ...) {}

  xmlStructuredErrorFunc& structured_;
  void*& structuredContext_;
  xmlGenericErrorFunc& generic_;
  void*& genericContext_;
  struct {
    xmlStructuredErrorFunc structured;
    void* structuredContext;
    xmlGenericErrorFunc generic;
    void* genericContext;
  } kept_;
  std::string reason_;
};

struct RegexpFree {
  void operator()(xmlRegexp* regexp) const noexcept { xmlRegFreeRegexp(regexp); }
};

struct CompiledPattern {
  std::unique_ptr<xmlRegexp, RegexpFree> regexp;
  std::optional<detail::AsciiPattern> ascii;  // when the pattern compiled and is that simple
  std::string reason;                         // why it did not compile
};

CompiledPattern CompilePattern(std::string_view pattern) {
  CompiledPattern compiled;
  if (pattern.find('\0') != std::string_view::npos) {
    compiled.reason = "the pattern holds a NUL character";
    return compiled;
  }
  const std::string text(pattern);
  ScopedErrorCapture capture;
  compiled.regexp.reset(xmlRegexpCompile(reinterpret_cast<const xmlChar*>(text.c_str())));
  if (!compiled.regexp) compiled.reason = capture.Reason().empty() ? "it does not compile" : capture.Reason();
  if (compiled.regexp) compiled.ascii = detail::AsciiPattern::Of(pattern);
  return compiled;
}

struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>()(text); }
};

class PatternCache {
 public:
  PatternCache() { detail::SetUpLibxml(); }

  const CompiledPattern& Get(std::string_view pattern) {
    auto found = patterns_.find(pattern);
    if (found == patterns_.end()) {
      detail::CheckUtf8(pattern, kSource);
      if (patterns_.size() >= kMaxCachedPatterns) patterns_.clear();
      found = patterns_.emplace(std::string(pattern), CompilePattern(pattern)).first;
    }
    if (!found->second.regexp) {
      throw errors::InvalidPattern(pattern, found->second.reason);
    }
    return found->second;
  }

  // The value with the terminating NUL the engine needs, in a buffer that keeps its capacity.
  const xmlChar* Terminated(std::string_view value) {
    buffer_.assign(value);
    return reinterpret_cast<const xmlChar*>(buffer_.c_str());
  }

 private:
  std::unordered_map<std::string, CompiledPattern, TextHash, std::equal_to<>> patterns_;
  std::string buffer_;
};

PatternCache& ThreadCache() {
  thread_local PatternCache cache;
  return cache;
}

// Whether the value matches the pattern, compiled.
bool Test(const CompiledPattern& compiled, std::string_view pattern, std::string_view value) {
  detail::CheckUtf8(value, kSource);
  if (compiled.ascii) {
    if (const std::optional<bool> matches = compiled.ascii->Matches(value)) return *matches;
  }
  if (value.find('\0') != std::string_view::npos) return false;
  int result = 0;
  {
    ScopedErrorCapture capture;
    // The engine only reads a compiled expression, so threads share one.
    result = xmlRegexpExec(compiled.regexp.get(), ThreadCache().Terminated(value));
  }
  if (result < 0) {
    throw errors::PatternTooComplex(pattern, value);
  }
  return result == 1;
}

}  // namespace

class PatternMatcher::Compiled {
 public:
  Compiled(std::string_view pattern, CompiledPattern compiled) : pattern_(pattern), compiled_(std::move(compiled)) {}

  bool Test(std::string_view value) const { return vexlo9::Test(compiled_, pattern_, value); }
  const std::string& Pattern() const noexcept { return pattern_; }

 private:
  std::string pattern_;
  CompiledPattern compiled_;
};

std::shared_ptr<const PatternMatcher::Compiled> PatternMatcher::Compile(std::string_view pattern) {
  detail::SetUpLibxml();
  try {
    detail::CheckUtf8(pattern, kSource);
  } catch (const Error&) {
    return nullptr;
  }
  CompiledPattern compiled = CompilePattern(pattern);
  if (!compiled.regexp) return nullptr;
  return std::make_shared<const Compiled>(pattern, std::move(compiled));
}

void PatternMatcher::Match(const Compiled& compiled, std::string_view value) {
  if (!compiled.Test(value)) {
    throw errors::PatternMismatch(value, compiled.Pattern());
  }
}

bool PatternMatcher::Matches(std::string_view pattern, std::string_view value) {
  return Test(ThreadCache().Get(pattern), pattern, value);
}

void PatternMatcher::Match(std::string_view pattern, std::string_view value) {
  if (!Matches(pattern, value)) {
    throw errors::PatternMismatch(value, pattern);
  }
}

}  // namespace vexlo9
