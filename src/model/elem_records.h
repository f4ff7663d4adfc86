// model/elem_records.h: the records of the handler's lists (header blocks,
// literal header blocks, parameters, fault details) and the literal body.
// Field names are those the rest of the system reads them by.
#ifndef QXSOAP_MODEL_ELEM_RECORDS_H_
#define QXSOAP_MODEL_ELEM_RECORDS_H_

#include <memory>
#include <string>
#include <string_view>

#include "qxcom/owned.h"
#include "xml/xml_element.h"

namespace qxsoap {

// Base of the list records; used directly for fault detail entries.
struct ElemRecord {
  virtual ~ElemRecord() = default;
  std::u16string namespaceURI;
  std::u16string name;
  qxcom::Variant content;  // VT_EMPTY where the record carries no value
};

// A header block whose value is an automation value.
struct HeaderElem : ElemRecord {
  bool received = false;  // read from a received message, not added by the host
  bool mustUnderstand = false;
  bool relay = false;
  std::u16string actorURI;  // SOAP 1.1 actor or SOAP 1.2 role; empty: ultimate receiver
};

// An element as XML text: text the host set, or an element of a message
// the handler read, which is written out only when asked for, so that
// reading a message does not copy it.
class ElementXml {
 public:
  ElementXml() = default;
  explicit ElementXml(std::u16string_view text) : text_(text) {}
  // `element` lies in the tree that `tree` keeps alive.
  ElementXml(std::shared_ptr<const XmlElement> tree, const XmlElement& element)
      : tree_(std::move(tree)), element_(&element) {}

  // The XML text of the whole element. Throws std::bad_alloc.
  std::u16string Text() const;

 private:
  std::u16string text_;
  std::shared_ptr<const XmlElement> tree_;
  const XmlElement* element_ = nullptr;
};

// A header block held as XML text; `content` stays VT_EMPTY.
struct HeaderElemLiteral : ElemRecord {
  bool received = false;
  bool mustUnderstand = false;
  bool relay = false;
  std::u16string actorURI;
  std::u16string encodingStyle;
  ElementXml literalXML;  // the whole block element
};

// One parameter of the call.
struct MethodParam : ElemRecord {
  bool isInParam = false;
  bool isOutParam = false;
};

// The message body as literal XML: the complete Body element and its
// encoding style.
class BodyElemLiteral {
 public:
  BodyElemLiteral(ElementXml literalXML, std::u16string encodingStyle)
      : encodingStyle_(std::move(encodingStyle)), literalXML_(std::move(literalXML)) {}

  const std::u16string& EncodingStyle() const { return encodingStyle_; }
  // The XML text of the whole Body element. Throws std::bad_alloc.
  std::u16string LiteralXML() const { return literalXML_.Text(); }

 private:
  std::u16string encodingStyle_;
  ElementXml literalXML_;
};

// Stores a deep copy of `source` in `record.content`. A null `source` stores
// VT_EMPTY. A VT_BYREF source is dereferenced, so that the record never
// points into the caller's memory. Returns the HRESULT of the copy; on
// failure the content is VT_EMPTY.
HRESULT CopyContentIn(ElemRecord& record, const VARIANT* source);

// Writes the content of `record` into *out as a deep copy, or VT_EMPTY when
// `record` is null (the end of a list or no match). *out must hold a valid
// VARIANT: it is cleared first. Returns the HRESULT of the copy (S_OK for
// VT_EMPTY); E_POINTER for a null `out`.
HRESULT HandOutContent(const ElemRecord* record, VARIANT* out);

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_ELEM_RECORDS_H_
