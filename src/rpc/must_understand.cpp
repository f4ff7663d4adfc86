#include "rpc/must_understand.h"

#include <memory>
#include <optional>
#include <string>

#include "frame/message_handler.h"
#include "xml/namespaces.h"
#include "xml/xml_writer.h"

namespace qxsoap {
namespace {

constexpr std::u16string_view kNotUnderstood = u"Unhandled 'mustUnderstand' header block.";

// Consumes the targeted blocks of `list` up to the first that must be
// understood, and returns that one, or null. The blocks go in one pass: a
// message may carry many, and each removal alone moves all behind it.
template <typename Record>
const Record* ConsumeUnderstood(RecordList<Record>& list, const NodeTargeting& node) {
  const auto targeted = [&](const Record& block) {
    return block.received && IsTargeted(block.actorURI, node);
  };
  const std::optional<size_t> stop =
      list.FindIndex([&](const Record& block) { return targeted(block) && block.mustUnderstand; });
  const Record* notUnderstood = stop ? &list.At(*stop) : nullptr;  // stays where it is in memory
  list.RemoveBefore(stop.value_or(size_t(list.Count())), [&](const Record& block) {
    return targeted(block) && !(node.soapVersion != 11 && block.relay);
  });
  return notUnderstood;
}

// The NotUnderstood block that names {namespaceURI}name, as XML text.
std::u16string NotUnderstoodBlock(std::u16string_view namespaceURI, std::u16string_view name) {
  const std::unique_ptr<XmlElement> element =
      XmlElement::NewTree(u"SOAP-ENV:NotUnderstood", SOAP12_ENV_NS, u"NotUnderstood");
  element->DeclareNamespace(u"SOAP-ENV", SOAP12_ENV_NS);
  element->DeclareNamespace(u"ns", namespaceURI);
  element->AddAttribute(u"qname", std::u16string(u"ns:").append(name));
  std::u16string text;
  WriteElement(*element, nullptr, text);
  return text;
}

void RecordNotUnderstood(MessageHandler& handler, const ElemRecord& block) {
  if (handler.GetSOAPVersion() == 11) {
    handler.SetFault11(u"MustUnderstand", SOAP11_ENV_NS, kNotUnderstood, u"", false);
    return;
  }
  handler.SetFault12(u"MustUnderstand", SOAP12_ENV_NS, u"", u"",
                     {{u"en", std::u16string(kNotUnderstood)}}, u"", false);
  if (!handler.AddFaultHeaderElemLiteral12(SOAP12_ENV_NS, u"NotUnderstood",
                                           NotUnderstoodBlock(block.namespaceURI, block.name),
                                           false, u"", true, u"")) {
    throw std::bad_alloc();
  }
}

}  // namespace

bool CheckHeaderBlocksUnderstood(MessageHandler& handler) {
  const NodeTargeting node = handler.Targeting();
  HeaderLists& headers = handler.HeaderBlocks();
  const ElemRecord* notUnderstood = ConsumeUnderstood(headers.typed, node);
  if (!notUnderstood) notUnderstood = ConsumeUnderstood(headers.literal, node);
  if (!notUnderstood) return true;
  RecordNotUnderstood(handler, *notUnderstood);
  return false;
}

}  // namespace qxsoap
