#pragma once

#include <concepts>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/Global.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

// Reading and writing whole documents in one call, with named options. The same work as the entry points of
// Global::XmlObjectBaseHelper(), which stay as they are:
//
//   const std::string xml = vexlo9::Write(order, {.header = false, .formatting = vexlo9::XmlFormatting_None});
//   auto copy = vexlo9::Read<po::PurchaseOrder>(xml, {.context = context});
//   vexlo9::ReadInto(*order, xml);
namespace vexlo9 {

// The context of one call, taken by reference (or from a shared pointer); none: the thread's default context.
class ContextRef {
 public:
  ContextRef() noexcept = default;
  ContextRef(const XmlSerializationContext& context) noexcept : context_(&context) {}  // NOLINT: implicit
  ContextRef(const std::shared_ptr<XmlSerializationContext>& context) noexcept         // NOLINT: implicit
      : context_(context.get()) {}
  // Options kept in a variable would outlive a temporary context.
  ContextRef(const XmlSerializationContext&&) = delete;
  ContextRef(std::shared_ptr<XmlSerializationContext>&&) = delete;

  // The context given, else the calling thread's default one.
  const XmlSerializationContext& Get() const {
    return context_ ? *context_ : *Global::DefaultXmlSerializationContext();
  }

 private:
  const XmlSerializationContext* context_ = nullptr;
};

struct WriteOptions {
  bool header = true;  // the XML declaration, with no encoding named
  XmlFormatting formatting = XmlFormatting_Indented;
  EOLType eol = EOLType_LF;
  ContextRef context;
};

struct ReadOptions {
  ContextRef context;
};

// The document an object makes. The object is only read: writing calls its getters and nothing else.
VEXLO9_API std::string Write(const XmlObjectBase& object, const WriteOptions& options = {});

// Reads a document of UTF-8 text into an object, which starts afresh (Init), whatever the root element's name.
VEXLO9_API void ReadInto(XmlObjectBase& object, std::string_view xml, const ReadOptions& options = {});

// A new object of class T (made by its default constructor) read from a document, as ReadInto reads it.
template <std::derived_from<XmlObjectBase> T>
std::shared_ptr<T> Read(std::string_view xml, const ReadOptions& options = {}) {
  auto object = std::make_shared<T>();
  ReadInto(*object, xml, options);
  return object;
}

namespace detail {
VEXLO9_API void ReadFileInto(XmlObjectBase& object, const std::string& fileName, const ReadOptions& options);
}

// The same from a file, decoded by its byte-order mark and declaration.
template <std::derived_from<XmlObjectBase> T>
std::shared_ptr<T> ReadFile(const std::string& fileName, const ReadOptions& options = {}) {
  auto object = std::make_shared<T>();
  detail::ReadFileInto(*object, fileName, options);
  return object;
}

}  // namespace vexlo9
