// Adding header blocks and taking the ones addressed to this node.
#include "model/header_lists.h"

#include "model/soap_version.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

bool IsNoneRole(std::u16string_view actorURI) { return actorURI == SOAP12_ROLE_NONE; }

// A SOAP 1.2 block for the "none" role is information for every node: it is
// handed out but never consumed. SOAP 1.1 knows no such role.
bool StaysAfterTake(std::u16string_view actorURI, const NodeTargeting& node) {
  return node.soapVersion != kSoap11 && IsNoneRole(actorURI);
}

template <typename Record>
bool HasName(const Record& record, std::u16string_view namespaceURI, std::u16string_view name) {
  return record.namespaceURI == namespaceURI && record.name == name;
}

// Sets what typed and literal blocks both carry.
template <typename Block>
void SetCommonFields(Block& block, std::u16string_view namespaceURI, std::u16string_view name,
                     bool mustUnderstand, std::u16string_view actorURI, bool relay, bool received) {
  block.namespaceURI = namespaceURI;
  block.name = name;
  block.mustUnderstand = mustUnderstand;
  block.actorURI = actorURI;
  block.relay = relay;
  block.received = received;
}

}  // namespace

bool IsTargeted(std::u16string_view actorURI, const NodeTargeting& node) {
  return node.roles.Contains(actorURI) || (!node.isIntermediary && actorURI.empty());
}

HRESULT HeaderLists::AddTyped(std::u16string_view namespaceURI, std::u16string_view name,
                              const VARIANT* content, bool mustUnderstand,
                              std::u16string_view actorURI, bool relay, bool received) {
  return typed.AppendNew([&](HeaderElem& block) {
    SetCommonFields(block, namespaceURI, name, mustUnderstand, actorURI, relay, received);
    return CopyContentIn(block, content);
  });
}

bool HeaderLists::AddLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                             std::u16string_view literalXML, bool mustUnderstand,
                             std::u16string_view actorURI, bool relay,
                             std::u16string_view encodingStyle, bool received) {
  return AppendLiteral(namespaceURI, name, [&] { return ElementXml(literalXML); }, mustUnderstand,
                       actorURI, relay, encodingStyle, received);
}

bool HeaderLists::AddLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                             ElementXml element, bool mustUnderstand,
                             std::u16string_view actorURI, bool relay,
                             std::u16string_view encodingStyle, bool received) {
  return AppendLiteral(namespaceURI, name, [&] { return std::move(element); }, mustUnderstand,
                       actorURI, relay, encodingStyle, received);
}

template <typename MakeXml>
bool HeaderLists::AppendLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                                MakeXml&& xml, bool mustUnderstand, std::u16string_view actorURI,
                                bool relay, std::u16string_view encodingStyle, bool received) {
  return literal.AppendNew([&](HeaderElemLiteral& block) {
    SetCommonFields(block, namespaceURI, name, mustUnderstand, actorURI, relay, received);
    block.literalXML = xml();
    block.encodingStyle = encodingStyle;
    return S_OK;
  }) == S_OK;
}

HRESULT HeaderLists::TakeTyped(std::u16string_view namespaceURI, std::u16string_view name,
                               const NodeTargeting& node, VARIANT* content, bool* found) {
  *found = false;
  // What the caller's variable held goes before the block is looked for:
  // releasing it may run host code that changes this list.
  if (HRESULT hr = HandOutContent(nullptr, content); FAILED(hr)) return hr;
  std::optional<size_t> index = typed.FindIndex([&](const HeaderElem& block) {
    return HasName(block, namespaceURI, name) &&
           (IsTargeted(block.actorURI, node) || IsNoneRole(block.actorURI));
  });
  if (!index) return S_OK;
  if (HRESULT hr = HandOutContent(&typed.At(*index), content); FAILED(hr)) return hr;
  *found = true;
  if (!StaysAfterTake(typed.At(*index).actorURI, node)) typed.RemoveAt(*index);
  return S_OK;
}

bool HeaderLists::TakeLiteral(std::u16string_view namespaceURI, std::u16string_view name,
                              const NodeTargeting& node, std::u16string* literalXML) {
  std::optional<size_t> index = literal.FindIndex([&](const HeaderElemLiteral& block) {
    return HasName(block, namespaceURI, name) && IsTargeted(block.actorURI, node);
  });
  if (!index) return false;
  *literalXML = literal.At(*index).literalXML.Text();
  if (!StaysAfterTake(literal.At(*index).actorURI, node)) literal.RemoveAt(*index);
  return true;
}

}  // namespace qxsoap
