// The record of one accessor element below Header or Body, which is also
// the parse handler of its subtree: it checks the element's encoding
// attributes as they arrive, makes a child record for every child element
// and files ids in the registry its subtree shares. The values are decoded
// later, from these records, once every id of the message is known.
//
// Memory: a record lives in the record memory of its subtree's context and
// goes with it; it owns nothing that needs destroying. It keeps its element
// rather than copies of what the element holds: names, text and attributes
// are read from the element when they are needed, so a record is 64 bytes.
#ifndef QXSOAP_DECODE_ACCESSOR_HANDLER_H_
#define QXSOAP_DECODE_ACCESSOR_HANDLER_H_

#include <cstdint>
#include <iterator>
#include <new>
#include <string_view>
#include <utility>

#include "decode/accessor_attributes.h"
#include "decode/array_shape.h"
#include "decode/id_registry.h"
#include "decode/qname.h"
#include "xml/element_handler.h"
#include "xml/tree_memory.h"

namespace qxsoap {

// What the accessors of one subtree (the Header's or the Body's) share.
struct AccessorContext {
  explicit AccessorContext(bool faultsNeedDetail) : faultsNeedDetail(faultsNeedDetail) {}
  IdRegistry ids;
  // Lives no longer than the records, which live no longer than the tree.
  NamespaceGroups namespaces;
  // Where the records live: blocks that grow with the records made, apart
  // from the tree's, so a message of few accessors takes little.
  TreeMemory records{4096};
  // A fault in a header block asks for no detail element, one in the Body
  // does: the detail element is where the Body's processing is reported.
  bool faultsNeedDetail;
};

class AccessorHandler : public SoapElementHandler {
 public:
  // A record of `element`, in the message's `soapVersion`, of a subtree
  // that shares `context`.
  AccessorHandler(XmlElement& element, int32_t soapVersion, AccessorContext& context);

  // A new record of type `Record` for `element`, in `context`'s record
  // memory. Throws std::bad_alloc.
  template <typename Record = AccessorHandler>
  static Record& Make(XmlElement& element, int32_t soapVersion, AccessorContext& context) {
    void* place = context.records.Allocate(sizeof(Record), alignof(Record));
    return *new (place) Record(element, soapVersion, context);
  }

  // Makes the child's record, appends it to the children, hands it the
  // encodingStyle in force and its attributes, files its id (a repeated id
  // is the DuplicateID fault) and returns it.
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  // Checks the encoding attributes: the encodingStyle replaces the
  // inherited one; QName values must resolve; arrayType, offset and
  // arraySize must be well formed; SOAP 1.2 forbids `id` beside `ref` and
  // knows three nodeTypes. The first problem raises its Sender fault.
  // Returns what it found, so that the maker of the record can file its id.
  AccessorAttributes ReadAttributes(XmlAttributes attributes, const NamespaceScope& scope);
  void ProcessAttributes(XmlAttributes attributes, const NamespaceScope& scope) override {
    ReadAttributes(attributes, scope);
  }

  // ---- What deserialization reads ----

  // The element's character data (the whole text, children's excluded).
  std::u16string_view Text() const { return element->Text(); }
  // The encoding attributes present on the element.
  AccessorAttributes Attributes() const {
    return ReadAccessorAttributes(element->Attributes(), soapVersion, context_->namespaces);
  }
  // The xsi type, resolved; both names empty when the element has none.
  QName Type() const;
  // The array shape the element declares, and in *itemType (when given) the
  // item type its arrayType or itemType names (empty for none).
  ArrayShape Shape(QName* itemType = nullptr) const;
  bool FaultsNeedDetail() const { return context_->faultsNeedDetail; }

  // Files this record under `id` (none when empty) in the registry its
  // subtree shares; false when another record has that id already (it
  // keeps it).
  bool FileId(std::u16string_view id) { return id.empty() || context_->ids.Insert(id, *this); }

  class ChildIterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = AccessorHandler;
    using difference_type = std::ptrdiff_t;
    using pointer = const AccessorHandler*;
    using reference = const AccessorHandler&;

    ChildIterator() = default;
    ChildIterator(const AccessorHandler* current, const AccessorHandler* last)
        : current_(current), last_(last) {}
    reference operator*() const { return *current_; }
    pointer operator->() const { return current_; }
    ChildIterator& operator++() {
      current_ = current_ == last_ ? nullptr : current_->nextSibling_;
      return *this;
    }
    ChildIterator operator++(int) {
      ChildIterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const ChildIterator& other) const { return current_ == other.current_; }

   private:
    const AccessorHandler* current_ = nullptr;
    const AccessorHandler* last_ = nullptr;
  };

  // The child records in document order.
  struct Children {
    const AccessorHandler* last;
    ChildIterator begin() const { return {last ? last->nextSibling_ : nullptr, last}; }
    ChildIterator end() const { return {}; }
    bool empty() const { return !last; }
    // Walks the children: a record keeps no count.
    size_t Count() const { return size_t(std::distance(begin(), end())); }
  };
  Children ChildRecords() const { return {lastChild_}; }

 protected:
  // What the records of this subtree share, for a record that makes
  // records of its own kind.
  AccessorContext& Context() const { return *context_; }

 private:
  void Append(AccessorHandler& child);
  // Checks the array attributes among `found` and reads the shape they
  // declare; the first problem raises its fault.
  ArrayShape ReadShape(const AccessorAttributes& found, const NamespaceScope& scope,
                       QName* itemType = nullptr) const;

  AccessorContext* context_;
  // Children as a ring: the last child, whose successor is the first.
  AccessorHandler* lastChild_ = nullptr;
  AccessorHandler* nextSibling_ = nullptr;
};

}  // namespace qxsoap

#endif  // QXSOAP_DECODE_ACCESSOR_HANDLER_H_
