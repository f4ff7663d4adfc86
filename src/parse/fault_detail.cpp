#include "parse/fault_detail.h"

#include <string>

#include "decode/port_queries.h"
#include "frame/message_handler.h"
#include "model/fault_message.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

[[noreturn]] void RaiseUnconverted(std::u16string_view entry) {
  RaiseFault(FaultKind::kSender,
             FormatFaultMessage(u"Failed to convert element: '%s' in Fault detail.", {entry}), true);
}

// The received fault's own fields. It asks for a detail element when it
// came with one, so that a host writing it on keeps that shape.
void CopyFault(MessageHandler& handler, const FaultHandler& fault) {
  const bool needDetail = fault.detail != nullptr;
  if (handler.GetSOAPVersion() == 11) {
    handler.SetFault11(fault.faultCode.localName, fault.faultCode.namespaceUri, fault.faultString,
                       fault.faultActor, needDetail);
  } else {
    ReasonTexts reasons;
    for (const auto& [lang, text] : fault.reason.texts) reasons.emplace(lang, text);
    handler.SetFault12(fault.code.value.localName, fault.code.value.namespaceUri,
                       fault.code.subcode.value.localName, fault.code.subcode.value.namespaceUri,
                       reasons, fault.node, needDetail);
  }
  handler.SetFaultRaisedHere(false);
}

void ReadEntry(MessageHandler& handler, PortDescription& port, ValueDecoder& decoder,
               const MessageParserEngine& parser, BSTR operation, const AccessorHandler& entry) {
  const QueryArgument name(entry.LocalName());
  const QueryArgument ns(entry.NamespaceUri());
  const std::optional<PortType> type = AskPortType([&](BSTR* typeName, BSTR* typeNs, VARIANT_BOOL* found) {
    return port.GetFaultDetailType(operation, name.get(), ns.get(), typeName, typeNs, found);
  });
  if (!type) return;
  const std::optional<std::u16string> use = AskPortText([&](BSTR* text, VARIANT_BOOL* found) {
    return port.GetFaultDetailUse(operation, name.get(), ns.get(), text, found);
  });
  const bool builtIn = IsBuiltInTypeNamespace(type->ns);
  qxcom::Variant value;
  if (use != u"encoded") {
    if (builtIn) {
      decoder.SimpleLiteral(entry, type->name, value.get());
    } else {
      decoder.ComplexLiteral(entry, type->Ref(), value.get());
    }
  } else {
    const std::u16string style = AskPortText([&](BSTR* text, VARIANT_BOOL* found) {
                                   return port.GetFaultDetailEncodingStyle(operation, name.get(),
                                                                           ns.get(), text, found);
                                 }).value_or(u"");
    const bool styleExempt = handler.GetSOAPVersion() != 11 && entry.encodingStyle == SOAP12_ENC_NONE;
    if (!entry.encodingStyle.empty() && entry.encodingStyle != style && !styleExempt) {
      RaiseUnconverted(entry.LocalName());
    }
    const AccessorHandler* source = &entry;
    if (const std::u16string_view href = entry.Attributes().href.value_or(u""); !href.empty()) {
      source = parser.ResolveReference(href);
      if (!source) RaiseUnconverted(entry.LocalName());
    }
    if (builtIn) {
      decoder.SimpleEncoded(style, *source, type->name, value.get());
    } else {
      decoder.ComplexEncoded(style, *source, entry, source != &entry, type->Ref(), value.get());
    }
  }
  if (handler.AddFaultDetailElem(entry.NamespaceUri(), entry.LocalName(), value.get()) != S_OK) {
    RaiseInternalError(true);
  }
}

}  // namespace

void DeserializeFaultDetail(MessageHandler& handler, PortDescription& port, ValueDecoder& decoder,
                            const MessageParserEngine& parser, const FaultHandler& fault) {
  CopyFault(handler, fault);
  if (!fault.detail) return;
  const QueryArgument operation(handler.GetMethodName());
  for (const AccessorHandler& entry : fault.detail->ChildRecords()) {
    ReadEntry(handler, port, decoder, parser, operation.get(), entry);
  }
}

}  // namespace qxsoap
