#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/Documents.h"
#include "vexlo9/collections/XmlGeneratedClassCol.h"
#include "vexlo9/platform/Error.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/platform/XmlDom.h"

// Documents of any size, read and written one element at a time in bounded memory:
//
//   vexlo9::ElementReader<po::Item> items("order.xml", {.path = "purchaseOrder/items/item"});
//   for (const auto& item : items) total += item->quantity();
//
//   vexlo9::ElementWriter<po::Item> out("copy.xml", *order, *order->items()->item());
//   out.Write(*item);  // as often as there are items
//   out.Close();
namespace vexlo9 {

namespace detail {
class ElementStream;
struct WriterPlace;
// Called by the stand-in for the elements when the envelope writes it: the elements go at this place.
VEXLO9_API void MarkPlace(WriterPlace& place, XmlTextWriter& out, std::string_view namespaceUri);
}  // namespace detail

// Fills up to `capacity` bytes of `buffer` and returns how many; 0 at the end of the document.
using ReadBytes = std::function<size_t(char* buffer, size_t capacity)>;

struct ElementReadOptions {
  // The elements read: "purchaseOrder/items/item" names them from the root down, "item" alone wherever it stands
  // under the root (outside another such element); local names, "cat|lion" for either. Empty: the element name of
  // the reader's class.
  std::string path;
  // Bytes of document text one element may take (0: no bound). The context's MaxDocumentSize does not apply; its
  // other limits do.
  int64_t maxElementSize = int64_t{16} << 20;
  // Given, an element that fails to read is handed to it with its error and skipped. Otherwise Next raises the
  // error, and the next call goes on with the element after it.
  std::function<void(const Error&)> onError = {};
  ContextRef context = {};
};

// What every ElementReader does whatever its class. A document that is not well-formed or goes beyond a limit
// raises 103 once the elements before the fault are read; one with no element at the path raises 131.
class VEXLO9_API ElementReaderBase {
 public:
  ElementReaderBase(const ElementReaderBase&) = delete;
  ElementReaderBase& operator=(const ElementReaderBase&) = delete;

  // The root element of what was read around the elements so far (its attributes, what came before the elements,
  // and after them once read), read up to the root's start tag at least. Valid while the reader lives.
  XmlNode Envelope();
  // Reads the envelope read so far into an object of the root's class, as ReadInto would read the document.
  void ReadEnvelopeInto(XmlObjectBase& root);

 protected:
  ElementReaderBase(const std::string& fileName, ElementReadOptions options);
  ElementReaderBase(std::istream& in, ElementReadOptions options);
  ElementReaderBase(ReadBytes source, ElementReadOptions options);
  ~ElementReaderBase();

  // The next element at the path, or nothing at the end.
  XmlNode NextElement();
  // Reads the element into the object (nothing: none was made for it, 105); false when it failed and onError took
  // the error.
  bool ReadElement(XmlObjectBase* object, XmlNode element);

 private:
  std::unique_ptr<detail::ElementStream> stream_;
  ElementReadOptions options_;
};

// The elements at a path of a document, each read into a new object as FromXml reads a document (same descriptors,
// errors and context options), handed out as a T. Memory: the largest element read and the envelope.
template <std::derived_from<XmlObjectBase> T>
class ElementReader : public ElementReaderBase {
 public:
  // Makes the object for an element: the class of T or derived from it that its name or xsi:type asks for, as a
  // generated factory's Create method does; nothing when no such class suits it. Without one, each element is read
  // into a T of the element's name.
  using Maker = std::function<std::shared_ptr<T>(XmlNode element)>;

  explicit ElementReader(const std::string& fileName, ElementReadOptions options = {}, Maker make = {})
      : ElementReaderBase(fileName, WithPath(std::move(options))), make_(std::move(make)) {}
  explicit ElementReader(std::istream& in, ElementReadOptions options = {}, Maker make = {})
      : ElementReaderBase(in, WithPath(std::move(options))), make_(std::move(make)) {}
  explicit ElementReader(ReadBytes source, ElementReadOptions options = {}, Maker make = {})
      : ElementReaderBase(std::move(source), WithPath(std::move(options))), make_(std::move(make)) {}

  // The next element read, or nothing at the end of the document. Without a maker, an object given back that nothing
  // else holds any more is read into again when its element name is the next element's, which saves making one.
  std::shared_ptr<T> Next(std::shared_ptr<T> done = nullptr) {
    for (XmlNode element = NextElement(); element; element = NextElement()) {
      std::shared_ptr<T> object = Make(element, std::move(done));
      if (ReadElement(object.get(), element)) return object;
      done = std::move(object);
    }
    return nullptr;
  }

  class iterator {
   public:
    using value_type = std::shared_ptr<T>;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    explicit iterator(ElementReader& reader) : reader_(&reader) { ++*this; }
    const std::shared_ptr<T>& operator*() const { return item_; }
    iterator& operator++() {
      item_ = reader_->Next(std::move(item_));
      if (!item_) reader_ = nullptr;
      return *this;
    }
    void operator++(int) { ++*this; }
    bool operator==(std::default_sentinel_t) const { return reader_ == nullptr; }

   private:
    ElementReader* reader_ = nullptr;
    std::shared_ptr<T> item_;
  };
  iterator begin() { return iterator(*this); }
  std::default_sentinel_t end() const { return {}; }

 private:
  static ElementReadOptions WithPath(ElementReadOptions options) {
    if (options.path.empty()) options.path = T().ElementName();
    return options;
  }

  std::shared_ptr<T> Make(XmlNode element, std::shared_ptr<T> done) const {
    if (make_) return make_(element);
    const std::string_view name = element.baseName();
    if (done && done.use_count() == 1 && done->ElementName() == name) return done;
    if constexpr (std::constructible_from<T, std::string>) {
      return detail::MakePooled<T>(std::string(name));
    } else {
      return detail::MakePooled<T>();
    }
  }

  Maker make_;
};

// An element writer writes what Write of the whole document writes, so it takes the same options.
using ElementWriteOptions = WriteOptions;

// What every ElementWriter does whatever its class.
class VEXLO9_API ElementWriterBase {
 public:
  ElementWriterBase(const ElementWriterBase&) = delete;
  ElementWriterBase& operator=(const ElementWriterBase&) = delete;

  // Writes the rest of the envelope and flushes; 107 when the elements written break the collection's bounds. The
  // envelope object must live until then. A writer destroyed without Close leaves its output unfinished.
  void Close();

 protected:
  ElementWriterBase(const std::string& fileName, XmlObjectBase& envelope, XmlGeneratedClassColBase& collection,
                    const ElementWriteOptions& options);
  ElementWriterBase(std::ostream& out, XmlObjectBase& envelope, XmlGeneratedClassColBase& collection,
                    const ElementWriteOptions& options);
  ~ElementWriterBase();

  detail::WriterPlace& Place() noexcept { return *place_; }
  // Writes the envelope up to the place the stand-in, in the collection now, takes.
  void Open();
  void WriteElement(const XmlObjectBase& element);

 private:
  struct Output;
  std::unique_ptr<Output> output_;
  std::unique_ptr<detail::WriterPlace> place_;
};

// A document written one element at a time: the envelope object (the root, with everything but the elements) is
// written as the whole document would be, and each element written goes at the end of `collection`, a collection of
// the envelope, where it would stand had it been added there. What comes out is byte for byte what Write of the
// envelope holding every element gives with the same options; the text goes out in chunks of 256 KiB.
template <std::derived_from<XmlObjectBase> T>
class ElementWriter : public ElementWriterBase {
 public:
  ElementWriter(const std::string& fileName, XmlObjectBase& envelope, XmlGeneratedClassCol<T>& collection,
                const ElementWriteOptions& options = {})
      : ElementWriterBase(fileName, envelope, collection, options) {
    Start(collection);
  }
  ElementWriter(std::ostream& out, XmlObjectBase& envelope, XmlGeneratedClassCol<T>& collection,
                const ElementWriteOptions& options = {})
      : ElementWriterBase(out, envelope, collection, options) {
    Start(collection);
  }

  void Write(const T& element) { WriteElement(element); }

 private:
  // Stands in the collection while the envelope is written, to find where the elements go.
  class StandIn final : public T {
   public:
    StandIn(detail::WriterPlace& place, std::string_view name) : T(std::string(name)), place_(place) {}
    void ToXmlInt(XmlTextWriter& out, bool, std::string_view namespaceUri, const XmlSerializationContext&,
                  bool) override {
      detail::MarkPlace(place_, out, namespaceUri);
    }

   private:
    detail::WriterPlace& place_;
  };

  void Start(XmlGeneratedClassCol<T>& collection) {
    collection.Add(std::make_shared<StandIn>(Place(), collection.ElementName()));
    struct Remove {
      XmlGeneratedClassCol<T>& from;
      ~Remove() { from.Remove(from.Count()); }
    } remove{collection};
    Open();
  }
};

}  // namespace vexlo9
