// model/header_lists.h: a pair of header block lists, typed and literal, as
// the message and the fault message each carry one; the add operations of
// both SOAP versions; and the look-ups that take a block addressed to this
// node out of a list.
#ifndef QXSOAP_MODEL_HEADER_LISTS_H_
#define QXSOAP_MODEL_HEADER_LISTS_H_

#include <string>
#include <string_view>

#include "model/elem_records.h"
#include "model/record_list.h"
#include "model/role_set.h"

namespace qxsoap {

// What decides whether a header block is addressed to this node.
struct NodeTargeting {
  const RoleSet& roles;
  bool isIntermediary;  // the node forwards to a next hop
  LONG soapVersion;     // 11, or anything else for SOAP 1.2
};

// A block is addressed to this node when its actor is one of the node's
// roles, or when it has no actor (ultimate receiver) and the node is not an
// intermediary.
bool IsTargeted(std::u16string_view actorURI, const NodeTargeting& node);

struct HeaderLists {
  // Appends a typed block; `content` is deep-copied (null: VT_EMPTY).
  // Returns S_OK when appended, S_FALSE when memory ran out, or the failing
  // HRESULT of the content copy; the list is unchanged unless S_OK.
  HRESULT AddTyped(std::u16string_view namespaceURI, std::u16string_view name, const VARIANT* content,
                   bool mustUnderstand, std::u16string_view actorURI, bool relay, bool received);

  // Appends a literal block with a copy of `literalXML`, or with `element`
  // (which keeps its tree). Returns false, list unchanged, when memory ran
  // out, the copy included.
  bool AddLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                  std::u16string_view literalXML, bool mustUnderstand, std::u16string_view actorURI,
                  bool relay, std::u16string_view encodingStyle, bool received);
  bool AddLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                  ElementXml element, bool mustUnderstand, std::u16string_view actorURI,
                  bool relay, std::u16string_view encodingStyle, bool received);

  // Finds the first typed block with this namespace and name that is
  // targeted at `node` or carries the SOAP 1.2 "none" role, and writes its
  // content into *content (cleared first; VT_EMPTY when nothing matches).
  // The block is then removed, except that a "none" block stays in SOAP 1.2.
  // *found tells whether a block matched. Returns the HRESULT of the copy;
  // when the copy fails the block stays.
  HRESULT TakeTyped(std::u16string_view namespaceURI, std::u16string_view name,
                    const NodeTargeting& node, VARIANT* content, bool* found);

  // As TakeTyped over the literal list, except that only targeted blocks
  // match (a "none" block only when "none" is one of the roles). Writes the
  // block's XML into *literalXML and returns true; returns false and leaves
  // *literalXML alone when nothing matches.
  bool TakeLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                   const NodeTargeting& node, std::u16string* literalXML);

  // Destroys every block of both lists.
  void Clear() {
    typed.Clear();
    literal.Clear();
  }

  RecordList<HeaderElem> typed;
  RecordList<HeaderElemLiteral> literal;

 private:
  // Appends a literal block whose XML `xml()` makes inside the record's
  // guard against running out of memory.
  template <typename MakeXml>
  bool AppendLiteral(std::u16string_view namespaceURI, std::u16string_view name, MakeXml&& xml,
                     bool mustUnderstand, std::u16string_view actorURI, bool relay,
                     std::u16string_view encodingStyle, bool received);
};

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_HEADER_LISTS_H_
