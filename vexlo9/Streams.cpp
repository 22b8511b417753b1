#include "vexlo9/Streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <ostream>

#include "vexlo9/collections/detail/QNames.h"
#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/platform/detail/ChunkFile.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/ElementStream.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/serialization/detail/Documents.h"

namespace vexlo9 {
namespace {

constexpr const char* kReader = "ElementReader";
constexpr const char* kWriter = "ElementWriter";
// Written text goes out once this much has gathered: the file system's cost per write call still shows at 64 KiB.
constexpr size_t kFlushBytes = 256 * 1024;

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

detail::ByteSource FromFile(const std::string& fileName) {
  errno = 0;
  std::FILE* const opened = std::fopen(fileName.c_str(), "rb");
  if (!opened) throw errors::FileNotFound(fileName, std::strerror(errno));
  const std::shared_ptr<std::FILE> file(opened, FileClose());
  return [file, fileName](char* buffer, size_t capacity) {
    const size_t got = std::fread(buffer, 1, capacity, file.get());
    if (got == 0 && std::ferror(file.get())) throw errors::FileNotFound(fileName, std::strerror(errno));
    return got;
  };
}

detail::ByteSource FromStream(std::istream& in) {
  return [&in](char* buffer, size_t capacity) {
    in.read(buffer, static_cast<std::streamsize>(capacity));
    if (in.bad()) throw errors::FileNotFound("stream", "the stream cannot be read");
    return static_cast<size_t>(in.gcount());
  };
}

std::unique_ptr<detail::ElementStream> NewStream(detail::ByteSource source, const ElementReadOptions& options) {
  return std::make_unique<detail::ElementStream>(
      std::move(source), detail::ElementPath::Parse(options.path),
      detail::ElementStreamLimits{detail::LimitsOf(options.context.Get()), options.maxElementSize});
}

}  // namespace

// ---- reading

ElementReaderBase::ElementReaderBase(const std::string& fileName, ElementReadOptions options)
    : stream_(errors::ErrorsOnly(kReader, [&] { return NewStream(FromFile(fileName), options); })),
      options_(std::move(options)) {}

ElementReaderBase::ElementReaderBase(std::istream& in, ElementReadOptions options)
    : stream_(errors::ErrorsOnly(kReader, [&] { return NewStream(FromStream(in), options); })),
      options_(std::move(options)) {}

ElementReaderBase::ElementReaderBase(ReadBytes source, ElementReadOptions options)
    : stream_(errors::ErrorsOnly(kReader, [&] { return NewStream(std::move(source), options); })),
      options_(std::move(options)) {}

ElementReaderBase::~ElementReaderBase() = default;

XmlNode ElementReaderBase::NextElement() {
  return errors::ErrorsOnly(kReader, [&] { return stream_->Next(); });
}

bool ElementReaderBase::ReadElement(XmlObjectBase* object, XmlNode element) {
  try {
    errors::ErrorsOnly(kReader, [&] {
      if (!object) throw errors::NoClassForElement(element.baseName());
      const detail::ReadingScopes around(stream_->Around());
      object->FromXmlInt(element, detail::FirstChildElement(element), options_.context.Get(), false);
    });
    return true;
  } catch (Error& e) {
    e.Locate(element.line());
    if (!options_.onError) throw;
    options_.onError(e);
    return false;
  }
}

XmlNode ElementReaderBase::Envelope() {
  return errors::ErrorsOnly(kReader, [&] { return stream_->Envelope(); });
}

void ElementReaderBase::ReadEnvelopeInto(XmlObjectBase& root) {
  const XmlNode envelope = Envelope();
  if (!envelope) {
    NextElement();  // raises what stopped the document before its root
    throw errors::NoElementMatched(options_.path);
  }
  errors::ErrorsOnly(kReader, [&] {
    try {
      root.FromXmlInt(envelope, detail::FirstChildElement(envelope), options_.context.Get(), false);
    } catch (Error& e) {
      e.Locate(envelope.line());
      throw;
    }
  });
}

// ---- writing

struct detail::WriterPlace {
  size_t at = 0;      // in the envelope's text, where the elements go
  size_t resume = 0;  // where the envelope goes on after them
  std::string namespaceUri;
  std::unique_ptr<XmlTextWriter> elements;  // goes on from the place
};

void detail::MarkPlace(WriterPlace& place, XmlTextWriter& out, std::string_view namespaceUri) {
  place.at = out.Xml().size();
  place.elements = ContinueWriter(out);
  place.namespaceUri = namespaceUri;
  // The envelope goes on as it does after an element: this stand-in is cut out of its text.
  out.WriteStartElement("x", {});
  out.WriteEndElement();
  place.resume = out.Xml().size();
}

// Where the text goes, and what the writer needs between the calls.
struct ElementWriterBase::Output {
  Output(XmlObjectBase& root, XmlGeneratedClassColBase& col, const ElementWriteOptions& options)
      : envelope(root),
        collection(col),
        layout{options.header, options.formatting, XmlEncoding_UNICODE, options.eol},
        context(options.context.Get()),
        before(col.Count()) {}

  void Put(std::string_view text) {
    if (text.empty()) return;
    if (file) {
      std::string copy(text);
      file->Put(copy);
    } else if (!stream->write(text.data(), static_cast<std::streamsize>(text.size()))) {
      throw errors::CannotWriteFile(kWriter, "stream", "the stream failed");
    }
  }
  // What the elements' writer holds goes out, and it goes on in an empty buffer.
  void PutWritten(XmlTextWriter& elements) {
    if (file) {
      detail::SwapXml(elements, spare);
      file->Put(spare);
    } else {
      Put(elements.Xml());
      detail::ClearXml(elements);
    }
  }
  void Finish() {
    if (file) {
      file->Finish();
    } else if (!stream->flush()) {
      throw errors::CannotFinishFile(kWriter, "stream", "the stream failed");
    }
  }

  XmlObjectBase& envelope;
  XmlGeneratedClassColBase& collection;
  detail::DocumentLayout layout;
  const XmlSerializationContext& context;
  std::unique_ptr<detail::ChunkFile> file;
  std::ostream* stream = nullptr;
  std::string spare;  // the buffer the elements' writer goes on in once its text is handed to the file
  std::string after;  // the envelope after the elements
  int32_t before;     // elements in the collection before those written
  int32_t written = 0;
  bool closed = false;
};

ElementWriterBase::ElementWriterBase(const std::string& fileName, XmlObjectBase& envelope,
                                     XmlGeneratedClassColBase& collection, const ElementWriteOptions& options)
    : output_(std::make_unique<Output>(envelope, collection, options)),
      place_(std::make_unique<detail::WriterPlace>()) {
  output_->file = std::make_unique<detail::ChunkFile>(fileName, kWriter);
}

ElementWriterBase::ElementWriterBase(std::ostream& out, XmlObjectBase& envelope, XmlGeneratedClassColBase& collection,
                                     const ElementWriteOptions& options)
    : output_(std::make_unique<Output>(envelope, collection, options)),
      place_(std::make_unique<detail::WriterPlace>()) {
  output_->stream = &out;
}

ElementWriterBase::~ElementWriterBase() = default;

void ElementWriterBase::Open() {
  Output& out = *output_;
  errors::ErrorsOnly(kWriter, [&] {
    const std::string text = detail::WriteDocument(out.envelope, out.layout, out.context);
    if (!place_->elements) throw errors::CollectionNotWritten(out.collection.ElementName());
    out.Put(std::string_view(text).substr(0, place_->at));
    out.after = text.substr(place_->resume);
  });
}

void ElementWriterBase::WriteElement(const XmlObjectBase& element) {
  Output& out = *output_;
  if (out.closed) throw errors::NoElementOpen();
  errors::ErrorsOnly(kWriter, [&] {
    detail::CheckCount(out.context, out.before + out.written + 1, 0, out.collection.MaxOccurs(),
                       out.collection.ElementName());
    XmlTextWriter& text = *place_->elements;
    // Writing only reads the object (see Write in Documents.cpp).
    const_cast<XmlObjectBase&>(element).ToXmlInt(text, false, place_->namespaceUri, out.context, false);
    ++out.written;
    if (text.Xml().size() >= kFlushBytes) out.PutWritten(text);
  });
}

void ElementWriterBase::Close() {
  Output& out = *output_;
  if (out.closed) return;
  out.closed = true;
  errors::ErrorsOnly(kWriter, [&] {
    const int32_t count = out.before + out.written;
    detail::CheckCount(out.context, count, out.collection.MinOccurs(), out.collection.MaxOccurs(),
                       out.collection.ElementName());
    if (out.written == 0) {
      // No element came: the envelope as it is, which may close the collection's parent differently.
      out.Put(std::string_view(detail::WriteDocument(out.envelope, out.layout, out.context)).substr(place_->at));
    } else {
      out.PutWritten(*place_->elements);
      out.Put(out.after);
    }
    out.Finish();
  });
}

}  // namespace vexlo9
