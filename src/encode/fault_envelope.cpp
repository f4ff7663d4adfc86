// The fault envelope, in the form of the message's SOAP version: always a
// fresh envelope, also at an intermediary.
#include <optional>
#include <string>

#include "decode/port_queries.h"
#include "encode/envelopes.h"
#include "encode/header_blocks.h"
#include "encode/value_writer.h"
#include "frame/message_handler.h"
#include "model/fault_record.h"
#include "model/soap_version.h"
#include "xml/xml_element.h"

namespace qxsoap {
namespace {

// A fault code (or subcode) as the QName text "ns:" + name, with ns bound
// to its namespace on `element`. A code in no namespace is written bare:
// an empty namespace cannot be bound to a prefix.
void SetCodeText(XmlElement& element, std::u16string_view name, std::u16string_view ns) {
  if (ns.empty()) {
    element.SetText(name);
    return;
  }
  element.DeclareNamespace(u"ns", ns);
  element.SetText(u"ns:" + std::u16string(name));
}

// Writes one detail entry under `detail`; false when the port cannot type
// it or its value cannot be written.
bool WriteDetailEntry(XmlElement& detail, const ElemRecord& entry, MessageHandler& handler,
                      PortDescription& port, ValueWriter& writer) {
  const QueryArgument operation(handler.GetMethodName());
  const QueryArgument name(entry.name);
  const QueryArgument ns(entry.namespaceURI);
  BSTR op = operation.get();
  const std::optional<std::u16string> use = AskPortText([&](BSTR* text, VARIANT_BOOL* found) {
    return port.GetFaultDetailUse(op, name.get(), ns.get(), text, found);
  });
  const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNS, VARIANT_BOOL* found) {
    return port.GetFaultDetailType(op, name.get(), ns.get(), typeName, typeNS, found);
  });
  if (!type) return false;
  const VARIANT& value = *entry.content.get();
  if (use != u"encoded") return writer.WriteLiteral(detail, entry.name, entry.namespaceURI, type->Ref(), value);
  const std::optional<std::u16string> style = AskPortText([&](BSTR* text, VARIANT_BOOL* found) {
    return port.GetFaultDetailEncodingStyle(op, name.get(), ns.get(), text, found);
  });
  if (!style) return false;
  XmlElement& element = detail.AddChild(u"d:" + entry.name, entry.namespaceURI, entry.name);
  element.DeclareNamespace(u"d", entry.namespaceURI);
  element.SetQualifiedAttribute(u"SOAP-ENV:encodingStyle", EnvelopeNamespace(handler.GetSOAPVersion()),
                                *style);
  return writer.WriteEncoded(element, type->Ref(), value, *style);
}

// Appends every entry the port can type; an entry that fails, by a false
// result or a raised fault, is taken out again and the others go on.
void AppendDetailEntries(XmlElement& detail, MessageHandler& handler, PortDescription& port,
                         ValueWriter& writer) {
  for (const auto& entry : handler.Fault().faultDetailElems) {
    const XmlElement* lastBefore = detail.Children().empty() ? nullptr : &detail.Children().back();
    bool written = false;
    try {
      written = WriteDetailEntry(detail, *entry, handler, port, writer);
    } catch (QXSOAPFault* thrown) {
      delete thrown;
    }
    const XmlElement* last = detail.Children().empty() ? nullptr : &detail.Children().back();
    if (!written && last != lastBefore) detail.RemoveLastChild();
  }
}

void AppendSoap11Fault(XmlElement& fault, MessageHandler& handler, PortDescription& port,
                       ValueWriter& writer) {
  const FaultState& state = handler.Fault();
  SetCodeText(fault.AddChild(u"faultcode"), state.faultCode, state.faultCodeNS);
  fault.AddChild(u"faultstring").SetText(state.faultString);
  if (handler.IsIntermediary() || !state.faultNode.empty()) {
    fault.AddChild(u"faultactor").SetText(handler.GetNodeURI());
  }
  if (state.needDetail) AppendDetailEntries(fault.AddChild(u"detail"), handler, port, writer);
}

void AppendSoap12Fault(XmlElement& fault, MessageHandler& handler, PortDescription& port,
                       ValueWriter& writer) {
  const FaultState& state = handler.Fault();
  XmlElement& code = fault.AddChild(u"SOAP-ENV:Code");
  SetCodeText(code.AddChild(u"SOAP-ENV:Value"), state.faultCode, state.faultCodeNS);
  if (!state.faultSubcode.empty()) {
    SetCodeText(code.AddChild(u"SOAP-ENV:Subcode").AddChild(u"SOAP-ENV:Value"), state.faultSubcode,
                state.faultSubcodeNS);
  }
  XmlElement& reason = fault.AddChild(u"SOAP-ENV:Reason");
  const auto addText = [&](std::u16string_view lang, std::u16string_view text) {
    XmlElement& element = reason.AddChild(u"SOAP-ENV:Text");
    element.SetQualifiedAttribute(u"xml:lang", XML_NS, lang);
    element.SetText(text);
  };
  for (const auto& [lang, text] : state.reasonTexts) addText(lang, text);
  if (state.reasonTexts.empty()) addText(u"en", u"No Reason specified.");
  if (handler.IsIntermediary() || !state.faultNode.empty()) {
    fault.AddChild(u"SOAP-ENV:Node").SetText(handler.GetNodeURI());
  }
  if (state.needDetail) AppendDetailEntries(fault.AddChild(u"SOAP-ENV:Detail"), handler, port, writer);
}

}  // namespace

std::unique_ptr<XmlElement> BuildFaultEnvelope(MessageHandler& handler, PortDescription& port) {
  ValueWriter writer(handler, port);
  const LONG version = handler.GetSOAPVersion();
  auto envelope = XmlElement::NewTree(u"SOAP-ENV:Envelope", {}, {}, kEnvelopeTreeBytes);
  envelope->DeclareNamespace(u"SOAP-ENV", EnvelopeNamespace(version));
  const HeaderLists& blocks = handler.Fault().faultHeaders;
  if (blocks.typed.Count() != 0 || blocks.literal.Count() != 0) {
    if (!AppendHeaderBlocks(envelope->AddChild(u"SOAP-ENV:Header"), blocks, handler, port, writer)) {
      return nullptr;
    }
  }
  XmlElement& fault = envelope->AddChild(u"SOAP-ENV:Body").AddChild(u"SOAP-ENV:Fault");
  if (version == kSoap11) {
    AppendSoap11Fault(fault, handler, port, writer);
  } else {
    AppendSoap12Fault(fault, handler, port, writer);
  }
  return envelope;
}

}  // namespace qxsoap
